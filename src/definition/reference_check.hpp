#pragma once
// Finds the field references of a formula that name nothing: neither a column of a database table nor a
// column a set of the report offers. The library takes such a reference for one to a set that may be
// defined later, so the formula is accepted; once the whole definition is applied, it is a mistake.
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

namespace talvane {
class Exception;
class INode;
namespace db {
class Connection;
}
}  // namespace talvane

namespace talvane {

struct UnknownReference {
  // Byte offset of the reference in the formula text.
  std::size_t position = 0;
  std::string message;
};

// Checks the references of the formulas of one report, once the whole definition is applied. What it learns
// of the report's sets (their names, the columns each offers) is read once and kept, so that checking every
// formula costs no more per formula in a large report than in a small one; so is the verdict on each reference.
class ReferenceCheck {
 public:
  ReferenceCheck(const Exception& report, std::shared_ptr<db::Connection> connection)
      : report_(report), connection_(std::move(connection)) {}

  // `text` is the formula's trimmed text, already accepted by the library, and `formula` the tree it built.
  std::vector<UnknownReference> FindUnknown(const INode& formula, const std::string& text);

 private:
  // Whether a field item of the tree names nothing: only then is the text cut again to place the references.
  bool AnyUnknown(const INode& node);
  // Why the reference names nothing, or the empty string when it names a column (or the schema cannot be
  // read); found once per reference.
  const std::string& ProblemOf(const std::string& reference);
  std::string FindProblem(const std::string& reference);
  bool IsSet(const std::string& name);
  bool SetOffersColumn(const std::string& set, std::string_view column);

  const Exception& report_;
  std::shared_ptr<db::Connection> connection_;
  std::optional<std::unordered_set<std::string>> sets_;             // upper-cased bare names
  std::unordered_map<std::string, std::vector<std::string>> offered_;  // by set: upper-cased columns
  std::unordered_map<std::string, std::string> problems_;              // by reference as written
};

}  // namespace talvane
