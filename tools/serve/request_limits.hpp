#pragma once
// What the server allows a request and a client: sizes, nesting, rows and time.
#include <cstddef>
#include <cstdint>

namespace talvane::cli {

struct RequestLimits {
  // The largest request body, whatever its framing; a larger one is answered 413 as soon as its length is
  // known (a Content-Length) or passed (chunks), without reading the rest.
  std::size_t maxBodyBytes = 256 * 1024;
  // The largest request line and headers together.
  std::size_t maxHeaderBytes = 16 * 1024;
  // The deepest nesting of arrays and objects a JSON body may have (a definition needs 3).
  int maxJsonDepth = 16;
  // The most rows a run returns, whatever the request asks for.
  int64_t maxRows = 1000;
  // Seconds a client may take to send a whole request (headers and body), counted from its connection or
  // from the first byte of a request on a kept connection; a slower one is answered 400 and closed.
  int readTimeoutSeconds = 5;
  // Seconds a client may take to read an answer.
  int writeTimeoutSeconds = 5;
  // Seconds a connection is kept open, idle, for the client's next request.
  int keepAliveSeconds = 5;
  // Seconds a run may take; a longer one is stopped and answered with an error.
  int runSeconds = 5;
  // Requests answered at the same time; each holds its own database connection. Connections whose request
  // is still arriving hold none of them.
  std::size_t workerThreads = 8;
  // Connections whose request is still arriving; more are closed at once.
  std::size_t maxWaitingConnections = 512;
};

}  // namespace talvane::cli
