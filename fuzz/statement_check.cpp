#include "statement_check.hpp"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "hardening/statement_safety.hpp"

namespace talvane::fuzz {

void RequireSafeStatement(std::string_view sql, std::string_view what) {
  const std::string problem = test::StatementProblem(sql);
  if (problem.empty()) return;
  std::fprintf(stderr, "unsafe %.*s: %s\n----\n%.*s\n----\n", static_cast<int>(what.size()), what.data(),
               problem.c_str(), static_cast<int>(sql.size()), sql.data());
  std::abort();
}

}  // namespace talvane::fuzz
