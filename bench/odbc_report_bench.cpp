// A report of 1,000 formulas built over ODBC against a PostgreSQL server, next to the same report on the
// SQLite backend:
//   ReportBuildOdbc/N    building the report (every formula typed, every field probed) on a new connection
//                        to a private PostgreSQL server started for the run, its statement read;
//   ReportBuildSqlite/N  the same on a new in-memory SQLite database.
// Before the timings, the round trips one build makes over ODBC are counted and printed: catalogue calls
// (table and column listings) and prepared probes, against the tables the report names.
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "report_mix.hpp"
#include "temp_dir.hpp"
#include "talvane/db/odbc_connection.hpp"

namespace talvane::bench {
namespace {

constexpr int kFormulas = 1000;
constexpr int kTablesNamed = 6;  // Customers, Orders, Lines, Payments, Regions, Contacts

// The report schema in PostgreSQL's types, names quoted so that they keep their letter case.
constexpr const char* kPostgresSchema = R"sql(
CREATE TABLE "Customers" ("CustID" integer PRIMARY KEY, "CustName" varchar(60), "City" varchar(40),
                          "Balance" money, "Since" date, "Active" boolean, "Score" real);
CREATE TABLE "Orders" ("OrderID" integer PRIMARY KEY, "CustID" integer, "Amount" money, "Qty" integer,
                       "Status" varchar(20), "Placed" date, "Shipped" date, "Paid" boolean);
CREATE TABLE "Lines" ("LineID" integer PRIMARY KEY, "CustID" integer, "OrderID" integer, "Product" varchar(50),
                      "Price" numeric(10, 2), "Quantity" smallint, "Discount" double precision);
CREATE TABLE "Payments" ("PaymentID" integer PRIMARY KEY, "CustID" integer, "Amount" money, "Method" char(10),
                         "PaidOn" timestamp);
CREATE TABLE "Regions" ("RegionID" integer PRIMARY KEY, "CustID" integer, "RegionName" text, "Manager" varchar(40));
CREATE TABLE "Contacts" ("ContactID" integer PRIMARY KEY, "CustID" integer, "Email" varchar(80), "Calls" integer,
                         "LastCall" timestamp);
INSERT INTO "Customers" SELECT i, 'Customer ' || i, 'City' || (i % 50), i * 3.5, '2001-01-01', i % 2 = 1, i / 7.0
  FROM generate_series(1, 200) AS i;
INSERT INTO "Orders" SELECT i, i % 200 + 1, i * 1.25, i % 9, 'Open', '2002-03-04', '2002-03-09', i % 2 = 1
  FROM generate_series(1, 1000) AS i;
)sql";

// A private server for the run, set up and torn down by the tests' cluster script.
class PostgresServer {
 public:
  PostgresServer() {
    root_ = MakeTempDir("talvane-odbc-bench");
    std::filesystem::permissions(root_, std::filesystem::perms::all);  // the server's own user creates its cluster here
    std::ofstream(root_ / "schema.sql") << kPostgresSchema;
    Run("setup " + (root_ / "cluster").string() + " " + (root_ / "schema.sql").string());
    std::ifstream(root_ / "cluster" / "port") >> port_;
  }
  ~PostgresServer() {
    std::system(("bash " + std::string(TALVANE_POSTGRES_SCRIPT) + " teardown " + (root_ / "cluster").string()).c_str());
    std::filesystem::remove_all(root_);
  }
  PostgresServer(const PostgresServer&) = delete;
  PostgresServer& operator=(const PostgresServer&) = delete;

  std::string ConnectionString() const {
    return std::string("Provider=Microsoft.Jet.OLEDB.4.0;Driver=") + TALVANE_POSTGRES_ODBC_DRIVER +
           ";Server=127.0.0.1;Port=" + port_ + ";Database=talvane;UID=talvane";
  }

 private:
  static void Run(const std::string& arguments) {
    const std::string command = "bash " + std::string(TALVANE_POSTGRES_SCRIPT) + " " + arguments;
    if (std::system(command.c_str()) != 0) throw std::runtime_error("failed: " + command);
  }

  std::filesystem::path root_;
  std::string port_;
};

PostgresServer& Server() {
  static PostgresServer server;
  return server;
}

void ReportBuildOdbc(benchmark::State& state) {
  const Definition plan = MakeReportDefinition(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    const auto connection = db::OdbcConnection::Create(Server().ConnectionString());
    state.ResumeTiming();
    benchmark::DoNotOptimize(ReportFromDefinition(plan, connection)->SQL());
  }
}

void ReportBuildSqlite(benchmark::State& state) {
  const Definition plan = MakeReportDefinition(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    const auto connection = MakeReportDatabase();
    state.ResumeTiming();
    benchmark::DoNotOptimize(ReportFromDefinition(plan, connection)->SQL());
  }
}

BENCHMARK(ReportBuildOdbc)->Arg(kFormulas)->Unit(benchmark::kMillisecond);
BENCHMARK(ReportBuildSqlite)->Arg(kFormulas)->Unit(benchmark::kMillisecond);

void PrintRoundTrips() {
  const auto connection = db::OdbcConnection::Create(Server().ConnectionString());
  ReportFromDefinition(MakeReportDefinition(kFormulas), connection)->SQL();
  const db::OdbcCounts counts = connection->Counts();
  std::printf("ODBC round trips of one build of a %d-formula report naming %d tables: %lld catalogue calls, "
              "%lld statements prepared (column probes), %lld statements run\n",
              kFormulas, kTablesNamed, static_cast<long long>(counts.catalogueCalls),
              static_cast<long long>(counts.statementsPrepared), static_cast<long long>(counts.statementsExecuted));
}

}  // namespace
}  // namespace talvane::bench

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  talvane::bench::PrintRoundTrips();
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
