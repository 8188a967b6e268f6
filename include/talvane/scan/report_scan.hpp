#pragma once
// Scanning one report definition on an open connection (see scanner.hpp).
#include <cstdint>
#include <memory>
#include <string>

#include "talvane/fwd.hpp"
#include "talvane/scan/scan_result.hpp"

namespace talvane {

/// Reads the definition at `path`, applies it to a report on `connection`, runs the statement and collects
/// its rows; keeps at most `sample` of them. Never raises: a failure is the result's error.
ScanResult ScanReport(const std::string& path, const std::shared_ptr<db::Connection>& connection, int32_t sample);

}  // namespace talvane
