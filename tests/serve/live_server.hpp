#pragma once
// The rule editor's server for a test: started in-process on 127.0.0.1 and a free port, and stopped when the
// object goes away, a failed assertion included; and plain sockets to talk to it as a hostile client would.
#include <nlohmann/json.hpp>

#include <string>
#include <thread>

#include "api.hpp"
#include "http_server.hpp"
#include "static_files.hpp"

namespace talvane::cli {

class LiveServer {
 public:
  LiveServer(const std::string& connection, nlohmann::json startDefinition, const RequestLimits& limits);
  ~LiveServer();
  LiveServer(const LiveServer&) = delete;
  LiveServer& operator=(const LiveServer&) = delete;

  int Port() const { return port_; }

 private:
  Api api_;
  StaticFiles files_;
  HttpServer server_;
  int port_;
  std::thread serving_;
};

// A socket connected to the server, or -1. Reading it gives up after 30 s, so that a server that never
// answers fails the test instead of hanging it.
int ConnectRaw(int port);
// Whether the server has sent something (or closed the connection) that is not read yet.
bool Readable(int socket);
// Everything the server sends until it closes the connection (or the 30 s run out); closes the socket.
std::string ReadUntilClosed(int socket);
// Connects, sends `request` and reads the answer until the server closes the connection.
std::string SendRaw(int port, const std::string& request);

}  // namespace talvane::cli
