#include "formula/change_note.hpp"

#include <memory>

#include "formula/formula_tree.hpp"
#include "foundation/node_access.hpp"
#include "talvane/formula/formula.hpp"
#include "talvane/formula/item.hpp"
#include "talvane/formula/section.hpp"
#include "talvane/report/exception.hpp"

namespace talvane::detail {

namespace {

// The innermost changing member running on this thread; each note links to the one around it.
thread_local ChangeNote* innermost = nullptr;

}  // namespace

ChangeNote::ChangeNote(INode* node) noexcept : node_(node), outer_(innermost) { innermost = this; }

ChangeNote::~ChangeNote() {
  innermost = outer_;
  if (outer_ == nullptr) Mark(node_);
}

void ChangeNote::Mark(INode* node) noexcept {
  // Bounded as every upward walk is, so that parents linked into a circle cannot make it endless.
  std::shared_ptr<INode> parent;
  for (int32_t steps = 0; node != nullptr && steps < tree::kMaxParentWalk; ++steps) {
    if (auto* formula = dynamic_cast<Formula*>(node)) {
      ++formula->revision_;
      if (const std::shared_ptr<Exception> owner = formula->OwningException()) owner->NoteFormulaChanged(*formula);
      return;
    }
    if (const auto* item = dynamic_cast<const Item*>(node)) parent = item->parent_.lock();
    else if (const auto* section = dynamic_cast<const Section*>(node)) parent = section->parent_.lock();
    else return;  // a node of the host's making ends the climb
    node = parent.get();
  }
}

void ChangeNote::MarkChangesUnderWay() noexcept {
  for (const ChangeNote* note = innermost; note != nullptr; note = note->outer_) Mark(note->node_);
}

uint64_t ChangeNote::RevisionOf(const Formula& formula) noexcept { return formula.revision_; }

}  // namespace talvane::detail
