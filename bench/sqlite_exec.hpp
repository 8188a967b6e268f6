#pragma once
// Bench-local: running SQL text on a SQLite handle while a benchmark sets up its database.
#include <sqlite3.h>

#include <stdexcept>
#include <string>

namespace talvane::bench {

// Runs every statement of `sql`; raises std::runtime_error with SQLite's message when one fails.
inline void Exec(sqlite3* handle, const std::string& sql) {
  char* message = nullptr;
  if (sqlite3_exec(handle, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    const std::string text = message != nullptr ? message : "unknown error";
    sqlite3_free(message);
    throw std::runtime_error(text);
  }
}

}  // namespace talvane::bench
