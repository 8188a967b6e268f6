// The look-up of class Field: the column in the schema first, then among the report's sets.
#include "talvane/report/field.hpp"

#include <algorithm>

#include "report/field_errors.hpp"
#include "talvane/db/connection.hpp"
#include "talvane/db/schema_cache.hpp"
#include "talvane/db/schema_lookup.hpp"
#include "talvane/foundation/brackets.hpp"
#include "talvane/foundation/clean_text.hpp"
#include "talvane/foundation/error.hpp"
#include "talvane/report/exception.hpp"
#include "talvane/report/field_list.hpp"
#include "talvane/report/formula_list.hpp"

namespace talvane {

namespace {

constexpr int32_t kAdCurrency = 6;

// Database errors that mean "no such table or column here": the column may come from a set.
bool StartsSetSearch(int32_t number) {
  return number == db::kErrNoCurrentRecord || number == db::kErrItemNotFound || number == db::kErrCommandText ||
         number == db::kErrNoSuchTable;
}

// The pieces of a comma-separated table list, blanks around each removed; no pieces for an empty list.
std::vector<std::string> TablePieces(std::string_view tables) {
  std::vector<std::string> pieces;
  if (tables.empty()) return pieces;
  std::size_t start = 0;
  for (;;) {
    const auto comma = tables.find(',', start);
    const auto piece = tables.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
    pieces.push_back(StripBrackets(CleanText(piece, kCleanTrimLeft | kCleanTrimRight, {}, {}, kWsSpace)));
    if (comma == std::string_view::npos) return pieces;
    start = comma + 1;
  }
}

}  // namespace

void Field::TestField(std::string_view tables, std::string_view column) {
  std::vector<std::string> visitedSets;
  LookUp(tables, column, visitedSets);
}

void Field::LookUp(std::string_view tables, std::string_view column, std::vector<std::string>& visitedSets) {
  if (!connection_ || connection_->State() == db::kAdStateClosed) {
    Raise(ERR_FIELD_CNN_CLOSED, detail::kFieldTestFieldSource, detail::kFieldCnnClosedMessage);
  }
  std::string lastTried;
  try {
    for (const std::string& table : TablePieces(tables)) {
      lastTried = table;
      if (TableHasColumn(table, column, connection_)) {
        Locate(table, column);
        return;
      }
    }
  } catch (const Error& error) {
    // Any other database failure reaches the caller, who gets the field back as it was: ended quietly, the
    // write would seem to succeed and leave a field that reads [].[] in the statement.
    if (!StartsSetSearch(error.Number())) throw;
  }
  SearchSets(lastTried, column, visitedSets);
}

// The column is in `table`; a currency column marks the field as a total. A query of the table that does not
// return the column (a column the schema lists but a query cannot see) leaves it no total.
void Field::Locate(const std::string& table, std::string_view column) {
  bool total = false;
  try {
    total = connection_->Schema().QueryColumnType(StripBrackets(table), StripBrackets(column)) == kAdCurrency;
  } catch (const Error& error) {
    if (error.Number() != db::kErrItemNotFound) throw;
  }
  table_ = StripBrackets(table);
  fieldName_ = StripBrackets(column);
  total_ = total;
}

// The last table tried names a set: look the column up in the tables of the set's first formula.
void Field::SearchSets(const std::string& setName, std::string_view column, std::vector<std::string>& visitedSets) {
  const auto list = RequireList(detail::kFieldTestFieldSource);
  const auto owner = list->Parent();
  if (!owner) Raise(detail::kFieldNoListNumber, detail::kFieldTestFieldSource, detail::kFieldNoReportMessage);
  const auto formulae = owner->Formulae();
  const std::string key = UpperAscii(setName);
  const bool seen = std::find(visitedSets.begin(), visitedSets.end(), key) != visitedSets.end();
  if (formulae->FindFormula(setName) == 0 || seen) {
    Raise(ERR_FIELD_FNF, detail::kFieldNotFoundSource, detail::kFieldNotFoundMessage);
  }
  visitedSets.push_back(key);
  LookUp(formulae->FormulaTables(setName), column, visitedSets);
  setName_ = StripBrackets(setName);
}

}  // namespace talvane
