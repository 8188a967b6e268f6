#pragma once
// Asserting on the library's raised errors: number, source and message together.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>

#include "talvane/foundation/error.hpp"

namespace talvane::test {

// Runs fn and returns the talvane::Error it raised; fails the test when it raised nothing or something else.
talvane::Error CaptureError(const std::function<void()>& fn);

}  // namespace talvane::test

// Checks that `stmt` raises a talvane::Error with the given number, source and message.
#define EXPECT_TALVANE_ERROR(stmt, number, source, message)                         \
  do {                                                                               \
    const auto talvane_err_ = ::talvane::test::CaptureError([&] { stmt; });          \
    EXPECT_EQ(talvane_err_.Number(), static_cast<int32_t>(number));                  \
    EXPECT_EQ(talvane_err_.Source(), std::string(source));                           \
    EXPECT_EQ(talvane_err_.Description(), std::string(source) + "\r" + (message));   \
  } while (0)
