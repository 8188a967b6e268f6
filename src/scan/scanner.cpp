#include "talvane/scan/scanner.hpp"

#include <algorithm>
#include <atomic>
#include <exception>
#include <filesystem>
#include <mutex>
#include <optional>
#include <thread>

#include "talvane/db/recordset.hpp"
#include "talvane/db/sqlite_connection.hpp"
#include "talvane/foundation/error.hpp"
#include "talvane/report/dialects.hpp"
#include "talvane/scan/report_scan.hpp"
#include "talvane/scan/scan_history.hpp"

namespace talvane {

namespace {

namespace fs = std::filesystem;

void AddFolder(const fs::path& folder, std::vector<std::string>& found) {
  std::error_code error;
  for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    if (it->path().extension() == ".json" && it->is_regular_file(error)) found.push_back(it->path().string());
  }
}

std::shared_ptr<db::Connection> OpenReadOnly(const std::string& connectionString) {
  return db::SqliteConnection::Create("Mode=Read;" + connectionString);
}

// The result of every report a worker could not run because its connection did not open.
ScanResult ConnectionFailure(const std::string& path, const ScanError& error) {
  ScanResult result;
  result.path = path;
  result.error = error;
  return result;
}

// Runs the reports on `jobs` workers, each with a connection of its own; each worker takes the next report
// not yet taken, and writes its result in the report's place.
class ScanWorkers {
 public:
  ScanWorkers(const std::vector<std::string>& files, const ScanOptions& options)
      : files_(files), options_(options), results_(files.size()) {}

  std::vector<ScanResult> Run() {
    const std::size_t jobs = std::clamp<std::size_t>(static_cast<std::size_t>(std::max(options_.jobs, 1)), 1,
                                                     std::max<std::size_t>(files_.size(), 1));
    std::vector<std::thread> workers;
    for (std::size_t i = 1; i < jobs; ++i) workers.emplace_back([this] { Work(); });
    Work();
    for (std::thread& worker : workers) worker.join();
    return std::move(results_);
  }

 private:
  void Work() {
    std::shared_ptr<db::Connection> connection;
    std::optional<ScanError> openError;
    for (std::size_t i = next_++; i < files_.size(); i = next_++) {
      if (!connection && !openError) openError = Open(connection);
      results_[i] = openError ? ConnectionFailure(files_[i], *openError)
                              : ScanReport(files_[i], connection, options_.sample);
      Report();
    }
  }

  // Opens the database once to learn its product, then again with the provider of the product's dialect
  // written in front (the first Provider key counts), so that every report is built in that dialect.
  std::optional<ScanError> Open(std::shared_ptr<db::Connection>& connection) const {
    const auto open = [this](const std::string& connectionString) {
      return options_.open ? options_.open(connectionString) : OpenReadOnly(connectionString);
    };
    try {
      const DATABASETYPEENU dialect = DialectOfDatabase(*open(options_.connection));
      connection = open("Provider=" + std::string(ProviderOfDialect(dialect)) + ";" + options_.connection);
      return std::nullopt;
    } catch (const Error& e) {
      return ScanError{e.Number(), e.Source(), e.Message(), "connection", -1};
    } catch (const std::exception& e) {
      return ScanError{db::kErrUnspecified, "talvane", e.what(), "connection", -1};
    }
  }

  void Report() {
    const std::lock_guard<std::mutex> lock(progressMutex_);
    ++done_;
    if (options_.progress) options_.progress(done_, files_.size());
  }

  const std::vector<std::string>& files_;
  const ScanOptions& options_;
  std::vector<ScanResult> results_;
  std::atomic<std::size_t> next_{0};
  std::mutex progressMutex_;
  std::size_t done_ = 0;
};

}  // namespace

std::vector<std::string> ScanPaths(const std::vector<std::string>& paths) {
  std::vector<std::string> found;
  for (const std::string& path : paths) {
    std::error_code error;
    if (fs::is_directory(path, error)) {
      AddFolder(path, found);
    } else {
      found.push_back(path);  // a missing file is the report's error, as any definition that cannot be read
    }
  }
  std::sort(found.begin(), found.end());
  found.erase(std::unique(found.begin(), found.end()), found.end());
  return found;
}

std::vector<ScanResult> Scan(const std::vector<std::string>& paths, const ScanOptions& options) {
  // The history file is opened first: a file that cannot be used stops the scan before any report runs.
  std::optional<ScanHistory> history;
  if (!options.history.empty()) history.emplace(options.history);
  std::vector<ScanResult> results = ScanWorkers(ScanPaths(paths), options).Run();
  if (history) history->Record(results);
  return results;
}

}  // namespace talvane
