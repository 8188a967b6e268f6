// Input the program cannot use: it never crashes and never writes anything; it says what is wrong in one
// line on standard error and exits with 2.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "cli_process.hpp"

namespace talvane::cli::test {
namespace {

struct BadInput {
  const char* name;
  std::string definition;
  // "%db%" stands for the sample database, "%dir%" for the directory the program runs in.
  std::string connection;
  // A part of the one line the program writes.
  std::string says;
};

void PrintTo(const BadInput& c, std::ostream* os) { *os << c.name; }

const std::string kSample = "Data Source=%db%";
const std::string kValid = R"({"mainTable": "Orders", "mainField": "OrderID"})";

std::string Substituted(std::string text, const std::string& dir) {
  for (const auto& [key, value] : {std::pair<std::string, std::string>{"%db%", SampleDatabase().string()},
                                   std::pair<std::string, std::string>{"%dir%", dir}}) {
    for (std::size_t at = text.find(key); at != std::string::npos; at = text.find(key)) text.replace(at, key.size(), value);
  }
  return text;
}

class CliBadInput : public ::testing::TestWithParam<BadInput> {};

TEST_P(CliBadInput, SaysWhatIsWrongInOneLineAndWritesNothing) {
  const BadInput& c = GetParam();
  const std::string databaseBefore = ReadFile(SampleDatabase());
  for (const char* command : {"sql", "check", "run"}) {
    const ScratchDir dir;
    dir.Write("report.json", c.definition);
    const ProcessResult run =
        RunTalvane({command, "report.json", "--connection", Substituted(c.connection, dir.Path().string())}, {}, dir.Path());
    EXPECT_EQ(run.exitCode, 2) << command << ": " << run.err;
    EXPECT_EQ(run.out, "") << command;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << command << ": " << run.err;
    EXPECT_EQ(run.err.rfind("talvane: ", 0), 0u) << run.err;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << command << ": " << run.err;
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"report.json"}) << command;
  }
  EXPECT_TRUE(ReadFile(SampleDatabase()) == databaseBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Definitions, CliBadInput,
    ::testing::Values(
        BadInput{"MalformedJson", R"({"mainTable": "Orders",})", kSample, "report.json: malformed JSON: parse error at line 1, column 24"},
        BadInput{"UnknownKeyIsNamed", R"({"mainTable": "Orders", "mainField": "OrderID", "colour": "red"})", kSample,
                 "report.json: unknown key \"colour\" (known keys: mainTable, mainField, fields, formulas, description, languageLevel, distinct)"},
        BadInput{"UnknownKeyOfAFieldNamesTheField",
                 R"({"mainTable": "Orders", "mainField": "OrderID", "fields": [{"field": "Orders.OrderID"}, {"field": "Orders.Amount", "nmae": "x"}]})",
                 kSample, "field 2: unknown key \"nmae\""},
        BadInput{"UnknownKeyOfAFormulaNamesTheFormula",
                 R"({"mainTable": "Orders", "mainField": "OrderID", "formulas": [{"txt": "Orders.Amount > 1"}]})", kSample,
                 "formula 1: unknown key \"txt\""},
        BadInput{"RepeatedKey", R"({"mainTable": "Orders", "mainField": "OrderID", "mainField": "CustomerID"})", kSample,
                 "key \"mainField\" is given twice"},
        BadInput{"EmptyFile", "", kSample, "report.json: the definition is empty"},
        BadInput{"BlankFile", " \n\t\n", kSample, "report.json: the definition is empty"},
        BadInput{"EmptyObject", "{}", kSample, "report.json: the definition is empty"},
        BadInput{"NotAnObject", "[1, 2]", kSample, "must be a JSON object ({...}), not a list"},
        BadInput{"MissingMainField", R"({"mainTable": "Orders"})", kSample, "\"mainField\" is missing"},
        BadInput{"TextWhereANumberBelongs",
                 R"({"mainTable": "Orders", "mainField": "OrderID", "fields": [{"field": "Orders.Amount", "orderPos": "1"}]})",
                 kSample, "field 1: \"orderPos\" must be a whole number, not a string"},
        BadInput{"OrderPositionOutOfRange",
                 R"({"mainTable": "Orders", "mainField": "OrderID", "fields": [{"field": "Orders.Amount", "orderPos": 4294967296}]})",
                 kSample, "\"orderPos\" is out of range"},
        BadInput{"UnknownGrouping",
                 R"({"mainTable": "Orders", "mainField": "OrderID", "formulas": [{"text": "Orders.Amount > 1", "grouping": "xor"}]})",
                 kSample, "\"grouping\" must be \"and\", \"or\" or \"base\", not \"xor\""},
        BadInput{"NulCharacter", R"({"mainTable": "Ord\u0000ers", "mainField": "OrderID"})", kSample, "holds a NUL character"},
        BadInput{"InvalidUtf8", "{\"mainTable\": \"\xFF\", \"mainField\": \"OrderID\"}", kSample, "malformed JSON"},
        BadInput{"DeeplyNested", std::string(100000, '[') + std::string(100000, ']'), kSample, "nested more than 32 levels"},
        BadInput{"MissingDatabaseIsNotCreated", kValid, "Data Source=missing.db",
                 "cannot open the database of the connection string \"Data Source=missing.db\": unable to open database file"},
        BadInput{"ConnectionWithoutDataSource", kValid, "Provider=SQLOLEDB.1",
                 "The connection string names no Data Source."},
        BadInput{"FileThatIsNotADatabase", kValid, "Data Source=%dir%/report.json", "file is not a database"},
        BadInput{"DirectoryAsDatabase", kValid, "Data Source=%dir%", "unable to open database file"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CliBadDefinitionPath, MissingFileIsOneLine) {
  const ScratchDir dir;
  const ProcessResult run = RunTalvane({"sql", "nowhere.json", "--connection", SampleConnection()}, {}, dir.Path());
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "talvane: cannot read the definition nowhere.json: No such file or directory\n");
  EXPECT_TRUE(dir.Entries().empty());
}

TEST(CliBadDefinitionPath, DirectoryIsOneLine) {
  const ScratchDir dir;
  const ProcessResult run = RunTalvane({"check", dir.Path().string(), "--connection", SampleConnection()});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.err, "talvane: cannot read the definition " + dir.Path().string() + ": it is a directory\n");
}

TEST(CliBadDefinitionPath, EmptyStandardInputIsAnEmptyDefinition) {
  const ProcessResult run = RunTalvane({"sql", "-", "--connection", SampleConnection()}, "");
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.err, "talvane: <stdin>: the definition is empty\n");
}

