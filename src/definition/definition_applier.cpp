#include "definition_applier.hpp"

#include <algorithm>

#include "talvane/formula/formula.hpp"
#include "talvane/foundation/error.hpp"
#include "talvane/report/exception.hpp"
#include "talvane/report/field.hpp"
#include "talvane/report/field_list.hpp"
#include "talvane/report/formula_list.hpp"

namespace talvane::detail {

namespace {

using Subject = CheckFailure::Subject;

// The library raises the main table's and main field's refusal as a bare number without a message.
constexpr const char* kMainTableHint = "refused: the main table is one table name, without a \".\"";
constexpr const char* kMainFieldHint = "refused: the main field is one column of the main table, without a \".\"";

// The error position may stand on the blanks before the failing item; the caret goes under the item.
std::size_t ItemStart(const std::string& text, int32_t errorPos) {
  std::size_t position = std::min(static_cast<std::size_t>(std::max(errorPos, 0)), text.size());
  while (position < text.size() && text[position] == ' ') ++position;
  return position;
}

CheckFailure SettingFailure(Subject subject, std::size_t index, std::string text, std::string setting,
                            std::string value, const Error& e) {
  CheckFailure failure = LibraryFailure(subject, index, std::move(text), e);
  failure.setting = std::move(setting);
  failure.settingValue = std::move(value);
  return failure;
}

}  // namespace

CheckFailure LibraryFailure(Subject subject, std::size_t index, std::string text, const Error& e,
                            const char* hintForBareError) {
  CheckFailure failure;
  failure.subject = subject;
  failure.index = index;
  failure.text = std::move(text);
  failure.errorNumber = e.Number();
  failure.source = e.Source();
  failure.message = e.Message().empty() ? hintForBareError : e.Message();
  return failure;
}

void DefinitionApplier::Apply() {
  SetMain();
  for (std::size_t i = 0; i < definition_.formulas.size(); ++i) AddFormula(i + 1, definition_.formulas[i]);
  for (std::size_t i = 0; i < definition_.fields.size(); ++i) AddField(i + 1, definition_.fields[i]);
}

void DefinitionApplier::Refused(CheckFailure failure) {
  if (!collect_) throw;
  failures_.push_back(std::move(failure));
}

void DefinitionApplier::SetMain() {
  // The reader accepts only levels the library knows; set before any formula is read.
  report_.SetLanguageLevel(definition_.languageLevel);
  report_.SetDistinct(definition_.distinct);
  try {
    report_.SetMainTable(definition_.mainTable);
  } catch (const Error& e) {
    Refused(LibraryFailure(Subject::kMainTable, 0, definition_.mainTable, e, kMainTableHint));
  }
  try {
    report_.SetMainField(definition_.mainField);
  } catch (const Error& e) {
    Refused(LibraryFailure(Subject::kMainField, 0, definition_.mainField, e, kMainFieldHint));
  }
}

void DefinitionApplier::AddFormula(std::size_t index, const FormulaDefinition& definition) {
  AppliedFormula& applied = applied_.emplace_back(AppliedFormula{definition.text, nullptr, false});
  try {
    FormulaList& formulas = *report_.Formulae();
    formulas.AddNew();
    const std::shared_ptr<Formula> formula = formulas.Formula();
    applied.formula = formula;
    formula->SetGrouping(definition.grouping);
    if (definition.name && !SetFormulaName(*formula, index, definition)) return;
    try {
      formula->SetValue(applied.text);  // trims the caller's text as the formula does
      applied.accepted = true;
    } catch (const Error& e) {
      CheckFailure failure = LibraryFailure(Subject::kFormula, index, applied.text, e);
      failure.position = ItemStart(applied.text, formula->ErrorPos());
      Refused(std::move(failure));
    }
  } catch (const Error& e) {
    Refused(LibraryFailure(Subject::kFormula, index, applied.text, e));
  }
}

bool DefinitionApplier::SetFormulaName(Formula& formula, std::size_t index, const FormulaDefinition& definition) {
  try {
    formula.SetName(*definition.name);
    return true;
  } catch (const Error& e) {
    Refused(SettingFailure(Subject::kFormula, index, definition.text, "name", *definition.name, e));
    return false;
  }
}

void DefinitionApplier::AddField(std::size_t index, const FieldDefinition& definition) {
  std::shared_ptr<Field> field;
  try {
    FieldList& fields = *report_.Fields();
    fields.AddNew();
    field = fields.Field();
    field->SetValue(definition.field);
  } catch (const Error& e) {
    Refused(LibraryFailure(Subject::kField, index, definition.field, e));
    return;
  }
  // Each setting is tried on its own, so that every wrong one is reported.
  const auto apply = [&](const char* setting, const std::string& value, auto&& assign) {
    try {
      assign();
    } catch (const Error& e) {
      Refused(SettingFailure(Subject::kField, index, definition.field, setting, value, e));
    }
  };
  if (definition.name) apply("name", *definition.name, [&] { field->SetName(*definition.name); });
  if (definition.aggregate) {
    apply("aggregate", *definition.aggregate, [&] { field->SetAggragateFunction(*definition.aggregate); });
  }
  if (definition.direction) {
    apply("direction", *definition.direction, [&] { field->SetOrderDirection(*definition.direction); });
  }
  if (definition.orderPos) {
    apply("orderPos", std::to_string(*definition.orderPos), [&] { field->SetOrderPos(*definition.orderPos); });
  }
}

}  // namespace talvane::detail
