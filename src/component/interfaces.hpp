#pragma once
// The member tables, one per interface; each defined in its own file (<class>_interface.cpp).
#include "talvane/component/type_info.hpp"

namespace talvane::component::detail {

const TypeInfo& ExceptionInterface();
const TypeInfo& INodeInterface();
const TypeInfo& ItemInterface();
const TypeInfo& SectionInterface();
const TypeInfo& FormulaInterface();
const TypeInfo& FormulaListInterface();
const TypeInfo& FieldListInterface();
const TypeInfo& FieldInterface();
// The host's connection; its type comes from the database layer, not from this library.
const TypeInfo& ConnectionInterface();

}  // namespace talvane::component::detail
