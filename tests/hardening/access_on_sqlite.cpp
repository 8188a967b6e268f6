#include "access_on_sqlite.hpp"

#include <memory>

namespace talvane::test {

namespace {

void IsNullFunction(sqlite3_context* context, int, sqlite3_value** arguments) {
  sqlite3_result_int(context, sqlite3_value_type(arguments[0]) == SQLITE_NULL ? 1 : 0);
}

struct StatementDeleter {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementDeleter>;

std::string Message(sqlite3* handle) { return sqlite3_errmsg(handle); }

bool CanaryAlive(sqlite3* handle) {
  sqlite3_stmt* raw = nullptr;
  if (sqlite3_prepare_v2(handle, "SELECT Chirp FROM Canary", -1, &raw, nullptr) != SQLITE_OK) {
    sqlite3_finalize(raw);
    return false;
  }
  const Statement statement(raw);
  if (sqlite3_step(statement.get()) != SQLITE_ROW) return false;
  const auto* text = sqlite3_column_text(statement.get(), 0);
  return text != nullptr && std::string(reinterpret_cast<const char*>(text)) == "alive" &&
         sqlite3_step(statement.get()) == SQLITE_DONE;
}

std::vector<std::string> ReadRows(sqlite3_stmt* statement, int& rc) {
  std::vector<std::string> rows;
  while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
    std::string row;
    for (int i = 0; i < sqlite3_column_count(statement); ++i) {
      if (i > 0) row += " | ";
      const auto* text = sqlite3_column_text(statement, i);
      row += text != nullptr ? std::string(reinterpret_cast<const char*>(text),
                                           static_cast<std::size_t>(sqlite3_column_bytes(statement, i)))
                             : "NULL";
    }
    rows.push_back(row);
  }
  return rows;
}

}  // namespace

void PrepareAccessRun(db::SqliteConnection& connection) {
  sqlite3* handle = connection.Handle();
  ASSERT_EQ(sqlite3_exec(handle, "CREATE TABLE Canary (Chirp TEXT); INSERT INTO Canary VALUES ('alive');", nullptr,
                         nullptr, nullptr),
            SQLITE_OK)
      << Message(handle);
  ASSERT_EQ(sqlite3_create_function(handle, "ISNULL", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, IsNullFunction,
                                    nullptr, nullptr),
            SQLITE_OK);
}

std::string AsSqliteText(const std::string& accessSql) {
  static const std::string kCall = "ISNULL(";
  std::string out;
  std::size_t i = 0;
  while (i < accessSql.size()) {
    const char c = accessSql[i];
    if (c == '\'' || c == '[') {
      // Copy a literal ('...', apostrophes doubled) or a bracketed name whole.
      const char close = c == '\'' ? '\'' : ']';
      std::size_t j = i + 1;
      while (j < accessSql.size()) {
        if (accessSql[j] == close) {
          if (close == '\'' && j + 1 < accessSql.size() && accessSql[j + 1] == '\'') {
            j += 2;
            continue;
          }
          break;
        }
        ++j;
      }
      const std::size_t end = j < accessSql.size() ? j + 1 : j;
      out.append(accessSql, i, end - i);
      i = end;
    } else if (accessSql.compare(i, kCall.size(), kCall) == 0) {
      out += "[ISNULL](";
      i += kCall.size();
    } else {
      out += c;
      ++i;
    }
  }
  return out;
}

::testing::AssertionResult RunsAsOneSafeSelect(db::SqliteConnection& connection, const std::string& sql,
                                               StatementRun* run) {
  sqlite3* handle = connection.Handle();
  if (!CanaryAlive(handle)) return ::testing::AssertionFailure() << "the canary is missing before the run";
  const std::string text = AsSqliteText(sql);
  // SQLite stops reading at a NUL byte: whatever follows would silently not be part of the statement.
  if (text.find('\0') != std::string::npos) {
    return ::testing::AssertionFailure() << "the statement holds a NUL byte at " << text.find('\0');
  }

  sqlite3_stmt* raw = nullptr;
  const char* tail = nullptr;
  if (sqlite3_prepare_v2(handle, text.c_str(), static_cast<int>(text.size()), &raw, &tail) != SQLITE_OK) {
    sqlite3_finalize(raw);
    return ::testing::AssertionFailure() << "SQLite refused the statement: " << Message(handle) << "\n" << text;
  }
  const Statement first(raw);
  if (!first) return ::testing::AssertionFailure() << "no statement at all";
  if (sqlite3_stmt_readonly(first.get()) == 0) return ::testing::AssertionFailure() << "the statement writes";

  // Everything after the first statement must be blanks or comments.
  sqlite3_stmt* rawNext = nullptr;
  const int nextRc = sqlite3_prepare_v2(handle, tail, -1, &rawNext, nullptr);
  const Statement next(rawNext);
  if (nextRc != SQLITE_OK || next) {
    return ::testing::AssertionFailure() << "SQLite finds more after the first statement: \"" << tail << "\"";
  }

  int rc = SQLITE_OK;
  StatementRun result;
  for (int i = 0; i < sqlite3_column_count(first.get()); ++i) result.columns.emplace_back(sqlite3_column_name(first.get(), i));
  result.rows = ReadRows(first.get(), rc);
  if (rc != SQLITE_DONE) return ::testing::AssertionFailure() << "the statement failed: " << Message(handle);

  // Run the whole text as a script too: a smuggled statement would run here and kill the canary.
  sqlite3_exec(handle, text.c_str(), nullptr, nullptr, nullptr);
  if (!CanaryAlive(handle)) return ::testing::AssertionFailure() << "the canary did not survive the statement";
  if (run != nullptr) *run = std::move(result);
  return ::testing::AssertionSuccess();
}

std::string SqliteName(const std::string& name) {
  std::string out = "\"";
  for (const char c : name) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

}  // namespace talvane::test
