#pragma once
// What a scan found for one report (scanner.hpp): its status, its rows and, with a history, what changed.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace talvane {

/// How a report ended in a scan.
enum class ScanStatus : int32_t {
  kClean = 0,       ///< the statement ran and gave no row
  kExceptions = 1,  ///< the statement ran and gave rows: the records that break the report's rules
  kError = 2,       ///< the definition could not be read or applied, or the statement failed
};

/// The status as it is written: "clean", "exceptions" or "error".
const char* ScanStatusName(ScanStatus status);

/// The first failure of a report: a talvane::Error's number, source and description, and where it arose.
struct ScanError {
  int32_t number = 0;       ///< the error number
  std::string source;       ///< the raising member, e.g. "Exception: Section.Add"
  std::string description;  ///< the message (the source is not repeated in it)
  /// What failed: "definition", "connection", "main table", "main field", "formula N", "field N" or "statement".
  std::string item;
  /// The offset in the failing formula's text where the failing item starts; -1 when the failure has none.
  int32_t position = -1;
};

/// One report of a scan.
struct ScanResult {
  std::string path;         ///< the definition file, as the scan found it
  std::string description;  ///< the definition's description (empty when it could not be read)
  ScanStatus status = ScanStatus::kError;  ///< clean, exceptions or error
  int64_t rows = 0;              ///< the rows the statement gave
  std::string statement;         ///< the statement that ran (empty when none was built)
  std::vector<std::string> columns;  ///< the statement's column names
  /// The first rows (at most the scan's sample size), each value as text; none for NULL.
  std::vector<std::vector<std::optional<std::string>>> sample;
  /// The identity of every exception, in the order of the rows: the value of the main field when a column
  /// carries it (a column named as the main field), else the whole row, its values joined by " | ".
  std::vector<std::string> keys;
  /// With a history: the identities not found in the report's previous scan (all of them on its first).
  std::vector<std::string> newKeys;
  /// With a history: the identities of the previous scan that are gone.
  std::vector<std::string> cleared;
  /// With a history: the row counts of the report's past scans that ran, oldest first, this one last.
  std::vector<int64_t> trend;
  double seconds = 0;            ///< the time the report took
  std::optional<ScanError> error;  ///< set when status is kError
};

}  // namespace talvane
