#pragma once
// The fixed schema the fuzz targets run against: a few small tables built in memory from SQL text,
// once per process, for each of the three dialects (the provider in the connection string picks it).
#include <memory>

#include "talvane/db/sqlite_connection.hpp"

namespace talvane::fuzz {

// The same schema behind an SQL Server, an Access and a SQLite connection string.
const std::shared_ptr<db::SqliteConnection>& SqlServerDatabase();
const std::shared_ptr<db::SqliteConnection>& AccessDatabase();
const std::shared_ptr<db::SqliteConnection>& SqliteDatabase();

}  // namespace talvane::fuzz
