#include "talvane/scan/scan_history.hpp"

#include <sqlite3.h>

#include <string_view>
#include <unordered_set>

#include "talvane/db/recordset.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane {

namespace {

constexpr const char* kSource = "talvane: scan history";
// How long a scan waits for another one that is recording into the same file.
constexpr int kBusyTimeoutMs = 60000;
// The past scans a trend shows.
constexpr int kTrendLength = 30;

constexpr const char* kSchema =
    "CREATE TABLE IF NOT EXISTS scans (scan INTEGER PRIMARY KEY, finished TEXT NOT NULL);"
    "CREATE TABLE IF NOT EXISTS reports (scan INTEGER NOT NULL REFERENCES scans, path TEXT NOT NULL, "
    "status TEXT NOT NULL, rows INTEGER NOT NULL, PRIMARY KEY (scan, path));"
    "CREATE TABLE IF NOT EXISTS exceptions (scan INTEGER NOT NULL REFERENCES scans, path TEXT NOT NULL, "
    "identity TEXT NOT NULL);"
    "CREATE INDEX IF NOT EXISTS exceptions_of_report ON exceptions (path, scan);";

// A prepared statement, finalized however its use ends.
class Statement {
 public:
  Statement(sqlite3* db, const char* sql) : db_(db) {
    if (sqlite3_prepare_v2(db, sql, -1, &statement_, nullptr) != SQLITE_OK) Fail();
  }
  ~Statement() { sqlite3_finalize(statement_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  Statement& Bind(int index, std::string_view text) {
    Check(sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT));
    return *this;
  }
  Statement& Bind(int index, int64_t value) {
    Check(sqlite3_bind_int64(statement_, index, value));
    return *this;
  }
  // Moves to the next row; false once there is none.
  bool Step() {
    const int rc = sqlite3_step(statement_);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) Fail();
    return false;
  }
  // Runs a statement that gives no row, ready to be bound and run again.
  void Run() {
    Step();
    sqlite3_reset(statement_);
  }
  int64_t Integer(int column) const { return sqlite3_column_int64(statement_, column); }
  std::string Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
    return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(statement_, column))) : "";
  }

 private:
  void Check(int rc) {
    if (rc != SQLITE_OK) Fail();
  }
  [[noreturn]] void Fail() { Raise(db::kErrUnspecified, kSource, sqlite3_errmsg(db_)); }

  sqlite3* db_;
  sqlite3_stmt* statement_ = nullptr;
};

// The identities of `from` that `other` lacks, each once, in the order of `from`.
std::vector<std::string> Missing(const std::vector<std::string>& from, const std::vector<std::string>& other) {
  const std::unordered_set<std::string> present(other.begin(), other.end());
  std::unordered_set<std::string> seen;
  std::vector<std::string> missing;
  for (const std::string& key : from) {
    if (!present.count(key) && seen.insert(key).second) missing.push_back(key);
  }
  return missing;
}

}  // namespace

ScanHistory::ScanHistory(const std::string& file) {
  if (sqlite3_open_v2(file.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
    const std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
    sqlite3_close(db_);
    Raise(db::kErrUnspecified, kSource, "cannot open \"" + file + "\": " + message);
  }
  sqlite3_busy_timeout(db_, kBusyTimeoutMs);
  try {
    Execute(kSchema);
  } catch (...) {
    sqlite3_close(db_);
    throw;
  }
}

ScanHistory::~ScanHistory() { sqlite3_close(db_); }

void ScanHistory::Execute(const char* sql) {
  char* message = nullptr;
  if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) != SQLITE_OK) {
    const std::string text = message ? message : sqlite3_errmsg(db_);
    sqlite3_free(message);
    Raise(db::kErrUnspecified, kSource, text);
  }
}

void ScanHistory::Record(std::vector<ScanResult>& results) {
  // IMMEDIATE takes the write lock before anything is read, so that a scan recording at the same time
  // waits for this one and then compares with it.
  Execute("BEGIN IMMEDIATE");
  try {
    for (ScanResult& result : results) {
      if (result.status != ScanStatus::kError) Compare(result);
    }
    Store(results);
    Execute("COMMIT");
  } catch (...) {
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    throw;
  }
}

void ScanHistory::Compare(ScanResult& result) {
  Statement previous(db_, "SELECT scan FROM reports WHERE path = ?1 AND status <> 'error' ORDER BY scan DESC "
                          "LIMIT 1");
  std::vector<std::string> previousKeys;
  if (previous.Bind(1, result.path).Step()) {
    Statement keys(db_, "SELECT identity FROM exceptions WHERE path = ?1 AND scan = ?2");
    keys.Bind(1, result.path).Bind(2, previous.Integer(0));
    while (keys.Step()) previousKeys.push_back(keys.Text(0));
  }
  result.newKeys = Missing(result.keys, previousKeys);
  result.cleared = Missing(previousKeys, result.keys);

  Statement trend(db_, "SELECT rows FROM (SELECT scan, rows FROM reports WHERE path = ?1 AND status <> 'error' "
                       "ORDER BY scan DESC LIMIT ?2) ORDER BY scan");
  trend.Bind(1, result.path).Bind(2, int64_t{kTrendLength - 1});
  result.trend.clear();
  while (trend.Step()) result.trend.push_back(trend.Integer(0));
  result.trend.push_back(result.rows);
}

void ScanHistory::Store(const std::vector<ScanResult>& results) {
  Execute("INSERT INTO scans (finished) VALUES (datetime('now'))");
  const int64_t scan = sqlite3_last_insert_rowid(db_);
  Statement report(db_, "INSERT INTO reports (scan, path, status, rows) VALUES (?1, ?2, ?3, ?4)");
  Statement exception(db_, "INSERT INTO exceptions (scan, path, identity) VALUES (?1, ?2, ?3)");
  for (const ScanResult& result : results) {
    report.Bind(1, scan).Bind(2, result.path).Bind(3, ScanStatusName(result.status)).Bind(4, result.rows).Run();
    for (const std::string& key : result.keys) exception.Bind(1, scan).Bind(2, result.path).Bind(3, key).Run();
  }
}

}  // namespace talvane
