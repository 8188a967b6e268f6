#include "formula/formula_tree.hpp"

#include <utility>
#include <vector>

#include "talvane/db/connection.hpp"
#include "talvane/formula/formula.hpp"
#include "talvane/formula/item.hpp"
#include "talvane/formula/section.hpp"
#include "talvane/foundation/brackets.hpp"
#include "talvane/foundation/clean_text.hpp"
#include "talvane/foundation/error.hpp"
#include "talvane/foundation/string_list.hpp"

namespace talvane::tree {

bool IsAggregateFunction(std::string_view function) {
  return function == "SUM" || function == "COUNT" || function == "MAX" || function == "MIN" || function == "AVG";
}

std::string BareSetName(std::string_view value) {
  return StripBrackets(CleanText(value, kCleanTrimLeft | kCleanTrimRight, {}, {}, kWsAll));
}

bool IsUsableSetName(std::string_view bareName) {
  return CanBracket(bareName) && bareName.find('.') == std::string_view::npos;
}

bool HoldsAggregate(const Formula& formula) {
  for (int32_t i = 1; i <= formula.Count(); ++i) {
    const std::shared_ptr<Section> section = AsSection(formula.Node(i));
    if (!section) continue;
    const std::string function = section->SectionFunction();
    if (function == kTotalFunction) continue;
    if (IsAggregateFunction(function) || section->Aggragate()) return true;
  }
  return false;
}

bool AnyBelow(const INode& node, const std::function<bool(const INode&)>& holds) {
  for (int32_t i = 1; i <= node.Count(); ++i) {
    const std::shared_ptr<INode> child = node.Child(i);
    if (holds(*child)) return true;
    if (const std::shared_ptr<Section> group = AsSection(child); group && AnyBelow(*group, holds)) return true;
  }
  return false;
}

bool HoldsCount(const INode& node) {
  return AnyBelow(node, [](const INode& child) {
    const auto* group = dynamic_cast<const Section*>(&child);
    return group != nullptr && group->SectionFunction() == "COUNT";
  });
}

int32_t LanguageLevelOf(std::shared_ptr<INode> node) {
  for (int32_t step = 0; node && node->ItemType() != kFormula && step < kMaxParentWalk; ++step) {
    node = node->Parent();
  }
  const auto formula = std::dynamic_pointer_cast<Formula>(node);
  return formula ? formula->LanguageLevel() : 1;
}

ITEMDATATYPEENUM OperandType(const Section& group, ITEMDATATYPEENUM inner) {
  const bool countsAtLevelTwo = group.SectionFunction() == "COUNT" &&
                                LanguageLevelOf(std::const_pointer_cast<INode>(group.shared_from_this())) == 2;
  return countsAtLevelTwo ? kIsNumeric : inner;
}

ITEMDATATYPEENUM OperandType(const std::shared_ptr<INode>& node) {
  const std::shared_ptr<Section> group = AsSection(node);
  return group ? OperandType(*group, group->DataType()) : node->DataType();
}

bool TakesValuesAsTheyAre(const std::shared_ptr<INode>& node) {
  const std::shared_ptr<Section> group = AsSection(node);
  if (!group) return false;
  if (group->SectionFunction() == "COUNT") return LanguageLevelOf(group) == 2;
  const auto formula = std::dynamic_pointer_cast<Formula>(group->Parent());
  return formula && IsNullTest(formula->Comparison()) && formula->Count() > 0 && formula->Node(1) == group;
}

bool CountsDatesInDays(const std::shared_ptr<INode>& node) {
  const std::shared_ptr<Section> group = AsSection(node);
  if (!group || LanguageLevelOf(group) != 2) return false;
  for (int32_t i = 1; i <= group->Count(); ++i) {
    const auto item = AsItem(group->Node(i));
    if (item && item->ItemType() == kArith && (item->Value() == "+" || item->Value() == "-")) {
      try {
        return group->DataType() != kIsString;  // a text expression joins texts
      } catch (const Error&) {
        return false;
      }
    }
  }
  return false;
}

bool IsListComparison(std::string_view comparison) { return comparison == "IN" || comparison == "NOT IN"; }
bool IsRangeComparison(std::string_view comparison) { return comparison == "BETWEEN" || comparison == "NOT BETWEEN"; }
bool IsNullTest(std::string_view comparison) { return comparison == "IS NULL" || comparison == "IS NOT NULL"; }

std::optional<ITEMDATATYPEENUM> DateArithmetic(ITEMDATATYPEENUM current, std::string_view op, ITEMDATATYPEENUM next) {
  if (op != "+" && op != "-") return std::nullopt;
  if (current == kIsDate && next == kIsNumeric) return kIsDate;
  if (current == kIsNumeric && next == kIsDate && op == "+") return kIsDate;
  if (current == kIsDate && next == kIsDate && op == "-") return kIsNumeric;
  return std::nullopt;
}

bool ConnectionIsOpen(const std::shared_ptr<db::Connection>& connection) {
  return connection != nullptr && connection->State() != 0;
}

namespace {
bool KindIsGroup(ITEMTYPEENU kind) { return kind == kSection || kind == kOpenSection; }
}  // namespace

std::shared_ptr<Section> AsSection(const std::shared_ptr<INode>& node) {
  if (!node || !KindIsGroup(node->ItemType())) return nullptr;
  return std::dynamic_pointer_cast<Section>(node);
}

std::shared_ptr<Item> AsItem(const std::shared_ptr<INode>& node) {
  if (!node || KindIsGroup(node->ItemType())) return nullptr;
  return std::dynamic_pointer_cast<Item>(node);
}

ITEMDATATYPEENUM Combine(ITEMDATATYPEENUM current, ITEMDATATYPEENUM next) {
  if (current == kIsString) return kIsString;
  return next == current ? current : kIsString;
}

void AppendWithBlank(std::string& joined, std::string_view text) {
  if (!joined.empty()) joined += ' ';
  joined.append(text);
}

void AppendListed(std::string& list, std::string_view text) {
  if (!list.empty()) list += ", ";
  list.append(text);
}

void EntryList::Add(std::string_view entry) {
  std::string key = ignoreCase_ ? UpperAscii(entry) : std::string(entry);
  if (!seen_.insert(std::move(key)).second) return;
  AppendListed(text_, entry);
}

void EntryList::AddAll(std::string_view listText) {
  for (const std::string& entry : SplitList(listText)) Add(entry);
}

SubtreeFit MeasureSubtree(const std::shared_ptr<INode>& root, const INode* target, int32_t maxHeight) {
  struct Pending {
    std::shared_ptr<INode> node;
    int32_t level;
  };
  std::vector<Pending> pending{{root, 0}};
  while (!pending.empty()) {
    Pending next = std::move(pending.back());
    pending.pop_back();
    if (!next.node) continue;
    if (next.node.get() == target) return SubtreeFit::kHoldsTarget;
    const std::shared_ptr<Section> section = std::dynamic_pointer_cast<Section>(next.node);
    if (!section) continue;
    const int32_t level = next.level + 1;
    if (level > maxHeight) return SubtreeFit::kTooDeep;
    for (int32_t i = 1; i <= section->Count(); ++i) pending.push_back({section->Node(i), level});
  }
  return SubtreeFit::kFits;
}

}  // namespace talvane::tree
