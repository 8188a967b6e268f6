#pragma once
// A growable zero-based list of strings with an unallocated state, as the library's routines use it.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace talvane {

/// A list of texts as the library's list results hold them, with a bounded number of entries.
class StringList {
 public:
  /// Appending beyond this many entries raises "String list is full".
  static constexpr std::size_t kMaxEntries = 32768;

  /// Whether anything has been appended yet.
  bool Allocated() const { return allocated_; }
  /// The number of entries.
  std::size_t Size() const { return items_.size(); }
  /// The entry at @p i (0-based).
  const std::string& operator[](std::size_t i) const { return items_[i]; }
  /// Every entry, in order.
  const std::vector<std::string>& Items() const { return items_; }
  /// Entries joined with ", ".
  std::string Join(std::string_view separator = ", ") const;

  friend void AppendToList(StringList& list, std::string_view text);

 private:
  bool allocated_ = false;
  std::vector<std::string> items_;
};

/// Appends; raises a clear error instead of growing past kMaxEntries.
void AppendToList(StringList& list, std::string_view text);
/// Appends unless an entry equal ignoring letter case is already there.
void AppendUniqueToList(StringList& list, std::string_view text);
bool IsArrayEmpty(const StringList& list);

/// Splits a text at every ", " (the form in which lists travel as text); the empty text gives no entries.
std::vector<std::string> SplitList(std::string_view text);

}  // namespace talvane
