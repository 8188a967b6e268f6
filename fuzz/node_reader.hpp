#pragma once
// Reads every read-only member of a formula tree, as a host inspecting it would. Members that may refuse
// (a node in the wrong state) must refuse with a talvane::Error; anything else escapes and is a finding.
#include <memory>

#include "talvane/fwd.hpp"

namespace talvane::fuzz {

void ReadFormula(const std::shared_ptr<Formula>& formula);

}  // namespace talvane::fuzz
