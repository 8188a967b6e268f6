// A database locked by another connection: opening waits for the lock (the connection string's Timeout, a
// few seconds without it) and fails at once with Timeout=0.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "db/sqlite/connection_string.hpp"
#include "support/expect_error.hpp"
#include "support/sqlite_fixture.hpp"
#include "talvane/db/sqlite_connection.hpp"

namespace talvane::test {
namespace {

using db::SqliteConnection;

// Another program's connection holding an exclusive lock on the file until Release().
class ExclusiveLock {
 public:
  explicit ExclusiveLock(const std::string& path) {
    sqlite3_open(path.c_str(), &db_);
    EXPECT_EQ(sqlite3_exec(db_, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db_);
  }
  ~ExclusiveLock() { sqlite3_close(db_); }
  void Release() { sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr); }

 private:
  sqlite3* db_ = nullptr;
};

TEST(SqliteBusyTimeout, WithoutTimeoutKeyOpeningWaitsUntilTheLockIsReleased) {
  const TempDatabaseFile file("CREATE TABLE T (ID INTEGER);");
  ExclusiveLock lock(file.Path());
  std::atomic<bool> opened = false;
  bool openedWhileLocked = true;
  std::thread releaser([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    openedWhileLocked = opened;
    lock.Release();
  });
  EXPECT_NO_THROW(SqliteConnection::Create(file.ConnectionString()));
  opened = true;
  releaser.join();
  EXPECT_FALSE(openedWhileLocked);
}

TEST(SqliteBusyTimeout, TimeoutZeroFailsAtOnceAndABadTimeoutIsRefused) {
  const TempDatabaseFile file("CREATE TABLE T (ID INTEGER);");
  ExclusiveLock lock(file.Path());
  const Error locked = CaptureError([&] { SqliteConnection::Create(file.ConnectionString() + ";Timeout=0"); });
  EXPECT_NE(locked.Message().find("database is locked"), std::string::npos) << locked.Message();
  lock.Release();
  EXPECT_NO_THROW(SqliteConnection::Create(file.ConnectionString() + ";Timeout=0"));
  for (const char* bad : {"abc", "-1", "1e3", "86401", "inf", "nan", ""}) {
    const Error refused = CaptureError([&] { SqliteConnection::Create(file.ConnectionString() + ";Timeout=" + bad); });
    EXPECT_NE(refused.Message().find("Timeout"), std::string::npos) << bad;
  }
  EXPECT_EQ(db::detail::BusyTimeoutMs("Data Source=x"), db::detail::kDefaultBusyTimeoutMs);
  EXPECT_EQ(db::detail::BusyTimeoutMs("Data Source=x; timeout = 2.5 "), 2500);
}

}  // namespace
}  // namespace talvane::test
