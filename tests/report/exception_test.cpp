#include "report/report_test_support.hpp"

namespace talvane::test {
namespace {

std::shared_ptr<db::SqliteConnection> Connect(const std::string& connectionString) {
  return db::SqliteConnection::Create(connectionString);
}

TEST(ExceptionCreate, StartsEmptyOnSqlServerWithBothListsLinkedBack) {
  const auto report = Exception::Create();
  EXPECT_EQ(report->DatabaseType(), kSQLServer);
  EXPECT_EQ(report->Formulae()->DatabaseType(), kSQLServer);
  EXPECT_EQ(report->MainField(), "");
  EXPECT_EQ(report->MainTable(), "");
  EXPECT_EQ(report->Connection(), nullptr);
  EXPECT_EQ(report->Formulae()->Exception(), report);
  EXPECT_EQ(report->Fields()->Parent(), report);
  EXPECT_EQ(report->Formulae()->Count(), 0);
  EXPECT_TALVANE_ERROR(report->SQL(), kErr4, "Exception.Validate", "Connection is closed.");
}

TEST(ExceptionCreate, ListsDoNotKeepTheReportAlive) {
  std::shared_ptr<FormulaList> formulae;
  {
    const auto report = Exception::Create();
    formulae = report->Formulae();
  }
  EXPECT_EQ(formulae->Exception(), nullptr);
}

struct ProviderCase {
  const char* connectionString;
  DATABASETYPEENU dialect;
};

// Shown by ctest and gtest as the connection string rather than as bytes.
void PrintTo(const ProviderCase& c, std::ostream* out) { *out << '"' << c.connectionString << '"'; }

class ExceptionProvider : public testing::TestWithParam<ProviderCase> {};

TEST_P(ExceptionProvider, DialectFollowsTheProviderOfTheConnectionString) {
  const auto report = Exception::Create();
  report->SetConnection(Connect(GetParam().connectionString));
  EXPECT_EQ(report->DatabaseType(), GetParam().dialect) << GetParam().connectionString;
  EXPECT_EQ(report->Formulae()->DatabaseType(), GetParam().dialect);
}

INSTANTIATE_TEST_SUITE_P(
    ConnectionStrings, ExceptionProvider,
    testing::Values(ProviderCase{"Provider=SQLOLEDB.1;Data Source=:memory:", kSQLServer},
                    ProviderCase{"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=:memory:", kAccess},
                    ProviderCase{"provider=microsoft.jet.oledb.4.0;data source=:memory:", kAccess},
                    // Blanks in the key are skipped; a blank after "=" belongs to the value.
                    ProviderCase{"Provider =Microsoft.Jet.OLEDB.4.0;Data Source=:memory:", kAccess},
                    ProviderCase{" P r o v i d e r  =Microsoft.Jet.OLEDB.4.0;Data Source=:memory:", kAccess},
                    ProviderCase{"Provider= Microsoft.Jet.OLEDB.4.0;Data Source=:memory:", kSQLServer},
                    ProviderCase{"Provider = Microsoft.Jet.OLEDB.4.0;Data Source=:memory:", kSQLServer},
                    ProviderCase{"Provider=Microsoft.Jet.OLEDB.4.0 ;Data Source=:memory:", kSQLServer},
                    ProviderCase{"Provider=Microsoft.Jet.OLEDB.3.51;Data Source=:memory:", kSQLServer},
                    ProviderCase{"Provider=SQLOLEDB;Data Source=:memory:", kSQLServer},
                    ProviderCase{"Data Source=:memory:", kSQLServer},
                    ProviderCase{"Data Source=:memory:;Provider=Microsoft.Jet.OLEDB.4.0", kAccess},
                    ProviderCase{"Data Provider=Microsoft.Jet.OLEDB.4.0;Data Source=:memory:", kAccess},
                    ProviderCase{"Data Source=:memory:;Provider=", kSQLServer},
                    ProviderCase{"Provider=sQLite;Data Source=:memory:", kSQLite},
                    ProviderCase{"Provider =SQLITE;Data Source=:memory:", kSQLite},
                    ProviderCase{"Provider=SQLite3;Data Source=:memory:", kSQLServer},
                    ProviderCase{"Provider= SQLite;Data Source=:memory:", kSQLServer}));

TEST(ExceptionConnection, SecondConnectionDerivesTheDialectAgainAndReachesTheFormulas) {
  const auto report = Exception::Create();
  report->SetConnection(MakeStandardDatabase(kAccessProvider));
  report->Formulae()->AddNew();
  const auto formula = report->Formulae()->Formula();
  EXPECT_EQ(formula->DatabaseType(), kAccess);
  const auto second = MakeStandardDatabase(kSqlServerProvider);
  report->SetConnection(second);
  EXPECT_EQ(report->DatabaseType(), kSQLServer);
  EXPECT_EQ(formula->DatabaseType(), kSQLServer);
  EXPECT_EQ(report->Connection(), second);
  EXPECT_EQ(report->Formulae()->Connection(), second);
}

TEST(ExceptionMainNames, StoredWithoutBracketsAndReadWithThem) {
  const auto report = Exception::Create();
  report->SetMainField("[CustomerID]");
  EXPECT_EQ(report->MainField(), "[CustomerID]");
  report->SetMainTable("Order Lines");
  EXPECT_EQ(report->MainTable(), "[Order Lines]");
}

TEST(ExceptionMainNames, DottedOrInnerBracketedNamesAreRefusedWithABareNumber) {
  const auto report = Exception::Create();
  report->SetMainField("CustomerID");
  report->SetMainTable("Customers");
  for (const char* bad : {"Orders.CustomerID", "[a]b]", "x[y", "[[a]"}) {
    const Error fieldError = CaptureError([&] { report->SetMainField(bad); });
    EXPECT_EQ(fieldError.Number(), kErr1);
    EXPECT_EQ(fieldError.Source(), "");
    EXPECT_EQ(fieldError.Description(), "");
    EXPECT_EQ(CaptureError([&] { report->SetMainTable(bad); }).Number(), kErr1);
  }
  EXPECT_EQ(report->MainField(), "[CustomerID]");
  EXPECT_EQ(report->MainTable(), "[Customers]");
}

TEST(ExceptionValidate, ReportsConnectionThenMainFieldThenMainTable) {
  const auto report = Exception::Create();
  const auto database = MakeStandardDatabase();
  report->SetConnection(database);
  database->Close();
  EXPECT_TALVANE_ERROR(Access::Validate(*report), kErr4, "Exception.Validate", "Connection is closed.");
  database->Open();
  EXPECT_TALVANE_ERROR(Access::Validate(*report), kErr1, "Exception.Validate", "Main field has not been set.");
  report->SetMainField("CustID");
  EXPECT_TALVANE_ERROR(report->SQL(), kErr2, "Exception.Validate", "Main table has not been set.");
  report->SetMainTable("Customers");
  Access::Validate(*report);
}

TEST(ExceptionExportName, TakesTheLastAsPartOrTheColumn) {
  EXPECT_EQ(Access::ExportName("[Orders].[Amount] as [Total]"), "[Total]");
  EXPECT_EQ(Access::ExportName("[Orders].[Amount] AS [A] AS [B]"), "[B]");
  EXPECT_EQ(Access::ExportName("[Orders].[Amount]"), "[Amount]");
  EXPECT_EQ(Access::ExportName("[Order Lines].[Unit Price]"), "[Unit Price]");
  const char* message =
      "Badly formed selected field. Should be of the form [fieldname].[table] (optional) AS [exportname]";
  EXPECT_TALVANE_ERROR(Access::ExportName("Orders.Amount"), kErr3, "Exception.ExportName", message);
  EXPECT_TALVANE_ERROR(Access::ExportName(""), kErr3, "Exception.ExportName", message);
}

TEST(ExceptionExportName, HasExportNameComparesWithoutCase) {
  StringList list;
  EXPECT_FALSE(Access::HasExportName(list, "not even well formed"));
  AppendToList(list, "[Orders].[Amount] AS [Total]");
  AppendToList(list, "[Orders].[CustID]");
  EXPECT_TRUE(Access::HasExportName(list, "[Lines].[total]"));
  EXPECT_TRUE(Access::HasExportName(list, "[Lines].[Price] AS [CUSTID]"));
  EXPECT_FALSE(Access::HasExportName(list, "[Orders].[Amount]"));
  EXPECT_ANY_THROW(Access::HasExportName(list, "Orders.Amount"));
  AppendToList(list, "bad");
  EXPECT_ANY_THROW(Access::HasExportName(list, "[Orders].[Qty]"));
}

class ExceptionTest : public ReportTest {};

TEST_F(ExceptionTest, ClearEmptiesBothListsAndKeepsTheRest) {
  AddFormula("Orders.Amount > 1");
  AddField("Orders.Amount");
  report_->Clear();
  EXPECT_EQ(formulae_->Count(), 0);
  EXPECT_EQ(fields_->Count(), 0);
  EXPECT_EQ(report_->MainField(), "[CustID]");
  EXPECT_EQ(report_->MainTable(), "[Customers]");
  EXPECT_EQ(report_->Connection(), database_);
  EXPECT_EQ(report_->SQL(), "SELECT  \r\nFROM \r\n\t[Customers] \r\n");
}

TEST_F(ExceptionTest, ReadingSqlLeavesBothCursorsOnTheirFirstElement) {
  AddFormula("Orders.Amount > 1");
  AddFormula("Orders.Qty > 1", "Busy");
  AddField("Orders.Amount")->SetOrdered(true);
  AddField("Orders.Qty");
  formulae_->MoveLast();
  fields_->MoveLast();
  report_->SQL();
  EXPECT_EQ(formulae_->Index(), 1);
  EXPECT_EQ(fields_->Field(), fields_->Field(1));
  EXPECT_FALSE(fields_->Bof());
}

TEST_F(ExceptionTest, HostAssignedListsAreUsedAsTheyAre) {
  AddField("Orders.Amount");
  const auto closedList = FieldList::Create();
  report_->SetFields(closedList);
  closedList->SetParent(report_);
  EXPECT_EQ(report_->SQL(), "SELECT  \r\nFROM \r\n\t[Customers] \r\n");
  EXPECT_ANY_THROW(report_->SetFields(nullptr));
  EXPECT_ANY_THROW(report_->SetFormulae(nullptr));
  EXPECT_EQ(report_->Fields(), closedList);
}

TEST_F(ExceptionTest, FieldNeverLocatedIsSelectedButNotJoined) {
  AddField();
  EXPECT_EQ(report_->SQL(), "SELECT [].[] \r\nFROM \r\n\t[Customers] \r\n");
}

TEST_F(ExceptionTest, SqlUsesTheDialectOfTheConnection) {
  AddFormula("Orders.Amount > 1");
  report_->SetConnection(MakeStandardDatabase(kAccessProvider));
  const std::string sql = report_->SQL();
  EXPECT_NE(sql.find("LEFT JOIN"), std::string::npos);
  EXPECT_NE(sql.find("IIF(ISNULL([Orders].[Amount]), 0, [Orders].[Amount]) > 1"), std::string::npos);
}

}  // namespace
}  // namespace talvane::test
