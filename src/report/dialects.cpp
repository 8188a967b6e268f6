#include "talvane/report/dialects.hpp"

#include "formula/dialect.hpp"
#include "talvane/foundation/clean_text.hpp"

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

}  // namespace talvane
