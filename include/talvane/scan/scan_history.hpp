#pragma once
// The history of scans: a SQLite file that keeps, for each scan, its time and, for each report, its status,
// row count and the identities of its exceptions. Its schema, for people who query it with sqlite3:
//
//   scans(scan INTEGER PRIMARY KEY, finished TEXT)          -- finished: UTC, "YYYY-MM-DD HH:MM:SS"
//   reports(scan INTEGER, path TEXT, status TEXT, rows INTEGER, PRIMARY KEY (scan, path))
//   exceptions(scan INTEGER, path TEXT, identity TEXT)      -- one row per exception of a report that ran
//
// A report's previous scan is the latest one in which it did not fail (status "clean" or "exceptions").
// Recording a scan is one transaction, begun IMMEDIATE with a busy timeout: a scan that is interrupted or
// fails leaves the file as it was, and two scans that record at once both land, one after the other.
#include <string>
#include <vector>

#include "talvane/scan/scan_result.hpp"

struct sqlite3;

namespace talvane {

/// A history file, opened (and created with its tables) for the time of one scan.
class ScanHistory {
 public:
  /// Opens or creates the file; raises talvane::Error 0x80004005 when it cannot be used.
  explicit ScanHistory(const std::string& file);
  ~ScanHistory();
  ScanHistory(const ScanHistory&) = delete;
  ScanHistory& operator=(const ScanHistory&) = delete;

  /// Compares each result that ran with its report's previous scan (filling newKeys, cleared and trend),
  /// then records the scan; all in one transaction.
  void Record(std::vector<ScanResult>& results);

 private:
  void Execute(const char* sql);
  void Compare(ScanResult& result);
  void Store(const std::vector<ScanResult>& results);

  sqlite3* db_ = nullptr;
};

}  // namespace talvane
