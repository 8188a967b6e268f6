#include "report/report_test_support.hpp"

namespace talvane::test {
namespace {

using Positions = std::vector<int32_t>;

class FieldOrderTest : public ReportTest {
 protected:
  void AddFields(int n) {
    for (int i = 0; i < n; ++i) AddField("Orders.Qty");
  }
  std::shared_ptr<Field> At(int32_t index) const { return fields_->Field(index); }
};

TEST_F(FieldOrderTest, OrderingInTurnBuildsARun) {
  AddFields(3);
  for (int32_t i = 1; i <= 3; ++i) At(i)->SetOrdered(true);
  EXPECT_EQ(OrderPositions(), (Positions{1, 2, 3}));
  EXPECT_TRUE(At(2)->Ordered());
}

TEST_F(FieldOrderTest, UnorderingClosesTheGap) {
  AddFields(3);
  for (int32_t i = 1; i <= 3; ++i) At(i)->SetOrdered(true);
  At(1)->SetOrdered(false);
  EXPECT_EQ(OrderPositions(), (Positions{0, 1, 2}));
  At(1)->SetOrdered(false);
  EXPECT_EQ(OrderPositions(), (Positions{0, 1, 2}));
}

TEST_F(FieldOrderTest, OrderingAnOrderedFieldAgainMovesItBehindTheRun) {
  AddFields(3);
  for (int32_t i = 1; i <= 3; ++i) At(i)->SetOrdered(true);
  At(2)->SetOrdered(true);
  EXPECT_EQ(OrderPositions(), (Positions{1, 4, 3}));
}

TEST_F(FieldOrderTest, TakenPositionSendsTheFieldBehindThatRun) {
  AddFields(4);
  for (int32_t i = 1; i <= 3; ++i) At(i)->SetOrdered(true);
  At(4)->SetOrderPos(2);
  EXPECT_EQ(OrderPositions(), (Positions{1, 2, 3, 4}));
}

TEST_F(FieldOrderTest, ExplicitPositionsMayLeaveGaps) {
  AddFields(3);
  At(1)->SetOrderPos(5);
  At(2)->SetOrderPos(2);
  EXPECT_EQ(OrderPositions(), (Positions{5, 2, 0}));
  // The run that holds 5 is just 5, so the next free place is 6.
  At(3)->SetOrderPos(5);
  EXPECT_EQ(OrderPositions(), (Positions{5, 2, 6}));
  At(3)->SetOrdered(false);
  EXPECT_EQ(OrderPositions(), (Positions{5, 2, 0}));
}

TEST_F(FieldOrderTest, PositionZeroTakesTheFieldOutAndClosesTheGap) {
  AddFields(3);
  for (int32_t i = 1; i <= 3; ++i) At(i)->SetOrdered(true);
  At(2)->SetOrderPos(0);
  EXPECT_EQ(OrderPositions(), (Positions{1, 0, 2}));
}

TEST_F(FieldOrderTest, RewritingItsOwnPositionChangesNothing) {
  AddFields(2);
  At(1)->SetOrdered(true);
  At(2)->SetOrdered(true);
  At(2)->SetOrderPos(2);
  EXPECT_EQ(OrderPositions(), (Positions{1, 2}));
}

TEST_F(FieldOrderTest, NegativePositionIsRefused) {
  AddFields(2);
  At(1)->SetOrdered(true);
  EXPECT_TALVANE_ERROR(At(1)->SetOrderPos(-1), kErr5, "Field.OrderPos", "Order position must be greater than 0.");
  EXPECT_EQ(OrderPositions(), (Positions{1, 0}));
}

TEST_F(FieldOrderTest, NextOrderPosRefusesANegativeStart) {
  AddFields(2);
  At(1)->SetOrdered(true);
  EXPECT_EQ(Access::NextOrderPos(*At(2), 0), 2);
  EXPECT_TALVANE_ERROR(Access::NextOrderPos(*At(2), -1), kErr5, "Field.NextOrderPos",
                       "Start position invalid. Must be > 0.");
}

TEST_F(FieldOrderTest, NoPositionAfterTheLargestIsRefusedNotWrapped) {
  AddFields(2);
  At(1)->SetOrderPos(2147483647);
  EXPECT_TALVANE_ERROR(At(2)->SetOrderPos(2147483647), kErr5, "Field.NextOrderPos",
                       "No order position is free after the run.");
  EXPECT_EQ(OrderPositions(), (Positions{2147483647, 0}));
}

TEST_F(FieldOrderTest, ClosedListLeavesEveryPositionAlone) {
  AddFields(3);
  for (int32_t i = 1; i <= 3; ++i) At(i)->SetOrdered(true);
  const auto first = At(1);
  database_->Close();
  EXPECT_TALVANE_ERROR(first->SetOrdered(false), kErr1, "Exception: FieldList.Field(Index)", "Connection not open");
  EXPECT_TALVANE_ERROR(first->SetOrderPos(0), kErr1, "Exception: FieldList.Field(Index)", "Connection not open");
  EXPECT_EQ(first->OrderPos(), 1);
}

}  // namespace
}  // namespace talvane::test
