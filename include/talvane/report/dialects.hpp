#pragma once
// The dialects by their names: as the command line takes them, as a connection string's Provider chooses
// them, and as a database product names itself.
#include <optional>
#include <string_view>
#include <vector>

#include "talvane/foundation/enums.hpp"
#include "talvane/fwd.hpp"

namespace talvane {

/// The dialect of a name as the command line and the editor take it ("sqlserver", "access", "sqlite",
/// "postgresql", any letter case); nullopt for any other.
std::optional<DATABASETYPEENU> DialectOfOption(std::string_view option);
/// The option name of a dialect (empty outside the enumeration).
std::string_view OptionOfDialect(DATABASETYPEENU dialect);
/// The Provider that chooses a dialect in a connection string (empty outside the enumeration).
std::string_view ProviderOfDialect(DATABASETYPEENU dialect);
/// The dialect a connection string's Provider chooses (any letter case); nullopt for any other provider, which
/// a report takes as SQL Server.
std::optional<DATABASETYPEENU> DialectOfProvider(std::string_view provider);
/// The dialect a database product runs, by the name it gives itself (a driver's SQL_DBMS_NAME, any letter
/// case); nullopt for a product of no dialect (MySQL, an empty name).
std::optional<DATABASETYPEENU> DialectOfProduct(std::string_view product);
/// The dialect of the database a connection reaches, by the product it names (`DatabaseProduct`); raises
/// 0x80004005 (source "talvane") naming the product when talvane has no dialect for it.
DATABASETYPEENU DialectOfDatabase(const db::Connection& connection);
/// Every dialect of the enumeration, in the enumeration's order.
std::vector<DATABASETYPEENU> EveryDialect();

}  // namespace talvane
