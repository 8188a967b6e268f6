#pragma once
// A report's statement as another connection would build it: in the dialect of that connection's provider
// and checked against its schema, with the report keeping its own connection afterwards (also when building
// fails).
#include <memory>
#include <string>

#include "talvane/fwd.hpp"

namespace talvane {

std::string StatementOn(Exception& report, const std::shared_ptr<db::Connection>& connection);

}  // namespace talvane
