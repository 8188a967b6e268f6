#include "tokens_command.hpp"

#include <CLI/CLI.hpp>

#include <cstdint>
#include <iomanip>
#include <iostream>
#include <memory>
#include <string>

#include "exit_code.hpp"
#include "talvane/formula/formula_items.hpp"
#include "talvane/foundation/clean_text.hpp"
#include "talvane/foundation/enums.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane::cli {

const char* ItemKindName(ITEMTYPEENU kind) {
  switch (kind) {
    case kLiteral: return "kLiteral";
    case kField: return "kField";
    case kArith: return "kArith";
    case kComparisson: return "kComparisson";
    case kSection: return "kSection";
    case kOpenSection: return "kOpenSection";
    case kSeperator: return "kSeperator";
    case kFormula: return "kFormula";
  }
  return "unknown";
}

std::string TrimmedFormula(std::string_view formula) {
  return CleanText(formula, kCleanTrimLeft | kCleanTrimRight, {}, {}, kWsSpace | kWsTab | kWsCr | kWsLf);
}

namespace {

void PrintError(const Error& e, std::size_t itemStart, std::size_t failedAt, std::string_view text,
                std::ostream& err) {
  err << "error 0x" << std::hex << std::uppercase << static_cast<uint32_t>(e.Number()) << std::dec
      << std::nouppercase << " (" << e.Source() << "): " << e.Message() << '\n'
      << "cutting failed at position " << failedAt << " in the item starting at position " << itemStart << '\n'
      << "  " << text << '\n'
      << "  " << std::string(failedAt, ' ') << "^\n";
}

}  // namespace

int RunTokens(std::string_view formula, std::ostream& out, std::ostream& err) {
  const std::string text = TrimmedFormula(formula);
  const CutFormula cut = CutIntoItems(text);
  for (const FormulaItem& item : cut.items) {
    out << item.position << '\t' << ItemKindName(item.kind) << '\t' << item.text << '\n';
  }
  if (cut.error) {
    PrintError(*cut.error, cut.failedItemStart, cut.failedAt, text, err);
    return kExitFailed;
  }
  return kExitOk;
}

void ConfigureTokensCommand(CLI::App& command, int& exitCode) {
  auto formula = std::make_shared<std::string>();
  command.add_option("formula", *formula, "The formula text, e.g. \"Orders.Amount >= 100\"")->required();
  command.callback([formula, &exitCode] { exitCode = RunTokens(*formula, std::cout, std::cerr); });
}

}  // namespace talvane::cli
