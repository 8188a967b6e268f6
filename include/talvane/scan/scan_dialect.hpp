#pragma once
// The dialect a scan builds its statements in, chosen in one place.
#include <string>

namespace talvane {

/// The connection string a scan opens: the user's, with the provider of the dialect its reports are built
/// in written in front (the first Provider key counts). Today that is SQLite, whose statements the SQLite
/// backend runs.
std::string ScanConnectionString(const std::string& connection);

}  // namespace talvane
