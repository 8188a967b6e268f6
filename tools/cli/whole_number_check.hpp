#pragma once
// The check of an option that takes a whole number (--limit, --port).
#include <cstdint>

namespace CLI {
class Validator;
}

namespace talvane::cli {

// Accepts a whole number from `min` to `max`, digits only; anything else is refused with a message that
// says so ("--limit: must be a whole number, 0 or more, not abc").
CLI::Validator WholeNumberCheck(int64_t min, int64_t max);

}  // namespace talvane::cli
