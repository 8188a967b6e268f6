#pragma once
// The files of the page (HTML, CSS, JavaScript), built into the program: the only files the server sends.
// A request path is looked up by name in this set and never reaches the file system.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace talvane::cli {

struct EmbeddedFile {
  std::string_view name;  // "index.html", "editor.js", ...
  std::string_view contents;
};

// The files of web/, generated into the build from the sources.
const std::vector<EmbeddedFile>& EmbeddedWebFiles();

struct StaticFile {
  std::string_view contents;
  std::string contentType;
};

class StaticFiles {
 public:
  explicit StaticFiles(const std::vector<EmbeddedFile>& files) : files_(files) {}

  // The file of a request path: "/" is index.html, "/editor.js" the file of that name; none for any other
  // path (a directory, "..", an encoded name, a name outside the set).
  std::optional<StaticFile> Find(std::string_view path) const;

 private:
  const std::vector<EmbeddedFile>& files_;
};

}  // namespace talvane::cli
