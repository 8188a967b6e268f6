#pragma once
// The JSON the API answers with: failures and warnings of a definition, the schema, the items of a formula.
// Texts are kept as they came; the answer is written with bytes that are not UTF-8 replaced by U+FFFD.
#include <nlohmann/json.hpp>

#include <string_view>
#include <vector>

#include "talvane/definition/check_warnings.hpp"
#include "talvane/definition/check_failure.hpp"
#include "schema_command.hpp"

namespace talvane::cli {

//   {"subject": "formula", "index": 2, "text": "...", "position": 17, "error": "0x80040006",
//    "source": "...", "message": "...", "setting": "name", "settingValue": "..."}
// Keys without a value (no position, no library error, no setting) are left out.
nlohmann::json FailuresJson(const std::vector<CheckFailure>& failures);

//   {"subject": "field", "index": 1, "text": "...", "position": 0, "message": "..."}
nlohmann::json WarningsJson(const std::vector<CheckWarning>& warnings);

//   [{"name": "Orders", "columns": [{"name": "Amount", "declaredType": "REAL", "takenAs": "numeric"}]}]
nlohmann::json SchemaJson(const std::vector<SchemaTable>& tables);

//   {"text": "<trimmed>", "items": [{"position": 0, "kind": "kField", "text": "Orders.Amount"}],
//    "error": {"number": "0x80040006", "message": "...", "position": 17}}   (error only when cutting failed)
nlohmann::json ItemsJson(std::string_view formula);

}  // namespace talvane::cli
