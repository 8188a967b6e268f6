#pragma once
// Runs an Access-dialect statement on a SQLite test database and proves it is one SELECT that changes
// nothing: SQLite must find no second statement after the first, the whole text run as a script must leave
// the canary table and its row in place, and the rows and column names are returned for comparison.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "talvane/db/sqlite_connection.hpp"

namespace talvane::test {

// Adds the canary table (one row, 'alive') and the ISNULL function that Access statements call.
void PrepareAccessRun(db::SqliteConnection& connection);

struct StatementRun {
  std::vector<std::string> columns;
  std::vector<std::string> rows;  // each row's values joined with " | "; NULL reads as NULL
};

// The statement as SQLite runs it: ISNULL( outside literals and names becomes [ISNULL]( (SQLite reads a bare
// ISNULL as its own postfix operator). Literals and bracketed names are left exactly as they are.
std::string AsSqliteText(const std::string& accessSql);

// Succeeds when `sql` holds no NUL byte, SQLite prepares exactly one statement from it and finds nothing but
// blanks or comments after it, the statement reads without writing, and after running the whole text as a
// script the canary is still there. `run` receives the rows of the first statement.
::testing::AssertionResult RunsAsOneSafeSelect(db::SqliteConnection& connection, const std::string& sql,
                                               StatementRun* run = nullptr);

// Quotes a name for SQLite's own DDL ("name", with inner double quotes doubled).
std::string SqliteName(const std::string& name);

}  // namespace talvane::test
