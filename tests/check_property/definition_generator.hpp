#pragma once
// Random report definitions over the sample database (examples/sql/schema.sql), as JSON text: output fields
// plain, aggregated, named and ordered; formulas comparing fields, arithmetic, aggregates and TOTAL with
// literals of every type, IN lists, BETWEEN and LIKE; sets and groupings; and, in a share of them,
// mistakes. The same seed gives the same definitions.
#include <cstdint>
#include <nlohmann/json.hpp>
#include <random>
#include <string>
#include <vector>

namespace talvane::cli::test {

class DefinitionGenerator {
 public:
  explicit DefinitionGenerator(uint32_t seed) : random_(seed) {}

  std::string Next();

 private:
  enum class Kind { kNumber, kDate, kTime, kBoolean, kText, kOther };
  struct Column {
    const char* name;
    Kind kind;
  };
  struct Table {
    const char* name;
    std::vector<Column> columns;
  };
  struct Reference {
    std::string text;
    Kind kind;
    std::string column;
  };

  static const std::vector<Table>& Schema();
  // The main table first, then the tables that have its key column (every table is joined on it); in a
  // share of definitions another table too.
  std::vector<const Table*> TablesOf(const std::string& mainTable, const std::string& key);

  nlohmann::json Formula(const std::vector<const Table*>& tables, const std::string& set);
  std::string Condition(const std::vector<const Table*>& tables);
  Reference Operand(const Reference& field);
  std::string Comparison(const Reference& left, const std::vector<const Table*>& tables);
  std::string Literal(Kind kind);
  nlohmann::json Field(const std::vector<const Table*>& tables);
  // A column of one of the tables, recorded as used by the formula being made.
  Reference AnyColumn(const std::vector<const Table*>& tables);
  // A column of the same kind when one is found in a few tries (a mismatch is a mistake too).
  Reference ColumnLike(Kind kind, const std::vector<const Table*>& tables);
  Reference UnusedColumn(const std::vector<const Table*>& tables);
  Reference Use(Reference column);
  std::string Mistake(std::string text);

  // 0 to n - 1; true once in n.
  std::size_t Below(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_); }
  bool OneIn(std::size_t n) { return Below(n) == 0; }
  template <typename T>
  const T& Pick(const std::vector<T>& items) { return items[Below(items.size())]; }

  std::mt19937 random_;
  // The columns each set's formulas read (by set name), for fields that name the set.
  std::vector<std::pair<std::string, std::vector<std::string>>> setColumns_;
  // The columns read by the formula being made.
  std::vector<std::string> used_;
};

}  // namespace talvane::cli::test
