#include "report/report_test_support.hpp"

namespace talvane::test {
namespace {

class SetsTest : public ReportTest {};

TEST_F(SetsTest, SetsListsEachNameOnceInItsFirstSpelling) {
  AddFormula("Orders.Qty > 1", "OpenOrders");
  AddFormula("Orders.Qty > 2");
  AddFormula("Orders.Qty > 3", "BigSpenders");
  AddFormula("Orders.Qty > 4", "openorders");
  EXPECT_EQ(report_->Sets(), "[OpenOrders], [BigSpenders]");
  report_->FindSets();
  EXPECT_EQ(formulae_->Count(), 4);
}

TEST_F(SetsTest, NoNamedFormulaMeansNoSets) {
  AddFormula("Orders.Qty > 1");
  EXPECT_EQ(report_->Sets(), "");
}

TEST_F(SetsTest, ReferencedFieldIsQualifiedWithTheFirstSetTableThatHasIt) {
  AddFormula("Orders.Amount > Lines.Price", "Dear");
  AddFormula("Dear.Qty > 1");
  AddFormula("Dear.QTY < 9", "", kAnd);
  AddFormula("Dear.Price > 5", "", kAnd);
  AddFormula("Dear.Nothing = 1");
  // Qty is in Orders and in Lines; Price only in Lines; Nothing in neither.
  EXPECT_EQ(report_->FieldsReferencingSet("Dear"), "[Orders].[Qty], [Lines].[Price]");
  EXPECT_EQ(report_->FieldsReferencingSet("[dear]"), "[Orders].[Qty], [Lines].[Price]");
  EXPECT_EQ(report_->FieldsReferencingSet("Other"), "");
}

TEST_F(SetsTest, FieldsInSetListsTableColumnsThenTheSetsOutputFields) {
  AddFormula("Regions.RegionID > Lines.Qty", "Mixed");
  const auto field = AddField("Mixed.RegionName");
  field->SetName("Area");
  AddField("Orders.Amount");
  EXPECT_EQ(report_->FieldsInSet("Mixed"),
            "[Regions].[RegionID], [Regions].[RegionName], [Regions].[CustID], "
            "[Lines].[LineID], [Lines].[OrderID], [Lines].[CustID], [Lines].[Qty], [Lines].[Price], "
            "[Mixed].[Area]");
}

TEST_F(SetsTest, FieldsInSetOfASetWithoutTablesHoldsOnlyItsFields) {
  AddFormula("Orders.Amount > 1", "Big");
  AddField("Big.Amount");
  AddFormula("1 = 1", "Plain");
  EXPECT_EQ(report_->FieldsInSet("Plain"), "");
  EXPECT_EQ(report_->FieldsReferencingSet("Plain"), "");
}

TEST_F(SetsTest, NamingAFormulaIntoASetResolvesTheReferencesType) {
  const auto reader = AddFormula("Spenders.Amount > 100");
  // Before the set exists the reference is a string.
  EXPECT_EQ(reader->SQL(), "[Spenders].[Amount] > 100");
  const auto setFormula = AddFormula("Orders.Amount > 5");
  setFormula->SetName("[Spenders]");
  EXPECT_EQ(reader->SQL(), "ISNULL([Spenders].[Amount], 0) > 100");
  EXPECT_EQ(report_->Sets(), "[Spenders]");
}

TEST_F(SetsTest, ReferenceMadeAfterTheSetTakesTheColumnType) {
  AddFormula("Orders.Placed > 01/01/2020", "Recent");
  const auto reader = AddFormula("Recent.Placed < 01/01/2021");
  EXPECT_EQ(reader->SQL(), "[Recent].[Placed] < CONVERT(DATETIME, '2021-01-01 00:00:00', 102)");
}

TEST_F(SetsTest, TheLastSetTableWithTheColumnDecidesTheType) {
  const auto reader = AddFormula("Both.Qty > 1");
  AddFormula("Orders.Status = Customers.CustName", "Both");
  // Qty is numeric in Orders; Customers has no Qty, so Orders decides.
  EXPECT_EQ(reader->SQL(), "ISNULL([Both].[Qty], 0) > 1");
}

TEST_F(SetsTest, SetWithoutTablesChangesNoReference) {
  const auto reader = AddFormula("Plain.Amount > 1");
  AddFormula("1 = 1", "Plain");
  EXPECT_EQ(reader->SQL(), "[Plain].[Amount] > 1");
}

}  // namespace
}  // namespace talvane::test
