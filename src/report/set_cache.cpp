#include "report/set_cache.hpp"

#include <algorithm>
#include <typeinfo>
#include <unordered_set>

#include "formula/change_note.hpp"
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

// The key of a set: its name, stripped once, upper-cased.
std::string KeyOfName(std::string_view name) { return UpperAscii(name); }

// The names of `names`, by key, that are also in `others`, in order.
std::vector<std::string> KeysAlsoIn(const StringList& names, const StringList& others) {
  std::unordered_set<std::string> present;
  for (const std::string& name : others.Items()) present.insert(KeyOfName(name));
  std::vector<std::string> keys;
  for (const std::string& name : names.Items()) {
    if (present.count(KeyOfName(name)) != 0) keys.push_back(KeyOfName(name));
  }
  return keys;
}

}  // namespace

uint64_t SetCache::Prepare(const std::vector<std::shared_ptr<Formula>>& formulas, uint64_t removals,
                           const std::shared_ptr<db::Connection>& connection, const std::shared_ptr<Item>& item,
                           std::vector<SetWork>& work) {
  const uint64_t run = ++runs_;
  try {
    std::optional<std::string> version = connection ? connection->Schema().Version() : std::nullopt;
    if (!version || version != schemaVersion_ || connection.get() != connection_) Forget();
    schemaVersion_ = std::move(version);
    connection_ = connection.get();
    ChangeNote::MarkChangesUnderWay();  // a formula being built is read as it stands now
    const bool onlyGrew = indexed_ && removals_ == removals && formulas.size() >= stamps_.size() &&
                          opaqueEntries_ == 0;
    removals_ = removals;
    std::vector<std::size_t> appendedToSets;
    if (!onlyGrew) {
      changed_.clear();
      if (Refresh(formulas, connection_) || !indexed_) Reindex();
    } else if (RefreshChanged(formulas, connection_, appendedToSets)) {
      Reindex();
    } else if (!appendedToSets.empty()) {
      ReindexAppended(appendedToSets);
    }
    for (const std::string& name : setNames_.Items()) {
      if (UpperAscii(StripBrackets(name)).empty()) {  // would match the unnamed formulas
        Forget();
        return 0;
      }
    }
    PlanWork(item, work);
  } catch (...) {
    Forget();
    throw;
  }
  return run;
}

void SetCache::Commit(uint64_t run) noexcept {
  if (run != runs_ || !schemaVersion_) {
    Forget();
    return;
  }
  // The run wrote what a run writes: those formulas are current as they now stand.
  for (const std::size_t position : marked_) {
    if (position < stamps_.size()) stamps_[position].revision = ChangeNote::RevisionOf(*entries_[position].formula);
  }
  marked_.clear();
}

void SetCache::NoteChanged(const Formula& formula) noexcept {
  // Changes made while no resolution runs pile up; past a few per formula, the next run reads every formula.
  if (changed_.size() > 4 * stamps_.size() + 1024) {
    changed_.clear();
    removals_.reset();
    return;
  }
  try {
    changed_.push_back(&formula);
  } catch (...) {  // out of memory: the next run reads every formula
    removals_.reset();
  }
}

void SetCache::Forget() noexcept {
  removals_.reset();
  changed_.clear();
  positions_.clear();
  opaqueEntries_ = 0;
  schemaVersion_.reset();
  connection_ = nullptr;
  stamps_.clear();
  entries_.clear();
  inSets_.clear();
  readers_.clear();
  marked_.clear();
  indexed_ = false;
  setNames_ = StringList();
  tablesBySet_.clear();
}

