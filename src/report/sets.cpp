// The set members of class Exception: formulas sharing a name form a set, a derived table joined
// to the main table on the main field.
#include "talvane/report/exception.hpp"

#include <utility>

#include "talvane/formula/formula.hpp"
#include "talvane/formula/item.hpp"
#include "talvane/foundation/brackets.hpp"
#include "talvane/foundation/clean_text.hpp"
#include "talvane/foundation/schema.hpp"
#include "talvane/report/field.hpp"
#include "talvane/report/field_list.hpp"
#include "talvane/report/formula_list.hpp"

namespace talvane {

namespace {

bool SameSetName(std::string_view a, std::string_view b) { return EqualsIgnoreCase(StripBrackets(a), StripBrackets(b)); }

}  // namespace

void Exception::FindSets() {}

std::string Exception::Sets() const {
  StringList names;
  for (const auto& formula : formulae_->formulas_) {
    const std::string name = formula->Name();
    if (!name.empty()) AppendUniqueToList(names, name);
  }
  return names.Join();
}

// The tables of every formula of the set, without brackets, in order of first appearance.
StringList Exception::SetTables(std::string_view setName) const {
  StringList tables;
  for (const auto& formula : formulae_->formulas_) {
    if (!SameSetName(formula->Name(), setName)) continue;
    for (const std::string& table : SplitList(formula->Tables())) AppendUniqueToList(tables, StripBrackets(table));
  }
  return tables;
}

std::string Exception::FieldsReferencingSet(std::string_view SetName) const {
  StringList referenced;
  for (const auto& formula : formulae_->formulas_) {
    for (const std::string& field : SplitList(formula->FieldsReferencingSet(SetName))) {
      AppendUniqueToList(referenced, field);
    }
  }
  const StringList tables = SetTables(SetName);
  StringList entries;
  for (const std::string& field : referenced.Items()) {
    for (const std::string& table : tables.Items()) {
      if (TableHasColumn(table, field, connection_)) {
        AppendToList(entries, AddBrackets(table + "." + field));
        break;
      }
    }
  }
  return entries.Join();
}

std::string Exception::FieldsInSet(std::string_view SetName) const {
  StringList columns;
  const StringList tables = SetTables(SetName);
  for (const std::string& table : tables.Items()) {
    for (const std::string& column : SplitList(TableColumns(table, connection_))) {
      AppendUniqueToList(columns, AddBrackets(table + "." + column));
    }
  }
  for (int32_t i = 1; i <= fields_->Count(); ++i) {
    const auto field = fields_->Field(i);
    if (field->IsInSet() && SameSetName(field->NameOfSet(), SetName)) AppendUniqueToList(columns, field->FieldInSet());
  }
  return columns.Join();
}

void Exception::ResolveSetFields(const std::shared_ptr<Item>& item) {
  StringList setNames;
  for (const auto& formula : formulae_->formulas_) {
    const std::string name = StripBrackets(formula->Name());
    if (!name.empty()) AppendUniqueToList(setNames, name);
  }
  CollectNodes(kField, nullptr);
  if (item && item->ItemType() == kField) nodes_.push_back(item);
  // Taken out of the report: the look-ups below must not see the collection change under them, and the
  // report keeps no nodes afterwards (a tree taken apart by Clear would otherwise live on in it).
  const std::vector<std::shared_ptr<INode>> nodes = std::exchange(nodes_, {});
  for (const std::string& setName : setNames.Items()) {
    const StringList tables = SetTables(setName);
    if (IsArrayEmpty(tables)) continue;
    for (const auto& node : nodes) ResolveNodeInSet(node, setName, tables);
  }
}

// Gives a reference to the set the type of the same-named column of the set's tables; the last
// table that has the column decides.
void Exception::ResolveNodeInSet(const std::shared_ptr<INode>& node, const std::string& setName,
                                 const StringList& tables) {
  const auto fieldItem = std::dynamic_pointer_cast<Item>(node);
  if (!fieldItem || !EqualsIgnoreCase(StripBrackets(fieldItem->Table()), setName)) return;
  const std::string column = fieldItem->Field();
  for (const std::string& table : tables.Items()) {
    if (!TableHasColumn(table, column, connection_)) continue;
    const ITEMDATATYPEENUM type = fieldItem->LookupFieldType(AddBrackets(table + "." + column));
    const auto parent = fieldItem->Parent();
    if (parent && parent->ItemType() == kSection) parent->SetDataType(type);
  }
}

void Exception::CollectNodes(ITEMTYPEENU kind, const std::shared_ptr<INode>& node) {
  if (!node) {
    nodes_.clear();
    for (const auto& formula : formulae_->formulas_) CollectNodes(kind, formula);
    return;
  }
  for (int32_t i = 1; i <= node->Count(); ++i) {
    const auto child = node->Child(i);
    if (!child) continue;
    if (child->ItemType() == kind) nodes_.push_back(child);
    if (child->Count() > 0) CollectNodes(kind, child);
  }
}

}  // namespace talvane
