#pragma once
// The stage that reads requests before any worker sees them. One thread waits on every connection whose
// request is still arriving, frames what it receives (request_framing.hpp) and hands each complete request
// on. A slow or idle client so holds a buffer here, never a worker; one that does not send a whole request
// in time, or sends one the framing refuses, is answered with an error at once and closed.
#include <chrono>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "request_limits.hpp"

namespace talvane::cli {

class RequestReader {
 public:
  // Takes a complete request and the bytes received after it (the start of the next one); the socket is
  // the callee's from then on.
  using RequestHandler = std::function<void(int socket, std::string request, std::string rest)>;
  // The whole answer (status line, headers and body) to a request refused with `status` and `message`.
  using RefusalWriter = std::function<std::string(int status, const std::string& message)>;

  RequestReader(const RequestLimits& limits, RequestHandler onRequest, RefusalWriter refusal);
  // Stops.
  ~RequestReader();
  RequestReader(const RequestReader&) = delete;
  RequestReader& operator=(const RequestReader&) = delete;

  void Start();
  // Closes every connection still waiting for its request and ends the thread.
  void Stop();
  // Takes a connection to read its next request from: a new one, or one whose answer has been written
  // (`kept`), with the bytes already received of its next request. Callable from any thread.
  void Add(int socket, std::string received, bool kept);

 private:
  using Clock = std::chrono::steady_clock;
  struct Connection {
    int socket = -1;
    std::string received;
    Clock::time_point deadline;
    bool kept = false;
    // Refused: what the client still sends is read and dropped for a moment, so that closing does not
    // reset the connection before the client has read the answer.
    bool draining = false;
    std::size_t drained = 0;
    bool continued = false;  // "100 Continue" sent
  };

  void Run();
  void TakeAdded();
  void Receive(Connection& connection);
  void Advance(Connection& connection);
  void Refuse(Connection& connection, int status, const std::string& message);
  void Expire(Connection& connection);
  static void Close(Connection& connection);
  int WaitMilliseconds() const;

  const RequestLimits limits_;
  const RequestHandler onRequest_;
  const RefusalWriter refusal_;
  int wake_[2] = {-1, -1};  // a pipe: a byte written wakes the thread
  std::mutex lock_;
  std::vector<Connection> added_;  // under lock_
  bool stopping_ = false;          // under lock_
  std::vector<Connection> waiting_;  // the thread's own
  std::thread thread_;
};

}  // namespace talvane::cli
