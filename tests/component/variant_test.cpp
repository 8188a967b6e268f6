// Conversions of late-bound values, as a dispatch host expects them.
#include <gtest/gtest.h>

#include "support/expect_error.hpp"
#include "talvane/component/class_registry.hpp"
#include "talvane/component/dispatch_error.hpp"
#include "talvane/component/variant.hpp"
#include "talvane/foundation/enums.hpp"

namespace talvane::component {
namespace {

TEST(VariantToInt32, NumbersAndNumericTextConvert) {
  EXPECT_EQ(Variant().ToInt32(), 0);
  EXPECT_EQ(Variant(-5).ToInt32(), -5);
  EXPECT_EQ(Variant(" 12 ").ToInt32(), 12);
  EXPECT_EQ(Variant("+3").ToInt32(), 3);
  EXPECT_EQ(Variant("-1").ToInt32(), -1);
  EXPECT_EQ(Variant("1e2").ToInt32(), 100);
  EXPECT_EQ(Variant(true).ToInt32(), -1) << "the platform's True is -1";
  EXPECT_EQ(Variant(false).ToInt32(), 0);
}

TEST(VariantToInt32, HalvesRoundToEven) {
  EXPECT_EQ(Variant(1.5).ToInt32(), 2);
  EXPECT_EQ(Variant(2.5).ToInt32(), 2);
  EXPECT_EQ(Variant(-2.5).ToInt32(), -2);
  EXPECT_EQ(Variant("3.5").ToInt32(), 4);
  EXPECT_EQ(Variant(2.4999).ToInt32(), 2);
}

TEST(VariantToInt32, OutOfRangeOverflows) {
  EXPECT_TALVANE_ERROR(Variant(3e9).ToInt32(), kErrOverflow, kDispatchSource,
                       "Overflow: the number does not fit a 32-bit integer");
  EXPECT_TALVANE_ERROR(Variant(std::numeric_limits<double>::quiet_NaN()).ToInt32(), kErrOverflow, kDispatchSource,
                       "Overflow: the number does not fit a 32-bit integer");
  EXPECT_EQ(Variant(2147483647.0).ToInt32(), 2147483647);
  EXPECT_EQ(Variant(-2147483648.0).ToInt32(), -2147483647 - 1);
}

TEST(VariantToInt32, OtherTextIsATypeMismatch) {
  EXPECT_TALVANE_ERROR(Variant("12abc").ToInt32(), kErrTypeMismatch, kDispatchSource,
                       "Type mismatch: cannot convert the text \"12abc\" to a number");
  EXPECT_TALVANE_ERROR(Variant("").ToInt32(), kErrTypeMismatch, kDispatchSource,
                       "Type mismatch: cannot convert the text \"\" to a number");
  EXPECT_TALVANE_ERROR(Variant("0x10").ToDouble(), kErrTypeMismatch, kDispatchSource,
                       "Type mismatch: cannot convert the text \"0x10\" to a number");
}

TEST(VariantToBool, WordsAndNumbersConvert) {
  EXPECT_FALSE(Variant().ToBool());
  EXPECT_TRUE(Variant("true").ToBool());
  EXPECT_FALSE(Variant(" FALSE ").ToBool());
  EXPECT_TRUE(Variant("-1").ToBool());
  EXPECT_FALSE(Variant("0").ToBool());
  EXPECT_TRUE(Variant(0.5).ToBool());
  EXPECT_FALSE(Variant(0).ToBool());
  EXPECT_TALVANE_ERROR(Variant("yes").ToBool(), kErrTypeMismatch, kDispatchSource,
                       "Type mismatch: cannot convert the text \"yes\" to a boolean");
}

TEST(VariantToString, ScalarsReadAsTheHostWritesThem) {
  EXPECT_EQ(Variant().ToString(), "");
  EXPECT_EQ(Variant(true).ToString(), "True");
  EXPECT_EQ(Variant(false).ToString(), "False");
  EXPECT_EQ(Variant(-42).ToString(), "-42");
  EXPECT_EQ(Variant(1.5).ToString(), "1.5");
  EXPECT_EQ(Variant(100.0).ToString(), "100");
  EXPECT_EQ(Variant(std::string("a\0b", 3)).ToString(), std::string("a\0b", 3));
}

TEST(VariantToObject, OnlyObjectsAndEmptyConvert) {
  EXPECT_TRUE(Variant().ToObject().IsNothing());
  EXPECT_TALVANE_ERROR(Variant(1).ToObject(), kErrTypeMismatch, kDispatchSource,
                       "Type mismatch: cannot convert a number to an object");
  EXPECT_TALVANE_ERROR(Variant("x").ToObject(), kErrTypeMismatch, kDispatchSource,
                       "Type mismatch: cannot convert a text to an object");
}

TEST(VariantFromObject, ScalarsComeFromTheDefaultMember) {
  const DispatchObject field = ClassRegistry::Create("Talvane.Field");
  EXPECT_EQ(Variant(field).ToString(), "[].[]");
  EXPECT_TALVANE_ERROR(Variant(DispatchObject()).ToString(), kErrTypeMismatch, kDispatchSource,
                       "Type mismatch: cannot convert Nothing to a value");
}

TEST(VariantEquality, SameTypeAndValueObjectsByIdentity) {
  EXPECT_EQ(Variant(1), Variant(1));
  EXPECT_NE(Variant(1), Variant(1.0));
  EXPECT_NE(Variant(1), Variant("1"));
  EXPECT_EQ(Variant(kSQLServer), Variant(1));
  EXPECT_EQ(Variant(), Variant());
  const DispatchObject a = ClassRegistry::Create("Talvane.Field");
  const DispatchObject b = ClassRegistry::Create("Talvane.Field");
  EXPECT_EQ(Variant(a), Variant(a));
  EXPECT_NE(Variant(a), Variant(b));
  EXPECT_EQ(Variant(DispatchObject()), Variant(DispatchObject()));
}

}  // namespace
}  // namespace talvane::component
