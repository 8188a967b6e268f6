// Identifier text: braced, any letter case, exactly one form.
#include <gtest/gtest.h>

#include "talvane/component/guid.hpp"

namespace talvane::component {
namespace {

TEST(GuidText, ReadsAnyLetterCaseAndWritesUpperCase) {
  const auto lower = Guid::Parse("{1dbdcef3-1416-413c-b7ac-cd321b9ef68f}");
  const auto upper = Guid::Parse("{1DBDCEF3-1416-413C-B7AC-CD321B9EF68F}");
  ASSERT_TRUE(lower && upper);
  EXPECT_EQ(*lower, *upper);
  EXPECT_EQ(lower->ToString(), "{1DBDCEF3-1416-413C-B7AC-CD321B9EF68F}");
  EXPECT_NE(*lower, *Guid::Parse("{1DBDCEF3-1416-413C-B7AC-CD321B9EF680}"));
}

TEST(GuidText, RefusesEveryOtherForm) {
  for (const char* text : {"", "{}", "1DBDCEF3-1416-413C-B7AC-CD321B9EF68F", "{1DBDCEF3-1416-413C-B7AC-CD321B9EF68F",
                           "{1DBDCEF3-1416-413C-B7AC-CD321B9EF68F}x", "{1DBDCEF3-1416-413C-B7AC+CD321B9EF68F}",
                           "{1DBDCEF3-1416-413C-B7AC-CD321B9EF68G}", "{1DBDCEF31416-413C-B7AC-CD321B9EF68F-}",
                           "(1DBDCEF3-1416-413C-B7AC-CD321B9EF68F)", "{ 1DBDCEF3-1416-413C-B7AC-CD321B9EF68F}"}) {
    EXPECT_FALSE(Guid::Parse(text).has_value()) << text;
  }
}

TEST(GuidText, NilIsAllZeros) {
  EXPECT_TRUE(Guid{}.IsNil());
  EXPECT_EQ(Guid{}.ToString(), "{00000000-0000-0000-0000-000000000000}");
  EXPECT_FALSE(Guid::FromText("{00000000-0000-0000-0000-000000000001}").IsNil());
}

}  // namespace
}  // namespace talvane::component
