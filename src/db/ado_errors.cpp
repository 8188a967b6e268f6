#include "db/ado_errors.hpp"

#include "talvane/db/recordset.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane::db::detail {

void RaiseObjectClosed(std::string_view source) {
  Raise(kErrObjectClosed, source, "Operation is not allowed when the object is closed.");
}

void RaiseObjectOpen(std::string_view source) {
  Raise(kErrUnspecified, source, "Operation is not allowed when the object is open.");
}

void RaiseNoCurrentRecord(std::string_view source) {
  Raise(kErrNoCurrentRecord, source,
        "Either BOF or EOF is True, or the current record has been deleted. Requested operation requires a "
        "current record.");
}

void RaiseItemNotFound(std::string_view source) {
  Raise(kErrItemNotFound, source,
        "Item cannot be found in the collection corresponding to the requested name or ordinal.");
}

void RaiseBadArgument(std::string_view source) {
  Raise(kErrUnspecified, source,
        "Arguments are of the wrong type, are out of acceptable range, or are in conflict with one another.");
}

}  // namespace talvane::db::detail
