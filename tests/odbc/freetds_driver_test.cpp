// The ODBC backend through FreeTDS, the usual way to SQL Server from Linux. No server is available to the
// tests: the driver loads and a connection to a closed loopback port fails with the driver's own error.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

#include "support/expect_error.hpp"
#include "odbc_test_support.hpp"

namespace talvane::test {
namespace {

// A loopback port nothing listens on: bound (so no one else takes it meanwhile) but never listened to.
class ClosedPort {
 public:
  ClosedPort() : socket_(::socket(AF_INET, SOCK_STREAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    ::bind(socket_, reinterpret_cast<sockaddr*>(&address), length);
    ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
  }
  ~ClosedPort() { ::close(socket_); }
  ClosedPort(const ClosedPort&) = delete;
  ClosedPort& operator=(const ClosedPort&) = delete;
  int Port() const { return port_; }

 private:
  int socket_;
  int port_ = 0;
};

TEST(OdbcFreeTdsDriver, AClosedPortFailsWithTheDriversConnectionError) {
  const ClosedPort closed;
  ASSERT_NE(closed.Port(), 0);
  const std::string rest = "Server=127.0.0.1;Port=" + std::to_string(closed.Port()) +
                           ";TDS_Version=7.4;Database=master;UID=sa;PWD=secret";
  for (int attempt = 0; attempt < 2; ++attempt) {  // nothing is left behind that stops a second try
    const Error error = CaptureError([&] { db::OdbcConnection::Create(DriverString(TALVANE_FREETDS_ODBC_DRIVER, rest)); });
    EXPECT_EQ(error.Number(), db::kErrUnspecified);
    EXPECT_EQ(error.Source(), "ODBC");
    EXPECT_NE(error.Message().find("[FreeTDS]"), std::string::npos) << error.Message();  // the driver loaded
    EXPECT_NE(error.Message().find("SQLSTATE 08001"), std::string::npos) << error.Message();
  }
}

}  // namespace
}  // namespace talvane::test
