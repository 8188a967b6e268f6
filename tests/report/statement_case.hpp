#pragma once
// Statement cases kept as data in tests/data/statements/NAME.case: a report definition, the statement
// expected in each dialect and, for some, the rows the Access statement returns from the test database.
//
//   # comment
//   schema: worked_example.sql            (optional; default: the standard test schema)
//   tsql: skip                            (optional; the statement is not valid T-SQL on purpose)
//   main: Customers.CustID                (main table . main field)
//   formula: Orders.Status = "Open" | set OpenOrders | or      (options: set NAME, and, or, base)
//   field: OpenOrders.OrderDate | name LastOrder | order 1 | desc   (options: name X, aggregate F,
//                                                                    order N, ordered, desc, unorder)
//   == sqlserver                          (then the statement, one line per line)
//   == access
//   == sqlite
//   == rows                               (expected rows of the Access and SQLite statements, values joined
//                                          by " | ")
//   == sqlite rows                        (optional: the SQLite statement's rows where they differ)
//
// In a statement, "→" stands for a tab and "·" for a blank (used where a line ends in one); every line
// ends with "\r\n". Formulas are created first, in file order (text, then set name, then grouping), then
// the fields in file order.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/sqlite_fixture.hpp"
#include "talvane/definition/apply_definition.hpp"
#include "talvane/definition/definition.hpp"
#include "talvane/formula/formula.hpp"
#include "talvane/report/exception.hpp"
#include "talvane/report/field.hpp"
#include "talvane/report/field_list.hpp"
#include "talvane/report/formula_list.hpp"

namespace talvane::test {

// A field of a case: a definition's settings, plus the two a definition has no key for.
struct CaseField {
  FieldDefinition definition;
  bool ordered = false;  // Ordered = true, before the order position is set
  bool unorder = false;  // OrderPos 0 once the other settings are made
};

struct StatementCase {
  std::string name;
  std::string schemaFile;
  Definition definition;  // main table, main field and formulas; the fields are below
  std::vector<CaseField> fields;
  std::map<std::string, std::string> expected;  // "sqlserver" / "access" -> exact statement
  bool tsqlCheck = true;
  bool hasRows = false;
  std::vector<std::string> rows;
  // Where SQL Server's statement means other rows than Access's (FULL JOIN against LEFT JOIN), the rows of
  // the SQLite statement, which means what SQL Server's does.
  std::vector<std::string> sqliteRows;
};

inline std::string StatementsDir() { return std::string(TALVANE_TEST_DATA_DIR) + "/statements"; }

inline std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

inline std::vector<std::string> SplitOptions(const std::string& text) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const auto bar = text.find(" | ", start);
    parts.push_back(Trim(text.substr(start, bar == std::string::npos ? std::string::npos : bar - start)));
    if (bar == std::string::npos) return parts;
    start = bar + 3;
  }
}

inline std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// The exact statement text of a readable layout.
inline std::string ExpandLayout(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += ReplaceAll(ReplaceAll(line, "→", "\t"), "·", " ") + "\r\n";
  return text;
}

// The readable layout of a statement text (for messages when a case fails).
inline std::string ShowLayout(const std::string& statement) {
  return ReplaceAll(ReplaceAll(ReplaceAll(statement, "\t", "→"), " \r\n", "·\r\n"), "\r\n", "\n");
}

inline void ApplyFormulaOption(FormulaDefinition& formula, const std::string& option) {
  if (option.rfind("set ", 0) == 0) {
    formula.name = option.substr(4);
  } else if (option == "and") {
    formula.grouping = kAnd;
  } else if (option == "or") {
    formula.grouping = kOr;
  } else if (option == "base") {
    formula.grouping = kBase;
  } else {
    throw std::runtime_error("unknown formula option: " + option);
  }
}

inline void ApplyFieldOption(CaseField& field, const std::string& option) {
  if (option.rfind("name ", 0) == 0) {
    field.definition.name = option.substr(5);
  } else if (option.rfind("aggregate ", 0) == 0) {
    field.definition.aggregate = option.substr(10);
  } else if (option.rfind("order ", 0) == 0) {
    field.definition.orderPos = std::stoi(option.substr(6));
  } else if (option == "ordered") {
    field.ordered = true;
  } else if (option == "desc") {
    field.definition.direction = "Descending";
  } else if (option == "unorder") {
    field.unorder = true;
  } else {
    throw std::runtime_error("unknown field option: " + option);
  }
}

