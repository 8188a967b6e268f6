// `talvane check`: every failure of a definition, shown with the failing item under a caret.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_process.hpp"

namespace talvane::cli::test {
namespace {

ProcessResult Check(const std::string& definition) {
  return RunTalvane({"check", "-", "--connection", SampleConnection()}, definition);
}

// A definition over the sample database with the given formulas (JSON objects, comma-separated).
std::string OrdersReport(const std::string& formulas, const std::string& fields = R"({"field": "Orders.OrderID"})") {
  return R"({"mainTable": "Orders", "mainField": "OrderID", "fields": [)" + fields + R"(], "formulas": [)" + formulas +
         "]}";
}

// The screen column of the caret in the line under the text: one column per UTF-8 character.
std::size_t CaretColumn(const std::string& caretLine) { return caretLine.find('^'); }

std::size_t CharacterColumn(const std::string& line, std::size_t byteOffset) {
  std::size_t column = 0;
  for (std::size_t i = 0; i < byteOffset; ++i) column += (static_cast<unsigned char>(line[i]) & 0xC0) != 0x80;
  return column;
}

TEST(CliCheck, PassingExamplesHaveNoFailures) {
  for (const std::string report : {"large_orders", "busy_regions", "customers_to_call"}) {
    const ProcessResult run = RunTalvane({"check", "reports/" + report + ".json", "--connection", SampleConnection()}, {},
                                         TALVANE_EXAMPLES_DIR);
    EXPECT_EQ(run.exitCode, 0) << report << "\n" << run.out;
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find("reports/" + report + ".json: no failures"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("; the statement builds\n"), std::string::npos) << run.out;
  }
}

TEST(CliCheck, ShowsEveryFailureOfTheMistakesExampleUnderACaret) {
  const ProcessResult run = RunTalvane({"check", "reports/mistakes.json", "--connection", SampleConnection()}, {},
                                       TALVANE_EXAMPLES_DIR);
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out, ReadFile(ExpectedOutput("mistakes.check.txt")));
}

TEST(CliCheck, CaretCountsCharactersNotBytes) {
  const ProcessResult run = Check(OrdersReport(R"({"text": "Orders.Status = \"Zoë\" AND 1"})"));
  ASSERT_EQ(run.exitCode, 1);
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(CaretColumn(lines[1]), CharacterColumn(lines[0], lines[0].find("AND"))) << run.out;
}

TEST(CliCheck, LineBreakInAFormulaIsShownAsABlankAboveTheCaret) {
  // Only blanks separate items: the item holding the line break is the one that fails.
  const ProcessResult run = Check(OrdersReport(R"({"text": "Orders.Amount >\n1_000"})"));
  ASSERT_EQ(run.exitCode, 1);
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0], "formula 1: Orders.Amount > 1_000");
  EXPECT_EQ(CaretColumn(lines[1]), lines[0].find('>'));
}

TEST(CliCheck, MisspeltColumnIsAFailureThoughTheLibraryTakesItForASet) {
  const ProcessResult run = Check(OrdersReport(R"({"text": "Orders.Amout >= 100"})"));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.out.find("table [Orders] has no column [Amout], and no set is named [Orders]"), std::string::npos);
}

TEST(CliCheck, ReferenceToASetDefinedLaterIsFine) {
  const ProcessResult run = Check(OrdersReport(R"({"text": "BigOnes.Amount > 5000"},
                                                  {"text": "Orders.Amount > 3000", "name": "BigOnes"})"));
  EXPECT_EQ(run.exitCode, 0) << run.out;
}

TEST(CliCheck, ReferenceToNothingNamesWhatIsMissing) {
  const ProcessResult run = Check(OrdersReport(R"({"text": "BigOnes.Nope > 1"},
                                                  {"text": "Nowhere.Amount > 1"},
                                                  {"text": "Orders.Amount > 3000", "name": "BigOnes"})"));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.out.find("set [BigOnes] offers no column [Nope]"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("no table or set is named [Nowhere]"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("2 failures (3 formulas, 1 field)"), std::string::npos) << run.out;
}

TEST(CliCheck, IncompleteFormulaPointsAtItsEnd) {
  const ProcessResult run = Check(OrdersReport(R"({"text": "Orders.Amount >="})"));
  EXPECT_EQ(run.exitCode, 1);
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(CaretColumn(lines[1]), lines[0].size());
  EXPECT_NE(lines[2].find("the formula is not complete"), std::string::npos);
}

TEST(CliCheck, EmptyFormulaIsAFailure) {
  const ProcessResult run = Check(OrdersReport(R"({"text": "   "})"));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.out.find("the formula is empty"), std::string::npos);
}

TEST(CliCheck, BaseGroupingAfterAnotherFormulaOfItsGroupFails) {
  const ProcessResult run = Check(OrdersReport(R"({"text": "Orders.Amount > 1"},
                                                  {"text": "Orders.Freight > 1", "grouping": "base"})"));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.out.find("formula 2: Orders.Freight > 1\n  grouping \"base\" after another formula"), std::string::npos)
      << run.out;
}

