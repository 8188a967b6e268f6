#include "cli_process.hpp"

#include <fcntl.h>
#include <sqlite3.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace talvane::cli::test {

namespace {

void Check(int rc, const char* what) {
  if (rc != 0) throw std::runtime_error(std::string(what) + ": " + std::strerror(rc));
}

// posix_spawn file actions, released on every way out.
class FileActions {
 public:
  FileActions() { Check(posix_spawn_file_actions_init(&actions_), "posix_spawn_file_actions_init"); }
  ~FileActions() { posix_spawn_file_actions_destroy(&actions_); }
  FileActions(const FileActions&) = delete;
  FileActions& operator=(const FileActions&) = delete;

  void Open(int fd, const std::filesystem::path& path, int flags) {
    Check(posix_spawn_file_actions_addopen(&actions_, fd, path.c_str(), flags, 0600), "addopen");
  }
  void Duplicate(int fd, int to) { Check(posix_spawn_file_actions_adddup2(&actions_, fd, to), "adddup2"); }
  void Close(int fd) { Check(posix_spawn_file_actions_addclose(&actions_, fd), "addclose"); }
  void ChangeDirectory(const std::filesystem::path& path) {
    Check(posix_spawn_file_actions_addchdir_np(&actions_, path.c_str()), "addchdir");
  }
  const posix_spawn_file_actions_t* Get() const { return &actions_; }

 private:
  posix_spawn_file_actions_t actions_;
};

}  // namespace

ScratchDir::ScratchDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "talvane-cli-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error(std::string("mkdtemp: ") + std::strerror(errno));
  path_ = pattern;
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path ScratchDir::Write(const std::string& name, const std::string& contents) const {
  const std::filesystem::path path = path_ / name;
  std::ofstream(path, std::ios::binary) << contents;
  return path;
}

std::vector<std::string> ScratchDir::Entries() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(path_)) names.push_back(entry.path().filename());
  return names;
}

namespace {

pid_t Spawn(const std::vector<std::string>& args, const FileActions& actions) {
  std::vector<std::string> argv_strings = {TALVANE_CLI_PROGRAM};
  argv_strings.insert(argv_strings.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : argv_strings) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  Check(posix_spawn(&pid, TALVANE_CLI_PROGRAM, actions.Get(), nullptr, argv.data(), environ), "posix_spawn");
  return pid;
}

// The exit code; minus the signal number when the program was killed by one.
int Wait(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) throw std::runtime_error(std::string("waitpid: ") + std::strerror(errno));
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

}  // namespace

ProcessResult RunTalvane(const std::vector<std::string>& args, const std::string& input,
                         const std::filesystem::path& workDir) {
  // The streams go through files of a directory apart from the program's working directory, so the test
  // can tell that the program itself wrote nothing there.
  const ScratchDir streams;
  const std::filesystem::path in = streams.Write("stdin", input);
  const std::filesystem::path out = streams.Path() / "stdout";
  const std::filesystem::path err = streams.Path() / "stderr";

  FileActions actions;
  actions.Open(STDIN_FILENO, in, O_RDONLY);
  actions.Open(STDOUT_FILENO, out, O_WRONLY | O_CREAT | O_TRUNC);
  actions.Open(STDERR_FILENO, err, O_WRONLY | O_CREAT | O_TRUNC);
  if (!workDir.empty()) actions.ChangeDirectory(workDir);

  ProcessResult result;
  result.exitCode = Wait(Spawn(args, actions));
  result.out = ReadFile(out);
  result.err = ReadFile(err);
  return result;
}

namespace {

// Runs the program with its standard output into a pipe and reads up to the first line break; then either
// closes the pipe (`readRest` false) or calls `afterFirstLine` and reads the rest; and waits for the program.
ProcessResult RunTalvaneThroughPipe(const std::vector<std::string>& args, bool readRest,
                                    const std::function<void()>& afterFirstLine) {
  const ScratchDir streams;
  const std::filesystem::path err = streams.Path() / "stderr";
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) throw std::runtime_error(std::string("pipe: ") + std::strerror(errno));
  const int readEnd = pipeEnds[0];
  const int writeEnd = pipeEnds[1];
  ProcessResult result;
  pid_t pid = 0;
  try {
    FileActions actions;
    actions.Open(STDIN_FILENO, "/dev/null", O_RDONLY);
    actions.Duplicate(writeEnd, STDOUT_FILENO);
    actions.Close(readEnd);
    actions.Close(writeEnd);
    actions.Open(STDERR_FILENO, err, O_WRONLY | O_CREAT | O_TRUNC);
    pid = Spawn(args, actions);
  } catch (...) {
    close(readEnd);
    close(writeEnd);
    throw;
  }
  close(writeEnd);
  char c = 0;
  while (read(readEnd, &c, 1) == 1) {
    result.out += c;
    if (c == '\n') break;
  }
  if (readRest) {
    afterFirstLine();
    char block[65536];
    ssize_t n = 0;
    while ((n = read(readEnd, block, sizeof block)) > 0) result.out.append(block, static_cast<std::size_t>(n));
  }
  close(readEnd);
  result.exitCode = Wait(pid);
  result.err = ReadFile(err);
  return result;
}

}  // namespace

ProcessResult RunTalvaneReadingOneLine(const std::vector<std::string>& args) {
  return RunTalvaneThroughPipe(args, false, {});
}

ProcessResult RunTalvaneInterrupted(const std::vector<std::string>& args, const std::function<void()>& afterFirstLine) {
  return RunTalvaneThroughPipe(args, true, afterFirstLine);
}

void MakeDatabaseFile(const std::filesystem::path& path, const std::string& sql) {
  sqlite3* handle = nullptr;
  int rc = sqlite3_open_v2(path.c_str(), &handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_exec(handle, sql.c_str(), nullptr, nullptr, nullptr);
  const std::string message = handle != nullptr ? sqlite3_errmsg(handle) : "out of memory";
  sqlite3_close(handle);
  if (rc != SQLITE_OK) throw std::runtime_error("cannot build " + path.string() + ": " + message);
}

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) throw std::runtime_error("cannot read " + path.string());
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

std::filesystem::path ExampleReport(const std::string& name) {
  return std::filesystem::path(TALVANE_EXAMPLES_DIR) / "reports" / name;
}

std::filesystem::path ExpectedOutput(const std::string& name) {
  return std::filesystem::path(TALVANE_CLI_EXPECTED_DIR) / name;
}

const std::filesystem::path& SampleDatabase() {
  static const std::filesystem::path path = TALVANE_SAMPLE_DB;
  return path;
}

std::string SampleConnection() { return "Data Source=" + SampleDatabase().string(); }

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) lines.push_back(line);
  return lines;
}

}  // namespace talvane::cli::test