inline void ParseDefinitionLine(StatementCase& c, const std::string& line) {
  const auto colon = line.find(':');
  if (colon == std::string::npos) throw std::runtime_error("not a definition line: " + line);
  const std::string key = Trim(line.substr(0, colon));
  const std::vector<std::string> parts = SplitOptions(Trim(line.substr(colon + 1)));
  if (key == "schema") {
    c.schemaFile = parts[0];
  } else if (key == "tsql") {
    c.tsqlCheck = parts[0] != "skip";
  } else if (key == "main") {
    const auto dot = parts[0].find('.');
    c.definition.mainTable = parts[0].substr(0, dot);
    c.definition.mainField = parts[0].substr(dot + 1);
  } else if (key == "formula") {
    FormulaDefinition formula{parts[0], {}, kBase};
    for (std::size_t i = 1; i < parts.size(); ++i) ApplyFormulaOption(formula, parts[i]);
    c.definition.formulas.push_back(formula);
  } else if (key == "field") {
    CaseField field;
    field.definition.field = parts[0];
    for (std::size_t i = 1; i < parts.size(); ++i) ApplyFieldOption(field, parts[i]);
    c.fields.push_back(field);
  } else {
    throw std::runtime_error("unknown key: " + key);
  }
}

inline StatementCase LoadCase(const std::filesystem::path& path) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  StatementCase c;
  c.name = path.stem().string();
  std::string section;
  std::map<std::string, std::vector<std::string>> blocks;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("== ", 0) == 0) {
      section = Trim(line.substr(3));
      blocks[section];
    } else if (!section.empty()) {
      if (!Trim(line).empty()) blocks[section].push_back(line);
    } else if (!Trim(line).empty() && Trim(line)[0] != '#') {
      ParseDefinitionLine(c, Trim(line));
    }
  }
  for (auto& [key, lines] : blocks) {
    if (key == "rows") {
      c.hasRows = true;
      for (const auto& row : lines) c.rows.push_back(Trim(row));
    } else if (key == "sqlite rows") {
      for (const auto& row : lines) c.sqliteRows.push_back(Trim(row));
    } else {
      c.expected[key] = ExpandLayout(lines);
    }
  }
  return c;
}

inline std::vector<std::filesystem::path> CaseFiles() {
  std::vector<std::filesystem::path> files;
  for (const auto& entry : std::filesystem::directory_iterator(StatementsDir())) {
    if (entry.path().extension() == ".case") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline std::shared_ptr<db::SqliteConnection> CaseDatabase(const StatementCase& c, const std::string& provider) {
  if (c.schemaFile.empty()) return MakeStandardDatabase(provider);
  return MakeDatabase(ReadFile(StatementsDir() + "/" + c.schemaFile), provider);
}

// The report of a case: its definition applied as a host applies one, then the fields with the settings
// in the case's order.
inline std::shared_ptr<Exception> BuildReport(const StatementCase& c, const std::shared_ptr<db::Connection>& connection) {
  auto report = ReportFromDefinition(c.definition, connection);
  const auto fields = report->Fields();
  for (const CaseField& caseField : c.fields) {
    const FieldDefinition& definition = caseField.definition;
    fields->AddNew();
    const auto field = fields->Field();
    field->SetValue(definition.field);
    if (definition.name) field->SetName(*definition.name);
    if (definition.aggregate) field->SetAggragateFunction(*definition.aggregate);
    if (caseField.ordered) field->SetOrdered(true);
    if (definition.orderPos) field->SetOrderPos(*definition.orderPos);
    if (definition.direction) field->SetOrderDirection(*definition.direction);
    if (caseField.unorder) field->SetOrderPos(0);
  }
  return report;
}

inline const char* ProviderOf(const std::string& dialect) {
  if (dialect == "sqlite") return "SQLite";
  return dialect == "access" ? kAccessProvider : kSqlServerProvider;
}

}  // namespace talvane::test
