#pragma once
// What the server allows a request and a client: sizes, nesting, rows and time.
#include <cstddef>
#include <cstdint>

namespace talvane::cli {

struct RequestLimits {
  // The largest request body; a larger one is answered 413 without being read.
  std::size_t maxBodyBytes = 256 * 1024;
  // The deepest nesting of arrays and objects a JSON body may have (a definition needs 3).
  int maxJsonDepth = 16;
  // The most rows a run returns, whatever the request asks for.
  int64_t maxRows = 1000;
  // Seconds a client may take to send a request or to read the answer, and to keep an idle connection.
  int readTimeoutSeconds = 5;
  int writeTimeoutSeconds = 5;
  int keepAliveSeconds = 5;
  // Requests served at the same time; each holds its own database connection.
  std::size_t workerThreads = 8;
};

}  // namespace talvane::cli
