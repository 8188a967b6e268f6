#include "whole_number_check.hpp"

#include <CLI/CLI.hpp>

#include <charconv>
#include <limits>
#include <string>

#include "display_text.hpp"

namespace talvane::cli {

namespace {

std::string RangeText(int64_t min, int64_t max) {
  if (max == std::numeric_limits<int64_t>::max()) return std::to_string(min) + " or more";
  return "from " + std::to_string(min) + " to " + std::to_string(max);
}

}  // namespace

CLI::Validator WholeNumberCheck(int64_t min, int64_t max) {
  const std::string range = RangeText(min, max);
  return CLI::Validator(
      [min, max, range](std::string& text) -> std::string {
        int64_t value = 0;
        const char* end = text.data() + text.size();
        const auto [stop, error] = std::from_chars(text.data(), end, value);
        if (!text.empty() && error == std::errc() && stop == end && value >= min && value <= max) return {};
        return "must be a whole number, " + range + ", not " + Quoted(text);
      },
      "INT " + range);
}

}  // namespace talvane::cli
