#pragma once
// Finds the field references of a formula that name nothing: neither a column of a database table nor a
// column a set of the report offers. The library takes such a reference for one to a set that may be
// defined later, so the formula is accepted; once the whole definition is applied, it is a mistake.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace talvane {
class Exception;
namespace db {
class Connection;
}
}  // namespace talvane

namespace talvane::cli {

struct UnknownReference {
  // Byte offset of the reference in the formula text.
  std::size_t position = 0;
  std::string message;
};

// `text` is the formula's trimmed text, already accepted by the library.
std::vector<UnknownReference> FindUnknownReferences(const std::string& text, const Exception& report,
                                                    const std::shared_ptr<db::Connection>& connection);

}  // namespace talvane::cli
