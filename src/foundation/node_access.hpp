#pragma once
// The one way into INode's library-internal members: the connection a node looks fields up on. The
// library's node classes go through it; nothing else is befriended by INode.
#include <memory>

#include "talvane/foundation/inode.hpp"

namespace talvane::detail {

struct NodeAccess {
  static std::shared_ptr<db::Connection> Connection(const INode& node) { return node.Connection(); }
  static void SetConnection(INode& node, const std::shared_ptr<db::Connection>& connection) {
    node.SetConnection(connection);
  }
};

}  // namespace talvane::detail
