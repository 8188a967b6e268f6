#pragma once
// The output fields of a report, with a cursor and a walk in ORDER BY order.
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "talvane/foundation/enums.hpp"
#include "talvane/fwd.hpp"

namespace talvane {

/// The output fields of a report, in order, with a cursor (1-based) and a walk in ORDER BY order.
class FieldList : public std::enable_shared_from_this<FieldList> {
 public:
  /// An empty list.
  static std::shared_ptr<FieldList> Create();

  /// The field at @p Index (1-based; -1 is the cursor).
  std::shared_ptr<talvane::Field> Field(int32_t Index = -1) const;
  /// The field held at Index takes the given field's reference text; the list keeps its own object.
  void SetField(const std::shared_ptr<talvane::Field>& field, int32_t Index = -1);
  /// Appends an empty field and moves the cursor to it; raises "Connection not open" without an open connection.
  void AddNew();
  /// @{
  /// Removes the field at @p Index (-1: the one under the cursor).
  void Remove(int32_t Index = -1);
  void Remove(int32_t* Index);
  /// @}
  /// Whether the cursor is past the last field.
  bool Eof() const;
  /// Whether the cursor is before the first field.
  bool Bof() const;
  /// The error number of @p errc.
  int32_t ERRORCODE(ERR_FIELDLST errc) const { return errc; }
  /// Moves the cursor to the first field.
  void MoveFirst();
  /// Moves the cursor to the field with the smallest order position (Eof when no field is ordered).
  void MoverFirstByOrder();
  /// Moves the cursor to the field with the next order position.
  void MoverNextByOrder();
  /// Moves the cursor to the last field.
  void MoveLast();
  /// Moves the cursor to the next field.
  void MoveNext();
  /// Moves the cursor to the previous field.
  void MovePrevious();
  /// The number of fields.
  int32_t Count() const;
  /// Removes every field.
  void Clear();
  /// @{
  /// The report that holds the list (null when none does).
  std::shared_ptr<talvane::Exception> Parent() const;
  void SetParent(const std::shared_ptr<talvane::Exception>& owner);
  /// @}

 protected:
  /// Lists are made through Create().
  FieldList() = default;

 private:
  void SetConnection(const std::shared_ptr<db::Connection>& connection);

  void CheckConnection(std::string_view source) const;
  /// Connection check, then -1 resolved to the cursor (written back through index), then the bounds check.
  const std::shared_ptr<talvane::Field>& Checked(int32_t* index, std::string_view closedSource,
                                                 std::string_view boundsSource) const;
  /// The list position of the first field with the smallest order position above `position`; 0 when none.
  int32_t FirstOrderedAfter(int32_t position) const;

  std::shared_ptr<db::Connection> connection_;
  std::vector<std::shared_ptr<talvane::Field>> fields_;
  int32_t cursor_ = 0;
  std::weak_ptr<talvane::Exception> owner_;

  friend class talvane::Field;
  friend class Exception;
  friend struct detail::Access;
};

}  // namespace talvane
