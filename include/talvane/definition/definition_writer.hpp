#pragma once
// Writing a report back as a definition (definition.hpp): what ApplyDefinition would set to build the same
// statement again.
#include <string>

#include "talvane/definition/definition.hpp"
#include "talvane/fwd.hpp"

namespace talvane {

// The main table and field, every formula (text, set name, grouping) and every field (reference, name,
// aggregate function, order position and direction) of the report, in list order. Raises talvane::Error
// when the report cannot be read (a list without its connection).
Definition DefinitionOf(const Exception& report);

// The definition as JSON text in the layout of the examples (two-blank indent, one field or formula per
// line); keys that hold their default are left out.
std::string DefinitionJson(const Definition& definition);

}  // namespace talvane
