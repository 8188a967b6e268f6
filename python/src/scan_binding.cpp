#include "bindings.hpp"
#include "talvane/scan/scanner.hpp"

namespace py = pybind11;
using namespace pybind11::literals;

namespace talvane::python {

namespace {

constexpr const char* kScanDoc =
    "Runs every definition of the paths (files, and folders of *.json files) on the database of the "
    "connection string, each in the SQLite dialect, and returns one ScanResult per file in path order. jobs "
    "reports run at once, each on a connection of its own (the GIL is released meanwhile); history names a "
    "SQLite file that keeps each scan and gives every result its new and cleared exceptions. A report that "
    "fails is a result with status \"error\"; only a history file that cannot be used raises talvane.Error.";

std::vector<ScanResult> RunScan(const std::vector<std::string>& paths, const std::string& connection,
                                const std::string& history, int32_t jobs, int32_t sample) {
  ScanOptions options;
  options.connection = connection;
  options.history = history;
  options.jobs = jobs;
  options.sample = sample;
  const py::gil_scoped_release release;
  return Scan(paths, options);
}

std::string StatusOf(const ScanResult& result) { return ScanStatusName(result.status); }

std::optional<int32_t> PositionOf(const ScanError& error) {
  return error.position >= 0 ? std::optional<int32_t>(error.position) : std::nullopt;
}

}  // namespace

void BindScan(py::module_& module) {
  py::class_<ScanError>(module, "ScanError", "The first failure of a report in a scan.")
      .def_readonly("number", &ScanError::number, "The error number.")
      .def_readonly("source", &ScanError::source, "The member that raised it.")
      .def_readonly("description", &ScanError::description, "The message.")
      .def_readonly("item", &ScanError::item,
                    "What failed: definition, connection, main table, main field, formula N, field N or statement.")
      .def_property_readonly("position", &PositionOf, "The position in the failing formula's text, or None.")
      .def("__repr__", [](const ScanError& e) { return "<talvane.ScanError " + e.item + ": " + e.description + ">"; });
  py::class_<ScanResult>(module, "ScanResult", "What a scan found for one report.")
      .def_readonly("path", &ScanResult::path, "The definition file.")
      .def_readonly("description", &ScanResult::description, "The definition's description.")
      .def_property_readonly("status", &StatusOf, "\"clean\", \"exceptions\" or \"error\".")
      .def_readonly("rows", &ScanResult::rows, "The rows the statement gave.")
      .def_readonly("statement", &ScanResult::statement, "The statement that ran.")
      .def_readonly("columns", &ScanResult::columns, "The statement's column names.")
      .def_readonly("sample", &ScanResult::sample, "The first rows, each value a str or None.")
      .def_readonly("keys", &ScanResult::keys, "The identity of every exception.")
      .def_readonly("new", &ScanResult::newKeys, "With a history: the identities new since the previous scan.")
      .def_readonly("cleared", &ScanResult::cleared, "With a history: the identities gone since the previous scan.")
      .def_readonly("trend", &ScanResult::trend, "With a history: the row counts of the past scans, this one last.")
      .def_readonly("seconds", &ScanResult::seconds, "The time the report took.")
      .def_readonly("error", &ScanResult::error, "None, or the ScanError of a report that failed.")
      .def("__repr__", [](const ScanResult& r) {
        return "<talvane.ScanResult " + r.path + ": " + ScanStatusName(r.status) + ", " + std::to_string(r.rows) +
               " rows>";
      });
  module.def("_scan", &RunScan, "paths"_a, "connection"_a, "history"_a, "jobs"_a, "sample"_a, kScanDoc);
}

}  // namespace talvane::python
