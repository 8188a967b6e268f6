#pragma once
// The formula text splitter: cuts one item off the front of the remaining text.
#include <string>
#include <string_view>

namespace talvane {

/// Removes the consumed characters from the front of `rest` and returns the item as written.
/// Raises 0x80040006 "ModOmbrel ParseItem" / "Invalid syntax for item" on malformed text.
std::string ParseItem(std::string& rest);

/// Cursor form used for whole texts: consumes from `rest` (a view that shrinks), never copying the
/// remainder, so cutting a text into items is linear in its length.
std::string ParseItem(std::string_view& rest);

}  // namespace talvane
