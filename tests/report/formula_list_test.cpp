#include "report/report_test_support.hpp"

namespace talvane::test {
namespace {

class FormulaListTest : public ReportTest {
 protected:
  // Three formulas whose texts tell them apart; the cursor is left on the third.
  void AddThree() {
    for (const char* text : {"Orders.Qty = 1", "Orders.Qty = 2", "Orders.Qty = 3"}) AddFormula(text);
  }
  std::string TextAt(int32_t index) const { return formulae_->Formula(index)->Value(); }
};

TEST(FormulaListCursor, NewListStandsBeforeTheFirstFormula) {
  const auto list = FormulaList::Create();
  EXPECT_EQ(list->Count(), 0);
  EXPECT_EQ(list->Index(), 0);
  EXPECT_TRUE(list->Bof());
  EXPECT_FALSE(list->Eof());
  EXPECT_EQ(list->DatabaseType(), kAccess);
  EXPECT_EQ(list->Exception(), nullptr);
}

TEST(FormulaListCursor, MoveFirstOnAnEmptyListIsBothEofAndBof) {
  const auto list = FormulaList::Create();
  list->MoveFirst();
  EXPECT_EQ(list->Index(), 1);
  EXPECT_TRUE(list->Eof());
  EXPECT_TRUE(list->Bof());
  list->SetIndex(0);
  list->Clear();
  EXPECT_EQ(list->Index(), 1);
  list->MoveLast();
  EXPECT_EQ(list->Index(), 0);
}

TEST_F(FormulaListTest, AddNewMakesTheNewFormulaCurrent) {
  AddThree();
  EXPECT_EQ(formulae_->Count(), 3);
  EXPECT_EQ(formulae_->Index(), 3);
  EXPECT_EQ(formulae_->Formula()->Value(), "[Orders].[Qty] = 3");
}

TEST_F(FormulaListTest, AddNewHandsConnectionListAndDialect) {
  formulae_->SetDatabaseType(kAccess);
  formulae_->AddNew();
  const auto formula = formulae_->Formula();
  EXPECT_EQ(formula->DatabaseType(), kAccess);
  EXPECT_EQ(Access::ListOf(*formula), formulae_);
  formula->SetValue(std::string_view("Orders.Amount > 5"));  // parses: the connection arrived
  EXPECT_EQ(formula->SQL(), "IIF(ISNULL([Orders].[Amount]), 0, [Orders].[Amount]) > 5");
}

TEST_F(FormulaListTest, MovesStopOneStepOutsideEitherEnd) {
  AddThree();
  formulae_->MoveNext();
  EXPECT_EQ(formulae_->Index(), 4);
  EXPECT_TRUE(formulae_->Eof());
  formulae_->MoveNext();
  EXPECT_EQ(formulae_->Index(), 4);
  formulae_->MoveFirst();
  formulae_->MovePrevious();
  EXPECT_EQ(formulae_->Index(), 0);
  EXPECT_TRUE(formulae_->Bof());
  formulae_->MovePrevious();
  EXPECT_EQ(formulae_->Index(), 0);
  formulae_->MoveLast();
  EXPECT_EQ(formulae_->Index(), 3);
  EXPECT_FALSE(formulae_->Eof());
  EXPECT_FALSE(formulae_->Bof());
}

TEST_F(FormulaListTest, ReadingOutsideTheListRaisesIndexOutOfBounds) {
  AddThree();
  formulae_->SetIndex(0);
  EXPECT_TALVANE_ERROR(formulae_->Formula(), kErr1, "Exception: Exception.Value(Index)", "Index out of bounds");
  formulae_->SetIndex(4);
  EXPECT_TALVANE_ERROR(formulae_->Formula(), kErr1, "Exception: Exception.Value(Index)", "Index out of bounds");
  EXPECT_TALVANE_ERROR(formulae_->Formula(-2), kErr1, "Exception: Exception.Value(Index)", "Index out of bounds");
}

TEST_F(FormulaListTest, IndexWriteIsNotRangeChecked) {
  AddThree();
  formulae_->SetIndex(7);
  EXPECT_EQ(formulae_->Index(), 7);
  EXPECT_TRUE(formulae_->Eof());
  EXPECT_TALVANE_ERROR(formulae_->Formula(), kErr1, "Exception: Exception.Value(Index)", "Index out of bounds");
}

TEST_F(FormulaListTest, RemoveBeforeTheCursorKeepsItOnTheSameFormula) {
  AddThree();
  formulae_->SetIndex(2);
  formulae_->Remove(1);
  EXPECT_EQ(formulae_->Index(), 1);
  EXPECT_EQ(formulae_->Formula()->Value(), "[Orders].[Qty] = 2");
}

TEST_F(FormulaListTest, RemoveAtTheCursorMovesItToThePreviousFormula) {
  AddThree();
  formulae_->SetIndex(2);
  formulae_->Remove();
  EXPECT_EQ(formulae_->Index(), 1);
  EXPECT_EQ(formulae_->Formula()->Value(), "[Orders].[Qty] = 1");
  EXPECT_EQ(TextAt(2), "[Orders].[Qty] = 3");
}

TEST_F(FormulaListTest, RemoveAfterTheCursorLeavesIt) {
  AddThree();
  formulae_->SetIndex(2);
  formulae_->Remove(3);
  EXPECT_EQ(formulae_->Index(), 2);
  EXPECT_EQ(formulae_->Count(), 2);
}

TEST_F(FormulaListTest, RemovingTheCurrentFirstFormulaLeavesTheCursorOnItsSuccessor) {
  AddThree();
  formulae_->MoveFirst();
  formulae_->Remove(1);
  EXPECT_EQ(formulae_->Index(), 1);
  EXPECT_EQ(formulae_->Formula()->Value(), "[Orders].[Qty] = 2");
}

TEST_F(FormulaListTest, RemovingTheOnlyFormulaLeavesAnEmptyListAtOne) {
  AddFormula("Orders.Qty = 1");
  formulae_->Remove();
  EXPECT_EQ(formulae_->Count(), 0);
  EXPECT_EQ(formulae_->Index(), 1);
  EXPECT_TRUE(formulae_->Eof());
  EXPECT_TRUE(formulae_->Bof());
}

TEST_F(FormulaListTest, RemoveClearsTheFormula) {
  AddThree();
  const auto removed = formulae_->Formula(2);
  formulae_->Remove(2);
  EXPECT_EQ(removed->Count(), 0);
  EXPECT_EQ(removed->Value(), "");
}

TEST_F(FormulaListTest, RemoveByReferenceWritesTheResolvedPositionBack) {
  AddThree();
  formulae_->SetIndex(2);
  int32_t index = -1;
  formulae_->Remove(&index);
  EXPECT_EQ(index, 2);
  formulae_->SetIndex(0);
  index = -1;
  EXPECT_TALVANE_ERROR(formulae_->Remove(&index), kErr1, "Exception: Exception.Remove(Index)", "Index out of bounds");
  EXPECT_EQ(index, 0);
  index = 5;
  EXPECT_TALVANE_ERROR(formulae_->Remove(&index), kErr1, "Exception: Exception.Remove(Index)", "Index out of bounds");
  EXPECT_EQ(index, 5);
  EXPECT_EQ(formulae_->Count(), 2);
}

TEST_F(FormulaListTest, ErrorPosAndErrorItemReadTheFormulaAtTheResolvedPosition) {
  AddThree();
  formulae_->AddNew();
  EXPECT_ANY_THROW(formulae_->Formula()->SetValue(std::string_view("Orders.Qty = 5 = 6")));
  int32_t index = -1;
  const int32_t position = formulae_->ErrorPos(&index);
  EXPECT_EQ(index, 4);
  EXPECT_EQ(formulae_->ErrorItem(), formulae_->Formula()->ErrorItem());
  EXPECT_EQ(formulae_->ErrorItem(4), std::string("Orders.Qty = 5 = 6").substr(static_cast<std::size_t>(position)));
  EXPECT_GT(position, 10);
  EXPECT_EQ(formulae_->ErrorPos(1), 0);
  EXPECT_TALVANE_ERROR(formulae_->ErrorPos(9), kErr1, "Exception: Exception.ErrorPos(Index)", "Index out of bounds");
  EXPECT_TALVANE_ERROR(formulae_->ErrorItem(0), kErr1, "Exception: Exception.ErrorItem(Index)", "Index out of bounds");
}

TEST_F(FormulaListTest, AssigningAFormulaCopiesItsTextIntoTheHeldObject) {
  AddThree();
  const auto held = formulae_->Formula(2);
  const auto outside = Formula::Create();
  outside->TempConnection(database_);
  outside->SetValue(std::string_view("Orders.Amount BETWEEN 1 AND 5"));
  formulae_->SetFormula(outside, 2);
  EXPECT_EQ(formulae_->Formula(2), held);
  EXPECT_EQ(held->Value(), "[Orders].[Amount] BETWEEN 1 AND 5");
  EXPECT_TALVANE_ERROR(formulae_->SetFormula(outside, 4), kErr1, "Exception: Exception.Value(Index)",
                       "Index out of bounds");
  EXPECT_ANY_THROW(formulae_->SetFormula(nullptr, 1));
  EXPECT_EQ(TextAt(1), "[Orders].[Qty] = 1");
}

TEST_F(FormulaListTest, ClosedConnectionGuardsOnlyTheMembersThatReachFormulas) {
  AddThree();
  database_->Close();
  EXPECT_EQ(formulae_->Count(), 3);
  formulae_->MoveFirst();
  formulae_->MoveNext();
  formulae_->MovePrevious();
  formulae_->MoveLast();
  EXPECT_FALSE(formulae_->Eof());
  EXPECT_FALSE(formulae_->Bof());
  formulae_->SetDatabaseType(kAccess);
  EXPECT_EQ(formulae_->DatabaseType(), kAccess);
  EXPECT_TALVANE_ERROR(formulae_->Formula(1), kErr4, "Exception: Exception.Value", "Connection not open");
  EXPECT_TALVANE_ERROR(formulae_->SetFormula(Formula::Create(), 1), kErr4, "Exception: Exception.Value",
                       "Connection not open");
  EXPECT_TALVANE_ERROR(formulae_->AddNew(), kErr4, "Exception: Exception.AddNew", "Connection not open");
  EXPECT_TALVANE_ERROR(formulae_->Remove(1), kErr4, "Exception: Exception.Remove(Index)", "Connection not open");
  EXPECT_TALVANE_ERROR(formulae_->ErrorPos(1), kErr4, "Exception: Exception.ErrorPos(Index)", "Connection not open");
  EXPECT_TALVANE_ERROR(formulae_->ErrorItem(1), kErr4, "Exception: Exception.ErrorItem(Index)",
                       "Connection not open");
  EXPECT_EQ(formulae_->Count(), 3);
  formulae_->Clear();
  EXPECT_EQ(formulae_->Count(), 0);
}

TEST(FormulaListConnection, ListWithoutAnyConnectionFailsLikeAClosedOne) {
  const auto list = FormulaList::Create();
  EXPECT_TALVANE_ERROR(list->AddNew(), kErr4, "Exception: Exception.AddNew", "Connection not open");
  EXPECT_TALVANE_ERROR(list->Formula(), kErr4, "Exception: Exception.Value", "Connection not open");
  int32_t index = -1;
  EXPECT_TALVANE_ERROR(list->Remove(&index), kErr4, "Exception: Exception.Remove(Index)", "Connection not open");
  EXPECT_EQ(index, -1);
}

TEST_F(FormulaListTest, ConnectionAssignmentReachesOnlyLaterFormulas) {
  AddFormula("Orders.Qty = 1");
  const auto other = MakeStandardDatabase();
  formulae_->SetConnection(other);
  EXPECT_EQ(formulae_->Connection(), other);
  database_->Close();
  // The first formula still holds the closed connection; a new one gets the open one.
  EXPECT_ANY_THROW(formulae_->Formula(1)->SetValue(std::string_view("Orders.Qty = 2")));
  formulae_->AddNew();
  formulae_->Formula()->SetValue(std::string_view("Orders.Qty = 2"));
  EXPECT_EQ(formulae_->Formula()->Value(), "[Orders].[Qty] = 2");
}

TEST_F(FormulaListTest, DatabaseTypeReachesEveryFormulaAndLaterOnes) {
  AddThree();
  formulae_->SetDatabaseType(kAccess);
  for (int32_t i = 1; i <= 3; ++i) EXPECT_EQ(formulae_->Formula(i)->DatabaseType(), kAccess);
  formulae_->SetDatabaseType(kSQLServer);
  formulae_->AddNew();
  EXPECT_EQ(formulae_->Formula()->DatabaseType(), kSQLServer);
  EXPECT_EQ(formulae_->Formula(1)->SQL(), "ISNULL([Orders].[Qty], 0) = 1");
}

TEST_F(FormulaListTest, ClearEmptiesTheListAndKeepsOwnerConnectionAndDialect) {
  AddThree();
  const auto first = formulae_->Formula(1);
  formulae_->SetDatabaseType(kAccess);
  formulae_->Clear();
  EXPECT_EQ(formulae_->Count(), 0);
  EXPECT_EQ(formulae_->Index(), 1);
  EXPECT_EQ(first->Count(), 0);
  EXPECT_EQ(formulae_->Exception(), report_);
  EXPECT_EQ(formulae_->Connection(), database_);
  EXPECT_EQ(formulae_->DatabaseType(), kAccess);
}

TEST_F(FormulaListTest, FindFormulaComparesBracketedNamesWithoutCase) {
  AddFormula("Orders.Qty = 1");
  AddFormula("Orders.Qty = 2", "Overdue");
  AddFormula("Lines.Qty = 3", "Overdue");
  EXPECT_EQ(Access::FindFormula(*formulae_, "Overdue"), 2);
  EXPECT_EQ(Access::FindFormula(*formulae_, "[overdue]"), 2);
  EXPECT_EQ(Access::FindFormula(*formulae_, "OVERDUE"), 2);
  EXPECT_EQ(Access::FindFormula(*formulae_, "Late"), 0);
  EXPECT_EQ(Access::FindFormula(*formulae_, ""), 1);
  EXPECT_EQ(Access::FormulaTables(*formulae_, "overdue"), "[Orders]");
  EXPECT_EQ(Access::FormulaTables(*formulae_, "Late"), "");
  formulae_->SetIndex(3);
  Access::FindFormula(*formulae_, "Overdue");
  EXPECT_EQ(formulae_->Index(), 3);
}

}  // namespace
}  // namespace talvane::test
