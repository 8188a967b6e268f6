#include "talvane/definition/definition_reader.hpp"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <span>

#include "talvane/definition/definition_error.hpp"
#include "talvane/definition/printable_text.hpp"
#include "strict_json_builder.hpp"

namespace talvane {

namespace {

using nlohmann::json;

// A definition is a few kilobytes; anything far larger is not one, and is refused before it is parsed.
constexpr std::size_t kMaxDefinitionBytes = 16u << 20;
// The format nests three levels deep (definition, list, entry); deeper input is refused while it is read.
constexpr std::size_t kMaxDepth = 32;

// The keys of each object, in the order the help lists them.
struct Key {
  std::string_view name;
  std::string_view help;
};

constexpr Key kDefinitionKeys[] = {
    {"mainTable", "the table whose records the report lists (required)"},
    {"mainField", "its key column, on which every other table and every set is joined (required)"},
    {"fields", "the output fields, a list of objects with these keys:"},
    {"formulas", "the rules, a list of objects with these keys:"},
    {"description", "free text for the reader, not used"},
};
constexpr Key kFieldKeys[] = {
    {"field", "a field reference: Orders.Amount, [Orders].[Ship Date] or Set.Column (required)"},
    {"name", "the output name (default: the column name)"},
    {"aggregate", "SUM, COUNT, MAX, MIN, AVG or TOTAL"},
    {"orderPos", "place in the ORDER BY list: 1, 2, ... (0: not in it)"},
    {"direction", "Ascending (the default) or Descending"},
};
constexpr Key kFormulaKeys[] = {
    {"text", "one comparison, e.g. Orders.Amount >= 100 (required)"},
    {"name", "formulas that share a name form a set: a derived table joined on the main field"},
    {"grouping", "and (the default), or, base: how the condition joins those before it in its group"},
};

std::string JoinKeys(std::span<const Key> keys) {
  std::string text;
  for (const Key& key : keys) {
    if (!text.empty()) text += ", ";
    text += key.name;
  }
  return text;
}

void AppendKeyHelp(std::string& text, std::span<const Key> keys, std::size_t indent) {
  for (const Key& key : keys) {
    std::string name(key.name);
    name.resize(std::max<std::size_t>(name.size() + 1, 16 - indent), ' ');
    text += std::string(indent, ' ') + name + std::string(key.help) + "\n";
    if (key.name == "fields") AppendKeyHelp(text, kFieldKeys, indent + 2);
    if (key.name == "formulas") AppendKeyHelp(text, kFormulaKeys, indent + 2);
  }
}

// What a JSON value is, for "must be ..., not ..." messages.
std::string TypeDescription(const json& value) {
  switch (value.type()) {
    case json::value_t::object: return "an object";
    case json::value_t::array: return "a list";
    case json::value_t::string: return "a string";
    case json::value_t::boolean: return "true or false";
    case json::value_t::null: return "null";
    case json::value_t::number_integer:
    case json::value_t::number_unsigned:
    case json::value_t::number_float: return "a number";
    default: return "a value of another kind";
  }
}

// The checks of one JSON object of the definition: only known keys, values of the expected types.
// `where` names the object in messages ("field 2: ", or empty for the definition itself).
class ObjectReader {
 public:
  ObjectReader(const json& object, const std::string& source, std::string where,
               std::span<const Key> known)
      : object_(object), source_(source), where_(std::move(where)) {
    for (const auto& [key, value] : object.items()) {
      static_cast<void>(value);
      bool isKnown = false;
      for (const Key& k : known) isKnown = isKnown || k.name == key;
      if (!isKnown) Fail("unknown key " + Quoted(key) + " (known keys: " + JoinKeys(known) + ")");
    }
  }

  std::optional<std::string> OptionalString(std::string_view key) const {
    const json* value = Find(key);
    if (!value) return std::nullopt;
    if (!value->is_string()) Fail(Quoted(key) + " must be a string, not " + TypeDescription(*value));
    std::string text = value->get<std::string>();
    // The library takes texts up to their end; a NUL inside would cut a name or a formula short.
    if (text.find('\0') != std::string::npos) Fail(Quoted(key) + " holds a NUL character");
    return text;
  }

  std::string RequiredString(std::string_view key, std::string_view meaning) const {
    std::optional<std::string> text = OptionalString(key);
    if (!text) Fail(Quoted(key) + " is missing (" + std::string(meaning) + ")");
    return *text;
  }

  std::optional<int32_t> OptionalWholeNumber(std::string_view key) const {
    const json* value = Find(key);
    if (!value) return std::nullopt;
    if (!value->is_number_integer()) {
      Fail(Quoted(key) + " must be a whole number, not " + (value->is_number() ? std::string("a fraction") : TypeDescription(*value)));
    }
    const bool fits = value->is_number_unsigned()
                          ? value->get<uint64_t>() <= static_cast<uint64_t>(std::numeric_limits<int32_t>::max())
                          : value->get<int64_t>() >= std::numeric_limits<int32_t>::min() &&
                                value->get<int64_t>() <= std::numeric_limits<int32_t>::max();
    if (!fits) Fail(Quoted(key) + " is out of range");
    return static_cast<int32_t>(value->get<int64_t>());
  }

  // The entries of a list, each of them an object; none when the key is absent.
  std::vector<const json*> OptionalObjectList(std::string_view key, std::string_view entryName) const {
    std::vector<const json*> entries;
    const json* value = Find(key);
    if (!value) return entries;
    if (!value->is_array()) Fail(Quoted(key) + " must be a list ([...]), not " + TypeDescription(*value));
    for (std::size_t i = 0; i < value->size(); ++i) {
      const json& entry = (*value)[i];
      if (!entry.is_object()) {
        Fail(std::string(entryName) + " " + std::to_string(i + 1) + " must be an object ({...}), not " +
             TypeDescription(entry));
      }
      entries.push_back(&entry);
    }
    return entries;
  }

