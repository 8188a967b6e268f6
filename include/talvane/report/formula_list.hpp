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

class FormulaList : public std::enable_shared_from_this<FormulaList> {
 public:
  static std::shared_ptr<FormulaList> Create();

  /// The formula at Index (1-based; -1 is the cursor).
  std::shared_ptr<talvane::Formula> Formula(int32_t Index = -1) const;
  /// The formula held at Index takes the given formula's text; the list keeps its own object.
  void SetFormula(const std::shared_ptr<talvane::Formula>& formula, int32_t Index = -1);
  int32_t Index() const;
  void SetIndex(int32_t value);
  std::shared_ptr<db::Connection> Connection() const;
  void SetConnection(const std::shared_ptr<db::Connection>& connection);
  void AddNew();
  void Remove(int32_t Index = -1);
  /// By reference: -1 is replaced by the resolved position.
  void Remove(int32_t* Index);
  bool Eof() const;
  bool Bof() const;
  int32_t ErrorPos(int32_t Index = -1) const;
  int32_t ErrorPos(int32_t* Index) const;
  std::string ErrorItem(int32_t Index = -1) const;
  std::string ErrorItem(int32_t* Index) const;
  int32_t ERRORCODE(ERR_FORM errc) const { return errc; }
  void MoveFirst();
  void MoveLast();
  void MoveNext();
  void MovePrevious();
  int32_t Count() const;
  void Clear();
  DATABASETYPEENU DatabaseType() const;
  void SetDatabaseType(DATABASETYPEENU value);
  std::shared_ptr<talvane::Exception> Exception() const;
  void SetException(const std::shared_ptr<talvane::Exception>& owner);

 protected:
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
