#pragma once
// The connection the host hands to the library. The library never opens or closes it.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "talvane/db/recordset.hpp"

namespace talvane::db {

constexpr int32_t kSchemaTables = 20;
constexpr int32_t kSchemaColumns = 4;

class SchemaCache;

/// Held by std::shared_ptr, as the library's objects hold it.
class Connection : public std::enable_shared_from_this<Connection> {
 public:
  Connection();
  virtual ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  /// The connection string as the host gave it.
  virtual std::string ConnectionString() const = 0;
  /// 0 closed, 1 open.
  virtual int32_t State() const = 0;
  /// Schema kind kSchemaTables (restrictions: catalog, schema, table, table type) or kSchemaColumns
  /// (catalog, schema, table, column). An empty restriction means "no restriction".
  virtual std::shared_ptr<Recordset> OpenSchema(int32_t kind, const std::vector<std::string>& restrictions) = 0;
  /// A recordset not yet opened, to be opened with a query on this connection.
  virtual std::shared_ptr<Recordset> NewRecordset() = 0;
  /// A text that changes whenever the tables or columns seen through this connection may have changed, so
  /// that what the library learnt from the schema may be kept until then. nullopt, the default, when the
  /// backend cannot tell: nothing learnt from the schema is then kept from one call of the library to the
  /// next.
  virtual std::optional<std::string> SchemaVersion() noexcept { return std::nullopt; }
  /// Compiles one statement without running it, to learn whether the database accepts it: raises
  /// talvane::Error with the database's message when it does not (0x80040E14 for an error in the command
  /// text, text after the first statement included; 0x80040E37 for a table that does not exist). Returns
  /// false, the default, when the backend cannot compile a statement without running it.
  virtual bool Compile(std::string_view /*sql*/) { return false; }
  /// Asks the statement running on this connection to stop: the Open or MoveNext running it raises
  /// talvane::Error kErrCancelled, and the connection stays usable for the next statement. Meant to be
  /// called from another thread while the connection is in use (not while it is being opened or closed); a
  /// call while nothing runs may be lost, so a caller that wants a statement stopped calls again until it
  /// is. Returns false, the default, when the backend cannot interrupt a statement.
  virtual bool Interrupt() noexcept { return false; }
  /// The database product at the other end, as it names itself ("SQLite", "PostgreSQL", "Microsoft SQL
  /// Server", ...); empty, the default, when the backend cannot tell.
  virtual std::string DatabaseProduct() const { return {}; }

  /// What this connection's schema answers, asked once and kept until its schema version moves; the
  /// library's field probes and schema look-ups go through it.
  SchemaCache& Schema();

 private:
  std::unique_ptr<SchemaCache> schema_;
};

}  // namespace talvane::db
