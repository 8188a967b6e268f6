// `talvane schema`: the tables and columns of a database with the data type a formula takes each as.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "cli_process.hpp"

namespace talvane::cli::test {
namespace {

struct ColumnRow {
  std::string declaredType;
  std::string adoType;
  std::string takenAs;
};

// Splits a row of the listing at its runs of two or more blanks.
std::vector<std::string> Cells(const std::string& line) {
  std::vector<std::string> cells;
  std::size_t i = line.find_first_not_of(' ');
  while (i != std::string::npos && i < line.size()) {
    const std::size_t end = line.find("  ", i);
    cells.push_back(line.substr(i, end == std::string::npos ? std::string::npos : end - i));
    i = end == std::string::npos ? end : line.find_first_not_of(' ', end);
  }
  return cells;
}

// "Table.Column" to its row, read from the listing.
std::map<std::string, ColumnRow> ParseListing(const std::string& listing) {
  std::map<std::string, ColumnRow> rows;
  std::string table;
  for (const std::string& line : Lines(listing)) {
    if (line.empty()) continue;
    if (line.front() == '[') {
      table = line.substr(1, line.size() - 2);
      continue;
    }
    const std::vector<std::string> cells = Cells(line);
    if (cells.size() == 4 && cells[0] != "column") rows[table + "." + cells[0]] = {cells[1], cells[2], cells[3]};
  }
  return rows;
}

class CliSchema : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const ProcessResult run = RunTalvane({"schema", "--connection", SampleConnection()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    ASSERT_EQ(run.err, "");
    listing_ = new std::string(run.out);
  }
  static void TearDownTestSuite() {
    delete listing_;
    listing_ = nullptr;
  }
  static const std::string& Listing() { return *listing_; }

 private:
  static std::string* listing_;
};

std::string* CliSchema::listing_ = nullptr;

TEST_F(CliSchema, ListsEveryTableOfTheSampleDatabase) {
  std::vector<std::string> tables;
  for (const std::string& line : Lines(Listing())) {
    if (!line.empty() && line.front() == '[') tables.push_back(line);
  }
  EXPECT_EQ(tables, (std::vector<std::string>{"[Customers]", "[OrderLines]", "[Orders]", "[Products]", "[Regions]"}));
}

TEST_F(CliSchema, ShowsTheTypeAFormulaTakesEachKindOfColumnAs) {
  const std::map<std::string, ColumnRow> rows = ParseListing(Listing());
  const auto expect = [&](const std::string& column, const std::string& declared, const std::string& ado,
                          const std::string& takenAs) {
    const auto it = rows.find(column);
    ASSERT_NE(it, rows.end()) << column;
    EXPECT_EQ(it->second.declaredType, declared) << column;
    EXPECT_EQ(it->second.adoType, ado) << column;
    EXPECT_EQ(it->second.takenAs, takenAs) << column;
  };
  expect("Orders.Amount", "MONEY", "6", "numeric");
  expect("Orders.Freight", "DECIMAL(10, 2)", "131", "numeric");
  expect("Orders.Ship Date", "DATETIME", "135", "date");
  expect("Orders.OrderDate", "DATE", "133", "date");
  expect("Orders.DueTime", "TIME", "134", "time");
  expect("Orders.Rush", "BOOLEAN", "11", "boolean");
  expect("Regions.Code", "CHAR(2)", "129", "string");
  // Types the data-type mapping does not know keep the type an item starts with: string.
  expect("OrderLines.Scan", "BLOB", "205", "string");
  expect("Products.Sku", "GUID", "72", "string");
  expect("OrderLines.Extra", "(none)", "12", "string");
}

TEST_F(CliSchema, SampleDatabaseCoversEveryTypeCodeTheBackendMaps) {
  std::set<std::string> codes;
  for (const auto& [column, row] : ParseListing(Listing())) codes.insert(row.adoType);
  const std::set<std::string> mapped = {"2",   "3",   "4",   "5",   "6",   "11",  "12",  "17",  "20",  "72",
                                        "129", "130", "131", "133", "134", "135", "200", "202", "203", "205"};
  EXPECT_EQ(codes, mapped);
}

TEST(CliSchemaOfAnEmptyDatabase, SaysItHasNoTables) {
  // SQLite takes an empty file for an empty database.
  const ScratchDir dir;
  const auto path = dir.Write("empty.db", "");
  const ProcessResult run = RunTalvane({"schema", "--connection", "Data Source=" + path.string()});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "(the database has no tables)\n");
}

}  // namespace
}  // namespace talvane::cli::test
