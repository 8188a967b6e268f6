#include "odbc_test_support.hpp"

#include "talvane/db/schema_cache.hpp"

namespace talvane::test {

std::string DriverString(const std::string& driverLibrary, const std::string& rest) {
  return "Driver=" + driverLibrary + ";" + rest;
}

std::map<std::string, int32_t> ProbedTypes(db::Connection& connection, const std::string& table) {
  std::map<std::string, int32_t> types;
  for (const db::QueriedColumn& column : connection.Schema().QueryColumns(table)) types[column.name] = column.adoType;
  return types;
}

std::map<std::string, int32_t> ListedTypes(db::Connection& connection, const std::string& table) {
  std::map<std::string, int32_t> types;
  const auto rowset = connection.OpenSchema(db::kSchemaColumns, {"", "", table, ""});
  for (; !rowset->Eof(); rowset->MoveNext()) {
    types[rowset->FieldValue("COLUMN_NAME")] = std::stoi(rowset->FieldValue("DATA_TYPE"));
  }
  rowset->Close();
  return types;
}

}  // namespace talvane::test
