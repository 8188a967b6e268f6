#include "definition_generator.hpp"

#include <cstdio>

namespace talvane::cli::test {

namespace {

using nlohmann::json;

struct MainTable {
  std::string table;
  std::string key;
};

const std::vector<MainTable> kMainTables = {
    {"Regions", "RegionID"}, {"Customers", "CustomerID"}, {"Orders", "OrderID"}, {"Products", "ProductID"}};
// Set names: two spellings of one set and a name with a blank.
const std::vector<std::string> kSetNames = {"Big", "BIG", "Held", "Late Ones"};
const std::vector<std::string> kArithmetic = {"+", "-", "*", "/"};
const std::vector<std::string> kComparisons = {"=", "<>", "<", ">", "<=", ">=", "=>", "=<"};
const std::vector<std::string> kNumbers = {"0", "1", "100", "2500", "12.5", "0.25", "-3", "1000000"};
const std::vector<std::string> kTexts = {"\"Held\"", "\"Shipped\"", "\"North\"", "\"O'Neill\"",
                                         "\"Zoë\"",  "\"50%\"",    "\"\"",      "\"Tools\""};
const std::vector<std::string> kPatterns = {"\"A%\"", "\"%e_\"", "\"[A-C]%\"", "\"[^0-9]%\"", "\"Cust%\"", "\"A*\""};
const std::vector<std::string> kBooleans = {"TRUE", "FALSE", "true", "False"};
const std::vector<std::string> kAggregates = {"SUM(", "AVG(", "MIN(", "MAX(", "COUNT("};
const std::vector<std::string> kFieldFunctions = {"SUM", "COUNT", "MAX", "MIN", "AVG", "TOTAL", "avg", "MEDIAN"};
const std::vector<std::string> kFieldNames = {"Total", "Amount", "Due on", "Name"};

std::string Bracketed(const std::string& table, const std::string& column) {
  return "[" + table + "].[" + column + "]";
}

}  // namespace

const std::vector<DefinitionGenerator::Table>& DefinitionGenerator::Schema() {
  constexpr Kind N = Kind::kNumber, D = Kind::kDate, H = Kind::kTime, B = Kind::kBoolean, T = Kind::kText,
                 O = Kind::kOther;
  static const std::vector<Table> tables = {
      {"Regions", {{"RegionID", N}, {"RegionName", T}, {"Code", T}, {"Manager", T}, {"Notes", T}}},
      {"Customers",
       {{"CustomerID", N}, {"CustomerName", T}, {"RegionID", N}, {"Balance", N}, {"CreditLimit", N}, {"Since", D},
        {"Active", B}, {"Rating", N}, {"Email", T}, {"AccountGuid", O}, {"Comments", T}}},
      {"Products",
       {{"ProductID", N}, {"ProductName", T}, {"Category", T}, {"ListPrice", N}, {"Weight", N}, {"Density", N},
        {"Discontinued", B}, {"Barcode", N}, {"Photo", O}, {"Sku", O}}},
      {"Orders",
       {{"OrderID", N}, {"CustomerID", N}, {"OrderDate", D}, {"Ship Date", D}, {"DueTime", H}, {"Amount", N},
        {"Freight", N}, {"Status", T}, {"Rush", B}, {"Placed", D}, {"Priority", N}, {"Memo", T}}},
      {"OrderLines",
       {{"LineID", N}, {"OrderID", N}, {"ProductID", N}, {"Qty", N}, {"UnitPrice", N}, {"Discount", N},
        {"TaxRate", N}, {"Weight", N}, {"Packed", B}, {"Delivered", D}, {"PickedAt", D}, {"Checksum", O},
        {"Label", O}, {"Scan", O}, {"Extra", O}}},
  };
  return tables;
}

std::string DefinitionGenerator::Next() {
  setColumns_.clear();
  const MainTable& main = Pick(kMainTables);
  const std::vector<const Table*> tables = TablesOf(main.table, main.key);
  json definition = {{"mainTable", main.table}, {"mainField", OneIn(40) ? "Code" : main.key}};
  // Two set names at most (each set multiplies the rows by those it joins), and the unnamed formulas.
  const std::vector<std::string> groups = {"", "", Pick(kSetNames), Pick(kSetNames)};
  json formulas = json::array();
  for (std::size_t i = Below(6); i > 0; --i) formulas.push_back(Formula(tables, Pick(groups)));
  json fields = json::array();
  for (std::size_t i = OneIn(25) ? 0 : 1 + Below(4); i > 0; --i) fields.push_back(Field(tables));
  definition["formulas"] = std::move(formulas);
  definition["fields"] = std::move(fields);
  return definition.dump();
}

std::vector<const DefinitionGenerator::Table*> DefinitionGenerator::TablesOf(const std::string& mainTable,
                                                                            const std::string& key) {
  std::vector<const Table*> tables;
  for (const Table& table : Schema()) {
    bool hasKey = false;
    for (const Column& column : table.columns) hasKey = hasKey || column.name == key;
    if (table.name == mainTable) {
      tables.insert(tables.begin(), &table);
    } else if (hasKey || OneIn(12)) {
      tables.push_back(&table);
    }
  }
  return tables;
}

json DefinitionGenerator::Formula(const std::vector<const Table*>& tables, const std::string& set) {
  used_.clear();
  json formula = {{"text", Mistake(Condition(tables))}};
  if (!set.empty()) {
    formula["name"] = set;
    setColumns_.emplace_back(set, used_);
  }
  if (OneIn(4)) formula["grouping"] = OneIn(3) ? "base" : "or";
  return formula;
}

std::string DefinitionGenerator::Condition(const std::vector<const Table*>& tables) {
  if (OneIn(60)) return " ";
  return Comparison(Operand(AnyColumn(tables)), tables);
}

DefinitionGenerator::Reference DefinitionGenerator::Operand(const Reference& field) {
  const bool number = field.kind == Kind::kNumber;
  switch (Below(8)) {
    case 0:
    case 1:
      if (number) return {Pick(kAggregates) + field.text + ")", Kind::kNumber, field.column};
      break;
    case 2:
      if (number) {
        const std::string arithmetic = Pick(kArithmetic);
        return {field.text + " " + arithmetic + " " + Literal(Kind::kNumber), Kind::kNumber, field.column};
      }
      break;
    case 3:
      if (number) return {"(" + field.text + " * " + Literal(Kind::kNumber) + ")", Kind::kNumber, field.column};
      break;
    default: break;
  }
  return field;
}

std::string DefinitionGenerator::Comparison(const Reference& left, const std::vector<const Table*>& tables) {
  switch (Below(10)) {
    case 0: {
      const std::string low = Literal(left.kind);
      return left.text + " BETWEEN " + low + " AND " + Literal(left.kind);
    }
    case 1: {
      std::string list = Literal(left.kind);
      for (std::size_t i = Below(3); i > 0; --i) list += ", " + Literal(left.kind);
      return left.text + " IN(" + list + ")";
    }
    case 2:
      if (left.kind == Kind::kText) {
        const std::string like = OneIn(3) ? " NOT LIKE " : " LIKE ";
        return left.text + like + Pick(kPatterns);
      }
      break;
    case 3:
      if (left.kind == Kind::kNumber) return left.text + " > TOTAL(" + ColumnLike(Kind::kNumber, tables).text + ")";
      break;
    case 4: {
      const std::string comparison = Pick(kComparisons);
      return left.text + " " + comparison + " " + ColumnLike(left.kind, tables).text;
    }
    default: break;
  }
  const std::string comparison = Pick(kComparisons);
  return left.text + " " + comparison + " " + Literal(left.kind);
}

std::string DefinitionGenerator::Literal(Kind kind) {
  char text[32];
  switch (kind) {
    case Kind::kNumber: return OneIn(2) ? Pick(kNumbers) : std::to_string(Below(5000));
    case Kind::kDate: {
      const std::size_t day = 1 + Below(28);
      const std::size_t month = 1 + Below(12);
      std::snprintf(text, sizeof text, "%02zu/%02zu/%04zu", day, month, 2014 + Below(12));
      return text;
    }
    case Kind::kTime: {
      const std::size_t hour = Below(24);
      std::snprintf(text, sizeof text, "%02zu:%02zu", hour, Below(60));
      return OneIn(2) ? std::string(text) : text + std::string(":00");
    }
    case Kind::kBoolean: return Pick(kBooleans);
    case Kind::kText:
    case Kind::kOther: break;
  }
  return Pick(kTexts);
}

json DefinitionGenerator::Field(const std::vector<const Table*>& tables) {
  json field;
  if (!setColumns_.empty() && OneIn(3)) {
    const auto& [set, columns] = Pick(setColumns_);
    const std::string column = columns.empty() ? "Nothing" : Pick(columns);
    field["field"] = Bracketed(set, column);
  } else {
    field["field"] = AnyColumn(tables).text;
  }
  if (OneIn(4)) field["name"] = Pick(kFieldNames);
  if (OneIn(6)) field["aggregate"] = Pick(kFieldFunctions);
  if (OneIn(3)) field["orderPos"] = Below(4);
  if (OneIn(4)) field["direction"] = OneIn(2) ? "Descending" : "Ascending";
  return field;
}

DefinitionGenerator::Reference DefinitionGenerator::AnyColumn(const std::vector<const Table*>& tables) {
  return Use(UnusedColumn(tables));
}

DefinitionGenerator::Reference DefinitionGenerator::ColumnLike(Kind kind, const std::vector<const Table*>& tables) {
  Reference column = UnusedColumn(tables);
  for (int tries = 0; tries < 4 && column.kind != kind; ++tries) column = UnusedColumn(tables);
  return Use(std::move(column));
}

DefinitionGenerator::Reference DefinitionGenerator::UnusedColumn(const std::vector<const Table*>& tables) {
  const Table& table = *Pick(tables);
  const Column& column = table.columns[Below(table.columns.size())];
  const std::string name = column.name;
  const bool plain = name.find(' ') == std::string::npos && OneIn(2);
  return {plain ? std::string(table.name) + "." + name : Bracketed(table.name, name), column.kind, name};
}

DefinitionGenerator::Reference DefinitionGenerator::Use(Reference column) {
  used_.push_back(column.column);
  return column;
}

std::string DefinitionGenerator::Mistake(std::string text) {
  if (!OneIn(12)) return text;
  const std::size_t dot = text.find('.');
  switch (Below(5)) {
    case 0:
      if (dot != std::string::npos) return text.insert(dot + 1, "x");  // a misspelt column
      break;
    case 1: return "(" + text;
    case 2: return text + " )";
    case 3: return text + " AND 1_000";
    default: {
      // Cut short, at the start of a UTF-8 character.
      std::size_t half = text.size() / 2;
      while (half > 0 && (static_cast<unsigned char>(text[half]) & 0xC0) == 0x80) --half;
      return text.substr(0, half);
    }
  }
  return text;
}

}  // namespace talvane::cli::test
