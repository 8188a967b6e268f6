// Formula building: comparisons, BETWEEN and IN lists, refusals with their error position, plain members.
#include <string>

#include "node_test_support.hpp"

namespace talvane::test {
namespace {

constexpr int32_t kItemType = ERR_ITEMTYPE;
constexpr const char* kFormulaAdd = "Exception: Formula.Add";
constexpr const char* kIllegal = "Illigal value";

class FormulaValue : public NodeTest {};

TEST_F(FormulaValue, ComparisonBetweenTwoOperands) {
  auto formula = Parsed("Orders.Amount => 100");
  EXPECT_EQ(formula->Count(), 2);
  EXPECT_EQ(formula->Comparison(), ">=");
  EXPECT_TRUE(formula->ComparisonSet());
  EXPECT_EQ(formula->DataType(), kIsNumeric);
  EXPECT_EQ(formula->Node(1)->ItemType(), kSection);
  EXPECT_EQ(formula->Node(2)->ItemType(), kOpenSection);
  EXPECT_TRUE(formula->Valid());
  EXPECT_EQ(formula->ErrorPos(), 0);
  EXPECT_EQ(formula->ErrorItem(), "");
}

TEST_F(FormulaValue, BetweenTakesThreeOperandsAndRefusesASecondAnd) {
  auto formula = Parsed("Orders.Amount between 1 and 5");
  EXPECT_EQ(formula->Count(), 3);
  EXPECT_EQ(formula->Comparison(), "BETWEEN");
  EXPECT_EQ(formula->SectionSeperator(), "AND");
  EXPECT_TRUE(formula->Valid());

  auto twice = NewFormula();
  EXPECT_TALVANE_ERROR(twice->SetValue(std::string_view("Orders.Amount BETWEEN 1 AND 5 AND 6")), kItemType,
                       kFormulaAdd, kIllegal);
  EXPECT_EQ(twice->ErrorPos(), 30);
  EXPECT_EQ(twice->ErrorItem(), "AND 6");
  EXPECT_EQ(twice->Count(), 3);
  // A comma is no separator of a BETWEEN, and AND none of an IN list.
  EXPECT_ANY_THROW(Parsed("Orders.Amount BETWEEN 1, 5"));
  EXPECT_ANY_THROW(Parsed("Orders.Amount IN 1 AND 5"));
}

TEST_F(FormulaValue, InListWithOrWithoutTheSwallowedParenthesis) {
  for (const char* text : {"Orders.Status IN(\"A\", \"B\", \"C\")", "Orders.Status IN \"A\", \"B\", \"C\""}) {
    auto formula = Parsed(text);
    EXPECT_EQ(formula->Count(), 4) << text;
    EXPECT_EQ(formula->Comparison(), "IN");
    EXPECT_EQ(formula->SectionSeperator(), ",");
    EXPECT_TRUE(formula->Valid()) << text;
    EXPECT_EQ(formula->SQL(), "[Orders].[Status] IN ('A', 'B', 'C')") << text;
  }
}

TEST_F(FormulaValue, InWithABlankBeforeTheParenthesisFailsAtTheFirstComma) {
  auto formula = NewFormula();
  EXPECT_TALVANE_ERROR(formula->SetValue(std::string_view("Orders.Status IN (1, 2, 3)")), kItemType, kFormulaAdd,
                       kIllegal);
  EXPECT_EQ(formula->ErrorPos(), 19);
  EXPECT_EQ(formula->ErrorItem(), ", 2, 3)");
}

TEST_F(FormulaValue, InListNeedsTwoElementsToBeValid) {
  auto formula = Parsed("Orders.Qty IN(1)");
  EXPECT_EQ(formula->Count(), 2);
  EXPECT_FALSE(formula->Valid());
  EXPECT_EQ(formula->SectionSeperator(), ",");
}

TEST_F(FormulaValue, EmptyListElementIsIncomplete) {
  auto formula = NewFormula();
  EXPECT_TALVANE_ERROR(formula->SetValue(std::string_view("Orders.Qty IN 1, , 2")), kItemType,
                       "Exception: Section.CloseSection", "Section is incomplete");
  EXPECT_EQ(formula->ErrorPos(), 16);
}

struct RefusalCase {
  std::string text;
  std::string source;
  std::string message;
  int32_t errorPos;
  std::string errorItem;
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.text; }

class FormulaRefusal : public NodeTest, public testing::WithParamInterface<RefusalCase> {};

TEST_P(FormulaRefusal, RecordsWhereTheFailingItemStarts) {
  const RefusalCase& c = GetParam();
  auto formula = NewFormula();
  EXPECT_TALVANE_ERROR(formula->SetValue(c.text), kItemType, c.source, c.message);
  EXPECT_EQ(formula->ErrorPos(), c.errorPos);
  EXPECT_EQ(formula->ErrorItem(), c.errorItem);
}

INSTANTIATE_TEST_SUITE_P(
    FirstMiddleAndLastItem, FormulaRefusal,
    testing::Values(
        RefusalCase{"= 5", kFormulaAdd, kIllegal, 0, "= 5"},
        RefusalCase{"Orders.Amount , 5", kFormulaAdd, kIllegal, 14, ", 5"},
        RefusalCase{"Orders.Amount + = 5", "Exception: Section.CloseSection", "Section is incomplete", 15, " = 5"},
        RefusalCase{"SUM(Lines.Qty = 5", kFormulaAdd, kIllegal, 14, "= 5"},
        RefusalCase{"Orders.Amount = 5 = 6", kFormulaAdd, kIllegal, 18, "= 6"},
        RefusalCase{"Orders.Amount = \"abc\"", "Exception: Section.Add", kIllegal, 16, "\"abc\""},
        RefusalCase{"Orders.Amount = 1 + 01/02/2003", "Exception: Section.Add", kIllegal, 19, " 01/02/2003"},
        RefusalCase{"Orders.Amount = 5 6", "Exception: Section.Add", kIllegal, 18, "6"}));

TEST_F(FormulaValue, StringOperandAcceptsOtherTypes) {
  auto formula = Parsed("Orders.Status = Orders.Amount + 01/02/2003");
  EXPECT_EQ(formula->DataType(), kIsString);
  EXPECT_TRUE(formula->Valid());
}

TEST_F(FormulaValue, GroupedOperandsAreAccepted) {
  auto formula = Parsed("(Orders.Amount + 1) * 2 = 10");
  EXPECT_TRUE(formula->Valid());
  EXPECT_EQ(formula->Value(), "([Orders].[Amount] + 1) * 2 = 10");
}

TEST_F(FormulaValue, SplitterErrorsPassThroughWithTheirPosition) {
  auto formula = NewFormula();
  EXPECT_TALVANE_ERROR(formula->SetValue(std::string_view("Orders.Amount > a_b")), kParseItemError,
                       "ModOmbrel ParseItem", "Invalid syntax for item");
  EXPECT_EQ(formula->ErrorPos(), 16);
  EXPECT_EQ(formula->ErrorItem(), "a_b");
}

TEST_F(FormulaValue, TrimsTheCallersTextAndStopsOnAnEmptyOne) {
  auto formula = NewFormula();
  std::string text = " \t Orders.Amount > 1 \r\n";
  formula->SetValue(text);
  EXPECT_EQ(text, "Orders.Amount > 1");
  std::string blank = " \t\r\n ";
  formula->SetValue(blank);
  EXPECT_EQ(blank, "");
  EXPECT_EQ(formula->Count(), 0);
  EXPECT_FALSE(formula->Valid());
}

TEST_F(FormulaValue, WriteKeepsNameAndGroupingAndResetsTheRest) {
  auto formula = NewFormula();
  formula->SetName("Big");
  formula->SetGrouping(kOr);
  EXPECT_ANY_THROW(formula->SetValue(std::string_view("Orders.Amount = = 1")));
  formula->SetValue(std::string_view("Orders.Status = \"A\""));
  EXPECT_EQ(formula->ErrorPos(), 0);
  EXPECT_EQ(formula->ErrorItem(), "");
  formula->SetValue(std::string_view("1 + 2"));
  EXPECT_EQ(formula->Name(), "[Big]");
  EXPECT_EQ(formula->Grouping(), kOr);
  EXPECT_EQ(formula->Comparison(), "");
  EXPECT_TALVANE_ERROR(formula->DataType(), kItemType, "Exception: Formula.DataType", "DataType not set yet");
  // Sections made later carry the stored name.
  EXPECT_EQ(formula->Node(1)->Name(), "Big");
}

TEST_F(FormulaValue, RefusedWithoutAnOpenConnection) {
  auto formula = NewFormula();
  database_->Close();
  EXPECT_TALVANE_ERROR(formula->SetValue(std::string_view("1 = 1")), ERR_CNN_CLOSED, "Exception: Formula.Value",
                       "Connection not open");
  EXPECT_TALVANE_ERROR(Formula::Create()->SetValue(std::string_view("1 = 1")), ERR_CNN_CLOSED,
                       "Exception: Formula.Value", "Connection not open");
}

TEST_F(FormulaValue, AddCalledDirectlyRecordsNoPosition) {
  auto formula = NewFormula();
  formula->Add(std::string_view("Orders.Amount"));
  std::string comparison = "=>";
  formula->Add(comparison);
  EXPECT_EQ(comparison, ">=");
  EXPECT_TALVANE_ERROR(formula->Add(std::string_view("<")), kItemType, kFormulaAdd, kIllegal);
  EXPECT_EQ(formula->ErrorPos(), 0);
  std::string separator = " and ";
  EXPECT_ANY_THROW(formula->Add(separator));
  EXPECT_EQ(separator, "AND");  // rewritten before the refusal
}

// ---- Nesting limit --------------------------------------------------------------------------------------

TEST_F(FormulaValue, AHundredThousandParenthesesAreRefusedCleanly) {
  const std::string text(100000, '(');
  auto formula = NewFormula();
  const auto error = CaptureError([&] { formula->SetValue(text); });
  EXPECT_EQ(error.Number(), kItemType);
  EXPECT_EQ(error.Source(), "Exception: Section.Add");
  EXPECT_EQ(error.Message(), "Groups may not be nested more than 64 deep");
  EXPECT_EQ(formula->ErrorPos(), 64);
  EXPECT_EQ(formula->ErrorItem().size(), 100000u - 64u);
  EXPECT_FALSE(formula->Valid());
  EXPECT_EQ(formula->Value(), std::string(64, '('));
  EXPECT_EQ(formula->SQL(), std::string(64, '(') + std::string(64, ')') + " ");
  formula->Clear();
  EXPECT_EQ(formula->Count(), 0);
}

TEST_F(FormulaValue, GroupsUpToTheLimitBuildAndRender) {
  const std::string text = std::string(64, '(') + "Orders.Amount" + std::string(64, ')') + " > SUM(" +
                           std::string(63, '(') + "Orders.Qty" + std::string(64, ')');
  auto formula = Parsed(text);
  EXPECT_TRUE(formula->Valid());
  EXPECT_EQ(formula->Fields(), "[Amount], [Qty]");
  EXPECT_TRUE(formula->Aggragate());
  auto again = Parsed(formula->Value());
  EXPECT_EQ(again->SQL(), formula->SQL());
}

// ---- Plain members --------------------------------------------------------------------------------------

class FormulaMembers : public NodeTest {};

TEST_F(FormulaMembers, IsARootOfKindFormula) {
  auto formula = Parsed("Orders.Amount > 1");
  EXPECT_EQ(formula->ItemType(), kFormula);
  EXPECT_EQ(formula->Parent(), nullptr);
  EXPECT_TALVANE_ERROR(formula->SetItemType(kSection), kItemType, "Exception: Formula.ItemType",
                       "Cannot assign item type to a formula");
  EXPECT_TALVANE_ERROR(formula->SetParent(NewSection()), kItemType, "Exception: Formula.Parent",
                       "Cannot assign a parent to a formula");
  EXPECT_EQ(formula->Node(1)->Parent(), formula);
}

TEST_F(FormulaMembers, NodeIndexMustNameASection) {
  auto formula = Parsed("Orders.Amount > 1");
  for (int32_t index : {0, 3}) {
    EXPECT_TALVANE_ERROR(formula->Node(index), ERR_INDEX_OOB, "Exception: (Formula)INode.Child",
                         "Index out of bounds");
    EXPECT_TALVANE_ERROR(formula->SetNode(index, NewSection()), ERR_INDEX_OOB, "Exception: (Formula)INode.Child",
                         "Index out of bounds");
  }
  EXPECT_EQ(CaptureError([&] { formula->SetNode(2, Item::Create()); }).Number(), kItemType);
  auto replacement = ParsedSection("5");
  formula->SetNode(2, replacement);
  EXPECT_EQ(formula->Value(), "[Orders].[Amount] > 5");
  EXPECT_EQ(replacement->Parent(), formula);
}

TEST_F(FormulaMembers, DialectAndConnectionReachEverySection) {
  auto formula = Parsed("Orders.Amount > 1 + Orders.Qty");
  formula->SetDatabaseType(kAccess);
  EXPECT_EQ(formula->INode_DatabaseType(), kAccess);
  EXPECT_EQ(formula->Node(2)->DatabaseType(), kAccess);
  EXPECT_EQ(formula->SQL(), "IIF(ISNULL([Orders].[Amount]), 0, [Orders].[Amount]) > 1 + "
                            "IIF(ISNULL([Orders].[Qty]), 0, [Orders].[Qty])");

  // A new connection replaces the closed one in every section.
  database_->Close();
  auto other = MakeStandardDatabase();
  formula->TempConnection(other);
  auto section = std::dynamic_pointer_cast<Section>(formula->Node(2));
  EXPECT_NO_THROW(section->SetValue(std::string_view("2 * Orders.Qty")));
  EXPECT_NO_THROW(formula->SetValue(std::string_view("Orders.Amount > 2")));
}

TEST_F(FormulaMembers, ClearForgetsEverythingButConnectionAndDialect) {
  auto formula = Parsed("Orders.Amount > 1", kAccess);
  formula->SetName("Big");
  formula->SetGrouping(kAnd);
  auto section = formula->Node(1);
  formula->Clear();
  EXPECT_EQ(formula->Count(), 0);
  EXPECT_EQ(formula->Name(), "");
  EXPECT_EQ(formula->Grouping(), kBase);
  EXPECT_EQ(formula->Comparison(), "");
  EXPECT_ANY_THROW(formula->DataType());
  EXPECT_EQ(formula->DatabaseType(), kAccess);
  EXPECT_EQ(section->Parent(), nullptr);
  EXPECT_NO_THROW(formula->SetValue(std::string_view("Orders.Amount > 1")));
}

TEST_F(FormulaMembers, SeparatorFollowsComparisonAndCount) {
  auto formula = NewFormula();
  EXPECT_EQ(formula->SectionSeperator(), "");
  formula->Add(std::string_view("Orders.Qty"));
  formula->Add(std::string_view("IN"));
  EXPECT_EQ(formula->SectionSeperator(), "");  // one section so far
  formula->Add(std::string_view("1"));
  EXPECT_EQ(formula->SectionSeperator(), ",");
  EXPECT_EQ(Parsed("Orders.Qty = 1")->SectionSeperator(), "");
  EXPECT_EQ(formula->ERRORCODE(ERR_CNN_CLOSED), static_cast<int32_t>(ERR_CNN_CLOSED));
}

TEST_F(FormulaMembers, DataTypeWriteReachesLaterSectionsOnly) {
  auto formula = NewFormula();
  formula->SetDataType(kIsNumeric);
  EXPECT_EQ(formula->DataType(), kIsNumeric);
  EXPECT_TALVANE_ERROR(formula->Add(std::string_view("\"text\"")), kItemType, "Exception: Section.Add", kIllegal);
  formula->Add(std::string_view("1"));
  EXPECT_EQ(std::dynamic_pointer_cast<Section>(formula->Node(1))->DataType(), kIsNumeric);
}

}  // namespace
}  // namespace talvane::test
