#include "result_json.hpp"

#include <string>

#include "display_text.hpp"
#include "talvane/formula/formula_items.hpp"
#include "talvane/foundation/error.hpp"
#include "tokens_command.hpp"

namespace talvane::cli {

namespace {

const char* SubjectName(CheckFailure::Subject subject) {
  switch (subject) {
    case CheckFailure::Subject::kMainTable: return "mainTable";
    case CheckFailure::Subject::kMainField: return "mainField";
    case CheckFailure::Subject::kFormula: return "formula";
    case CheckFailure::Subject::kField: return "field";
    case CheckFailure::Subject::kStatement: return "statement";
  }
  return "statement";
}

nlohmann::json FailureJson(const CheckFailure& failure) {
  nlohmann::json json = {{"subject", SubjectName(failure.subject)},
                         {"index", failure.index},
                         {"text", failure.text},
                         {"message", failure.message}};
  if (failure.position) json["position"] = *failure.position;
  if (failure.errorNumber) {
    json["error"] = ErrorNumberText(*failure.errorNumber);
    json["source"] = failure.source;
  }
  if (!failure.setting.empty()) {
    json["setting"] = failure.setting;
    json["settingValue"] = failure.settingValue;
  }
  return json;
}

}  // namespace

nlohmann::json FailuresJson(const std::vector<CheckFailure>& failures) {
  nlohmann::json list = nlohmann::json::array();
  for (const CheckFailure& failure : failures) list.push_back(FailureJson(failure));
  return list;
}

nlohmann::json WarningsJson(const std::vector<CheckWarning>& warnings) {
  nlohmann::json list = nlohmann::json::array();
  for (const CheckWarning& warning : warnings) {
    nlohmann::json json = {{"subject", SubjectName(warning.subject)},
                           {"index", warning.index},
                           {"text", warning.text},
                           {"message", warning.message}};
    if (warning.position) json["position"] = *warning.position;
    list.push_back(std::move(json));
  }
  return list;
}

nlohmann::json SchemaJson(const std::vector<SchemaTable>& tables) {
  nlohmann::json list = nlohmann::json::array();
  for (const SchemaTable& table : tables) {
    nlohmann::json columns = nlohmann::json::array();
    for (const SchemaColumn& column : table.columns) {
      columns.push_back({{"name", column.name}, {"declaredType", column.declaredType}, {"takenAs", column.takenAs}});
    }
    list.push_back({{"name", table.name}, {"columns", std::move(columns)}});
  }
  return list;
}

nlohmann::json ItemsJson(std::string_view formula) {
  const std::string text = TrimmedFormula(formula);
  const CutFormula cut = CutIntoItems(text);
  nlohmann::json items = nlohmann::json::array();
  for (const FormulaItem& item : cut.items) {
    items.push_back({{"position", item.position}, {"kind", ItemKindName(item.kind)}, {"text", item.text}});
  }
  nlohmann::json json = {{"text", text}, {"items", std::move(items)}};
  if (cut.error) {
    json["error"] = {{"number", ErrorNumberText(cut.error->Number())},
                     {"message", cut.error->Message()},
                     {"position", cut.failedAt}};
  }
  return json;
}

}  // namespace talvane::cli
