// The set members of class Exception: formulas sharing a name form a set, a derived table joined
// to the main table on the main field. What the members ask of the sets is read from the report's set
// index (see SetIndex), brought up to date by each of them; a column test or type probe asked again is
// answered by the connection's schema cache.
#include "talvane/report/exception.hpp"

#include <utility>

#include "report/set_index.hpp"
#include "talvane/db/schema_lookup.hpp"
#include "talvane/db/schema_scope.hpp"
#include "talvane/formula/formula.hpp"
#include "talvane/formula/item.hpp"
#include "talvane/formula/section.hpp"
#include "talvane/foundation/brackets.hpp"
#include "talvane/foundation/clean_text.hpp"
#include "talvane/report/field.hpp"
#include "talvane/report/field_list.hpp"
#include "talvane/report/formula_list.hpp"

namespace talvane {

void Exception::FindSets() {}

void Exception::NoteFormulaChanged(const Formula& formula) noexcept { setIndex_->NoteChanged(formula); }

const detail::SetIndex& Exception::CurrentSets() const {
  setIndex_->Refresh(formulae_->formulas_, formulae_->removals_, connection_);
  return *setIndex_;
}

std::string Exception::Sets() const {
  StringList names;
  for (const auto& formula : CurrentSets().FirstFormulas()) AppendToList(names, formula->Name());
  return names.Join();
}

std::string Exception::FieldsReferencingSet(std::string_view SetName) const {
  const db::SchemaScope schemaScope;  // one reading of the schema version for the whole call
  const auto referenced = CurrentSets().References();
  const auto found = referenced.find(detail::SetKey(SetName));
  return OfferedBySet(found == referenced.end() ? StringList() : found->second, SetName);
}

// Those of the referenced fields that a table of the set has, each as [table].[field] of the first such table.
std::string Exception::OfferedBySet(const StringList& referenced, std::string_view setName) const {
  const StringList tables = CurrentSets().Tables(setName);
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
  const db::SchemaScope schemaScope;  // one reading of the schema version for the whole call
  StringList columns;
  const StringList tables = CurrentSets().Tables(SetName);
  for (const std::string& table : tables.Items()) {
    for (const std::string& column : SplitList(TableColumns(table, connection_))) {
      AppendUniqueToList(columns, AddBrackets(table + "." + column));
    }
  }
  const std::string key = detail::SetKey(SetName);
  for (int32_t i = 1; i <= fields_->Count(); ++i) {
    const auto field = fields_->Field(i);
    if (field->IsInSet() && detail::SetKey(field->NameOfSet()) == key) AppendUniqueToList(columns, field->FieldInSet());
  }
  return columns.Join();
}

void Exception::ResolveSetFields(const std::shared_ptr<Item>& item) {
  const db::SchemaScope schemaScope;  // one reading of the schema version for the whole call
  try {
    ResolveMarkedSetFields(item);
  } catch (...) {
    // A run that fails stops part way, and what a run over every item writes before its failure depends on
    // the items that did not change too (a section typed by two references, say): the run is made again
    // over every item, so that the failure leaves the nodes as a run that starts afresh leaves them.
    setIndex_->Forget();
    ResolveMarkedSetFields(item);
  }
}

// Resolves the field items the set index plans, set by set: those of the formulas changed since the last
// run and of those reading a set whose tables or place changed; every item after the index forgot.
void Exception::ResolveMarkedSetFields(const std::shared_ptr<Item>& item) {
  std::vector<detail::SetIndex::SetWork> work;
  const uint64_t run = setIndex_->Prepare(formulae_->formulas_, formulae_->removals_, connection_, item, work);
  try {
    for (const auto& set : work) {
      if (set.failure) std::rethrow_exception(set.failure);
      for (const auto& fieldItem : set.items) ResolveItemInSet(*fieldItem, set.tables);
    }
  } catch (...) {
    setIndex_->Forget();
    throw;
  }
  setIndex_->Commit(run);
}

// Gives a reference to the set the type of the same-named column of the set's tables; the last table that
// has the column decides. Every question is answered by the connection's schema cache, asked of the
// database once per run at most.
void Exception::ResolveItemInSet(Item& fieldItem, const StringList& tables) {
  const std::string column = fieldItem.Field();
  for (const std::string& table : tables.Items()) {
    if (!TableHasColumn(table, column, connection_)) continue;
    const ITEMDATATYPEENUM type = fieldItem.LookupFieldType(AddBrackets(table + "." + column));
    const auto parent = fieldItem.Parent();
    if (parent && parent->ItemType() == kSection) parent->SetDataType(type);
  }
}

}  // namespace talvane
