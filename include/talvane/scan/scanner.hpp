#pragma once
// Scanning many report definitions at once: each is read, applied to a report on the database, its
// statement run, and its exceptions collected; one report's failure is its own result and the scan goes on.
//
//   talvane::ScanOptions options;
//   options.connection = "Data Source=sample.db";
//   options.history = "history.db";
//   for (const talvane::ScanResult& r : talvane::Scan({"reports/"}, options)) use(r.path, r.status, r.rows);
#include <string>
#include <vector>

#include "talvane/scan/scan_options.hpp"
#include "talvane/scan/scan_result.hpp"

namespace talvane {

/// The definition files a scan reads from `paths`: a file as it is named, a folder as every "*.json" file
/// in it and its subfolders; sorted by path, each once.
std::vector<std::string> ScanPaths(const std::vector<std::string>& paths);

/// Runs every definition of ScanPaths(paths) and returns one result per file, in path order. With a history
/// file, the results are recorded in it in one transaction once every report has run (see scan_history.hpp),
/// and each result lists its new and cleared exceptions. Raises talvane::Error only when the history file
/// cannot be used; every other failure is a report's error.
std::vector<ScanResult> Scan(const std::vector<std::string>& paths, const ScanOptions& options);

}  // namespace talvane
