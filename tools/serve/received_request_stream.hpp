#pragma once
// What the HTTP library reads a request from and writes its answer to: the request's bytes, received whole
// beforehand (request_reader.hpp), and the client's socket for the answer.
#include <httplib.h>

#include <string>

namespace talvane::cli {

class ReceivedRequestStream final : public httplib::Stream {
 public:
  ReceivedRequestStream(int socket, std::string request, int writeTimeoutSeconds)
      : socket_(socket), request_(std::move(request)), writeTimeoutSeconds_(writeTimeoutSeconds) {}

  bool is_readable() const override { return read_ < request_.size(); }
  bool is_writable() const override;
  // Gives the request's bytes, then 0 (the end): nothing is read from the socket.
  ssize_t read(char* ptr, size_t size) override;
  // Writes to the socket, waiting for room at most the write time-out at a time.
  ssize_t write(const char* ptr, size_t size) override;
  void get_remote_ip_and_port(std::string& ip, int& port) const override;
  void get_local_ip_and_port(std::string& ip, int& port) const override;
  socket_t socket() const override { return socket_; }

 private:
  int socket_;
  std::string request_;
  std::size_t read_ = 0;
  int writeTimeoutSeconds_;
};

}  // namespace talvane::cli
