// The traps of language level 1 that level 2 removes, each warning naming level 2 as the remedy.
#include "talvane/report/report_warnings.hpp"

#include <set>
#include <string>

#include "formula/formula_tree.hpp"
#include "formula/dialect.hpp"
#include "talvane/db/connection.hpp"
#include "talvane/db/schema_cache.hpp"
#include "talvane/formula/formula.hpp"
#include "talvane/formula/section.hpp"
#include "talvane/foundation/brackets.hpp"
#include "talvane/foundation/clean_text.hpp"
#include "talvane/foundation/error.hpp"
#include "talvane/foundation/string_list.hpp"
#include "talvane/report/exception.hpp"
#include "talvane/report/field.hpp"
#include "talvane/report/field_list.hpp"
#include "talvane/report/formula_list.hpp"

namespace talvane {

namespace {

Warning Trap(Warning::Subject subject, int32_t index, std::string message) {
  Warning warning;
  warning.subject = subject;
  warning.index = static_cast<std::size_t>(index);
  warning.message = std::move(message);
  return warning;
}

// The left operand is one COUNT group and the comparison asks for no rows counted.
bool AsksForCountZero(const Formula& formula) {
  if (formula.Count() != 2) return false;
  const auto left = std::dynamic_pointer_cast<Section>(formula.Node(1));
  if (!left || left->Count() != 1) return false;
  const auto count = tree::AsSection(left->Node(1));
  if (!count || count->SectionFunction() != "COUNT") return false;
  const std::string comparison = formula.Comparison();
  const std::string right = formula.Node(2)->Value();
  return ((comparison == "=" || comparison == "<=") && right == "0") || (comparison == "<" && right == "1");
}

void WarnCountZero(int32_t index, const Formula& formula, std::vector<Warning>& warnings) {
  if (!AsksForCountZero(formula)) return;
  warnings.push_back(Trap(Warning::Subject::kFormula, index,
                          "language level 1 counts a missing value as 0, so a group always counts at least 1 and "
                          "this never matches; language level 2 counts only the values that are there"));
}

// A comparison of texts with a number written as a number: the dialects do not agree on what it means. A
// count is a number in every dialect, whatever it counts.
void WarnNumberBesideText(int32_t index, const Formula& formula, std::vector<Warning>& warnings) {
  const auto isNumberLiteral = [](const INode& node) {
    return node.ItemType() == kLiteral && node.DataType() == kIsNumeric;
  };
  if (!formula.Valid() || formula.DataType() != kIsString || tree::HoldsCount(formula)) return;
  if (!tree::AnyBelow(formula, isNumberLiteral)) return;
  warnings.push_back(Trap(Warning::Subject::kFormula, index,
                          "language level 1 writes a number beside a text as a number, so SQL Server and Access "
                          "take the text as a number (SQL Server fails on one that is not) while SQLite and "
                          "PostgreSQL compare texts; language level 2 writes the number as a text in every "
                          "dialect"));
}

void WarnRowConditionInHaving(FormulaList& formulas, std::vector<Warning>& warnings) {
  bool anyAggregate = false;
  for (int32_t i = 1; i <= formulas.Count(); ++i) {
    const auto formula = formulas.Formula(i);
    anyAggregate = anyAggregate || (formula->Name().empty() && formula->Aggragate());
  }
  if (!anyAggregate) return;
  for (int32_t i = 1; i <= formulas.Count(); ++i) {
    const auto formula = formulas.Formula(i);
    if (!formula->Name().empty() || tree::HoldsAggregate(*formula)) continue;
    warnings.push_back(Trap(Warning::Subject::kFormula, i,
                            "language level 1 puts this condition into HAVING and its columns into GROUP BY, "
                            "so the aggregates are taken per value of those columns; language level 2 filters "
                            "the rows with it in WHERE before they are grouped"));
  }
}

// The first formula, else the first output field, that brings in a table other than the main one that is
// joined on the main key (a table without the key column fails at level 1 anyway).
void WarnOuterJoinOrphans(Exception& report, std::vector<Warning>& warnings) {
  if (!detail::DialectOf(report.DatabaseType()).outerJoinKeyword.starts_with("FULL") || !report.Connection()) return;
  const std::string mainTable = StripBrackets(report.MainTable());
  const std::string key = StripBrackets(report.MainField());
  db::SchemaCache& schema = report.Connection()->Schema();
  std::set<std::string> sets;
  for (const std::string& name : SplitList(report.Sets())) sets.insert(UpperAscii(StripBrackets(name)));
  const auto isFurther = [&](const std::string& entry) {
    const std::string table = StripBrackets(entry);
    return !table.empty() && !EqualsIgnoreCase(table, mainTable) && !sets.contains(UpperAscii(table)) &&
           schema.TableHasColumn(mainTable, key) && schema.TableHasColumn(table, key);
  };
  const auto warn = [&](Warning::Subject subject, int32_t index, const std::string& table) {
    warnings.push_back(Trap(subject, index,
                            "language level 1 joins " + AddBrackets(StripBrackets(table)) +
                                " with FULL JOIN, which also lists its rows that have no record in the main table "
                                "(with an empty main record); language level 2 joins it with LEFT JOIN from the "
                                "main table"));
  };
  FormulaList& formulas = *report.Formulae();
  for (int32_t i = 1; i <= formulas.Count(); ++i) {
    const auto formula = formulas.Formula(i);
    if (!formula->Name().empty()) continue;
    for (const std::string& table : SplitList(formula->Tables())) {
      if (isFurther(table)) return warn(Warning::Subject::kFormula, i, table);
    }
  }
  FieldList& fields = *report.Fields();
  for (int32_t i = 1; i <= fields.Count(); ++i) {
    const auto field = fields.Field(i);
    if (!field->IsInSet() && isFurther(field->Table())) return warn(Warning::Subject::kField, i, field->Table());
  }
}

}  // namespace

std::vector<Warning> LevelOneTrapWarnings(Exception& report) {
  std::vector<Warning> warnings;
  if (report.LanguageLevel() != 1) return warnings;
  FormulaList& formulas = *report.Formulae();
  try {
    for (int32_t i = 1; i <= formulas.Count(); ++i) {
      WarnCountZero(i, *formulas.Formula(i), warnings);
      WarnNumberBesideText(i, *formulas.Formula(i), warnings);
    }
    WarnRowConditionInHaving(formulas, warnings);
    WarnOuterJoinOrphans(report, warnings);
  } catch (const Error&) {  // NOLINT(bugprone-empty-catch): what cannot be read has a failure of its own
  }
  return warnings;
}

}  // namespace talvane
