#include "talvane/definition/report_builder.hpp"

#include <algorithm>
#include <unordered_set>
#include <utility>

#include "definition_applier.hpp"
#include "reference_check.hpp"
#include "talvane/db/schema_scope.hpp"
#include "talvane/formula/formula.hpp"
#include "talvane/foundation/brackets.hpp"
#include "talvane/foundation/clean_text.hpp"
#include "talvane/foundation/error.hpp"
#include "talvane/report/exception.hpp"
#include "talvane/report/field.hpp"
#include "talvane/report/field_list.hpp"
#include "talvane/report/formula_list.hpp"

namespace talvane {

namespace {

using Subject = CheckFailure::Subject;

constexpr const char* kIncomplete =
    "the formula is not complete: it compares a left operand with a right one (BETWEEN takes two bounds, IN a "
    "list), and every group it opens must be closed";
constexpr const char* kEmpty = "the formula is empty";
constexpr const char* kBaseAfterOthers =
    "grouping \"base\" after another formula of the same group: its condition would follow the one before it "
    "with no AND or OR between them";

CheckFailure OwnFailure(Subject subject, std::size_t index, std::string text, std::string message,
                   std::optional<std::size_t> position = std::nullopt) {
  CheckFailure failure;
  failure.subject = subject;
  failure.index = index;
  failure.text = std::move(text);
  failure.message = std::move(message);
  failure.position = position;
  return failure;
}

class ReportBuilder {
 public:
  ReportBuilder(const Definition& definition, const std::shared_ptr<db::Connection>& connection)
      : definition_(definition), connection_(connection) {}

  BuiltReport Build() {
    built_.report = Exception::Create();
    built_.report->SetConnection(connection_);
    detail::DefinitionApplier applier(definition_, *built_.report, detail::DefinitionApplier::OnRefusal::kCollect);
    applier.Apply();
    built_.failures = std::move(applier.Failures());
    applied_ = std::move(applier.Formulas());
    // Sets are complete only now: a reference may name a set whose formulas come later.
    CheckFormulas();
    std::stable_sort(built_.failures.begin(), built_.failures.end(), [](const CheckFailure& a, const CheckFailure& b) {
      return std::pair(a.subject, a.index) < std::pair(b.subject, b.index);
    });
    if (built_.failures.empty()) ReadStatement();
    for (const detail::AppliedFormula& applied : applied_) built_.formulaTexts.push_back(applied.text);
    return std::move(built_);
  }

 private:
  void CheckFormulas() {
    // The groups that have a formula already, keyed as the statement groups formulas: by set name without
    // brackets, regardless of letter case; the unnamed formulas form the group "".
    std::unordered_set<std::string> groupsStarted;
    ReferenceCheck references(*built_.report, connection_);
    for (std::size_t i = 0; i < applied_.size(); ++i) {
      const std::size_t index = i + 1;
      const detail::AppliedFormula& applied = applied_[i];
      const std::string group = applied.formula ? UpperAscii(StripBrackets(applied.formula->Name())) : std::string();
      const bool groupStarted = !groupsStarted.insert(group).second;
      if (!applied.accepted) continue;
      if (applied.text.empty()) {
        built_.failures.push_back(OwnFailure(Subject::kFormula, index, applied.text, kEmpty, 0));
        continue;
      }
      if (!applied.formula->Valid()) {
        built_.failures.push_back(OwnFailure(Subject::kFormula, index, applied.text, kIncomplete, applied.text.size()));
        continue;
      }
      if (groupStarted && definition_.formulas[i].grouping == kBase) {
        built_.failures.push_back(OwnFailure(Subject::kFormula, index, applied.text, kBaseAfterOthers));
      }
      for (UnknownReference& unknown : references.FindUnknown(*applied.formula, applied.text)) {
        built_.failures.push_back(
            OwnFailure(Subject::kFormula, index, applied.text, std::move(unknown.message), unknown.position));
      }
    }
  }

  void ReadStatement() {
    try {
      built_.statement = built_.report->SQL();
    } catch (const Error& e) {
      built_.failures.push_back(detail::LibraryFailure(Subject::kStatement, 0, "", e));
    }
  }

  const Definition& definition_;
  const std::shared_ptr<db::Connection>& connection_;
  BuiltReport built_;
  std::vector<detail::AppliedFormula> applied_;
};

}  // namespace

BuiltReport BuildReport(const Definition& definition, const std::shared_ptr<db::Connection>& connection) {
  // The schema does not change while one definition is applied: its version is read once, and every
  // question about a table is asked of the database once.
  const db::SchemaScope schemaScope;
  return ReportBuilder(definition, connection).Build();
}

}  // namespace talvane
