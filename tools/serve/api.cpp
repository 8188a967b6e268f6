#include "api.hpp"

#include <algorithm>
#include <memory>
#include <optional>

#include "bad_request.hpp"
#include "database_options.hpp"
#include "talvane/definition/definition_reader.hpp"
#include "talvane/definition/definition_check.hpp"
#include "definition_request.hpp"
#include "display_text.hpp"
#include "talvane/report/dialects.hpp"
#include "input_error.hpp"
#include "report_run.hpp"
#include "request_body.hpp"
#include "result_json.hpp"
#include "talvane/db/connection.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane::cli {

namespace {

constexpr int kOk = 200;
constexpr int kBadRequest = 400;
constexpr int kServerError = 500;

std::string Written(const nlohmann::json& json) {
  return json.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string DialectOf(const nlohmann::json& request) {
  const std::string dialect = StringMember(request, "dialect", "sqlserver");
  if (!DialectOfOption(dialect) || dialect != OptionOfDialect(*DialectOfOption(dialect))) {
    throw BadRequest("\"dialect\" must be \"sqlserver\", \"access\", \"sqlite\" or \"postgresql\"");
  }
  return dialect;
}

nlohmann::json OptionalText(const std::optional<std::string>& text) {
  return text ? nlohmann::json(*text) : nlohmann::json(nullptr);
}

}  // namespace

std::string Api::ErrorBody(const std::string& message) { return Written({{"error", message}}); }

ApiReply Api::Answer(const std::function<nlohmann::json(const nlohmann::json&)>& answer,
                     const std::string_view* body) const {
  try {
    const nlohmann::json request =
        body ? ParseRequestBody(*body, settings_.limits.maxJsonDepth) : nlohmann::json::object();
    return {kOk, Written(answer(request))};
  } catch (const BadRequest& e) {
    return {kBadRequest, ErrorBody(e.what())};
  } catch (const InputError& e) {
    return {kServerError, ErrorBody(e.what())};
  } catch (const Error& e) {
    return {kServerError, ErrorBody("error " + ErrorNumberText(e.Number()) + ": " + e.Message())};
  }
}

ApiReply Api::Schema() const {
  return Answer(
      [this](const nlohmann::json&) {
        return nlohmann::json{{"tables", SchemaJson(ReadSchema(OpenDatabase({settings_.connection, "sqlite"})))}};
      },
      nullptr);
}

ApiReply Api::StartDefinition() const {
  return Answer(
      [this](const nlohmann::json&) {
        return nlohmann::json{{"definition", settings_.startDefinition}};
      },
      nullptr);
}

ApiReply Api::Check(std::string_view body) const {
  return Answer(
      [this](const nlohmann::json& request) {
        const std::string dialect = DialectOf(request);
        const Definition definition = DefinitionOfRequest(request);
        const CheckResult result = CheckDefinition(definition, OpenDatabase({settings_.connection, dialect}), [this] {
          return OpenForRunning({settings_.connection, ""});
        });
        return nlohmann::json{{"failures", FailuresJson(result.failures)},
                              {"warnings", WarningsJson(result.warnings)},
                              {"statement", OptionalText(result.statement)},
                              {"sqliteStatement", OptionalText(result.sqliteStatement)}};
      },
      &body);
}

ApiReply Api::Run(std::string_view body, const std::function<bool()>& clientGone) const {
  return Answer(
      [this, &clientGone](const nlohmann::json& request) {
        const int64_t limit =
            std::min(CountMember(request, "limit", settings_.limits.maxRows), settings_.limits.maxRows);
        const Definition definition = DefinitionOfRequest(request);
        const std::shared_ptr<db::Connection> connection = OpenForRunning({settings_.connection, ""});
        const RunWatchdog::Watch watch(*watchdog_, connection, settings_.limits.runSeconds, clientGone);
        nlohmann::json rows = RunReport(definition, connection, limit);
        if (watch.Stopped() == RunWatchdog::Stop::kTimeLimit && rows.contains("error")) {
          rows["error"]["message"] = "the run took longer than " + std::to_string(settings_.limits.runSeconds) +
                                     " seconds and was stopped (the server's --run-seconds)";
        }
        return rows;
      },
      &body);
}

ApiReply Api::Tokens(std::string_view body) const {
  return Answer([](const nlohmann::json& request) { return ItemsJson(StringMember(request, "formula")); }, &body);
}

}  // namespace talvane::cli
