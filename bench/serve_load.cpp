// The rule editor's server under load: requests to check and to run large_orders.json, alternately, sent by
// client threads at the same time to a server started in-process on 127.0.0.1. Prints the failed requests,
// the median and 99th percentile latency and the requests per second.
//   talvane_bench_serve_load [REQUESTS=2000] [CLIENTS=16]
#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "api.hpp"
#include "http_server.hpp"
#include "static_files.hpp"

namespace {

using Clock = std::chrono::steady_clock;

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

struct Load {
  int requests = 2000;
  int clients = 16;
};

struct Outcome {
  std::vector<double> latenciesMs;
  int failed = 0;
};

// Sends requests numbered `first`, `first + step`, ... below `count`: even ones check, odd ones run.
Outcome SendRequests(int port, int first, int step, int count, const std::string& checkBody,
                     const std::string& runBody) {
  httplib::Client client("127.0.0.1", port);
  client.set_keep_alive(true);
  Outcome outcome;
  for (int i = first; i < count; i += step) {
    const bool check = i % 2 == 0;
    const Clock::time_point start = Clock::now();
    const httplib::Result result =
        client.Post(check ? "/api/check" : "/api/run", check ? checkBody : runBody, "application/json");
    outcome.latenciesMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    const bool answered = result && result->status == 200 &&
                          result->body.find(check ? "\"failures\":[]" : "\"complete\":true") != std::string::npos;
    if (!answered) ++outcome.failed;
  }
  return outcome;
}

double Percentile(std::vector<double>& values, double fraction) {
  std::sort(values.begin(), values.end());
  return values[static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1))];
}

}  // namespace

int main(int argc, char** argv) {
  Load load;
  if (argc > 1) load.requests = std::stoi(argv[1]);
  if (argc > 2) load.clients = std::stoi(argv[2]);
  const std::string definition = ReadFile(TALVANE_SOURCE_DIR "/examples/reports/large_orders.json");
  const std::string checkBody = R"({"dialect": "sqlserver", "definition": )" + definition + "}";
  const std::string runBody = R"({"definition": )" + definition + "}";

  talvane::cli::RequestLimits limits;
  limits.workerThreads = static_cast<std::size_t>(load.clients);
  const talvane::cli::Api api({std::string("Data Source=") + TALVANE_SAMPLE_DB, nullptr, limits});
  const talvane::cli::StaticFiles files(talvane::cli::EmbeddedWebFiles());
  talvane::cli::HttpServer server({"127.0.0.1", 0, limits}, api, files);
  const int port = server.Bind();
  std::thread serving([&server] { server.Serve(); });

  std::vector<Outcome> outcomes(static_cast<std::size_t>(load.clients));
  const Clock::time_point start = Clock::now();
  std::vector<std::thread> clients;
  for (int c = 0; c < load.clients; ++c) {
    clients.emplace_back([&, c] {
      outcomes[static_cast<std::size_t>(c)] = SendRequests(port, c, load.clients, load.requests, checkBody, runBody);
    });
  }
  for (std::thread& client : clients) client.join();
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  server.Stop();
  serving.join();

  Outcome all;
  for (const Outcome& outcome : outcomes) {
    all.failed += outcome.failed;
    all.latenciesMs.insert(all.latenciesMs.end(), outcome.latenciesMs.begin(), outcome.latenciesMs.end());
  }
  std::printf("%d requests (check and run alternately), %d at a time: %d failed\n", load.requests, load.clients,
              all.failed);
  std::printf("latency: median %.2f ms, p99 %.2f ms; %.0f requests/s\n", Percentile(all.latenciesMs, 0.5),
              Percentile(all.latenciesMs, 0.99), static_cast<double>(load.requests) / seconds);
  return all.failed == 0 ? 0 : 1;
}
