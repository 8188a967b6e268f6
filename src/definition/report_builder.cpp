#include "talvane/definition/report_builder.hpp"

#include <algorithm>
#include <utility>

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

// The library raises the main table's and main field's refusal as a bare number without a message.
constexpr const char* kMainTableHint = "refused: the main table is one table name, without a \".\"";
constexpr const char* kMainFieldHint = "refused: the main field is one column of the main table, without a \".\"";
constexpr const char* kIncomplete =
    "the formula is not complete: it compares a left operand with a right one (BETWEEN takes two bounds, IN a "
    "list), and every group it opens must be closed";
constexpr const char* kEmpty = "the formula is empty";
constexpr const char* kBaseAfterOthers =
    "grouping \"base\" after another formula of the same group: its condition would follow the one before it "
    "with no AND or OR between them";

// The error position may stand on the blanks before the failing item; the caret goes under the item.
std::size_t ItemStart(const std::string& text, int32_t errorPos) {
  std::size_t position = std::min(static_cast<std::size_t>(std::max(errorPos, 0)), text.size());
  while (position < text.size() && text[position] == ' ') ++position;
  return position;
}

CheckFailure LibraryFailure(Subject subject, std::size_t index, std::string text, const Error& e,
                       const char* hintForBareError = "") {
  CheckFailure failure;
  failure.subject = subject;
  failure.index = index;
  failure.text = std::move(text);
  failure.errorNumber = e.Number();
  failure.source = e.Source();
  failure.message = e.Message().empty() ? hintForBareError : e.Message();
  return failure;
}

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

CheckFailure SettingFailure(Subject subject, std::size_t index, std::string text, std::string setting,
                       std::string value, const Error& e) {
  CheckFailure failure = LibraryFailure(subject, index, std::move(text), e);
  failure.setting = std::move(setting);
  failure.settingValue = std::move(value);
  return failure;
}

class ReportBuilder {
 public:
  ReportBuilder(const Definition& definition, const std::shared_ptr<db::Connection>& connection)
      : definition_(definition), connection_(connection) {}

  BuiltReport Build() {
    built_.report = Exception::Create();
    built_.report->SetConnection(connection_);
    SetMain();
    for (std::size_t i = 0; i < definition_.formulas.size(); ++i) AddFormula(i + 1, definition_.formulas[i]);
    for (std::size_t i = 0; i < definition_.fields.size(); ++i) AddField(i + 1, definition_.fields[i]);
    // Sets are complete only now: a reference may name a set whose formulas come later.
    CheckFormulas();
    std::stable_sort(built_.failures.begin(), built_.failures.end(), [](const CheckFailure& a, const CheckFailure& b) {
      return std::pair(a.subject, a.index) < std::pair(b.subject, b.index);
    });
    if (built_.failures.empty()) ReadStatement();
    for (const AppliedFormula& applied : applied_) built_.formulaTexts.push_back(applied.text);
    return std::move(built_);
  }

 private:
  // What became of a formula's text, for the checks made once the whole definition is applied.
  struct AppliedFormula {
    std::string text;  // trimmed, as the formula keeps it
    std::shared_ptr<Formula> formula;  // none when it could not even be added
    bool accepted = false;
  };

  void SetMain() {
    Exception& report = *built_.report;
    // The reader accepts only levels the library knows; set before any formula is read.
    report.SetLanguageLevel(definition_.languageLevel);
    report.SetDistinct(definition_.distinct);
    try {
      report.SetMainTable(definition_.mainTable);
    } catch (const Error& e) {
      built_.failures.push_back(LibraryFailure(Subject::kMainTable, 0, definition_.mainTable, e, kMainTableHint));
    }
    try {
      report.SetMainField(definition_.mainField);
    } catch (const Error& e) {
      built_.failures.push_back(LibraryFailure(Subject::kMainField, 0, definition_.mainField, e, kMainFieldHint));
    }
  }

