#pragma once
// The report definition: main table and key, rules, output fields and the connection.
// Its SQL member returns the whole SELECT statement.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "talvane/foundation/enums.hpp"
#include "talvane/foundation/string_list.hpp"
#include "talvane/fwd.hpp"

namespace talvane {

/// A report definition: the main table and its key column, the rules (Formulae), the output fields
/// (Fields) and the connection they are checked against. SQL() builds the whole SELECT statement.
class Exception : public std::enable_shared_from_this<Exception> {
 public:
  /// A report with empty formula and field lists and no connection.
  static std::shared_ptr<Exception> Create();
  /// Releases the formulas, then the fields, then the connection.
  ~Exception();

  /// @{
  /// The rules of the report; setting a list hands it the report's connection.
  std::shared_ptr<FormulaList> Formulae() const;
  void SetFormulae(const std::shared_ptr<FormulaList>& list);
  /// @}
  /// @{
  /// The output fields of the report.
  std::shared_ptr<FieldList> Fields() const;
  void SetFields(const std::shared_ptr<FieldList>& list);
  /// @}
  /// @{
  /// The key column of the main table: every other table and every set is joined on it.
  std::string MainField() const;
  void SetMainField(std::string_view value);
  /// @}
  /// @{
  /// The table whose records the report lists.
  std::string MainTable() const;
  void SetMainTable(std::string_view value);
  /// @}
  /// @{
  /// The open connection formulas and fields are checked against; its provider chooses the dialect.
  std::shared_ptr<db::Connection> Connection() const;
  void SetConnection(const std::shared_ptr<db::Connection>& connection);
  /// @}
  /// @{
  /// The language level of the report's rules: 1 (the default) builds every statement as it always was;
  /// 2 filters rows before grouping, joins from the main table only, counts non-NULL values and applies
  /// the output fields' aggregates. Setting it checks every formula's text again; raises for any other value.
  int32_t LanguageLevel() const;
  void SetLanguageLevel(int32_t value);
  /// @}
  /// @{
  /// One row per distinct result (SELECT DISTINCT); false by default.
  bool Distinct() const;
  void SetDistinct(bool value);
  /// @}
  /// The dialect of the statement, from the connection's provider (SQL Server when there is none).
  DATABASETYPEENU DatabaseType() const;
  /// Empties the formula and field lists (the main table and field stay).
  void Clear();
  /// The SELECT statement of the report, lines ended by "\r\n". Raises when the connection is closed or
  /// the main table or field is not set.
  std::string SQL();
  /// Does nothing: the references to sets are resolved as formulas are assigned and renamed.
  void FindSets();
  /// The field references of the output fields and formulas that name the set @p SetName, as a list.
  std::string FieldsReferencingSet(std::string_view SetName) const;
  /// The names of the sets, as a list.
  std::string Sets() const;
  /// The columns the set @p SetName offers, as a list.
  std::string FieldsInSet(std::string_view SetName) const;

 protected:
  /// Reports are made through Create().
  Exception();

 private:
  void Validate() const;
  static std::string ExportName(std::string_view selected);
  static bool HasExportName(const StringList& list, std::string_view selected);
  void ResolveSetFields(const std::shared_ptr<Item>& item);
  void ResolveMarkedSetFields(const std::shared_ptr<Item>& item);
  void ResolveItemInSet(Item& item, const StringList& tables);
  /// A formula of the report changed (see ChangeNote); the set index reads it again.
  void NoteFormulaChanged(const Formula& formula) noexcept;
  /// The set index, brought up to date; see sets.cpp.
  const detail::SetIndex& CurrentSets() const;
  std::string OfferedBySet(const StringList& referenced, std::string_view setName) const;

  std::shared_ptr<FormulaList> formulae_;
  std::shared_ptr<FieldList> fields_;
  std::shared_ptr<db::Connection> connection_;
  std::string mainField_;
  std::string mainTable_;
  DATABASETYPEENU databaseType_ = kSQLServer;
  int32_t languageLevel_ = 1;
  bool distinct_ = false;
  std::unique_ptr<detail::SetIndex> setIndex_;

  friend class Item;
  friend class Formula;
  friend class Field;
  friend class StatementBuilder;
  friend struct detail::Access;
  friend class detail::ChangeNote;
};

}  // namespace talvane
