#include "db/odbc/probe_text.hpp"

#include <optional>
#include <vector>

namespace talvane::db::detail {

namespace {

constexpr std::string_view kProbeStart = "SELECT * FROM ";
constexpr std::string_view kProbeEnd = " ;";

// The parts of "[a].[b]", or nullopt when the text is anything else.
std::optional<std::vector<std::string_view>> BracketedParts(std::string_view name) {
  std::vector<std::string_view> parts;
  while (!name.empty()) {
    if (name.front() != '[') return std::nullopt;
    const std::size_t close = name.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    const std::string_view part = name.substr(1, close - 1);
    if (part.empty() || part.find('[') != std::string_view::npos) return std::nullopt;
    parts.push_back(part);
    name.remove_prefix(close + 1);
    if (name.empty()) break;
    if (name.front() != '.') return std::nullopt;
    name.remove_prefix(1);
    if (name.empty()) return std::nullopt;
  }
  if (parts.empty()) return std::nullopt;
  return parts;
}

std::string QuotedName(std::string_view part, std::string_view quote) {
  if (quote == "[") return "[" + std::string(part) + "]";
  std::string quoted(quote);
  for (const char c : part) {
    quoted += c;
    if (quote.size() == 1 && c == quote.front()) quoted += c;
  }
  return quoted + std::string(quote);
}

}  // namespace

std::string QuoteProbeNames(std::string_view sql, std::string_view quote) {
  if (sql.substr(0, kProbeStart.size()) != kProbeStart || sql.size() < kProbeStart.size() + kProbeEnd.size() ||
      sql.substr(sql.size() - kProbeEnd.size()) != kProbeEnd) {
    return std::string(sql);
  }
  const auto parts = BracketedParts(sql.substr(kProbeStart.size(), sql.size() - kProbeStart.size() - kProbeEnd.size()));
  if (!parts) return std::string(sql);
  const bool blank = quote.empty() || quote == " ";
  std::string text(kProbeStart);
  for (std::size_t i = 0; i < parts->size(); ++i) {
    if (i > 0) text += '.';
    text += blank ? std::string((*parts)[i]) : QuotedName((*parts)[i], quote);
  }
  return text;
}

}  // namespace talvane::db::detail
