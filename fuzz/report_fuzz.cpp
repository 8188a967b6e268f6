// A whole report definition decoded from the input, then its statement in both dialects.
//
// The input is a script, one command a line: a command letter, then (after one blank) its argument, where
// \n \r \t \0 \\ and \xHH stand for those bytes. Field commands act on the current field, formula commands
// on the current formula:
//   t main table        k main field        P a|s  connection with the Access or SQL Server provider
//   f new field         v Field             o FieldOnly      n Name        a AggragateFunction
//   p OrderPos          d OrderDirection    O Ordered=true   U Ordered=false  T Total   r n  remove field n
//   F new formula       x Value             m Name           g 0|1|2 Grouping          R n  remove formula n
//   C Clear             S read the statement now
// Checks: only talvane::Error comes out; every statement is safe (statement_check.hpp) and reads the same
// twice; the set members answer for every set; when the report's state, read back as a definition, passes
// `talvane check`, its SQLite statement runs to completion (check_property.hpp).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "check_property.hpp"
#include "fuzz_database.hpp"
#include "statement_check.hpp"
#include "talvane/formula/formula.hpp"
#include "talvane/foundation/error.hpp"
#include "talvane/foundation/string_list.hpp"
#include "talvane/report/exception.hpp"
#include "talvane/report/field.hpp"
#include "talvane/report/field_list.hpp"
#include "talvane/report/formula_list.hpp"

namespace {

using talvane::Error;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string Unescape(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 >= text.size()) {
      out += text[i];
      continue;
    }
    const char next = text[++i];
    switch (next) {
      case 'n': out += '\n'; break;
      case 'r': out += '\r'; break;
      case 't': out += '\t'; break;
      case '0': out += '\0'; break;
      case 'x':
        if (i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
          out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
          i += 2;
        } else {
          out += 'x';
        }
        break;
      default: out += next; break;
    }
  }
  return out;
}

int32_t Number(const std::string& text) {
  const long long value = std::strtoll(text.c_str(), nullptr, 10);
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

template <typename Fn>
void Try(Fn&& fn) {
  try {
    fn();
  } catch (const Error&) {
  }
}

std::string Statement(talvane::Exception& report, const char* what) {
  std::string first;
  std::string second;
  try {
    first = report.SQL();
  } catch (const Error&) {
    return {};
  }
  talvane::fuzz::RequireSafeStatement(first, what);
  second = report.SQL();  // the first read succeeded: nothing has changed since, so this one must too
  if (first != second) {
    std::fprintf(stderr, "the statement changed between two reads\n----\n%s\n----\n%s\n", first.c_str(),
                 second.c_str());
    std::abort();
  }
  return first;
}

class Script {
 public:
  Script() : report_(talvane::Exception::Create()) { report_->SetConnection(talvane::fuzz::SqlServerDatabase()); }

  void Run(char command, const std::string& argument) {
    auto& r = *report_;
    switch (command) {
      case 't': Try([&] { r.SetMainTable(argument); }); break;
      case 'k': Try([&] { r.SetMainField(argument); }); break;
      case 'P':
        r.SetConnection(argument == "a" ? talvane::fuzz::AccessDatabase() : talvane::fuzz::SqlServerDatabase());
        break;
      case 'f': Try([&] { r.Fields()->AddNew(); }); break;
      case 'v': OnField([&](talvane::Field& f) { f.SetValue(argument); }); break;
      case 'o': OnField([&](talvane::Field& f) { f.SetFieldOnly(argument); }); break;
      case 'n': OnField([&](talvane::Field& f) { f.SetName(argument); }); break;
      case 'a': OnField([&](talvane::Field& f) { f.SetAggragateFunction(argument); }); break;
      case 'p': OnField([&](talvane::Field& f) { f.SetOrderPos(Number(argument)); }); break;
      case 'd': OnField([&](talvane::Field& f) { f.SetOrderDirection(argument); }); break;
      case 'O': OnField([&](talvane::Field& f) { f.SetOrdered(true); }); break;
      case 'U': OnField([&](talvane::Field& f) { f.SetOrdered(false); }); break;
      case 'T': OnField([&](talvane::Field& f) { f.SetTotal(!f.Total()); }); break;
      case 'r': Try([&] { r.Fields()->Remove(Number(argument)); }); break;
      case 'F': Try([&] { r.Formulae()->AddNew(); }); break;
      case 'x': OnFormula([&](talvane::Formula& f) { f.SetValue(std::string_view(argument)); }); break;
      case 'm': OnFormula([&](talvane::Formula& f) { f.SetName(argument); }); break;
      case 'g':
        OnFormula([&](talvane::Formula& f) { f.SetGrouping(static_cast<talvane::GROUPTYPEENU>(Number(argument) % 3)); });
        break;
      case 'R': Try([&] { r.Formulae()->Remove(Number(argument)); }); break;
      case 'C': r.Clear(); break;
      case 'S': Statement(r, "statement read mid-way"); break;
      default: break;
    }
  }

  void Finish() {
    auto& r = *report_;
    const bool access = r.DatabaseType() == talvane::kAccess;
    Statement(r, access ? "Access statement" : "SQL Server statement");
    r.SetConnection(access ? talvane::fuzz::SqlServerDatabase() : talvane::fuzz::AccessDatabase());
    Statement(r, access ? "SQL Server statement" : "Access statement");
    std::string sets;
    Try([&] { sets = r.Sets(); });
    for (const std::string& set : talvane::SplitList(sets)) {
      Try([&] { r.FieldsInSet(set); });
      Try([&] { r.FieldsReferencingSet(set); });
    }
    talvane::fuzz::RequireWhatCheckPassesRuns(r, talvane::fuzz::SqliteDatabase());
    r.Clear();
  }

 private:
  template <typename Fn>
  void OnField(Fn&& fn) {
    Try([&] {
      const auto field = report_->Fields()->Field();
      if (field) fn(*field);
    });
  }
  template <typename Fn>
  void OnFormula(Fn&& fn) {
    Try([&] {
      const auto formula = report_->Formulae()->Formula();
      if (formula) fn(*formula);
    });
  }

  std::shared_ptr<talvane::Exception> report_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  Script script;
  std::size_t start = 0;
  int commands = 0;
  // A bounded script: long inputs add nothing that short ones cannot reach, only time.
  while (start < input.size() && commands++ < 64) {
    std::size_t end = input.find('\n', start);
    if (end == std::string_view::npos) end = input.size();
    const std::string_view line = input.substr(start, end - start);
    start = end + 1;
    if (line.empty()) continue;
    script.Run(line[0], Unescape(line.size() > 2 ? line.substr(2) : std::string_view()));
  }
  script.Finish();
  return 0;
}
