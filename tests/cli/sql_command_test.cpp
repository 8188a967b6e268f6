// `talvane sql`: the statement of each example report, the dialect choice, standard input and failures.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "cli_process.hpp"

namespace talvane::cli::test {
namespace {

struct StatementCase {
  std::string report;
  std::string dialect;
};

void PrintTo(const StatementCase& c, std::ostream* os) { *os << c.report << " in " << c.dialect; }

std::string Expected(const StatementCase& c) { return ReadFile(ExpectedOutput(c.report + "." + c.dialect + ".sql")); }

std::string ReportFile(const std::string& report) { return ExampleReport(report + ".json").string(); }

class CliSqlExample : public ::testing::TestWithParam<StatementCase> {};

TEST_P(CliSqlExample, PrintsTheStatementOfTheExampleReport) {
  const StatementCase& c = GetParam();
  const ProcessResult run = RunTalvane({"sql", ReportFile(c.report), "--connection", SampleConnection(), "--dialect", c.dialect});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, Expected(c));
}

INSTANTIATE_TEST_SUITE_P(Examples, CliSqlExample,
                         ::testing::Values(StatementCase{"large_orders", "sqlserver"}, StatementCase{"large_orders", "access"},
                                           StatementCase{"busy_regions", "sqlserver"}, StatementCase{"busy_regions", "access"},
                                           StatementCase{"customers_to_call", "sqlserver"},
                                           StatementCase{"customers_to_call", "access"}),
                         [](const auto& info) { return info.param.report + "_" + info.param.dialect; });

TEST(CliSql, WhereReportHasNoJoinAndNoHaving) {
  const std::string statement = Expected({"large_orders", "sqlserver"});
  EXPECT_NE(statement.find("WHERE \n\tISNULL([Orders].[Amount], 0) >= 2000 AND "), std::string::npos);
  EXPECT_EQ(statement.find("JOIN"), std::string::npos);
  EXPECT_EQ(statement.find("HAVING"), std::string::npos);
}

TEST(CliSql, AggregateReportGroupsByTheOutputFieldsAndFiltersInHaving) {
  const std::string statement = Expected({"busy_regions", "sqlserver"});
  EXPECT_NE(statement.find("GROUP BY \n\t[Regions].[RegionID], [Regions].[RegionName]\nHAVING \n\tCOUNT("), std::string::npos);
  EXPECT_EQ(statement.find("WHERE"), std::string::npos);
}

TEST(CliSql, SetGroupedWithOrIsAnOuterJoinAndTheOtherAnInnerJoin) {
  const std::string twoSets = R"({"mainTable": "Customers", "mainField": "CustomerID",
    "fields": [{"field": "Customers.CustomerID"}, {"field": "BigOrders.Amount"}, {"field": "OnHold.OrderDate"}],
    "formulas": [{"text": "Orders.Amount > 3000", "name": "BigOrders"},
                 {"text": "Orders.Status = \"Held\"", "name": "OnHold", "grouping": "or"}]})";
  const ProcessResult sqlServer = RunTalvane({"sql", "-", "--connection", SampleConnection()}, twoSets);
  EXPECT_NE(sqlServer.out.find("\tINNER JOIN \n\t(\n"), std::string::npos) << sqlServer.err;
  EXPECT_NE(sqlServer.out.find(") AS [BigOrders]\n"), std::string::npos);
  EXPECT_NE(sqlServer.out.find("\tFULL JOIN \n\t(\n"), std::string::npos);
  EXPECT_NE(sqlServer.out.find(") AS [OnHold]\n"), std::string::npos);
  const ProcessResult access = RunTalvane({"sql", "-", "--connection", SampleConnection(), "--dialect", "access"}, twoSets);
  EXPECT_NE(access.out.find("\tLEFT JOIN \n\t(\n"), std::string::npos);
}

TEST(CliSql, ProviderInTheConnectionStringChoosesTheDialect) {
  const ProcessResult jet = RunTalvane({"sql", ReportFile("busy_regions"), "--connection",
                                        "Provider=Microsoft.Jet.OLEDB.4.0;" + SampleConnection()});
  EXPECT_EQ(jet.exitCode, 0) << jet.err;
  EXPECT_EQ(jet.out, Expected({"busy_regions", "access"}));

  const ProcessResult none = RunTalvane({"sql", ReportFile("busy_regions"), "--connection", SampleConnection()});
  EXPECT_EQ(none.out, Expected({"busy_regions", "sqlserver"}));
}

TEST(CliSql, DialectOptionWinsOverTheProviderInTheString) {
  const ProcessResult toSqlServer =
      RunTalvane({"sql", ReportFile("busy_regions"), "--connection",
                  "Provider=Microsoft.Jet.OLEDB.4.0;" + SampleConnection(), "--dialect", "sqlserver"});
  EXPECT_EQ(toSqlServer.out, Expected({"busy_regions", "sqlserver"}));

  const ProcessResult toAccess = RunTalvane({"sql", ReportFile("busy_regions"), "--connection",
                                             "Provider=SQLOLEDB.1;" + SampleConnection(), "--dialect", "ACCESS"});
  EXPECT_EQ(toAccess.out, Expected({"busy_regions", "access"}));
}

TEST(CliSql, CrlfWritesTheLineBreaksOfTheLibrary) {
  const ProcessResult run =
      RunTalvane({"sql", ReportFile("customers_to_call"), "--connection", SampleConnection(), "--crlf"});
  std::string expected;
  for (const char c : Expected({"customers_to_call", "sqlserver"})) expected += c == '\n' ? std::string("\r\n") : std::string(1, c);
  EXPECT_EQ(run.out, expected);
}

TEST(CliSql, DashReadsTheDefinitionFromStandardInput) {
  const ProcessResult run =
      RunTalvane({"sql", "-", "--connection", SampleConnection()}, ReadFile(ExampleReport("large_orders.json")));
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, Expected({"large_orders", "sqlserver"}));
}

TEST(CliSql, FailingReportPrintsItsFailuresAndNoStatement) {
  const ProcessResult run = RunTalvane({"sql", "reports/mistakes.json", "--connection", SampleConnection()}, {},
                                       TALVANE_EXAMPLES_DIR);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out, "");
  // The same failures as `check` shows, on standard error, then one line that says what became of it.
  std::string checkOutput = ReadFile(ExpectedOutput("mistakes.check.txt"));
  checkOutput.erase(checkOutput.rfind("reports/mistakes.json: "));
  EXPECT_EQ(run.err, checkOutput + "talvane: no statement: 4 failures in reports/mistakes.json\n");
}

TEST(CliSql, ReportWithoutFormulasOrFieldsStillHasItsMainTable) {
  const ProcessResult run = RunTalvane({"sql", "-", "--connection", SampleConnection()},
                                       R"({"mainTable": "Orders", "mainField": "OrderID"})");
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "SELECT  \nFROM \n\t[Orders] \n");
}

}  // namespace
}  // namespace talvane::cli::test
