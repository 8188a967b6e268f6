// Assigning and rendering long formulas: a long IN list of literals, and long arithmetic chains of
// literals alone and of literals and fields (every field is probed on the database). Time should grow
// linearly with the number of items; the complexity line of each family reports the fitted order.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

#include "talvane/db/sqlite_connection.hpp"
#include "talvane/formula/formula.hpp"

namespace {

using talvane::Formula;

std::shared_ptr<talvane::db::SqliteConnection> MakeDatabase() {
  auto connection = talvane::db::SqliteConnection::Create("Provider=SQLOLEDB.1;Data Source=:memory:");
  const char* schema =
      "CREATE TABLE Orders (OrderID INTEGER PRIMARY KEY, Amount MONEY, Qty INTEGER, Status TEXT);"
      "INSERT INTO Orders VALUES (1, 10.5, 2, 'A'), (2, 20, 3, 'B');";
  char* message = nullptr;
  if (sqlite3_exec(connection->Handle(), schema, nullptr, nullptr, &message) != SQLITE_OK) {
    const std::string text = message ? message : "schema failed";
    sqlite3_free(message);
    throw std::runtime_error(text);
  }
  return connection;
}

// Orders.Qty IN(1, 2, ...): about `items` items (each element and each comma counts).
std::string InList(int64_t items) {
  std::string text = "Orders.Qty IN(1";
  for (int64_t i = 3; i < items; i += 2) text += ", " + std::to_string(i % 1000);
  return text + ")";
}

// Orders.Amount = 1 + 2 + ... (fields = false) or 1 + Orders.Qty + 2 + Orders.Qty ... (fields = true).
std::string ArithmeticChain(int64_t items, bool fields) {
  std::string text = "Orders.Amount = 1";
  for (int64_t i = 4; i < items; i += 2) {
    text += (i / 2) % 2 == 0 && fields ? " + Orders.Qty" : " * " + std::to_string(i % 97 + 1);
  }
  return text;
}

std::string MakeText(int kind, int64_t items) {
  switch (kind) {
    case 0:
      return InList(items);
    case 1:
      return ArithmeticChain(items, false);
    default:
      return ArithmeticChain(items, true);
  }
}

std::shared_ptr<Formula> NewFormula(const std::shared_ptr<talvane::db::SqliteConnection>& connection) {
  auto formula = Formula::Create();
  formula->TempConnection(connection);
  formula->SetDatabaseType(talvane::kSQLServer);
  return formula;
}

// state.range(0): the kind of text (0 IN list, 1 literal chain, 2 chain with fields); range(1): items.
void Assign(benchmark::State& state) {
  const auto connection = MakeDatabase();
  const std::string text = MakeText(static_cast<int>(state.range(0)), state.range(1));
  auto formula = NewFormula(connection);
  for (auto _ : state) {
    formula->SetValue(std::string_view(text));
    benchmark::DoNotOptimize(formula->Count());
  }
  state.SetComplexityN(state.range(1));
  state.SetItemsProcessed(state.iterations() * state.range(1));
}

void Render(benchmark::State& state) {
  const auto connection = MakeDatabase();
  auto formula = NewFormula(connection);
  formula->SetValue(MakeText(static_cast<int>(state.range(0)), state.range(1)));
  for (auto _ : state) {
    std::string sql = formula->SQL();
    std::string value = formula->Value();
    std::string fields = formula->Fields();
    benchmark::DoNotOptimize(sql.data());
    benchmark::DoNotOptimize(value.data());
    benchmark::DoNotOptimize(fields.data());
  }
  state.SetComplexityN(state.range(1));
  state.SetItemsProcessed(state.iterations() * state.range(1));
}

void Families(benchmark::internal::Benchmark* bench, int kind) {
  bench->ArgNames({"kind", "items"})->Unit(benchmark::kMicrosecond)->Complexity(benchmark::oN);
  for (int64_t items : {1000, 10000}) bench->Args({kind, items});
}

BENCHMARK(Assign)->Name("Assign/InList")->Apply([](auto* b) { Families(b, 0); });
BENCHMARK(Assign)->Name("Assign/LiteralChain")->Apply([](auto* b) { Families(b, 1); });
BENCHMARK(Assign)->Name("Assign/FieldChain")->Apply([](auto* b) { Families(b, 2); });
BENCHMARK(Render)->Name("Render/InList")->Apply([](auto* b) { Families(b, 0); });
BENCHMARK(Render)->Name("Render/LiteralChain")->Apply([](auto* b) { Families(b, 1); });
BENCHMARK(Render)->Name("Render/FieldChain")->Apply([](auto* b) { Families(b, 2); });

}  // namespace

BENCHMARK_MAIN();
