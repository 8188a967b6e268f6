// The rule editor's server, started in-process on 127.0.0.1 and a free port and asked over HTTP: the API's
// answers on the sample database, and hostile requests answered cleanly while the server goes on serving.
#include <gtest/gtest.h>
#include <httplib.h>

#include <sys/socket.h>

#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>

#include <set>
#include <sstream>
#include <string>
#include <thread>

#include "api.hpp"
#include "database_options.hpp"
#include "definition_request.hpp"
#include "input_error.hpp"
#include "live_server.hpp"
#include "json_writer.hpp"
#include "output_sink.hpp"
#include "talvane/definition/definition_error.hpp"
#include "talvane/report/report_rows.hpp"

namespace talvane::cli {
namespace {

using nlohmann::json;

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

json Example(const std::string& name) {
  return json::parse(ReadFile(std::string(TALVANE_EXAMPLES_DIR) + "/reports/" + name + ".json"));
}

std::string Expected(const std::string& name) { return ReadFile(std::string(TALVANE_CLI_EXPECTED_DIR) + "/" + name); }

// The statement as the library writes it (lines ended by \r\n) with \n line ends, as the files keep it.
std::string WithLineFeeds(const json& statement) {
  std::string text = statement.get<std::string>();
  std::erase(text, '\r');
  return text;
}

json Definition(const std::string& formula) {
  return {{"mainTable", "Orders"},
          {"mainField", "OrderID"},
          {"fields", {{{"field", "Orders.OrderID"}}}},
          {"formulas", {{{"text", formula}}}}};
}

class ServerTest : public ::testing::Test {
 protected:
  ServerTest()
      : live_(std::string("Data Source=") + TALVANE_SAMPLE_DB, Example("large_orders"), limits_),
        port_(live_.Port()),
        client_("127.0.0.1", port_) {}

  httplib::Result Post(const std::string& path, const std::string& body) {
    return client_.Post(path.c_str(), body, "application/json");
  }
  json PostJson(const std::string& path, const json& body, int status = 200) {
    const httplib::Result result = Post(path, body.dump());
    EXPECT_TRUE(result);
    if (!result) return {};
    EXPECT_EQ(result->status, status) << result->body;
    return json::parse(result->body);
  }
  json Check(const json& definition, const std::string& dialect) {
    return PostJson("/api/check", {{"definition", definition}, {"dialect", dialect}});
  }
  // The server still answers a plain request after whatever came before.
  void ExpectStillServing() {
    const httplib::Result result = client_.Get("/api/schema");
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);
  }

