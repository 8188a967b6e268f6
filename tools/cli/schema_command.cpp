#include "schema_command.hpp"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "display_text.hpp"
#include "exit_code.hpp"
#include "talvane/db/connection.hpp"
#include "talvane/db/recordset.hpp"
#include "talvane/formula/formula.hpp"
#include "talvane/foundation/brackets.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane::cli {

namespace {

using Column = SchemaColumn;

// Closes a schema rowset on every way out.
class OpenRowset {
 public:
  explicit OpenRowset(std::shared_ptr<db::Recordset> rowset) : rowset_(std::move(rowset)) {}
  OpenRowset(const OpenRowset&) = delete;
  OpenRowset& operator=(const OpenRowset&) = delete;
  ~OpenRowset() {
    try {
      if (rowset_ && rowset_->State() == db::kAdStateOpen) rowset_->Close();
    } catch (...) {  // NOLINT(bugprone-empty-catch): closing a rowset already read cannot lose anything
    }
  }
  db::Recordset* operator->() const { return rowset_.get(); }
  const db::Recordset& operator*() const { return *rowset_; }

 private:
  std::shared_ptr<db::Recordset> rowset_;
};

// A column of the rowset that a backend may leave out; empty then.
std::string OptionalValue(const db::Recordset& rowset, std::string_view name) {
  try {
    return rowset.FieldValue(name);
  } catch (const Error&) {
    return {};
  }
}

std::vector<std::string> TableNames(db::Connection& connection) {
  std::vector<std::string> names;
  OpenRowset tables(connection.OpenSchema(db::kSchemaTables, {"", "", "", "TABLE"}));
  for (; !tables->Eof(); tables->MoveNext()) names.push_back(tables->FieldValue("TABLE_NAME"));
  return names;
}

const char* DataTypeName(ITEMDATATYPEENUM type) {
  switch (type) {
    case kIsString: return "string";
    case kIsNumeric: return "numeric";
    case kIsDate: return "date";
    case kIsTime: return "time";
    case kIsBoolean: return "boolean";
  }
  return "unknown";
}

// The data type a formula gives the column: a formula made of the column's reference alone probes it as
// every formula does, so the answer is the library's own.
std::string TakenAs(const std::string& table, const std::string& column,
                    const std::shared_ptr<db::Connection>& connection) {
  // A bracket inside a name would end the bracketed name early, and the first "." separates table and column.
  if (table.find_first_of("[].") != std::string::npos || column.find_first_of("[]") != std::string::npos) {
    return "(cannot be named in a formula)";
  }
  try {
    const std::shared_ptr<Formula> probe = Formula::Create();
    probe->TempConnection(connection);
    probe->SetValue(AddBrackets(table) + "." + AddBrackets(column));
    return DataTypeName(probe->DataType());
  } catch (const Error& e) {
    return "(not usable in a formula: " + Printable(e.Message()) + ")";
  }
}

std::vector<Column> TableColumns(const std::string& table, const std::shared_ptr<db::Connection>& connection) {
  std::vector<Column> columns;
  OpenRowset rowset(connection->OpenSchema(db::kSchemaColumns, {"", "", table, ""}));
  for (; !rowset->Eof(); rowset->MoveNext()) {
    Column column;
    column.name = rowset->FieldValue("COLUMN_NAME");
    column.declaredType = OptionalValue(*rowset, "TYPE_NAME");
    column.adoType = OptionalValue(*rowset, "DATA_TYPE");
    columns.push_back(std::move(column));
  }
  for (Column& column : columns) column.takenAs = TakenAs(table, column.name, connection);
  return columns;
}

std::size_t Width(const std::string& text) { return DisplayColumn(text, text.size()); }

// The text followed by blanks up to `width` screen columns.
std::string Padded(const std::string& text, std::size_t width) {
  return text + std::string(width - std::min(width, Width(text)), ' ');
}

void PrintTable(const std::string& table, const std::vector<Column>& columns, std::ostream& out) {
  std::vector<Column> rows = {{"column", "declared type", "ADO", "taken as"}};
  for (const Column& column : columns) {
    rows.push_back({Printable(column.name), column.declaredType.empty() ? "(none)" : Printable(column.declaredType),
                    Printable(column.adoType), column.takenAs});
  }
  std::size_t nameWidth = 0;
  std::size_t typeWidth = 0;
  for (const Column& row : rows) {
    nameWidth = std::max(nameWidth, Width(row.name));
    typeWidth = std::max(typeWidth, Width(row.declaredType));
  }
  out << Printable(AddBrackets(table, true)) << '\n';
  for (const Column& row : rows) {
    const std::string ado = std::string(3 - std::min<std::size_t>(3, row.adoType.size()), ' ') + row.adoType;
    out << "  " << Padded(row.name, nameWidth) << "  " << Padded(row.declaredType, typeWidth) << "  " << ado << "  "
        << row.takenAs << '\n';
  }
}

}  // namespace

std::vector<SchemaTable> ReadSchema(const std::shared_ptr<db::Connection>& connection) {
  std::vector<SchemaTable> tables;
  for (std::string& name : TableNames(*connection)) tables.push_back({std::move(name), {}});
  for (SchemaTable& table : tables) table.columns = TableColumns(table.name, connection);
  return tables;
}

int RunSchema(const DatabaseOptions& options, std::ostream& out) {
  // Read everything first, so that a failure part-way prints nothing.
  const std::vector<SchemaTable> tables = ReadSchema(OpenDatabase(options));
  for (std::size_t i = 0; i < tables.size(); ++i) {
    if (i > 0) out << '\n';
    PrintTable(tables[i].name, tables[i].columns, out);
  }
  if (tables.empty()) out << "(the database has no tables)\n";
  return kExitOk;
}

void ConfigureSchemaCommand(CLI::App& command, int& exitCode) {
  auto options = std::make_shared<DatabaseOptions>();
  AddDatabaseOptions(command, *options, false);
  command.callback([options, &exitCode] { exitCode = RunSchema(*options, std::cout); });
}

}  // namespace talvane::cli
