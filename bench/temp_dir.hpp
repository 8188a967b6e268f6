#pragma once
// A directory of its own under the system's temporary directory, for what a benchmark builds.
#include <stdlib.h>  // mkdtemp

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace talvane::bench {

// Creates <temp>/<prefix>-XXXXXX (the X's made unique) and returns its path; the caller removes it.
inline std::filesystem::path MakeTempDir(const std::string& prefix) {
  const std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (mkdtemp(buffer.data()) == nullptr) throw std::runtime_error("cannot create a temporary directory");
  return buffer.data();
}

// A directory made by MakeTempDir, removed with everything in it at the end.
class TemporaryDirectory {
 public:
  explicit TemporaryDirectory(const std::string& prefix) : path_(MakeTempDir(prefix)) {}
  ~TemporaryDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TemporaryDirectory(const TemporaryDirectory&) = delete;
  TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace talvane::bench
