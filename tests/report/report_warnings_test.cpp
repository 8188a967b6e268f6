// Warnings: each trap the library accepts gives one warning at the right item, and a sound report none.
#include "report/report_test_support.hpp"
#include "talvane/report/report_warnings.hpp"

namespace talvane::test {
namespace {

struct Rule {
  Rule(const char* text, std::string set = {}, GROUPTYPEENU grouping = kAnd)
      : text(text), set(std::move(set)), grouping(grouping) {}
  std::string text;
  std::string set;
  GROUPTYPEENU grouping;
};

struct Expected {
  Warning::Subject subject;
  std::size_t index;
  std::optional<std::size_t> position;
  std::string messageStart;
};

struct WarningCase {
  WarningCase(std::string name, std::vector<Rule> rules, std::vector<Expected> expected,
              std::string aggregateField = {}, const char* provider = kSqlServerProvider)
      : name(std::move(name)),
        rules(std::move(rules)),
        expected(std::move(expected)),
        aggregateField(std::move(aggregateField)),
        provider(provider) {}
  std::string name;
  std::vector<Rule> rules;
  std::vector<Expected> expected;
  std::string aggregateField;  // the output field Orders.Amount gets this function when not empty
  const char* provider;
};

void PrintTo(const WarningCase& c, std::ostream* os) { *os << c.name; }

class ReportWarningsTest : public ReportTest, public testing::WithParamInterface<WarningCase> {};

TEST_P(ReportWarningsTest, FindsEachTrapAtItsItem) {
  const WarningCase& c = GetParam();
  report_->SetConnection(MakeStandardDatabase(c.provider));
  std::vector<std::string> texts;
  for (const Rule& rule : c.rules) {
    AddFormula(rule.text, rule.set, rule.grouping);
    texts.push_back(rule.text);
  }
  AddField("Customers.CustName");
  if (!c.aggregateField.empty()) AddField("Orders.Amount")->SetAggragateFunction(c.aggregateField);

  const std::vector<Warning> warnings = ReportWarnings(*report_, texts);
  ASSERT_EQ(warnings.size(), c.expected.size()) << (warnings.empty() ? "" : warnings.front().message);
  for (std::size_t i = 0; i < warnings.size(); ++i) {
    EXPECT_EQ(warnings[i].subject, c.expected[i].subject);
    EXPECT_EQ(warnings[i].index, c.expected[i].index);
    EXPECT_EQ(warnings[i].position, c.expected[i].position) << warnings[i].message;
    EXPECT_EQ(warnings[i].message.rfind(c.expected[i].messageStart, 0), 0u) << warnings[i].message;
  }
}

constexpr auto kFormula = Warning::Subject::kFormula;

INSTANTIATE_TEST_SUITE_P(
    Traps, ReportWarningsTest,
    testing::Values(
        WarningCase{"SoundReport",
                    {{"Orders.Amount BETWEEN 1 AND 5"}, {"Orders.Status LIKE \"B%\""}, {"Orders.Status = \"a\"", "S"}},
                    {}},
        WarningCase{"ParenthesesHideANumberInATextComparison",
                    {{"Orders.Status = (Orders.Amount)"}, {"Orders.Amount = (Orders.Status)"}},
                    {{kFormula, 1, 16, "this group is a number where a text is expected"},
                     {kFormula, 2, 16, "this group is a text where a number is expected"}}},
        WarningCase{"CountIsANumberWhateverItCounts", {{"Orders.Amount > COUNT(Orders.Status)"}}, {}},
        WarningCase{"LiteralOnTheLeft", {{"1 = Orders.Status"}},
                    {{kFormula, 1, 0, "the comparison begins with a literal"}}},
        WarningCase{"UnquotedTextLiterals", {{"Orders.Status = =="}, {"Orders.Status = 1/2/2024"}},
                    {{kFormula, 1, 16, "'==' is not a number"}, {kFormula, 2, 16, "'1/2/2024' is not a number"}}},
        WarningCase{"BlanksDroppedFromAName", {{"Orders.Qty > 1"}, {"Order Lines.Qty > 1"}},
                    {{kFormula, 2, 0, "the blanks in 'Order Lines.Qty' are dropped, so it names [OrderLines].[Qty]; a "
                                      "name with blanks goes in brackets: [Order Lines].[Qty]"}}},
        WarningCase{"ParenthesisClosingNothing",
                    {{"Orders.Amount = (1 + 2))"}, {"Orders.Qty IN(1, 2)"}},
                    {{kFormula, 1, 23, "this ) closes no ("}}},
        WarningCase{"BetweenBoundsWrongWayRound",
                    {{"Orders.Amount BETWEEN 5 AND 2"}, {"Orders.Placed BETWEEN 02/01/2020 AND 01/02/2019"},
                     {"Orders.Status BETWEEN \"b\" AND \"A\""}, {"Orders.Amount BETWEEN 2 AND 2"}},
                    {{kFormula, 1, 22, "the bounds are the wrong way round: BETWEEN 5 AND 2"},
                     {kFormula, 2, 22, "the bounds are the wrong way round"},
                     {kFormula, 3, 22, "the bounds are the wrong way round"}}},
        WarningCase{"AccessWildcardsOnSqlServer", {{"Orders.Status LIKE \"B*\""}},
                    {{kFormula, 1, 19, "* and ? are wildcards of Access, not of SQL Server"}}},
        WarningCase{"SqlServerWildcardsOnAccess", {{"Orders.Status NOT LIKE \"B_\""}},
                    {{kFormula, 1, 23, "% and _ are wildcards of SQL Server, not of Access"}}, "", kAccessProvider},
        WarningCase{"AndAndOrMixed",
                    {{"Orders.Amount > 1"}, {"Orders.Qty > 1", "", kOr}, {"Orders.Status = \"a\"", "", kAnd},
                     {"Orders.Amount > 2", "Big"}, {"Orders.Qty < 9", "big", kAnd}},
                    {{kFormula, 3, std::nullopt, "AND and OR are mixed in the conditions of the unnamed formulas"}}},
        WarningCase{"SetBeginningWithOr", {{"Orders.Amount > 2", "Big", kOr}, {"Orders.Qty < 9", "big", kOr}},
                    {{kFormula, 1, std::nullopt, "set [Big] begins with OR, so it is an outer join"}}},
        WarningCase{"AggregateOutputField", {}, {{Warning::Subject::kField, 2, std::nullopt,
                                                  "the statement does not apply SUM: it lists the plain column "
                                                  "[Orders].[Amount]"}},
                    "SUM"}),
    [](const testing::TestParamInfo<WarningCase>& info) { return info.param.name; });

}  // namespace
}  // namespace talvane::test
