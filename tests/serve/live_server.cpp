#include "live_server.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace talvane::cli {

LiveServer::LiveServer(const std::string& connection, nlohmann::json startDefinition, const RequestLimits& limits)
    : api_({connection, std::move(startDefinition), limits}),
      files_(EmbeddedWebFiles()),
      server_({"127.0.0.1", 0, limits}, api_, files_),
      port_(server_.Bind()),
      serving_([this] { server_.Serve(); }) {}

LiveServer::~LiveServer() {
  server_.Stop();
  serving_.join();
}

int ConnectRaw(int port) {
  const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  const timeval giveUp{30, 0};
  setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &giveUp, sizeof giveUp);
  if (connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    close(socket);
    return -1;
  }
  return socket;
}

bool Readable(int socket) {
  pollfd polled{socket, POLLIN, 0};
  return poll(&polled, 1, 0) > 0;
}

std::string ReadUntilClosed(int socket) {
  std::string answer;
  char buffer[4096];
  for (ssize_t n; (n = recv(socket, buffer, sizeof buffer, 0)) > 0;) answer.append(buffer, static_cast<std::size_t>(n));
  close(socket);
  return answer;
}

std::string SendRaw(int port, const std::string& request) {
  const int socket = ConnectRaw(port);
  if (socket < 0) return {};
  if (send(socket, request.data(), request.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(request.size())) {
    close(socket);
    return {};
  }
  return ReadUntilClosed(socket);
}

}  // namespace talvane::cli
