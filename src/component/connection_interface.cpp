#include "component/interfaces.hpp"

#include "component/interface_builder.hpp"
#include "talvane/component/dispatch_error.hpp"
#include "talvane/db/sqlite_connection.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane::component::detail {

namespace {

// Opening and closing belong to the backend, not to the connection interface the library uses.
db::SqliteConnection& Backend(db::Connection& connection) {
  auto* sqlite = dynamic_cast<db::SqliteConnection*>(&connection);
  if (!sqlite) throw Error(kErrMemberNotFound, kDispatchSource, "This connection cannot be opened or closed");
  return *sqlite;
}

void OpenConnection(db::Connection& connection) { Backend(connection).Open(); }
void CloseConnection(db::Connection& connection) { Backend(connection).Close(); }

}  // namespace

const TypeInfo& ConnectionInterface() {
  static const TypeInfo info = InterfaceBuilder::Build(
      "_Connection", Guid{}, "",
      {
          {kGet, "ConnectionString", Bind<&db::Connection::ConnectionString>()},
          {kGet, "State", Bind<&db::Connection::State>()},
          {kMethod, "Open", Bind<&OpenConnection>()},
          {kMethod, "Close", Bind<&CloseConnection>()},
      });
  return info;
}

}  // namespace talvane::component::detail
