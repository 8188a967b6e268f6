// Adding and removing the square brackets of field references.
#include <gtest/gtest.h>

#include <string>

#include "talvane/foundation/brackets.hpp"

namespace talvane {
namespace {

TEST(AddBrackets, BracketsTableAndFieldSeparately) {
  EXPECT_EQ(AddBrackets("Orders.Amount"), "[Orders].[Amount]");
  EXPECT_EQ(AddBrackets("[Orders].Amount"), "[Orders].[Amount]");
  EXPECT_EQ(AddBrackets("Orders.[Amount]"), "[Orders].[Amount]");
  EXPECT_EQ(AddBrackets("[Orders].[Amount]"), "[Orders].[Amount]");
  EXPECT_EQ(AddBrackets("Amount"), "[Amount]");
  EXPECT_EQ(AddBrackets(".Amount"), "[].[Amount]");
  EXPECT_EQ(AddBrackets("Orders."), "[Orders].[]");
  EXPECT_EQ(AddBrackets(""), "");
}

TEST(AddBrackets, SplitsAtTheFirstDotOnly) {
  EXPECT_EQ(AddBrackets("a.b.c"), "[a].[b.c]");
}

TEST(AddBrackets, WholeNameIsNeverSplit) {
  EXPECT_EQ(AddBrackets("Order Lines", true), "[Order Lines]");
  EXPECT_EQ(AddBrackets("Orders.Amount", true), "[Orders.Amount]");
  EXPECT_EQ(AddBrackets("[Orders]", true), "[Orders]");
}

TEST(AddBrackets, HalfBracketedPartsAreCompleted) {
  EXPECT_EQ(AddBrackets("[Orders"), "[Orders]");
  EXPECT_EQ(AddBrackets("Orders]"), "[Orders]");
  EXPECT_EQ(AddBrackets("["), "[]");
}

TEST(StripBrackets, RemovesOneBracketPairFromEachPart) {
  EXPECT_EQ(StripBrackets("[Orders].[Amount]"), "Orders.Amount");
  EXPECT_EQ(StripBrackets("[Amount]"), "Amount");
  EXPECT_EQ(StripBrackets("[].[Amount]"), "Amount");
  EXPECT_EQ(StripBrackets("Orders.Amount"), "Orders.Amount");
  EXPECT_EQ(StripBrackets("[[Amount]]"), "[Amount]");
  EXPECT_EQ(StripBrackets("[Order Lines].[Unit Price]"), "Order Lines.Unit Price");
  EXPECT_EQ(StripBrackets(""), "");
  EXPECT_EQ(StripBrackets("["), "");
}

TEST(StripBrackets, UndoesAddBrackets) {
  for (const char* text : {"Amount", "Orders.Amount", "Order Lines.Unit Price", "T1.F2", "x"}) {
    EXPECT_EQ(StripBrackets(AddBrackets(text)), text);
  }
}

}  // namespace
}  // namespace talvane
