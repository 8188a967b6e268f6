#pragma once
// The output fields of a report, with a cursor and a walk in ORDER BY order.
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "talvane/foundation/enums.hpp"
#include "talvane/fwd.hpp"

namespace talvane {

class FieldList : public std::enable_shared_from_this<FieldList> {
 public:
  static std::shared_ptr<FieldList> Create();

  std::shared_ptr<talvane::Field> Field(int32_t Index = -1) const;
  /// The field held at Index takes the given field's reference text; the list keeps its own object.
  void SetField(const std::shared_ptr<talvane::Field>& field, int32_t Index = -1);
  void AddNew();
  void Remove(int32_t Index = -1);
  void Remove(int32_t* Index);
  bool Eof() const;
  bool Bof() const;
  int32_t ERRORCODE(ERR_FIELDLST errc) const { return errc; }
  void MoveFirst();
  void MoverFirstByOrder();
  void MoverNextByOrder();
  void MoveLast();
  void MoveNext();
  void MovePrevious();
  int32_t Count() const;
  void Clear();
  std::shared_ptr<talvane::Exception> Parent() const;
  void SetParent(const std::shared_ptr<talvane::Exception>& owner);

 protected:
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
