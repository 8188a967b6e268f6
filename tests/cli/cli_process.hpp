#pragma once
// Running the built `talvane` program as a separate process, and the files the tests give it.
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace talvane::cli::test {

struct ProcessResult {
  // The exit code; minus the signal number when the program was killed by a signal (a crash).
  int exitCode = 0;
  std::string out;
  std::string err;
};

// A directory of its own under the system's temporary directory, removed with everything in it at the end.
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // Writes a file in the directory and returns its path.
  std::filesystem::path Write(const std::string& name, const std::string& contents) const;
  // The names of the entries in the directory.
  std::vector<std::string> Entries() const;

 private:
  std::filesystem::path path_;
};

// Runs the program with `args`, `input` on its standard input, in `workDir` (the test's own directory when
// empty), and waits for it.
ProcessResult RunTalvane(const std::vector<std::string>& args, const std::string& input = {},
                         const std::filesystem::path& workDir = {});

// Runs the program with its standard output into a pipe, reads up to the first line break, closes the pipe
// as `| head -1` does, and waits for the program; `out` holds what was read.
ProcessResult RunTalvaneReadingOneLine(const std::vector<std::string>& args);

// Runs the program with its standard output into a pipe, reads up to the first line break, calls
// `afterFirstLine` while the program waits on the full pipe, then reads the rest and waits for the program.
ProcessResult RunTalvaneInterrupted(const std::vector<std::string>& args, const std::function<void()>& afterFirstLine);

// Builds a SQLite database file from SQL text; raises std::runtime_error with SQLite's message.
void MakeDatabaseFile(const std::filesystem::path& path, const std::string& sql);

std::string ReadFile(const std::filesystem::path& path);

std::filesystem::path ExampleReport(const std::string& name);
std::filesystem::path ExpectedOutput(const std::string& name);
const std::filesystem::path& SampleDatabase();
// "Data Source=<the sample database>".
std::string SampleConnection();

// The lines of a text, without their line breaks.
std::vector<std::string> Lines(const std::string& text);

}  // namespace talvane::cli::test
