#include "report/report_test_support.hpp"

namespace talvane::test {
namespace {

class FieldListTest : public ReportTest {
 protected:
  // Fields A to D (columns of Orders) with the given order positions.
  void AddOrdered(const std::vector<int32_t>& positions) {
    const char* columns[] = {"Orders.Status", "Orders.Qty", "Orders.Amount", "Orders.Placed", "Orders.Total"};
    for (std::size_t i = 0; i < positions.size(); ++i) {
      const auto field = AddField(columns[i]);
      Access::StoreOrderPos(*field, positions[i]);
    }
  }
  // The list positions the ordered walk visits.
  std::vector<int32_t> Walk() const {
    std::vector<int32_t> visited;
    for (fields_->MoverFirstByOrder(); !fields_->Eof(); fields_->MoverNextByOrder()) {
      visited.push_back(CursorPosition());
    }
    return visited;
  }
  // The cursor is not published; the current field tells it.
  int32_t CursorPosition() const {
    const auto current = fields_->Field();
    for (int32_t i = 1; i <= fields_->Count(); ++i) {
      if (fields_->Field(i) == current) return i;
    }
    return 0;
  }
};

TEST(FieldListCursor, NewListStandsBeforeTheFirstField) {
  const auto list = FieldList::Create();
  EXPECT_EQ(list->Count(), 0);
  EXPECT_TRUE(list->Bof());
  EXPECT_FALSE(list->Eof());
  list->MoverFirstByOrder();
  EXPECT_TRUE(list->Eof());
  list->MoverNextByOrder();
  EXPECT_TRUE(list->Eof());
  EXPECT_EQ(list->Parent(), nullptr);
}

TEST_F(FieldListTest, OrderedWalkFollowsPositionsAndSkipsUnordered) {
  AddOrdered({2, 1, 3, 0});
  EXPECT_EQ(Walk(), (std::vector<int32_t>{2, 1, 3}));
  fields_->MoveLast();
  fields_->MoveNext();
  EXPECT_TRUE(fields_->Eof());
}

TEST_F(FieldListTest, OrderedWalkEndsAtOnceWhenNothingIsOrdered) {
  AddOrdered({0, 0});
  fields_->MoverFirstByOrder();
  EXPECT_TRUE(fields_->Eof());
}

TEST_F(FieldListTest, OrderedWalkSkipsGaps) {
  AddOrdered({3, 0, 1});
  EXPECT_EQ(Walk(), (std::vector<int32_t>{3, 1}));
}

TEST_F(FieldListTest, OrderedWalkVisitsOnlyTheFirstOfTiedFields) {
  AddOrdered({1, 1, 2});
  EXPECT_EQ(Walk(), (std::vector<int32_t>{1, 3}));
}

TEST_F(FieldListTest, NextByOrderPastTheEndIsAnIndexError) {
  AddOrdered({1});
  fields_->MoverFirstByOrder();
  fields_->MoverNextByOrder();
  ASSERT_TRUE(fields_->Eof());
  EXPECT_TALVANE_ERROR(fields_->MoverNextByOrder(), kErr3, "Exception: FieldList.MoverNextByOrder",
                       "Index out of bounds");
  fields_->MoveFirst();
  fields_->MovePrevious();
  EXPECT_ANY_THROW(fields_->MoverNextByOrder());
}

TEST_F(FieldListTest, RemovedOrderedFieldLeavesAGapTheWalkCrosses) {
  AddOrdered({1, 2, 3});
  const auto removed = fields_->Field(2);
  fields_->Remove(2);
  EXPECT_EQ(OrderPositions(), (std::vector<int32_t>{1, 3}));
  EXPECT_EQ(Walk(), (std::vector<int32_t>{1, 2}));
  // Removed, not cleared.
  EXPECT_EQ(removed->Value(), "[Orders].[Qty]");
  EXPECT_EQ(removed->OrderPos(), 2);
}

TEST_F(FieldListTest, RemoveAdjustsTheCursorLikeTheFormulaList) {
  AddOrdered({0, 0, 0});
  const auto second = fields_->Field(2);
  const auto third = fields_->Field(3);
  fields_->MoveFirst();
  fields_->MoveNext();
  fields_->Remove(1);
  EXPECT_EQ(fields_->Field(), second);
  fields_->Remove();
  EXPECT_EQ(CursorPosition(), 1);
  EXPECT_EQ(fields_->Field(), third);
  fields_->Remove();
  EXPECT_EQ(fields_->Count(), 0);
  EXPECT_TRUE(fields_->Eof());
  EXPECT_TRUE(fields_->Bof());
}

TEST_F(FieldListTest, RemoveByReferenceWritesTheResolvedPositionBack) {
  AddOrdered({0, 0, 0});
  int32_t index = -1;
  fields_->Remove(&index);
  EXPECT_EQ(index, 3);
  index = 7;
  EXPECT_TALVANE_ERROR(fields_->Remove(&index), kErr3, "Exception: FieldList.Remove(Index)", "Index out of bounds");
  EXPECT_EQ(index, 7);
  EXPECT_EQ(fields_->Count(), 2);
}

TEST_F(FieldListTest, ClearClearsEveryField) {
  AddOrdered({1, 2});
  const auto first = fields_->Field(1);
  fields_->Clear();
  EXPECT_EQ(fields_->Count(), 0);
  EXPECT_TRUE(fields_->Eof());
  EXPECT_EQ(first->Value(), "[].[]");
  EXPECT_EQ(first->OrderPos(), 1);
}

TEST_F(FieldListTest, ReadingChecksConnectionThenBounds) {
  AddOrdered({0});
  EXPECT_TALVANE_ERROR(fields_->Field(0), kErr3, "Exception: FieldList.Field(Index)", "Index out of bounds");
  EXPECT_TALVANE_ERROR(fields_->Field(2), kErr3, "Exception: FieldList.Field(Index)", "Index out of bounds");
  database_->Close();
  EXPECT_TALVANE_ERROR(fields_->Field(1), kErr1, "Exception: FieldList.Field(Index)", "Connection not open");
  EXPECT_TALVANE_ERROR(fields_->Field(0), kErr1, "Exception: FieldList.Field(Index)", "Connection not open");
  EXPECT_TALVANE_ERROR(fields_->SetField(Field::Create(), 1), kErr1, "Exception: FieldList.Field",
                       "Connection not open");
  EXPECT_TALVANE_ERROR(fields_->AddNew(), kErr1, "Exception: FieldList.AddNew", "Connection not open");
  EXPECT_TALVANE_ERROR(fields_->Remove(1), kErr1, "Exception: FieldList.Remove(Index)", "Connection not open");
  EXPECT_EQ(fields_->Count(), 1);
  fields_->MoverFirstByOrder();
  EXPECT_TRUE(fields_->Eof());
}

TEST(FieldListConnection, ListWithoutAnyConnectionFailsLikeAClosedOne) {
  const auto list = FieldList::Create();
  EXPECT_TALVANE_ERROR(list->AddNew(), kErr1, "Exception: FieldList.AddNew", "Connection not open");
  EXPECT_TALVANE_ERROR(list->Field(), kErr1, "Exception: FieldList.Field(Index)", "Connection not open");
}

TEST_F(FieldListTest, AssigningAFieldHandsItsReferenceToTheHeldField) {
  AddOrdered({0, 0});
  const auto held = fields_->Field(1);
  const auto donor = fields_->Field(2);
  fields_->SetField(donor, 1);
  EXPECT_EQ(fields_->Field(1), held);
  EXPECT_EQ(held->Value(), "[Orders].[Qty]");
  EXPECT_TALVANE_ERROR(fields_->SetField(donor, 3), kErr3, "Exception: FieldList.Field(Index)",
                       "Index out of bounds");
  EXPECT_ANY_THROW(fields_->SetField(nullptr, 1));
}

TEST_F(FieldListTest, NewConnectionOfTheReportReachesEveryFieldAndLaterOnes) {
  const auto field = AddField("Orders.Status");
  const auto other = MakeDatabase("CREATE TABLE Orders (CustID INTEGER, Status TEXT, Late MONEY);");
  report_->SetConnection(other);
  database_->Close();
  field->SetFieldOnly("Late");
  EXPECT_EQ(field->Value(), "[Orders].[Late]");
  AddField("Orders.Late");
  EXPECT_EQ(fields_->Count(), 2);
}

}  // namespace
}  // namespace talvane::test
