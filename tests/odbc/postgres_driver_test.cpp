// The ODBC backend against a real PostgreSQL server, started for the run by the fixture OdbcPostgres.StartServer
// (see postgres_cluster.sh and postgres_schema.sql): type mapping, a report's type checks and field look-ups,
// the probe of a table of a million rows, and the server going away in the middle of a report.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <future>
#include <string>

#include "cli_process.hpp"
#include "support/expect_error.hpp"
#include "odbc_test_support.hpp"
#include "talvane/db/schema_cache.hpp"
#include "talvane/formula/formula.hpp"
#include "talvane/report/exception.hpp"
#include "talvane/report/formula_list.hpp"

namespace talvane::test {
namespace {

std::string ServerString() {
  std::ifstream portFile(std::string(TALVANE_POSTGRES_CLUSTER) + "/port");
  std::string port;
  portFile >> port;
  // Booleans as booleans: the driver otherwise hands them over as text.
  return DriverString(TALVANE_POSTGRES_ODBC_DRIVER,
                      "Server=127.0.0.1;Port=" + port + ";Database=talvane;UID=talvane;BoolsAsChar=0");
}

void Cluster(const std::string& verb) {
  const std::string command = std::string("bash ") + TALVANE_POSTGRES_SCRIPT + " " + verb + " " + TALVANE_POSTGRES_CLUSTER;
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

ITEMDATATYPEENUM FormulaType(const std::shared_ptr<db::Connection>& connection, const std::string& text) {
  const auto formula = Formula::Create();
  formula->TempConnection(connection);
  formula->SetValue(text);
  return formula->DataType();
}

TEST(OdbcPostgres, ServerTypesMapOntoAdoTypesInProbeAndColumnsSchema) {
  const auto connection = db::OdbcConnection::Create(ServerString());
  const std::map<std::string, int32_t> expected = {{"i", 3},     {"b", 20},    {"n", 131},   {"r", 4},
                                                   {"d", 5},     {"flag", 11}, {"day", 133}, {"t", 134},
                                                   {"ts", 135},  {"v", 200},   {"tx", 202},  {"u", 72}};
  EXPECT_EQ(ProbedTypes(*connection, "typed"), expected);
  EXPECT_EQ(ListedTypes(*connection, "typed"), expected);
}

TEST(OdbcPostgres, ReportTypeChecksAndFieldLookUpsUseTheServersSchema) {
  const auto connection = db::OdbcConnection::Create(ServerString());
  EXPECT_EQ(FormulaType(connection, "[typed].[n]"), kIsNumeric);
  EXPECT_EQ(FormulaType(connection, "[typed].[flag]"), kIsBoolean);
  EXPECT_EQ(FormulaType(connection, "[typed].[day]"), kIsDate);
  EXPECT_EQ(FormulaType(connection, "[typed].[t]"), kIsTime);
  EXPECT_EQ(FormulaType(connection, "[typed].[tx]"), kIsString);
  EXPECT_EQ(CaptureError([&] { FormulaType(connection, "[orders].[nosuchcolumn] > 1"); }).Number(), ERR_ITEMTYPE);
  EXPECT_NE(CaptureError([&] { FormulaType(connection, "[orders].[orderdate] > \"text\""); }).Number(), 0);

  const auto report = Exception::Create();
  report->SetConnection(connection);
  report->SetMainTable("orders");
  report->SetMainField("orderid");
  report->Formulae()->AddNew();
  report->Formulae()->Formula()->SetValue(std::string_view("orders.amount >= 2000"));
  EXPECT_NE(report->SQL().find("[orders].[amount]"), std::string::npos);
  EXPECT_TRUE(connection->Schema().TableHasColumn("customers", "onhold"));
  EXPECT_FALSE(connection->Schema().TableHasColumn("customers", "amount"));
}

// The probe prepares and describes: nothing runs, so a million rows cost what ten cost, and a view whose
// every row fails to compute is probed without the failure.
TEST(OdbcPostgres, ProbeRunsNoStatementWhateverTheTableSize) {
  const auto connection = db::OdbcConnection::Create(ServerString());
  EXPECT_EQ(ProbedTypes(*connection, "million"), ProbedTypes(*connection, "ten"));
  EXPECT_EQ(ProbedTypes(*connection, "failing").size(), 2u);
  EXPECT_EQ(connection->Counts().statementsExecuted, 0);
  const auto rows = connection->NewRecordset();
  rows->Open("SELECT boom FROM failing", connection);
  const Error error = CaptureError([&] { rows->Eof(); });
  EXPECT_NE(error.Message().find("SQLSTATE 22012"), std::string::npos) << error.Message();  // division by zero
  EXPECT_EQ(rows->State(), db::kAdStateClosed);
}

// Rows are fetched in blocks into buffers sized from the described columns; a column of no bounded width (a
// numeric of any precision) is read on its own from each row of the block, beside bound ones.
TEST(OdbcPostgres, UnboundedColumnsAreReadWholeFromEachRowOfABlock) {
  const auto connection = db::OdbcConnection::Create(ServerString());
  const auto rows = connection->NewRecordset();
  rows->Open("SELECT g AS i, 10::numeric ^ (g * 2000) AS n, repeat('\xc3\xa9', 3)::varchar(3) AS v "
             "FROM generate_series(1, 3) AS g ORDER BY g", connection);
  for (int g = 1; g <= 3; ++g) {
    ASSERT_FALSE(rows->Eof());
    EXPECT_EQ(rows->FieldValue(0), std::to_string(g));
    const std::string n = rows->FieldValue(1);
    EXPECT_EQ(n.substr(0, n.find('.')), "1" + std::string(static_cast<std::size_t>(g) * 2000, '0'));
    EXPECT_EQ(rows->FieldValue(2), "\xc3\xa9\xc3\xa9\xc3\xa9");
    rows->MoveNext();
  }
  EXPECT_TRUE(rows->Eof());
}

TEST(OdbcPostgres, ServerStoppedMidReportGivesACleanErrorAndANewConnectionWorksOnceItIsBack) {
  const auto connection = db::OdbcConnection::Create(ServerString());
  EXPECT_EQ(FormulaType(connection, "[orders].[amount]"), kIsNumeric);
  Cluster("stop");
  const Error gone = CaptureError([&] { FormulaType(connection, "[customers].[name]"); });
  const Error refused = CaptureError([] { db::OdbcConnection::Create(ServerString()); });
  Cluster("start");
  EXPECT_EQ(gone.Number(), db::kErrUnspecified) << gone.Message();
  EXPECT_EQ(gone.Source(), "ODBC");
  EXPECT_NE(gone.Message().find("SQLSTATE"), std::string::npos) << gone.Message();
  EXPECT_NE(refused.Message().find("SQLSTATE 08001"), std::string::npos) << refused.Message();
  const auto again = db::OdbcConnection::Create(ServerString());
  EXPECT_EQ(FormulaType(again, "[customers].[name]"), kIsString);
  connection->Close();
  connection->Open();
  EXPECT_EQ(FormulaType(connection, "[customers].[region]"), kIsString);
}

// Interrupt reaches a statement the server is still running (SQLCancel from another thread).
TEST(OdbcPostgres, InterruptStopsARunningStatementAndTheConnectionGoesOn) {
  const auto connection = db::OdbcConnection::Create(ServerString());
  auto sleeping = std::async(std::launch::async, [connection] {
    auto rs = connection->NewRecordset();
    rs->Open("SELECT pg_sleep(600)", connection);
    rs->Eof();
  });
  while (sleeping.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) connection->Interrupt();
  const Error stopped = CaptureError([&] { sleeping.get(); });
  EXPECT_EQ(stopped.Number(), db::kErrCancelled) << stopped.Message();
  auto rs = connection->NewRecordset();
  rs->Open("SELECT 7", connection);
  EXPECT_EQ(rs->FieldValue(0), "7");
}

// `talvane run` streaming a million rows when the server goes: the driver fetches through a cursor, a hundred
// rows at a time, so the server is needed again after the first rows are printed. The run fails with the
// driver's message and the exit code of a failed run; the JSON array is left open and no row count is printed.
TEST(OdbcPostgres, ServerStoppedWhileRunStreamsRowsFailsTheRunAndLeavesNoCompleteResult) {
  const cli::test::ScratchDir dir;
  const auto definition = dir.Write("million.json", R"({"mainTable": "million", "mainField": "id",
    "fields": [{"field": "million.id"}, {"field": "million.amount"}], "formulas": [{"text": "million.amount > 0"}]})");
  const cli::test::ProcessResult run = cli::test::RunTalvaneInterrupted(
      {"run", definition.string(), "--connection", ServerString() + ";UseDeclareFetch=1;Fetch=100", "--format",
       "json"},
      [] { Cluster("stop"); });
  Cluster("start");
  EXPECT_EQ(run.exitCode, 1) << run.err;
  EXPECT_EQ(run.out.rfind("[\n{", 0), 0u) << run.out.substr(0, 100);
  EXPECT_NE(run.out.substr(run.out.size() - 2), "]\n");
  EXPECT_EQ(run.err.rfind("talvane: the statement failed: error ", 0), 0u) << run.err;
  EXPECT_NE(run.err.find("SQLSTATE"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find(" rows"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace talvane::test
