#pragma once
// The joins that reach a table along the schema's declared foreign keys (language level 2): the shortest path
// from any table already joined, each foreign key a step in either direction.
#include <string>
#include <vector>

#include "db/foreign_keys.hpp"

namespace talvane::detail {

// One table to join and the condition it is joined on.
struct KeyJoin {
  std::string table;
  std::string condition;
};

// The tables to join, in order, to reach `target` from one of `joined`. Raises, naming the target, when no
// path reaches it or when two paths of the shortest length do. Names compare without regard to case.
std::vector<KeyJoin> ForeignKeyPath(const std::vector<db::ForeignKey>& keys, const std::vector<std::string>& joined,
                                    const std::string& target);

}  // namespace talvane::detail
