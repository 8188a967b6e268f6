// Scans of report definitions on a real SQLite file: counts against SQLite's own, a failing report kept to
// itself, the history's new and cleared, and the history under a killed scan and two scans at once.
#include "talvane/scan/scanner.hpp"

#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

#include "support/sqlite_fixture.hpp"
#include "talvane/definition/apply_definition.hpp"
#include "talvane/definition/definition_reader.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane::test {
namespace {

constexpr const char* kSchema =
    "CREATE TABLE Orders (OrderID INTEGER PRIMARY KEY, Amount MONEY, Status TEXT);"
    "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300) "
    "INSERT INTO Orders SELECT i, (i * 37) % 1000, CASE i % 3 WHEN 0 THEN 'Held' ELSE 'Open' END FROM n;";

std::string Report(const std::string& formula, const std::string& fields = R"({"field": "Orders.OrderID"})") {
  return R"({"description": "d", "mainTable": "Orders", "mainField": "OrderID", "fields": [)" + fields +
         R"(], "formulas": [{"text": ")" + formula + R"("}]})";
}

// SQLite's own count of the rows that break a condition: the oracle of the scan's counts.
int64_t CountBySqlite(const std::string& file, const std::string& where) {
  sqlite3* db = nullptr;
  sqlite3_open(file.c_str(), &db);
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(db, ("SELECT COUNT(*) FROM Orders WHERE " + where).c_str(), -1, &statement, nullptr);
  sqlite3_step(statement);
  const int64_t count = sqlite3_column_int64(statement, 0);
  sqlite3_finalize(statement);
  sqlite3_close(db);
  return count;
}

class ScannerTest : public ::testing::Test {
 protected:
  ScannerTest() : database_(kSchema) {
    options_.connection = "Data Source=" + database_.Path();
    Write("big.json", Report("Orders.Amount >= 900"));
    Write("sub/held.json", Report("Orders.Status = \\\"Held\\\"", R"({"field": "Orders.Status"})"));
    Write("sub/none.json", Report("Orders.Amount > 5000"));
    Write("misspelt.json", Report("Orders.Amout >= 100"));
    Write("underscore.json", Report("Orders.Amount < 1_000"));
    Write("broken.json", "{ not json");
  }

  void Write(const std::string& name, const std::string& text) {
    const std::filesystem::path path = Folder() + "/" + name;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << text;
  }
  std::string Folder() const { return database_.Directory() + "/reports"; }
  std::string HistoryFile() const { return database_.Directory() + "/history.db"; }
  std::map<std::string, ScanResult> ScanByName() {
    std::map<std::string, ScanResult> byName;
    for (ScanResult& r : Scan({Folder()}, options_)) byName[r.path.substr(Folder().size() + 1)] = std::move(r);
    return byName;
  }
  void Change(const std::string& sql) {
    auto connection = database_.Connect();
    RunSql(*connection, sql);
  }

  TempDatabaseFile database_;
  ScanOptions options_;
};

TEST_F(ScannerTest, CountsAndKeysAreSqlitesAndAFailingReportStaysItsOwn) {
  for (const int32_t jobs : {1, 2}) {
    options_.jobs = jobs;
    options_.sample = 5;
    std::map<std::string, ScanResult> results = ScanByName();
    ASSERT_EQ(results.size(), 6u);

    const ScanResult& big = results["big.json"];
    EXPECT_EQ(big.status, ScanStatus::kExceptions);
    EXPECT_EQ(big.rows, CountBySqlite(database_.Path(), "Amount >= 900"));
    EXPECT_EQ(big.sample.size(), 5u);
    for (const std::string& key : big.keys) EXPECT_GE(std::stoi(key) * 37 % 1000, 900) << key;
    EXPECT_EQ(big.description, "d");

    // No column carries the main field: the whole row is the identity.
    const ScanResult& held = results["sub/held.json"];
    EXPECT_EQ(held.rows, CountBySqlite(database_.Path(), "Status = 'Held'"));
    EXPECT_TRUE(std::all_of(held.keys.begin(), held.keys.end(), [](const auto& k) { return k == "Held"; }));

    EXPECT_EQ(results["sub/none.json"].status, ScanStatus::kClean);
    EXPECT_EQ(results["sub/none.json"].rows, 0);

    // The failure is the one a host applying the same definition meets, with its place in the formula.
    const ScanResult& underscore = results["underscore.json"];
    ASSERT_TRUE(underscore.error.has_value());
    EXPECT_EQ(underscore.status, ScanStatus::kError);
    EXPECT_EQ(underscore.error->item, "formula 1");
    EXPECT_EQ(underscore.error->position, 16);
    try {
      ReportFromDefinition(LoadDefinition(underscore.path), database_.Connect());
      ADD_FAILURE() << "the report with 1_000 applied";
    } catch (const Error& e) {
      EXPECT_EQ(underscore.error->number, e.Number());
      EXPECT_EQ(underscore.error->source, e.Source());
      EXPECT_EQ(underscore.error->description, e.Message());
    }
    // A column the library takes for one of a set defined later is the check's finding, before any statement.
    EXPECT_EQ(results["misspelt.json"].error->item, "formula 1");
    EXPECT_EQ(results["misspelt.json"].error->position, 0);
    EXPECT_TRUE(results["misspelt.json"].statement.empty());
    EXPECT_EQ(results["broken.json"].error->item, "definition");
  }
}

TEST_F(ScannerTest, HistoryListsNewAndClearedByKeyAndIsUntouchedByFailures) {
  options_.history = HistoryFile();
  std::map<std::string, ScanResult> first = ScanByName();
  EXPECT_EQ(first["big.json"].newKeys, first["big.json"].keys);  // the first scan: every exception is new
  EXPECT_TRUE(first["big.json"].cleared.empty());

  // Order 27 (amount 999) no longer breaks the rule; order 301 does.
  Change("UPDATE Orders SET Amount = 1 WHERE OrderID = 27; INSERT INTO Orders VALUES (301, 950, 'Open');");
  std::map<std::string, ScanResult> second = ScanByName();
  EXPECT_EQ(second["big.json"].newKeys, std::vector<std::string>{"301"});
  EXPECT_EQ(second["big.json"].cleared, std::vector<std::string>{"27"});
  EXPECT_EQ(second["big.json"].trend, (std::vector<int64_t>{first["big.json"].rows, second["big.json"].rows}));
  EXPECT_TRUE(second["sub/held.json"].newKeys.empty());
  EXPECT_TRUE(second["misspelt.json"].newKeys.empty());

  // A history file that cannot be used stops the scan before any report runs.
  options_.history = database_.Directory() + "/no/such/folder/history.db";
  EXPECT_THROW(Scan({Folder()}, options_), Error);
}

int64_t Single(sqlite3* db, const std::string& sql) {
  sqlite3_stmt* statement = nullptr;
  sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr);
  const int64_t value = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int64(statement, 0) : -1;
  sqlite3_finalize(statement);
  return value;
}

