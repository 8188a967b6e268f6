#pragma once
// Building a report from a definition (definition.hpp) as a host would: main table and field, then every
// formula (grouping, name, text), then every field (reference, name, aggregate function, direction, order
// position). The first setting the library refuses raises its talvane::Error.
#include <memory>

#include "talvane/definition/definition.hpp"
#include "talvane/fwd.hpp"

namespace talvane {

// A new report on `connection` holding the definition.
std::shared_ptr<Exception> ReportFromDefinition(const Definition& definition,
                                                const std::shared_ptr<db::Connection>& connection);

// Applies the definition to `report`, which has its connection and nothing else yet. On a failure the report
// keeps what was applied before it, so the caller can tell where it arose (its last formula or field).
void ApplyDefinition(Exception& report, const Definition& definition);

}  // namespace talvane
