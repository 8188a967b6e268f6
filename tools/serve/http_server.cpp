#include "http_server.hpp"

#include <httplib.h>
#include <sys/socket.h>

#include <csignal>
#include <map>
#include <string_view>

#include "api.hpp"
#include "input_error.hpp"
#include "staged_http_server.hpp"
#include "static_files.hpp"

namespace talvane::cli {

namespace {

constexpr const char* kJson = "application/json; charset=utf-8";
constexpr const char* kNothingHere = "there is nothing at this address";

// The page loads its own script and style sheet and talks to its own API; nothing inline, nothing else.
constexpr const char* kContentSecurityPolicy =
    "default-src 'none'; script-src 'self'; style-src 'self'; img-src 'self'; connect-src 'self'; "
    "base-uri 'none'; form-action 'none'; frame-ancestors 'none'";

httplib::Headers SecurityHeaders() {
  return {{"Content-Security-Policy", kContentSecurityPolicy},
          {"X-Content-Type-Options", "nosniff"},
          {"X-Frame-Options", "DENY"},
          {"Referrer-Policy", "no-referrer"},
          {"Cross-Origin-Opener-Policy", "same-origin"},
          {"Cross-Origin-Resource-Policy", "same-origin"},
          {"Cache-Control", "no-store"}};
}

void Reply(httplib::Response& response, const ApiReply& reply) {
  response.status = reply.status;
  response.set_content(reply.body, kJson);
}

void ReplyError(httplib::Response& response, int status, const std::string& message) {
  Reply(response, {status, Api::ErrorBody(message)});
}

// The message of an error the HTTP library answers by itself.
const char* StatusMessage(int status) {
  switch (status) {
    case 400: return "the request could not be read (malformed, or sent too slowly)";
    case 404: return kNothingHere;
    case 413: return "the request body is too large";
    case 414: return "the request's address is too long";
  }
  return "the request cannot be answered";
}

// The reason phrase of a status the reader refuses a request with.
const char* ReasonPhrase(int status) {
  switch (status) {
    case 400: return "Bad Request";
    case 413: return "Payload Too Large";
    case 431: return "Request Header Fields Too Large";
  }
  return "Error";
}

// The whole answer to a request refused before it was read, with the headers of every answer; the
// connection is closed after it.
std::string RefusalText(int status, const std::string& message) {
  const std::string body = Api::ErrorBody(message);
  std::string text = "HTTP/1.1 " + std::to_string(status) + " " + ReasonPhrase(status) + "\r\n";
  for (const auto& [name, value] : SecurityHeaders()) text += name + ": " + value + "\r\n";
  text += std::string("Content-Type: ") + kJson + "\r\nContent-Length: " + std::to_string(body.size()) +
          "\r\nConnection: close\r\n\r\n" + body;
  return text;
}

bool AllowsMethod(const std::string& allowed, const std::string& method) {
  std::string_view rest = allowed;
  while (!rest.empty()) {
    const std::size_t comma = rest.find(',');
    if (rest.substr(0, comma) == method) return true;
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 2);
  }
  return false;
}

bool IsLoopback(const std::string& address) {
  return address == "127.0.0.1" || address == "localhost" || address == "::1";
}

// The host name of a Host header, without the port.
std::string_view HostName(std::string_view host) {
  if (host.starts_with('[')) return host.substr(0, host.find(']') + 1);
  return host.substr(0, host.find(':'));
}

}  // namespace

struct HttpServer::Impl {
  Impl(ServerSettings s, const Api& a, const StaticFiles& f) : settings(std::move(s)), api(a), files(f) {}

  void Configure();
  void Route();
  // A server on a loopback address answers only requests addressed to a loopback name, so that a web page
  // elsewhere cannot reach it through a name of its own that resolves to 127.0.0.1.
  bool HostAllowed(const httplib::Request& request) const;
  bool IsJson(const httplib::Request& request) const;
  // The methods a path answers, as the Allow header lists them; empty for a path that does not exist.
  std::string AllowedMethods(const std::string& path) const;
  void Get(const char* path, ApiReply (Api::*call)() const);
  void Post(const char* path, const httplib::Server::Handler& handler);
  void Post(const char* path, ApiReply (Api::*call)(std::string_view) const);

  ServerSettings settings;
  const Api& api;
  const StaticFiles& files;
  StagedHttpServer server{settings.limits, RefusalText};
  // The methods of each API path.
  std::map<std::string, std::string, std::less<>> apiMethods;
  // The socket the server listens on, once bound.
  socket_t listening = INVALID_SOCKET;
};

bool HttpServer::Impl::HostAllowed(const httplib::Request& request) const {
  if (!IsLoopback(settings.bind)) return true;
  const std::string host = request.get_header_value("Host");
  const std::string_view name = HostName(host);
  return name == "127.0.0.1" || name == "localhost" || name == "[::1]";
}

