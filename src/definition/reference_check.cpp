#include "reference_check.hpp"

#include <algorithm>
#include <string_view>

#include "talvane/db/schema_lookup.hpp"
#include "talvane/formula/formula_items.hpp"
#include "talvane/foundation/brackets.hpp"
#include "talvane/foundation/clean_text.hpp"
#include "talvane/foundation/error.hpp"
#include "talvane/foundation/inode.hpp"
#include "talvane/foundation/string_list.hpp"
#include "talvane/report/exception.hpp"

namespace talvane {

namespace {

// The column part of a field reference [table].[column].
std::string ColumnOf(std::string_view reference) {
  const std::size_t dot = reference.find("].[");
  return StripBrackets(dot == std::string_view::npos ? reference : reference.substr(dot + 2));
}

}  // namespace

std::vector<UnknownReference> ReferenceCheck::FindUnknown(const INode& formula, const std::string& text) {
  std::vector<UnknownReference> unknown;
  if (!AnyUnknown(formula)) return unknown;
  for (const FormulaItem& item : CutIntoItems(text).items) {
    if (item.kind != kField) continue;
    const std::string& problem = ProblemOf(item.text);
    if (!problem.empty()) unknown.push_back({item.position, problem});
  }
  return unknown;
}

bool ReferenceCheck::AnyUnknown(const INode& node) {
  for (int32_t i = 1; i <= node.Count(); ++i) {
    const std::shared_ptr<INode> child = node.Child(i);
    if (!child) continue;
    if (child->Count() > 0) {
      if (AnyUnknown(*child)) return true;
    } else if (child->ItemType() == kField && !ProblemOf(child->Value()).empty()) {
      return true;
    }
  }
  return false;
}

const std::string& ReferenceCheck::ProblemOf(const std::string& reference) {
  auto found = problems_.find(reference);
  if (found != problems_.end()) return found->second;
  std::string problem;
  try {
    problem = FindProblem(reference);
  } catch (const Error&) {
    // A schema query that fails tells nothing about the reference; the library has accepted it.
  }
  return problems_.emplace(reference, std::move(problem)).first->second;
}

std::string ReferenceCheck::FindProblem(const std::string& reference) {
  const std::size_t dot = reference.find('.');
  if (dot == std::string::npos) return {};
  const std::string table = StripBrackets(reference.substr(0, dot));
  const std::string column = StripBrackets(reference.substr(dot + 1));
  if (TableHasColumn(table, column, connection_)) return {};
  if (IsSet(table)) {
    if (SetOffersColumn(table, column)) return {};
    return "set " + AddBrackets(table) + " offers no column " + AddBrackets(column);
  }
  if (!TableColumns(table, connection_).empty()) {
    return "table " + AddBrackets(table) + " has no column " + AddBrackets(column) + ", and no set is named " +
           AddBrackets(table);
  }
  return "no table or set is named " + AddBrackets(table);
}

bool ReferenceCheck::IsSet(const std::string& name) {
  if (!sets_) {
    sets_.emplace();
    for (const std::string& set : SplitList(report_.Sets())) sets_->insert(UpperAscii(StripBrackets(set)));
  }
  return sets_->count(UpperAscii(name)) != 0;
}

bool ReferenceCheck::SetOffersColumn(const std::string& set, std::string_view column) {
  const std::string key = UpperAscii(set);
  auto found = offered_.find(key);
  if (found == offered_.end()) {
    std::vector<std::string> columns;
    for (const std::string& offered : SplitList(report_.FieldsInSet(set))) {
      columns.push_back(UpperAscii(ColumnOf(offered)));
    }
    found = offered_.emplace(key, std::move(columns)).first;
  }
  return std::find(found->second.begin(), found->second.end(), UpperAscii(column)) != found->second.end();
}

}  // namespace talvane
