#include "request_body.hpp"

#include <string>

#include "bad_request.hpp"

namespace talvane::cli {

namespace {

// The deepest nesting of arrays and objects in JSON text, brackets inside strings not counted.
int NestingDepth(std::string_view text) {
  int depth = 0;
  int deepest = 0;
  bool inString = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (inString) {
      if (c == '\\') {
        ++i;
      } else if (c == '"') {
        inString = false;
      }
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      deepest = std::max(deepest, ++depth);
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return deepest;
}

}  // namespace

nlohmann::json ParseRequestBody(std::string_view body, int maxDepth) {
  if (NestingDepth(body) > maxDepth) {
    throw BadRequest("the request body is nested more than " + std::to_string(maxDepth) + " levels deep");
  }
  nlohmann::json request = nlohmann::json::parse(body, nullptr, false);
  if (request.is_discarded()) throw BadRequest("the request body is not valid JSON");
  if (!request.is_object()) throw BadRequest("the request body must be a JSON object");
  return request;
}

std::string StringMember(const nlohmann::json& request, const char* key, const std::optional<std::string>& fallback) {
  const auto found = request.find(key);
  if (found == request.end()) {
    if (fallback) return *fallback;
    throw BadRequest(std::string("the request needs \"") + key + "\"");
  }
  if (!found->is_string()) throw BadRequest(std::string("\"") + key + "\" must be a string");
  return found->get<std::string>();
}

const nlohmann::json& ObjectMember(const nlohmann::json& request, const char* key) {
  const auto found = request.find(key);
  if (found == request.end()) throw BadRequest(std::string("the request needs \"") + key + "\"");
  if (!found->is_object()) throw BadRequest(std::string("\"") + key + "\" must be an object");
  return *found;
}

int64_t CountMember(const nlohmann::json& request, const char* key, int64_t fallback) {
  const auto found = request.find(key);
  if (found == request.end()) return fallback;
  if (!found->is_number_integer() || found->get<int64_t>() < 0) {
    throw BadRequest(std::string("\"") + key + "\" must be a whole number of 0 or more");
  }
  return found->get<int64_t>();
}

}  // namespace talvane::cli
