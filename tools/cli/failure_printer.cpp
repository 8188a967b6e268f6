#include "failure_printer.hpp"

#include <optional>
#include <ostream>
#include <string>

#include "display_text.hpp"

namespace talvane::cli {

namespace {

// The subject and its text on one line, the setting concerned after it, and a caret under the item at
// `position` on the next line.
void PrintSubject(CheckFailure::Subject subject, std::size_t index, const std::string& text, const std::string& setting,
                  const std::string& settingValue, std::optional<std::size_t> position, std::ostream& out) {
  const std::string prefix = SubjectLabel(subject, index) + ": ";
  out << prefix << OnOneLine(text);
  if (!setting.empty()) out << "  (" << setting << " " << Quoted(settingValue) << ")";
  out << '\n';
  if (position) out << std::string(prefix.size() + DisplayColumn(text, *position), ' ') << "^\n";
}

// Blocks separated by blank lines.
template <typename T>
void PrintBlocks(const std::vector<T>& blocks, std::ostream& out, void (*print)(const T&, std::ostream&)) {
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    if (i > 0) out << '\n';
    print(blocks[i], out);
  }
}

std::string ErrorLine(const CheckFailure& failure) {
  std::string line = "  ";
  if (failure.errorNumber) {
    line += "error " + ErrorNumberText(*failure.errorNumber);
    if (!failure.source.empty()) line += " (" + Printable(failure.source) + ")";
    line += ": ";
  }
  line += failure.message.empty() ? "(no message)" : MessageLines(failure.message, "    ");
  return line;
}

}  // namespace

void PrintFailure(const CheckFailure& failure, std::ostream& out) {
  PrintSubject(failure.subject, failure.index, failure.text, failure.setting, failure.settingValue, failure.position,
               out);
  out << ErrorLine(failure) << '\n';
}

void PrintFailures(const std::vector<CheckFailure>& failures, std::ostream& out) {
  PrintBlocks(failures, out, &PrintFailure);
}

void PrintWarning(const CheckWarning& warning, std::ostream& out) {
  PrintSubject(warning.subject, warning.index, warning.text, {}, {}, warning.position, out);
  out << "  warning: " << Printable(warning.message) << '\n';
}

void PrintWarnings(const std::vector<CheckWarning>& warnings, std::ostream& out) {
  PrintBlocks(warnings, out, &PrintWarning);
}

void PrintNoStatement(const std::vector<CheckFailure>& failures, const std::string& source, std::ostream& err) {
  PrintFailures(failures, err);
  err << '\n';
  err << "talvane: no statement: " << failures.size() << (failures.size() == 1 ? " failure" : " failures") << " in "
      << source << '\n';
}

}  // namespace talvane::cli
