#include "request_framing.hpp"

#include <algorithm>
#include <cctype>
#include <optional>

namespace talvane::cli {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kHeadersEnd = "\r\n\r\n";
// A chunk-size line (size and extensions) and the trailer after the last chunk are short in practice.
constexpr std::size_t kMaxChunkLine = 1024;
constexpr std::size_t kMaxTrailer = 8 * 1024;
// Hexadecimal digits of a chunk size that cannot overflow 64 bits.
constexpr std::size_t kMaxSizeDigits = 15;

RequestFrame Refused(int status, std::string message) {
  RequestFrame frame;
  frame.state = RequestFrame::State::kRefused;
  frame.status = status;
  frame.message = std::move(message);
  return frame;
}

RequestFrame Complete(std::size_t length) {
  RequestFrame frame;
  frame.state = RequestFrame::State::kComplete;
  frame.length = length;
  return frame;
}

bool SameName(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) { return std::tolower(static_cast<unsigned char>(x)) ==
                                                               std::tolower(static_cast<unsigned char>(y)); });
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// What the headers say about the body.
struct BodyFraming {
  std::optional<std::string_view> contentLength;
  std::optional<std::string_view> transferEncoding;
  int hosts = 0;
  bool expectsContinue = false;
  std::optional<RequestFrame> refusal;
};

BodyFraming ReadHeaders(std::string_view headers) {
  BodyFraming framing;
  std::size_t start = headers.find(kLineEnd);  // the request line is the worker's to read
  while (start != std::string_view::npos && start + kLineEnd.size() < headers.size()) {
    start += kLineEnd.size();
    const std::size_t end = std::min(headers.find(kLineEnd, start), headers.size());
    const std::string_view line = headers.substr(start, end - start);
    start = end;
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;  // the worker refuses a malformed header
    const std::string_view name = line.substr(0, colon);
    const std::string_view value = Trimmed(line.substr(colon + 1));
    if (SameName(name, "Host")) {
      ++framing.hosts;
    } else if (SameName(name, "Content-Length")) {
      if (framing.contentLength && *framing.contentLength != value) {
        framing.refusal = Refused(400, "the request gives two different Content-Length values");
      }
      framing.contentLength = value;
    } else if (SameName(name, "Transfer-Encoding")) {
      if (framing.transferEncoding) framing.refusal = Refused(400, "the request gives Transfer-Encoding twice");
      framing.transferEncoding = value;
    } else if (SameName(name, "Expect")) {
      framing.expectsContinue = SameName(value, "100-continue");
    }
  }
  if (framing.hosts > 1) framing.refusal = Refused(400, "the request has more than one Host header");
  return framing;
}

std::optional<std::size_t> WholeNumber(std::string_view text) {
  if (text.empty() || text.size() > 18 || !std::ranges::all_of(text, [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  std::size_t value = 0;
  for (const char c : text) value = value * 10 + static_cast<std::size_t>(c - '0');
  return value;
}

std::optional<std::size_t> ChunkSize(std::string_view line) {
  const std::string_view digits = Trimmed(line.substr(0, line.find(';')));
  if (digits.empty() || digits.size() > kMaxSizeDigits ||
      !std::ranges::all_of(digits, [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; })) {
    return std::nullopt;
  }
  return std::stoull(std::string(digits), nullptr, 16);
}

// Walks the chunks from `start`; the body's data is counted as it goes, so that a body over the limit is
// refused at the chunk that passes it, however many bytes are still to come.
RequestFrame FrameChunks(std::string_view received, std::size_t start, const RequestLimits& limits) {
  const RequestFrame tooLarge = Refused(413, "the request body is too large");
  std::size_t data = 0;
  std::size_t at = start;
  while (true) {
    const std::size_t lineEnd = received.find(kLineEnd, at);
    if (lineEnd == std::string_view::npos) {
      if (received.size() - at > kMaxChunkLine) return Refused(400, "the request has a malformed chunk");
      return {};
    }
    const std::optional<std::size_t> size = ChunkSize(received.substr(at, lineEnd - at));
    if (!size) return Refused(400, "the request has a malformed chunk");
    at = lineEnd + kLineEnd.size();
    if (*size == 0) {
      // Trailer fields, if any, end with an empty line like the headers.
      if (received.substr(at).starts_with(kLineEnd)) return Complete(at + kLineEnd.size());
      const std::size_t trailerEnd = received.find(kHeadersEnd, at);
      if (trailerEnd != std::string_view::npos) return Complete(trailerEnd + kHeadersEnd.size());
      return received.size() - at > kMaxTrailer ? Refused(400, "the request has a malformed chunk") : RequestFrame{};
    }
    if (*size > limits.maxBodyBytes - data) return tooLarge;
    data += *size;
    if (received.size() < at + *size + kLineEnd.size()) return {};
    if (received.substr(at + *size, kLineEnd.size()) != kLineEnd) {
      return Refused(400, "the request has a malformed chunk");
    }
    at += *size + kLineEnd.size();
  }
}

}  // namespace

RequestFrame FrameRequest(std::string_view received, const RequestLimits& limits) {
  const std::size_t headersEnd = received.find(kHeadersEnd);
  const std::size_t headersLength =
      headersEnd == std::string_view::npos ? received.size() : headersEnd + kHeadersEnd.size();
  if (headersLength > limits.maxHeaderBytes) return Refused(431, "the request line and headers are too large");
  if (headersEnd == std::string_view::npos) return {};
  const std::size_t bodyStart = headersEnd + kHeadersEnd.size();
  const BodyFraming framing = ReadHeaders(received.substr(0, headersEnd + kLineEnd.size()));
  if (framing.refusal) return *framing.refusal;
  RequestFrame frame;
  if (framing.transferEncoding) {
    if (framing.contentLength) return Refused(400, "the request gives both Content-Length and Transfer-Encoding");
    if (!SameName(*framing.transferEncoding, "chunked")) {
      return Refused(400, "the request's Transfer-Encoding must be chunked");
    }
    frame = FrameChunks(received, bodyStart, limits);
  } else {
    const std::optional<std::size_t> length = framing.contentLength ? WholeNumber(*framing.contentLength) : 0;
    if (!length) return Refused(400, "the request's Content-Length is not a whole number");
    if (*length > limits.maxBodyBytes) return Refused(413, "the request body is too large");
    if (received.size() >= bodyStart + *length) frame = Complete(bodyStart + *length);
  }
  frame.expectsContinue = framing.expectsContinue;
  return frame;
}

}  // namespace talvane::cli
