#pragma once
// Traps in a report that the library accepts but that probably do not mean what their author meant: a
// parenthesised operand whose type is never checked, a literal on the left of a comparison, text taken as a
// literal, blanks dropped from a name, a ")" that closes nothing, BETWEEN bounds the wrong way round, the
// other dialect's LIKE wildcards, AND and OR mixed without parentheses, an outer-joined set, an output field
// whose aggregate function the statement does not apply. Apart from them, the traps of language level 1 that
// level 2 removes.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "talvane/fwd.hpp"

namespace talvane {

/// One warning: what it is about (a formula or a field, by its place), where in a formula's text, and
/// what it says.
struct Warning {
  /// What a warning is about.
  enum class Subject { kFormula, kField };
  /// Whether the warning is about a formula or an output field.
  Subject subject = Subject::kFormula;
  /// 1-based place of the formula or field in its list.
  std::size_t index = 0;
  /// Byte offset in the formula's text of the item the warning is about.
  std::optional<std::size_t> position;
  /// The warning, one sentence.
  std::string message;
};

/// The warnings of a report whose formulas have been assigned. `formulaTexts` holds the text assigned to each
/// formula, in list order, trimmed as the formula trims it; positions refer to these texts. A formula without
/// a text there is read back through its Value. Reads the lists through their indexes, so their cursors stay
/// where they are.
std::vector<Warning> ReportWarnings(Exception& report, const std::vector<std::string>& formulaTexts = {});

/// The traps of language level 1 in a report, each warning naming level 2 as the remedy: a condition without an
/// aggregate that goes into HAVING and GROUP BY beside an aggregate one, COUNT(...) = 0 (or <= 0, < 1), which
/// never matches, and a FULL JOIN that adds rows without a main record (SQL Server and SQLite). None for a
/// report at level 2.
std::vector<Warning> LevelOneTrapWarnings(Exception& report);

}  // namespace talvane
