// `talvane run`: the rows of a definition's statement in each format, the row count on standard error,
// and how a run ends when the statement fails or the reader goes away.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "cli_process.hpp"

namespace talvane::cli::test {
namespace {

// Values of every kind: NULL, integer, real, text needing quotes and escapes, empty text, blob. Tags has no
// ID column, so a report on Items that joins it cannot run.
constexpr const char* kItemsSql = R"sql(
CREATE TABLE Items (ID INTEGER PRIMARY KEY, Name TEXT, Price REAL, Code BLOB, Note TEXT);
INSERT INTO Items VALUES (1, 'plain', 2.5, x'00ff', NULL), (2, 'comma, "quoted"', -1, NULL, ''),
                         (3, 'two' || char(10) || 'lines', NULL, NULL, 'Zoë'), (4, 'skip', 0, NULL, NULL);
CREATE TABLE Tags (TagID INTEGER, Label TEXT);
CREATE TABLE Big (ID INTEGER PRIMARY KEY, Name TEXT);
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 100000)
INSERT INTO Big SELECT i, 'row ' || i FROM n;
)sql";

std::string ItemsReport(const std::string& formula) {
  return R"({"mainTable": "Items", "mainField": "ID", "formulas": [{"text": ")" + formula + R"("}],
             "fields": [{"field": "Items.ID", "orderPos": 1}, {"field": "Items.Name"}, {"field": "Items.Price"},
                        {"field": "Items.Code"}, {"field": "Items.Note"}]})";
}

const std::string kItems = ItemsReport(R"(Items.Name <> \"skip\")");

class CliRun : public ::testing::Test {
 protected:
  void SetUp() override { MakeDatabaseFile(database_, kItemsSql); }

  ProcessResult Run(const std::string& definition, const std::vector<std::string>& options) {
    std::vector<std::string> args = {"run", "-", "--connection", connection_};
    args.insert(args.end(), options.begin(), options.end());
    return RunTalvane(args, definition);
  }

  const ScratchDir dir_;
  const std::filesystem::path database_ = dir_.Path() / "items.db";
  const std::string connection_ = "Data Source=" + database_.string();
};

struct FormatCase {
  std::vector<std::string> options;
  std::string out;
};

const std::string kCsv =
    "ID,Name,Price,Code,Note\r\n1,plain,2.5,00ff,\r\n2,\"comma, \"\"quoted\"\"\",-1.0,,\"\"\r\n"
    "3,\"two\nlines\",,,Zoë\r\n";

TEST_F(CliRun, EachFormatPrintsEveryRowAndTheCountGoesToStandardError) {
  const FormatCase cases[] = {
      {{"--format", "csv"}, kCsv},
      {{}, kCsv},  // standard output is not a terminal here
      {{"--format", "JSON"},
       "[\n"
       R"({"ID": 1, "Name": "plain", "Price": 2.5, "Code": "00ff", "Note": null},)" "\n"
       R"({"ID": 2, "Name": "comma, \"quoted\"", "Price": -1.0, "Code": null, "Note": ""},)" "\n"
       R"({"ID": 3, "Name": "two\nlines", "Price": null, "Code": null, "Note": "Zoë"})" "\n"
       "]\n"},
      {{"--format", "table"},
       "ID  Name             Price  Code  Note\n"
       "--  ---------------  -----  ----  ----\n"
       " 1  plain              2.5  00ff\n"
       " 2  comma, \"quoted\"   -1.0\n"
       " 3  two\\nlines                    Zoë\n"},
  };
  for (const FormatCase& c : cases) {
    const ProcessResult run = Run(kItems, c.options);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(run.err, "3 rows\n");
  }
}

struct LimitCase {
  std::string definition;
  std::vector<std::string> options;
  std::string out;
  std::string err;
};

TEST_F(CliRun, LimitAndEmptyResultStillPrintTheHeader) {
  const std::string none = ItemsReport(R"(Items.Name = \"none\")");
  const LimitCase cases[] = {
      {kItems, {"--limit", "1", "--format", "csv"}, "ID,Name,Price,Code,Note\r\n1,plain,2.5,00ff,\r\n", "1 row\n"},
      {kItems, {"--limit", "0", "--format", "csv"}, "ID,Name,Price,Code,Note\r\n", "0 rows\n"},
      {none, {"--format", "csv"}, "ID,Name,Price,Code,Note\r\n", "0 rows\n"},
      {none, {"--format", "json"}, "[]\n", "0 rows\n"},
      {none, {"--format", "table"}, "ID  Name  Price  Code  Note\n--  ----  -----  ----  ----\n", "0 rows\n"},
  };
  for (const LimitCase& c : cases) {
    const ProcessResult run = Run(c.definition, c.options);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(run.err, c.err);
  }
}

