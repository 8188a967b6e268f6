#include "definition_request.hpp"

#include <fstream>
#include <sstream>

#include "bad_request.hpp"
#include "input_error.hpp"
#include "request_body.hpp"
#include "talvane/definition/definition_error.hpp"

namespace talvane::cli {

Definition DefinitionOfRequest(const nlohmann::json& request) {
  const std::string text = ObjectMember(request, "definition").dump();
  try {
    return ParseDefinition(text, "the definition");
  } catch (const DefinitionError& e) {
    throw BadRequest(e.what());
  }
}

nlohmann::json ReadStartDefinition(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw InputError("cannot read the definition file " + path);
  std::ostringstream text;
  text << file.rdbuf();
  ParseDefinition(text.str(), path);
  return nlohmann::json::parse(text.str());
}

}  // namespace talvane::cli
