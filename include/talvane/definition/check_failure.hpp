#pragma once
// One thing of a report definition that failed: what it was, where in its text, and why.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace talvane {

/// One thing of a report definition that failed.
struct CheckFailure {
  /// In the order a definition is applied and reported.
  enum class Subject { kMainTable, kMainField, kFormula, kField, kStatement };

  /// What failed.
  Subject subject = Subject::kStatement;
  /// 1-based place of the formula or field in the definition; 0 for the others.
  std::size_t index = 0;
  /// The text that was assigned: a formula's trimmed text, a field reference, the main table or field.
  std::string text;
  /// The setting of a formula or field that failed when it is not the text ("name", "aggregate", ...),
  /// and the value it was given.
  std::string setting;
  std::string settingValue;  ///< The value the setting was given.
  /// Byte offset in `text` of the item where the text failed.
  std::optional<std::size_t> position;
  /// The number and source of the library's error, when the library raised one.
  std::optional<int32_t> errorNumber;
  std::string source;  ///< The source of the library's error.
  /// The library's message, or the program's own explanation.
  std::string message;
};

/// The subject as the check names it: "main table", "main field", "formula 2", "field 1" or "statement".
std::string SubjectLabel(CheckFailure::Subject subject, std::size_t index);

}  // namespace talvane
