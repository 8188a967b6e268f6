#include "staged_http_server.hpp"

#include <poll.h>
#include <unistd.h>

#include <thread>

#include "received_request_stream.hpp"

namespace talvane::cli {

namespace {

// The library's accepting thread runs each new connection's task at once: the task only hands the
// connection to the reader.
class RunAtOnce final : public httplib::TaskQueue {
 public:
  void enqueue(std::function<void()> task) override { task(); }
  void shutdown() override {}
};

// The socket of the request the current thread is answering.
thread_local int answeredSocket = -1;

bool PeerClosed(int socket) {
  pollfd polled{socket, POLLRDHUP, 0};
  return poll(&polled, 1, 0) > 0 && (polled.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0;
}

}  // namespace

StagedHttpServer::StagedHttpServer(const RequestLimits& limits, RequestReader::RefusalWriter refusal)
    : limits_(limits),
      reader_(limits, [this](int socket, std::string request, std::string rest) {
        workers_->enqueue([this, socket, request = std::move(request), rest = std::move(rest)]() mutable {
          Answer(socket, std::move(request), std::move(rest));
        });
      }, std::move(refusal)) {
  new_task_queue = [] { return new RunAtOnce; };
}

StagedHttpServer::~StagedHttpServer() = default;

void StagedHttpServer::Serve() {
  workers_ = std::make_unique<httplib::ThreadPool>(limits_.workerThreads);
  reader_.Start();
  serveCalled_ = true;
  if (!stopCalled_) listen_after_bind();
  serveEnded_ = true;
  // Connections still waiting are closed first; requests being answered then finish, and their connections
  // are closed as the reader no longer takes them.
  reader_.Stop();
  workers_->shutdown();
  workers_.reset();
}

void StagedHttpServer::Stop() {
  stopCalled_ = true;
  // The library's stop() reaches only a server that listens already; a Serve that has not yet looked at
  // stopCalled_ is waited for.
  while (serveCalled_ && !serveEnded_ && !is_running()) std::this_thread::yield();
  stop();
}

bool StagedHttpServer::process_and_close_socket(socket_t socket) {
  reader_.Add(socket, {}, false);
  return true;
}

void StagedHttpServer::Answer(int socket, std::string request, std::string rest) {
  ReceivedRequestStream stream(socket, std::move(request), limits_.writeTimeoutSeconds);
  bool closing = false;
  answeredSocket = socket;
  const bool answered = process_request(stream, false, closing, nullptr);
  answeredSocket = -1;
  if (answered && !closing) return reader_.Add(socket, std::move(rest), true);
  close(socket);
}

std::function<bool()> StagedHttpServer::ClientGoneCheck() {
  const int socket = answeredSocket;
  return [socket] { return socket >= 0 && PeerClosed(socket); };
}

}  // namespace talvane::cli
