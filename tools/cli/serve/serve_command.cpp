#include "serve_command.hpp"

#include <pthread.h>

#include <CLI/CLI.hpp>

#include <csignal>
#include <iostream>
#include <memory>
#include <thread>

#include "api.hpp"
#include "database_options.hpp"
#include "definition_request.hpp"
#include "exit_code.hpp"
#include "http_server.hpp"
#include "static_files.hpp"

namespace talvane::cli {

namespace {

struct ServeOptions {
  std::string connection;
  std::string definition;
  ServerSettings server{.bind = "127.0.0.1", .port = 8400, .limits = {}};
};

constexpr const char* kServeNotes =
    "\nThe page lists the tables and columns of the database, checks each formula as it is typed (the failing "
    "item underlined, with the error's number and message, and the library's warnings), shows the statement "
    "in the SQL Server, Access or SQLite dialect, and runs it in the SQLite dialect (at most 1000 rows). "
    "Definitions are opened from and saved to files by the browser; the server reads no file but the one of "
    "--definition. The database is opened read-only for every request. Stop the server with Ctrl-C.\n";

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

int Serve(const ServeOptions& options) {
  ApiSettings settings{options.connection, nullptr, options.server.limits};
  if (!options.definition.empty()) settings.startDefinition = ReadStartDefinition(options.definition);
  OpenDatabase({options.connection, "sqlite"});  // fails now, not on the first request, when it cannot be opened
  const Api api(std::move(settings));
  const StaticFiles files(EmbeddedWebFiles());
  HttpServer server(options.server, api, files);
  const int port = server.Bind();
  std::cout << "talvane: the rule editor is at http://" << options.server.bind << ":" << port << "/" << std::endl;
  ServeUntilStopped(server);
  return kExitOk;
}

}  // namespace

void ConfigureServeCommand(CLI::App& command, int& exitCode) {
  auto options = std::make_shared<ServeOptions>();
  command
      .add_option("-c,--connection", options->connection,
                  "ADO-style connection string of a SQLite database, e.g. \"Data Source=build/examples/sample.db\"")
      ->required();
  command
      .add_option("-p,--port", options->server.port,
                  "The port to listen on (default 8400); 0 lets the system choose one")
      ->check(CLI::Range(0, 65535));
  command.add_option("-b,--bind", options->server.bind, "The address to listen on (default 127.0.0.1)");
  command.add_option("--definition", options->definition, "A definition file (JSON) the page starts with");
  command.footer(kServeNotes + command.get_footer());
  command.callback([options, &exitCode] { exitCode = Serve(*options); });
}

}  // namespace talvane::cli
