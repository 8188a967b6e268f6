#pragma once
// What the resolution of a report's set references learnt from each formula, kept from one resolution to
// the next. A report resolves its set references again for every set reference assigned and every formula
// renamed; each resolution used to walk every node of every formula. With the cache it walks only the
// formulas whose revision moved since (see ChangeNote) and resolves only their field items, plus those of
// every formula reading a set whose tables changed.
//
// The outcome is the one a resolution of every item gives: the items of one formula are resolved in the
// same order as before (set by set in list order, then in tree order), the resolution of an unchanged
// formula against unchanged sets and schema writes what is already there, and a formula writes into its
// own tree only. A formula whose changes cannot be seen (a node of the host's making, a node linked into two
// trees, an item on another connection) is walked and resolved on every run. Nothing is kept across runs
// when the connection cannot tell whether its schema changed.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "talvane/foundation/string_list.hpp"
#include "talvane/fwd.hpp"

namespace talvane::detail {

class SetCache {
 public:
  // The field items of one set to resolve against its tables, in resolution order.
  struct SetWork {
    StringList tables;
    std::vector<std::shared_ptr<Item>> items;
  };

  // Brings the cache up to date with the formulas and fills `work`, set by set in the order of the report's
  // sets; `item`, a field item being assigned, comes last in its set. Returns the run's number for Commit.
  // Raises what reading a formula raises (the cache is then forgotten). 0, with the cache forgotten, when a
  // set's name cannot be told from the unnamed formulas.
  // `removals` is the formula list's count of removals: while it stays, formulas are only ever appended,
  // and only the formulas told changed (NoteChanged) and the new ones are read.
  uint64_t Prepare(const std::vector<std::shared_ptr<Formula>>& formulas, uint64_t removals,
                   const std::shared_ptr<db::Connection>& connection, const std::shared_ptr<Item>& item,
                   std::vector<SetWork>& work);
  // A formula's revision moved.
  void NoteChanged(const Formula& formula) noexcept;
  // After the run numbered `run` resolved its work: the formulas resolved are current as they now stand.
  // When another run began in the meantime (a run nested in this one), nothing is kept.
  void Commit(uint64_t run) noexcept;
  void Forget() noexcept;

  // The set a formula belongs to, stripped (empty for a formula in none), and, for one in a set, its tables
  // stripped and added to `tables` unless already there.
  static std::string SetNameOf(const Formula& formula);
  static void AddTablesOf(const Formula& formula, StringList& tables);

 private:
  // What each run checks of every formula, kept apart from the entries so that the check reads little.
  struct Stamp {
    const Formula* formula = nullptr;
    uint64_t revision = 0;
    // Holds something whose changes the revision does not show; read and resolved on every run.
    bool opaque = false;
  };
  struct Entry {
    std::shared_ptr<Formula> formula;  // kept alive, so that no other formula takes its address
    std::string setName;               // stripped; empty for a formula outside every set
    StringList tables;                 // of a formula in a set: its tables, stripped, first appearance first
    // Every field item in tree order, with its table part stripped and upper-cased (the key of a set).
    std::vector<std::pair<std::string, std::shared_ptr<Item>>> fieldItems;
  };

  static Entry Read(const std::shared_ptr<Formula>& formula, const db::Connection* connection, bool& opaque);
  static void ReadFieldItems(const INode& holder, const db::Connection* connection, Entry& entry, bool& opaque);
  static void AddFieldItem(const std::shared_ptr<Item>& item, Entry& entry);
  // The node was made by the library and is of no class derived by the host.
  static bool IsLibraryNode(const INode& node);
  // The node's parent as the library links it; null for a node not made by the library.
  static const INode* LinkedParent(const INode& node);

  // Brings the entries up to date with `formulas`, reusing every entry whose formula is unchanged and
  // marking the others for resolution. True when the formulas of the sets, or their order, may have changed.
  bool Refresh(const std::vector<std::shared_ptr<Formula>>& formulas, const db::Connection* connection);
  // The same when the list only grew since the last run: reads the formulas told changed and the new ones.
  // Sets `appendedToSets` to the entries that joined a set after all of its formulas (the sets' tables then
  // only grow); returns true when anything else about the sets may have changed.
  bool RefreshChanged(const std::vector<std::shared_ptr<Formula>>& formulas, const db::Connection* connection,
                      std::vector<std::size_t>& appendedToSets);
  // Reads the entry at `position` again (a new one at the end) and keeps the positions of the set formulas
  // in order. Returns whether it was or is in a set, and in `joinedAtEnd` whether it joined a set after every
  // other formula of the report's sets.
  bool Restore(std::size_t position, const std::shared_ptr<Formula>& formula, const db::Connection* connection,
               bool& joinedAtEnd);
  void RefreshMoved(const std::vector<std::shared_ptr<Formula>>& formulas, std::size_t from,
                    const db::Connection* connection);
  // Reads the formula into the entry at `position` (a new one when it is the end) and marks it.
  void Store(std::size_t position, const std::shared_ptr<Formula>& formula, const db::Connection* connection);
  void AddReader(std::size_t position, const Entry& entry);
  void RebuildPositions();
  // Rebuilds the set names and tables; marks for resolution the entries reading a set whose tables changed,
  // or every entry when the order of the sets changed.
  void Reindex();
  // The sets' names and tables after the entries at `positions` joined their sets at the end.
  void ReindexAppended(const std::vector<std::size_t>& positions);
  void MarkReaders(const std::string& key);
  void MarkAll();
  void PlanWork(const std::shared_ptr<Item>& item, std::vector<SetWork>& work);

  std::optional<std::string> schemaVersion_;
  const db::Connection* connection_ = nullptr;
  std::vector<Stamp> stamps_;
  std::vector<Entry> entries_;  // at the same positions as stamps_
  std::vector<std::size_t> inSets_;  // positions of the entries in a set, ascending
  // By key, positions of entries that read a field of that table or set. An entry read again adds its
  // position anew and leaves the old ones: a position too many only resolves one formula more.
  std::unordered_map<std::string, std::vector<std::size_t>> readers_;
  std::size_t readerPositions_ = 0;  // kept in readers_, stale ones included
  std::vector<std::size_t> marked_;  // positions to resolve in this run, in any order, repeats allowed
  bool indexed_ = false;
  StringList setNames_;                                      // list order, first spelling
  std::unordered_map<std::string, StringList> tablesBySet_;  // by upper-cased name
  uint64_t runs_ = 0;                                        // Prepare calls so far
  std::optional<uint64_t> removals_;                         // the list's removals at the last run
  std::vector<const Formula*> changed_;                      // told changed since the last run
  std::unordered_map<const Formula*, std::size_t> positions_;  // of each formula's entry
  std::size_t opaqueEntries_ = 0;
};

}  // namespace talvane::detail
