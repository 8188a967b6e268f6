#pragma once
// Texts of row values shared by the output formats.
#include <string>
#include <string_view>

namespace talvane::cli {

// The bytes as lowercase hexadecimal digits, two per byte: how every format shows a blob.
std::string HexText(std::string_view bytes);

// "12 rows", "1 row", "0 rows".
std::string RowCountText(long long count);

}  // namespace talvane::cli
