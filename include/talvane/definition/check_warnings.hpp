#pragma once
// The library's warnings about a definition applied to a report (talvane::ReportWarnings): what it accepts
// but what probably does not mean what its author meant. Each is tied to the formula or field it is about.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "talvane/definition/check_failure.hpp"
#include "talvane/definition/definition.hpp"

namespace talvane {

struct BuiltReport;
/// A warning of the library about a formula or field that applied.
struct CheckWarning {
  /// kFormula or kField.
  CheckFailure::Subject subject = CheckFailure::Subject::kFormula;
  /// 1-based place of the formula or field in the definition.
  std::size_t index = 0;
  /// The formula's trimmed text or the field reference.
  std::string text;
  /// Byte offset in `text` of the item the warning is about.
  std::optional<std::size_t> position;
  /// The library's warning.
  std::string message;
};

// The warnings of every formula and field that has no failure of its own (a failure says enough about
// its subject), formulas first, each list in definition order.
std::vector<CheckWarning> CollectWarnings(const Definition& definition, const BuiltReport& built);

}  // namespace talvane
