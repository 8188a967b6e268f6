#include "talvane/foundation/string_list.hpp"

#include "talvane/foundation/clean_text.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane {

namespace {
constexpr int32_t kListFullError = static_cast<int32_t>(0x80040001u);
}  // namespace

std::string StringList::Join(std::string_view separator) const {
  std::string out;
  for (std::size_t i = 0; i < items_.size(); ++i) {
    if (i > 0) out.append(separator);
    out += items_[i];
  }
  return out;
}

void AppendToList(StringList& list, std::string_view text) {
  // Indices are 16-bit in the published model: refuse clearly rather than wrap or grow without bound.
  if (list.items_.size() >= StringList::kMaxEntries) {
    Raise(kListFullError, "CommonUT.AppendToList", "String list is full (32768 entries)");
  }
  list.items_.emplace_back(text);
  list.allocated_ = true;
}

void AppendUniqueToList(StringList& list, std::string_view text) {
  for (const std::string& entry : list.Items()) {
    if (EqualsIgnoreCase(entry, text)) return;
  }
  AppendToList(list, text);
}

bool IsArrayEmpty(const StringList& list) { return !list.Allocated() || list.Size() == 0; }

std::vector<std::string> SplitList(std::string_view text) {
  std::vector<std::string> out;
  if (text.empty()) return out;
  constexpr std::string_view kSeparator = ", ";
  std::size_t from = 0;
  for (;;) {
    const std::size_t at = text.find(kSeparator, from);
    if (at == std::string_view::npos) break;
    out.emplace_back(text.substr(from, at - from));
    from = at + kSeparator.size();
  }
  out.emplace_back(text.substr(from));
  return out;
}

}  // namespace talvane
