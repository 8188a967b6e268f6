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
#include "json_value.hpp"
#include "strict_json_builder.hpp"
#include "talvane/foundation/ascii_text.hpp"

namespace talvane {

namespace {

using detail::JsonValue;
using detail::JsonMember;

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
    {"languageLevel", "1 (the default) or 2: the language level of the rules"},
    {"distinct", "true: one row per distinct result"},
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

// The checks of one JSON object of the definition: only known keys, values of the expected types.
// `where` names the object in messages ("field 2: ", or empty for the definition itself).
class ObjectReader {
 public:
  ObjectReader(JsonValue& object, const std::string& source, std::string where, std::span<const Key> known)
      : object_(object), source_(source), where_(std::move(where)) {
    if (const std::string* unknown = FirstUnknownKey(known)) {
      Fail("unknown key " + Quoted(*unknown) + " (known keys: " + JoinKeys(known) + ")");
    }
  }

  // The text is taken out of the object, each key being read once.
  std::optional<std::string> OptionalString(std::string_view key) const {
    JsonValue* value = object_.Member(key);
    if (!value) return std::nullopt;
    if (value->kind != JsonValue::Kind::kString) Fail(Quoted(key) + " must be a string, not " + value->Description());
    // The library takes texts up to their end; a NUL inside would cut a name or a formula short.
    if (value->text.find('\0') != std::string::npos) Fail(Quoted(key) + " holds a NUL character");
    return std::move(value->text);
  }

  std::optional<bool> OptionalBoolean(std::string_view key) const {
    const JsonValue* value = object_.Member(key);
    if (!value) return std::nullopt;
    if (value->kind != JsonValue::Kind::kBoolean) Fail(Quoted(key) + " must be true or false, not " + value->Description());
    return value->truth;
  }

  std::string RequiredString(std::string_view key, std::string_view meaning) const {
    std::optional<std::string> text = OptionalString(key);
    if (!text) Fail(Quoted(key) + " is missing (" + std::string(meaning) + ")");
    return std::move(*text);
  }

  std::optional<int32_t> OptionalWholeNumber(std::string_view key) const {
    const JsonValue* value = object_.Member(key);
    if (!value) return std::nullopt;
    if (!value->IsWholeNumber()) {
      Fail(Quoted(key) + " must be a whole number, not " + (value->IsNumber() ? std::string("a fraction") : value->Description()));
    }
    const bool fits = value->kind == JsonValue::Kind::kUnsigned
                          ? value->unsignedInteger <= static_cast<uint64_t>(std::numeric_limits<int32_t>::max())
                          : value->integer >= std::numeric_limits<int32_t>::min() &&
                                value->integer <= std::numeric_limits<int32_t>::max();
    if (!fits) Fail(Quoted(key) + " is out of range");
    if (value->kind == JsonValue::Kind::kUnsigned) return static_cast<int32_t>(value->unsignedInteger);
    return static_cast<int32_t>(value->integer);
  }

  // The entries of a list, each of them an object; none when the key is absent.
  std::vector<JsonValue>* OptionalObjectList(std::string_view key, std::string_view entryName) const {
    JsonValue* value = object_.Member(key);
    if (!value) return nullptr;
    if (value->kind != JsonValue::Kind::kList) {
      Fail(Quoted(key) + " must be a list ([...]), not " + value->Description());
    }
    for (std::size_t i = 0; i < value->entries.size(); ++i) {
      const JsonValue& entry = value->entries[i];
      if (entry.kind != JsonValue::Kind::kObject) {
        Fail(std::string(entryName) + " " + std::to_string(i + 1) + " must be an object ({...}), not " +
             entry.Description());
      }
    }
    return &value->entries;
  }

  [[noreturn]] void Fail(const std::string& message) const { throw DefinitionError(source_ + ": " + where_ + message); }

 private:
  // Of the keys not in `known`, the first in byte order: the one the message names, whatever order the
  // keys were written in.
  const std::string* FirstUnknownKey(std::span<const Key> known) const {
    const std::string* first = nullptr;
    for (const JsonMember& member : object_.members) {
      const bool isKnown = std::any_of(known.begin(), known.end(), [&](const Key& k) { return k.name == member.key; });
      if (!isKnown && (!first || member.key < *first)) first = &member.key;
    }
    return first;
  }

  JsonValue& object_;
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

FieldDefinition ReadField(JsonValue& object, const std::string& source, std::size_t number) {
  const ObjectReader reader(object, source, "field " + std::to_string(number) + ": ", kFieldKeys);
  FieldDefinition field;
  field.field = reader.RequiredString("field", "a field reference such as Orders.Amount");
  field.name = reader.OptionalString("name");
  field.aggregate = reader.OptionalString("aggregate");
  field.orderPos = reader.OptionalWholeNumber("orderPos");
  field.direction = reader.OptionalString("direction");
  return field;
}

FormulaDefinition ReadFormula(JsonValue& object, const std::string& source, std::size_t number) {
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
JsonValue ParseJson(std::string_view text, const std::string& source) {
  JsonValue document;
  detail::StrictJsonBuilder builder(document, source, kMaxDepth);
  try {
    nlohmann::json::sax_parse(text.begin(), text.end(), &builder);
  } catch (const nlohmann::json::exception& e) {
    throw DefinitionError(source + ": malformed JSON: " + WithoutExceptionId(e.what()));
  }
  return document;
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
  if (TrimWhitespace(text).empty()) throw DefinitionError(source + ": the definition is empty");
  JsonValue document = ParseJson(text, source);
  if (document.kind != JsonValue::Kind::kObject) {
    throw DefinitionError(source + ": the definition must be a JSON object ({...}), not " +
                          document.Description());
  }
  if (document.members.empty()) throw DefinitionError(source + ": the definition is empty ({} sets nothing)");

  const ObjectReader reader(document, source, "", kDefinitionKeys);
  Definition definition;
  definition.source = source;
  definition.description = reader.OptionalString("description").value_or("");
  definition.mainTable = reader.RequiredString("mainTable", "the table whose records the report lists");
  definition.mainField = reader.RequiredString("mainField", "the key column of the main table");
  definition.languageLevel = reader.OptionalWholeNumber("languageLevel").value_or(1);
  if (definition.languageLevel != 1 && definition.languageLevel != 2) {
    reader.Fail("\"languageLevel\" must be 1 or 2, not " + std::to_string(definition.languageLevel));
  }
  definition.distinct = reader.OptionalBoolean("distinct").value_or(false);
  if (std::vector<JsonValue>* fields = reader.OptionalObjectList("fields", "field")) {
    definition.fields.reserve(fields->size());
    for (std::size_t i = 0; i < fields->size(); ++i) definition.fields.push_back(ReadField((*fields)[i], source, i + 1));
  }
  if (std::vector<JsonValue>* formulas = reader.OptionalObjectList("formulas", "formula")) {
    definition.formulas.reserve(formulas->size());
    for (std::size_t i = 0; i < formulas->size(); ++i) {
      definition.formulas.push_back(ReadFormula((*formulas)[i], source, i + 1));
    }
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
