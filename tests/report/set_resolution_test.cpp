// Set references across many formulas and sets: every set gathers its own references and tables, in the
// order the trees hold them, and a resolution asks the schema about each table and column once.
#include "report/report_test_support.hpp"
#include "support/counting_connection.hpp"

namespace talvane::test {
namespace {

class SetResolution : public ReportTest {};

TEST_F(SetResolution, ReferencesInNestedGroupsAreListedDepthFirst) {
  AddFormula("Orders.Amount > Lines.Price", "Dear");
  AddFormula("(Dear.Price + (Dear.Qty * 2)) > Dear.Amount");
  AddFormula("Dear.QTY + Dear.OrderID > 1", "", kAnd);
  EXPECT_EQ(report_->FieldsReferencingSet("Dear"),
            "[Lines].[Price], [Orders].[Qty], [Orders].[Amount], [Orders].[OrderID]");
}

TEST_F(SetResolution, EachSetGetsOnlyItsOwnReferences) {
  AddFormula("Orders.Amount > 1", "Big");
  AddFormula("Lines.Price > 1", "Cheap");
  AddFormula("Big.Status = \"Open\"");
  AddFormula("Cheap.Qty > Big.Amount", "", kAnd);
  AddFormula("Cheap.LineID > 0", "", kOr);
  EXPECT_EQ(report_->FieldsReferencingSet("Big"), "[Orders].[Status], [Orders].[Amount]");
  EXPECT_EQ(report_->FieldsReferencingSet("Cheap"), "[Lines].[Qty], [Lines].[LineID]");
  const std::string sql = report_->SQL();
  EXPECT_NE(sql.find("\t\t\t[Orders].[Status], \r\n\t\t\t[Orders].[Amount], \r\n\t\t\t[Orders].[CustID]\r\n"),
            std::string::npos)
      << sql;
  EXPECT_NE(sql.find("\t\t\t[Lines].[Qty], \r\n\t\t\t[Lines].[LineID], \r\n\t\t\t[Lines].[CustID]\r\n"),
            std::string::npos)
      << sql;
}

TEST_F(SetResolution, NamesDifferingInCaseFormOneSetWithEveryFormulasTables) {
  AddFormula("Orders.Amount > 1", "Dear");
  AddFormula("Lines.Price > 1", "DEAR");
  const auto price = AddFormula("dear.Price > 1");
  const auto amount = AddFormula("[DeAr].[Amount] > 1");
  EXPECT_EQ(price->SQL(), "ISNULL([dear].[Price], 0) > 1");
  EXPECT_EQ(amount->SQL(), "ISNULL([DeAr].[Amount], 0) > 1");
  EXPECT_EQ(report_->FieldsReferencingSet("dEaR"), "[Lines].[Price], [Orders].[Amount]");
}

TEST_F(SetResolution, SetFormulasAmongOthersKeepTheirOrderInTheDerivedTable) {
  AddFormula("Orders.Amount > 1", "Mixed");
  AddFormula("Customers.Balance > 0", "", kAnd);
  AddFormula("Orders.Status = \"Open\"", "Mixed", kOr);
  AddFormula("Lines.Qty > 2", "Mixed", kAnd);
  const std::string sql = report_->SQL();
  EXPECT_NE(sql.find("\t\t\tISNULL([Orders].[Amount], 0) > 1 OR [Orders].[Status] = 'Open' AND "
                     "ISNULL([Lines].[Qty], 0) > 2\r\n"),
            std::string::npos)
      << sql;
}

TEST_F(SetResolution, ARunAsksAboutEachTableAndColumnOnce) {
  const auto counting = CountingConnection::Create(database_);
  report_->SetConnection(counting);
  const auto set = AddFormula("Orders.Amount > Lines.Price", "Dear");
  AddFormula("Dear.Qty + Dear.Qty * Dear.Qty > Dear.Qty");
  counting->ResetCounts();
  set->SetName("Dear");  // one resolution of every reference
  // Qty is in both tables: each table's existence and column are asked once, not once per reference.
  EXPECT_EQ(counting->Calls(DbCall::kOpenSchema), 4);
  EXPECT_EQ(counting->OpenRecordsets(), 0);
}

}  // namespace
}  // namespace talvane::test