bool HttpServer::Impl::IsJson(const httplib::Request& request) const {
  const std::string type = request.get_header_value("Content-Type");
  return std::string_view(type).substr(0, type.find(';')) == "application/json";
}

std::string HttpServer::Impl::AllowedMethods(const std::string& path) const {
  if (const auto found = apiMethods.find(path); found != apiMethods.end()) return found->second;
  return files.Find(path) ? "GET, HEAD" : "";
}

void HttpServer::Impl::Configure() {
  // Sizes and times of requests are kept by the server's reader (StagedHttpServer); a length over the limit
  // never reaches the library.
  server.set_default_headers(SecurityHeaders());
  server.set_payload_max_length(settings.limits.maxBodyBytes);
  // The HTTP library is built to queue only five connections not yet accepted; a page's burst of requests, or
  // as many clients as there are workers, would overflow it and leave connections closed unanswered. The
  // listening socket is noted here and its queue widened once it is bound (Bind).
  server.set_socket_options([this](socket_t socket) {
    httplib::default_socket_options(socket);
    listening = socket;
  });
  server.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response& response) {
    if (!HostAllowed(request)) {
      ReplyError(response, 403, "the server answers requests to 127.0.0.1 or localhost only");
      return httplib::Server::HandlerResponse::Handled;
    }
    const std::string allowed = AllowedMethods(request.path);
    if (allowed.empty() || AllowsMethod(allowed, request.method)) return httplib::Server::HandlerResponse::Unhandled;
    response.set_header("Allow", allowed);
    ReplyError(response, 405, request.method + " is not allowed here; this address takes " + allowed);
    return httplib::Server::HandlerResponse::Handled;
  });
  server.set_exception_handler([](const httplib::Request&, httplib::Response& response, std::exception_ptr) {
    ReplyError(response, 500, "the request failed inside the server");
  });
  server.set_error_handler([](const httplib::Request&, httplib::Response& response) {
    if (response.body.empty()) ReplyError(response, response.status, StatusMessage(response.status));
  });
}

void HttpServer::Impl::Get(const char* path, ApiReply (Api::*call)() const) {
  apiMethods.emplace(path, "GET, HEAD");
  server.Get(path, [this, call](const httplib::Request&, httplib::Response& response) { Reply(response, (api.*call)()); });
}

void HttpServer::Impl::Post(const char* path, const httplib::Server::Handler& handler) {
  apiMethods.emplace(path, "POST");
  server.Post(path, [this, handler](const httplib::Request& request, httplib::Response& response) {
    // A page elsewhere cannot send JSON here without the browser asking first, and it is never allowed.
    if (!IsJson(request)) return ReplyError(response, 415, "the request body must be application/json");
    handler(request, response);
  });
}

void HttpServer::Impl::Post(const char* path, ApiReply (Api::*call)(std::string_view) const) {
  Post(path, [this, call](const httplib::Request& request, httplib::Response& response) {
    Reply(response, (api.*call)(request.body));
  });
}

void HttpServer::Impl::Route() {
  Get("/api/schema", &Api::Schema);
  Get("/api/definition", &Api::StartDefinition);
  Post("/api/check", &Api::Check);
  Post("/api/run", [this](const httplib::Request& request, httplib::Response& response) {
    Reply(response, api.Run(request.body, StagedHttpServer::ClientGoneCheck()));
  });
  Post("/api/tokens", &Api::Tokens);
  server.Get(R"(/[A-Za-z0-9_.\-]*)", [this](const httplib::Request& request, httplib::Response& response) {
    const std::optional<StaticFile> file = files.Find(request.path);
    if (!file) return ReplyError(response, 404, kNothingHere);
    response.set_content(file->contents.data(), file->contents.size(), file->contentType.c_str());
  });
}

HttpServer::HttpServer(ServerSettings settings, const Api& api, const StaticFiles& files)
    : impl_(std::make_unique<Impl>(std::move(settings), api, files)) {
  impl_->Configure();
  impl_->Route();
}

HttpServer::~HttpServer() = default;

int HttpServer::Bind() {
  const ServerSettings& settings = impl_->settings;
  const int port = settings.port == 0 ? impl_->server.bind_to_any_port(settings.bind)
                                      : (impl_->server.bind_to_port(settings.bind, settings.port) ? settings.port : -1);
  if (port < 0) {
    throw InputError("cannot listen on " + settings.bind + " port " + std::to_string(settings.port));
  }
  // Listening again on a listening socket only changes the length of its queue.
  if (impl_->listening != INVALID_SOCKET) ::listen(impl_->listening, SOMAXCONN);
  return port;
}

void HttpServer::Serve() {
  // A client that goes away shows as a failed write on its socket instead of ending the program.
  std::signal(SIGPIPE, SIG_IGN);
  impl_->server.Serve();
}

void HttpServer::Stop() { impl_->server.Stop(); }

}  // namespace talvane::cli
