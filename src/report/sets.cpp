// The set members of class Exception: formulas sharing a name form a set, a derived table joined
// to the main table on the main field.
//
// Resolving set references runs for every set reference and every renamed formula, and each run would look
// at every node of every formula. The members here do that work once per run rather than once per set, and
// only where something changed since the last run (see SetCache): one pass collects every set's tables, the
// field items are sorted by the set they name, and a column test or type probe asked again is answered by
// the connection's schema cache. Every preparatory step only reads; should one of them fail, the run
// starts again set by set, in the order of side effects the longer form has, so that errors arrive at the
// same point with the same nodes already typed.
#include "talvane/report/exception.hpp"

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "formula/formula_tree.hpp"
#include "report/set_cache.hpp"
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

namespace {

bool SameSetName(std::string_view a, std::string_view b) { return EqualsIgnoreCase(StripBrackets(a), StripBrackets(b)); }

// The key under which SameSetName finds a name equal to another.
std::string SetKey(std::string_view name) { return UpperAscii(StripBrackets(name)); }

// A flat list of references stands for the nested lists of a tree only while no reference holds the list
// separator itself.
class UnsplittableEntry {};

}  // namespace

// Set names in list order (first spelling, stripped) and, by the key of a formula's name, the tables of
// the formulas bearing it.
struct Exception::SetIndex {
  StringList names;
  std::unordered_map<std::string, StringList> tablesByKey;

  const StringList* TablesOf(const std::string& setName) const {
    const auto found = tablesByKey.find(SetKey(setName));
    return found == tablesByKey.end() ? nullptr : &found->second;
  }
};

void Exception::FindSets() {}

void Exception::NoteFormulaChanged(const Formula& formula) noexcept { setCache_->NoteChanged(formula); }

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

Exception::SetIndex Exception::IndexSets() const {
  SetIndex index;
  for (const auto& formula : formulae_->formulas_) {
    const std::string name = detail::SetCache::SetNameOf(*formula);
    if (name.empty()) continue;
    AppendUniqueToList(index.names, name);
    detail::SetCache::AddTablesOf(*formula, index.tablesByKey[UpperAscii(name)]);
  }
  return index;
}

std::string Exception::FieldsReferencingSet(std::string_view SetName) const {
  const db::SchemaScope schemaScope;  // one reading of the schema version for the whole call
  return FieldsReferencingSets({std::string(SetName)}).front();
}

std::vector<std::string> Exception::FieldsReferencingSets(const std::vector<std::string>& setNames) const {
  std::vector<StringList> referenced(setNames.size());
  std::vector<const StringList*> tables(setNames.size(), nullptr);
  SetIndex index;
  bool atOnce = false;
  try {
    index = IndexSets();
    // A name that strips to nothing would match the unnamed formulas, which the index leaves out.
    atOnce = std::none_of(setNames.begin(), setNames.end(),
                          [](const std::string& name) { return SetKey(name).empty(); });
    if (atOnce) atOnce = ReferencedFieldsAtOnce(setNames, referenced);
    for (std::size_t i = 0; i < setNames.size() && atOnce; ++i) tables[i] = index.TablesOf(setNames[i]);
  } catch (...) {  // NOLINT(bugprone-empty-catch): the set-by-set form below meets the same failure
    atOnce = false;
  }

  std::vector<std::string> results;
  for (std::size_t i = 0; i < setNames.size(); ++i) {
    StringList setTables;
    if (!atOnce) {
      referenced[i] = StringList();
      for (const auto& formula : formulae_->formulas_) {
        for (const std::string& field : SplitList(formula->FieldsReferencingSet(setNames[i]))) {
          AppendUniqueToList(referenced[i], field);
        }
      }
      setTables = SetTables(setNames[i]);
    } else if (tables[i] != nullptr) {
      setTables = *tables[i];
    }
    StringList entries;
    for (const std::string& field : referenced[i].Items()) {
      for (const std::string& table : setTables.Items()) {
        if (TableHasColumn(table, field, connection_)) {
          AppendToList(entries, AddBrackets(table + "." + field));
          break;
        }
      }
    }
    results.push_back(entries.Join());
  }
  return results;
}

