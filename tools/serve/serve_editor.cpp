#include "serve_editor.hpp"

#include <pthread.h>

#include <csignal>
#include <iostream>
#include <thread>

#include "api.hpp"
#include "database_options.hpp"
#include "definition_request.hpp"
#include "exit_code.hpp"
#include "http_server.hpp"
#include "static_files.hpp"

namespace talvane::cli {

namespace {

sigset_t StopSignals() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  return signals;
}

// Serves until SIGINT or SIGTERM. The signals are blocked in every thread and taken by this one.
void ServeUntilStopped(HttpServer& server) {
  const sigset_t signals = StopSignals();
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  std::thread serving([&server] { server.Serve(); });
  int signal = 0;
  sigwait(&signals, &signal);
  server.Stop();
  serving.join();
}

}  // namespace

int ServeEditor(const ServeOptions& options) {
  const ServerSettings serverSettings{
      .bind = options.bind, .port = options.port, .limits = {.runSeconds = options.runSeconds}};
  ApiSettings settings{options.connection, nullptr, serverSettings.limits};
  if (!options.definition.empty()) settings.startDefinition = ReadStartDefinition(options.definition);
  OpenDatabase({options.connection, "sqlite"});  // fails now, not on the first request, when it cannot be opened
  const Api api(std::move(settings));
  const StaticFiles files(EmbeddedWebFiles());
  HttpServer server(serverSettings, api, files);
  const int port = server.Bind();
  std::cout << "talvane: the rule editor is at http://" << options.bind << ":" << port << "/" << std::endl;
  ServeUntilStopped(server);
  return kExitOk;
}

}  // namespace talvane::cli
