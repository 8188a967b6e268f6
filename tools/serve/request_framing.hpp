#pragma once
// Where an HTTP/1.1 request ends in the bytes received so far. The server frames every request before a
// worker reads it, so that a body's size is limited whatever its framing (a length or chunks) and a request
// whose framing is wrong or ambiguous is refused before anything reads it.
#include <cstddef>
#include <string>
#include <string_view>

#include "request_limits.hpp"

namespace talvane::cli {

struct RequestFrame {
  enum class State { kIncomplete, kComplete, kRefused };
  State state = State::kIncomplete;
  // kComplete: the request's length in bytes (what follows belongs to the next request).
  std::size_t length = 0;
  // kRefused: the status and the one-line message of the answer.
  int status = 0;
  std::string message;
  // The headers are complete and ask for "100 Continue" before the body is sent.
  bool expectsContinue = false;
};

// Frames the request at the start of `received`: complete, refused, or incomplete (more bytes are needed).
// Refused: a request line and headers longer than the limit (431), a Content-Length that is not a whole
// number or is given twice with different values, both a length and chunks, a transfer coding other than
// chunked, a malformed chunk, more than one Host header (400); a body over the limit (413), found as soon
// as its length says so or its chunks pass it.
RequestFrame FrameRequest(std::string_view received, const RequestLimits& limits);

}  // namespace talvane::cli
