#pragma once
// The HTTP library's server with the reading of requests taken out of its workers. The library accepts a
// connection and hands it to a RequestReader, which waits for the whole request with a deadline and a size
// limit; only a complete request reaches a worker, which parses, routes and answers it with the library's
// code, then gives the connection back to the reader for the next request. A slow, idle or oversized
// request therefore never occupies a worker.
#include <httplib.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "request_limits.hpp"
#include "request_reader.hpp"

namespace talvane::cli {

class StagedHttpServer final : public httplib::Server {
 public:
  StagedHttpServer(const RequestLimits& limits, RequestReader::RefusalWriter refusal);
  ~StagedHttpServer() override;

  // Starts the reader and the workers, accepts connections until Stop and stops them again.
  void Serve();
  // Ends Serve, from any thread; also when Serve has been called but does not listen yet.
  void Stop();

  // Whether the client of the request this thread is answering has gone away (closed its connection). To
  // be taken inside a handler; the check may be called from any thread until the handler returns.
  static std::function<bool()> ClientGoneCheck();

 private:
  // Called by the library's accepting thread for each new connection: hands it to the reader.
  bool process_and_close_socket(socket_t socket) override;
  // Answers a complete request on a worker.
  void Answer(int socket, std::string request, std::string rest);

  RequestLimits limits_;
  RequestReader reader_;
  std::unique_ptr<httplib::ThreadPool> workers_;
  // Serve and Stop may begin in either order on two threads; these tell each what the other has done.
  std::atomic<bool> serveCalled_ = false;
  std::atomic<bool> serveEnded_ = false;
  std::atomic<bool> stopCalled_ = false;
};

}  // namespace talvane::cli
