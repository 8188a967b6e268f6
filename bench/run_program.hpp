#pragma once
// Bench-local: running a program as a child process, and finding the programs built next to the benchmarks.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

extern char** environ;

namespace talvane::bench {

inline std::string ProgramDirectory() {
  return std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
}

// The talvane program of the same build tree.
inline std::string TalvaneProgram() { return ProgramDirectory() + "/../bin/talvane"; }

// Runs a program (searched in PATH when `program` has no "/") with its standard output into `output` and its
// standard error discarded; raises when it cannot start or does not exit with 0.
inline void RunProgram(const std::string& program, std::vector<std::string> args, const std::string& output) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  args.insert(args.begin(), program);
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) throw std::runtime_error("cannot start " + program + ": " + std::strerror(rc));
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error(program + " failed");
}

}  // namespace talvane::bench
