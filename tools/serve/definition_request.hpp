#pragma once
// The report definitions the server works on: the one a request carries, and the one given on the
// command line for the page to start with. The server never reads a file a request names.
#include <nlohmann/json.hpp>

#include <string>

#include "talvane/definition/definition_reader.hpp"

namespace talvane::cli {

// The definition in the request's "definition" object, read as a definition file is read; raises
// BadRequest with the reader's message when it is not a valid definition.
Definition DefinitionOfRequest(const nlohmann::json& request);

// The definition file `path`, checked to be a valid definition, as a JSON object; raises InputError when
// it cannot be read and DefinitionError when it is not valid.
nlohmann::json ReadStartDefinition(const std::string& path);

}  // namespace talvane::cli