// The fields that each formula's set references take from each named set, as FieldsReferencingSet of
// Formula lists them, gathered in one walk of every tree. False when a reference holds ", ", which the
// nested lists of the formulas would split.
bool Exception::ReferencedFieldsAtOnce(const std::vector<std::string>& setNames,
                                       std::vector<StringList>& referenced) const {
  std::unordered_map<std::string, std::vector<std::size_t>> wanted;
  for (std::size_t i = 0; i < setNames.size(); ++i) wanted[SetKey(setNames[i])].push_back(i);

  // Depth first, children in order, as Section::FieldsReferencingSet walks them.
  const auto walk = [&](const auto& self, const Section& section) -> void {
    for (const auto& child : section.children_) {
      if (const auto group = tree::AsSection(child)) {
        self(self, *group);
        continue;
      }
      const auto item = tree::AsItem(child);
      if (!item || !item->IsSetReference()) continue;
      const auto found = wanted.find(SetKey(item->Table()));
      if (found == wanted.end()) continue;
      const std::string field = item->Field();
      if (field.find(", ") != std::string::npos) throw UnsplittableEntry();
      for (const std::size_t i : found->second) AppendUniqueToList(referenced[i], field);
    }
  };
  try {
    for (const auto& formula : formulae_->formulas_) {
      for (const auto& section : formula->sections_) walk(walk, *section);
    }
  } catch (const UnsplittableEntry&) {
    return false;
  }
  return true;
}

std::string Exception::FieldsInSet(std::string_view SetName) const {
  const db::SchemaScope schemaScope;  // one reading of the schema version for the whole call
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
  const db::SchemaScope schemaScope;  // one reading of the schema version for the whole call
  if (!ResolveSetFieldsAtOnce(item)) ResolveSetFieldsSetBySet(item);
}

// The resolution as a walk over every set, each looking at every node.
void Exception::ResolveSetFieldsSetBySet(const std::shared_ptr<Item>& item) {
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

// The same resolution with the sets' tables gathered in one pass, resolving only the field items of the
// formulas changed since the last run and of those reading a set whose tables or place changed (see
// SetCache). False, with nothing changed, when a step before the first change fails.
bool Exception::ResolveSetFieldsAtOnce(const std::shared_ptr<Item>& item) {
  std::vector<detail::SetCache::SetWork> work;
  uint64_t run = 0;
  try {
    run = setCache_->Prepare(formulae_->formulas_, formulae_->removals_, connection_, item, work);
  } catch (...) {
    return false;
  }
  try {
    for (const auto& set : work) {
      for (const auto& fieldItem : set.items) ResolveItemInSet(*fieldItem, set.tables);
    }
  } catch (...) {
    // A run that fails stops part way, and what a run over every item writes before its failure depends on
    // the items that did not change too (a section typed by two references, say): the run is made again over
    // every item, so that the failure leaves the nodes as a run that starts afresh leaves them.
    setCache_->Forget();
    ResolveSetFieldsSetBySet(item);
    return true;
  }
  setCache_->Commit(run);
  return true;
}

// Gives a reference to the set the type of the same-named column of the set's tables; the last
// table that has the column decides.
void Exception::ResolveNodeInSet(const std::shared_ptr<INode>& node, const std::string& setName,
                                 const StringList& tables) {
  const auto fieldItem = std::dynamic_pointer_cast<Item>(node);
  if (!fieldItem || !EqualsIgnoreCase(StripBrackets(fieldItem->Table()), setName)) return;
  ResolveItemInSet(*fieldItem, tables);
}

// Every question is answered by the connection's schema cache, asked of the database once per run at most.
void Exception::ResolveItemInSet(Item& fieldItem, const StringList& tables) {
  const std::string column = fieldItem.Field();
  for (const std::string& table : tables.Items()) {
    if (!TableHasColumn(table, column, connection_)) continue;
    const ITEMDATATYPEENUM type = fieldItem.LookupFieldType(AddBrackets(table + "." + column));
    const auto parent = fieldItem.Parent();
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
