#include "talvane/report/statement_on.hpp"

#include "talvane/report/exception.hpp"

namespace talvane {

namespace {

// Hands the report back its own connection however the statement ends.
class ConnectionSwap {
 public:
  ConnectionSwap(Exception& report, const std::shared_ptr<db::Connection>& connection)
      : report_(report), own_(report.Connection()) {
    report_.SetConnection(connection);
  }
  ~ConnectionSwap() { report_.SetConnection(own_); }
  ConnectionSwap(const ConnectionSwap&) = delete;
  ConnectionSwap& operator=(const ConnectionSwap&) = delete;

 private:
  Exception& report_;
  std::shared_ptr<db::Connection> own_;
};

}  // namespace

std::string StatementOn(Exception& report, const std::shared_ptr<db::Connection>& connection) {
  if (report.Connection() == connection) return report.SQL();
  const ConnectionSwap swap(report, connection);
  return report.SQL();
}

}  // namespace talvane
