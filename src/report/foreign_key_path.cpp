#include "report/foreign_key_path.hpp"

#include <deque>
#include <map>

#include "talvane/foundation/brackets.hpp"
#include "talvane/foundation/clean_text.hpp"
#include "talvane/foundation/enums.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane::detail {

namespace {

constexpr std::string_view kSource = "Exception.SQL";

// What the search knows of a table it has reached.
struct Reached {
  std::size_t distance = 0;
  std::size_t paths = 0;            // shortest paths that reach it; more than one makes it ambiguous
  std::string name;                 // as the schema or the report spells it
  std::string from;                 // the key of the table it is reached from; empty for a joined table
  const db::ForeignKey* key = nullptr;  // the foreign key of that step
};

std::string Column(const std::string& table, const std::string& column) {
  return AddBrackets(table) + "." + AddBrackets(column);
}

// The step's condition, the table already reached first.
std::string Condition(const db::ForeignKey& key, bool fromChild) {
  const std::string child = Column(key.fkTable, key.fkColumn);
  const std::string parent = Column(key.pkTable, key.pkColumn);
  return fromChild ? child + " = " + parent : parent + " = " + child;
}

}  // namespace

std::vector<KeyJoin> ForeignKeyPath(const std::vector<db::ForeignKey>& keys, const std::vector<std::string>& joined,
                                    const std::string& target) {
  std::map<std::string, Reached> reached;
  std::deque<std::string> queue;
  for (const std::string& table : joined) {
    if (reached.emplace(UpperAscii(table), Reached{0, 1, table, {}, nullptr}).second) queue.push_back(UpperAscii(table));
  }
  while (!queue.empty()) {
    const std::string at = queue.front();
    queue.pop_front();
    const Reached here = reached.at(at);
    for (const db::ForeignKey& key : keys) {
      const bool fromChild = UpperAscii(key.fkTable) == at;
      if (!fromChild && UpperAscii(key.pkTable) != at) continue;
      const std::string& nextName = fromChild ? key.pkTable : key.fkTable;
      const std::string next = UpperAscii(nextName);
      const auto [it, added] = reached.emplace(next, Reached{here.distance + 1, 0, nextName, at, &key});
      if (added) queue.push_back(next);
      if (it->second.distance == here.distance + 1) it->second.paths += here.paths;
    }
  }
  const auto found = reached.find(UpperAscii(target));
  const std::string name = AddBrackets(StripBrackets(target));
  if (found == reached.end()) {
    Raise(ERR_EXCEPT_ITEMTYPE, kSource,
          "No path of foreign keys reaches table " + name + " from the main table or a joined table");
  }
  if (found->second.paths > 1) {
    Raise(ERR_EXCEPT_ITEMTYPE, kSource,
          "Two paths of foreign keys of the same length reach table " + name +
              ": use a table of the path meant in a rule or an output field");
  }
  std::vector<KeyJoin> path;
  for (const Reached* step = &found->second; step->key != nullptr; step = &reached.at(step->from)) {
    path.insert(path.begin(), {step->name, Condition(*step->key, UpperAscii(step->key->fkTable) == step->from)});
  }
  return path;
}

}  // namespace talvane::detail
