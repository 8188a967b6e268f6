#include "run_statement.hpp"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace talvane::test {

std::vector<std::string> RunStatement(db::SqliteConnection& connection, const std::string& sql) {
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(connection.Handle(), sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
    ADD_FAILURE() << "SQLite refused the statement: " << sqlite3_errmsg(connection.Handle()) << "\n" << sql;
    sqlite3_finalize(statement);
    return {};
  }
  std::vector<std::string> rows;
  while (sqlite3_step(statement) == SQLITE_ROW) {
    std::string row;
    for (int i = 0; i < sqlite3_column_count(statement); ++i) {
      if (i > 0) row += " | ";
      const auto* text = sqlite3_column_text(statement, i);
      row += text != nullptr ? reinterpret_cast<const char*>(text) : "NULL";
    }
    rows.push_back(row);
  }
  sqlite3_finalize(statement);
  return rows;
}

}  // namespace talvane::test
