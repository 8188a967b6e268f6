#include "talvane/report/dialects.hpp"

#include <algorithm>

#include "formula/dialect.hpp"
#include "talvane/db/connection.hpp"
#include "talvane/db/recordset.hpp"
#include "talvane/foundation/clean_text.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane {

namespace {

template <typename Column>
std::optional<DATABASETYPEENU> DialectWhere(std::string_view name, Column column) {
  if (name.empty()) return std::nullopt;
  for (const detail::Dialect& row : detail::Dialects()) {
    if (EqualsIgnoreCase(row.*column, name)) return row.dialect;
  }
  return std::nullopt;
}

}  // namespace

std::optional<DATABASETYPEENU> DialectOfOption(std::string_view option) {
  return DialectWhere(option, &detail::Dialect::option);
}

std::string_view OptionOfDialect(DATABASETYPEENU dialect) { return detail::DialectOf(dialect).option; }

std::string_view ProviderOfDialect(DATABASETYPEENU dialect) { return detail::DialectOf(dialect).provider; }

std::optional<DATABASETYPEENU> DialectOfProvider(std::string_view provider) {
  return DialectWhere(provider, &detail::Dialect::provider);
}

std::optional<DATABASETYPEENU> DialectOfProduct(std::string_view product) {
  return DialectWhere(product, &detail::Dialect::product);
}

DATABASETYPEENU DialectOfDatabase(const db::Connection& connection) {
  const std::string product = connection.DatabaseProduct();
  const std::optional<DATABASETYPEENU> dialect = DialectOfProduct(product);
  if (!dialect) {
    Raise(db::kErrUnspecified, "talvane",
          "the database is \"" + product +
              "\" (as its driver names it), for which talvane has no dialect; its statements cannot run there");
  }
  return *dialect;
}

std::vector<DATABASETYPEENU> EveryDialect() {
  std::vector<DATABASETYPEENU> every;
  for (const detail::Dialect& row : detail::Dialects()) every.push_back(row.dialect);
  std::sort(every.begin(), every.end());
  return every;
}

}  // namespace talvane
