#pragma once
// How a scan (scanner.hpp) runs: the database, the sample size, the workers and the history file.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "talvane/fwd.hpp"

namespace talvane {

/// The settings of a scan.
struct ScanOptions {
  /// The ADO-style connection string of the database every report runs on.
  std::string connection;
  /// Rows kept as each report's sample.
  int32_t sample = 20;
  /// Reports run at once, each worker on a connection of its own (at least 1).
  int32_t jobs = 1;
  /// The history file (SQLite); empty for none.
  std::string history;
  /// Opens a connection from the string the scan passes: `connection` to learn the database's product, then
  /// `connection` with the provider of that product's dialect written in front. The default opens the SQLite
  /// backend read-only.
  std::function<std::shared_ptr<db::Connection>(const std::string& connectionString)> open;
  /// Called after each report, with the reports done and their total; from the worker that ran it, one
  /// call at a time.
  std::function<void(std::size_t done, std::size_t total)> progress;
};

}  // namespace talvane
