// The server against hostile clients on 127.0.0.1: runs that take too long or whose client has gone are
// stopped, and while connections dribble headers, sit idle half-sent, flood chunks and abandon heavy runs,
// a normal request is still answered. Latencies are printed, never asserted.
#include <gtest/gtest.h>
#include <httplib.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <nlohmann/json.hpp>

#include <string>
#include <thread>
#include <vector>

#include "api.hpp"
#include "live_server.hpp"
#include "support/sqlite_fixture.hpp"

namespace talvane::cli {
namespace {

using nlohmann::json;
using Clock = std::chrono::steady_clock;

// Three tables of 2,000 rows that all share one key: a report joining them on the key reads 8e9 rows.
constexpr const char* kHeavySql = R"(
  CREATE TABLE A (K INTEGER, N INTEGER);
  CREATE TABLE B (K INTEGER, N INTEGER);
  CREATE TABLE C (K INTEGER, N INTEGER);
  WITH RECURSIVE s(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM s WHERE x < 2000)
  INSERT INTO A SELECT 1, x FROM s;
  INSERT INTO B SELECT * FROM A;
  INSERT INTO C SELECT * FROM A;)";

std::string RunBody(const std::string& formula) {
  return json{{"definition",
               {{"mainTable", "A"}, {"mainField", "K"}, {"fields", {{{"field", "A.N"}}}}, {"formulas", {{{"text", formula}}}}}}}
      .dump();
}
const std::string kHeavyRun = RunBody("A.N + B.N + C.N < 0");
const std::string kLightRun = RunBody("A.N = 5");

std::string Connection(const test::TempDatabaseFile& database) { return "Data Source=" + database.Path(); }

TEST(RunLimits, ARunPastItsTimeLimitOrWhoseClientHasGoneIsStoppedWithAClearError) {
  const test::TempDatabaseFile heavy(kHeavySql);
  const Api limited({Connection(heavy), nullptr, {.runSeconds = 1}});
  const json timed = json::parse(limited.Run(kHeavyRun).body);
  EXPECT_EQ(timed["error"]["number"], "0x80040E4E") << timed;
  EXPECT_NE(timed["error"].value("message", "").find("took longer than 1 seconds"), std::string::npos) << timed;
  EXPECT_EQ(json::parse(limited.Run(kLightRun).body)["rowCount"], 1) << "a short run is not touched";

  const Api patient({Connection(heavy), nullptr, {.runSeconds = 3600}});
  const json abandoned = json::parse(patient.Run(kHeavyRun, [] { return true; }).body);
  EXPECT_EQ(abandoned["error"]["number"], "0x80040E4E") << abandoned;
}

// Keeps a kind of attack going on fresh connections until `attacking` falls.
void Attack(const std::atomic<bool>& attacking, int port, const std::function<void(int socket)>& attack) {
  while (attacking) {
    const int socket = ConnectRaw(port);
    if (socket < 0) continue;
    attack(socket);
    close(socket);
  }
}

// Sends `bytes` a piece at a time, pausing between pieces, while the server keeps the connection.
void Dribble(const std::atomic<bool>& attacking, int socket, const std::string& bytes, std::size_t piece,
             std::chrono::milliseconds pause) {
  for (std::size_t at = 0; attacking; at = (at + piece) % bytes.size()) {
    if (send(socket, bytes.data() + at, std::min(piece, bytes.size() - at), MSG_NOSIGNAL) <= 0) return;
    if (Readable(socket)) return;  // answered: cut off
    std::this_thread::sleep_for(pause);
  }
}

TEST(HostileClients, ANormalRequestIsAnsweredWhileAttackersHoldConnectionsAndAbandonHeavyRuns) {
  const test::TempDatabaseFile heavy(kHeavySql);
  // Two workers and no time limit to speak of: only stopping abandoned runs keeps a worker free.
  const RequestLimits limits{.maxBodyBytes = 64 * 1024, .readTimeoutSeconds = 2, .runSeconds = 3600,
                             .workerThreads = 2};
  const LiveServer live(Connection(heavy), nullptr, limits);
  const int port = live.Port();
  std::atomic<bool> attacking{true};
  std::vector<std::thread> attackers;
  const std::string slowHead = "POST /api/check HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Slow: " + std::string(5000, 'x');
  for (int i = 0; i < 8; ++i) {  // headers a byte every 200 ms
    attackers.emplace_back(Attack, std::cref(attacking), port,
                           [&](int socket) { Dribble(attacking, socket, slowHead, 1, std::chrono::milliseconds(200)); });
  }
  for (int i = 0; i < 16; ++i) {  // half a request line, then nothing
    attackers.emplace_back(Attack, std::cref(attacking), port, [&](int socket) {
      send(socket, "GET /api/sch", 12, MSG_NOSIGNAL);
      ReadUntilClosed(dup(socket));
    });
  }
  const std::string chunk = "4000\r\n" + std::string(0x4000, ' ') + "\r\n";
  attackers.emplace_back(Attack, std::cref(attacking), port, [&](int socket) {  // chunks without end
    const std::string head = "POST /api/check HTTP/1.1\r\nHost: 127.0.0.1\r\nTransfer-Encoding: chunked\r\n\r\n";
    send(socket, head.data(), head.size(), MSG_NOSIGNAL);
    Dribble(attacking, socket, chunk, chunk.size(), std::chrono::milliseconds(0));
  });
  for (int i = 0; i < 4; ++i) {  // a heavy run, given up after 300 ms
    attackers.emplace_back(Attack, std::cref(attacking), port, [&](int socket) {
      const std::string request = "POST /api/run HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/json\r\n"
                                  "Content-Length: " + std::to_string(kHeavyRun.size()) + "\r\n\r\n" + kHeavyRun;
      send(socket, request.data(), request.size(), MSG_NOSIGNAL);
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
    });
  }

  std::vector<double> latencies;
  httplib::Client client("127.0.0.1", port);
  client.set_read_timeout(30, 0);
  for (int round = 0; round < 20; ++round) {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const bool schema = round % 2 == 0;
    const Clock::time_point start = Clock::now();
    const httplib::Result result =
        schema ? client.Get("/api/schema") : client.Post("/api/run", kLightRun, "application/json");
    latencies.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    ASSERT_TRUE(result) << "round " << round << ": no answer (" << httplib::to_string(result.error()) << ")";
    EXPECT_EQ(result->status, 200) << result->body;
    if (!schema) {
      EXPECT_EQ(json::parse(result->body)["rowCount"], 1) << result->body;
    }
  }
  attacking = false;
  for (std::thread& attacker : attackers) attacker.join();

  std::sort(latencies.begin(), latencies.end());
  std::printf("normal requests under attack: median %.1f ms, slowest %.1f ms\n", latencies[latencies.size() / 2],
              latencies.back());
}

}  // namespace
}  // namespace talvane::cli