TEST(CliCheck, BaseGroupingAfterAFormulaOfTheSameSetSpeltInAnotherCaseFails) {
  // The statement takes Heavy and HEAVY for one set, so the second formula is not the first of its group.
  const ProcessResult run = Check(OrdersReport(R"({"text": "Orders.Amount > 1", "name": "Heavy"},
                                                  {"text": "Orders.Freight > 1", "name": "HEAVY", "grouping": "base"})"));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.out.find("formula 2: Orders.Freight > 1\n  grouping \"base\" after another formula"), std::string::npos)
      << run.out;
}

TEST(CliCheck, BaseGroupingFirstInItsSetIsFine) {
  const ProcessResult run = Check(OrdersReport(R"({"text": "Orders.Amount > 1"},
                                                  {"text": "Orders.Freight > 1", "name": "Heavy", "grouping": "base"})"));
  EXPECT_EQ(run.exitCode, 0) << run.out;
}

TEST(CliCheck, MainFieldWithATableIsExplained) {
  const ProcessResult run = Check(R"({"mainTable": "Orders", "mainField": "Orders.OrderID"})");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.out.find("main field: Orders.OrderID\n  error 0x80040001: refused: the main field is one column"),
            std::string::npos)
      << run.out;
}

TEST(CliCheck, EveryWrongSettingOfAFieldIsReported) {
  const ProcessResult run = Check(OrdersReport(
      "", R"({"field": "Orders.Amount", "aggregate": "MEDIAN", "direction": "Down", "orderPos": -1})"));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.out.find("(aggregate \"MEDIAN\")\n  error 0x80040007"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("(direction \"Down\")\n  error 0x80040006 (Field.OderDirection)"), std::string::npos);
  EXPECT_NE(run.out.find("(orderPos \"-1\")\n  error 0x80040005 (Field.OrderPos): Order position must be greater than 0."),
            std::string::npos);
  EXPECT_NE(run.out.find("3 failures"), std::string::npos);
}

TEST(CliCheck, FieldFoundNowhereGivesTheLibrarysError) {
  const ProcessResult run = Check(OrdersReport("", R"({"field": "Orders.Nope"})"));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.out.find("field 1: Orders.Nope\n  error 0x80040003 (Field.TestField): Field Not found in database and "
                         "is not in a Set."),
            std::string::npos)
      << run.out;
}

TEST(CliCheck, FormulaNameTheLibraryRefusesIsReportedWithTheName) {
  const ProcessResult run = Check(OrdersReport(R"({"text": "Orders.Amount > 1", "name": "a]b"})"));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.out.find("formula 1: Orders.Amount > 1  (name \"a]b\")\n  error 0x80040003 (Exception: Formula.Name)"),
            std::string::npos)
      << run.out;
}

struct UncompilableStatement {
  const char* name;
  std::string definition;
  std::string says;  // the error line under the statement
};

