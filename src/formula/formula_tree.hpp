#pragma once
// Helpers shared by the node classes Item, Section and Formula: telling children apart, the data type
// rule of a group, and the ", "-separated lists that the tree walks return.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>

#include "talvane/foundation/enums.hpp"
#include "talvane/fwd.hpp"

namespace talvane::tree {

// Parent chains are walked upwards without recursion; a host that links parents into a loop must not
// make a walk endless, so every upward walk stops after this many steps.
constexpr int32_t kMaxParentWalk = 1024;

constexpr std::string_view kTotalFunction = "TOTAL";

// SUM, COUNT, MAX, MIN or AVG (TOTAL is not an aggregate: it renders as a subquery of its own).
bool IsAggregateFunction(std::string_view function);

// Whether an operand of the formula holds an aggregate (TOTAL is none); Formula::Aggragate also counts the
// aggregates of the output fields the formula is grouped with.
bool HoldsAggregate(const Formula& formula);

// Whether `holds` is true of a node anywhere below `node`: its children, and theirs in every group.
bool AnyBelow(const INode& node, const std::function<bool(const INode&)>& holds);
// Whether a COUNT group stands anywhere below the node.
bool HoldsCount(const INode& node);

// The language level of the report the node's formula belongs to; 1 for a node outside a report.
int32_t LanguageLevelOf(std::shared_ptr<INode> node);

// The type a node gives the expression around it: a COUNT group at language level 2 is a number whatever it
// counts; any other node is of its own type (the group must have one).
ITEMDATATYPEENUM OperandType(const std::shared_ptr<INode>& node);
// The type a group passes on to the expression around it when its own type is `inner`.
ITEMDATATYPEENUM OperandType(const Section& group, ITEMDATATYPEENUM inner);

// True when the columns directly inside the group are taken as they are, a missing value staying missing
// (elsewhere a missing number counts as 0): at language level 2, inside COUNT and in the left operand of
// IS NULL and IS NOT NULL.
bool TakesValuesAsTheyAre(const std::shared_ptr<INode>& node);

// True inside a group that adds to or subtracts from a date at language level 2: a date is a number of
// days there.
bool CountsDatesInDays(const std::shared_ptr<INode>& node);

// Comparisons by their canonical text. IN and NOT IN take a list, BETWEEN and NOT BETWEEN two bounds, IS NULL
// and IS NOT NULL no right operand.
bool IsListComparison(std::string_view comparison);
bool IsRangeComparison(std::string_view comparison);
bool IsNullTest(std::string_view comparison);

// At language level 2, the type of a group after `op` and an operand of type `next`: a date plus or minus
// days is a date, a date minus a date a number of days; none when the two do not make date arithmetic.
std::optional<ITEMDATATYPEENUM> DateArithmetic(ITEMDATATYPEENUM current, std::string_view op, ITEMDATATYPEENUM next);

// A missing connection counts as closed.
bool ConnectionIsOpen(const std::shared_ptr<db::Connection>& connection);

// A set's name as the nodes keep it: blanks around it and one pair of brackets removed.
std::string BareSetName(std::string_view value);
// A set's name becomes a bracketed alias and the table part of [name].[field]: it can hold neither a dot
// nor anything that cannot stand between brackets.
bool IsUsableSetName(std::string_view bareName);

// The child as a Section when its kind says it is a group and it really is one; null otherwise.
std::shared_ptr<Section> AsSection(const std::shared_ptr<INode>& node);
// The child as an Item when its kind does not say it is a group and it really is one; null otherwise.
std::shared_ptr<Item> AsItem(const std::shared_ptr<INode>& node);

// The data type of a group after one more operand: a string group takes anything, any other group
// stays what it is only while the operands agree.
ITEMDATATYPEENUM Combine(ITEMDATATYPEENUM current, ITEMDATATYPEENUM next);

// Appends `text` to `joined`, with one blank before it when `joined` is not empty.
void AppendWithBlank(std::string& joined, std::string_view text);
// Appends a list entry (or a whole list text), with ", " before it when `list` is not empty.
void AppendListed(std::string& list, std::string_view text);

// A list of distinct entries in the order first met, kept as ", "-separated text. Membership is tested
// on whole entries through a hash set, so collecting n entries costs O(n) rather than rescanning the
// text for every entry.
class EntryList {
 public:
  explicit EntryList(bool ignoreCase) : ignoreCase_(ignoreCase) {}
  void Add(std::string_view entry);
  // Adds every entry of a ", "-separated list text.
  void AddAll(std::string_view listText);
  const std::string& Text() const { return text_; }

 private:
  bool ignoreCase_;
  std::unordered_set<std::string> seen_;
  std::string text_;
};

// How a node fits below a parent: its subtree is measured without recursion, so a host-built tree of any
// depth cannot exhaust the stack here.
enum class SubtreeFit { kFits, kHoldsTarget, kTooDeep };
// kHoldsTarget when `target` stands in the subtree of `root` (root included); kTooDeep when the subtree
// holds more than `maxHeight` levels of groups (a section with only items is one level, an item none).
SubtreeFit MeasureSubtree(const std::shared_ptr<INode>& root, const INode* target, int32_t maxHeight);

}  // namespace talvane::tree
