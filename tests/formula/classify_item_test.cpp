// Token classification and the canonical rewrites of operators and booleans.
#include <gtest/gtest.h>

#include <string>

#include "talvane/foundation/enums.hpp"
#include "talvane/formula/classify_item.hpp"

namespace talvane {
namespace {

struct ClassifyCase {
  std::string item;
  ITEMTYPEENU kind;
  std::string textAfterwards;
};

void PrintTo(const ClassifyCase& c, std::ostream* os) { *os << "item \"" << c.item << '"'; }

class ClassifyItemCases : public testing::TestWithParam<ClassifyCase> {};

TEST_P(ClassifyItemCases, GivesKindAndText) {
  std::string item = GetParam().item;
  EXPECT_EQ(ClassifyItem(item), GetParam().kind);
  EXPECT_EQ(item, GetParam().textAfterwards);
}

INSTANTIATE_TEST_SUITE_P(Comparisons, ClassifyItemCases, testing::Values(
    ClassifyCase{"=", kComparisson, "="},
    ClassifyCase{"<>", kComparisson, "<>"},
    ClassifyCase{"<", kComparisson, "<"},
    ClassifyCase{">", kComparisson, ">"},
    ClassifyCase{">=", kComparisson, ">="},
    ClassifyCase{"=>", kComparisson, ">="},
    ClassifyCase{"<=", kComparisson, "<="},
    ClassifyCase{"=<", kComparisson, "<="},
    ClassifyCase{"in", kComparisson, "IN"},
    ClassifyCase{" IN ", kComparisson, "IN"},
    ClassifyCase{"Between", kComparisson, "BETWEEN"},
    ClassifyCase{"like", kComparisson, "LIKE"},
    ClassifyCase{"not like", kComparisson, "NOT LIKE"},
    ClassifyCase{" = ", kComparisson, "="}));

INSTANTIATE_TEST_SUITE_P(NotOperators, ClassifyItemCases, testing::Values(
    ClassifyCase{"==", kLiteral, "=="},
    ClassifyCase{"><", kLiteral, "><"},
    ClassifyCase{"<<", kLiteral, "<<"},
    ClassifyCase{"not  like", kField, "not  like"},   // two blanks is no operator
    ClassifyCase{"\tIN", kLiteral, "\tIN"}));         // only spaces are trimmed

INSTANTIATE_TEST_SUITE_P(Arithmetic, ClassifyItemCases, testing::Values(
    ClassifyCase{"+", kArith, "+"},
    ClassifyCase{"-", kArith, "-"},
    ClassifyCase{"*", kArith, "*"},
    ClassifyCase{" / ", kArith, "/"}));

INSTANTIATE_TEST_SUITE_P(Groups, ClassifyItemCases, testing::Values(
    ClassifyCase{"(", kSection, "("},
    ClassifyCase{"sum(", kSection, "sum("},
    ClassifyCase{"Count(", kSection, "Count("},
    ClassifyCase{"MAX(", kSection, "MAX("},
    ClassifyCase{"min(", kSection, "min("},
    ClassifyCase{"avg(", kSection, "avg("},
    ClassifyCase{"Total(", kSection, "Total("},
    ClassifyCase{" ( ", kSection, " ( "},
    ClassifyCase{")", kSection, ")"},
    ClassifyCase{" ) ", kSection, ")"}));

INSTANTIATE_TEST_SUITE_P(Separators, ClassifyItemCases, testing::Values(
    ClassifyCase{",", kSeperator, ","},
    ClassifyCase{"and", kSeperator, "and"},
    ClassifyCase{"AND", kSeperator, "AND"}));

INSTANTIATE_TEST_SUITE_P(Booleans, ClassifyItemCases, testing::Values(
    ClassifyCase{"true", kLiteral, "True"},
    ClassifyCase{"TRUE", kLiteral, "True"},
    ClassifyCase{"False", kLiteral, "False"},
    ClassifyCase{" false ", kLiteral, "False"}));

INSTANTIATE_TEST_SUITE_P(Operands, ClassifyItemCases, testing::Values(
    ClassifyCase{"Orders.Amount", kField, "Orders.Amount"},
    ClassifyCase{"[Orders].[Amount]", kField, "[Orders].[Amount]"},
    ClassifyCase{"z.y", kField, "z.y"},
    ClassifyCase{"12.5", kLiteral, "12.5"},
    ClassifyCase{"01/02/2003", kLiteral, "01/02/2003"},
    ClassifyCase{"12:30", kLiteral, "12:30"},
    ClassifyCase{"\"a b\"", kLiteral, "\"a b\""},
    ClassifyCase{"", kLiteral, ""},
    ClassifyCase{"   ", kLiteral, "   "},
    ClassifyCase{"_x", kLiteral, "_x"},
    ClassifyCase{"\xc3\xa9.x", kLiteral, "\xc3\xa9.x"}));

TEST(ClassifyItem, NeverReturnsNodeOnlyKinds) {
  for (const char* text : {"(", ")", "x.y", "1", ",", "in", "+", ""}) {
    std::string item = text;
    const ITEMTYPEENU kind = ClassifyItem(item);
    EXPECT_NE(kind, kOpenSection) << text;
    EXPECT_NE(kind, kFormula) << text;
  }
}

}  // namespace
}  // namespace talvane
