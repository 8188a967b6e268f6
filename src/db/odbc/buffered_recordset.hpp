#pragma once
// A forward-only recordset whose rows arrive one at a time from a source (a statement, a catalogue listing)
// and are held as text. Nothing is read before the first look at the rows (Eof, a value, MoveNext): opening
// only learns the columns, so a recordset opened for its columns alone never reads a row.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "talvane/db/recordset.hpp"

namespace talvane::db::detail {

class BufferedRecordset : public Recordset {
 public:
  struct Column {
    std::string name;
    int32_t adoType = 0;
  };
  using Row = std::vector<std::optional<std::string>>;

  void SetCursorLocation(int32_t location) override;
  void SetCursorType(int32_t type) override;
  void SetLockType(int32_t type) override;

  int32_t FieldCount() const override;
  std::string FieldName(int32_t index) const override;
  int32_t FieldType(int32_t index) const override;
  int32_t FieldType(std::string_view name) const override;
  std::string FieldValue(int32_t index) const override;
  std::string FieldValue(std::string_view name) const override;
  bool FieldIsNull(int32_t index) const override;
  // A view of the row's own text: no copy.
  std::string_view FieldText(int32_t index, std::string& buffer) const override;

  bool Eof() const override;
  void MoveNext() override;
  int32_t State() const override;
  void Close() override;

 protected:
  explicit BufferedRecordset(std::string_view source) : source_(source) {}
  // Marks the recordset open with these columns; no row is read yet.
  void OpenWith(std::vector<Column> columns);
  // Reads the next row into `row` (one value per column, nullopt for NULL); false after the last one.
  virtual bool ReadRow(Row& row) = 0;
  // Gives back what the source holds; never raises.
  virtual void ReleaseSource() noexcept = 0;
  void RequireClosed() const;
  void RequireOpen() const;
  std::string_view Source() const { return source_; }

 private:
  void Advance();
  // Reads the first row at the first look at the rows.
  void Start() const;
  std::size_t CheckedIndex(int32_t index) const;
  std::size_t IndexOf(std::string_view name) const;
  const std::optional<std::string>& Current(std::size_t column) const;

  std::string_view source_;
  bool open_ = false;
  mutable bool started_ = false;
  bool eof_ = true;
  std::vector<Column> columns_;
  Row row_;
};

}  // namespace talvane::db::detail