TEST_F(CliRun, ReaderThatGoesAwayEndsTheRunQuietly) {
  const std::string big = R"({"mainTable": "Big", "mainField": "ID", "fields": [{"field": "Big.Name"}]})";
  dir_.Write("big.json", big);
  const ProcessResult run = RunTalvaneReadingOneLine(
      {"run", (dir_.Path() / "big.json").string(), "--connection", connection_, "--format", "csv"});
  EXPECT_EQ(run.out, "Name\r\n");
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.err, "");
}

TEST_F(CliRun, StatementThatFailsIsOneLineWithTheDatabasesMessageAndTheStatement) {
  const ProcessResult run = Run(R"({"mainTable": "Items", "mainField": "ID", "fields": [{"field": "Items.Name"}],
                                    "formulas": [{"text": "Tags.Label = \"red\""}]})",
                                {});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  EXPECT_EQ(run.err.rfind("talvane: the statement failed: error 0x80040E14 (SQLite): no such column: Tags.ID; "
                          "statement: SELECT [Items].[Name] AS [Name] FROM [Items] ",
                          0),
            0u)
      << run.err;
}

TEST_F(CliRun, LongStatementThatFailsIsPrintedCutWithItsLength) {
  std::string formulas = R"({"text": "Tags.Label = \"red\""})";
  for (int i = 0; i < 2000; ++i) formulas += R"(, {"text": "Items.Name <> \"name )" + std::to_string(i) + R"(\""})";
  const ProcessResult run = Run(R"({"mainTable": "Items", "mainField": "ID", "fields": [{"field": "Items.Name"}],
                                    "formulas": [)" + formulas + "]}",
                                {});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  EXPECT_LT(run.err.size(), 1000u) << run.err;
  EXPECT_NE(run.err.find("statement: SELECT [Items].[Name] AS [Name] FROM [Items] "), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(" bytes long)\n"), std::string::npos) << run.err;
}

TEST_F(CliRun, DefinitionThatFailsPrintsItsFailuresAsSqlDoes) {
  const struct {
    std::string definition;
    std::string failure;
  } cases[] = {
      {ItemsReport("Items.Nope = 1"), "formula 1: Items.Nope = 1\n"},
      {R"({"mainTable": "Items", "mainField": "ID"})", "\n  the report has no output fields: "},
  };
  for (const auto& c : cases) {
    const ProcessResult run = Run(c.definition, {});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(c.failure), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("talvane: no statement: 1 failure in <stdin>\n"), std::string::npos) << run.err;
  }
}

// The header, then the records in sorted order: rows that tie on the ORDER BY keys come in the database's
// order, which is not the command's business.
std::vector<std::string> HeaderThenSortedRecords(const std::string& csv) {
  std::vector<std::string> records;
  std::istringstream stream(csv);
  for (std::string record; std::getline(stream, record);) records.push_back(record);
  if (!records.empty()) std::sort(records.begin() + 1, records.end());
  return records;
}

TEST(CliRunExamples, EachPassingExampleGivesItsRowsOnTheSampleDatabase) {
  for (const std::string report : {"large_orders", "busy_regions", "customers_to_call"}) {
    const ProcessResult run =
        RunTalvane({"run", ExampleReport(report + ".json").string(), "--connection", SampleConnection()});
    const std::string expected = ReadFile(ExpectedOutput(report + ".run.csv"));
    EXPECT_EQ(run.exitCode, 0) << report << ": " << run.err;
    EXPECT_EQ(HeaderThenSortedRecords(run.out), HeaderThenSortedRecords(expected)) << report;
    const auto records = std::count(expected.begin(), expected.end(), '\n') - 1;
    EXPECT_EQ(run.err, std::to_string(records) + " rows\n") << report;
  }
}

}  // namespace
}  // namespace talvane::cli::test
