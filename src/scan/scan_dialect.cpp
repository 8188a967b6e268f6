#include "talvane/scan/scan_dialect.hpp"

namespace talvane {

std::string ScanConnectionString(const std::string& connection) { return "Provider=SQLite;" + connection; }

}  // namespace talvane