bool SetCache::Refresh(const std::vector<std::shared_ptr<Formula>>& formulas, const db::Connection* connection) {
  marked_.clear();
  // Usually the list is as it was, or longer: the entries are checked where they stand.
  bool setsChanged = false;
  std::size_t i = 0;
  for (const std::size_t common = std::min(formulas.size(), stamps_.size()); i < common; ++i) {
    const Stamp& stamp = stamps_[i];
    const Formula* formula = formulas[i].get();
    if (stamp.formula != formula || formula == nullptr) break;
    if (!stamp.opaque && stamp.revision == ChangeNote::RevisionOf(*formula)) continue;
    bool joinedAtEnd = false;
    if (Restore(i, formulas[i], connection, joinedAtEnd)) setsChanged = true;
  }
  if (i == formulas.size() && i == stamps_.size()) {
    // Formulas read again leave their old positions behind; past a few per field, start afresh.
    if (readerPositions_ > 8 * entries_.size() + 4096) RebuildPositions();
    return setsChanged;
  }
  const bool appended = i == stamps_.size() &&
                        std::none_of(formulas.begin() + static_cast<std::ptrdiff_t>(i), formulas.end(),
                                     [](const auto& formula) { return formula == nullptr; });
  if (!appended) {
    RefreshMoved(formulas, i, connection);
    return true;
  }
  for (; i < formulas.size(); ++i) {
    bool joinedAtEnd = false;
    if (Restore(i, formulas[i], connection, joinedAtEnd)) setsChanged = true;
  }
  return setsChanged;
}

bool SetCache::RefreshChanged(const std::vector<std::shared_ptr<Formula>>& formulas,
                              const db::Connection* connection, std::vector<std::size_t>& appendedToSets) {
  marked_.clear();
  bool setsChanged = false;
  const auto restore = [&](std::size_t position) {
    bool joinedAtEnd = false;
    if (!Restore(position, formulas[position], connection, joinedAtEnd)) return;
    if (joinedAtEnd) {
      appendedToSets.push_back(position);
    } else {
      setsChanged = true;
    }
  };
  const std::size_t known = stamps_.size();
  for (const Formula* formula : std::exchange(changed_, {})) {
    const auto found = positions_.find(formula);
    if (found == positions_.end() || found->second >= known) continue;
    const std::size_t position = found->second;
    if (formulas[position].get() != formula) return true;  // not where it was: read everything
    if (stamps_[position].revision == ChangeNote::RevisionOf(*formula)) continue;  // read already
    restore(position);
  }
  for (std::size_t i = known; i < formulas.size(); ++i) {
    if (!formulas[i]) return true;
    restore(i);
  }
  if (readerPositions_ > 8 * entries_.size() + 4096) RebuildPositions();
  return setsChanged;
}

bool SetCache::Restore(std::size_t position, const std::shared_ptr<Formula>& formula,
                       const db::Connection* connection, bool& joinedAtEnd) {
  const bool known = position < entries_.size();
  const bool wasInSet = known && !entries_[position].setName.empty();
  const std::string oldKey = wasInSet ? KeyOfName(entries_[position].setName) : std::string();
  const StringList oldTables = wasInSet ? entries_[position].tables : StringList();
  const bool behindEverySet = inSets_.empty() || inSets_.back() < position;
  Store(position, formula, connection);
  const Entry& entry = entries_[position];
  const bool inSet = !entry.setName.empty();
  joinedAtEnd = !wasInSet && inSet && behindEverySet;
  if (wasInSet != inSet) {
    const auto at = std::lower_bound(inSets_.begin(), inSets_.end(), position);
    if (inSet) inSets_.insert(at, position); else inSets_.erase(at);
  }
  // Read again with the same set and tables (its items typed by the last run, say): the sets are as they were.
  const bool setUnchanged = wasInSet && inSet && KeyOfName(entry.setName) == oldKey &&
                            entry.tables.Items() == oldTables.Items();
  return (wasInSet || inSet) && !setUnchanged;
}

// From position `from` on, formulas were removed, moved or replaced: each unchanged formula keeps its entry
// wherever it went, and the positions kept by key are built again.
void SetCache::RefreshMoved(const std::vector<std::shared_ptr<Formula>>& formulas, std::size_t from,
                            const db::Connection* connection) {
  std::unordered_map<const Formula*, std::pair<Stamp, Entry>> previous;
  for (std::size_t k = from; k < entries_.size(); ++k) {
    previous.emplace(stamps_[k].formula, std::make_pair(stamps_[k], std::move(entries_[k])));
  }
  stamps_.resize(from);
  entries_.resize(from);
  for (std::size_t i = from; i < formulas.size(); ++i) {
    const std::shared_ptr<Formula>& formula = formulas[i];
    if (!formula) continue;
    const auto found = previous.find(formula.get());
    const bool unchanged = found != previous.end() && !found->second.first.opaque &&
                           found->second.first.revision == ChangeNote::RevisionOf(*formula);
    if (unchanged) {
      stamps_.push_back(found->second.first);
      entries_.push_back(std::move(found->second.second));
      previous.erase(found);  // a formula listed twice reads its second entry afresh
    } else {
      Store(stamps_.size(), formula, connection);
    }
  }
  RebuildPositions();
}

