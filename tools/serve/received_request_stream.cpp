#include "received_request_stream.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace talvane::cli {

namespace {

bool WaitWritable(int socket, int seconds) {
  pollfd polled{socket, POLLOUT, 0};
  int ready = 0;
  do {
    ready = poll(&polled, 1, seconds * 1000);
  } while (ready < 0 && errno == EINTR);
  return ready > 0 && (polled.revents & POLLOUT) != 0;
}

// The address and port of a socket's end, as the HTTP library writes them into a request.
void AddressOf(const sockaddr_storage& address, std::string& ip, int& port) {
  char text[INET6_ADDRSTRLEN] = {};
  if (address.ss_family == AF_INET) {
    const auto& v4 = reinterpret_cast<const sockaddr_in&>(address);
    inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
    port = ntohs(v4.sin_port);
  } else if (address.ss_family == AF_INET6) {
    const auto& v6 = reinterpret_cast<const sockaddr_in6&>(address);
    inet_ntop(AF_INET6, &v6.sin6_addr, text, sizeof text);
    port = ntohs(v6.sin6_port);
  }
  ip = text;
}

}  // namespace

bool ReceivedRequestStream::is_writable() const { return WaitWritable(socket_, writeTimeoutSeconds_); }

ssize_t ReceivedRequestStream::read(char* ptr, size_t size) {
  const std::size_t count = std::min(size, request_.size() - read_);
  std::memcpy(ptr, request_.data() + read_, count);
  read_ += count;
  return static_cast<ssize_t>(count);
}

ssize_t ReceivedRequestStream::write(const char* ptr, size_t size) {
  std::size_t written = 0;
  while (written < size) {
    const ssize_t sent = send(socket_, ptr + written, size - written, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (sent > 0) {
      written += static_cast<std::size_t>(sent);
    } else if (sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
      return -1;
    } else if (!WaitWritable(socket_, writeTimeoutSeconds_)) {
      return -1;
    }
  }
  return static_cast<ssize_t>(written);
}

void ReceivedRequestStream::get_remote_ip_and_port(std::string& ip, int& port) const {
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  if (getpeername(socket_, reinterpret_cast<sockaddr*>(&address), &length) == 0) AddressOf(address, ip, port);
}

void ReceivedRequestStream::get_local_ip_and_port(std::string& ip, int& port) const {
  sockaddr_storage address{};
  socklen_t length = sizeof address;
  if (getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) == 0) AddressOf(address, ip, port);
}

}  // namespace talvane::cli
