#pragma once
// The embedded default backend: a connection to a SQLite database file (or ":memory:").
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "talvane/db/connection.hpp"

struct sqlite3;

namespace talvane::db {

class SqliteRecordset;
class SqliteSession;

/// The SQLite backend: a connection to a database file (or an in-memory database) through the SQLite
/// library, opened from an ADO-style connection string.
class SqliteConnection : public Connection {
 public:
  /// Opens the database named by the "Data Source" key of an ADO-style connection string. The file must
  /// exist (":memory:" gives a fresh in-memory database); failures raise talvane::Error 0x80004005. The key
  /// "Mode=Read" (any letter case) opens it read-only: every statement that would write to it then fails.
  /// A statement that meets a lock another connection holds waits for it: "Timeout" seconds (decimals
  /// allowed; 0 fails at once), 5 without the key; a Timeout that is no such number fails the opening.
  static std::shared_ptr<SqliteConnection> Create(const std::string& connectionString);
  /// Another connection to this one's open database under its own connection string, whose Provider may choose
  /// another dialect. It shares the database instead of opening it again (an in-memory one included), is
  /// closed whenever this one is, and closing or dropping it leaves this one open.
  std::shared_ptr<SqliteConnection> Alias(const std::string& connectionString) const;

  /// The keys of an ADO-style connection string this backend does not read, as written, in order. It reads
  /// "Data Source", "Provider", "Mode" and "Timeout" (any letter case; Timeout is how long a statement waits
  /// for a lock another connection holds, in seconds, 5 by default); a host may warn about the others, which
  /// are most often misspelt.
  static std::vector<std::string> UnusedKeys(std::string_view connectionString);
  ~SqliteConnection() override;

  std::string ConnectionString() const override;
  int32_t State() const override;
  std::shared_ptr<Recordset> OpenSchema(int32_t kind, const std::vector<std::string>& restrictions) override;
  std::shared_ptr<Recordset> NewRecordset() override;
  /// Moves with any schema change of an attached database, by any connection, and with every reopening.
  std::optional<std::string> SchemaVersion() noexcept override;
  /// Prepares the statement and finalizes it, never stepping it.
  bool Compile(std::string_view sql) override;

  /// Re-opens the same data source after Close (an in-memory database then starts empty).
  void Open();
  /// Closes every recordset still open on the connection, then the database.
  void Close();
  /// The underlying handle (null while closed), for hosts that register functions or run statements.
  sqlite3* Handle() const;
  /// Recordsets currently open on this connection, schema requests included (for leak checks).
  int32_t OpenRecordsets() const;

 private:
  friend class SqliteRecordset;
  explicit SqliteConnection(std::string connectionString);
  std::shared_ptr<SqliteSession> Session() const;

  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace talvane::db
