// The raised error, the published enumerations and the do-nothing INode.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "support/expect_error.hpp"
#include "talvane/foundation/enums.hpp"
#include "talvane/foundation/error.hpp"
#include "talvane/foundation/inode.hpp"

namespace talvane {
namespace {

TEST(Error, DescriptionIsSourceCarriageReturnMessage) {
  const Error e(ObjectError(3), "Exception: Item.ItemType", "Cannot assig kSection or kSeperator to an Item class");
  EXPECT_EQ(e.Number(), static_cast<int32_t>(0x80040003u));
  EXPECT_EQ(e.Source(), "Exception: Item.ItemType");
  EXPECT_EQ(e.Description(), "Exception: Item.ItemType\rCannot assig kSection or kSeperator to an Item class");
  EXPECT_EQ(e.Message(), "Cannot assig kSection or kSeperator to an Item class");
  EXPECT_STREQ(e.what(), e.Description().c_str());
}

TEST(Error, BareNumberHasNoSourceNorDescription) {
  const Error e(3265);
  EXPECT_EQ(e.Number(), 3265);
  EXPECT_EQ(e.Source(), "");
  EXPECT_EQ(e.Description(), "");
}

TEST(Error, RaiseThrowsTheLibraryErrorType) {
  EXPECT_TALVANE_ERROR(Raise(ObjectError(6), "ModOmbrel ParseItem", "Invalid syntax for item"), 0x80040006u,
                       "ModOmbrel ParseItem", "Invalid syntax for item");
  EXPECT_THROW(Raise(1, "s", "m"), std::runtime_error);
}

TEST(Enumerations, HaveThePublishedValues) {
  EXPECT_EQ((std::vector<int32_t>{kLiteral, kField, kArith, kComparisson, kSection, kOpenSection, kSeperator,
                                  kFormula}),
            (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ((std::vector<int32_t>{kIsString, kIsNumeric, kIsDate, kIsTime, kIsBoolean}),
            (std::vector<int32_t>{0, 1, 2, 3, 4}));
  EXPECT_EQ(kAccess, 0);
  EXPECT_EQ(kSQLServer, 1);
  EXPECT_EQ((std::vector<int32_t>{kBase, kAnd, kOr}), (std::vector<int32_t>{0, 1, 2}));
  EXPECT_EQ(sizeof(ITEMTYPEENU), 4u);
}

TEST(Enumerations, ErrorNumbersAreObjectErrorsWithTheirOffsets) {
  const std::vector<std::pair<int32_t, uint32_t>> numbers{
      {ERR_INDEX_OOB, 0x80040001u}, {ERR_DATATYPE, 0x80040002u}, {ERR_ITEMTYPE, 0x80040003u},
      {ERR_CNN_CLOSED, 0x80040004u},
      {ERR_EXCEPT_INDEX_OOB, 0x80040001u}, {ERR_EXCEPT_INVALID_MAINFIELD, 0x80040001u},
      {ERR_EXCEPT_DATATYPE, 0x80040002u}, {ERR_EXCEPT_INVALID_MAINTABLE, 0x80040002u},
      {ERR_EXCEPT_ITEMTYPE, 0x80040003u}, {ERR_EXCEPT_BADLY_FORMED_SEL_FIELD, 0x80040003u},
      {ERR_EXCEPT_CNN_CLOSED, 0x80040004u},
      {ERR_FORM_CNN_CLOSED, 0x80040001u}, {ERR_FORM_DATATYPE, 0x80040002u}, {ERR_FORM_INDEX_OOB, 0x80040003u},
      {ERR_FORM_ITEMTYPE, 0x80040004u},
      {ERR_FIELDLST_CNN_CLOSED, 0x80040001u}, {ERR_FIELDLST_DATATYPE, 0x80040002u},
      {ERR_FIELDLST_INDEX_OOB, 0x80040003u}, {ERR_FIELDLST_ITEMTYPE, 0x80040004u},
      {ERR_FIELD_CNN_CLOSED, 0x80040001u}, {ERR_FIELD_INDEX_OOB, 0x80040002u}, {ERR_FIELD_FNF, 0x80040003u},
      {ERR_FIELD_FORMAT, 0x80040004u}, {ERR_FIELD_INVALIDORDERPOS, 0x80040005u},
      {ERR_FIELD_INVALIDORDERDIR, 0x80040006u}, {ERR_FIELD_INVALIDAGGRAGATE, 0x80040007u},
      {kParseItemError, 0x80040006u},
  };
  for (const auto& [value, expected] : numbers) {
    EXPECT_EQ(value, static_cast<int32_t>(expected)) << std::hex << expected;
    EXPECT_LT(value, 0) << "object errors are negative as signed 32-bit values";
  }
}

TEST(INodeErrorCode, ReturnsItsArgumentForEveryConstant) {
  const auto node = INode::Create();
  for (ERR_INODE errc : {ERR_INDEX_OOB, ERR_DATATYPE, ERR_ITEMTYPE, ERR_CNN_CLOSED}) {
    EXPECT_EQ(node->ERRORCODE(errc), static_cast<int32_t>(errc));
  }
  EXPECT_EQ(node->ERRORCODE(ERR_CNN_CLOSED), static_cast<int32_t>(0x80040004u));
}

TEST(INodeDefaults, PlainNodeDoesNothingAndReturnsEmptyValues) {
  const auto node = INode::Create();
  ASSERT_NE(node, nullptr);
  node->SetName("x");
  node->SetValue(std::string_view("Orders.Amount"));
  node->SetDataType(kIsDate);
  node->SetItemType(kField);
  node->SetDatabaseType(kSQLServer);
  node->SetParent(INode::Create());
  node->SetChild(1, INode::Create());
  node->Clear();
  EXPECT_EQ(node->Name(), "");
  EXPECT_EQ(node->Value(), "");
  EXPECT_EQ(node->SQL(), "");
  EXPECT_EQ(node->SQL(true), "");
  EXPECT_EQ(node->DataType(), kIsString);
  EXPECT_EQ(node->ItemType(), kLiteral);
  EXPECT_EQ(node->DatabaseType(), kAccess);
  EXPECT_EQ(node->Parent(), nullptr);
  EXPECT_EQ(node->Child(1), nullptr);
  EXPECT_EQ(node->Count(), 0);
  EXPECT_FALSE(node->Valid());
}

TEST(INodeDefaults, SetValueLeavesTheCallersTextAlone) {
  const auto node = INode::Create();
  std::string text = "  Orders.Amount  ";
  node->SetValue(text);
  EXPECT_EQ(text, "  Orders.Amount  ");
}

}  // namespace
}  // namespace talvane
