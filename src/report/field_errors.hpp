#pragma once
// Error sources and messages shared by the files of class Field.
#include <string_view>

#include "talvane/foundation/enums.hpp"

namespace talvane::detail {

constexpr std::string_view kFieldTestFieldSource = "Exception: Field.TestField";
constexpr std::string_view kFieldNotFoundSource = "Field.TestField";
constexpr std::string_view kFieldNotFoundMessage = "Field Not found in database and is not in a Set.";
constexpr std::string_view kFieldCnnClosedMessage = "Connection not open";

// A field made outside a list (or cleared) has no siblings and no owning report to consult.
constexpr int32_t kFieldNoListNumber = ERR_FIELD_INDEX_OOB;
constexpr std::string_view kFieldNoListMessage = "Field does not belong to a field list";
constexpr std::string_view kFieldNoReportMessage = "Field list does not belong to a report";

}  // namespace talvane::detail
