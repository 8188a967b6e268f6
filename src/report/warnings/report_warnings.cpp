// The warnings of a whole report: each formula's own, then what comes of how formulas and fields combine.
#include "talvane/report/report_warnings.hpp"

#include <map>

#include "report/warnings/formula_warnings.hpp"
#include "talvane/formula/formula.hpp"
#include "talvane/foundation/brackets.hpp"
#include "talvane/foundation/clean_text.hpp"
#include "talvane/foundation/error.hpp"
#include "talvane/report/exception.hpp"
#include "talvane/report/field.hpp"
#include "talvane/report/field_list.hpp"
#include "talvane/report/formula_list.hpp"

namespace talvane {

namespace {

Warning FormulaWarning(std::size_t index, std::string message) {
  Warning warning;
  warning.subject = Warning::Subject::kFormula;
  warning.index = index;
  warning.message = std::move(message);
  return warning;
}

// The formulas whose conditions are combined together: the unnamed ones, and each set (names compared
// without regard to case). Each group lists its formulas' 1-based places in list order.
struct ConditionGroup {
  std::string setName;  // as its first formula spells it; empty for the unnamed formulas
  std::vector<std::size_t> members;
};

std::vector<ConditionGroup> ConditionGroups(FormulaList& formulas) {
  std::vector<ConditionGroup> groups;
  std::map<std::string, std::size_t> byKey;
  for (int32_t i = 1; i <= formulas.Count(); ++i) {
    const std::string name = StripBrackets(formulas.Formula(i)->Name());
    const auto [at, added] = byKey.emplace(UpperAscii(name), groups.size());
    if (added) groups.push_back({name, {}});
    groups[at->second].members.push_back(static_cast<std::size_t>(i));
  }
  return groups;
}

std::string GroupTitle(const ConditionGroup& group) {
  return group.setName.empty() ? "the unnamed formulas" : "set " + AddBrackets(group.setName);
}

// Without parentheses, A OR B AND C runs as A OR (B AND C).
void WarnMixedGroupings(FormulaList& formulas, const ConditionGroup& group, std::vector<Warning>& warnings) {
  bool seenAnd = false;
  bool seenOr = false;
  for (std::size_t k = 1; k < group.members.size(); ++k) {
    const GROUPTYPEENU grouping = formulas.Formula(static_cast<int32_t>(group.members[k]))->Grouping();
    seenAnd = seenAnd || grouping == kAnd;
    seenOr = seenOr || grouping == kOr;
    if (seenAnd && seenOr) {
      warnings.push_back(FormulaWarning(
          group.members[k], "AND and OR are mixed in the conditions of " + GroupTitle(group) +
                                ": the statement adds no parentheses, so A OR B AND C runs as A OR (B AND C)"));
      return;
    }
  }
}

// A set whose first formula is grouped with OR is an outer join: every row of the main table stays.
void WarnOuterJoinedSet(FormulaList& formulas, const ConditionGroup& group, std::vector<Warning>& warnings) {
  if (group.setName.empty()) return;
  const std::size_t first = group.members.front();
  if (formulas.Formula(static_cast<int32_t>(first))->Grouping() != kOr) return;
  warnings.push_back(FormulaWarning(
      first, GroupTitle(group) + " begins with OR, so it is an outer join, which keeps every row of the main "
                                 "table: its conditions select nothing, they only add the set's columns"));
}

// The statement lists an aggregated output field's plain column and groups by it; the host applies the
// function.
void WarnAggregateFields(FieldList& fields, std::vector<Warning>& warnings) {
  for (int32_t i = 1; i <= fields.Count(); ++i) {
    try {
      const auto field = fields.Field(i);
      const std::string function = field->AggragateFunction();
      if (function.empty()) continue;
      const std::string column = field->IsInSet() ? field->FieldInSet() : field->Value();
      Warning warning;
      warning.subject = Warning::Subject::kField;
      warning.index = static_cast<std::size_t>(i);
      warning.message = "the statement does not apply " + function + ": it lists the plain column " + column +
                        " and groups by it with the other output fields; the host applies " + function +
                        " to the rows";
      warnings.push_back(std::move(warning));
    } catch (const Error&) {  // NOLINT(bugprone-empty-catch): a field that cannot be read has a failure already
    }
  }
}

}  // namespace

std::vector<Warning> ReportWarnings(Exception& report, const std::vector<std::string>& formulaTexts) {
  std::vector<Warning> warnings;
  FormulaList& formulas = *report.Formulae();
  for (int32_t i = 1; i <= formulas.Count(); ++i) {
    const auto formula = formulas.Formula(i);
    const auto place = static_cast<std::size_t>(i);
    const std::string text = place <= formulaTexts.size() ? formulaTexts[place - 1] : formula->Value();
    for (Warning& warning : detail::FormulaWarnings(*formula, text, report.DatabaseType()).Find()) {
      warning.index = place;
      warnings.push_back(std::move(warning));
    }
  }
  for (const ConditionGroup& group : ConditionGroups(formulas)) {
    WarnMixedGroupings(formulas, group, warnings);
    WarnOuterJoinedSet(formulas, group, warnings);
  }
  // Level 2 applies the aggregate itself.
  if (report.LanguageLevel() == 1) WarnAggregateFields(*report.Fields(), warnings);
  return warnings;
}

}  // namespace talvane
