// Formula.Value on arbitrary text against the fixed schema, then every read-only member of the tree and the
// report's statement. The first input byte picks the set-up (dialect, a set named Big, an aggregate output
// field, naming the formula before or after its text); the rest is the formula text.
//
// Checks: only talvane::Error comes out; every SQL text is safe (statement_check.hpp); the text a formula
// reads back is formula text again, and after that one normalisation it is stable: read back once more it
// gives the same text and the same SQL. (The first read-back may render differently: a ")" that closes a
// top-level operand is dropped from the text but has closed the operand, which fixes its data type.)
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz_database.hpp"
#include "node_reader.hpp"
#include "statement_check.hpp"
#include "talvane/formula/formula.hpp"
#include "talvane/foundation/error.hpp"
#include "talvane/report/exception.hpp"
#include "talvane/report/field.hpp"
#include "talvane/report/field_list.hpp"
#include "talvane/report/formula_list.hpp"

namespace {

using talvane::Error;

constexpr uint8_t kAccess = 1;
constexpr uint8_t kSetBig = 2;
constexpr uint8_t kAggregateField = 4;
constexpr uint8_t kNameFirst = 8;
constexpr uint8_t kNameAfter = 16;

template <typename Fn>
bool Try(Fn&& fn) {
  try {
    fn();
    return true;
  } catch (const Error&) {
    return false;
  }
}

[[noreturn]] void Finding(const char* what, const std::string& text) {
  std::fprintf(stderr, "%s\n----\n%s\n----\n", what, text.c_str());
  std::abort();
}

std::shared_ptr<talvane::Exception> MakeReport(uint8_t flags) {
  auto report = talvane::Exception::Create();
  report->SetConnection((flags & kAccess) != 0 ? talvane::fuzz::AccessDatabase() : talvane::fuzz::SqlServerDatabase());
  report->SetMainTable("Customers");
  report->SetMainField("CustID");
  if ((flags & kSetBig) != 0) {
    report->Formulae()->AddNew();
    const auto big = report->Formulae()->Formula();
    big->SetName("Big");
    big->SetValue(std::string_view("Orders.Amount > 100"));
  }
  if ((flags & kAggregateField) != 0) {
    report->Fields()->AddNew();
    const auto field = report->Fields()->Field();
    field->SetValue("Orders.Amount");
    field->SetAggragateFunction("SUM");
  }
  return report;
}

// A formula of the report that took `text` (under the same name as `like`); null when the text is refused.
std::shared_ptr<talvane::Formula> Reparse(talvane::Exception& report, const talvane::Formula& like,
                                          const std::string& text) {
  report.Formulae()->AddNew();
  const auto formula = report.Formulae()->Formula();
  if (!like.Name().empty()) formula->SetName(like.Name());
  return Try([&] { formula->SetValue(std::string_view(text)); }) ? formula : nullptr;
}

void RequireStableReadBack(talvane::Exception& report, const talvane::Formula& formula) {
  std::string readBack;
  if (!Try([&] { readBack = formula.Value(); })) return;
  const auto once = Reparse(report, formula, readBack);
  if (!once) Finding("read-back text refused", readBack);
  const std::string normalised = once->Value();
  const auto twice = Reparse(report, formula, normalised);
  if (!twice) Finding("normalised text refused", normalised);
  if (twice->Value() != normalised) Finding("read-back text not stable", normalised + "\n----\n" + twice->Value());
  std::string sqlOnce;
  std::string sqlTwice;
  const bool renderedOnce = Try([&] { sqlOnce = once->SQL(false); });
  const bool renderedTwice = Try([&] { sqlTwice = twice->SQL(false); });
  if (renderedOnce != renderedTwice || sqlOnce != sqlTwice) {
    Finding("normalised text renders differently", sqlOnce + "\n----\n" + sqlTwice);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const uint8_t flags = data[0];
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

  const auto report = MakeReport(flags);
  report->Formulae()->AddNew();
  const auto formula = report->Formulae()->Formula();
  if ((flags & kNameFirst) != 0) Try([&] { formula->SetName("Big"); });
  std::string written = text;
  const bool taken = Try([&] { formula->SetValue(written); });
  if ((flags & kNameAfter) != 0) Try([&] { formula->SetName("Big"); });

  talvane::fuzz::ReadFormula(formula);
  Try([&] { talvane::fuzz::RequireSafeStatement(report->SQL(), "report SQL"); });

  if (taken) RequireStableReadBack(*report, *formula);
  report->Clear();
  return 0;
}
