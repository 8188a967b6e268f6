#include "talvane/definition/check_failure.hpp"

namespace talvane {

std::string SubjectLabel(CheckFailure::Subject subject, std::size_t index) {
  switch (subject) {
    case CheckFailure::Subject::kMainTable: return "main table";
    case CheckFailure::Subject::kMainField: return "main field";
    case CheckFailure::Subject::kFormula: return "formula " + std::to_string(index);
    case CheckFailure::Subject::kField: return "field " + std::to_string(index);
    case CheckFailure::Subject::kStatement: return "statement";
  }
  return "definition";
}

}  // namespace talvane
