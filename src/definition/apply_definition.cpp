#include "talvane/definition/apply_definition.hpp"

#include "definition_applier.hpp"
#include "talvane/db/schema_scope.hpp"
#include "talvane/report/exception.hpp"

namespace talvane {

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
  detail::DefinitionApplier(definition, report, detail::DefinitionApplier::OnRefusal::kRaise).Apply();
}

}  // namespace talvane
