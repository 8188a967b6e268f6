#pragma once
// The index of a report's sets: formulas sharing a name form a set. It is read by the resolution of set
// references, by the report's set queries and by the statement builder, and kept from one use to the next:
// brought up to date, it reads only the formulas told changed (see ChangeNote) and the new ones.
//
// For the resolution it also files every field item under the table or set it names, and plans a run over
// the field items of the formulas read since the last run, plus those of every formula reading a set whose
// tables or place among the sets changed. The outcome is the one a run over every item gives: items are
// resolved set by set in the order of the sets, then in list and tree order; the resolution of an unchanged
// formula against unchanged sets and schema writes what is already there; and a formula writes into its own
// tree only. A formula whose changes cannot be seen (a node of the host's making, a node linked into two
// trees, an item on another connection, an item whose table cannot be read) is read on every use. Nothing
// is kept across uses when the connection cannot tell whether its schema changed.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "talvane/foundation/string_list.hpp"
#include "talvane/fwd.hpp"

namespace talvane::detail {

// The key of a set's name, or of the table part of a reference: brackets stripped, letters upper-cased.
std::string SetKey(std::string_view name);

class SetIndex {
 public:
  // The field items of one set to resolve against its tables, in resolution order. A set whose tables
  // cannot be read carries that failure, raised when a run reaches the set. A malformed item raises what
  // Item.Table raises when a run reaches it.
  struct SetWork {
    StringList tables;
    std::exception_ptr failure;
    std::vector<std::shared_ptr<Item>> items;
  };

  // Brings the index up to date with the formulas. `removals` is the formula list's count of removals:
  // while it stays, formulas are only ever appended, and the formulas told changed (NoteChanged), the
  // opaque ones and the new ones are read; otherwise every formula's revision is checked.
  void Refresh(const std::vector<std::shared_ptr<Formula>>& formulas, uint64_t removals,
               const std::shared_ptr<db::Connection>& connection);
  // Refreshes and fills `work`, set by set in the order of the sets; `item`, a field item being assigned,
  // comes last in its set. Returns the run's number for Commit.
  uint64_t Prepare(const std::vector<std::shared_ptr<Formula>>& formulas, uint64_t removals,
                   const std::shared_ptr<db::Connection>& connection, const std::shared_ptr<Item>& item,
                   std::vector<SetWork>& work);
  // A formula's revision moved.
  void NoteChanged(const Formula& formula) noexcept;
  // After the run numbered `run` resolved its work: the formulas resolved are current as they now stand.
  // When the index was used in the meantime (a run nested in this one), nothing is kept.
  void Commit(uint64_t run) noexcept;
  void Forget() noexcept;

  // As of the last Refresh: the first formula of each set, in list order (it names the set).
  std::vector<std::shared_ptr<Formula>> FirstFormulas() const;
  // The formulas of the set `name` in list order; the unnamed formulas for a name that strips to nothing.
  std::vector<std::shared_ptr<Formula>> Members(std::string_view name) const;
  // Their tables, stripped, first appearance first; raises what reading a member's tables raises.
  StringList Tables(std::string_view name) const;
  // By the key of each set, the fields that the formulas' references to it read, in list and tree order.
  std::unordered_map<std::string, StringList> References() const;

 private:
  struct FieldItem {
    std::string key;  // SetKey of its table part
    std::shared_ptr<Item> item;
    bool malformed = false;  // Item.Table raises
  };
  struct Entry {
    std::shared_ptr<Formula> formula;  // kept alive, so that no other formula takes its address
    uint64_t revision = 0;             // when it was read or last resolved
    // Holds something whose changes the revision does not show; read on every use.
    bool opaque = false;
    std::string setKey;  // SetKey of its name; empty for an unnamed formula
    // Of a formula in a set: its tables, stripped, first appearance first, or what reading them raised.
    StringList tables;
    std::exception_ptr tablesFailure;
    std::vector<FieldItem> fieldItems;  // in tree order
  };
  struct Set {
    std::vector<std::size_t> members;  // the positions of its formulas, ascending
    StringList tables;                 // theirs, in list order, as of the last refresh
    std::exception_ptr failure;        // the first member's that failed
    std::optional<std::size_t> placed;  // its first position as order_ has it
  };

  static Entry Read(const std::shared_ptr<Formula>& formula, const db::Connection* connection);
  static void ReadFieldItems(const INode& holder, const db::Connection* connection, Entry& entry);
  static FieldItem FieldItemOf(const std::shared_ptr<Item>& item);
  // The node is an item or section the library made (of no class derived by the host), linked to `holder`.
  static bool IsLibraryChildOf(const INode& node, const INode& holder);

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
  void ReadTables(Set& set) const;
  void MarkReaders(const std::string& key);
  // Files the set under its first position in order_ (none: takes it out).
  void Place(const std::string& key, Set& set, std::optional<std::size_t> first);
  // The work of a run: the marked formulas' field items and `item`, each under the set it reads; costs what
  // those items cost, not what the report's sets do.
  void PlanWork(const std::shared_ptr<Item>& item, std::vector<SetWork>& work);

  std::optional<std::string> schemaVersion_;
  const db::Connection* connection_ = nullptr;
  std::vector<Entry> entries_;                                 // in list order
  std::unordered_map<const Formula*, std::size_t> positions_;  // of each formula's entry
  std::vector<std::size_t> opaque_;                            // positions of the opaque entries
  // By key; the unnamed formulas under the empty key, which names no set and keeps no tables.
  std::unordered_map<std::string, Set> sets_;
  std::map<std::size_t, std::string> order_;  // the sets' keys by their first position
  std::unordered_set<std::string> failing_;   // keys of the sets whose tables failed
  std::unordered_set<std::string> touched_;                 // keys of the sets whose formulas were read
  // By key, positions of entries that read a field of that table or set. An entry read again adds its
  // position anew and leaves the old one: a position too many only resolves one formula more.
  std::unordered_map<std::string, std::vector<std::size_t>> readers_;
  std::size_t readerPositions_ = 0;  // kept in readers_, stale ones included
  std::vector<std::size_t> marked_;  // positions the next run resolves, in any order, repeats allowed
  uint64_t uses_ = 0;                // Refresh calls so far
  std::optional<uint64_t> removals_;  // the list's removals at the last refresh; none: the next checks all
  std::vector<const Formula*> changed_;  // told changed since the last refresh
};

}  // namespace talvane::detail
