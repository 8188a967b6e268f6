#pragma once
// A report definition as a host would set it, kept as a JSON file:
//
//   {
//     "description": "free text, not used by the program",
//     "mainTable": "Orders",
//     "mainField": "OrderID",
//     "fields":   [ { "field": "Orders.Amount", "name": "Total", "aggregate": "SUM",
//                     "orderPos": 1, "direction": "Descending" } ],
//     "formulas": [ { "text": "Orders.Amount >= 100", "name": "BigOrders", "grouping": "or" } ]
//   }
//
// mainTable and mainField are required, as are "field" in a field and "text" in a formula; everything else
// may be left out. Unknown keys, repeated keys and values of the wrong type are refused.
// definition_reader.hpp reads one, definition_writer.hpp writes one.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "talvane/foundation/enums.hpp"

namespace talvane {

struct FieldDefinition {
  std::string field;
  std::optional<std::string> name;
  std::optional<std::string> aggregate;
  std::optional<int32_t> orderPos;
  std::optional<std::string> direction;

  bool operator==(const FieldDefinition&) const = default;
};

struct FormulaDefinition {
  std::string text;
  std::optional<std::string> name;
  // "and" unless the file says otherwise: the first formula of a group is written without an operator
  // whether it is kAnd or kBase, and every later one needs one.
  GROUPTYPEENU grouping = kAnd;

  bool operator==(const FormulaDefinition&) const = default;
};

struct Definition {
  // How messages name the definition: the file name, or "<stdin>".
  std::string source;
  std::string description;
  std::string mainTable;
  std::string mainField;
  std::vector<FieldDefinition> fields;
  std::vector<FormulaDefinition> formulas;
};

}  // namespace talvane
