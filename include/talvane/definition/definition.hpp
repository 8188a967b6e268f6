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

/// An output field of a definition: what a host sets on a Field.
struct FieldDefinition {
  std::string field;                     ///< the field reference, e.g. "Orders.Amount" (Field.Value)
  std::optional<std::string> name;       ///< the output name (Field.Name)
  std::optional<std::string> aggregate;  ///< SUM, COUNT, MAX, MIN, AVG or TOTAL (Field.AggragateFunction)
  std::optional<int32_t> orderPos;       ///< the place in the ORDER BY (Field.OrderPos)
  std::optional<std::string> direction;  ///< Ascending or Descending (Field.OrderDirection)

  /// Equal when every setting is.
  bool operator==(const FieldDefinition&) const = default;
};

/// A formula of a definition: what a host sets on a Formula.
struct FormulaDefinition {
  std::string text;                 ///< the formula text (Formula.Value)
  std::optional<std::string> name;  ///< the set it belongs to (Formula.Name); none for the outer statement
  /// "and" unless the file says otherwise: the first formula of a group is written without an operator
  /// whether it is kAnd or kBase, and every later one needs one.
  GROUPTYPEENU grouping = kAnd;

  /// Equal when every setting is.
  bool operator==(const FormulaDefinition&) const = default;
};

/// A whole report definition.
struct Definition {
  /// How messages name the definition: the file name, or "<stdin>".
  std::string source;
  std::string description;                  ///< free text, not used to build the report
  std::string mainTable;                    ///< the table whose records the report lists (Exception.MainTable)
  std::string mainField;                    ///< its key column (Exception.MainField)
  std::vector<FieldDefinition> fields;      ///< the output fields, in order
  std::vector<FormulaDefinition> formulas;  ///< the formulas, in order
  // Added last, so that a definition written member by member in braces keeps its meaning.
  int32_t languageLevel = 1;                ///< the language level of the rules (Exception.LanguageLevel)
  bool distinct = false;                    ///< one row per distinct result (Exception.Distinct)
};

}  // namespace talvane