  void AddFormula(std::size_t index, const FormulaDefinition& definition) {
    AppliedFormula applied{definition.text, nullptr, false};
    try {
      FormulaList& formulas = *built_.report->Formulae();
      formulas.AddNew();
      const std::shared_ptr<Formula> formula = formulas.Formula();
      applied.formula = formula;
      formula->SetGrouping(definition.grouping);
      if (definition.name && !SetFormulaName(*formula, index, definition)) {
        applied_.push_back(std::move(applied));
        return;
      }
      try {
        formula->SetValue(applied.text);  // trims the caller's text as the formula does
        applied.accepted = true;
      } catch (const Error& e) {
        CheckFailure failure = LibraryFailure(Subject::kFormula, index, applied.text, e);
        failure.position = ItemStart(applied.text, formula->ErrorPos());
        built_.failures.push_back(std::move(failure));
      }
    } catch (const Error& e) {
      built_.failures.push_back(LibraryFailure(Subject::kFormula, index, applied.text, e));
    }
    applied_.push_back(std::move(applied));
  }

  bool SetFormulaName(Formula& formula, std::size_t index, const FormulaDefinition& definition) {
    try {
      formula.SetName(*definition.name);
      return true;
    } catch (const Error& e) {
      built_.failures.push_back(SettingFailure(Subject::kFormula, index, definition.text, "name", *definition.name, e));
      return false;
    }
  }

  void AddField(std::size_t index, const FieldDefinition& definition) {
    std::shared_ptr<Field> field;
    try {
      FieldList& fields = *built_.report->Fields();
      fields.AddNew();
      field = fields.Field();
      field->SetValue(definition.field);
    } catch (const Error& e) {
      built_.failures.push_back(LibraryFailure(Subject::kField, index, definition.field, e));
      return;
    }
    // Each setting is tried on its own, so that every wrong one is reported.
    const auto apply = [&](const char* setting, const std::string& value, auto&& assign) {
      try {
        assign();
      } catch (const Error& e) {
        built_.failures.push_back(SettingFailure(Subject::kField, index, definition.field, setting, value, e));
      }
    };
    if (definition.name) apply("name", *definition.name, [&] { field->SetName(*definition.name); });
    if (definition.aggregate) {
      apply("aggregate", *definition.aggregate, [&] { field->SetAggragateFunction(*definition.aggregate); });
    }
    if (definition.direction) {
      apply("direction", *definition.direction, [&] { field->SetOrderDirection(*definition.direction); });
    }
    if (definition.orderPos) {
      apply("orderPos", std::to_string(*definition.orderPos), [&] { field->SetOrderPos(*definition.orderPos); });
    }
  }

  void CheckFormulas() {
    // The groups that have a formula already, keyed as the statement groups formulas: by set name without
    // brackets, regardless of letter case; the unnamed formulas form the group "".
    std::vector<std::string> groupsStarted;
    ReferenceCheck references(*built_.report, connection_);
    for (std::size_t i = 0; i < applied_.size(); ++i) {
      const std::size_t index = i + 1;
      const AppliedFormula& applied = applied_[i];
      const std::string group = applied.formula ? UpperAscii(StripBrackets(applied.formula->Name())) : std::string();
      const bool groupStarted = std::find(groupsStarted.begin(), groupsStarted.end(), group) != groupsStarted.end();
      if (!groupStarted) groupsStarted.push_back(group);
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
      built_.failures.push_back(LibraryFailure(Subject::kStatement, 0, "", e));
    }
  }

  const Definition& definition_;
  const std::shared_ptr<db::Connection>& connection_;
  BuiltReport built_;
  std::vector<AppliedFormula> applied_;
};

}  // namespace

BuiltReport BuildReport(const Definition& definition, const std::shared_ptr<db::Connection>& connection) {
  // The schema does not change while one definition is applied: its version is read once, and every
  // question about a table is asked of the database once.
  const db::SchemaScope schemaScope;
  return ReportBuilder(definition, connection).Build();
}

}  // namespace talvane
