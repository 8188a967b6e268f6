#include "formula/change_note.hpp"

#include <memory>

#include "formula/formula_tree.hpp"
#include "talvane/formula/formula.hpp"

namespace talvane::detail {

void ChangeNote::Mark(INode* node) noexcept {
  // Bounded as every upward walk is, so that parents linked into a circle cannot make it endless.
  std::shared_ptr<INode> parent;
  for (int32_t steps = 0; node != nullptr && steps < tree::kMaxParentWalk; ++steps) {
    parent = node->MarkChanged();
    node = parent.get();
  }
}

uint64_t ChangeNote::RevisionOf(const Formula& formula) noexcept { return formula.revision_; }

}  // namespace talvane::detail
