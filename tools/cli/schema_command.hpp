#pragma once
// `talvane schema --connection "..."`: lists the tables and columns of a database with the data type a
// formula takes each column as.
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "database_options.hpp"

namespace CLI {
class App;
}

namespace talvane::db {
class Connection;
}

namespace talvane::cli {

struct SchemaColumn {
  std::string name;
  std::string declaredType;
  std::string adoType;
  // The data type a formula takes the column as, or why a formula cannot use it.
  std::string takenAs;
};

struct SchemaTable {
  std::string name;
  std::vector<SchemaColumn> columns;
};

// Every table of the database with its columns, read whole before anything is returned.
std::vector<SchemaTable> ReadSchema(const std::shared_ptr<db::Connection>& connection);

void ConfigureSchemaCommand(CLI::App& command, int& exitCode);

// Prints every table and its columns to `out`. Input that cannot be used raises InputError.
int RunSchema(const DatabaseOptions& options, std::ostream& out);

}  // namespace talvane::cli
