// Each example report finds what its description says: its rows on the sample database, as `talvane run`
// prints them, are the rows of a query written by hand from the description alone (compared as multisets).
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "cli_process.hpp"

namespace talvane::cli::test {
namespace {

using Row = std::vector<std::string>;

// What each report's description asks for, as an analyst would write it (NULL reads as an empty value).
const std::map<std::string, std::string> kDescribedQueries = {
    {"busy_regions.json", R"sql(
      SELECT r.RegionID, r.RegionName FROM Regions r
      WHERE (SELECT COUNT(*) FROM Customers c WHERE c.RegionID = r.RegionID) > 12
        AND (SELECT TOTAL(c.Balance) FROM Customers c WHERE c.RegionID = r.RegionID) > 25000)sql"},
    {"large_orders.json", R"sql(
      SELECT OrderID, CustomerID, "Ship Date", Amount FROM Orders
      WHERE Amount >= 2000 AND "Ship Date" >= '2023-01-01' AND "Ship Date" < '2024-01-01'
        AND Status IN ('Shipped', 'Held'))sql"},
    {"customers_to_call.json", R"sql(
      SELECT c.CustomerID, c.CustomerName, o.OrderID, o.Amount, o.Status, o.OrderDate
      FROM Customers c JOIN Orders o ON o.CustomerID = c.CustomerID
      WHERE c.Active AND ((o.Amount > 3000 AND NOT o.Rush) OR o.Status = 'Held'))sql"},
    {"unshipped_orders.json", R"sql(
      SELECT OrderID, CustomerID, OrderDate FROM Orders
      WHERE "Ship Date" IS NULL AND OrderDate < date('now', '-30 days'))sql"},
    {"late_shipments.json", R"sql(
      SELECT OrderID, OrderDate, "Ship Date" FROM Orders
      WHERE julianday("Ship Date") - julianday(OrderDate) > 5)sql"},
    {"discontinued_lines.json", R"sql(
      SELECT l.LineID, l.OrderID, p.ProductName FROM OrderLines l JOIN Products p ON p.ProductID = l.ProductID
      WHERE p.Discontinued)sql"},
    {"regions_by_average_order.json", R"sql(
      SELECT r.RegionID, r.RegionName, COUNT(o.OrderID), SUM(o.Amount) FROM Regions r
      LEFT JOIN Customers c ON r.RegionID = c.RegionID LEFT JOIN Orders o ON c.CustomerID = o.CustomerID
      GROUP BY r.RegionID, r.RegionName HAVING AVG(o.Amount) > 1700)sql"},
};

// The rows of a CSV text without its header: fields split at commas outside quotes, "" inside quotes is one ".
std::vector<Row> CsvRows(const std::string& csv) {
  std::vector<Row> rows(1);
  std::string field;
  bool quoted = false;
  for (std::size_t i = 0; i < csv.size(); ++i) {
    const char c = csv[i];
    if (quoted && c == '"' && i + 1 < csv.size() && csv[i + 1] == '"') {
      field += '"';
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && (c == ',' || c == '\n')) {
      rows.back().push_back(field);
      field.clear();
      if (c == '\n') rows.emplace_back();
    } else if (quoted || c != '\r') {
      field += c;
    }
  }
  rows.pop_back();                 // the empty row after the last line break
  rows.erase(rows.begin());        // the header
  return rows;
}

std::vector<Row> QueryRows(const std::string& sql) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(SampleDatabase().c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* statement = nullptr;
  std::vector<Row> rows;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
    ADD_FAILURE() << sqlite3_errmsg(db) << "\n" << sql;
  }
  while (statement && sqlite3_step(statement) == SQLITE_ROW) {
    Row& row = rows.emplace_back();
    for (int i = 0; i < sqlite3_column_count(statement); ++i) {
      const auto* text = sqlite3_column_text(statement, i);
      row.emplace_back(text ? reinterpret_cast<const char*>(text) : "");
    }
  }
  sqlite3_finalize(statement);
  sqlite3_close(db);
  return rows;
}

TEST(CliExamples, EachReportFindsTheRowsOfAHandWrittenQueryOfItsDescription) {
  int compared = 0;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(TALVANE_EXAMPLES_DIR) / "reports")) {
    const std::string name = entry.path().filename().string();
    if (name == "mistakes.json") continue;  // fails on purpose
    const auto query = kDescribedQueries.find(name);
    ASSERT_NE(query, kDescribedQueries.end()) << name << " has no hand-written query in this test";
    const ProcessResult run = RunTalvane({"run", entry.path().string(), "--connection", SampleConnection(), "--format", "csv"});
    ASSERT_EQ(run.exitCode, 0) << name << ": " << run.err;
    std::vector<Row> reported = CsvRows(run.out);
    std::vector<Row> expected = QueryRows(query->second);
    std::sort(reported.begin(), reported.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_FALSE(expected.empty()) << name;
    EXPECT_EQ(reported, expected) << name;
    ++compared;
  }
  EXPECT_EQ(compared, static_cast<int>(kDescribedQueries.size()));
}

}  // namespace
}  // namespace talvane::cli::test
