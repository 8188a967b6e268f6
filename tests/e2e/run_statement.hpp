#pragma once
// Runs a statement on a SQLite test database and returns its rows, each as its values joined with " | "
// (NULL reads as NULL); a statement SQLite refuses is a test failure and gives no rows.
#include <string>
#include <vector>

#include "talvane/db/sqlite_connection.hpp"

namespace talvane::test {

std::vector<std::string> RunStatement(db::SqliteConnection& connection, const std::string& sql);

}  // namespace talvane::test