TEST(CliCheck, StatementThatCannotRunIsAFailure) {
  const UncompilableStatement cases[] = {
      {"joinedTableLacksTheKey",
       R"({"mainTable": "Regions", "mainField": "RegionID", "fields": [{"field": "Regions.RegionName"}],
           "formulas": [{"text": "Products.Category = \"Tools\""}]})",
       "  error 0x80040E14 (SQLite): no such column: Products.RegionID\n"},
      {"unknownMainTable", R"({"mainTable": "Nope", "mainField": "ID", "fields": [{"field": "Orders.OrderID"}]})",
       "  error 0x80040E37 (SQLite): no such table: Nope\n"},
      {"noOutputFields", R"({"mainTable": "Regions", "mainField": "RegionID"})",
       "  the report has no output fields: its statement selects nothing and cannot run (add at least one field)\n"},
  };
  for (const UncompilableStatement& c : cases) {
    const ProcessResult run = Check(c.definition);
    EXPECT_EQ(run.exitCode, 1) << c.name;
    EXPECT_EQ(run.err, "") << c.name;
    EXPECT_EQ(run.out.rfind("statement: SELECT ", 0), 0u) << c.name << "\n" << run.out;
    EXPECT_NE(run.out.find("\n" + c.says + "\n<stdin>: 1 failure ("), std::string::npos) << c.name << "\n" << run.out;
  }
}

struct WarningCase {
  const char* name;
  std::string formulas;
  std::string fields;
  std::string shown;  // the block of the warning, from its subject line to its message
};

TEST(CliCheckWarnings, EachIsShownUnderItsSubjectAndCountedWithoutFailingTheCheck) {
  const std::string orderId = R"({"field": "Orders.OrderID"})";
  const WarningCase cases[] = {
      {"literalOnTheLeft", R"({"text": "5 < Orders.Amount"})", orderId,
       "formula 1: 5 < Orders.Amount\n           ^\n  warning: the comparison begins with a literal"},
      {"betweenBoundsReversed", R"({"text": "Orders.Amount BETWEEN 10 AND 1"})", orderId,
       "formula 1: Orders.Amount BETWEEN 10 AND 1\n" + std::string(33, ' ') + "^\n  warning: the bounds are the "
       "wrong way round"},
      {"setBeginningWithOr", R"({"text": "Orders.Rush = TRUE", "name": "Rushed", "grouping": "or"})", orderId,
       "formula 1: Orders.Rush = TRUE\n  warning: set [Rushed] begins with OR"},
      {"aggregatedField", "", R"({"field": "Orders.Amount", "aggregate": "SUM"})",
       "field 1: Orders.Amount\n  warning: the statement does not apply SUM"},
  };
  for (const WarningCase& c : cases) {
    const ProcessResult run = Check(OrdersReport(c.formulas, c.fields));
    EXPECT_EQ(run.exitCode, 0) << c.name << "\n" << run.out;
    EXPECT_EQ(run.out.rfind(c.shown, 0), 0u) << c.name << "\n" << run.out;
    EXPECT_NE(run.out.find("\n\n<stdin>: no failures, 1 warning ("), std::string::npos) << c.name << "\n" << run.out;
  }
}

TEST(CliCheckWarnings, StrictMakesAWarningFail) {
  const ProcessResult run =
      RunTalvane({"check", "-", "--strict", "--connection", SampleConnection()},
                 OrdersReport(R"({"text": "5 < Orders.Amount"})"));
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.out.find("no failures, 1 warning (1 formula, 1 field); the statement builds, but --strict fails on "
                         "warnings\n"),
            std::string::npos)
      << run.out;
}

TEST(CliCheckWarnings, FollowTheFailuresAndLeaveOutFailedSubjects) {
  // Formula 1 warns and formula 2 fails; formula 3 would warn too, but its failure says enough.
  const ProcessResult run = Check(OrdersReport(R"({"text": "5 < Orders.Amount"}, {"text": "Orders.Nope > 1"},
                                                  {"text": "5 < Orders.Amount", "name": "a]b"})"));
  EXPECT_EQ(run.exitCode, 1);
  const std::size_t failure = run.out.find("formula 2: Orders.Nope > 1");
  const std::size_t warning = run.out.find("formula 1: 5 < Orders.Amount\n           ^\n  warning: ");
  EXPECT_LT(failure, warning) << run.out;
  EXPECT_NE(warning, std::string::npos) << run.out;
  EXPECT_NE(run.out.find("<stdin>: 2 failures, 1 warning (3 formulas, 1 field)\n"), std::string::npos) << run.out;
}

}  // namespace
}  // namespace talvane::cli::test
