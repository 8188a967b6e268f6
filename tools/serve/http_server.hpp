#pragma once
// The HTTP side of the rule editor: routes requests to the API and to the page's files, with the limits,
// time-outs and security headers of every answer. A wrong method on an existing address is answered 405
// with the methods it takes (Allow). The HTTP library stays inside the server's .cpp files.
#include <memory>
#include <string>

#include "request_limits.hpp"

namespace talvane::cli {

class Api;
class StaticFiles;

struct ServerSettings {
  std::string bind = "127.0.0.1";
  // 0: a free port chosen by the system.
  int port = 0;
  RequestLimits limits;
};

class HttpServer {
 public:
  // `api` and `files` must outlive the server.
  HttpServer(ServerSettings settings, const Api& api, const StaticFiles& files);
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  // Binds the address; returns the port. Raises InputError when the address or port cannot be bound.
  int Bind();
  // Serves requests until Stop is called (from any thread). Bind first.
  void Serve();
  void Stop();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace talvane::cli
