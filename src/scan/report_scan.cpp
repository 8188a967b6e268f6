#include "talvane/scan/report_scan.hpp"

#include <chrono>
#include <exception>

#include "talvane/db/recordset.hpp"
#include "talvane/definition/definition_error.hpp"
#include "talvane/definition/definition_reader.hpp"
#include "talvane/definition/report_builder.hpp"
#include "talvane/foundation/brackets.hpp"
#include "talvane/foundation/clean_text.hpp"
#include "talvane/foundation/error.hpp"
#include "talvane/report/exception.hpp"
#include "talvane/report/report_rows.hpp"

namespace talvane {

namespace {

constexpr const char* kRowSeparator = " | ";

ScanError ErrorOf(const Error& e, std::string item, int32_t position = -1) {
  return ScanError{e.Number(), e.Source(), e.Message(), std::move(item), position};
}

// The first failure of the check, as the scan reports it: a library refusal with its number and source, the
// check's own findings as 0x80004005 from "talvane".
ScanError ErrorOf(const CheckFailure& failure) {
  return ScanError{failure.errorNumber.value_or(db::kErrUnspecified), failure.source.empty() ? "talvane" : failure.source,
                   failure.message, SubjectLabel(failure.subject, failure.index),
                   failure.position ? static_cast<int32_t>(*failure.position) : -1};
}

// The column that carries the main field, or -1: the one named as the main field, without brackets.
int32_t KeyColumn(const ReportRows& rows, const std::string& mainField) {
  const std::string wanted = UpperAscii(StripBrackets(mainField));
  for (int32_t c = 0; c < rows.ColumnCount(); ++c) {
    if (UpperAscii(rows.ColumnName(c)) == wanted) return c;
  }
  return -1;
}

std::string WholeRow(const ReportRows& rows) {
  std::string identity;
  for (int32_t c = 0; c < rows.ColumnCount(); ++c) {
    if (c > 0) identity += kRowSeparator;
    identity += rows.Text(c);
  }
  return identity;
}

std::vector<std::optional<std::string>> SampleRow(const ReportRows& rows) {
  std::vector<std::optional<std::string>> row;
  for (int32_t c = 0; c < rows.ColumnCount(); ++c) {
    if (rows.Kind(c) == db::ValueKind::kNull) {
      row.emplace_back();
    } else {
      row.emplace_back(std::string(rows.Text(c)));
    }
  }
  return row;
}

class ReportScan {
 public:
  ReportScan(const std::string& path, const std::shared_ptr<db::Connection>& connection, int32_t sample)
      : connection_(connection), sample_(sample) {
    result_.path = path;
  }

  ScanResult Run() {
    const auto start = std::chrono::steady_clock::now();
    try {
      const Definition definition = LoadDefinition(result_.path);
      result_.description = definition.description;
      if (Build(definition)) Collect();
    } catch (const DefinitionError& e) {
      Fail(ScanError{db::kErrUnspecified, "talvane", e.what(), "definition", -1});
    } catch (const Error& e) {
      Fail(ErrorOf(e, "statement"));
    } catch (const std::exception& e) {
      Fail(ScanError{db::kErrUnspecified, "talvane", e.what(), "statement", -1});
    }
    result_.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return std::move(result_);
  }

 private:
  // Applies and checks the definition as `talvane check` does; the first failure is the report's error.
  bool Build(const Definition& definition) {
    BuiltReport built = BuildReport(definition, connection_);
    report_ = std::move(built.report);
    if (!built.failures.empty()) {
      Fail(ErrorOf(built.failures.front()));
      return false;
    }
    result_.statement = std::move(*built.statement);
    return true;
  }

  // Runs the statement and reads every row: each gives an identity, the first ones the sample.
  void Collect() {
    ReportRows rows(connection_, result_.statement);
    for (int32_t c = 0; c < rows.ColumnCount(); ++c) result_.columns.push_back(rows.ColumnName(c));
    const int32_t keyColumn = KeyColumn(rows, report_->MainField());
    while (rows.Next()) {
      result_.keys.push_back(keyColumn >= 0 ? std::string(rows.Text(keyColumn)) : WholeRow(rows));
      if (rows.RowCount() <= sample_) result_.sample.push_back(SampleRow(rows));
    }
    result_.rows = rows.RowCount();
    result_.status = result_.rows > 0 ? ScanStatus::kExceptions : ScanStatus::kClean;
  }

  void Fail(ScanError error) {
    result_.status = ScanStatus::kError;
    result_.rows = 0;
    result_.keys.clear();
    result_.sample.clear();
    result_.error = std::move(error);
  }

  std::shared_ptr<db::Connection> connection_;
  int32_t sample_;
  std::shared_ptr<Exception> report_;
  ScanResult result_;
};

}  // namespace

ScanResult ScanReport(const std::string& path, const std::shared_ptr<db::Connection>& connection, int32_t sample) {
  return ReportScan(path, connection, sample).Run();
}

}  // namespace talvane
