#pragma once
// Every change to a formula or to a node of its tree gives the formula a new revision, so that work derived
// from the tree (the report's set resolution) can tell whether what it learnt is still current.
//
// A ChangeNote marks the tree above a node when a changing member ends, however it ends: a change made
// after a nested resolution (a field assigned in the middle of building a formula) is not lost. A member
// that unlinks the node from its parent also marks the tree it leaves, by calling Mark before it changes
// anything.
#include <cstdint>

#include "talvane/fwd.hpp"

namespace talvane::detail {

class ChangeNote {
 public:
  explicit ChangeNote(INode* node) noexcept : node_(node) {}
  ~ChangeNote() { Mark(node_); }
  ChangeNote(const ChangeNote&) = delete;
  ChangeNote& operator=(const ChangeNote&) = delete;

  // Gives the formula at the top of the node's chain of parents a new revision. A chain that ends anywhere
  // else (a node on its own, a node of the host's making) marks nothing.
  static void Mark(INode* node) noexcept;
  // The formula's current revision.
  static uint64_t RevisionOf(const Formula& formula) noexcept;

 private:
  INode* node_;
};

}  // namespace talvane::detail
