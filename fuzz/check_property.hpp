#pragma once
// The property of `talvane check` that needs no node: what check passes runs. The state a fuzz script left
// in a report is read back as a definition (main table and field, each formula's grouping, name and text,
// each field's reference, name, aggregate function, order position and direction), which is checked as
// `talvane check` checks it; when it passes, its SQLite statement must run to completion on the database.
#include <memory>

#include "talvane/fwd.hpp"

namespace talvane::db {
class Connection;
}

namespace talvane::fuzz {

// Aborts with the definition's statement and the database's message when a definition check passes does
// not run. `sqlite` is a connection with the SQLite provider to the schema the report was built on.
void RequireWhatCheckPassesRuns(Exception& report, const std::shared_ptr<db::Connection>& sqlite);

}  // namespace talvane::fuzz
