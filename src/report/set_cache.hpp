#pragma once
// What the resolution of a report's set references learnt from each formula, kept from one resolution to
// the next. A report resolves its set references again for every set reference assigned and every formula
// renamed. Rather than walk every node of every formula each time, it reads only the formulas told changed
// (see ChangeNote) and the new ones, and resolves only their field items, plus those of every formula
// reading a set whose tables or place among the sets changed.
//
// The outcome is the one a resolution of every item gives: the items of one formula are resolved in the
// same order as there (set by set in list order, then in tree order), the resolution of an unchanged
// formula against unchanged sets and schema writes what is already there, and a formula writes into its
// own tree only. A formula whose changes cannot be seen (a node of the host's making, a node linked into two
// trees, an item on another connection) is read and resolved on every run. Nothing is kept across runs
// when the connection cannot tell whether its schema changed.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
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
  // Raises what reading a formula raises, and when a set's name cannot be told from the unnamed formulas;
  // the cache is then forgotten. `removals` is the formula list's count of removals: while it stays,
  // formulas are only ever appended, and only the formulas told changed (NoteChanged), the opaque ones and
  // the new ones are read; otherwise every formula's revision is checked.
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
  struct Entry {
    std::shared_ptr<Formula> formula;  // kept alive, so that no other formula takes its address
    uint64_t revision = 0;             // when it was read or last resolved
    // Holds something whose changes the revision does not show; read and resolved on every run.
    bool opaque = false;
    std::string setKey;  // the set's name stripped and upper-cased; empty for a formula outside every set
    StringList tables;   // of a formula in a set: its tables, stripped, first appearance first
    // Every field item in tree order, with its table part stripped and upper-cased (the key of a set).
    std::vector<std::pair<std::string, std::shared_ptr<Item>>> fieldItems;
  };
  struct Set {
    std::vector<std::size_t> members;  // the positions of its formulas, ascending
    StringList tables;  // theirs, in list order, as of the last run
  };

  static Entry Read(const std::shared_ptr<Formula>& formula, const db::Connection* connection);
  static void ReadFieldItems(const INode& holder, const db::Connection* connection, Entry& entry);
  static void AddFieldItem(const std::shared_ptr<Item>& item, Entry& entry);
  // The node was made by the library and is of no class derived by the host.
  static bool IsLibraryNode(const INode& node);
  // The node's parent as the library links it; null for a node not made by the library.
  static const INode* LinkedParent(const INode& node);

  // Reads the formulas told changed, the opaque ones and the new ones.
  void ReadChanged(const std::vector<std::shared_ptr<Formula>>& formulas);
  // Checks every formula, keeping the entries of unchanged ones wherever they moved, and indexes them anew.
  void ReadAll(const std::vector<std::shared_ptr<Formula>>& formulas);
  // Reads the formula into the entry at `position` (a new one when it is the end) and marks it.
  void Store(std::size_t position, const std::shared_ptr<Formula>& formula);
  // Files the entry at `position` under its set and under the sets it reads.
  void Index(std::size_t position);
  // Takes the touched sets' tables and the order of the sets from their members; marks the formulas reading
  // a set whose tables or place changed.
  void UpdateSets();
  void MarkReaders(const std::string& key);
  void PlanWork(const std::shared_ptr<Item>& item, std::vector<SetWork>& work);

  std::optional<std::string> schemaVersion_;
  const db::Connection* connection_ = nullptr;
  std::vector<Entry> entries_;                                 // in list order
  std::unordered_map<const Formula*, std::size_t> positions_;  // of each formula's entry
  std::vector<std::size_t> opaque_;                            // positions of the opaque entries
  std::unordered_map<std::string, Set> sets_;                  // by key
  std::vector<std::pair<std::size_t, std::string>> order_;     // the sets' keys by their first position
  std::unordered_set<std::string> touched_;                    // keys of the sets whose formulas were read
  // By key, positions of entries that read a field of that table or set. An entry read again adds its
  // position anew and leaves the old one: a position too many only resolves one formula more.
  std::unordered_map<std::string, std::vector<std::size_t>> readers_;
  std::size_t readerPositions_ = 0;  // kept in readers_, stale ones included
  std::vector<std::size_t> marked_;  // positions to resolve in this run, in any order, repeats allowed
  uint64_t runs_ = 0;                // Prepare calls so far
  std::optional<uint64_t> removals_;  // the list's removals at the last run; none: the next run checks all
  std::vector<const Formula*> changed_;  // told changed since the last run
};

}  // namespace talvane::detail
