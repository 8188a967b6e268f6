// What the program says about a command line it cannot use as typed: an unknown command, a number option
// given something else, and a connection string with keys or a provider it does not know (used, with a warning).
#include <gtest/gtest.h>

#include <string>

#include "cli_process.hpp"

namespace talvane::cli::test {
namespace {

TEST(CliMessages, UnknownOrMissingCommandIsNamedWithTheCommandsThereAre) {
  for (const auto& [args, says] : {std::pair<std::vector<std::string>, std::string>{{"frob", "x"}, "unknown command \"frob\""},
                                   {{}, "a command is required"}}) {
    const ProcessResult run = RunTalvane(args);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("talvane: " + says + "; the commands are sql, check, run, ", 0), 0u) << run.err;
    for (const char* command : {"scan", "schema", "tokens"}) EXPECT_NE(run.err.find(command), std::string::npos) << run.err;
  }
}

TEST(CliMessages, NumberOptionsSayTheyTakeAWholeNumber) {
  const std::string report = ExampleReport("busy_regions.json").string();
  for (const char* limit : {"abc", "-1", "2.5", "99999999999999999999", ""}) {
    const ProcessResult run = RunTalvane({"run", report, "--connection", SampleConnection(), "--limit", limit});
    EXPECT_EQ(run.exitCode, 2) << limit;
    EXPECT_NE(run.err.find("--limit: must be a whole number, 0 or more, not \"" + std::string(limit) + "\""),
              std::string::npos)
        << run.err;
  }
  const ProcessResult zero = RunTalvane({"run", report, "--connection", SampleConnection(), "--limit", "0"});
  EXPECT_EQ(zero.exitCode, 0) << zero.err;
}

TEST(CliMessages, UnknownConnectionKeysAndProvidersAreUsedWithAWarning) {
  const std::string report = ExampleReport("busy_regions.json").string();
  const ProcessResult known =
      RunTalvane({"sql", report, "--connection", "provider=sqlite; MODE=Read;timeout=1;" + SampleConnection()});
  EXPECT_EQ(known.exitCode, 0);
  EXPECT_EQ(known.err, "");

  const ProcessResult odd =
      RunTalvane({"sql", report, "--connection", "Provider=SQLOLEDB;Timeuot=1;" + SampleConnection() + ";Mode=Read"});
  EXPECT_EQ(odd.exitCode, 0) << odd.err;
  EXPECT_EQ(odd.out, ReadFile(ExpectedOutput("busy_regions.sqlserver.sql")));
  EXPECT_EQ(odd.err,
            "talvane: warning: the provider \"SQLOLEDB\" is none of Microsoft.Jet.OLEDB.4.0, SQLOLEDB.1 and SQLite, so "
            "it stands for SQL Server\n"
            "talvane: warning: the connection string's key \"Timeuot\" is ignored (a SQLite database reads Data "
            "Source, Provider, Mode and Timeout)\n");
}

}  // namespace
}  // namespace talvane::cli::test
