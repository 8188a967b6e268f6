#include "talvane/definition/check_warnings.hpp"

#include <algorithm>
#include <utility>

#include "talvane/definition/definition_reader.hpp"
#include "talvane/definition/report_builder.hpp"
#include "talvane/report/report_warnings.hpp"

namespace talvane {

namespace {

CheckFailure::Subject SubjectOf(const Warning& warning) {
  return warning.subject == Warning::Subject::kField ? CheckFailure::Subject::kField : CheckFailure::Subject::kFormula;
}

bool HasFailure(const std::vector<CheckFailure>& failures, CheckFailure::Subject subject, std::size_t index) {
  return std::any_of(failures.begin(), failures.end(),
                     [&](const CheckFailure& f) { return f.subject == subject && f.index == index; });
}

// The text a warning's position refers to; empty for a place the definition does not have.
std::string TextOf(const Definition& definition, const BuiltReport& built, CheckFailure::Subject subject,
                   std::size_t index) {
  if (index == 0) return {};
  if (subject == CheckFailure::Subject::kField) {
    return index <= definition.fields.size() ? definition.fields[index - 1].field : std::string();
  }
  return index <= built.formulaTexts.size() ? built.formulaTexts[index - 1] : std::string();
}

}  // namespace

std::vector<CheckWarning> CollectWarnings(const Definition& definition, const BuiltReport& built) {
  std::vector<CheckWarning> warnings;
  std::vector<Warning> found = ReportWarnings(*built.report, built.formulaTexts);
  for (Warning& trap : LevelOneTrapWarnings(*built.report)) found.push_back(std::move(trap));
  for (Warning& warning : found) {
    const CheckFailure::Subject subject = SubjectOf(warning);
    if (HasFailure(built.failures, subject, warning.index)) continue;
    warnings.push_back({subject, warning.index, TextOf(definition, built, subject, warning.index), warning.position,
                        std::move(warning.message)});
  }
  std::stable_sort(warnings.begin(), warnings.end(), [](const CheckWarning& a, const CheckWarning& b) {
    return std::pair(a.subject, a.index) < std::pair(b.subject, b.index);
  });
  return warnings;
}

}  // namespace talvane
