#include "request_reader.hpp"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

#include "request_framing.hpp"

namespace talvane::cli {

namespace {

constexpr std::size_t kReadSize = 64 * 1024;
// How long, and how much, a refused client may go on sending before its connection is closed.
constexpr std::chrono::seconds kDrainTime{1};
constexpr std::size_t kMaxDrained = 1024 * 1024;
constexpr std::string_view kContinue = "HTTP/1.1 100 Continue\r\n\r\n";

void SendAll(int socket, std::string_view bytes) {
  // The socket does not block: an answer that does not fit the send buffer is cut, as the client is
  // not reading anyway.
  while (!bytes.empty()) {
    const ssize_t sent = send(socket, bytes.data(), bytes.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent <= 0) return;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
}

}  // namespace

RequestReader::RequestReader(const RequestLimits& limits, RequestHandler onRequest, RefusalWriter refusal)
    : limits_(limits), onRequest_(std::move(onRequest)), refusal_(std::move(refusal)) {}

RequestReader::~RequestReader() { Stop(); }

void RequestReader::Start() {
  if (pipe2(wake_, O_NONBLOCK | O_CLOEXEC) != 0) throw std::runtime_error("cannot create the request reader's pipe");
  stopping_ = false;
  thread_ = std::thread([this] { Run(); });
}

void RequestReader::Stop() {
  if (!thread_.joinable()) return;
  {
    const std::lock_guard<std::mutex> hold(lock_);
    stopping_ = true;
  }
  [[maybe_unused]] const ssize_t woken = write(wake_[1], "x", 1);
  thread_.join();
  for (Connection& connection : added_) Close(connection);
  added_.clear();
  close(wake_[0]);
  close(wake_[1]);
}

void RequestReader::Add(int socket, std::string received, bool kept) {
  const int seconds = kept ? limits_.keepAliveSeconds : limits_.readTimeoutSeconds;
  Connection connection{.socket = socket,
                        .received = std::move(received),
                        .deadline = Clock::now() + std::chrono::seconds(seconds),
                        .kept = kept};
  const std::lock_guard<std::mutex> hold(lock_);
  if (stopping_) return Close(connection);
  added_.push_back(std::move(connection));
  // Under the lock, so that Stop cannot close the pipe in between.
  [[maybe_unused]] const ssize_t woken = write(wake_[1], "x", 1);
}

void RequestReader::Run() {
  std::vector<pollfd> polled;
  while (true) {
    TakeAdded();
    {
      const std::lock_guard<std::mutex> hold(lock_);
      if (stopping_) break;
    }
    polled.assign(1, pollfd{wake_[0], POLLIN, 0});
    for (const Connection& connection : waiting_) polled.push_back({connection.socket, POLLIN, 0});
    if (poll(polled.data(), polled.size(), WaitMilliseconds()) < 0 && errno != EINTR) break;
    if (polled[0].revents != 0) {
      char drop[64];
      [[maybe_unused]] const ssize_t read = ::read(wake_[0], drop, sizeof drop);
    }
    const Clock::time_point now = Clock::now();
    // Connections added since the poll began are behind the polled ones and have no events yet.
    for (std::size_t i = 1; i < polled.size(); ++i) {
      Connection& connection = waiting_[i - 1];
      if (polled[i].revents != 0) Receive(connection);
      // Also after bytes arrived: a client that sends a little all the time is still held to its deadline.
      if (connection.socket >= 0 && now >= connection.deadline) Expire(connection);
    }
    std::erase_if(waiting_, [](const Connection& connection) { return connection.socket < 0; });
  }
  for (Connection& connection : waiting_) Close(connection);
  waiting_.clear();
}

void RequestReader::TakeAdded() {
  std::vector<Connection> added;
  {
    const std::lock_guard<std::mutex> hold(lock_);
    added.swap(added_);
  }
  for (Connection& connection : added) {
    if (waiting_.size() >= limits_.maxWaitingConnections) {
      Close(connection);
      continue;
    }
    if (!connection.received.empty()) Advance(connection);  // a request sent behind the last one
    if (connection.socket >= 0) waiting_.push_back(std::move(connection));
  }
}

int RequestReader::WaitMilliseconds() const {
  if (waiting_.empty()) return -1;
  const auto nearest = std::ranges::min_element(waiting_, {}, &Connection::deadline)->deadline;
  const auto wait = std::chrono::ceil<std::chrono::milliseconds>(nearest - Clock::now()).count();
  return static_cast<int>(std::clamp<decltype(wait)>(wait, 0, 60'000));
}

void RequestReader::Receive(Connection& connection) {
  char buffer[kReadSize];
  const ssize_t count = recv(connection.socket, buffer, sizeof buffer, MSG_DONTWAIT);
  if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return;
  if (count <= 0) return Close(connection);  // the client has gone
  if (connection.draining) {
    connection.drained += static_cast<std::size_t>(count);
    if (connection.drained > kMaxDrained) Close(connection);
    return;
  }
  if (connection.received.empty() && connection.kept) {
    connection.deadline = Clock::now() + std::chrono::seconds(limits_.readTimeoutSeconds);
  }
  connection.received.append(buffer, static_cast<std::size_t>(count));
  Advance(connection);
}

void RequestReader::Advance(Connection& connection) {
  RequestFrame frame = FrameRequest(connection.received, limits_);
  // Chunks may carry many bytes of framing for each byte of data; the bytes held stay bounded all the same.
  if (frame.state == RequestFrame::State::kIncomplete &&
      connection.received.size() > limits_.maxHeaderBytes + 2 * limits_.maxBodyBytes + kReadSize) {
    frame.state = RequestFrame::State::kRefused;
    frame.status = 413;
    frame.message = "the request body is too large";
  }
  switch (frame.state) {
    case RequestFrame::State::kIncomplete:
      if (frame.expectsContinue && !connection.continued) {
        SendAll(connection.socket, kContinue);
        connection.continued = true;
      }
      return;
    case RequestFrame::State::kRefused: return Refuse(connection, frame.status, frame.message);
    case RequestFrame::State::kComplete: {
      std::string rest = connection.received.substr(frame.length);
      connection.received.resize(frame.length);
      onRequest_(connection.socket, std::move(connection.received), std::move(rest));
      connection.socket = -1;  // handed on
      return;
    }
  }
}

void RequestReader::Refuse(Connection& connection, int status, const std::string& message) {
  SendAll(connection.socket, refusal_(status, message));
  shutdown(connection.socket, SHUT_WR);
  connection.received.clear();
  connection.draining = true;
  connection.deadline = Clock::now() + kDrainTime;
}

void RequestReader::Expire(Connection& connection) {
  if (connection.draining || connection.received.empty()) return Close(connection);
  Refuse(connection, 400, "the request could not be read: it was sent too slowly");
}

void RequestReader::Close(Connection& connection) {
  if (connection.socket >= 0) close(connection.socket);
  connection.socket = -1;
}

}  // namespace talvane::cli
