#pragma once
// `talvane schema --connection "..."`: lists the tables and columns of a database with the data type a
// formula takes each column as.
#include <iosfwd>

#include "database_options.hpp"

namespace CLI {
class App;
}

namespace talvane::cli {

void ConfigureSchemaCommand(CLI::App& command, int& exitCode);

// Prints every table and its columns to `out`. Input that cannot be used raises InputError.
int RunSchema(const DatabaseOptions& options, std::ostream& out);

}  // namespace talvane::cli
