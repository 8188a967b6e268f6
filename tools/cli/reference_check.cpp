#include "reference_check.hpp"

#include <string_view>

#include "talvane/formula/formula_items.hpp"
#include "talvane/foundation/brackets.hpp"
#include "talvane/foundation/clean_text.hpp"
#include "talvane/foundation/error.hpp"
#include "talvane/foundation/schema.hpp"
#include "talvane/foundation/string_list.hpp"
#include "talvane/report/exception.hpp"

namespace talvane::cli {

namespace {

// The column part of a field reference [table].[column].
std::string ColumnOf(std::string_view reference) {
  const std::size_t dot = reference.find("].[");
  return StripBrackets(dot == std::string_view::npos ? reference : reference.substr(dot + 2));
}

bool IsSet(const Exception& report, std::string_view name) {
  for (const std::string& set : SplitList(report.Sets())) {
    if (EqualsIgnoreCase(StripBrackets(set), name)) return true;
  }
  return false;
}

bool SetOffersColumn(const Exception& report, std::string_view set, std::string_view column) {
  for (const std::string& offered : SplitList(report.FieldsInSet(set))) {
    if (EqualsIgnoreCase(ColumnOf(offered), column)) return true;
  }
  return false;
}

// Why the reference names nothing, or the empty string when it names a column.
std::string ProblemOf(const std::string& reference, const Exception& report,
                      const std::shared_ptr<db::Connection>& connection) {
  const std::size_t dot = reference.find('.');
  if (dot == std::string::npos) return {};
  const std::string table = StripBrackets(reference.substr(0, dot));
  const std::string column = StripBrackets(reference.substr(dot + 1));
  if (TableHasColumn(table, column, connection)) return {};
  if (IsSet(report, table)) {
    if (SetOffersColumn(report, table, column)) return {};
    return "set " + AddBrackets(table) + " offers no column " + AddBrackets(column);
  }
  if (!TableColumns(table, connection).empty()) {
    return "table " + AddBrackets(table) + " has no column " + AddBrackets(column) + ", and no set is named " +
           AddBrackets(table);
  }
  return "no table or set is named " + AddBrackets(table);
}

}  // namespace

std::vector<UnknownReference> FindUnknownReferences(const std::string& text, const Exception& report,
                                                    const std::shared_ptr<db::Connection>& connection) {
  std::vector<UnknownReference> unknown;
  for (const FormulaItem& item : CutIntoItems(text).items) {
    if (item.kind != kField) continue;
    try {
      std::string problem = ProblemOf(item.text, report, connection);
      if (!problem.empty()) unknown.push_back({item.position, std::move(problem)});
    } catch (const Error&) {
      // A schema query that fails tells nothing about the reference; the library has accepted it.
    }
  }
  return unknown;
}

}  // namespace talvane::cli
