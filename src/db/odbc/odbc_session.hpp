#pragma once
// One live ODBC connection: the environment and connection handles, what the driver told about itself, and
// the schema generation. The connection object and each recordset opened on it share it, so the handles stay
// valid while any statement of theirs lives, and are disconnected and freed when the last owner goes.
#include <sql.h>

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "db/odbc/odbc_handle.hpp"
#include "talvane/db/odbc_connection.hpp"

namespace talvane::db::detail {

class OdbcSession {
 public:
  using Row = std::vector<std::optional<std::string>>;

  // Connects with the driver string; raises the driver's diagnostics when it cannot (nothing is left allocated).
  OdbcSession(const std::string& driverString, bool readOnly);
  ~OdbcSession();
  OdbcSession(const OdbcSession&) = delete;
  OdbcSession& operator=(const OdbcSession&) = delete;

  SQLHDBC Handle() const { return connection_.Get(); }
  // A new statement handle of this connection.
  OdbcHandle NewStatement();
  // What the driver quotes identifiers with (blank when it does not quote).
  const std::string& QuoteChar() const { return quote_; }
  // What escapes "_" and "%" in a catalogue search pattern (empty when the driver has no escape).
  const std::string& PatternEscape() const { return patternEscape_; }
  // The database product the driver reaches (SQL_DBMS_NAME).
  const std::string& Product() const { return product_; }

  // Unique to this session and its schema as this connection knows it: moves when a statement that returns
  // no rows (a definition, a change) runs through it.
  uint64_t Generation() const { return generation_; }
  void SchemaMayHaveChanged();
  // The ordinary tables of the catalogue (its rows: catalog, schema, name, type, remarks), listed once per
  // generation.
  const std::vector<Row>& Tables();

  OdbcCounts& Counts() { return counts_; }

  // Marks `statement` as running on the driver (executing or fetching) while it lives, so that Cancel
  // reaches it.
  class Running {
   public:
    Running(OdbcSession& session, SQLHSTMT statement);
    ~Running();
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

   private:
    OdbcSession& session_;
    SQLHSTMT statement_;
  };
  // SQLCancel on every statement running now; callable from any thread.
  void Cancel() noexcept;

 private:
  std::string InfoText(SQLUSMALLINT info);

  OdbcHandle environment_;
  OdbcHandle connection_;  // freed before the environment (members go in reverse order)
  bool connected_ = false;
  std::string quote_;
  std::string patternEscape_;
  std::string product_;
  uint64_t generation_ = 0;
  std::optional<std::vector<Row>> tables_;
  OdbcCounts counts_;
  std::mutex runningLock_;
  std::vector<SQLHSTMT> running_;
};

}  // namespace talvane::db::detail