  RequestLimits limits_{.maxBodyBytes = 64 * 1024, .maxRows = 50, .readTimeoutSeconds = 1, .keepAliveSeconds = 1};
  LiveServer live_;
  int port_;
  httplib::Client client_;
};

TEST_F(ServerTest, SchemaAndStartDefinitionAndPage) {
  const httplib::Result schema = client_.Get("/api/schema");
  ASSERT_TRUE(schema);
  const json tables = json::parse(schema->body)["tables"];
  const auto orders = std::find_if(tables.begin(), tables.end(), [](const json& t) { return t["name"] == "Orders"; });
  ASSERT_NE(orders, tables.end());
  EXPECT_NE((*orders)["columns"].dump().find(R"({"declaredType":"MONEY","name":"Amount","takenAs":"numeric"})"),
            std::string::npos)
      << (*orders)["columns"].dump();

  EXPECT_EQ(json::parse(client_.Get("/api/definition")->body)["definition"], Example("large_orders"));

  const httplib::Result page = client_.Get("/");
  ASSERT_TRUE(page);
  EXPECT_EQ(page->status, 200);
  EXPECT_EQ(page->get_header_value("Content-Type"), "text/html; charset=utf-8");
  EXPECT_NE(page->body.find("<script src=\"/editor.js\""), std::string::npos);
  EXPECT_NE(page->get_header_value("Content-Security-Policy").find("script-src 'self'"), std::string::npos);
  EXPECT_EQ(page->get_header_value("X-Content-Type-Options"), "nosniff");
  EXPECT_EQ(client_.Get("/editor.js")->get_header_value("Content-Type"), "text/javascript; charset=utf-8");
}

TEST_F(ServerTest, CheckGivesFailureWithPositionThenTheStatementOfEachDialect) {
  const json failed = Check(Definition("Orders.Amount >= 1_000"), "sqlserver");
  ASSERT_EQ(failed["failures"].size(), 1U) << failed;
  EXPECT_EQ(failed["failures"][0]["subject"], "formula");
  EXPECT_EQ(failed["failures"][0]["index"], 1);
  EXPECT_EQ(failed["failures"][0]["position"], 17);
  EXPECT_EQ(failed["failures"][0]["error"], "0x80040006");
  EXPECT_TRUE(failed["statement"].is_null());

  EXPECT_EQ(WithLineFeeds(Check(Example("large_orders"), "sqlserver")["statement"]),
            Expected("large_orders.sqlserver.sql"));
  const json access = Check(Example("large_orders"), "access");
  EXPECT_EQ(WithLineFeeds(access["statement"]), Expected("large_orders.access.sql"));
  EXPECT_TRUE(access["failures"].empty());

  // Warnings come beside a formula that did not fail; a name with a bracket inside fails as the library
  // refuses it.
  json definition = Definition("100 < Orders.Amount");
  definition["fields"][0]["name"] = "Total]x";
  const json checked = Check(definition, "sqlite");
  ASSERT_EQ(checked["warnings"].size(), 1U) << checked;
  EXPECT_EQ(checked["warnings"][0]["subject"], "formula");
  ASSERT_EQ(checked["failures"].size(), 1U) << checked;
  EXPECT_EQ(checked["failures"][0]["subject"], "field");
  EXPECT_EQ(checked["failures"][0]["setting"], "name");
}

TEST_F(ServerTest, RunGivesTheRowsOfTheRunCommandUpToTheLimit) {
  const json run = PostJson("/api/run", {{"definition", Example("large_orders")}});
  std::string csv;
  for (const json& name : run["columns"]) csv += (csv.empty() ? "" : ",") + name.get<std::string>();
  for (const json& row : run["rows"]) {
    std::string line;
    for (const json& value : row) {
      line += (line.empty() ? "" : ",") + (value.is_null() ? "" : value.is_string() ? value.get<std::string>() : value.dump());
    }
    csv += "\r\n" + line;
  }
  EXPECT_EQ(csv + "\r\n", Expected("large_orders.run.csv"));
  EXPECT_TRUE(run["complete"]);

  const json limited = PostJson("/api/run", {{"definition", Example("large_orders")}, {"limit", 2}});
  EXPECT_EQ(limited["rowCount"], 2);
  EXPECT_FALSE(limited["complete"]);
  const json failed = PostJson("/api/run", {{"definition", Definition("Orders.Amount >")}});
  EXPECT_EQ(failed["failures"].size(), 1U);
}

TEST_F(ServerTest, TokensCutAFormulaAndShowWhereCuttingFailed) {
  const json items = PostJson("/api/tokens", {{"formula", "  Orders.Amount =>  100 "}});
  EXPECT_EQ(items["items"].dump(),
            R"([{"kind":"kField","position":0,"text":"Orders.Amount"},)"
            R"({"kind":"kComparisson","position":14,"text":">="},{"kind":"kLiteral","position":18,"text":"100"}])");
  EXPECT_EQ(PostJson("/api/tokens", {{"formula", "Orders.Amount = 1_000"}})["error"]["position"], 17);
}

TEST_F(ServerTest, HostileRequestsAreAnsweredCleanlyAndServingGoesOn) {
  struct Case {
    std::string path;
    std::string body;
    int status;
    std::string message;
  };
  const std::string deep = std::string(10000, '[') + std::string(10000, ']');
  const Case cases[] = {
      {"/api/check", std::string(limits_.maxBodyBytes + 1, ' '), 413, "too large"},
      {"/api/check", "{\"definition\": ", 400, "not valid JSON"},
      {"/api/check", "[1, 2]", 400, "must be a JSON object"},
      {"/api/check", R"({"definition": )" + deep + "}", 400, "nested more than"},
      {"/api/check", R"({"definition": {"mainTable": 1}})", 400, "mainTable"},
      {"/api/check", R"({"definition": {}, "dialect": "oracle"})", 400, "dialect"},
      {"/api/run", R"({"definition": {}, "limit": -1})", 400, "limit"},
      {"/api/tokens", R"({"formula": ["x"]})", 400, "formula"},
      {"/api/nothing", "{}", 404, "nothing at this address"},
  };
  for (const Case& c : cases) {
    const httplib::Result result = Post(c.path, c.body);
    ASSERT_TRUE(result) << c.path << " " << c.body.substr(0, 40);
    EXPECT_EQ(result->status, c.status) << result->body;
    EXPECT_NE(json::parse(result->body)["error"].get<std::string>().find(c.message), std::string::npos) << result->body;
  }
  EXPECT_EQ(client_.Post("/api/check", "{}", "text/plain")->status, 415);

  for (const char* path : {"/../CMakeLists.txt", "/%2e%2e/%2e%2e/etc/passwd", "/..%2fetc%2fpasswd", "/web/index.html",
                           "/index.html/", "/.", "/CMakeLists.txt", "/api/schema/../../etc/passwd"}) {
    const httplib::Result result = client_.Get(path);
    ASSERT_TRUE(result) << path;
    EXPECT_TRUE(result->status == 404 || result->status == 400) << path << ": " << result->status;
    EXPECT_EQ(result->body.find("root:"), std::string::npos);
  }

  httplib::Client rebound("127.0.0.1", port_);
  rebound.set_default_headers({{"Host", "attacker.example"}});
  EXPECT_EQ(rebound.Get("/api/schema")->status, 403);

  // Statement text in every value is a formula's text, a name or a reference, never part of a statement.
  json definition = Definition("Orders.Status = \"x'; DROP TABLE Orders; --\"");
  definition["fields"][0]["name"] = "x]; DROP TABLE Orders; --";
  definition["mainField"] = "OrderID; DROP TABLE Orders";
  const json injected = Check(definition, "sqlite");
  EXPECT_FALSE(injected["failures"].empty());
  EXPECT_EQ(
      PostJson("/api/run", {{"definition", Definition("Orders.Status = \"'); DELETE FROM Orders; --\"")}})["rowCount"],
      0);
  EXPECT_EQ(PostJson("/api/run", {{"definition", Example("large_orders")}})["rowCount"], 41);
  ExpectStillServing();
}

TEST_F(ServerTest, AClientThatStopsSendingIsCutOffWhileOthersAreServed) {
  std::string answer;
  std::thread slow([&] {
    answer = SendRaw(port_,
                     "POST /api/check HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/json\r\n"
                     "Content-Length: 1000\r\n\r\n{\"definition\": ");
  });
  ExpectStillServing();
  slow.join();
  EXPECT_EQ(answer.rfind("HTTP/1.1 400 Bad Request", 0), 0U) << answer;
  EXPECT_NE(answer.find("the request could not be read"), std::string::npos) << answer;
  ExpectStillServing();
}

std::string ToHex(std::size_t value) {
  char text[32];
  std::snprintf(text, sizeof text, "%zx", value);
  return text;
}

// The rows of `statement` as `talvane run --format json` writes them: an array of objects keyed by column.
json RunCommandRows(const std::string& statement) {
  std::FILE* file = std::tmpfile();
  {
    OutputSink sink(fileno(file));
    JsonWriter writer(sink);
    const auto connection = OpenDatabase({std::string("Data Source=") + TALVANE_SAMPLE_DB, "sqlite"});
    ReportRows rows(connection, statement);
    writer.Begin(rows);
    while (rows.Next()) writer.Row(rows);
    writer.End();
  }
  std::rewind(file);
  std::string text;
  for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
  std::fclose(file);
  return json::parse(text);
}

// Numbers are numbers and NULL is null, value for value as the run command's JSON gives them.
TEST_F(ServerTest, RunGivesEachValueTheJsonTypeOfTheRunCommand) {
  for (const char* name : {"large_orders", "customers_to_call", "busy_regions"}) {
    const json run = PostJson("/api/run", {{"definition", Example(name)}});
    const json expected = RunCommandRows(run["statement"]);
    ASSERT_EQ(run["rows"].size(), expected.size()) << name;
    std::set<json::value_t> types;
    for (std::size_t r = 0; r < expected.size(); ++r) {
      for (std::size_t c = 0; c < run["columns"].size(); ++c) {
        const json& value = run["rows"][r][c];
        EXPECT_EQ(value, expected[r][run["columns"][c].get<std::string>()]) << name << " row " << r << " column " << c;
        types.insert(value.type());
      }
    }
    EXPECT_FALSE(types.contains(json::value_t::string) && types.size() == 1) << name << ": every value is text";
  }
}

// A wrong method on an address that exists, two Host headers, a length that is no length, and a chunked
// body over the limit: each answered at once, and the server closes the connection itself after a refusal.
TEST_F(ServerTest, ProtocolFaultsAreAnsweredAtOnce) {
  struct MethodCase {
    std::string method;
    std::string path;
    std::string allow;
  };
  for (const MethodCase& c : {MethodCase{"GET", "/api/check", "POST"}, MethodCase{"DELETE", "/api/schema", "GET, HEAD"},
                              MethodCase{"POST", "/editor.js", "GET, HEAD"}, MethodCase{"PUT", "/", "GET, HEAD"}}) {
    const std::string answer = SendRaw(port_, c.method + " " + c.path +
                                                  " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n"
                                                  "Content-Length: 0\r\n\r\n");
    EXPECT_EQ(answer.rfind("HTTP/1.1 405", 0), 0U) << c.method << " " << c.path << ": " << answer;
    EXPECT_NE(answer.find("Allow: " + c.allow + "\r\n"), std::string::npos) << answer;
  }
  EXPECT_EQ(client_.Post("/nothing.js", "{}", "application/json")->status, 404) << "no such address: still 404";

  const std::string twoHosts =
      SendRaw(port_, "GET /api/schema HTTP/1.1\r\nHost: 127.0.0.1\r\nHost: attacker.example\r\n\r\n");
  EXPECT_EQ(twoHosts.rfind("HTTP/1.1 400", 0), 0U) << twoHosts;
  EXPECT_NE(twoHosts.find("more than one Host header"), std::string::npos) << twoHosts;
  const std::string negative = SendRaw(port_,
                                       "POST /api/check HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: "
                                       "application/json\r\nContent-Length: -5\r\n\r\n");
  EXPECT_EQ(negative.rfind("HTTP/1.1 400", 0), 0U) << negative;
  EXPECT_NE(negative.find("Content-Length is not a whole number"), std::string::npos) << negative;

  // Chunks are sent until the server answers; it must answer long before the 32 MB the client would send.
  const int flood = ConnectRaw(port_);
  ASSERT_GE(flood, 0);
  const std::string head = "POST /api/check HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/json\r\n"
                           "Transfer-Encoding: chunked\r\n\r\n";
  const std::string chunk = "4000\r\n" + std::string(0x4000, ' ') + "\r\n";
  std::size_t sent = send(flood, head.data(), head.size(), MSG_NOSIGNAL) > 0 ? head.size() : 0;
  while (sent < 32 * 1024 * 1024 && !Readable(flood)) {
    if (send(flood, chunk.data(), chunk.size(), MSG_NOSIGNAL) <= 0) break;
    sent += chunk.size();
  }
  const std::string refused = ReadUntilClosed(flood);
  EXPECT_EQ(refused.rfind("HTTP/1.1 413", 0), 0U) << refused << " after " << sent << " bytes";
  EXPECT_LT(sent, 32U * 1024 * 1024);
  const std::string body = R"({"formula": "Orders.Amount > 1"})";
  const std::string small = SendRaw(port_, "POST /api/tokens HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: "
                                           "application/json\r\nTransfer-Encoding: chunked\r\nConnection: close\r\n\r\n"
                                           "5\r\n" + body.substr(0, 5) + "\r\n" + ToHex(body.size() - 5) + "\r\n" +
                                           body.substr(5) + "\r\n0\r\n\r\n");
  EXPECT_EQ(small.rfind("HTTP/1.1 200", 0), 0U) << "a chunked body within the limit is read: " << small;
  EXPECT_NE(small.find("kField"), std::string::npos) << small;
}

TEST(StartDefinitionTest, AFileThatIsNoDefinitionIsRefused) {
  EXPECT_THROW(ReadStartDefinition(std::string(TALVANE_EXAMPLES_DIR) + "/sql/schema.sql"), DefinitionError);
  EXPECT_THROW(ReadStartDefinition("/nonexistent/report.json"), InputError);
}

}  // namespace
}  // namespace talvane::cli
