// Runs every statement case of tests/data/statements/ in every dialect, and checks all SQL Server
// statements with an independent T-SQL parser.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "report/statement_case.hpp"

namespace talvane::test {
namespace {

struct CaseRun {
  std::filesystem::path file;
  std::string dialect;
};

void PrintTo(const CaseRun& run, std::ostream* out) { *out << run.file.filename().string() << " in " << run.dialect; }

std::vector<CaseRun> AllRuns() {
  std::vector<CaseRun> runs;
  for (const auto& file : CaseFiles()) {
    for (const char* dialect : {"sqlserver", "access", "sqlite"}) runs.push_back({file, dialect});
  }
  return runs;
}

std::string Statement(const StatementCase& c, const std::string& dialect) {
  const auto connection = CaseDatabase(c, ProviderOf(dialect));
  return BuildReport(c, connection)->SQL();
}

class StatementCases : public ::testing::TestWithParam<CaseRun> {};

TEST_P(StatementCases, BuildsTheExpectedStatement) {
  const StatementCase c = LoadCase(GetParam().file);
  const auto expected = c.expected.find(GetParam().dialect);
  const std::string actual = Statement(c, GetParam().dialect);
  if (expected == c.expected.end() && std::getenv("TALVANE_ADD_CASE_BLOCKS") != nullptr) {
    // A new case gets its block written from the library's output, to be reviewed before it is committed.
    std::ofstream(GetParam().file, std::ios::app) << "\n== " << GetParam().dialect << "\n" << ShowLayout(actual);
    return;
  }
  ASSERT_NE(expected, c.expected.end()) << c.name << " has no '== " << GetParam().dialect << "' block";
  EXPECT_EQ(actual, expected->second) << "actual layout of " << c.name << ":\n" << ShowLayout(actual);
}

INSTANTIATE_TEST_SUITE_P(Data, StatementCases, ::testing::ValuesIn(AllRuns()),
                         [](const ::testing::TestParamInfo<CaseRun>& info) {
                           return info.param.file.stem().string() + "_" + info.param.dialect;
                         });

TEST(StatementCaseFiles, AreEnoughToCoverTheAssembly) { EXPECT_GE(CaseFiles().size(), 30u); }

TEST(StatementCaseLayout, TurnsMarkersIntoTabsBlanksAndLineBreaks) {
  EXPECT_EQ(ExpandLayout({"SELECT ·", "→→[A]", "((→[B]·"}), "SELECT  \r\n\t\t[A]\r\n((\t[B] \r\n");
}

bool HaveNode() { return std::system("command -v node >/dev/null 2>&1 && command -v npm >/dev/null 2>&1") == 0; }

// Every SQL Server statement must parse as one T-SQL SELECT for a parser that is not ours.
TEST(StatementCasesTsql, ParseAsTsqlSelects) {
  if (!HaveNode()) GTEST_SKIP() << "node and npm are needed for the T-SQL check";
  const auto dir = std::filesystem::temp_directory_path() / ("talvane-tsql-" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const auto file = dir / "statements.sql";
  {
    std::ofstream out(file, std::ios::binary);
    for (const auto& path : CaseFiles()) {
      const StatementCase c = LoadCase(path);
      if (c.tsqlCheck) out << Statement(c, "sqlserver") << "--<end>--\n";
    }
  }
  const std::string tool = std::string(TALVANE_SOURCE_DIR) + "/tests/tools/tsql-check";
  const auto output = dir / "output.txt";
  const std::string command = "bash '" + tool + "' '" + file.string() + "' > '" + output.string() + "' 2>&1";
  const int status = std::system(command.c_str());
  const std::string report = ReadFile(output.string());
  std::filesystem::remove_all(dir);
  ASSERT_NE(WEXITSTATUS(status), 2) << "tsql-check could not run:\n" << report;
  EXPECT_EQ(WEXITSTATUS(status), 0) << report;
}

}  // namespace
}  // namespace talvane::test
