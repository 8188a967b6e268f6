// The property of `talvane check`: for every generated definition it passes, the SQLite statement compiles
// and runs to completion on the sample database, and the SQL Server statement parses as one T-SQL SELECT
// (tests/tools/tsql-check, when node is there). The definitions come from a fixed seed.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <ostream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "database_options.hpp"
#include "talvane/definition/definition_reader.hpp"
#include "talvane/definition/definition_check.hpp"
#include "definition_generator.hpp"
#include "talvane/db/connection.hpp"
#include "talvane/foundation/error.hpp"
#include "talvane/report/report_rows.hpp"

namespace talvane::cli::test {
namespace {

// Two batches of definitions, each its own test, so that ctest runs them side by side.
struct Batch {
  uint32_t seed;
  int definitions;
};
constexpr Batch kBatches[] = {{20240611, 5000}, {20240612, 5000}};

void PrintTo(const Batch& batch, std::ostream* out) {
  *out << batch.definitions << " definitions of seed " << batch.seed;
}

struct Findings {
  int passed = 0;
  double seconds = 0;
  // Each with the definition that shows it.
  std::vector<std::string> violations;
  // The SQL Server statements of the definitions that passed, separated by "--<end>--" lines.
  std::string tsqlBatch;
};

// The error that stopped the statement, or nothing when every row was read.
std::string RunToCompletion(const std::shared_ptr<db::Connection>& connection, const std::string& statement) {
  try {
    ReportRows rows(connection, statement);
    while (rows.Next()) {
    }
  } catch (const Error& e) {
    return "error " + std::to_string(e.Number()) + ": " + e.Message();
  }
  return {};
}

// Checks one definition and adds what it shows to the findings.
void CheckOne(const std::string& json, const std::shared_ptr<db::Connection>& sqlServer,
              const std::shared_ptr<db::Connection>& sqlite, Findings& findings) {
  CheckResult result;
  try {
    result = CheckDefinition(ParseDefinition(json, "generated"), sqlServer, sqlite);
  } catch (const std::exception& e) {
    findings.violations.push_back(json + "\n  check raised: " + e.what());
    return;
  }
  if (!result.failures.empty()) return;
  ++findings.passed;
  if (!result.statement || !result.sqliteStatement) {
    findings.violations.push_back(json + "\n  passed without both statements");
    return;
  }
  if (const std::string error = RunToCompletion(sqlite, *result.sqliteStatement); !error.empty()) {
    findings.violations.push_back(json + "\n  the SQLite statement did not run: " + error + "\n" +
                                  *result.sqliteStatement);
  }
  findings.tsqlBatch += *result.statement + "\n--<end>--\n";
}

// A directory of its own under the system's temporary directory, removed with everything in it.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "talvane-check-property-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp: " + std::string(std::strerror(errno)));
    path_ = pattern;
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

void Execute(const std::filesystem::path& database, int flags, const std::string& sql) {
  sqlite3* handle = nullptr;
  int rc = sqlite3_open_v2(database.c_str(), &handle, flags, nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_exec(handle, sql.c_str(), nullptr, nullptr, nullptr);
  const std::string message = handle != nullptr ? sqlite3_errmsg(handle) : "out of memory";
  sqlite3_close(handle);
  if (rc != SQLITE_OK) throw std::runtime_error(database.string() + ": " + message);
}

// A copy of the sample database with a share of its rows: the same schema and kinds of values, but each join
// and set multiplies fewer rows, so that ten thousand statements run in seconds.
std::filesystem::path ThinnedSampleDatabase(const std::filesystem::path& dir) {
  const std::filesystem::path copy = dir / "thinned.db";
  Execute(TALVANE_SAMPLE_DB, SQLITE_OPEN_READONLY, "VACUUM INTO '" + copy.string() + "'");
  Execute(copy, SQLITE_OPEN_READWRITE,
          "DELETE FROM OrderLines WHERE LineID % 5 <> 0; DELETE FROM Orders WHERE OrderID % 3 <> 0; "
          "DELETE FROM Customers WHERE CustomerID % 2 <> 0;");
  return copy;
}

Findings CheckGeneratedDefinitions(const Batch& batch) {
  const auto start = std::chrono::steady_clock::now();
  const ScratchDir dir;
  const std::string connection = "Data Source=" + ThinnedSampleDatabase(dir.Path()).string();
  const std::shared_ptr<db::Connection> sqlServer = OpenDatabase({connection, "sqlserver"});
  const std::shared_ptr<db::Connection> sqlite = OpenDatabase({connection, "sqlite"});
  DefinitionGenerator generator(batch.seed);
  Findings findings;
  for (int i = 0; i < batch.definitions; ++i) CheckOne(generator.Next(), sqlServer, sqlite, findings);
  findings.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return findings;
}

std::string FirstOf(const std::vector<std::string>& violations, std::size_t count) {
  std::string text;
  for (std::size_t i = 0; i < violations.size() && i < count; ++i) text += violations[i] + "\n\n";
  return text;
}

bool HaveNode() { return std::system("command -v node >/dev/null 2>&1 && command -v npm >/dev/null 2>&1") == 0; }

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// Runs tests/tools/tsql-check once over the statements; its exit code (2: it could not run) and report.
std::pair<int, std::string> CheckTsql(const std::string& statements) {
  const ScratchDir dir;
  std::ofstream(dir.Path() / "statements.sql", std::ios::binary) << statements;
  const std::string command = "bash '" + std::string(TALVANE_SOURCE_DIR) + "/tests/tools/tsql-check' '" +
                              (dir.Path() / "statements.sql").string() + "' > '" +
                              (dir.Path() / "output.txt").string() + "' 2>&1";
  const int status = std::system(command.c_str());
  return {WEXITSTATUS(status), ReadFile(dir.Path() / "output.txt")};
}

class CheckProperty : public ::testing::TestWithParam<Batch> {};

// One test per batch, so that its definitions are generated and checked once.
TEST_P(CheckProperty, WhatCheckPassesRunsOnSqliteAndParsesAsTsql) {
  const Batch& batch = GetParam();
  const Findings findings = CheckGeneratedDefinitions(batch);
  std::printf("check property, seed %u: %d definitions, %d passed check, %.1f s\n", batch.seed, batch.definitions,
              findings.passed, findings.seconds);
  EXPECT_TRUE(findings.violations.empty()) << findings.violations.size() << " violations; the first:\n"
                                           << FirstOf(findings.violations, 5);
  // The mistakes must not drown the definitions that pass, nor the other way round.
  EXPECT_GE(findings.passed, batch.definitions / 4);
  EXPECT_LE(findings.passed, batch.definitions * 9 / 10);
  if (!HaveNode()) GTEST_SKIP() << "node and npm are needed for the T-SQL check";
  const auto [status, report] = CheckTsql(findings.tsqlBatch);
  ASSERT_NE(status, 2) << "tsql-check could not run:\n" << report;
  EXPECT_EQ(status, 0) << report.substr(0, 4000);
}

INSTANTIATE_TEST_SUITE_P(Seeded, CheckProperty, ::testing::ValuesIn(kBatches),
                         [](const ::testing::TestParamInfo<Batch>& info) {
                           return "seed" + std::to_string(info.param.seed);
                         });

}  // namespace
}  // namespace talvane::cli::test