void SetCache::Store(std::size_t position, const std::shared_ptr<Formula>& formula,
                     const db::Connection* connection) {
  bool opaque = false;
  Entry entry = Read(formula, connection, opaque);
  Stamp stamp{formula.get(), ChangeNote::RevisionOf(*formula), opaque};
  AddReader(position, entry);
  if (position == entries_.size()) {
    stamps_.push_back(stamp);
    entries_.push_back(std::move(entry));
  } else {
    if (stamps_[position].opaque) --opaqueEntries_;
    stamps_[position] = stamp;
    entries_[position] = std::move(entry);
  }
  if (opaque) ++opaqueEntries_;
  positions_[formula.get()] = position;
  marked_.push_back(position);
}

void SetCache::AddReader(std::size_t position, const Entry& entry) {
  for (const auto& field : entry.fieldItems) {
    std::vector<std::size_t>& readers = readers_[field.first];
    if (!readers.empty() && readers.back() == position) continue;
    readers.push_back(position);
    ++readerPositions_;
  }
}

void SetCache::RebuildPositions() {
  inSets_.clear();
  readers_.clear();
  positions_.clear();
  readerPositions_ = 0;
  opaqueEntries_ = 0;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (!entries_[i].setName.empty()) inSets_.push_back(i);
    AddReader(i, entries_[i]);
    positions_[stamps_[i].formula] = i;
    if (stamps_[i].opaque) ++opaqueEntries_;
  }
}

void SetCache::Reindex() {
  StringList names;
  std::unordered_map<std::string, StringList> tables;
  for (const std::size_t position : inSets_) {
    const Entry& entry = entries_[position];
    const auto [set, first] = tables.try_emplace(KeyOfName(entry.setName));
    if (first) AppendToList(names, entry.setName);  // the first spelling of each set, in list order
    for (const std::string& table : entry.tables.Items()) AppendUniqueToList(set->second, table);
  }

  // A formula reading two sets resolves them in the order of the sets: when that order changes for sets
  // that were there before, everything is resolved again.
  if (indexed_ && KeysAlsoIn(names, setNames_) != KeysAlsoIn(setNames_, names)) {
    MarkAll();
  } else {
    for (const auto& [key, setTables] : tables) {
      const auto before = tablesBySet_.find(key);
      if (before == tablesBySet_.end() || before->second.Items() != setTables.Items()) MarkReaders(key);
    }
    for (const auto& entry : tablesBySet_) {
      if (tables.count(entry.first) == 0) MarkReaders(entry.first);
    }
  }
  setNames_ = std::move(names);
  tablesBySet_ = std::move(tables);
  indexed_ = true;
}

// Entries that join their sets after every formula of the sets add their tables at the end of their set's
// tables, and a new set comes after the others: what Reindex would build, without reading every set formula.
void SetCache::ReindexAppended(const std::vector<std::size_t>& positions) {
  for (const std::size_t position : positions) {
    const Entry& entry = entries_[position];
    const std::string key = KeyOfName(entry.setName);
    const auto [set, added] = tablesBySet_.try_emplace(key);
    if (added) AppendToList(setNames_, entry.setName);
    const std::size_t before = set->second.Size();
    for (const std::string& table : entry.tables.Items()) AppendUniqueToList(set->second, table);
    if (added || set->second.Size() != before) MarkReaders(key);
  }
}

void SetCache::MarkReaders(const std::string& key) {
  const auto readers = readers_.find(key);
  if (readers != readers_.end()) marked_.insert(marked_.end(), readers->second.begin(), readers->second.end());
}

void SetCache::MarkAll() {
  marked_.resize(entries_.size());
  for (std::size_t i = 0; i < marked_.size(); ++i) marked_[i] = i;
}

