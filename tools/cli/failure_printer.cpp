#include "failure_printer.hpp"

#include <ostream>
#include <string>

#include "display_text.hpp"

namespace talvane::cli {

namespace {

std::string SubjectLabel(const Failure& failure) {
  switch (failure.subject) {
    case Failure::Subject::kMainTable: return "main table";
    case Failure::Subject::kMainField: return "main field";
    case Failure::Subject::kFormula: return "formula " + std::to_string(failure.index);
    case Failure::Subject::kField: return "field " + std::to_string(failure.index);
    case Failure::Subject::kStatement: return "statement";
  }
  return "definition";
}

std::string ErrorLine(const Failure& failure) {
  std::string line = "  ";
  if (failure.errorNumber) {
    line += "error " + ErrorNumberText(*failure.errorNumber);
    if (!failure.source.empty()) line += " (" + Printable(failure.source) + ")";
    line += ": ";
  }
  line += failure.message.empty() ? "(no message)" : Printable(failure.message);
  return line;
}

}  // namespace

void PrintFailure(const Failure& failure, std::ostream& out) {
  const std::string prefix = SubjectLabel(failure) + ": ";
  out << prefix << OnOneLine(failure.text);
  if (!failure.setting.empty()) out << "  (" << failure.setting << " " << Quoted(failure.settingValue) << ")";
  out << '\n';
  if (failure.position) {
    const std::size_t column = DisplayColumn(failure.text, *failure.position);
    out << std::string(prefix.size() + column, ' ') << "^\n";
  }
  out << ErrorLine(failure) << '\n';
}

void PrintFailures(const std::vector<Failure>& failures, std::ostream& out) {
  for (std::size_t i = 0; i < failures.size(); ++i) {
    if (i > 0) out << '\n';
    PrintFailure(failures[i], out);
  }
}

void PrintNoStatement(const std::vector<Failure>& failures, const std::string& source, std::ostream& err) {
  PrintFailures(failures, err);
  err << '\n';
  err << "talvane: no statement: " << failures.size() << (failures.size() == 1 ? " failure" : " failures") << " in "
      << source << '\n';
}

}  // namespace talvane::cli
