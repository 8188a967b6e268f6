#include "talvane/foundation/brackets.hpp"

namespace talvane {

namespace {

std::string Bracket(std::string_view part) {
  std::string out;
  out.reserve(part.size() + 2);
  if (part.empty() || part.front() != '[') out += '[';
  out.append(part);
  if (out.back() != ']') out += ']';
  return out;
}

std::string_view Unbracket(std::string_view part) {
  if (!part.empty() && part.front() == '[') part.remove_prefix(1);
  if (!part.empty() && part.back() == ']') part.remove_suffix(1);
  return part;
}

}  // namespace

std::string AddBrackets(std::string_view text, bool wholeName) {
  if (text.empty()) return {};
  const std::size_t dot = wholeName ? std::string_view::npos : text.find('.');
  if (dot == std::string_view::npos) return Bracket(text);
  return Bracket(text.substr(0, dot)) + "." + Bracket(text.substr(dot + 1));
}

std::string StripBrackets(std::string_view text) {
  const std::size_t dot = text.find('.');
  if (dot == std::string_view::npos) return std::string(Unbracket(text));
  const std::string_view table = Unbracket(text.substr(0, dot));
  const std::string_view name = Unbracket(text.substr(dot + 1));
  if (table.empty()) return std::string(name);
  std::string out(table);
  out += '.';
  out.append(name);
  return out;
}

bool CanBracket(std::string_view name) { return name.find_first_of(std::string_view("[]\0", 3)) == std::string_view::npos; }

}  // namespace talvane
