#include "static_files.hpp"

namespace talvane::cli {

namespace {

std::string ContentType(std::string_view name) {
  if (name.ends_with(".html")) return "text/html; charset=utf-8";
  if (name.ends_with(".css")) return "text/css; charset=utf-8";
  if (name.ends_with(".js")) return "text/javascript; charset=utf-8";
  if (name.ends_with(".svg")) return "image/svg+xml";
  return "application/octet-stream";
}

}  // namespace

std::optional<StaticFile> StaticFiles::Find(std::string_view path) const {
  if (path == "/") path = "/index.html";
  if (!path.starts_with('/')) return std::nullopt;
  const std::string_view name = path.substr(1);
  for (const EmbeddedFile& file : files_) {
    if (file.name == name) return StaticFile{file.contents, ContentType(name)};
  }
  return std::nullopt;
}

}  // namespace talvane::cli