void SetCache::PlanWork(const std::shared_ptr<Item>& item, std::vector<SetWork>& work) {
  std::sort(marked_.begin(), marked_.end());
  marked_.erase(std::unique(marked_.begin(), marked_.end()), marked_.end());
  while (!marked_.empty() && marked_.back() >= entries_.size()) marked_.pop_back();

  std::unordered_map<std::string, std::size_t> slots;
  for (const std::string& name : setNames_.Items()) {
    const std::string key = KeyOfName(name);
    const auto tables = tablesBySet_.find(key);
    if (tables == tablesBySet_.end() || IsArrayEmpty(tables->second)) continue;
    slots.emplace(key, work.size());
    work.push_back({tables->second, {}});
  }
  if (work.empty()) return;
  for (const std::size_t position : marked_) {
    for (const auto& [key, fieldItem] : entries_[position].fieldItems) {
      const auto slot = slots.find(key);
      if (slot != slots.end()) work[slot->second].items.push_back(fieldItem);
    }
  }
  if (item && item->ItemType() == kField) {
    Entry loose;
    AddFieldItem(item, loose);
    const auto slot = slots.find(loose.fieldItems.front().first);
    if (slot != slots.end()) work[slot->second].items.push_back(item);
  }
}

SetCache::Entry SetCache::Read(const std::shared_ptr<Formula>& formula, const db::Connection* connection,
                               bool& opaque) {
  Entry entry;
  entry.formula = formula;
  const Formula& node = *formula;
  opaque = typeid(node) != MadeType<Formula>();  // its Name or children may be the host's
  entry.setName = SetNameOf(*formula);
  if (!entry.setName.empty()) AddTablesOf(*formula, entry.tables);
  ReadFieldItems(*formula, connection, entry, opaque);
  return entry;
}

std::string SetCache::SetNameOf(const Formula& formula) {
  if (formula.name_.empty()) return {};  // an unnamed formula reads back as the empty name
  return StripBrackets(formula.Name());
}

void SetCache::AddTablesOf(const Formula& formula, StringList& tables) {
  for (const std::string& table : SplitList(formula.Tables())) AppendUniqueToList(tables, StripBrackets(table));
}

// Depth first, children in order, as the report has always listed them.
void SetCache::ReadFieldItems(const INode& holder, const db::Connection* connection, Entry& entry,
                              bool& opaque) {
  const auto visit = [&](const std::shared_ptr<INode>& child) {
    if (!child) return;
    if (!IsLibraryNode(*child) || LinkedParent(*child) != &holder) opaque = true;
    if (child->ItemType() == kField) {
      if (const auto fieldItem = std::dynamic_pointer_cast<Item>(child)) {
        if (fieldItem->connection_.get() != connection) opaque = true;
        AddFieldItem(fieldItem, entry);
      }
    }
    if (child->Count() > 0) ReadFieldItems(*child, connection, entry, opaque);
  };
  if (typeid(holder) == MadeType<Section>()) {
    for (const auto& child : static_cast<const Section&>(holder).children_) visit(child);
  } else if (typeid(holder) == MadeType<Formula>()) {
    for (const auto& section : static_cast<const Formula&>(holder).sections_) visit(section);
  } else {
    for (int32_t i = 1; i <= holder.Count(); ++i) visit(holder.Child(i));
  }
}

// The key of Item.Table with its brackets stripped, read without building the bracketed text.
void SetCache::AddFieldItem(const std::shared_ptr<Item>& fieldItem, Entry& entry) {
  const std::string& value = fieldItem->value_;
  const std::size_t dot = value.find('.');
  if (fieldItem->itemType_ != kField || dot == std::string::npos || dot == 0) {
    static_cast<void>(fieldItem->Table());  // raises what Table raises
  }
  std::string_view table = std::string_view(value).substr(0, dot);
  if (!table.empty() && table.front() == '[') table.remove_prefix(1);
  if (!table.empty() && table.back() == ']') table.remove_suffix(1);
  entry.fieldItems.emplace_back(UpperAscii(table), fieldItem);
}

bool SetCache::IsLibraryNode(const INode& node) {
  const std::type_info& type = typeid(node);
  return type == MadeType<Item>() || type == MadeType<Section>();
}

const INode* SetCache::LinkedParent(const INode& node) {
  if (const auto* item = dynamic_cast<const Item*>(&node)) return item->parent_.lock().get();
  if (const auto* section = dynamic_cast<const Section*>(&node)) return section->parent_.lock().get();
  return nullptr;
}

}  // namespace talvane::detail
