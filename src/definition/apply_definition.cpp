#include "talvane/definition/apply_definition.hpp"

#include "talvane/db/schema_scope.hpp"
#include "talvane/formula/formula.hpp"
#include "talvane/report/exception.hpp"
#include "talvane/report/field.hpp"
#include "talvane/report/field_list.hpp"
#include "talvane/report/formula_list.hpp"

namespace talvane {

namespace {

void AddFormula(FormulaList& formulas, const FormulaDefinition& definition) {
  formulas.AddNew();
  const std::shared_ptr<Formula> formula = formulas.Formula();
  formula->SetGrouping(definition.grouping);
  if (definition.name) formula->SetName(*definition.name);
  std::string text = definition.text;
  formula->SetValue(text);
}

void AddField(FieldList& fields, const FieldDefinition& definition) {
  fields.AddNew();
  const std::shared_ptr<Field> field = fields.Field();
  field->SetValue(definition.field);
  if (definition.name) field->SetName(*definition.name);
  if (definition.aggregate) field->SetAggragateFunction(*definition.aggregate);
  if (definition.direction) field->SetOrderDirection(*definition.direction);
  if (definition.orderPos) field->SetOrderPos(*definition.orderPos);
}

}  // namespace

std::shared_ptr<Exception> ReportFromDefinition(const Definition& definition,
                                                const std::shared_ptr<db::Connection>& connection) {
  std::shared_ptr<Exception> report = Exception::Create();
  report->SetConnection(connection);
  ApplyDefinition(*report, definition);
  return report;
}

void ApplyDefinition(Exception& report, const Definition& definition) {
  // The schema does not change while one definition is applied: each table is asked about once.
  const db::SchemaScope schemaScope;
  report.SetMainTable(definition.mainTable);
  report.SetMainField(definition.mainField);
  report.SetLanguageLevel(definition.languageLevel);
  report.SetDistinct(definition.distinct);
  for (const FormulaDefinition& formula : definition.formulas) AddFormula(*report.Formulae(), formula);
  for (const FieldDefinition& field : definition.fields) AddField(*report.Fields(), field);
}

}  // namespace talvane
