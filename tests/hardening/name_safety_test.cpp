// Regression tests of the injection suite's and the fuzzers' findings: names and literals that could not stay
// inside their brackets or quotes, and database failures that were swallowed or left a recordset open.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

#include "support/counting_connection.hpp"
#include "support/expect_error.hpp"
#include "support/sqlite_fixture.hpp"
#include "talvane/db/schema_lookup.hpp"
#include "talvane/formula/formula.hpp"
#include "talvane/formula/item.hpp"
#include "talvane/formula/parse_item.hpp"
#include "talvane/formula/section.hpp"
#include "talvane/foundation/brackets.hpp"
#include "talvane/foundation/error.hpp"
#include "talvane/report/exception.hpp"
#include "talvane/report/field.hpp"
#include "talvane/report/field_list.hpp"
#include "talvane/report/formula_list.hpp"

namespace talvane::test {
namespace {

using std::string_literals::operator""s;

TEST(CanBracket, RefusesBracketsAndNulAndTakesEverythingElse) {
  EXPECT_TRUE(CanBracket("Order Lines"));
  EXPECT_TRUE(CanBracket("x; DROP TABLE y; --"));
  EXPECT_TRUE(CanBracket("K\xC3\xA4se\r\n"));
  EXPECT_TRUE(CanBracket(""));
  EXPECT_FALSE(CanBracket("a]b"));
  EXPECT_FALSE(CanBracket("[a"));
  EXPECT_FALSE(CanBracket("a\0b"s));
}

class NameSafety : public ::testing::Test {
 protected:
  void SetUp() override {
    database_ = MakeStandardDatabase();
    // Names a host would never choose, but a database may have: brackets inside.
    RunSql(*database_, R"(CREATE TABLE "x]y" (CustID INTEGER, "a]b" TEXT); ALTER TABLE Orders ADD COLUMN "c]d" TEXT;)");
    connection_ = CountingConnection::Create(database_);
    report_ = Exception::Create();
    report_->SetConnection(connection_);
    report_->SetMainTable("Customers");
    report_->SetMainField("CustID");
  }

  std::shared_ptr<Field> NewField(std::string_view reference) {
    report_->Fields()->AddNew();
    const auto field = report_->Fields()->Field();
    field->SetValue(reference);
    return field;
  }

  std::shared_ptr<db::SqliteConnection> database_;
  std::shared_ptr<CountingConnection> connection_;
  std::shared_ptr<Exception> report_;
};

TEST_F(NameSafety, MainTableAndMainFieldRefuseANulByteAndKeepTheirValue) {
  for (const std::string& text : {"Cust\0omers"s, "Customers\0"s, "[x\0]"s}) {
    EXPECT_EQ(CaptureError([&] { report_->SetMainTable(text); }).Number(), ERR_EXCEPT_INVALID_MAINFIELD);
    EXPECT_EQ(CaptureError([&] { report_->SetMainField(text); }).Number(), ERR_EXCEPT_INVALID_MAINFIELD);
  }
  EXPECT_EQ(report_->MainTable(), "[Customers]");
  EXPECT_EQ(report_->MainField(), "[CustID]");
}

TEST_F(NameSafety, OutputNameRefusesANulByte) {
  const auto field = NewField("Orders.Status");
  EXPECT_TALVANE_ERROR(field->SetName("Sta\0tus"s), ERR_FIELD_FORMAT, "Exception: Field.Name", "Invalid field name");
  EXPECT_EQ(field->Name(), "[Status]");
}

TEST_F(NameSafety, FieldReferenceRefusesPartsThatCannotStayInsideBracketsEvenWhenTheDatabaseHasThem) {
  const auto field = NewField("Orders.Status");
  connection_->ResetCounts();
  for (const std::string& text : {"[x]y].CustID"s, "x]y.CustID"s, "Orders.[c]d]"s, "Orders.c]d"s, "Orders.Sta\0tus"s}) {
    SCOPED_TRACE(text);
    EXPECT_TALVANE_ERROR(field->SetValue(text), ERR_FIELD_FORMAT, "Exception: Field.Field", "Invalid field format");
  }
  EXPECT_TALVANE_ERROR(field->SetFieldOnly("c]d"), ERR_FIELD_FORMAT, "Exception: Field.Field", "Invalid field format");
  EXPECT_TALVANE_ERROR(field->SetFieldOnly("Sta\0tus"s), ERR_FIELD_FORMAT, "Exception: Field.Field",
                       "Invalid field format");
  // Refused before any look-up: no probe ever carried the name to the database.
  EXPECT_EQ(connection_->Calls(DbCall::kAny), 0);
  EXPECT_EQ(field->Value(), "[Orders].[Status]");
  EXPECT_EQ(report_->SQL().find("]]"), std::string::npos);
}

