#include "db/sqlite/ado_type.hpp"

#include <array>
#include <string>

#include "talvane/foundation/ascii_text.hpp"

namespace talvane::db::detail {

namespace {

struct DeclaredType {
  std::string_view name;
  int32_t code;
};

constexpr std::array<DeclaredType, 43> kDeclaredTypes{{
    {"INT", 3},          {"INTEGER", 3},       {"MEDIUMINT", 3},     {"BIGINT", 20},
    {"SMALLINT", 2},     {"TINYINT", 17},      {"REAL", 5},          {"FLOAT", 5},
    {"DOUBLE", 5},       {"SINGLE", 4},        {"MONEY", 6},         {"SMALLMONEY", 6},
    {"CURRENCY", 6},     {"DECIMAL", 131},     {"NUMERIC", 131},     {"DATE", 133},
    {"DATETIME", 135},   {"DATETIME2", 135},   {"SMALLDATETIME", 135}, {"TIMESTAMP", 135},
    {"TIME", 134},       {"BIT", 11},          {"BOOL", 11},         {"BOOLEAN", 11},
    {"YESNO", 11},       {"CHAR", 129},        {"NCHAR", 130},       {"VARCHAR", 200},
    {"NVARCHAR", 202},   {"TEXT", 202},        {"MEMO", 203},        {"NTEXT", 203},
    {"LONGTEXT", 203},   {"BLOB", 205},        {"BINARY", 205},      {"VARBINARY", 205},
    {"IMAGE", 205},      {"GUID", 72},         {"UNIQUEIDENTIFIER", 72}, {"DOUBLE PRECISION", 5},
    {"CHARACTER", 129},  {"VARYING CHARACTER", 200}, {"NATIVE CHARACTER", 130},
}};

// The base name: the text before any "(", without surrounding blanks, inner blank runs reduced to one, upper case.
std::string BaseName(std::string_view declared) {
  const auto paren = declared.find('(');
  if (paren != std::string_view::npos) declared = declared.substr(0, paren);
  std::string name;
  bool pendingBlank = false;
  for (char c : declared) {
    if (IsWhitespace(c)) {
      pendingBlank = !name.empty();
      continue;
    }
    if (pendingBlank) name += ' ';
    pendingBlank = false;
    name += UpperChar(c);
  }
  return name;
}

// SQLite's column affinity rules, for names the table does not know.
int32_t AffinityType(const std::string& name) {
  auto has = [&name](std::string_view part) { return name.find(part) != std::string::npos; };
  if (has("INT")) return 3;
  if (has("CHAR") || has("CLOB") || has("TEXT")) return 202;
  if (has("BLOB")) return 205;
  if (has("REAL") || has("FLOA") || has("DOUB")) return 5;
  return 131;
}

}  // namespace

std::optional<int32_t> KnownDeclaredType(std::string_view declared) {
  const std::string name = BaseName(declared);
  for (const auto& entry : kDeclaredTypes) {
    if (entry.name == name) return entry.code;
  }
  return std::nullopt;
}

int32_t AdoTypeFromDeclared(std::string_view declared) {
  const std::string name = BaseName(declared);
  if (name.empty()) return kAdVariant;
  return KnownDeclaredType(name).value_or(AffinityType(name));
}

}  // namespace talvane::db::detail
