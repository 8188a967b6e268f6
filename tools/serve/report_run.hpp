#pragma once
// Running a definition's statement for the page: the first rows, as JSON.
#include <cstdint>
#include <memory>
#include <nlohmann/json.hpp>

namespace talvane {
struct Definition;
namespace db {
class Connection;
}
}  // namespace talvane

namespace talvane::cli {

// Builds the statement in the dialect of `connection` (which should be SQLite's) and reads at most `maxRows`
// rows of it:
//   {"statement": "...", "columns": ["Region", ...], "rows": [["North", 12, 3.5, null], ...],
//    "rowCount": 2, "complete": true}
// Integers and reals are numbers (as the backend reads the column's type), text is a string, a blob a
// string of hexadecimal digits, NULL is null; "complete" is false when
// more rows were left unread. A definition that fails gives {"failures": [...]}, a statement the database
// refuses {"statement": "...", "error": {"number": ..., "message": ...}}.
nlohmann::json RunReport(const Definition& definition, const std::shared_ptr<db::Connection>& connection,
                         int64_t maxRows);

}  // namespace talvane::cli
