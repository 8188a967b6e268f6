// Section rendering: text and SQL of groups (TOTAL as a subquery), fields, tables, aggregates, grouping
// fields and set references.
#include <string>

#include "node_test_support.hpp"

namespace talvane::test {
namespace {

class SectionRender : public NodeTest {
 protected:
  // The left operand of a formula "<text> = 1" (or "<text> = <right>"), so groups sit under a formula.
  std::shared_ptr<Section> LeftOperand(const std::string& text, const std::string& right = "1") {
    formula_ = Parsed(text + " = " + right);
    return std::dynamic_pointer_cast<Section>(formula_->Node(1));
  }
  std::shared_ptr<Formula> formula_;
};

TEST_F(SectionRender, PlainGroupUnderAFormulaShowsNoParentheses) {
  auto section = LeftOperand("[Orders].[Amount] + (1 * 2)");
  EXPECT_EQ(section->Value(), "[Orders].[Amount] + (1 * 2)");
  EXPECT_EQ(section->SQL(), "ISNULL([Orders].[Amount], 0) + (1 * 2)");
  // On its own a section has no formula above it: SQL brackets it, Value does not.
  auto alone = ParsedSection("1 + 2");
  EXPECT_EQ(alone->Value(), "1 + 2");
  EXPECT_EQ(alone->SQL(), "(1 + 2)");
}

TEST_F(SectionRender, OpenGroupReadsWithoutItsClosingParenthesis) {
  auto formula = Parsed("[Orders].[Amount] = (1 + (2 * 3)");
  auto right = std::dynamic_pointer_cast<Section>(formula->Node(2));
  EXPECT_EQ(right->Value(), "(1 + (2 * 3)");
  EXPECT_EQ(right->SQL(), "(1 + (2 * 3))");
  EXPECT_EQ(formula->Value(), "[Orders].[Amount] = (1 + (2 * 3)");
  EXPECT_FALSE(formula->Valid());
}

TEST_F(SectionRender, FunctionGroupsRenderWithTheirFunction) {
  EXPECT_EQ(LeftOperand("sum([Orders].[Amount])")->SQL(), "SUM(ISNULL([Orders].[Amount], 0))");
  EXPECT_EQ(LeftOperand("Count([Orders].[Status])", "2")->Value(), "COUNT([Orders].[Status])");
}

TEST_F(SectionRender, TotalBecomesAnUncorrelatedSubquery) {
  EXPECT_EQ(LeftOperand("TOTAL([Orders].[Amount])")->SQL(),
            "(SELECT SUM(ISNULL([Orders].[Amount], 0)) FROM [Orders])");
  EXPECT_EQ(LeftOperand("TOTAL([Orders].[Amount] * [Lines].[Qty])")->SQL(),
            "(SELECT SUM(ISNULL([Orders].[Amount], 0) * ISNULL([Lines].[Qty], 0)) FROM [Orders], [Lines])");
  EXPECT_EQ(LeftOperand("TOTAL(1 + 2)")->SQL(), "(SELECT SUM(1 + 2))");
  EXPECT_EQ(LeftOperand("1 + TOTAL(1 + 2)")->Value(), "1 + TOTAL(1 + 2)");
}

TEST_F(SectionRender, InsideTotalItemsIgnoreShowSets) {
  auto formula = Parsed("TOTAL([Orders].[Amount]) > [Orders].[Amount]");
  formula->SetName("Big");
  EXPECT_EQ(formula->SQL(true),
            "(SELECT SUM(ISNULL([Orders].[Amount], 0)) FROM [Orders]) > ISNULL([Big].[Amount], 0)");
}

TEST_F(SectionRender, FieldsAndTablesAreListedOnceInOrderOfFirstUse) {
  auto section = LeftOperand("[Orders].[Amount] + [Lines].[Qty] + [Orders].[Amount] + [Orders].[Qty]");
  EXPECT_EQ(section->Fields(), "[Amount], [Qty]");
  EXPECT_EQ(section->Tables(), "[Orders], [Lines]");
  // Letter case makes a different entry.
  EXPECT_EQ(LeftOperand("[Orders].[Qty] + [orders].[qty]")->Fields(), "[Qty], [qty]");
}

TEST_F(SectionRender, FieldsAndTablesLookIntoClosedGroupsOnly) {
  auto formula = Parsed("[Orders].[Amount] = 1 + ([Lines].[Qty] + SUM([Customers].[Balance]");
  auto right = std::dynamic_pointer_cast<Section>(formula->Node(2));
  EXPECT_EQ(right->Fields(), "");
  EXPECT_EQ(right->Tables(), "");
  formula->Add(std::string_view(")"));
  EXPECT_EQ(right->Fields(), "");  // the outer group is still open
  formula->Add(std::string_view(")"));
  EXPECT_EQ(right->Fields(), "[Qty], [Balance]");
  EXPECT_EQ(right->Tables(), "[Lines], [Customers]");
}

TEST_F(SectionRender, AggregateIsAFunctionGroupInsideNotTheSectionsOwnFunction) {
  EXPECT_TRUE(LeftOperand("SUM([Orders].[Amount])")->Aggragate());
  EXPECT_TRUE(LeftOperand("1 + ((MAX([Orders].[Amount])))")->Aggragate());
  EXPECT_FALSE(LeftOperand("TOTAL([Orders].[Amount])")->Aggragate());
  EXPECT_FALSE(LeftOperand("[Orders].[Amount] + (1)")->Aggragate());
  auto sum = std::dynamic_pointer_cast<Section>(LeftOperand("SUM([Orders].[Amount])")->Node(1));
  EXPECT_EQ(sum->SectionFunction(), "SUM");
  EXPECT_FALSE(sum->Aggragate());
}

TEST_F(SectionRender, NonAggregateFieldsStandOutsideEveryFunctionGroup) {
  auto section = LeftOperand(
      "[Orders].[Qty] + SUM([Orders].[Amount]) + ([Orders].[Qty] * TOTAL([Lines].[Qty])) + AVG(([Lines].[Price]))");
  EXPECT_EQ(section->NonAggragateFields(), "[Orders].[Qty], [Orders].[Qty]");
  EXPECT_EQ(LeftOperand("SUM([Orders].[Amount])")->NonAggragateFields(), "");
}

TEST_F(SectionRender, NonAggregateFieldsIncludeOpenPlainGroups) {
  auto formula = Parsed("[Orders].[Amount] = 1 + ([Lines].[Qty]");
  EXPECT_EQ(std::dynamic_pointer_cast<Section>(formula->Node(2))->NonAggragateFields(), "[Lines].[Qty]");
}

TEST_F(SectionRender, FieldsReferencingSetListsSetReferencesOnceIgnoringCase) {
  auto report = NewReport();
  AddFormula(report, "Orders.Amount > 5", "Big");
  auto user = AddFormula(report, "Big.Amount + (big.amount + Big.Qty) + Orders.Qty > 10");
  auto left = std::dynamic_pointer_cast<Section>(user->Node(1));
  EXPECT_EQ(left->FieldsReferencingSet("Big"), "[Amount], [Qty]");
  EXPECT_EQ(left->FieldsReferencingSet("[BIG]"), "[Amount], [Qty]");
  EXPECT_EQ(left->FieldsReferencingSet("Orders"), "");
  EXPECT_EQ(left->Tables(), "[Big], [big], [Orders]");  // tables keep their letter case
}

}  // namespace
}  // namespace talvane::test
