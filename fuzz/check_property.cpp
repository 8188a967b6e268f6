#include "check_property.hpp"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "definition.hpp"
#include "definition_check.hpp"
#include "talvane/formula/formula.hpp"
#include "talvane/foundation/error.hpp"
#include "talvane/report/exception.hpp"
#include "talvane/report/field.hpp"
#include "talvane/report/field_list.hpp"
#include "talvane/report/formula_list.hpp"
#include "talvane/report/report_rows.hpp"

namespace talvane::fuzz {

namespace {

cli::FormulaDefinition FormulaOf(const Formula& formula) {
  cli::FormulaDefinition definition;
  definition.text = formula.Value();
  if (!formula.Name().empty()) definition.name = formula.Name();
  definition.grouping = formula.Grouping();
  return definition;
}

cli::FieldDefinition FieldOf(const Field& field) {
  cli::FieldDefinition definition;
  definition.field = field.Value();
  definition.name = field.Name();
  if (!field.AggragateFunction().empty()) definition.aggregate = field.AggragateFunction();
  if (field.OrderPos() > 0) definition.orderPos = field.OrderPos();
  definition.direction = field.OrderDirection();
  return definition;
}

cli::Definition DefinitionOf(Exception& report) {
  cli::Definition definition;
  definition.source = "fuzz script";
  definition.mainTable = report.MainTable();
  definition.mainField = report.MainField();
  FormulaList& formulas = *report.Formulae();
  for (int32_t i = 1; i <= formulas.Count(); ++i) definition.formulas.push_back(FormulaOf(*formulas.Formula(i)));
  FieldList& fields = *report.Fields();
  for (int32_t i = 1; i <= fields.Count(); ++i) definition.fields.push_back(FieldOf(*fields.Field(i)));
  return definition;
}

}  // namespace

void RequireWhatCheckPassesRuns(Exception& report, const std::shared_ptr<db::Connection>& sqlite) {
  cli::CheckResult result;
  try {
    result = cli::CheckDefinition(DefinitionOf(report), sqlite, sqlite);
  } catch (const Error&) {
    return;  // a state that cannot be read back (a formula without a connection, ...) is no definition
  }
  if (!result.failures.empty()) return;
  if (!result.sqliteStatement) {
    std::fprintf(stderr, "check passed without a SQLite statement\n");
    std::abort();
  }
  try {
    ReportRows rows(sqlite, *result.sqliteStatement);
    while (rows.Next()) {
    }
  } catch (const Error& e) {
    std::fprintf(stderr, "check passed a statement that does not run: %s\n----\n%s\n----\n", e.Message().c_str(),
                 result.sqliteStatement->c_str());
    std::abort();
  }
}

}  // namespace talvane::fuzz
