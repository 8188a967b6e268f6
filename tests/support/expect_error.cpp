#include "support/expect_error.hpp"

#include <exception>

namespace talvane::test {

talvane::Error CaptureError(const std::function<void()>& fn) {
  try {
    fn();
  } catch (const talvane::Error& e) {
    return e;
  } catch (const std::exception& e) {
    ADD_FAILURE() << "expected talvane::Error, got std::exception: " << e.what();
    return talvane::Error(0, "", "");
  }
  ADD_FAILURE() << "expected talvane::Error, nothing was raised";
  return talvane::Error(0, "", "");
}

}  // namespace talvane::test
