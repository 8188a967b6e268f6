// The C++ side of bench/python_build_bench.py: writes the database and the 1,000-formula report of the bench
// mix (report_mix.hpp) as a definition, then times building that definition formula by formula as the Python
// package does it (AddNew, grouping, name, text; then the fields), each member call on its own, and as
// ReportFromDefinition does it, in one schema scope.
//
//   talvane_bench_python_build_bench <database file> <definition file> [formulas] [rounds]
//
// Prints "cpp_per_formula_us <separate calls> <one scope>" on the last line.
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "report_mix.hpp"
#include "talvane/definition/apply_definition.hpp"
#include "talvane/definition/definition_writer.hpp"

namespace {

using namespace talvane;
using Clock = std::chrono::steady_clock;

void WriteDatabase(const std::string& path) {
  std::remove(path.c_str());
  sqlite3* handle = nullptr;
  sqlite3_open(path.c_str(), &handle);
  bench::Exec(handle, bench::SchemaSql());
  sqlite3_close(handle);
}

std::shared_ptr<Exception> BuildCallByCall(const Definition& definition,
                                           const std::shared_ptr<db::Connection>& connection) {
  auto report = Exception::Create();
  report->SetConnection(connection);
  report->SetMainTable(definition.mainTable);
  report->SetMainField(definition.mainField);
  const auto formulas = report->Formulae();
  for (const FormulaDefinition& entry : definition.formulas) {
    formulas->AddNew();
    const auto formula = formulas->Formula();
    formula->SetGrouping(entry.grouping);
    if (entry.name) formula->SetName(*entry.name);
    std::string text = entry.text;
    formula->SetValue(text);
  }
  const auto fields = report->Fields();
  for (const FieldDefinition& entry : definition.fields) {
    fields->AddNew();
    const auto field = fields->Field();
    field->SetValue(entry.field);
    if (entry.name) field->SetName(*entry.name);
    if (entry.orderPos) field->SetOrderPos(*entry.orderPos);
  }
  return report;
}

template <typename Build>
double MedianMicrosecondsPerFormula(int rounds, std::size_t formulas, Build build) {
  std::vector<double> times;
  for (int round = 0; round < rounds; ++round) {
    const auto start = Clock::now();
    auto report = build();
    times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count() /
                    static_cast<double>(formulas));
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s <database file> <definition file> [formulas] [rounds]\n", argv[0]);
    return 2;
  }
  const int formulas = argc > 3 ? std::stoi(argv[3]) : 1000;
  const int rounds = argc > 4 ? std::stoi(argv[4]) : 15;
  WriteDatabase(argv[1]);
  const auto connection =
      db::SqliteConnection::Create(std::string("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + argv[1]);
  const Definition definition = DefinitionOf(*ReportFromDefinition(bench::MakeReportDefinition(formulas), connection));
  std::ofstream(argv[2]) << DefinitionJson(definition);
  const double separate = MedianMicrosecondsPerFormula(rounds, definition.formulas.size(),
                                                       [&] { return BuildCallByCall(definition, connection); });
  const double scoped = MedianMicrosecondsPerFormula(rounds, definition.formulas.size(),
                                                     [&] { return ReportFromDefinition(definition, connection); });
  std::printf("cpp_per_formula_us %.3f %.3f\n", separate, scoped);
  return 0;
}
