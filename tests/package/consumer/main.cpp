// Uses the installed library the way a host does: cut a formula text into items.
#include <talvane/talvane.hpp>

#include <iostream>
#include <string>

int main() {
  std::string rest = "Orders.Amount >= 100";
  int items = 0;
  while (!rest.empty()) {
    std::cout << talvane::ParseItem(rest) << '\n';
    ++items;
  }
  return items == 3 ? 0 : 1;
}