TEST_F(NameSafety, FormulaNameRefusesADotOrANulByteAndKeepsItsName) {
  report_->Formulae()->AddNew();
  const auto formula = report_->Formulae()->Formula();
  formula->SetName("Big");
  for (const std::string& text : {"a.b"s, "[a].[b]"s, "Bi\0g"s, "x]y"s}) {
    SCOPED_TRACE(text);
    EXPECT_EQ(CaptureError([&] { formula->SetName(text); }).Number(), ERR_ITEMTYPE);
  }
  EXPECT_EQ(formula->Name(), "[Big]");
}

TEST_F(NameSafety, SectionAndItemNamesRefuseWhatCannotStandForATable) {
  report_->Formulae()->AddNew();
  const auto formula = report_->Formulae()->Formula();
  formula->SetName("Big");
  formula->SetValue(std::string_view("Orders.Amount > 5"));
  const auto section = std::dynamic_pointer_cast<Section>(formula->Node(1));
  const auto item = std::dynamic_pointer_cast<Item>(section->Node(1));
  ASSERT_TRUE(section && item);
  for (const std::string& text : {"a.b"s, "x]y"s, "B\0ig"s}) {
    SCOPED_TRACE(text);
    EXPECT_TALVANE_ERROR(section->SetName(text), ERR_ITEMTYPE, "Exception: Section.Name", "Invalid set name");
    EXPECT_TALVANE_ERROR(item->SetName(text), ERR_ITEMTYPE, "Exception: Item.Name", "Invalid set name");
  }
  EXPECT_EQ(section->Name(), "Big");
  EXPECT_EQ(item->Name(), "[Big]");
  EXPECT_EQ(formula->SQL(true), "ISNULL([Big].[Amount], 0) > 5");
}

TEST_F(NameSafety, AStringLiteralCannotHoldANulByte) {
  std::string rest = "\"a\0b\" = 1"s;
  EXPECT_TALVANE_ERROR(ParseItem(rest), kParseItemError, "ModOmbrel ParseItem", "Invalid syntax for item");

  report_->Formulae()->AddNew();
  const auto formula = report_->Formulae()->Formula();
  EXPECT_THROW(formula->SetValue("Customers.CustName = \"x\0; DROP TABLE Orders\""s), talvane::Error);
  EXPECT_EQ(formula->ErrorPos(), 21) << "the literal is the refused item";
  EXPECT_EQ(report_->SQL().find('\0'), std::string::npos);
}

TEST_F(NameSafety, AnItemWrittenDirectlyCannotHoldANulByte) {
  report_->Formulae()->AddNew();
  const auto formula = report_->Formulae()->Formula();
  formula->SetValue(std::string_view("Customers.CustName = \"x\""));
  const auto item = std::dynamic_pointer_cast<Item>(formula->Node(2)->Child(1));
  ASSERT_TRUE(item);
  EXPECT_TALVANE_ERROR(item->SetValue("\"y\0\""s), ERR_ITEMTYPE, "Exception: Item.Value", "Invalid character in item");
  EXPECT_EQ(item->Value(), "\"x\"");
}

TEST_F(NameSafety, AFieldLookUpThatTheDatabaseFailsRaisesAndKeepsTheField) {
  const auto field = NewField("Orders.Status");
  // The second schema request of the next look-up fails: the write must say so, not end quietly with the
  // field half found.
  connection_->FailCall(DbCall::kOpenSchema, 2, talvane::Error(db::kErrUnspecified, "Provider", "link down"));
  const talvane::Error error = CaptureError([&] { field->SetValue("Customers.CustName"); });
  EXPECT_EQ(error.Number(), db::kErrUnspecified);
  EXPECT_EQ(error.Description(), "Provider\rlink down");
  EXPECT_EQ(field->Value(), "[Orders].[Status]");
  EXPECT_EQ(field->Name(), "[Status]");
  EXPECT_EQ(connection_->OpenRecordsets(), 0);
}

TEST_F(NameSafety, AFieldProbeWhoseCloseFailsIsStillClosed) {
  report_->Fields()->AddNew();
  const auto field = report_->Fields()->Field();
  // Closes of one look-up: the tables and columns schema requests, then the probe.
  connection_->FailCall(DbCall::kClose, 3, talvane::Error(db::kErrUnspecified, "Provider", "close failed"));
  EXPECT_THROW(field->SetValue("Orders.Amount"), talvane::Error);
  EXPECT_EQ(connection_->OpenRecordsets(), 0);
  EXPECT_EQ(connection_->AbandonedRecordsets(), 0);
  field->SetValue("Orders.Amount");
  EXPECT_TRUE(field->Total());
}

TEST_F(NameSafety, TheDatabaseLayerRefusesACommandTextWithANulByte) {
  // SQLite would run "SELECT 1 " and silently drop the rest; the command is refused whole instead.
  const auto recordset = database_->NewRecordset();
  const talvane::Error error = CaptureError([&] { recordset->Open("SELECT 1 \0; DROP TABLE Orders"s, database_); });
  EXPECT_EQ(error.Number(), db::kErrCommandText);
  EXPECT_EQ(recordset->State(), db::kAdStateClosed);
  EXPECT_TRUE(TableHasColumn("Orders", "OrderID", database_));
}

}  // namespace
}  // namespace talvane::test
