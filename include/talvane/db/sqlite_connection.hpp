#pragma once
// The embedded default backend: a connection to a SQLite database file (or ":memory:").
#include <memory>
#include <string>

#include "talvane/db/connection.hpp"

struct sqlite3;

namespace talvane::db {

class SqliteConnection : public Connection, public std::enable_shared_from_this<SqliteConnection> {
 public:
  // Opens the database named by the "Data Source" key of an ADO-style connection string.
  static std::shared_ptr<SqliteConnection> Create(const std::string& connectionString);
  ~SqliteConnection() override;

  std::string ConnectionString() const override;
  int32_t State() const override;
  std::shared_ptr<Recordset> OpenSchema(int32_t kind, const std::vector<std::string>& restrictions) override;
  std::shared_ptr<Recordset> NewRecordset() override;

  void Open();
  void Close();
  // The underlying handle (null while closed), for hosts that register functions or run statements.
  sqlite3* Handle() const;

 private:
  explicit SqliteConnection(std::string connectionString);
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace talvane::db
