#include "output_sink.hpp"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <string>

namespace talvane::cli {

OutputSink::OutputSink(int fd, std::size_t capacity)
    : fd_(fd), capacity_(capacity), buffer_(std::make_unique<char[]>(capacity)) {}

OutputSink::~OutputSink() {
  try {
    Flush();
  } catch (...) {  // NOLINT(bugprone-empty-catch): a destructor cannot report; Flush first to learn of it
  }
}

void OutputSink::Flush() {
  const std::size_t size = size_;
  size_ = 0;
  WriteAll(std::string_view(buffer_.get(), size));
}

void OutputSink::AppendLarge(std::string_view text) {
  Flush();
  if (text.size() >= capacity_) {
    WriteAll(text);
  } else {
    text.copy(buffer_.get(), text.size());
    size_ = text.size();
  }
}

void OutputSink::WriteAll(std::string_view bytes) {
  while (!bytes.empty() && !closed_) {
    const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
    if (written >= 0) {
      bytes.remove_prefix(static_cast<std::size_t>(written));
    } else if (errno == EPIPE) {
      closed_ = true;
    } else if (errno != EINTR) {
      throw std::runtime_error(std::string("cannot write the output: ") + std::strerror(errno));
    }
  }
}

}  // namespace talvane::cli
