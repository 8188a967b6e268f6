#pragma once
// Buffered writing to a file descriptor (standard output), for output too large to hold: rows are
// appended to a fixed buffer that is written out whenever it fills.
//
// A reader that goes away early (`talvane run ... | head -1`) is not an error: the first write that finds
// the pipe closed (EPIPE; SIGPIPE must be ignored) marks the sink closed, and everything after that is
// dropped, so the writer can stop quietly. Any other write failure raises std::runtime_error.
#include <cstddef>
#include <memory>
#include <string_view>

namespace talvane::cli {

class OutputSink {
 public:
  explicit OutputSink(int fd, std::size_t capacity = 64 * 1024);
  // Writes what is still buffered; a failure then is ignored (call Flush to learn of it).
  ~OutputSink();
  OutputSink(const OutputSink&) = delete;
  OutputSink& operator=(const OutputSink&) = delete;

  void Append(std::string_view text) {
    if (text.size() <= capacity_ - size_) {
      text.copy(buffer_.get() + size_, text.size());
      size_ += text.size();
    } else {
      AppendLarge(text);
    }
  }
  void Append(char c) {
    if (size_ == capacity_) Flush();
    buffer_[size_++] = c;
  }

  void Flush();
  // True once the reader has gone away.
  bool Closed() const { return closed_; }

 private:
  void AppendLarge(std::string_view text);
  void WriteAll(std::string_view bytes);

  int fd_;
  std::size_t capacity_;
  std::unique_ptr<char[]> buffer_;
  std::size_t size_ = 0;
  bool closed_ = false;
};

}  // namespace talvane::cli
