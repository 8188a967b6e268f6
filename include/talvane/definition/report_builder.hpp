#pragma once
// Applies a definition to a report object as a host would, collecting every failure instead of stopping
// at the first, then builds the statement when nothing failed.
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "talvane/definition/check_failure.hpp"
#include "talvane/definition/definition.hpp"
#include "talvane/fwd.hpp"

namespace talvane {

/// A report built from a definition, with what failed on the way.
struct BuiltReport {
  /// The report, as far as the definition applied.
  std::shared_ptr<Exception> report;
  /// In the order of the definition: main table, main field, formulas, fields, then the statement.
  std::vector<CheckFailure> failures;
  /// The text of each formula as the formula keeps it (trimmed), in the order of the definition, which is
  /// the order of the report's list; the texts that failure and warning positions refer to.
  std::vector<std::string> formulaTexts;
  /// The statement, when nothing failed.
  std::optional<std::string> statement;
};

// Sets the main table and field, adds every formula (grouping, name, then text) and every field (reference,
// then name, aggregate function, direction and order position), checks what the library lets pass but no
// statement can use (incomplete formulas, a "base" formula after another of its group, references to
// nothing), and reads the statement when all of that succeeded.
BuiltReport BuildReport(const Definition& definition, const std::shared_ptr<db::Connection>& connection);

}  // namespace talvane
