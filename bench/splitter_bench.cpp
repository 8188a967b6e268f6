// Cutting whole formula texts into items, and classifying the items.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "talvane/formula/classify_item.hpp"
#include "talvane/formula/parse_item.hpp"

namespace {

// A text of valid items of every kind, about `bytes` long.
std::string MakeText(std::size_t bytes) {
  static const std::string kPieces[] = {
      "[Order Lines].[Unit Price] * 1.5 >= SUM(Lines.Qty) , ",
      "Orders.Status IN(1, 2, 3) AND ",
      "[Orders].[Ship Date] BETWEEN 01/01/2003 AND 31/12/2003 , ",
      "Orders.Name NOT LIKE \"A%, (b) [c]\" , ",
      "COUNT (Lines.ID) <> 12:30 , Orders.Paid = TRUE , ",
  };
  std::string text;
  text.reserve(bytes + 64);
  for (std::size_t i = 0; text.size() < bytes; ++i) text += kPieces[i % std::size(kPieces)];
  text += "1";  // end on an item, not on a blank
  return text;
}

std::vector<std::string> CutAll(std::string_view text) {
  std::vector<std::string> items;
  while (!text.empty()) items.push_back(talvane::ParseItem(text));
  return items;
}

// Cuts the whole text, the remainder held as Rest: a shrinking view, or a string that every item erases.
template <typename Rest>
void CutWith(benchmark::State& state) {
  const std::string text = MakeText(static_cast<std::size_t>(state.range(0)));
  std::size_t items = 0;
  for (auto _ : state) {
    Rest rest(text);
    items = 0;
    while (!rest.empty()) {
      std::string item = talvane::ParseItem(rest);
      benchmark::DoNotOptimize(item.data());
      ++items;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * items));
}

void CutWholeText(benchmark::State& state) { CutWith<std::string_view>(state); }
BENCHMARK(CutWholeText)->Arg(10 << 10)->Arg(100 << 10)->Arg(1 << 20)->Unit(benchmark::kMicrosecond);

// SQLite's own scan of the same text for a complete statement: a yardstick for a tokenizer's speed.
void SqliteComplete(benchmark::State& state) {
  const std::string text = MakeText(static_cast<std::size_t>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(sqlite3_complete(text.c_str()));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(SqliteComplete)->Arg(1 << 20)->Unit(benchmark::kMicrosecond);

// The erasing form copies the remainder after every item: fine for one formula, quadratic for big texts.
void CutWholeTextErasing(benchmark::State& state) { CutWith<std::string>(state); }
BENCHMARK(CutWholeTextErasing)->Arg(100)->Arg(10 << 10)->Unit(benchmark::kMicrosecond);

void ClassifyItems(benchmark::State& state) {
  const std::vector<std::string> items = CutAll(MakeText(100 << 10));
  std::size_t bytes = 0;
  for (const std::string& item : items) bytes += item.size();
  for (auto _ : state) {
    for (const std::string& item : items) {
      std::string copy = item;
      benchmark::DoNotOptimize(talvane::ClassifyItem(copy));
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * items.size()));
}
BENCHMARK(ClassifyItems)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
