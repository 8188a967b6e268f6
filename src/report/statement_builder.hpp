#pragma once
// Assembles the one SELECT statement of a report: select list, FROM with the main table, one
// derived table per set and one join per further table, WHERE or GROUP BY/HAVING, ORDER BY.
// At language level 2 the conditions without an aggregate go to WHERE and the others to HAVING, GROUP BY
// lists only what the select list and HAVING need, further tables are left-joined and output fields carry
// their aggregate.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "formula/dialect.hpp"
#include "talvane/foundation/enums.hpp"
#include "talvane/foundation/string_list.hpp"
#include "talvane/fwd.hpp"

namespace talvane {

class StatementBuilder {
 public:
  explicit StatementBuilder(Exception& report);

  // The whole statement. Leaves both lists' cursors on their first element.
  std::string BuildStatement();

  // Derived-table text of one set; `level` is left as it was found.
  std::string BuildSetSubquery(const StringList& selected, const StringList& setTables, const StringList& setGroups,
                               uint8_t& level, const std::string& setCondition, const std::string& setName,
                               bool setAggregate) const;
  // One entry of the FROM body: the main table alone, or a join keyword, the entry and its ON condition.
  std::string BuildJoin(const std::string& entry, std::string& previousTable, uint8_t level,
                        const std::string& setName, int joinKind) const;
  static std::string Indent(uint8_t level);

 private:
  // What one set contributes to its derived table.
  struct SetParts {
    StringList selected;
    StringList tables;
    StringList groups;
    std::string condition;
    bool aggregate = false;
    int joinKind = 0;
  };

  std::string SelectList();
  // An output field as the select list and ORDER BY show it: at level 2 with its aggregate applied.
  std::string OutputExpression(const Field& field) const;
  bool IsAggregatedOutput(const Field& field) const;
  void AddSetJoins(std::string& joins, std::string& previousTable);
  // `members` are the set's formulas, `referenced` the fields the report's set references read from it.
  SetParts CollectSet(const std::string& setName, const std::vector<std::shared_ptr<Formula>>& members,
                      const StringList& referenced) const;
  void AddSetFields(const std::string& setName, SetParts& parts) const;
  static void AddSetFormula(const Formula& formula, bool& first, SetParts& parts);
  void AddKeyColumn(SetParts& parts) const;
  void CollectUnnamedFormulas();
  void CollectFieldTables();
  std::string OrderList();
  bool IsTextColumn(const Field& field) const;
  void AddTableJoins(std::string& joins, std::string& previousTable) const;
  // Level 2: a table without the main key column is joined along the foreign keys that reach it.
  bool HasKeyColumn(const std::string& table) const;
  void AddForeignKeyJoins(std::string& joins, std::vector<std::string>& joined,
                          const std::vector<std::string>& targets) const;
  std::string JoinText(std::string_view keyword, const std::string& entryText, const std::string& condition,
                       uint8_t level) const;
  std::string ClosingClauses() const;
  std::string LevelTwoClosingClauses() const;

  bool IsSetDone(const std::string& setName) const;
  static void AppendCondition(std::string& conditions, GROUPTYPEENU grouping, const std::string& sql);

  Exception& report_;
  const detail::Dialect& dialect_;
  std::string mainTable_;
  std::string key_;
  uint8_t level_ = 0;
  StringList groups_;
  std::unordered_set<std::string> setsDone_;  // the sets' names, upper-cased
  StringList joinTables_;
  std::string conditions_;
  bool aggregate_ = false;
  const bool levelTwo_;
  // Level 2 only: the conditions without an aggregate, and whether a formula is joined by OR.
  std::string rowConditions_;
  bool anyOr_ = false;
  bool aggregateOutput_ = false;

};

}  // namespace talvane
