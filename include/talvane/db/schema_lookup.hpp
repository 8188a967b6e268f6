#pragma once
// Schema look-ups through the host's connection, and the preparation of probe recordsets.
#include <memory>
#include <string>
#include <string_view>

#include "talvane/db/connection.hpp"

namespace talvane {

/// Sets server-side, forward-only, read-only cursors; failures of each setting are ignored.
void PrepareProbeRecordset(db::Recordset& recordset);

/// The table's columns, bracketed and joined with ", "; empty when no such table.
std::string TableColumns(std::string_view table, const std::shared_ptr<db::Connection>& connection);
bool TableHasColumn(std::string_view table, std::string_view column,
                    const std::shared_ptr<db::Connection>& connection);

}  // namespace talvane