  [[noreturn]] void Fail(const std::string& message) const { throw DefinitionError(source_ + ": " + where_ + message); }

 private:
  const json* Find(std::string_view key) const {
    const auto it = object_.find(std::string(key));
    return it == object_.end() ? nullptr : &*it;
  }

  const json& object_;
  const std::string& source_;
  std::string where_;
};

GROUPTYPEENU ParseGrouping(const std::string& text, const ObjectReader& reader) {
  std::string lower;
  for (const char c : text) lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  if (lower == "and") return kAnd;
  if (lower == "or") return kOr;
  if (lower == "base") return kBase;
  reader.Fail("\"grouping\" must be \"and\", \"or\" or \"base\", not " + Quoted(text));
}

FieldDefinition ReadField(const json& object, const std::string& source, std::size_t number) {
  const ObjectReader reader(object, source, "field " + std::to_string(number) + ": ", kFieldKeys);
  FieldDefinition field;
  field.field = reader.RequiredString("field", "a field reference such as Orders.Amount");
  field.name = reader.OptionalString("name");
  field.aggregate = reader.OptionalString("aggregate");
  field.orderPos = reader.OptionalWholeNumber("orderPos");
  field.direction = reader.OptionalString("direction");
  return field;
}

FormulaDefinition ReadFormula(const json& object, const std::string& source, std::size_t number) {
  const ObjectReader reader(object, source, "formula " + std::to_string(number) + ": ", kFormulaKeys);
  FormulaDefinition formula;
  formula.text = reader.RequiredString("text", "the rule, such as Orders.Amount >= 100");
  formula.name = reader.OptionalString("name");
  if (const std::optional<std::string> grouping = reader.OptionalString("grouping")) {
    formula.grouping = ParseGrouping(*grouping, reader);
  }
  return formula;
}

// nlohmann's messages start with an identifier in square brackets ("[json.exception.parse_error.101] ").
std::string WithoutExceptionId(const char* what) {
  std::string message = what;
  if (!message.empty() && message.front() == '[') {
    const std::size_t end = message.find("] ");
    if (end != std::string::npos) message.erase(0, end + 2);
  }
  return Printable(message);
}

// Parses JSON text, refusing a key repeated within one object (the parser would keep only the last one)
// and nesting deeper than the format can use.
json ParseJson(std::string_view text, const std::string& source) {
  json document;
  detail::StrictJsonBuilder builder(document, source, kMaxDepth);
  try {
    json::sax_parse(text.begin(), text.end(), &builder);
  } catch (const json::exception& e) {
    throw DefinitionError(source + ": malformed JSON: " + WithoutExceptionId(e.what()));
  }
  return document;
}

bool IsBlank(std::string_view text) {
  return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

std::string ReadAll(std::FILE* file, const std::string& source) {
  std::string text;
  char buffer[65536];
  std::size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    text.append(buffer, n);
    if (text.size() > kMaxDefinitionBytes) {
      throw DefinitionError(source + ": the definition is larger than " + std::to_string(kMaxDefinitionBytes >> 20) + " MiB");
    }
  }
  if (std::ferror(file)) throw DefinitionError("cannot read the definition " + source + ": " + std::strerror(errno));
  return text;
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

Definition ParseDefinition(std::string_view text, const std::string& rawSource) {
  const std::string source = Printable(rawSource);
  if (IsBlank(text)) throw DefinitionError(source + ": the definition is empty");
  const json document = ParseJson(text, source);
  if (!document.is_object()) {
    throw DefinitionError(source + ": the definition must be a JSON object ({...}), not " + TypeDescription(document));
  }
  if (document.empty()) throw DefinitionError(source + ": the definition is empty ({} sets nothing)");

  const ObjectReader reader(document, source, "", kDefinitionKeys);
  Definition definition;
  definition.source = source;
  definition.description = reader.OptionalString("description").value_or("");
  definition.mainTable = reader.RequiredString("mainTable", "the table whose records the report lists");
  definition.mainField = reader.RequiredString("mainField", "the key column of the main table");
  const std::vector<const json*> fields = reader.OptionalObjectList("fields", "field");
  for (std::size_t i = 0; i < fields.size(); ++i) definition.fields.push_back(ReadField(*fields[i], source, i + 1));
  const std::vector<const json*> formulas = reader.OptionalObjectList("formulas", "formula");
  for (std::size_t i = 0; i < formulas.size(); ++i) {
    definition.formulas.push_back(ReadFormula(*formulas[i], source, i + 1));
  }
  return definition;
}

Definition LoadDefinition(const std::string& path) {
  if (path == "-") return ParseDefinition(ReadAll(stdin, "<stdin>"), "<stdin>");
  std::error_code ignored;
  if (std::filesystem::is_directory(path, ignored)) {
    throw DefinitionError("cannot read the definition " + Printable(path) + ": it is a directory");
  }
  const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) throw DefinitionError("cannot read the definition " + Printable(path) + ": " + std::strerror(errno));
  return ParseDefinition(ReadAll(file.get(), Printable(path)), path);
}

std::string DefinitionKeysHelp() {
  std::string text = "The definition file is a JSON object:\n";
  AppendKeyHelp(text, kDefinitionKeys, 2);
  return text;
}

}  // namespace talvane
