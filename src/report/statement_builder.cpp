#include "report/statement_builder.hpp"

#include <algorithm>
#include <utility>

#include "db/foreign_keys.hpp"
#include "formula/formula_tree.hpp"
#include "report/foreign_key_path.hpp"
#include "talvane/db/connection.hpp"
#include "talvane/db/schema_cache.hpp"
#include "report/set_index.hpp"
#include "talvane/formula/formula.hpp"
#include "talvane/foundation/brackets.hpp"
#include "talvane/foundation/clean_text.hpp"
#include "talvane/foundation/error.hpp"
#include "talvane/report/exception.hpp"
#include "talvane/report/field.hpp"
#include "talvane/report/field_list.hpp"
#include "talvane/report/formula_list.hpp"

namespace talvane {

namespace {

constexpr std::string_view kLineBreak = "\r\n";

std::string Repeat(std::string_view text, std::size_t times) {
  std::string result;
  for (std::size_t i = 0; i < times; ++i) result += text;
  return result;
}

}  // namespace

StatementBuilder::StatementBuilder(Exception& report)
    : report_(report),
      dialect_(detail::DialectOf(report.DatabaseType())),
      mainTable_(report.mainTable_),
      key_(report.MainField()),
      levelTwo_(report.LanguageLevel() == 2) {}

std::string StatementBuilder::Indent(uint8_t level) { return std::string(level, '\t'); }

std::string StatementBuilder::BuildStatement() {
  std::string statement =
      std::string(report_.Distinct() ? "SELECT DISTINCT " : "SELECT ") + SelectList() + " " + std::string(kLineBreak);
  statement += "FROM ";
  statement += kLineBreak;
  level_ = 1;
  std::string previousTable;
  std::string joins = BuildJoin(mainTable_, previousTable, level_, {}, 0);
  AddSetJoins(joins, previousTable);
  CollectUnnamedFormulas();
  CollectFieldTables();
  const std::string orderList = OrderList();
  AddTableJoins(joins, previousTable);
  statement += joins;
  level_ = 0;
  statement += ClosingClauses();
  if (!orderList.empty()) statement += "ORDER BY " + orderList + std::string(kLineBreak);
  return dialect_.quoteNames(std::move(statement));
}

// Output fields: a set's column as [Set].[column], any other as [table].[field] AS [name].
// Each reference is also a candidate of the outer GROUP BY.
std::string StatementBuilder::SelectList() {
  const auto fields = report_.Fields();
  std::string entries;
  for (int32_t i = 1; i <= fields->Count(); ++i) {
    const auto field = fields->Field(i);
    const bool inSet = field->IsInSet();
    const std::string reference = OutputExpression(*field);
    if (!entries.empty()) entries += ", ";
    entries += reference;
    if (IsAggregatedOutput(*field)) {
      // An aggregate is never grouped by; without a name of its own it is named after its column.
      aggregateOutput_ = true;
      entries += " AS " + (field->Name().empty() ? field->FieldOnly() : field->Name());
      continue;
    }
    if (!inSet && !field->Name().empty()) entries += " AS " + field->Name();
    AppendUniqueToList(groups_, reference);
  }
  return entries;
}

bool StatementBuilder::IsAggregatedOutput(const Field& field) const {
  return levelTwo_ && !field.IsInSet() && field.Aggragate();
}

// TOTAL is the sum over the whole table, as in a formula.
std::string StatementBuilder::OutputExpression(const Field& field) const {
  if (field.IsInSet()) return field.FieldInSet();
  if (!IsAggregatedOutput(field)) return field.Value();
  const std::string function = field.AggragateFunction();
  if (function == "TOTAL") return "(SELECT SUM(" + field.Value() + ") FROM " + field.Table() + ")";
  return function + "(" + field.Value() + ")";
}

// One derived table per set, in the order in which the sets' first formulas stand in the list, named as its
// first formula spells it.
void StatementBuilder::AddSetJoins(std::string& joins, std::string& previousTable) {
  const detail::SetIndex& sets = report_.CurrentSets();
  const auto references = sets.References();
  for (const auto& first : sets.FirstFormulas()) {
    const std::string setName = StripBrackets(first->Name());
    setsDone_.insert(UpperAscii(setName));
    const auto referenced = references.find(detail::SetKey(setName));
    SetParts parts = CollectSet(setName, sets.Members(setName),
                                referenced == references.end() ? StringList() : referenced->second);
    joins.insert(0, dialect_.joinOpen);
    const std::string subquery = BuildSetSubquery(parts.selected, parts.tables, parts.groups, level_, parts.condition,
                                                  setName, parts.aggregate);
    joins += BuildJoin(subquery, previousTable, level_, setName, parts.joinKind);
  }
}

StatementBuilder::SetParts StatementBuilder::CollectSet(const std::string& setName,
                                                        const std::vector<std::shared_ptr<Formula>>& members,
                                                        const StringList& referenced) const {
  SetParts parts;
  AddSetFields(setName, parts);
  // Columns the set's own and other formulas read from the set must be offered by it.
  for (const std::string& reference : SplitList(report_.OfferedBySet(referenced, setName))) {
    if (!Exception::HasExportName(parts.selected, reference)) AppendUniqueToList(parts.selected, reference);
  }
  bool first = true;
  for (const auto& formula : members) AddSetFormula(*formula, first, parts);
  AddKeyColumn(parts);
  return parts;
}

void StatementBuilder::AddSetFields(const std::string& setName, SetParts& parts) const {
  const auto fields = report_.Fields();
  for (int32_t i = 1; i <= fields->Count(); ++i) {
    const auto field = fields->Field(i);
    if (!field->IsInSet() || detail::SetKey(field->NameOfSet()) != detail::SetKey(setName)) continue;
    std::string selected = field->Value();
    const std::string exportName = StripBrackets(field->Name());
    if (!exportName.empty()) selected += " AS " + AddBrackets(exportName, true);
    if (Exception::HasExportName(parts.selected, selected)) continue;
    AppendUniqueToList(parts.selected, selected);
    AppendUniqueToList(parts.tables, StripBrackets(field->Table()));
  }
}

void StatementBuilder::AddSetFormula(const Formula& formula, bool& first, SetParts& parts) {
  // The set's first formula decides how the whole set is joined.
  if (first) parts.joinKind = formula.Grouping() == kOr ? 1 : 0;
  first = false;
  if (formula.Aggragate()) parts.aggregate = true;
  for (const std::string& field : SplitList(formula.NonAggragateFields())) AppendUniqueToList(parts.groups, field);
  for (const std::string& table : SplitList(formula.Tables())) AppendUniqueToList(parts.tables, StripBrackets(table));
  AppendCondition(parts.condition, formula.Grouping(), formula.SQL(false));
}

// The derived table always offers the main field, which it is joined on.
void StatementBuilder::AddKeyColumn(SetParts& parts) const {
  if (IsArrayEmpty(parts.tables)) return;
  const std::string keyColumn = AddBrackets(parts.tables[0]) + "." + key_;
  if (!Exception::HasExportName(parts.selected, keyColumn)) AppendUniqueToList(parts.selected, keyColumn);
}

void StatementBuilder::CollectUnnamedFormulas() {
  const auto formulae = report_.Formulae();
  for (formulae->MoveFirst(); !formulae->Eof(); formulae->MoveNext()) {
    const auto formula = formulae->Formula();
    if (!StripBrackets(formula->Name()).empty()) continue;
    for (const std::string& entry : SplitList(formula->Tables())) {
      const std::string table = StripBrackets(entry);
      // A reference to a set is served by the set's derived table, not joined as a table.
      if (!IsSetDone(table)) AppendUniqueToList(joinTables_, table);
    }
    anyOr_ = anyOr_ || formula->Grouping() == kOr;
    // At level 2 a condition without an aggregate filters rows before they are grouped.
    if (levelTwo_ && !tree::HoldsAggregate(*formula)) {
      AppendCondition(rowConditions_, formula->Grouping(), formula->SQL(false));
      continue;
    }
    if (formula->Aggragate()) aggregate_ = true;
    for (const std::string& field : SplitList(formula->NonAggragateFields())) AppendUniqueToList(groups_, field);
    AppendCondition(conditions_, formula->Grouping(), formula->SQL(false));
  }
  formulae->MoveFirst();
}

void StatementBuilder::CollectFieldTables() {
  const auto fields = report_.Fields();
  for (int32_t i = 1; i <= fields->Count(); ++i) {
    const auto field = fields->Field(i);
    if (field->IsInSet()) continue;
    const std::string table = StripBrackets(field->Table());
    // A field that was never located names no table to join.
    if (!table.empty() && !EqualsIgnoreCase(table, mainTable_)) AppendUniqueToList(joinTables_, table);
  }
}

std::string StatementBuilder::OrderList() {
  const auto fields = report_.Fields();
  std::string entries;
  for (fields->MoverFirstByOrder(); !fields->Eof(); fields->MoverNextByOrder()) {
    const auto field = fields->Field();
    if (!entries.empty()) entries += ", ";
    const bool text = dialect_.orderReadsText && IsTextColumn(*field);
    entries += dialect_.orderEntry(OutputExpression(*field), text, field->OrderKeyword());
  }
  fields->MoveFirst();
  return entries;
}

// Whether an output field's column holds text, as the schema tells (ADO's character types). A set's column,
// and a column the schema cannot tell, are taken as not text.
bool StatementBuilder::IsTextColumn(const Field& field) const {
  const auto connection = report_.Connection();
  if (field.IsInSet() || !connection) return false;
  try {
    switch (connection->Schema().QueryColumnType(StripBrackets(field.Table()), StripBrackets(field.FieldOnly()))) {
      case 129: case 130: case 200: case 201: case 202: case 203:
        return true;
      default:
        return false;
    }
  } catch (const Error&) {
    return false;
  }
}

void StatementBuilder::AddTableJoins(std::string& joins, std::string& previousTable) const {
  std::vector<std::string> joined{mainTable_};
  std::vector<std::string> reachedByKeys;
  for (const std::string& table : joinTables_.Items()) {
    // The main table is never joined to itself.
    if (EqualsIgnoreCase(table, mainTable_)) continue;
    if (levelTwo_ && !HasKeyColumn(table)) {
      reachedByKeys.push_back(table);
      continue;
    }
    joins.insert(0, dialect_.joinOpen);
    joins += BuildJoin(table, previousTable, level_, {}, levelTwo_ ? 2 : 1);
    joined.push_back(table);
  }
  if (!reachedByKeys.empty()) AddForeignKeyJoins(joins, joined, reachedByKeys);
}

bool StatementBuilder::HasKeyColumn(const std::string& table) const {
  return report_.Connection()->Schema().TableHasColumn(table, StripBrackets(key_));
}

// Each target after the tables joined on the main key, by the shortest path from any table joined before it.
void StatementBuilder::AddForeignKeyJoins(std::string& joins, std::vector<std::string>& joined,
                                          const std::vector<std::string>& targets) const {
  const std::vector<db::ForeignKey> keys = db::ReadForeignKeys(*report_.Connection());
  const auto isJoined = [&](const std::string& table) {
    return std::any_of(joined.begin(), joined.end(), [&](const std::string& j) { return EqualsIgnoreCase(j, table); });
  };
  for (const std::string& target : targets) {
    if (isJoined(target)) continue;
    for (const detail::KeyJoin& step : detail::ForeignKeyPath(keys, joined, target)) {
      joins.insert(0, dialect_.joinOpen);
      joins += JoinText("LEFT JOIN ", Indent(level_) + AddBrackets(step.table) + " " + std::string(kLineBreak),
                        step.condition, level_);
      joined.push_back(step.table);
    }
  }
}

std::string StatementBuilder::ClosingClauses() const {
  if (levelTwo_) return LevelTwoClosingClauses();
  if (conditions_.empty()) return {};
  const std::string lineBreak(kLineBreak);
  std::string text;
  if (aggregate_) {
    if (!IsArrayEmpty(groups_)) text += "GROUP BY " + lineBreak + Indent(1) + groups_.Join() + lineBreak;
    text += "HAVING " + lineBreak;
  } else {
    text += "WHERE " + lineBreak;
  }
  return text + Indent(1) + conditions_ + lineBreak;
}

// WHERE for the row conditions, GROUP BY when anything is aggregated, HAVING for the aggregate conditions.
// Conditions split between WHERE and HAVING cannot keep an OR that joins them.
std::string StatementBuilder::LevelTwoClosingClauses() const {
  if (anyOr_ && !rowConditions_.empty() && !conditions_.empty()) {
    Raise(ERR_EXCEPT_ITEMTYPE, "Exception.SQL",
          "At language level 2 a rule with an aggregate and a rule without one cannot be joined by OR");
  }
  const std::string lineBreak(kLineBreak);
  std::string text;
  if (!rowConditions_.empty()) text += "WHERE " + lineBreak + Indent(1) + rowConditions_ + lineBreak;
  if ((aggregate_ || aggregateOutput_) && !IsArrayEmpty(groups_)) {
    text += "GROUP BY " + lineBreak + Indent(1) + groups_.Join() + lineBreak;
  }
  if (!conditions_.empty()) text += "HAVING " + lineBreak + Indent(1) + conditions_ + lineBreak;
  return text;
}

std::string StatementBuilder::BuildJoin(const std::string& entry, std::string& previousTable, uint8_t level,
                                        const std::string& setName, int joinKind) const {
  const std::string lineBreak(kLineBreak);
  const bool isSet = !setName.empty();
  const std::string tableLine = Indent(level) + AddBrackets(entry) + " " + lineBreak;
  if (previousTable.empty()) {
    previousTable = isSet ? setName : entry;
    return tableLine;
  }
  // 0: inner, 1: the dialect's outer join, 2: a left join from the main table (level 2).
  const std::string_view keyword = joinKind == 0   ? std::string_view("INNER JOIN ")
                                   : joinKind == 2 ? std::string_view("LEFT JOIN ")
                                                   : dialect_.outerJoinKeyword;
  const std::string alias = AddBrackets(isSet ? setName : entry);
  previousTable = isSet ? setName : entry;
  return JoinText(keyword, isSet ? entry : tableLine, AddBrackets(mainTable_) + "." + key_ + " = " + alias + "." + key_,
                  level);
}

std::string StatementBuilder::JoinText(std::string_view keyword, const std::string& entryText,
                                       const std::string& condition, uint8_t level) const {
  const std::string lineBreak(kLineBreak);
  return Indent(level) + std::string(keyword) + lineBreak + entryText + Indent(level) + "ON " + condition +
         std::string(dialect_.joinClose) + " " + lineBreak;
}

std::string StatementBuilder::BuildSetSubquery(const StringList& selected, const StringList& setTables,
                                               const StringList& setGroups, uint8_t& level,
                                               const std::string& setCondition, const std::string& setName,
                                               bool setAggregate) const {
  const std::string lineBreak(kLineBreak);
  const std::string outer = Indent(level);
  const std::string clause = Indent(static_cast<uint8_t>(level + 1));
  const std::string body = Indent(static_cast<uint8_t>(level + 2));

  std::string text = outer + "(" + lineBreak + clause + "SELECT " + lineBreak + body;
  for (std::size_t i = 0; i < selected.Size(); ++i) {
    if (i > 0) text += ", " + lineBreak + body;
    text += AddBrackets(selected[i]);
  }
  text += lineBreak + clause + "FROM " + lineBreak;

  // Tables inside a set are chained, each inner-joined to the one before on the main field.
  for (std::size_t i = 0; i < setTables.Size(); ++i) {
    const std::string table = AddBrackets(setTables[i]);
    if (i == 0) {
      text += body + Repeat(dialect_.setTableOpen, setTables.Size()) + table;
    } else {
      text += body + "INNER JOIN " + lineBreak + body + table + lineBreak + body + "ON " +
              AddBrackets(setTables[i - 1]) + "." + key_ + " = " + table + "." + key_;
    }
    text += std::string(dialect_.setTableClose) + lineBreak;
  }

  if (!setCondition.empty()) {
    if (setAggregate) {
      // Every table of a set has the key column: with two or more, the bare name would be ambiguous.
      const std::string groupKey = setTables.Size() > 1 ? AddBrackets(setTables[0]) + "." + key_ : key_;
      text += clause + "GROUP BY " + lineBreak + body + groupKey;
      for (const std::string& group : setGroups.Items()) text += ", " + group;
      text += lineBreak + clause + "HAVING " + lineBreak;
    } else {
      text += clause + "WHERE " + lineBreak;
    }
    text += body + setCondition + lineBreak;
  }
  return text + outer + ") AS " + AddBrackets(setName) + lineBreak;
}

// Set names are compared without regard to letter case, as the sets themselves are formed.
bool StatementBuilder::IsSetDone(const std::string& setName) const { return setsDone_.count(UpperAscii(setName)) != 0; }

void StatementBuilder::AppendCondition(std::string& conditions, GROUPTYPEENU grouping, const std::string& sql) {
  if (!conditions.empty()) {
    if (grouping == kAnd) conditions += " AND ";
    if (grouping == kOr) conditions += " OR ";
  }
  conditions += sql;
}

}  // namespace talvane
