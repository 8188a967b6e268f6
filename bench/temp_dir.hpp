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

}  // namespace talvane::bench
