#include "report/statement_builder.hpp"

#include <algorithm>
#include <utility>

#include "talvane/db/connection.hpp"
#include "talvane/db/schema_cache.hpp"
#include "talvane/formula/formula.hpp"
#include "talvane/foundation/brackets.hpp"
#include "talvane/foundation/clean_text.hpp"
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
      key_(report.MainField()) {}

std::string StatementBuilder::Indent(uint8_t level) { return std::string(level, '\t'); }

std::string StatementBuilder::BuildStatement() {
  std::string statement = "SELECT " + SelectList() + " " + std::string(kLineBreak);
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
    const std::string reference = inSet ? field->FieldInSet() : field->Value();
    if (!entries.empty()) entries += ", ";
    entries += reference;
    if (!inSet && !field->Name().empty()) entries += " AS " + field->Name();
    AppendUniqueToList(groups_, reference);
  }
  return entries;
}

void StatementBuilder::IndexSets() {
  const auto formulae = report_.Formulae();
  std::vector<std::string> names;
  std::unordered_map<std::string, std::vector<std::shared_ptr<Formula>>> formulas;
  try {
    for (int32_t j = 1; j <= formulae->Count(); ++j) {
      auto formula = formulae->Formula(j);
      std::string name = StripBrackets(formula->Name());
      if (name.empty()) continue;
      auto& members = formulas[SetKey(name)];
      if (members.empty()) names.push_back(name);
      members.push_back(std::move(formula));
    }
    const std::vector<std::string> referencing = report_.FieldsReferencingSets(names);
    std::unordered_map<std::string, std::string> bySet;
    for (std::size_t i = 0; i < names.size(); ++i) bySet.emplace(SetKey(names[i]), referencing[i]);
    referencingBySet_ = std::move(bySet);
    formulasBySet_ = std::move(formulas);
    setsIndexed_ = true;
  } catch (...) {  // NOLINT(bugprone-empty-catch): each set then gathers its own parts and meets the failure
  }
}

// One derived table per set, in the order in which the sets' first formulas stand in the list, named as its
// first formula spells it.
void StatementBuilder::AddSetJoins(std::string& joins, std::string& previousTable) {
  const auto formulae = report_.Formulae();
  IndexSets();
  for (formulae->MoveFirst(); !formulae->Eof(); formulae->MoveNext()) {
    const std::string setName = StripBrackets(formulae->Formula()->Name());
    if (setName.empty() || IsSetDone(setName)) continue;
    setsDone_.push_back(setName);
    SetParts parts = CollectSet(setName);
    joins.insert(0, dialect_.joinOpen);
    const std::string subquery = BuildSetSubquery(parts.selected, parts.tables, parts.groups, level_, parts.condition,
                                                  setName, parts.aggregate);
    joins += BuildJoin(subquery, previousTable, level_, setName, parts.joinKind);
  }
}

StatementBuilder::SetParts StatementBuilder::CollectSet(const std::string& setName) const {
  SetParts parts;
  AddSetFields(setName, parts);
  // Columns the set's own and other formulas read from the set must be offered by it.
  const std::string referencing =
      setsIndexed_ ? referencingBySet_.at(SetKey(setName)) : report_.FieldsReferencingSet(setName);
  for (const std::string& reference : SplitList(referencing)) {
    if (!Exception::HasExportName(parts.selected, reference)) AppendUniqueToList(parts.selected, reference);
  }
  AddSetFormulas(setName, parts);
  AddKeyColumn(parts);
  return parts;
}

void StatementBuilder::AddSetFields(const std::string& setName, SetParts& parts) const {
  const auto fields = report_.Fields();
  for (int32_t i = 1; i <= fields->Count(); ++i) {
    const auto field = fields->Field(i);
    if (!field->IsInSet() || !EqualsIgnoreCase(StripBrackets(field->NameOfSet()), setName)) continue;
    std::string selected = field->Value();
    const std::string exportName = StripBrackets(field->Name());
    if (!exportName.empty()) selected += " AS " + AddBrackets(exportName, true);
    if (Exception::HasExportName(parts.selected, selected)) continue;
    AppendUniqueToList(parts.selected, selected);
    AppendUniqueToList(parts.tables, StripBrackets(field->Table()));
  }
}

void StatementBuilder::AddSetFormulas(const std::string& setName, SetParts& parts) const {
  if (setsIndexed_) {
    bool first = true;
    for (const auto& formula : formulasBySet_.at(SetKey(setName))) AddSetFormula(*formula, first, parts);
    return;
  }
  const auto formulae = report_.Formulae();
  bool first = true;
  for (int32_t j = 1; j <= formulae->Count(); ++j) {
    const auto formula = formulae->Formula(j);
    if (!EqualsIgnoreCase(StripBrackets(formula->Name()), setName)) continue;
    AddSetFormula(*formula, first, parts);
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
    if (formula->Aggragate()) aggregate_ = true;
    for (const std::string& field : SplitList(formula->NonAggragateFields())) AppendUniqueToList(groups_, field);
    for (const std::string& entry : SplitList(formula->Tables())) {
      const std::string table = StripBrackets(entry);
      // A reference to a set is served by the set's derived table, not joined as a table.
      if (!IsSetDone(table)) AppendUniqueToList(joinTables_, table);
    }
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
    const std::string reference = field->IsInSet() ? field->FieldInSet() : field->Value();
    entries += dialect_.orderEntry(reference, IsTextColumn(*field), field->OrderKeyword());
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
  for (const std::string& table : joinTables_.Items()) {
    // The main table is never joined to itself.
    if (EqualsIgnoreCase(table, mainTable_)) continue;
    joins.insert(0, dialect_.joinOpen);
    joins += BuildJoin(table, previousTable, level_, {}, 1);
  }
}

std::string StatementBuilder::ClosingClauses() const {
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

std::string StatementBuilder::BuildJoin(const std::string& entry, std::string& previousTable, uint8_t level,
                                        const std::string& setName, int joinKind) const {
  const std::string lineBreak(kLineBreak);
  const bool isSet = !setName.empty();
  const std::string tableLine = Indent(level) + AddBrackets(entry) + " " + lineBreak;
  if (previousTable.empty()) {
    previousTable = isSet ? setName : entry;
    return tableLine;
  }
  const std::string_view keyword = joinKind == 0 ? std::string_view("INNER JOIN ") : dialect_.outerJoinKeyword;
  std::string text = Indent(level) + std::string(keyword) + lineBreak;
  text += isSet ? entry : tableLine;
  const std::string alias = AddBrackets(isSet ? setName : entry);
  text += Indent(level) + "ON " + AddBrackets(mainTable_) + "." + key_ + " = " + alias + "." + key_ +
          std::string(dialect_.joinClose) + " " + lineBreak;
  previousTable = isSet ? setName : entry;
  return text;
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
bool StatementBuilder::IsSetDone(const std::string& setName) const {
  return std::any_of(setsDone_.begin(), setsDone_.end(),
                     [&](const std::string& done) { return EqualsIgnoreCase(done, setName); });
}

std::string StatementBuilder::SetKey(const std::string& setName) { return UpperAscii(setName); }

void StatementBuilder::AppendCondition(std::string& conditions, GROUPTYPEENU grouping, const std::string& sql) {
  if (!conditions.empty()) {
    if (grouping == kAnd) conditions += " AND ";
    if (grouping == kOr) conditions += " OR ";
  }
  conditions += sql;
}

}  // namespace talvane