// Each recorded scan is whole: every report of it, and every exception of every report.
void ExpectWholeScans(const std::string& file, int64_t reports, int64_t exceptionsPerScan) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
  EXPECT_EQ(Single(db, "SELECT COUNT(*) FROM (SELECT scan FROM reports GROUP BY scan HAVING COUNT(*) <> " +
                           std::to_string(reports) + ")"), 0);
  EXPECT_EQ(Single(db, "SELECT COUNT(*) FROM (SELECT scan FROM exceptions GROUP BY scan HAVING COUNT(*) <> " +
                           std::to_string(exceptionsPerScan) + ")"), 0);
  EXPECT_EQ(Single(db, "SELECT COUNT(*) FROM scans WHERE scan NOT IN (SELECT scan FROM reports)"), 0);
  sqlite3_close(db);
}

int64_t ScansIn(const std::string& file) {
  sqlite3* db = nullptr;
  sqlite3_open(file.c_str(), &db);
  const int64_t scans = Single(db, "SELECT COUNT(*) FROM scans");
  sqlite3_close(db);
  return scans;
}

TEST_F(ScannerTest, AKilledScanLeavesTheHistoryAsItWas) {
  // Every order is an exception of each of twenty reports, so that recording takes a while.
  for (int i = 0; i < 20; ++i) Write("all" + std::to_string(i) + ".json", Report("Orders.Amount >= 0"));
  options_.history = HistoryFile();
  Scan({Folder()}, options_);
  const int64_t reports = 26;
  const int64_t exceptions = 20 * 300 + CountBySqlite(database_.Path(), "Amount >= 900") +
                             CountBySqlite(database_.Path(), "Status = 'Held'");
  // Killed at different points of its run (the delays only spread them): each time, either nothing of the
  // scan was recorded, or all of it.
  for (int delayMs = 0; delayMs < 60; delayMs += 6) {
    const int64_t before = ScansIn(HistoryFile());
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      Scan({Folder()}, options_);
      _exit(0);
    }
    usleep(static_cast<useconds_t>(delayMs * 1000));
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    const int64_t after = ScansIn(HistoryFile());
    EXPECT_TRUE(after == before || after == before + 1) << before << " then " << after;
  }
  ExpectWholeScans(HistoryFile(), reports, exceptions);
}

TEST_F(ScannerTest, TwoScansAtOnceOnOneHistoryBothLandOneAfterTheOther) {
  options_.history = HistoryFile();
  std::vector<ScanResult> one, two;
  std::thread first([&] { one = Scan({Folder()}, options_); });
  std::thread second([&] { two = Scan({Folder()}, options_); });
  first.join();
  second.join();
  EXPECT_EQ(ScansIn(HistoryFile()), 2);
  ExpectWholeScans(HistoryFile(), 6,
                   CountBySqlite(database_.Path(), "Amount >= 900") + CountBySqlite(database_.Path(), "Status = 'Held'"));
  // The scan recorded second compared with the first: nothing new for it, everything new for the first.
  const auto newOf = [](const std::vector<ScanResult>& results) {
    std::size_t count = 0;
    for (const ScanResult& r : results) count += r.newKeys.size();
    return count;
  };
  EXPECT_EQ(std::min(newOf(one), newOf(two)), 0u);
  EXPECT_GT(std::max(newOf(one), newOf(two)), 0u);
}

}  // namespace
}  // namespace talvane::test
