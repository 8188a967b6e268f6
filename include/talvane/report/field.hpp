#pragma once
// One output column of the report: a database column or a column a set supplies.
// The published default member `Field` is spelled Value()/SetValue() in C++.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "talvane/fwd.hpp"

namespace talvane {

/// One output field of a report: a column of a table or of a set, with its output name, an optional
/// aggregate function and its place in the ORDER BY list.
class Field : public std::enable_shared_from_this<Field> {
 public:
  /// An empty field.
  static std::shared_ptr<Field> Create();

  /// Forgets the reference and every setting.
  void Clear();
  /// Whether the reference names a set rather than a table.
  bool IsInSet() const;
  /// The table (or set) part of the reference, in brackets.
  std::string Table() const;
  /// Whether the field has an aggregate function.
  bool Aggragate() const;
  /// @{
  /// The aggregate function: SUM, COUNT, MAX, MIN, AVG, TOTAL or empty; anything else raises 0x80040007.
  std::string AggragateFunction() const;
  void SetAggragateFunction(std::string_view value);
  /// @}
  /// @{
  /// The column part of the reference, in brackets.
  std::string FieldOnly() const;
  void SetFieldOnly(std::string_view value);
  /// @}
  /// @{
  /// The field reference, Table.Column or [Table].[Column]; checked against the schema when it is set.
  std::string Value() const;
  void SetValue(std::string_view value);
  /// @}
  /// The column of the set the reference names; raises "Field is not in a set" for a table column.
  std::string FieldInSet() const;
  /// The set the reference names; raises "Field is not in a set" for a table column.
  std::string NameOfSet() const;
  /// @{
  /// Whether the field is in the ORDER BY list.
  bool Ordered() const;
  void SetOrdered(bool value);
  /// @}
  /// @{
  /// Whether the field may be totalled: set when the reference names a currency (money) column.
  bool Total() const;
  void SetTotal(bool value);
  /// @}
  /// @{
  /// The place in the ORDER BY list: 1, 2, ...; 0 leaves the field out of it.
  int32_t OrderPos() const;
  void SetOrderPos(int32_t value);
  /// @}
  /// @{
  /// "Ascending" (the default) or "Descending".
  std::string OrderDirection() const;
  void SetOrderDirection(std::string_view value);
  /// @}
  /// @{
  /// The output name (default: the column name, made unique in the report).
  std::string Name() const;
  void SetName(std::string_view value);
  /// @}

 protected:
  Field() = default;

 private:
  void SetConnection(const std::shared_ptr<db::Connection>& connection);
  void SetParentList(const std::shared_ptr<FieldList>& list);
  void StoreOrderPos(int32_t position);
  std::string OrderKeyword() const;

  using Siblings = std::vector<std::shared_ptr<talvane::Field>>;
  /// What a failed write puts back.
  struct Located {
    std::string name;
    std::string fieldName;
    std::string table;
    std::string setName;
    bool total = false;
  };
  Located Save() const;
  void Restore(const Located& state);

  std::shared_ptr<FieldList> RequireList(std::string_view source) const;
  /// Every field of the list, read through the list (which checks its connection).
  Siblings ListFields(std::string_view source) const;

  void TestField(std::string_view tables, std::string_view column);
  /// visitedSets holds the upper-cased sets already searched in this lookup, so that sets naming
  /// each other (or themselves) end in "not found" instead of recursing forever.
  void LookUp(std::string_view tables, std::string_view column, std::vector<std::string>& visitedSets);
  void Locate(const std::string& table, std::string_view column);
  void SearchSets(const std::string& setName, std::string_view column, std::vector<std::string>& visitedSets);
  void LocateAndName(std::string_view tables, std::string_view column);

  int32_t NextOrderPos(int32_t start, const Siblings& fields) const;
  static void CloseOrderGap(int32_t old, const Siblings& fields);
  std::string UniqueName(std::string_view candidate) const;

  std::string name_;
  std::string fieldName_;
  std::string table_;
  std::string setName_;
  std::weak_ptr<FieldList> list_;
  std::shared_ptr<db::Connection> connection_;
  int32_t orderPos_ = 0;
  bool ascending_ = true;
  bool total_ = false;
  std::string aggregateFunction_;

  friend class FieldList;
  friend class Exception;
  friend class StatementBuilder;
  friend struct detail::Access;
};

}  // namespace talvane
