#pragma once
// The JSON API of the rule editor, apart from HTTP: each call takes a request body and gives the status and
// the JSON body of the answer. Every call opens the database read-only on a connection of its own, so calls
// may run at the same time on different threads.
//
//   GET  /api/schema      {"tables": [...]}
//   GET  /api/definition  {"definition": {...} or null}: the definition the server was started with
//   POST /api/check       {"definition": {...}, "dialect": "sqlserver"|"access"|"sqlite"}
//                         -> {"failures": [...], "warnings": [...], "statement": "...", "sqliteStatement": "..."}
//   POST /api/run         {"definition": {...}, "limit": N} -> rows (see report_run.hpp); a run is stopped
//                         after the limits' runSeconds (answered with the error 0x80040E4E and a message that
//                         says so) or when its client has gone away
//   POST /api/tokens      {"formula": "..."} -> items (see result_json.hpp)
//
// A body that cannot be used is answered 400 with {"error": "<one line>"}.
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>

#include <string>
#include <string_view>

#include "request_limits.hpp"
#include "run_watchdog.hpp"

namespace talvane::cli {

struct ApiReply {
  int status = 200;
  std::string body;
};

struct ApiSettings {
  // The connection string of the database, without provider: each call chooses its dialect.
  std::string connection;
  // The definition the page starts with; null for none.
  nlohmann::json startDefinition;
  RequestLimits limits;
};

class Api {
 public:
  explicit Api(ApiSettings settings)
      : settings_(std::move(settings)), watchdog_(std::make_unique<RunWatchdog>()) {}

  ApiReply Schema() const;
  ApiReply StartDefinition() const;
  ApiReply Check(std::string_view body) const;
  // `clientGone` tells whether the client that asked has gone away (then the run is stopped); none: never.
  ApiReply Run(std::string_view body, const std::function<bool()>& clientGone = {}) const;
  ApiReply Tokens(std::string_view body) const;

  // The body of an answer that only carries an error message.
  static std::string ErrorBody(const std::string& message);

 private:
  // Parses the body (when `body` is given), runs `answer` on it and writes its JSON; turns every error into
  // its status and message.
  ApiReply Answer(const std::function<nlohmann::json(const nlohmann::json&)>& answer,
                  const std::string_view* body) const;

  ApiSettings settings_;
  // Stops runs past their time or whose client has gone; shared by the calls of every thread.
  std::unique_ptr<RunWatchdog> watchdog_;
};

}  // namespace talvane::cli
