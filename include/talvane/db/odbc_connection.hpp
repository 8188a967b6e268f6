#pragma once
// A connection to any database an ODBC driver reaches (unixODBC), in the library target talvane::odbc.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "talvane/db/connection.hpp"

namespace talvane::db {

namespace detail {
class OdbcSession;
}

/// What the connection asked of the server since it was created, for hosts and benchmarks that watch the
/// round trips.
struct OdbcCounts {
  int64_t catalogueCalls = 0;      ///< table and column listings
  int64_t statementsPrepared = 0;  ///< statements prepared (a column probe is one)
  int64_t statementsExecuted = 0;  ///< statements run
};

/// A connection through an ODBC driver manager: the schema of a live server, for the report's probes and
/// look-ups, in the same shape as the SQLite backend gives it.
class OdbcConnection : public Connection {
 public:
  /// Connects with an ODBC connection string ("Driver=...;..." or "DSN=..."). Its Provider key (the dialect of
  /// the library's statements) and Mode key ("Mode=Read" asks the driver for a read-only connection) stay in
  /// ConnectionString() and are not passed to the driver. Failures raise talvane::Error 0x80004005 with the
  /// driver's message and SQLSTATE.
  static std::shared_ptr<OdbcConnection> Create(const std::string& connectionString);
  ~OdbcConnection() override;

  std::string ConnectionString() const override;
  int32_t State() const override;
  // Listed with the driver's catalogue functions (SQLTables, SQLColumns), in the SQLite backend's columns.
  std::shared_ptr<Recordset> OpenSchema(int32_t kind, const std::vector<std::string>& restrictions) override;
  std::shared_ptr<Recordset> NewRecordset() override;
  // The connection's own generation: it moves with every opening and with every statement run through this
  // connection that returns no rows (a definition or a change). A change made to the schema by another
  // connection is not seen until SchemaChanged() or a new opening: telling it would cost a round trip for
  // every question.
  std::optional<std::string> SchemaVersion() noexcept override;
  /// SQLCancel on the statements of this connection that are executing or fetching.
  bool Interrupt() noexcept override;
  // Prepared and described by the driver, never run: a server that parses at preparation (PostgreSQL, SQL
  // Server) refuses a statement it cannot compile here, with its own message. A closed connection raises 3704.
  bool Compile(std::string_view sql) override;
  // The product the driver reaches (SQL_DBMS_NAME), asked once at the opening; empty while closed.
  std::string DatabaseProduct() const override;

  /// Opens again after Close.
  void Open();
  /// Closes the connection; recordsets still open keep the server connection until they close.
  void Close();
  /// Tells the connection that its schema may have changed: everything learnt from it is asked again.
  void SchemaChanged();
  /// What the connection asked of the server since it was created.
  OdbcCounts Counts() const;

 private:
  friend class OdbcRecordset;
  explicit OdbcConnection(std::string connectionString);
  std::shared_ptr<detail::OdbcSession> Session() const;

  std::string connectionString_;
  std::shared_ptr<detail::OdbcSession> session_;  // null while closed
  OdbcCounts closedCounts_;                        // what earlier sessions asked
};

}  // namespace talvane::db
