#pragma once
// The errors every backend's recordsets raise alike, with the backend's name as their source.
#include <string_view>

namespace talvane::db::detail {

[[noreturn]] void RaiseObjectClosed(std::string_view source);
[[noreturn]] void RaiseObjectOpen(std::string_view source);
[[noreturn]] void RaiseNoCurrentRecord(std::string_view source);
[[noreturn]] void RaiseItemNotFound(std::string_view source);
[[noreturn]] void RaiseBadArgument(std::string_view source);

}  // namespace talvane::db::detail
