// Framing a request before any worker reads it: against an independent chunked encoder, every prefix of a
// request is incomplete, the whole is complete at its exact length whatever follows, and a body over the
// limit is refused as soon as the chunk that passes it is announced; and the framings that are refused.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "request_framing.hpp"

namespace talvane::cli {
namespace {

constexpr const char* kHead = "POST /api/check HTTP/1.1\r\nHost: 127.0.0.1\r\n";

// The body cut into chunks of random sizes, with a random extension now and then, as HTTP/1.1 writes them.
std::string Chunked(const std::string& body, std::mt19937& random) {
  std::string text;
  std::size_t at = 0;
  while (at < body.size()) {
    const std::size_t size = std::min<std::size_t>(body.size() - at, 1 + random() % 300);
    char hex[32];
    std::snprintf(hex, sizeof hex, random() % 2 ? "%zx" : "%zX", size);
    text += hex;
    if (random() % 5 == 0) text += ";name=value";
    text += "\r\n" + body.substr(at, size) + "\r\n";
    at += size;
  }
  return text + (random() % 3 == 0 ? "0\r\nTrailer: x\r\n\r\n" : "0\r\n\r\n");
}

TEST(RequestFraming, EveryPrefixIsIncompleteAndTheWholeEndsExactlyWhateverFollows) {
  const RequestLimits limits{.maxBodyBytes = 2000};
  std::mt19937 random(7);
  for (int round = 0; round < 200; ++round) {
    const std::string body(random() % 2001, static_cast<char>('a' + round % 26));
    const bool chunked = round % 2 == 0;
    const std::string request =
        std::string(kHead) +
        (chunked ? "Transfer-Encoding: chunked\r\n\r\n" + Chunked(body, random)
                 : "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body);
    for (std::size_t length = 0; length < request.size(); length += 1 + random() % 40) {
      const RequestFrame frame = FrameRequest(std::string_view(request).substr(0, length), limits);
      ASSERT_EQ(frame.state, RequestFrame::State::kIncomplete) << round << " at " << length << ": " << frame.message;
    }
    const RequestFrame whole = FrameRequest(request + "GET / HTTP/1.1\r\n", limits);
    ASSERT_EQ(whole.state, RequestFrame::State::kComplete) << round << ": " << whole.message;
    EXPECT_EQ(whole.length, request.size()) << round;
  }
}

TEST(RequestFraming, AChunkedBodyOverTheLimitIsRefusedAtTheChunkThatPassesIt) {
  const RequestLimits limits{.maxBodyBytes = 1000};
  std::mt19937 random(11);
  for (int round = 0; round < 100; ++round) {
    const std::string request =
        std::string(kHead) + "Transfer-Encoding: chunked\r\n\r\n" + Chunked(std::string(5000, 'x'), random);
    std::size_t refusedAt = 0;
    for (std::size_t length = 0; length <= request.size() && refusedAt == 0; ++length) {
      const RequestFrame frame = FrameRequest(std::string_view(request).substr(0, length), limits);
      if (frame.state == RequestFrame::State::kRefused) {
        EXPECT_EQ(frame.status, 413) << frame.message;
        refusedAt = length;
      }
      ASSERT_NE(frame.state, RequestFrame::State::kComplete);
    }
    // Refused after about the limit's bytes of data, long before the request's end.
    EXPECT_GT(refusedAt, 0U);
    EXPECT_LT(refusedAt, request.size() / 2) << round;
  }
}

TEST(RequestFraming, AmbiguousOrMalformedFramingIsRefused) {
  const RequestLimits limits{.maxBodyBytes = 100, .maxHeaderBytes = 200};
  struct Case {
    std::string headers;
    std::string body;
    int status;
  };
  const Case cases[] = {
      {"Content-Length: -5\r\n", "", 400},
      {"Content-Length: 5x\r\n", "", 400},
      {"Content-Length: \r\n", "", 400},
      {"Content-Length: 99999999999999999999\r\n", "", 400},
      {"Content-Length: 101\r\n", "", 413},
      {"Content-Length: 3\r\nContent-Length: 4\r\n", "abcd", 400},
      {"Content-Length: 3\r\nTransfer-Encoding: chunked\r\n", "abc", 400},
      {"Transfer-Encoding: gzip\r\n", "", 400},
      {"Transfer-Encoding: chunked\r\nTransfer-Encoding: chunked\r\n", "", 400},
      {"Transfer-Encoding: chunked\r\n", "zz\r\n", 400},
      {"Transfer-Encoding: chunked\r\n", "3\r\nabcXY", 400},
      {"Transfer-Encoding: chunked\r\n", "fffffffffffffffffff\r\n", 400},
      {"Transfer-Encoding: chunked\r\n", "65\r\n", 413},
      {"host: localhost\r\n", "", 400},
      {"X-Long: " + std::string(200, 'x') + "\r\n", "", 431},
  };
  for (const Case& c : cases) {
    const RequestFrame frame = FrameRequest(std::string(kHead) + c.headers + "\r\n" + c.body, limits);
    EXPECT_EQ(frame.state, RequestFrame::State::kRefused) << c.headers;
    EXPECT_EQ(frame.status, c.status) << c.headers << frame.message;
  }
  EXPECT_EQ(FrameRequest(std::string(300, 'x'), limits).status, 431) << "no end of the headers in sight";
  const RequestFrame same = FrameRequest(std::string(kHead) + "Content-Length: 3\r\ncontent-length: 3\r\n\r\nabc", limits);
  EXPECT_EQ(same.state, RequestFrame::State::kComplete) << "the same length twice is no ambiguity";
  const RequestFrame expects =
      FrameRequest(std::string(kHead) + "Expect: 100-continue\r\nContent-Length: 3\r\n\r\n", limits);
  EXPECT_EQ(expects.state, RequestFrame::State::kIncomplete);
  EXPECT_TRUE(expects.expectsContinue);
}

}  // namespace
}  // namespace talvane::cli
