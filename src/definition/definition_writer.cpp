#include "talvane/definition/definition_writer.hpp"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>

#include "talvane/definition/definition_error.hpp"
#include "talvane/formula/formula.hpp"
#include "talvane/formula/formula_items.hpp"
#include "talvane/foundation/brackets.hpp"
#include "talvane/report/exception.hpp"
#include "talvane/report/field.hpp"
#include "talvane/report/field_list.hpp"
#include "talvane/report/formula_list.hpp"

namespace talvane {

namespace {

// Keys keep the order they are written in, which is the order the reader's help lists them.
using Json = nlohmann::ordered_json;

constexpr const char* kAscending = "Ascending";

const char* GroupingName(GROUPTYPEENU grouping) {
  switch (grouping) {
    case kOr: return "or";
    case kBase: return "base";
    default: return "and";
  }
}

// A name as a person writes it: bare when it is one word of letters, digits and underscores, in brackets
// otherwise (Orders, [Ship Date]).
std::string PlainName(std::string_view bracketed) {
  const std::string name = StripBrackets(bracketed);
  const auto isWordCharacter = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; };
  const bool word = !name.empty() && !std::isdigit(static_cast<unsigned char>(name[0])) &&
                    std::all_of(name.begin(), name.end(), isWordCharacter);
  return word ? name : std::string(bracketed);
}

// [Orders].[Amount] as Orders.Amount; a reference of another shape is kept as it is.
std::string PlainReference(std::string_view reference) {
  const std::size_t dot = reference.find("].[");
  if (reference.empty() || reference.front() != '[' || reference.back() != ']' || dot == std::string_view::npos ||
      reference.find("].[", dot + 1) != std::string_view::npos) {
    return PlainName(reference);
  }
  return PlainName(reference.substr(0, dot + 1)) + "." + PlainName(reference.substr(dot + 2));
}

// The formula's canonical text with its field references written plainly.
std::string PlainFormulaText(const std::string& text) {
  const CutFormula cut = CutIntoItems(text);
  if (cut.error) return text;
  std::string plain;
  std::size_t from = 0;
  for (const FormulaItem& item : cut.items) {
    if (item.kind != kField) continue;
    plain.append(text, from, item.position - from);
    plain += PlainReference(std::string_view(text).substr(item.position, item.end - item.position));
    from = item.end;
  }
  return plain.append(text, from);
}

FormulaDefinition FormulaOf(const Formula& formula) {
  FormulaDefinition definition;
  definition.text = PlainFormulaText(formula.Value());
  if (!formula.Name().empty()) definition.name = PlainName(formula.Name());
  definition.grouping = formula.Grouping();
  return definition;
}

FieldDefinition FieldOf(const Field& field) {
  FieldDefinition definition;
  // A column a set supplies is named through the set, as the definition named it; Value() gives the table
  // the set reads it from.
  definition.field = PlainReference(field.IsInSet() ? field.NameOfSet() + "." + field.FieldOnly() : field.Value());
  // The output name is left out where it is the column's own, as a person leaves it out.
  if (StripBrackets(field.Name()) != StripBrackets(field.FieldOnly())) definition.name = PlainName(field.Name());
  if (!field.AggragateFunction().empty()) definition.aggregate = field.AggragateFunction();
  if (field.OrderPos() > 0) definition.orderPos = field.OrderPos();
  if (field.OrderDirection() != kAscending) definition.direction = field.OrderDirection();
  return definition;
}

Json FieldJson(const FieldDefinition& field) {
  Json entry = {{"field", field.field}};
  if (field.name) entry["name"] = *field.name;
  if (field.aggregate) entry["aggregate"] = *field.aggregate;
  if (field.orderPos) entry["orderPos"] = *field.orderPos;
  if (field.direction) entry["direction"] = *field.direction;
  return entry;
}

Json FormulaJson(const FormulaDefinition& formula) {
  Json entry = {{"text", formula.text}};
  if (formula.name) entry["name"] = *formula.name;
  if (formula.grouping != kAnd) entry["grouping"] = GroupingName(formula.grouping);
  return entry;
}

// One entry of a list per line, as the example definitions are laid out.
template <typename Entry, typename ToJson>
std::string ListJson(const char* key, const std::vector<Entry>& entries, ToJson toJson) {
  std::string text = ",\n  " + Json(key).dump() + ": [";
  for (std::size_t i = 0; i < entries.size(); ++i) text += (i ? ",\n    " : "\n    ") + toJson(entries[i]).dump();
  return text + (entries.empty() ? "]" : "\n  ]");
}

}  // namespace

Definition DefinitionOf(const Exception& report) {
  Definition definition;
  definition.mainTable = PlainName(report.MainTable());
  definition.mainField = PlainName(report.MainField());
  definition.languageLevel = report.LanguageLevel();
  definition.distinct = report.Distinct();
  const FormulaList& formulas = *report.Formulae();
  for (int32_t i = 1; i <= formulas.Count(); ++i) definition.formulas.push_back(FormulaOf(*formulas.Formula(i)));
  const FieldList& fields = *report.Fields();
  for (int32_t i = 1; i <= fields.Count(); ++i) definition.fields.push_back(FieldOf(*fields.Field(i)));
  return definition;
}

std::string DefinitionJson(const Definition& definition) {
  try {
    std::string text = "{";
    if (!definition.description.empty()) text += "\n  \"description\": " + Json(definition.description).dump() + ",";
    text += "\n  \"mainTable\": " + Json(definition.mainTable).dump();
    text += ",\n  \"mainField\": " + Json(definition.mainField).dump();
    // Written only when not the default, so that a level-1 report's file stays as it was.
    if (definition.languageLevel != 1) text += ",\n  \"languageLevel\": " + std::to_string(definition.languageLevel);
    if (definition.distinct) text += ",\n  \"distinct\": true";
    text += ListJson("fields", definition.fields, FieldJson);
    text += ListJson("formulas", definition.formulas, FormulaJson);
    return text + "\n}\n";
  } catch (const Json::exception&) {
    throw DefinitionError("the report holds text that is not UTF-8 and cannot be written as JSON");
  }
}

}  // namespace talvane
