// End to end: the Access and the SQLite statement of each statement case that lists rows are run on the
// SQLite test database, and the rows they return are compared with the case's "== rows" block.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <string>
#include <vector>

#include "e2e/run_statement.hpp"
#include "report/statement_case.hpp"

namespace talvane::test {
namespace {

// Access spells the one-argument null test ISNULL(x); SQLite has none, so this connection gets one.
// SQLite reads a bare ISNULL as its own postfix operator, so the call is run as [ISNULL](x): the same
// function, named as a quoted identifier.
void IsNullFunction(sqlite3_context* context, int, sqlite3_value** arguments) {
  sqlite3_result_int(context, sqlite3_value_type(arguments[0]) == SQLITE_NULL ? 1 : 0);
}

void RegisterIsNull(db::SqliteConnection& connection) {
  ASSERT_EQ(sqlite3_create_function(connection.Handle(), "ISNULL", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                                    IsNullFunction, nullptr, nullptr),
            SQLITE_OK);
}

std::vector<std::filesystem::path> CasesWithRows() {
  std::vector<std::filesystem::path> files;
  for (const auto& file : CaseFiles()) {
    if (LoadCase(file).hasRows) files.push_back(file);
  }
  return files;
}

class StatementRows : public ::testing::TestWithParam<std::filesystem::path> {};

TEST_P(StatementRows, AccessStatementReturnsTheExpectedRows) {
  const StatementCase c = LoadCase(GetParam());
  const auto connection = CaseDatabase(c, kAccessProvider);
  RegisterIsNull(*connection);
  const std::string sql = BuildReport(c, connection)->SQL();
  ASSERT_EQ(sql.find('#'), std::string::npos) << "date literals of Access do not run on SQLite";
  std::vector<std::string> rows = RunStatement(*connection, ReplaceAll(sql, "ISNULL(", "[ISNULL]("));
  std::vector<std::string> expected = c.rows;
  // Without ORDER BY the order of the rows is the database's choice.
  if (sql.find("ORDER BY ") == std::string::npos) {
    std::sort(rows.begin(), rows.end());
    std::sort(expected.begin(), expected.end());
  }
  EXPECT_EQ(rows, expected) << ShowLayout(sql);
}

// The SQLite statement runs as it is, with nothing registered or rewritten.
TEST_P(StatementRows, SqliteStatementReturnsTheExpectedRows) {
  const StatementCase c = LoadCase(GetParam());
  const auto connection = CaseDatabase(c, ProviderOf("sqlite"));
  const std::string sql = BuildReport(c, connection)->SQL();
  std::vector<std::string> rows = RunStatement(*connection, sql);
  std::vector<std::string> expected = c.sqliteRows.empty() ? c.rows : c.sqliteRows;
  if (sql.find("ORDER BY ") == std::string::npos) {
    std::sort(rows.begin(), rows.end());
    std::sort(expected.begin(), expected.end());
  }
  EXPECT_EQ(rows, expected) << ShowLayout(sql);
}

INSTANTIATE_TEST_SUITE_P(Data, StatementRows, ::testing::ValuesIn(CasesWithRows()),
                         [](const ::testing::TestParamInfo<std::filesystem::path>& info) {
                           return info.param.stem().string();
                         });

TEST(StatementRowCases, AtLeastTenDefinitionsRunEndToEnd) { EXPECT_GE(CasesWithRows().size(), 10u); }

}  // namespace
}  // namespace talvane::test
