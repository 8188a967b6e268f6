// Regression tests of what the formula fuzz target found: texts whose read-back is not formula text.
#include <gtest/gtest.h>

#include <string>

#include "support/expect_error.hpp"
#include "support/sqlite_fixture.hpp"
#include "talvane/formula/formula.hpp"
#include "talvane/foundation/error.hpp"
#include "talvane/report/exception.hpp"
#include "talvane/report/formula_list.hpp"

namespace talvane::test {
namespace {

class FuzzFindings : public ::testing::Test {
 protected:
  void SetUp() override {
    report_ = Exception::Create();
    report_->SetConnection(MakeStandardDatabase(kAccessProvider));
    report_->Formulae()->AddNew();
    formula_ = report_->Formulae()->Formula();
  }
  std::shared_ptr<Exception> report_;
  std::shared_ptr<Formula> formula_;
};

TEST_F(FuzzFindings, AListElementNeedsItsSeparatorEvenAfterAClosingParenthesis) {
  // The ")" closes the first list element; 2 does not start a second one (it would read back as IN (1, 2)).
  EXPECT_TALVANE_ERROR(formula_->SetValue(std::string_view("Orders.Qty IN(1) 2")), ERR_ITEMTYPE,
                       "Exception: Formula.Add", "Illigal value");
  EXPECT_EQ(formula_->ErrorItem(), " 2");
  formula_->SetValue(std::string_view("Orders.Qty IN(1, 2)"));
  EXPECT_EQ(formula_->SQL(), "IIF(ISNULL([Orders].[Qty]), 0, [Orders].[Qty]) IN (1, 2)");
}

TEST_F(FuzzFindings, BetweenTakesNoFourthOperand) {
  // Found as [Orders].[OrderDate] BETWEEN 01/01/2003 AND 31/12)2003: four sections, read back with a second
  // AND that no formula accepts.
  EXPECT_TALVANE_ERROR(formula_->SetValue(std::string_view("Orders.Qty BETWEEN 1 AND 2) 3")), ERR_ITEMTYPE,
                       "Exception: Formula.Add", "Illigal value");
  EXPECT_EQ(formula_->ErrorItem(), " 3");
  EXPECT_EQ(formula_->Count(), 3);
}

TEST_F(FuzzFindings, AClosingParenthesisAfterTheRightOperandIsStillTaken) {
  // The spelled-out rule: a ")" at the top of an operand closes it. The text reads back without it.
  formula_->SetValue(std::string_view("Orders.Qty > 1)"));
  EXPECT_TRUE(formula_->Valid());
  EXPECT_EQ(formula_->Value(), "[Orders].[Qty] > 1");
}

}  // namespace
}  // namespace talvane::test
