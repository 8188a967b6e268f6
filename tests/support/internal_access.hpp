#pragma once
// The library-internal members the tests reach, in one place: the library befriends detail::Access, so
// every test program must see the same definition of it.
#include <memory>
#include <string>
#include <string_view>

#include "foundation/node_access.hpp"
#include "talvane/foundation/string_list.hpp"
#include "talvane/formula/formula.hpp"
#include "talvane/formula/item.hpp"
#include "talvane/report/exception.hpp"
#include "talvane/report/field.hpp"
#include "talvane/report/field_list.hpp"
#include "talvane/report/formula_list.hpp"

namespace talvane::detail {

struct Access {
  static void SetConnection(INode& node, const std::shared_ptr<db::Connection>& connection) {
    NodeAccess::SetConnection(node, connection);
  }
  static void SetConnection(FieldList& list, const std::shared_ptr<db::Connection>& connection) {
    list.SetConnection(connection);
  }
  static void SetConnection(Field& field, const std::shared_ptr<db::Connection>& connection) {
    field.SetConnection(connection);
  }
  static bool IsSetReference(const Item& item) { return item.IsSetReference(); }
  static ITEMDATATYPEENUM LookupFieldType(Item& item, const std::string& reference) {
    return item.LookupFieldType(reference);
  }
  static int32_t FindFormula(const FormulaList& list, std::string_view name) { return list.FindFormula(name); }
  static std::string FormulaTables(const FormulaList& list, std::string_view name) {
    return list.FormulaTables(name);
  }
  static std::shared_ptr<FormulaList> ListOf(const Formula& formula) { return formula.List(); }
  static void StoreOrderPos(Field& field, int32_t position) { field.StoreOrderPos(position); }
  static std::string OrderKeyword(const Field& field) { return field.OrderKeyword(); }
  static int32_t NextOrderPos(const Field& field, int32_t start) {
    return field.NextOrderPos(start, field.ListFields("test"));
  }
  static void Validate(const Exception& report) { report.Validate(); }
  static std::string ExportName(std::string_view selected) { return Exception::ExportName(selected); }
  static bool HasExportName(const StringList& list, std::string_view selected) {
    return Exception::HasExportName(list, selected);
  }
};

}  // namespace talvane::detail
