// Item: value forms, literal type detection, the field probe, set references and rendering.
#include <string>
#include <vector>

#include "node_test_support.hpp"
#include "talvane/db/recordset.hpp"
#include "talvane/report/field.hpp"
#include "talvane/report/field_list.hpp"

namespace talvane::test {
namespace {

constexpr int32_t kItemType = ERR_ITEMTYPE;

// ---- Literals -------------------------------------------------------------------------------------------

struct LiteralCase {
  std::string token;
  ITEMDATATYPEENUM type;
  std::string stored;  // Value as read back
};

void PrintTo(const LiteralCase& c, std::ostream* os) { *os << '"' << c.token << '"'; }

class ItemLiteralType : public NodeTest, public testing::WithParamInterface<LiteralCase> {};

TEST_P(ItemLiteralType, TakesTheFirstTypeWhoseTestHolds) {
  auto item = NewItem();
  item->SetValue(std::string_view(GetParam().token));
  EXPECT_EQ(item->ItemType(), kLiteral);
  EXPECT_EQ(item->DataType(), GetParam().type);
  EXPECT_EQ(item->Value(), GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(
    DateNumberBooleanTimeString, ItemLiteralType,
    testing::Values(LiteralCase{"31/12/2001", kIsDate, "31/12/2001"},
                    LiteralCase{"31/12/01", kIsDate, "31/12/01"},
                    LiteralCase{"29/02/2000", kIsDate, "29/02/2000"},
                    // Not dates: they fall through to the later tests and end as strings.
                    LiteralCase{"31/02/2001", kIsString, "\"31/02/2001\""},
                    LiteralCase{"1/2/2001", kIsString, "\"1/2/2001\""},
                    LiteralCase{"01/01/1699", kIsString, "\"01/01/1699\""},
                    LiteralCase{"12.5", kIsNumeric, "12.5"},
                    LiteralCase{"100", kIsNumeric, "100"},
                    LiteralCase{"TRUE", kIsBoolean, "True"},
                    LiteralCase{"false", kIsBoolean, "False"},
                    LiteralCase{"12:30", kIsTime, "12:30"},
                    LiteralCase{"00:00", kIsTime, "00:00"},
                    LiteralCase{"24:00", kIsString, "\"24:00\""},
                    LiteralCase{"12:3", kIsString, "\"12:3\""},
                    LiteralCase{"\"O'Brien\"", kIsString, "\"O'Brien\""},
                    LiteralCase{"\"12\"", kIsString, "\"12\""}));

TEST_F(NodeTest, ItemValueStoresStringWithoutQuotesSoAnEmptyStringIsNotValid) {
  auto item = NewItem();
  item->SetValue(std::string_view("\"\""));
  EXPECT_EQ(item->DataType(), kIsString);
  EXPECT_FALSE(item->Valid());
  item->SetValue(std::string_view("\"a b, (c)\""));
  EXPECT_TRUE(item->Valid());
  EXPECT_EQ(item->SQL(), "'a b, (c)'");
}

TEST_F(NodeTest, ItemValueRewritesTheCallersTextIntoCanonicalForm) {
  auto item = NewItem();
  std::string text = "true";
  item->SetValue(text);
  EXPECT_EQ(text, "True");
}

TEST_F(NodeTest, ItemValueRefusedWhileTheConnectionIsClosedEvenForLiterals) {
  auto item = NewItem();
  database_->Close();
  EXPECT_TALVANE_ERROR(item->SetValue(std::string_view("5")), ERR_CNN_CLOSED, "Exception: Item.Value",
                       "Connection not open");
  EXPECT_EQ(item->Value(), "\"\"");
  auto unconnected = Item::Create();
  EXPECT_TALVANE_ERROR(unconnected->SetValue(std::string_view("5")), ERR_CNN_CLOSED, "Exception: Item.Value",
                       "Connection not open");
}

// ---- Field probe ----------------------------------------------------------------------------------------

struct ColumnCase {
  std::string column;
  ITEMDATATYPEENUM type;
};

void PrintTo(const ColumnCase& c, std::ostream* os) { *os << c.column; }

class ItemFieldProbe : public NodeTest, public testing::WithParamInterface<ColumnCase> {};

TEST_P(ItemFieldProbe, MapsTheColumnTypeCode) {
  auto item = NewItem();
  item->SetValue("AllTypes." + GetParam().column);
  EXPECT_EQ(item->ItemType(), kField);
  EXPECT_EQ(item->DataType(), GetParam().type);
  EXPECT_FALSE(Access::IsSetReference(*item));
}

INSTANTIATE_TEST_SUITE_P(
    AdoTypeGroups, ItemFieldProbe,
    testing::Values(ColumnCase{"ColInt", kIsNumeric}, ColumnCase{"ColBigint", kIsNumeric},
                    ColumnCase{"ColSmallint", kIsNumeric}, ColumnCase{"ColTinyint", kIsNumeric},
                    ColumnCase{"ColReal", kIsNumeric}, ColumnCase{"ColSingle", kIsNumeric},
                    ColumnCase{"ColMoney", kIsNumeric}, ColumnCase{"ColDecimal", kIsNumeric},
                    ColumnCase{"ColDate", kIsDate}, ColumnCase{"ColDatetime", kIsDate},
                    ColumnCase{"ColTimestamp", kIsDate}, ColumnCase{"ColTime", kIsTime},
                    ColumnCase{"ColBit", kIsBoolean}, ColumnCase{"ColChar", kIsString},
                    ColumnCase{"ColNchar", kIsString}, ColumnCase{"ColVarchar", kIsString},
                    ColumnCase{"ColNvarchar", kIsString}));

TEST_F(NodeTest, ItemFieldProbeKeepsThePreviousTypeForAnUnmappedCode) {
  for (const char* column : {"ColMemo", "ColBlob", "ColGuid", "ColNone"}) {
    auto item = NewItem();
    item->SetDataType(kIsBoolean);
    item->SetValue(std::string("AllTypes.") + column);
    EXPECT_EQ(item->DataType(), kIsBoolean) << column;
  }
}

TEST_F(NodeTest, ItemFieldProbeRunsOneQueryAndClosesIt) {
  auto item = NewItem();
  cnn_->ResetCounts();
  item->SetValue(std::string_view("orders.amount"));  // column names match without regard to case
  EXPECT_EQ(item->DataType(), kIsNumeric);
  EXPECT_EQ(item->Value(), "[orders].[amount]");
  ASSERT_EQ(cnn_->Requests(), std::vector<std::string>{"SELECT * FROM [orders] ;"});
  EXPECT_EQ(cnn_->Calls(DbCall::kSetCursorLocation), 1);
  EXPECT_EQ(cnn_->Calls(DbCall::kSetCursorType), 1);
  EXPECT_EQ(cnn_->Calls(DbCall::kSetLockType), 1);
  EXPECT_EQ(cnn_->Calls(DbCall::kClose), 1);
  EXPECT_EQ(cnn_->OpenRecordsets(), 0);
}

TEST_F(NodeTest, ItemFieldProbeAcceptsBracketedNamesWithBlanks) {
  auto item = NewItem();
  cnn_->ResetCounts();
  item->SetValue(std::string_view("[Order Lines].[Unit Price]"));
  EXPECT_EQ(item->DataType(), kIsNumeric);
  EXPECT_EQ(cnn_->Requests(), std::vector<std::string>{"SELECT * FROM [Order Lines] ;"});
  EXPECT_EQ(item->Table(), "[Order Lines]");
  EXPECT_EQ(item->Field(), "[Unit Price]");
}

TEST_F(NodeTest, ItemFieldProbeClosesItsRecordsetWhenTheDatabaseFails) {
  auto item = NewItem();
  item->SetDataType(kIsDate);
  const talvane::Error failure(db::kErrUnspecified, "Provider", "disk on fire");
  cnn_->FailCall(DbCall::kFieldType, 1, failure);
  EXPECT_TALVANE_ERROR(item->SetValue(std::string_view("Orders.Amount")), db::kErrUnspecified, "Provider",
                       "disk on fire");
  EXPECT_EQ(cnn_->OpenRecordsets(), 0);
  EXPECT_EQ(cnn_->AbandonedRecordsets(), 0);
  // Kind and text are stored before the probe; the type keeps its previous value.
  EXPECT_EQ(item->ItemType(), kField);
  EXPECT_EQ(item->DataType(), kIsDate);
  EXPECT_FALSE(Access::IsSetReference(*item));
}

TEST_F(NodeTest, ItemFieldWithoutADotIsAFormatErrorNotASetReference) {
  auto report = NewReport();
  auto formula = AddFormula(report, "Orders.Amount > 1");
  auto item = NewItem(formula->Node(1));
  cnn_->ResetCounts();
  EXPECT_TALVANE_ERROR(item->SetValue(std::string_view("Amount")), kItemType, "Exception: Item.Value",
                       "Invalid field format for item");
  EXPECT_FALSE(Access::IsSetReference(*item));
  EXPECT_FALSE(item->IsInSet("Amount"));
  EXPECT_EQ(cnn_->Calls(DbCall::kAny), 0);
}

TEST_F(NodeTest, ItemFieldRefusesEmptyPartsAndBracketsThatWouldBreakOutOfTheName) {
  auto item = NewItem();
  cnn_->ResetCounts();
  for (const char* token : {"Orders.", "[].[Amount]", "Orders.[a] OR 1=1 --]", "[Orders]] ; x].Amount"}) {
    EXPECT_TALVANE_ERROR(item->SetValue(std::string_view(token)), kItemType, "Exception: Item.Value",
                         "Invalid field format for item");
    EXPECT_FALSE(Access::IsSetReference(*item)) << token;
  }
  EXPECT_EQ(cnn_->Calls(DbCall::kAny), 0);
}

TEST_F(NodeTest, ItemFieldAndTableNeedAUsableDot) {
  auto item = NewItem();
  EXPECT_ANY_THROW(item->SetValue(std::string_view("Orders.")));
  // The kind and text were stored before the refusal: the table part is there, the column part is not.
  EXPECT_EQ(item->Table(), "[Orders]");
  EXPECT_TALVANE_ERROR(item->Field(), kItemType, "Exception: Item.Field", "Invalid field format for item");

  auto dotFirst = NewItem();
  dotFirst->SetValue(std::string_view(".Amount"));  // a literal: only letters and "[" start a field
  EXPECT_EQ(dotFirst->ItemType(), kLiteral);
  EXPECT_TALVANE_ERROR(dotFirst->Field(), kItemType, "Exception: Item.Field",
                       "Field cannot be accessed for non field item");
  EXPECT_TALVANE_ERROR(dotFirst->Table(), kItemType, "Exception: Item.Table",
                       "Table cannot be accessed for non field item");
  dotFirst->SetItemType(kField);
  EXPECT_EQ(dotFirst->Field(), "[Amount]");
  EXPECT_TALVANE_ERROR(dotFirst->Table(), kItemType, "Exception: Item.Table", "Invalid field format for item");
}

// ---- Set references -------------------------------------------------------------------------------------

TEST_F(NodeTest, ItemSetReferenceOutsideAReportIsRefusedClearly) {
  auto item = NewItem();
  const auto error = CaptureError([&] { item->SetValue(std::string_view("Totals.Amount")); });
  EXPECT_EQ(error.Number(), kItemType);
  EXPECT_EQ(error.Source(), "Exception: Item.Value");
  EXPECT_NE(error.Message().find("report"), std::string::npos) << error.Message();
  EXPECT_EQ(cnn_->OpenRecordsets(), 0);

  // A formula made outside a list cannot reach a report either.
  auto formula = NewFormula();
  EXPECT_EQ(CaptureError([&] { formula->SetValue(std::string_view("Totals.Amount > 1")); }).Source(),
            "Exception: Item.Value");
}

TEST_F(NodeTest, ItemSetReferenceTakesTheTypeOfTheSetsColumn) {
  auto report = NewReport();
  AddFormula(report, "Orders.Amount > 5", "Big");
  auto user = AddFormula(report, "big.Amount > 10");
  auto item = FirstItemOf(user, 1);
  ASSERT_NE(item, nullptr);
  EXPECT_TRUE(Access::IsSetReference(*item));
  EXPECT_TRUE(item->IsInSet("Big"));
  EXPECT_TRUE(item->IsInSet("[BIG]"));
  EXPECT_FALSE(item->IsInSet("Orders"));
  EXPECT_EQ(item->DataType(), kIsNumeric);
  EXPECT_EQ(user->SQL(), "ISNULL([big].[Amount], 0) > 10");
  EXPECT_EQ(cnn_->OpenRecordsets(), 0);
  EXPECT_EQ(cnn_->AbandonedRecordsets(), 0);
}

TEST_F(NodeTest, ItemMissingColumnOfARealTableIsASetReferenceToo) {
  auto report = NewReport();
  auto formula = AddFormula(report, "Orders.NoSuchColumn = \"x\"");
  auto item = FirstItemOf(formula, 1);
  EXPECT_TRUE(item->IsInSet("Orders"));
  EXPECT_EQ(item->DataType(), kIsString);
}

TEST_F(NodeTest, ItemLookupFieldTypeAcceptsBracketedReferences) {
  auto item = NewItem();
  EXPECT_EQ(Access::LookupFieldType(*item, "[Orders].[Placed]"), kIsDate);
  EXPECT_EQ(item->DataType(), kIsDate);
}

// ---- Plain members --------------------------------------------------------------------------------------

TEST_F(NodeTest, ItemTypeRefusesGroupAndSeparatorKinds) {
  auto item = NewItem();
  EXPECT_TALVANE_ERROR(item->SetItemType(kSection), kItemType, "Exception: Item.ItemType",
                       "Cannot assig kSection or kSeperator to an Item class");
  EXPECT_TALVANE_ERROR(item->SetItemType(kSeperator), kItemType, "Exception: Item.ItemType",
                       "Cannot assig kSection or kSeperator to an Item class");
  EXPECT_EQ(item->ItemType(), kLiteral);
  item->SetItemType(kFormula);
  EXPECT_EQ(item->ItemType(), kFormula);
}

TEST_F(NodeTest, ItemClearTurnsANewLiteralIntoAnEmptyField) {
  auto section = NewSection();
  auto item = NewItem(section);
  item->SetName("[Big]");
  item->SetValue(std::string_view("5"));
  item->Clear();
  EXPECT_EQ(item->ItemType(), kField);
  EXPECT_EQ(item->DataType(), kIsString);
  EXPECT_EQ(item->Parent(), nullptr);
  EXPECT_EQ(item->Name(), "");
  EXPECT_FALSE(item->Valid());
  EXPECT_EQ(item->DatabaseType(), kSQLServer);
}

TEST_F(NodeTest, ItemHasNoChildren) {
  auto item = NewItem();
  EXPECT_EQ(item->Count(), 0);
  INode& node = *item;
  EXPECT_TALVANE_ERROR(node.Child(1), ERR_INDEX_OOB, "Exception: (Item)INode.Child", "Index out of bounds");
  EXPECT_TALVANE_ERROR(node.SetChild(0, nullptr), ERR_INDEX_OOB, "Exception: (Item)INode.Child",
                       "Index out of bounds");
}

// ---- Rendering ------------------------------------------------------------------------------------------

struct RenderCase {
  std::string token;
  std::string sqlServer;
  std::string access;
};

void PrintTo(const RenderCase& c, std::ostream* os) { *os << '"' << c.token << '"'; }

class ItemLiteralSQL : public NodeTest, public testing::WithParamInterface<RenderCase> {};

TEST_P(ItemLiteralSQL, RendersForEachDialect) {
  for (const auto& [dialect, expected] : {std::pair{kSQLServer, GetParam().sqlServer},
                                          std::pair{kAccess, GetParam().access}}) {
    auto item = NewItem(nullptr, dialect);
    item->SetValue(std::string_view(GetParam().token));
    EXPECT_EQ(item->SQL(), expected) << (dialect == kAccess ? "Access" : "SQL Server");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Literals, ItemLiteralSQL,
    testing::Values(RenderCase{"\"O'Brien\"", "'O''Brien'", "'O''Brien'"},
                    RenderCase{"31/12/2001", "CONVERT(DATETIME, '2001-12-31 00:00:00', 102)", "#12/31/2001#"},
                    RenderCase{"01/02/03", "CONVERT(DATETIME, '2003-02-01 00:00:00', 102)", "#02/01/2003#"},
                    RenderCase{"05/06/45", "CONVERT(DATETIME, '1945-06-05 00:00:00', 102)", "#06/05/1945#"},
                    RenderCase{"TRUE", "1", "True"},
                    RenderCase{"False", "0", "False"},
                    RenderCase{"12.5", "12.5", "12.5"},
                    // A bare 12:30 is no SQL in either dialect.
                    RenderCase{"12:30", "'12:30'", "#12:30#"},
                    RenderCase{"*", "*", "*"}));

struct FieldRenderCase {
  std::string reference;
  ITEMDATATYPEENUM context;
  DATABASETYPEENU dialect;
  std::string expected;
};

void PrintTo(const FieldRenderCase& c, std::ostream* os) {
  *os << c.reference << " in context " << c.context << (c.dialect == kAccess ? " (Access)" : " (SQL Server)");
}

class ItemFieldSQL : public NodeTest, public testing::WithParamInterface<FieldRenderCase> {};

TEST_P(ItemFieldSQL, WrapsNullsAndConvertsInTextContexts) {
  auto section = NewSection(GetParam().dialect);
  section->SetDataType(GetParam().context);
  auto item = NewItem(section, GetParam().dialect);
  item->SetValue(GetParam().reference);
  EXPECT_EQ(item->SQL(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Contexts, ItemFieldSQL,
    testing::Values(
        FieldRenderCase{"Orders.Amount", kIsNumeric, kSQLServer, "ISNULL([Orders].[Amount], 0)"},
        FieldRenderCase{"Orders.Amount", kIsString, kSQLServer, "CONVERT(nvarchar, ISNULL([Orders].[Amount], 0), 0)"},
        FieldRenderCase{"Orders.Placed", kIsString, kSQLServer, "CONVERT(nvarchar, [Orders].[Placed], 3)"},
        FieldRenderCase{"Customers.Active", kIsString, kSQLServer, "CONVERT(nvarchar, [Customers].[Active], 0)"},
        FieldRenderCase{"Orders.Status", kIsString, kSQLServer, "[Orders].[Status]"},
        FieldRenderCase{"Orders.Placed", kIsDate, kSQLServer, "[Orders].[Placed]"},
        FieldRenderCase{"Orders.Amount", kIsNumeric, kAccess, "IIF(ISNULL([Orders].[Amount]), 0, [Orders].[Amount])"},
        FieldRenderCase{"Orders.Amount", kIsString, kAccess, "IIF(ISNULL([Orders].[Amount]), 0, [Orders].[Amount])"},
        FieldRenderCase{"Orders.Placed", kIsString, kAccess, "[Orders].[Placed]"},
        FieldRenderCase{"[Order Lines].[Unit Price]", kIsNumeric, kSQLServer, "ISNULL([Order Lines].[Unit Price], 0)"}));

TEST_F(NodeTest, ItemFieldSQLNamesTheSetWhenShowSetsIsAsked) {
  auto section = NewSection();
  section->SetDataType(kIsNumeric);
  auto item = NewItem(section);
  item->SetName("Big Orders");
  item->SetValue(std::string_view("Orders.Amount"));
  EXPECT_EQ(item->SQL(true), "ISNULL([Big Orders].[Amount], 0)");
  EXPECT_EQ(item->SQL(false), "ISNULL([Orders].[Amount], 0)");
  item->SetName("");
  EXPECT_EQ(item->SQL(true), "ISNULL([Orders].[Amount], 0)");
}

TEST_F(NodeTest, ItemFieldSQLNeedsAParentThatKnowsItsType) {
  auto section = NewSection();
  auto item = NewItem(section);
  item->SetValue(std::string_view("Orders.Amount"));
  EXPECT_TALVANE_ERROR(item->SQL(), kItemType, "Exception: Section.DataType",
                       "DataType not set yet, section is open");
  // An item on its own renders in its own type.
  auto alone = NewItem();
  alone->SetValue(std::string_view("Orders.Placed"));
  EXPECT_EQ(alone->SQL(), "[Orders].[Placed]");
}

TEST_F(NodeTest, ItemLiteralSQLRefusesATypeItsTextCannotHold) {
  auto item = NewItem();
  item->SetValue(std::string_view("\"abc\""));
  item->SetDataType(kIsDate);
  EXPECT_EQ(CaptureError([&] { (void)item->SQL(); }).Number(), ERR_DATATYPE);
  item->SetDataType(kIsTime);
  EXPECT_EQ(CaptureError([&] { (void)item->SQL(); }).Number(), ERR_DATATYPE);
}

TEST_F(NodeTest, ItemRendersDatesAndBooleansAsNothingForAnUnknownDialect) {
  const auto unknown = static_cast<DATABASETYPEENU>(7);
  for (const char* token : {"31/12/2001", "TRUE"}) {
    auto item = NewItem(nullptr, unknown);
    item->SetValue(std::string_view(token));
    EXPECT_EQ(item->SQL(), "") << token;
  }
}

}  // namespace
}  // namespace talvane::test
