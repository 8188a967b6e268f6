#pragma once
// Every change to a formula or to a node of its tree gives the formula a new revision, so that work derived
// from the tree (the report's set resolution) can tell whether what it learnt is still current.
//
// A ChangeNote marks the tree above a node when a changing member ends, however it ends. Members called by
// other changing members leave the marking to the outermost one, whose node is in the same tree; a member
// that unlinks a node from its parent marks the tree it leaves at once, by calling Mark before it changes
// anything. A resolution that runs while changes are under way (a field assigned in the middle of building
// a formula) first marks the trees of every member still running, through MarkChangesUnderWay.
#include <cstdint>

#include "talvane/fwd.hpp"

namespace talvane::detail {

class ChangeNote {
 public:
  explicit ChangeNote(INode* node) noexcept;
  ~ChangeNote();
  ChangeNote(const ChangeNote&) = delete;
  ChangeNote& operator=(const ChangeNote&) = delete;

  // Gives the formula at the top of the node's chain of parents a new revision. A chain that ends anywhere
  // else (a node on its own, a node of the host's making) marks nothing.
  static void Mark(INode* node) noexcept;
  // Marks the trees of the changing members that are running on this thread.
  static void MarkChangesUnderWay() noexcept;
  // The formula's current revision.
  static uint64_t RevisionOf(const Formula& formula) noexcept;

 private:
  INode* node_;
  ChangeNote* outer_;  // the note of the changing member that called this one; null for the outermost
};

}  // namespace talvane::detail
