#include "report/set_index.hpp"

#include <algorithm>
#include <map>
#include <typeinfo>

#include "formula/change_note.hpp"
#include "formula/formula_tree.hpp"
#include "talvane/db/connection.hpp"
#include "talvane/db/schema_cache.hpp"
#include "talvane/formula/formula.hpp"
#include "talvane/formula/item.hpp"
#include "talvane/formula/section.hpp"
#include "talvane/foundation/brackets.hpp"
#include "talvane/foundation/clean_text.hpp"

namespace talvane::detail {

namespace {

// The type of the objects the library makes of class Node (Create makes a final class of its own).
template <typename Node>
const std::type_info& MadeType() {
  static const std::shared_ptr<Node> sample = Node::Create();
  static const INode* const pointer = sample.get();  // typeid of a plain pointer's target: no side effects
  static const std::type_info& type = typeid(*pointer);
  return type;
}

// Where the member at `position` of a set is, or goes (members are kept in list order).
std::vector<std::size_t>::iterator MemberAt(std::vector<std::size_t>& members, std::size_t position) {
  return std::lower_bound(members.begin(), members.end(), position);
}

void AddTablesOf(const Formula& formula, StringList& tables) {
  for (const std::string& table : SplitList(formula.Tables())) AppendUniqueToList(tables, StripBrackets(table));
}

}  // namespace

std::string SetKey(std::string_view name) { return UpperAscii(StripBrackets(name)); }

void SetIndex::Refresh(const std::vector<std::shared_ptr<Formula>>& formulas, uint64_t removals,
                       const std::shared_ptr<db::Connection>& connection) {
  ++uses_;
  try {
    std::optional<std::string> version = connection ? connection->Schema().Version() : std::nullopt;
    if (!version || version != schemaVersion_ || connection.get() != connection_) Forget();
    schemaVersion_ = std::move(version);
    connection_ = connection.get();
    ChangeNote::MarkChangesUnderWay();  // a formula being built is read as it stands now
    if (removals_ == removals && formulas.size() >= entries_.size()) {
      ReadChanged(formulas);
    } else {
      ReadAll(formulas);
    }
    removals_ = removals;
    // Formulas read again leave their old positions behind; past a few per field, the next use files anew.
    if (readerPositions_ > 8 * entries_.size() + 4096) removals_.reset();
    UpdateSets();
  } catch (...) {
    Forget();
    throw;
  }
}

uint64_t SetIndex::Prepare(const std::vector<std::shared_ptr<Formula>>& formulas, uint64_t removals,
                           const std::shared_ptr<db::Connection>& connection, const std::shared_ptr<Item>& item,
                           std::vector<SetWork>& work) {
  Refresh(formulas, removals, connection);
  PlanWork(item, work);
  return uses_;
}

void SetIndex::Commit(uint64_t run) noexcept {
  if (run != uses_ || !schemaVersion_) {
    Forget();
    return;
  }
  // The run wrote what a run writes: those formulas are current as they now stand.
  for (const std::size_t position : marked_) {
    entries_[position].revision = ChangeNote::RevisionOf(*entries_[position].formula);
  }
  marked_.clear();
}

void SetIndex::NoteChanged(const Formula& formula) noexcept {
  if (!removals_) return;  // the next refresh checks every formula
  // Changes made while the index is not used pile up; past a few per formula, the next refresh checks all.
  if (changed_.size() > 4 * entries_.size() + 1024) {
    changed_.clear();
    removals_.reset();
    return;
  }
  try {
    changed_.push_back(&formula);
  } catch (...) {  // out of memory: the next refresh checks every formula
    removals_.reset();
  }
}

void SetIndex::Forget() noexcept {
  const uint64_t uses = uses_;  // run numbers keep counting, so that a forgotten run is never committed
  *this = SetIndex();
  uses_ = uses;
}

std::vector<std::shared_ptr<Formula>> SetIndex::FirstFormulas() const {
  std::vector<std::shared_ptr<Formula>> formulas;
  for (const auto& [first, key] : order_) formulas.push_back(entries_[first].formula);
  return formulas;
}

std::vector<std::shared_ptr<Formula>> SetIndex::Members(std::string_view name) const {
  std::vector<std::shared_ptr<Formula>> formulas;
  const auto set = sets_.find(SetKey(name));
  if (set == sets_.end()) return formulas;
  for (const std::size_t member : set->second.members) formulas.push_back(entries_[member].formula);
  return formulas;
}

StringList SetIndex::Tables(std::string_view name) const {
  const std::string key = SetKey(name);
  const auto set = sets_.find(key);
  if (set == sets_.end()) return {};
  if (key.empty()) {  // the unnamed formulas keep no tables
    StringList tables;
    for (const std::size_t member : set->second.members) AddTablesOf(*entries_[member].formula, tables);
    return tables;
  }
  if (set->second.failure) std::rethrow_exception(set->second.failure);
  return set->second.tables;
}

// As FieldsReferencingSet of Formula lists them, split at the list separator.
std::unordered_map<std::string, StringList> SetIndex::References() const {
  std::unordered_map<std::string, StringList> referenced;
  const auto walk = [&](const auto& self, const Section& section) -> void {
    for (const auto& child : section.children_) {
      if (const auto group = tree::AsSection(child)) {
        self(self, *group);
      } else if (const auto item = tree::AsItem(child); item && item->IsSetReference()) {
        StringList& fields = referenced[SetKey(item->Table())];
        for (const std::string& field : SplitList(item->Field())) AppendUniqueToList(fields, field);
      }
    }
  };
  for (const Entry& entry : entries_) {
    for (const auto& section : entry.formula->sections_) walk(walk, *section);
  }
  return referenced;
}

void SetIndex::ReadChanged(const std::vector<std::shared_ptr<Formula>>& formulas) {
  for (const Formula* formula : std::exchange(changed_, {})) {
    const auto found = positions_.find(formula);
    if (found == positions_.end()) continue;  // new (read below) or not in the report
    const std::size_t position = found->second;
    if (entries_[position].revision != ChangeNote::RevisionOf(*formula)) Store(position, formulas[position]);
  }
  for (const std::size_t position : std::vector<std::size_t>(opaque_)) Store(position, formulas[position]);
  for (std::size_t i = entries_.size(); i < formulas.size(); ++i) Store(i, formulas[i]);
  // Uses that resolve nothing (the set queries) leave their marks to the next run; repeats go first.
  if (marked_.size() > 2 * entries_.size() + 64) {
    std::sort(marked_.begin(), marked_.end());
    marked_.erase(std::unique(marked_.begin(), marked_.end()), marked_.end());
  }
}

void SetIndex::ReadAll(const std::vector<std::shared_ptr<Formula>>& formulas) {
  std::vector<Entry> previous = std::exchange(entries_, {});
  const std::unordered_map<const Formula*, std::size_t> previousPositions = std::exchange(positions_, {});
  changed_.clear();
  readers_.clear();
  readerPositions_ = 0;
  opaque_.clear();
  std::vector<bool> wasMarked(previous.size());  // by a use that resolved nothing since
  for (const std::size_t position : std::exchange(marked_, {})) wasMarked[position] = true;
  for (auto& [key, set] : sets_) {
    set.members.clear();
    touched_.insert(key);
  }
  for (const std::shared_ptr<Formula>& formula : formulas) {
    const auto found = previousPositions.find(formula.get());
    Entry* kept = found == previousPositions.end() ? nullptr : &previous[found->second];
    if (kept != nullptr && kept->formula == formula && !kept->opaque &&
        kept->revision == ChangeNote::RevisionOf(*formula)) {
      entries_.push_back(std::move(*kept));  // a formula listed twice reads its second entry afresh
      Index(entries_.size() - 1);
      if (wasMarked[found->second]) marked_.push_back(entries_.size() - 1);
    } else {
      Store(entries_.size(), formula);
    }
  }
}

void SetIndex::Store(std::size_t position, const std::shared_ptr<Formula>& formula) {
  Entry entry = Read(formula, connection_);
  if (position == entries_.size()) {
    entries_.push_back(std::move(entry));
  } else {
    Entry& old = entries_[position];
    if (old.opaque) opaque_.erase(std::find(opaque_.begin(), opaque_.end(), position));
    Set& set = sets_[old.setKey];
    set.members.erase(MemberAt(set.members, position));
    touched_.insert(old.setKey);
    old = std::move(entry);
  }
  Index(position);
  marked_.push_back(position);
}

void SetIndex::Index(std::size_t position) {
  const Entry& entry = entries_[position];
  positions_[entry.formula.get()] = position;
  if (entry.opaque) opaque_.push_back(position);
  Set& set = sets_[entry.setKey];
  set.members.insert(MemberAt(set.members, position), position);
  touched_.insert(entry.setKey);
  for (const FieldItem& field : entry.fieldItems) {
    std::vector<std::size_t>& readers = readers_[field.key];
    if (!readers.empty() && readers.back() == position) continue;
    readers.push_back(position);
    ++readerPositions_;
  }
}

// A formula reading two sets resolves them in the order of the sets, so a set that moved in that order is
// resolved again as well as one whose tables changed. A set moves when its first formula does; a set that
// comes or goes moves no other set against the rest.
void SetIndex::UpdateSets() {
  for (const std::string& key : std::exchange(touched_, {})) {
    if (key.empty()) continue;
    const auto found = sets_.find(key);
    Set& set = found->second;
    const StringList tables = std::move(set.tables);
    const bool failed = set.failure != nullptr;
    ReadTables(set);
    const std::optional<std::size_t> first =
        set.members.empty() ? std::nullopt : std::optional<std::size_t>(set.members.front());
    const bool moved = first != set.placed;
    if (failed || set.failure || moved || tables.Items() != set.tables.Items()) MarkReaders(key);
    if (moved) Place(key, set, first);
    if (set.failure) {
      failing_.insert(key);
    } else {
      failing_.erase(key);
    }
    if (!first) sets_.erase(found);
  }
}

void SetIndex::Place(const std::string& key, Set& set, std::optional<std::size_t> first) {
  // Another set may have taken the old place already.
  if (set.placed && order_.at(*set.placed) == key) order_.erase(*set.placed);
  if (first) order_.insert_or_assign(*first, key);
  set.placed = first;
}

void SetIndex::ReadTables(Set& set) const {
  set.tables = StringList();
  set.failure = nullptr;
  for (const std::size_t member : set.members) {
    const Entry& entry = entries_[member];
    if (entry.tablesFailure) {
      set.failure = entry.tablesFailure;
      return;
    }
    for (const std::string& table : entry.tables.Items()) AppendUniqueToList(set.tables, table);
  }
}

void SetIndex::MarkReaders(const std::string& key) {
  const auto readers = readers_.find(key);
  if (readers != readers_.end()) marked_.insert(marked_.end(), readers->second.begin(), readers->second.end());
}

void SetIndex::PlanWork(const std::shared_ptr<Item>& item, std::vector<SetWork>& work) {
  std::sort(marked_.begin(), marked_.end());
  marked_.erase(std::unique(marked_.begin(), marked_.end()), marked_.end());

  // By the first position of each set, which is the order of the sets: the sets the items read, and every
  // set whose tables failed, which fails the run when it reaches it. A set without tables resolves nothing.
  std::map<std::size_t, std::vector<std::shared_ptr<Item>>> plan;
  for (const std::string& key : failing_) plan[sets_.at(key).members.front()];
  const auto resolves = [](const Set& set) { return set.failure || !IsArrayEmpty(set.tables); };
  const auto addToItsSet = [&](const FieldItem& field) {
    if (field.malformed) {
      // A run over every item meets a malformed one in the first set it resolves.
      const auto first = std::find_if(order_.begin(), order_.end(),
                                      [&](const auto& placed) { return resolves(sets_.at(placed.second)); });
      if (first != order_.end()) plan[first->first].push_back(field.item);
      return;
    }
    const auto set = field.key.empty() ? sets_.end() : sets_.find(field.key);
    if (set != sets_.end() && resolves(set->second)) plan[set->second.members.front()].push_back(field.item);
  };
  for (const std::size_t position : marked_) {
    for (const FieldItem& field : entries_[position].fieldItems) addToItsSet(field);
  }
  if (item && item->ItemType() == kField) addToItsSet(FieldItemOf(item));
  for (auto& [first, items] : plan) {
    const Set& set = sets_.at(order_.at(first));
    work.push_back({set.tables, set.failure, std::move(items)});
  }
}

SetIndex::Entry SetIndex::Read(const std::shared_ptr<Formula>& formula, const db::Connection* connection) {
  Entry entry;
  entry.formula = formula;
  entry.revision = ChangeNote::RevisionOf(*formula);
  const Formula& node = *formula;
  entry.opaque = typeid(node) != MadeType<Formula>();  // its Name or children may be the host's
  if (!formula->name_.empty()) entry.setKey = SetKey(formula->Name());  // an unnamed formula reads as ""
  ReadFieldItems(*formula, connection, entry);
  if (!entry.setKey.empty()) {
    try {
      AddTablesOf(*formula, entry.tables);
    } catch (...) {  // raised where the set's tables are asked for, as reading them there would
      entry.tablesFailure = std::current_exception();
      entry.opaque = true;
    }
  }
  return entry;
}

// Depth first, children in order, as the report has always listed them.
void SetIndex::ReadFieldItems(const INode& holder, const db::Connection* connection, Entry& entry) {
  const auto visit = [&](const std::shared_ptr<INode>& child) {
    if (!child) return;
    if (!IsLibraryChildOf(*child, holder)) entry.opaque = true;
    if (child->ItemType() == kField) {
      if (const auto fieldItem = std::dynamic_pointer_cast<Item>(child)) {
        if (fieldItem->connection_.get() != connection) entry.opaque = true;
        entry.fieldItems.push_back(FieldItemOf(fieldItem));
        if (entry.fieldItems.back().malformed) entry.opaque = true;  // raises on every run
      }
    }
    if (child->Count() > 0) ReadFieldItems(*child, connection, entry);
  };
  if (typeid(holder) == MadeType<Section>()) {
    for (const auto& child : static_cast<const Section&>(holder).children_) visit(child);
  } else if (typeid(holder) == MadeType<Formula>()) {
    for (const auto& section : static_cast<const Formula&>(holder).sections_) visit(section);
  } else {
    for (int32_t i = 1; i <= holder.Count(); ++i) visit(holder.Child(i));
  }
}

// The key of Item.Table, read without building the bracketed text.
SetIndex::FieldItem SetIndex::FieldItemOf(const std::shared_ptr<Item>& fieldItem) {
  const std::string& value = fieldItem->value_;
  const std::size_t dot = value.find('.');
  const bool malformed = fieldItem->itemType_ != kField || dot == std::string::npos || dot == 0;
  return {malformed ? std::string() : SetKey(std::string_view(value).substr(0, dot)), fieldItem, malformed};
}

bool SetIndex::IsLibraryChildOf(const INode& node, const INode& holder) {
  const std::type_info& type = typeid(node);
  if (type == MadeType<Item>()) return static_cast<const Item&>(node).parent_.lock().get() == &holder;
  return type == MadeType<Section>() && static_cast<const Section&>(node).parent_.lock().get() == &holder;
}

}  // namespace talvane::detail
