#pragma once
// What the ODBC driver suites share: opening a connection through a driver library and reading probes.
#include <map>
#include <memory>
#include <string>

#include "talvane/db/odbc_connection.hpp"

namespace talvane::test {

// "Driver=<library>;" followed by `rest`.
std::string DriverString(const std::string& driverLibrary, const std::string& rest);

// The columns the library's probe finds in a table, with their ADO types.
std::map<std::string, int32_t> ProbedTypes(db::Connection& connection, const std::string& table);

// The ADO types the columns schema gives the table's columns (its DATA_TYPE column).
std::map<std::string, int32_t> ListedTypes(db::Connection& connection, const std::string& table);

}  // namespace talvane::test
