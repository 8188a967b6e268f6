#pragma once
// Applies a definition to a report as a host would: main table and field, language level and DISTINCT,
// then every formula (grouping, name, text), then every field (reference, name, aggregate function,
// direction, order position). Either the first refusal is raised, or every refusal is collected and the
// application goes on.
#include <memory>
#include <string>
#include <vector>

#include "talvane/definition/check_failure.hpp"
#include "talvane/definition/definition.hpp"
#include "talvane/foundation/error.hpp"
#include "talvane/fwd.hpp"

namespace talvane::detail {

// What became of a formula's text.
struct AppliedFormula {
  std::string text;                  // trimmed, as the formula keeps it
  std::shared_ptr<Formula> formula;  // none when it could not even be added
  bool accepted = false;             // the formula took the text
};

class DefinitionApplier {
 public:
  enum class OnRefusal { kRaise, kCollect };

  DefinitionApplier(const Definition& definition, Exception& report, OnRefusal onRefusal)
      : definition_(definition), report_(report), collect_(onRefusal == OnRefusal::kCollect) {}

  void Apply();

  // In the order of the definition, one per formula.
  std::vector<AppliedFormula>& Formulas() { return applied_; }
  // With kCollect: the refusals, in the order they arose.
  std::vector<CheckFailure>& Failures() { return failures_; }

 private:
  void SetMain();
  void AddFormula(std::size_t index, const FormulaDefinition& definition);
  bool SetFormulaName(Formula& formula, std::size_t index, const FormulaDefinition& definition);
  void AddField(std::size_t index, const FieldDefinition& definition);
  // Within a catch block: raises the error again, or records the failure.
  void Refused(CheckFailure failure);

  const Definition& definition_;
  Exception& report_;
  bool collect_;
  std::vector<AppliedFormula> applied_;
  std::vector<CheckFailure> failures_;
};

// The failure of a library refusal; `hintForBareError` stands in for an empty message.
CheckFailure LibraryFailure(CheckFailure::Subject subject, std::size_t index, std::string text, const Error& e,
                            const char* hintForBareError = "");

}  // namespace talvane::detail
