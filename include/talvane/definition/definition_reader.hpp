#pragma once
// Reading report definitions (definition.hpp) from JSON. Every refusal is a DefinitionError whose text is one
// line naming the definition and what is wrong with it.
#include <string>
#include <string_view>

#include "talvane/definition/definition.hpp"

namespace talvane {

// Reads the definition from a file, or from standard input when `path` is "-".
Definition LoadDefinition(const std::string& path);

// Reads a definition from JSON text; `source` names it in messages.
Definition ParseDefinition(std::string_view text, const std::string& source);

// The keys a definition may use, for help texts.
std::string DefinitionKeysHelp();

}  // namespace talvane
