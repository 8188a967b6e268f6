// The field probe (SELECT * FROM [T] ; on a prepared probe recordset, then a field's type by name) on a table
// of 10 rows and one of 1,000,000 rows. A probe stops at the first row, so both figures should be alike.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "sqlite_exec.hpp"
#include "temp_dir.hpp"
#include "talvane/db/schema_lookup.hpp"
#include "talvane/db/sqlite_connection.hpp"

namespace {

using talvane::bench::Exec;

constexpr int64_t kSmallRows = 10;
constexpr int64_t kBigRows = 1000000;

std::string FillTable(const std::string& table, int64_t rows) {
  return "CREATE TABLE " + table +
         " (ID INTEGER PRIMARY KEY, CustID INTEGER, Amount MONEY, Status TEXT, Placed DATE);"
         "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < " +
         std::to_string(rows) + ") INSERT INTO " + table +
         " SELECT i, i % 97, i * 1.25, 'Status ' || (i % 5), '2020-01-01' FROM n;";
}

// A database file with both tables, built once per run in a temporary directory removed at exit.
class ProbeDatabase {
 public:
  ProbeDatabase() {
    directory_ = talvane::bench::MakeTempDir("talvane-bench").string();
    const std::string path = directory_ + "/probe.db";

    sqlite3* handle = nullptr;
    sqlite3_open_v2(path.c_str(), &handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    Exec(handle, "PRAGMA journal_mode = OFF; PRAGMA synchronous = OFF; BEGIN;" + FillTable("Small", kSmallRows) +
                     FillTable("Big", kBigRows) + "COMMIT;");
    sqlite3_close_v2(handle);
    connection_ = talvane::db::SqliteConnection::Create("Provider=SQLOLEDB.1;Data Source=" + path);
  }
  ~ProbeDatabase() {
    connection_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
  }
  const std::shared_ptr<talvane::db::SqliteConnection>& Connection() const { return connection_; }

 private:
  std::string directory_;
  std::shared_ptr<talvane::db::SqliteConnection> connection_;
};

ProbeDatabase& Database() {
  static ProbeDatabase database;
  return database;
}

// The probe as the library runs it for a field item.
int32_t ProbeFieldType(const std::shared_ptr<talvane::db::Connection>& connection, const std::string& table,
                       const std::string& field) {
  auto recordset = connection->NewRecordset();
  talvane::PrepareProbeRecordset(*recordset);
  recordset->Open("SELECT * FROM [" + table + "] ;", connection);
  const int32_t type = recordset->FieldType(field);
  if (recordset->State() == talvane::db::kAdStateOpen) recordset->Close();
  return type;
}

void FieldProbe(benchmark::State& state) {
  const bool big = state.range(0) == kBigRows;
  const std::shared_ptr<talvane::db::Connection> connection = Database().Connection();
  const std::string table = big ? "Big" : "Small";
  for (auto _ : state) benchmark::DoNotOptimize(ProbeFieldType(connection, table, "amount"));
  state.counters["rows"] = static_cast<double>(state.range(0));
}
BENCHMARK(FieldProbe)->Arg(kSmallRows)->Arg(kBigRows)->Unit(benchmark::kMicrosecond);

// What telling a schema change costs: the connection's schema version, read before a cached answer is used.
void SchemaVersion(benchmark::State& state) {
  const std::shared_ptr<talvane::db::Connection> connection = Database().Connection();
  for (auto _ : state) benchmark::DoNotOptimize(connection->SchemaVersion());
}
BENCHMARK(SchemaVersion)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
