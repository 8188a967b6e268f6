#pragma once
// Reading the JSON body of an API request, and the values in it. Every problem raises BadRequest with one
// line that says what is wrong.
#include <cstdint>
#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <string_view>

namespace talvane::cli {

// Parses `body` as a JSON object nested at most `maxDepth` deep. The depth is measured before parsing, so
// a body of a million opening brackets costs one pass over its bytes.
nlohmann::json ParseRequestBody(std::string_view body, int maxDepth);

// The string value of `key`; `fallback` when the key is absent (none: the key is required).
std::string StringMember(const nlohmann::json& request, const char* key,
                         const std::optional<std::string>& fallback = std::nullopt);

// The object value of `key`, which is required.
const nlohmann::json& ObjectMember(const nlohmann::json& request, const char* key);

// The non-negative integer value of `key`, or `fallback` when the key is absent.
int64_t CountMember(const nlohmann::json& request, const char* key, int64_t fallback);

}  // namespace talvane::cli
