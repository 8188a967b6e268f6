#pragma once
// The warnings about one formula's text and tree: what the library accepted but the author probably did not
// mean. Items of the text are matched with the formula's items in order, which gives each its data type.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "talvane/formula/formula_items.hpp"
#include "talvane/foundation/enums.hpp"
#include "talvane/fwd.hpp"
#include "talvane/report/report_warnings.hpp"

namespace talvane::detail {

class FormulaWarnings {
 public:
  FormulaWarnings(const Formula& formula, std::string_view text, DATABASETYPEENU dialect);
  // Each warning with the formula's subject; the caller sets the index.
  std::vector<Warning> Find();

 private:
  // An open group while the text is walked: a top-level operand or a parenthesis or function.
  struct Group {
    std::size_t position = 0;
    std::string function;
    // The type the surroundings expect when the group opens, when they have one.
    std::optional<ITEMDATATYPEENUM> expected;
    // The types of its operands in order, nested groups included, and the first field's or group's.
    std::vector<ITEMDATATYPEENUM> types;
    std::optional<ITEMDATATYPEENUM> known;
  };
  // A top-level operand: its items and whether a field stands anywhere in it.
  struct Operand {
    std::vector<const FormulaItem*> items;
    bool hasField = false;
  };

  void Walk();
  void OpenGroup(const FormulaItem& item);
  void CloseGroup(const FormulaItem& item);
  void TakeOperand(const FormulaItem& item);
  void StartOperand();
  void CheckLiteralText(const FormulaItem& item, ITEMDATATYPEENUM type);
  void CheckFieldName(const FormulaItem& item);
  void CheckLiteralOnTheLeft();
  void CheckBetweenBounds();
  void CheckLikeWildcards();
  void Add(std::size_t position, std::string message);
  // The lone literal of a top-level operand, or null.
  const FormulaItem* LoneLiteral(std::size_t operand) const;
  // The data type of the formula's item behind an operand of the text, when the two are matched.
  std::optional<ITEMDATATYPEENUM> TypeOf(const FormulaItem& item) const;

  std::string_view text_;
  DATABASETYPEENU dialect_;
  CutFormula cut_;
  // The formula's item behind each item of the text (null for groups, comparisons and separators), when
  // the formula's items match the text's operands and operators one to one.
  std::vector<std::shared_ptr<Item>> itemOf_;
  std::vector<Group> groups_;
  std::vector<Operand> operands_;
  std::string comparison_;
  bool listOpen_ = false;  // IN( was written and its ) has not come yet
  std::vector<Warning> warnings_;
};

}  // namespace talvane::detail
