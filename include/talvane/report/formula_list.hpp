#pragma once
// The rules of a report: an ordered collection of formulas with a recordset-like cursor.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "talvane/foundation/enums.hpp"
#include "talvane/fwd.hpp"

namespace talvane {

/// The rules of a report, in order, with a cursor in the manner of a recordset: AddNew appends a formula
/// and moves to it, Formula() reads the one under the cursor. Positions are 1-based.
class FormulaList : public std::enable_shared_from_this<FormulaList> {
 public:
  /// An empty list without a connection.
  static std::shared_ptr<FormulaList> Create();

  /// The formula at Index (1-based; -1 is the cursor).
  std::shared_ptr<talvane::Formula> Formula(int32_t Index = -1) const;
  /// The formula held at Index takes the given formula's text; the list keeps its own object.
  void SetFormula(const std::shared_ptr<talvane::Formula>& formula, int32_t Index = -1);
  /// @{
  /// The cursor's position (1-based; 0 before the first).
  int32_t Index() const;
  void SetIndex(int32_t value);
  /// @}
  /// @{
  /// The connection every formula of the list is checked against.
  std::shared_ptr<db::Connection> Connection() const;
  void SetConnection(const std::shared_ptr<db::Connection>& connection);
  /// @}
  /// Appends an empty formula and moves the cursor to it; raises "Connection not open" without an open connection.
  void AddNew();
  /// Removes the formula at @p Index (-1: the one under the cursor).
  void Remove(int32_t Index = -1);
  /// By reference: -1 is replaced by the resolved position.
  void Remove(int32_t* Index);
  /// Whether the cursor is past the last formula.
  bool Eof() const;
  /// Whether the cursor is before the first formula.
  bool Bof() const;
  /// @{
  /// Where the last assignment of the formula at @p Index failed: the position of the failing item (0-based).
  int32_t ErrorPos(int32_t Index = -1) const;
  int32_t ErrorPos(int32_t* Index) const;
  /// @}
  /// @{
  /// The text of the item at which the last assignment of the formula at @p Index failed.
  std::string ErrorItem(int32_t Index = -1) const;
  std::string ErrorItem(int32_t* Index) const;
  /// @}
  /// The error number of @p errc.
  int32_t ERRORCODE(ERR_FORM errc) const { return errc; }
  /// Moves the cursor to the first formula.
  void MoveFirst();
  /// Moves the cursor to the last formula.
  void MoveLast();
  /// Moves the cursor to the next formula.
  void MoveNext();
  /// Moves the cursor to the previous formula.
  void MovePrevious();
  /// The number of formulas.
  int32_t Count() const;
  /// Removes every formula.
  void Clear();
  /// @{
  /// The dialect every formula of the list renders in.
  DATABASETYPEENU DatabaseType() const;
  void SetDatabaseType(DATABASETYPEENU value);
  /// @}
  /// @{
  /// The report that holds the list (null when none does).
  std::shared_ptr<talvane::Exception> Exception() const;
  void SetException(const std::shared_ptr<talvane::Exception>& owner);
  /// @}

 protected:
  /// Lists are made through Create().
  FormulaList() = default;

 private:
  int32_t FindFormula(std::string_view name) const;
  std::string FormulaTables(std::string_view name) const;

  void CheckConnection(std::string_view source) const;
  int32_t ResolveIndex(int32_t index) const;
  void CheckBounds(int32_t index, std::string_view source) const;
  /// Connection check, then -1 resolved to the cursor (written back through index), then the bounds check.
  const std::shared_ptr<talvane::Formula>& Checked(int32_t* index, std::string_view closedSource,
                                                   std::string_view boundsSource) const;

  std::shared_ptr<db::Connection> connection_;
  std::vector<std::shared_ptr<talvane::Formula>> formulas_;
  /// Moves whenever formulas are removed (appending does not move it): what the report learnt by position
  /// is then read again.
  uint64_t removals_ = 0;
  int32_t cursor_ = 0;
  std::weak_ptr<talvane::Exception> owner_;
  DATABASETYPEENU dialect_ = kAccess;

  friend class Field;
  friend class Formula;
  friend class Exception;
  friend struct detail::Access;
};

}  // namespace talvane
