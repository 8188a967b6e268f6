#pragma once
// Bench-local: hands the Access statement of a report to SQLite's compiler, as the database would
// receive it from a host.
//
// Two adaptations, both of the text given to SQLite only (the statement the library returns is untouched):
//   - Access spells the null test ISNULL(x); SQLite reads a bare ISNULL as its postfix operator, so the
//     call goes in as [ISNULL](x), a function registered on the connection.
//   - SQLite refuses expression trees deeper than 1000 levels, and a chain of n conditions joined by AND
//     and OR is n levels deep. When the statement's outer condition is too deep, it is handed over with
//     the same conditions in the same order, regrouped by parentheses into balanced trees (AND binds
//     tighter than OR, as in the flat text). The compiler then does the same work on the same terms.
#include <sqlite3.h>

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "talvane/foundation/brackets.hpp"
#include "talvane/formula/formula.hpp"
#include "talvane/report/exception.hpp"
#include "talvane/report/formula_list.hpp"

namespace talvane::bench {

inline void IsNullFunction(sqlite3_context* context, int, sqlite3_value** arguments) {
  sqlite3_result_int(context, sqlite3_value_type(arguments[0]) == SQLITE_NULL ? 1 : 0);
}

inline void RegisterHelperFunctions(sqlite3* handle) {
  if (sqlite3_create_function(handle, "ISNULL", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, IsNullFunction,
                              nullptr, nullptr) != SQLITE_OK) {
    throw std::runtime_error(sqlite3_errmsg(handle));
  }
}

inline std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

// The conditions of the unnamed formulas, each with the operator its grouping puts in front of it.
struct OuterTerm {
  GROUPTYPEENU grouping;
  std::string sql;
};

inline std::vector<OuterTerm> OuterTerms(Exception& report) {
  std::vector<OuterTerm> terms;
  const auto formulae = report.Formulae();
  for (int32_t i = 1; i <= formulae->Count(); ++i) {
    const auto formula = formulae->Formula(i);
    if (StripBrackets(formula->Name()).empty()) terms.push_back({formula->Grouping(), formula->SQL(false)});
  }
  return terms;
}

// The outer condition exactly as the statement writes it.
inline std::string FlatCondition(const std::vector<OuterTerm>& terms) {
  std::string text;
  for (const OuterTerm& term : terms) {
    if (!text.empty()) text += term.grouping == kOr ? " OR " : term.grouping == kAnd ? " AND " : "";
    text += term.sql;
  }
  return text;
}

inline std::string Balanced(const std::vector<std::string>& parts, std::size_t from, std::size_t to,
                            const char* op) {
  if (to - from == 1) return parts[from];
  const std::size_t middle = from + (to - from) / 2;
  return "(" + Balanced(parts, from, middle, op) + " " + op + " " + Balanced(parts, middle, to, op) + ")";
}

// The same terms, in the same order: OR of AND groups, each level a balanced tree.
inline std::string BalancedCondition(const std::vector<OuterTerm>& terms) {
  std::vector<std::vector<std::string>> orGroups;
  for (std::size_t i = 0; i < terms.size(); ++i) {
    if (i > 0 && terms[i].grouping == kBase) throw std::logic_error("a kBase rule after the first has no operator");
    if (i == 0 || terms[i].grouping == kOr) orGroups.emplace_back();
    orGroups.back().push_back("(" + terms[i].sql + ")");
  }
  std::vector<std::string> ands;
  for (const auto& group : orGroups) ands.push_back(Balanced(group, 0, group.size(), "AND"));
  return Balanced(ands, 0, ands.size(), "OR");
}

struct CompileText {
  std::string sql;
  bool regrouped = false;
};

inline bool Compiles(sqlite3* handle, const std::string& sql, std::string* message) {
  sqlite3_stmt* statement = nullptr;
  const int rc = sqlite3_prepare_v2(handle, sql.data(), static_cast<int>(sql.size()), &statement, nullptr);
  sqlite3_finalize(statement);
  if (rc != SQLITE_OK && message != nullptr) *message = sqlite3_errmsg(handle);
  return rc == SQLITE_OK;
}

// The text SQLite compiles for the report's statement; throws when SQLite refuses it even regrouped.
inline CompileText TextForSqlite(Exception& report, const std::string& statement, sqlite3* handle) {
  if (statement.find('#') != std::string::npos) throw std::logic_error("Access date literals do not run on SQLite");
  CompileText text{ReplaceAll(statement, "ISNULL(", "[ISNULL]("), false};
  std::string message;
  if (Compiles(handle, text.sql, &message)) return text;

  const std::vector<OuterTerm> terms = OuterTerms(report);
  const std::string flat = ReplaceAll(FlatCondition(terms), "ISNULL(", "[ISNULL](");
  const std::size_t at = terms.empty() ? std::string::npos : text.sql.find("\t" + flat + "\r\n");
  if (at == std::string::npos) throw std::runtime_error("SQLite refused the statement: " + message);
  std::vector<OuterTerm> adapted = terms;
  for (OuterTerm& term : adapted) term.sql = ReplaceAll(term.sql, "ISNULL(", "[ISNULL](");
  text.sql.replace(at + 1, flat.size(), BalancedCondition(adapted));
  text.regrouped = true;
  if (!Compiles(handle, text.sql, &message)) throw std::runtime_error("SQLite refused the statement: " + message);
  return text;
}

}  // namespace talvane::bench