TEST(CliUsage, MissingConnectionIsOneLine) {
  const ProcessResult run = RunTalvane({"sql", ExampleReport("large_orders.json").string()});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "talvane: --connection is required (see talvane --help)\n");
}

TEST(CliUsage, UnknownDialectIsRefused) {
  const ProcessResult run =
      RunTalvane({"sql", ExampleReport("large_orders.json").string(), "-c", SampleConnection(), "--dialect", "oracle"});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("oracle not in {access,sqlserver,sqlite,postgresql}"), std::string::npos) << run.err;
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1);
}

TEST(CliUsage, BadRunOptionsAreOneLine) {
  for (const std::vector<std::string>& options : {std::vector<std::string>{"--format", "xml"},
                                                 std::vector<std::string>{"--limit", "-1"},
                                                 std::vector<std::string>{"--limit", "many"}}) {
    std::vector<std::string> args = {"run", ExampleReport("large_orders.json").string(), "-c", SampleConnection()};
    args.insert(args.end(), options.begin(), options.end());
    const ProcessResult run = RunTalvane(args);
    EXPECT_EQ(run.exitCode, 2) << options[0];
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("talvane: ", 0), 0u) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  }
}

TEST(CliUsage, NoCommandIsOneLine) {
  const ProcessResult run = RunTalvane({});
  EXPECT_EQ(run.exitCode, 2);
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
}

TEST(CliUsage, HelpDescribesTheCommandsAndTheDefinitionFile) {
  const ProcessResult run = RunTalvane({"--help"});
  EXPECT_EQ(run.exitCode, 0);
  for (const char* text : {"sql", "check", "run", "schema", "tokens", "mainTable", "mainField", "fields", "formulas",
                           "orderPos", "direction", "aggregate", "grouping", "Exit codes"}) {
    EXPECT_NE(run.out.find(text), std::string::npos) << text;
  }
}

TEST(CliUsage, VersionIsTheProjectVersion) {
  const ProcessResult run = RunTalvane({"--version"});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.out, std::string("talvane ") + TALVANE_VERSION + "\n");
}

// A command's help names the definition format once, by reference, instead of repeating its keys.
TEST(CliUsage, CommandHelpPointsToTheDefinitionFormat) {
  for (const char* command : {"sql", "check", "run"}) {
    const ProcessResult run = RunTalvane({command, "--help"});
    EXPECT_EQ(run.exitCode, 0) << command;
    EXPECT_NE(run.out.find("--connection"), std::string::npos) << command;
    EXPECT_NE(run.out.find("The definition file format: talvane --help."), std::string::npos) << command;
    EXPECT_NE(run.out.find("Exit codes"), std::string::npos) << command;
    EXPECT_EQ(run.out.find("mainTable"), std::string::npos) << command;
  }
  const ProcessResult tokens = RunTalvane({"tokens", "--help"});
  EXPECT_EQ(tokens.out.find("definition file format"), std::string::npos) << tokens.out;
}

}  // namespace
}  // namespace talvane::cli::test
