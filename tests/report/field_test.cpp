#include "report/report_test_support.hpp"

namespace talvane::test {
namespace {

constexpr const char* kFieldSource = "Exception: Field.Field";
constexpr const char* kNotFound = "Field Not found in database and is not in a Set.";

class FieldTest : public ReportTest {
 protected:
  // Everything a failed write must leave alone.
  struct Snapshot {
    std::string value, fieldOnly, table, name;
    bool total, inSet;
    bool operator==(const Snapshot&) const = default;
  };
  static Snapshot Take(const Field& field) {
    return {field.Value(), field.FieldOnly(), field.Table(), field.Name(), field.Total(), field.IsInSet()};
  }
};

TEST_F(FieldTest, NewFieldIsUnlocated) {
  const auto field = AddField();
  EXPECT_EQ(field->Value(), "[].[]");
  EXPECT_EQ(field->FieldOnly(), "");
  EXPECT_EQ(field->Table(), "");
  EXPECT_EQ(field->Name(), "");
  EXPECT_FALSE(field->Ordered());
  EXPECT_EQ(field->OrderPos(), 0);
  EXPECT_EQ(field->OrderDirection(), "Ascending");
  EXPECT_FALSE(field->Total());
  EXPECT_FALSE(field->Aggragate());
  EXPECT_FALSE(field->IsInSet());
  EXPECT_TALVANE_ERROR(field->FieldInSet(), kErr4, "Exception: Field.FieldInSet", "Field is not in a set");
  EXPECT_TALVANE_ERROR(field->NameOfSet(), kErr4, "Exception: Field.NameOfSet", "Field is not in a set");
}

TEST_F(FieldTest, LocatesACurrencyColumnAsATotal) {
  const auto field = AddField("Orders.Amount");
  EXPECT_EQ(field->Table(), "[Orders]");
  EXPECT_EQ(field->FieldOnly(), "[Amount]");
  EXPECT_EQ(field->Value(), "[Orders].[Amount]");
  EXPECT_EQ(field->Name(), "[Amount]");
  EXPECT_TRUE(field->Total());
  EXPECT_FALSE(field->IsInSet());
  EXPECT_FALSE(AddField("Orders.Status")->Total());
  EXPECT_FALSE(AddField("Orders.Qty")->Total());
}

TEST_F(FieldTest, BracketedAndBareReferencesAgree) {
  const auto bare = AddField("Orders.Amount");
  const auto bracketed = AddField("[Orders].[Amount]");
  EXPECT_EQ(bracketed->Value(), bare->Value());
  EXPECT_TRUE(bracketed->Total());
}

TEST_F(FieldTest, CurrencyColumnWithABlankInATableWithABlankIsATotal) {
  const auto field = AddField("[Order Lines].[Unit Price]");
  EXPECT_EQ(field->Value(), "[Order Lines].[Unit Price]");
  EXPECT_TRUE(field->Total());
  EXPECT_FALSE(AddField("[Order Lines].[Line No]")->Total());
}

TEST_F(FieldTest, MalformedReferencesChangeNothing) {
  const auto field = AddField("Orders.Status");
  const Snapshot before = Take(*field);
  for (const char* text : {"Amount", ".Amount", "Orders.", "1.5", ""}) {
    EXPECT_TALVANE_ERROR(field->SetValue(text), kErr4, kFieldSource, "Invalid field format");
    EXPECT_EQ(Take(*field), before) << text;
  }
  EXPECT_TALVANE_ERROR(field->SetFieldOnly("Orders.Amount"), kErr4, kFieldSource, "Invalid field format");
  EXPECT_TALVANE_ERROR(field->SetFieldOnly(""), kErr4, kFieldSource, "Invalid field format");
  EXPECT_EQ(Take(*field), before);
}

TEST_F(FieldTest, FieldOnlyLooksInTheTableTheFieldHas) {
  const auto field = AddField("Orders.Status");
  field->SetFieldOnly("[Qty]");
  EXPECT_EQ(field->Value(), "[Orders].[Qty]");
  // RegionName exists, but not in Orders, and no set is named Orders.
  EXPECT_TALVANE_ERROR(field->SetFieldOnly("RegionName"), kErr3, "Field.TestField", kNotFound);
  EXPECT_EQ(field->Value(), "[Orders].[Qty]");
}

TEST_F(FieldTest, SecondDotStaysInTheColumnPart) {
  const auto field = AddField("Orders.Status");
  EXPECT_TALVANE_ERROR(field->SetValue("Orders.Status.x"), kErr3, "Field.TestField", kNotFound);
  EXPECT_EQ(field->Value(), "[Orders].[Status]");
}

TEST_F(FieldTest, ColumnOfASetIsFoundInTheTablesOfTheSetsFirstFormula) {
  AddFormula("Orders.Amount > 100", "BigSpenders");
  const auto field = AddField("BigSpenders.Total");
  EXPECT_EQ(field->Table(), "[Orders]");
  EXPECT_EQ(field->FieldOnly(), "[Total]");
  EXPECT_TRUE(field->IsInSet());
  EXPECT_EQ(field->NameOfSet(), "[BigSpenders]");
  EXPECT_EQ(field->FieldInSet(), "[BigSpenders].[Total]");
  EXPECT_TRUE(field->Total());
  field->SetName("Sum Total");
  EXPECT_EQ(field->FieldInSet(), "[BigSpenders].[Sum Total]");
}

TEST_F(FieldTest, ColumnNeitherInTheDatabaseNorInASetIsRefused) {
  const auto field = AddField("Orders.Status");
  const Snapshot before = Take(*field);
  EXPECT_TALVANE_ERROR(field->SetValue("Nowhere.Amount"), kErr3, "Field.TestField", kNotFound);
  EXPECT_EQ(Take(*field), before);
  AddFormula("Orders.Amount > 100", "Big");
  EXPECT_TALVANE_ERROR(field->SetValue("Big.Nothing"), kErr3, "Field.TestField", kNotFound);
  EXPECT_EQ(Take(*field), before);
}

TEST_F(FieldTest, SetDrawingOnATableNamedLikeItselfEndsInNotFound) {
  AddFormula("Loop.Amount > 1", "Loop");
  const auto field = AddField("Orders.Status");
  const Snapshot before = Take(*field);
  EXPECT_TALVANE_ERROR(field->SetValue("Loop.Amount"), kErr3, "Field.TestField", kNotFound);
  EXPECT_EQ(Take(*field), before);
}

TEST_F(FieldTest, SetsNamingEachOtherEndInNotFound) {
  AddFormula("Ping.Amount > 1", "Pong");
  AddFormula("Pong.Amount > 1", "Ping");
  const auto field = AddField("Orders.Status");
  const Snapshot before = Take(*field);
  EXPECT_TALVANE_ERROR(field->SetValue("Ping.Amount"), kErr3, "Field.TestField", kNotFound);
  EXPECT_EQ(Take(*field), before);
}

TEST_F(FieldTest, SetDrawingOnAnotherSetIsFollowed) {
  AddFormula("Orders.Amount > 1", "Inner");
  AddFormula("Inner.Amount > 5", "Outer");
  const auto field = AddField("Outer.Amount");
  EXPECT_EQ(field->Value(), "[Orders].[Amount]");
  EXPECT_EQ(field->NameOfSet(), "[Outer]");
}

TEST_F(FieldTest, ClosedConnectionFailsTheLookupAndChangesNothing) {
  const auto field = AddField("Orders.Status");
  const Snapshot before = Take(*field);
  database_->Close();
  EXPECT_TALVANE_ERROR(field->SetValue("Orders.Amount"), kErr1, "Exception: Field.TestField", "Connection not open");
  EXPECT_EQ(Take(*field), before);
}

TEST_F(FieldTest, FailedNamingAfterASuccessfulLookupPutsTheFieldBack) {
  const auto field = AddField();
  const auto closed = MakeStandardDatabase();
  closed->Close();
  // The list can no longer read its fields, while the field itself still reaches the database: the
  // look-up succeeds and the default name cannot be made unique.
  Access::SetConnection(*fields_, closed);
  Access::SetConnection(*field, database_);
  const Snapshot before = Take(*field);
  EXPECT_ANY_THROW(field->SetValue("Orders.Amount"));
  EXPECT_EQ(Take(*field), before);
}

TEST_F(FieldTest, ClashingNamesGetANumericTail) {
  EXPECT_EQ(AddField("Orders.Amount")->Name(), "[Amount]");
  EXPECT_EQ(AddField("Orders.Amount")->Name(), "[Amount1]");
  EXPECT_EQ(AddField("Orders.Amount")->Name(), "[Amount2]");
}

TEST_F(FieldTest, NumericTailIsRaisedByOneAndNeverTakesTheFirstCharacter) {
  const auto first = AddField("Orders.Amount");
  const auto second = AddField("Orders.Qty");
  first->SetName("Amount9");
  second->SetName("amount9");
  EXPECT_EQ(second->Name(), "[amount10]");
  first->SetName("123");
  second->SetName("123");
  EXPECT_EQ(second->Name(), "[124]");
  first->SetName("5");
  second->SetName("5");
  EXPECT_EQ(second->Name(), "[51]");
  first->SetName("Amount099");
  second->SetName("Amount099");
  EXPECT_EQ(second->Name(), "[Amount100]");
}

TEST_F(FieldTest, RenamingToItsOwnNameInAnotherCaseIsNoClash) {
  const auto field = AddField("Orders.Amount");
  field->SetName("AMOUNT");
  EXPECT_EQ(field->Name(), "[AMOUNT]");
}

TEST_F(FieldTest, OnlyTheMainFieldsColumnMayCarryItsName) {
  const auto key = AddField("Customers.CustID");
  const auto other = AddField("Customers.CustName");
  key->SetName("custid");
  EXPECT_EQ(key->Name(), "[custid]");
  other->SetName("[CUSTID]");
  EXPECT_EQ(other->Name(), "[CustName]");
}

TEST_F(FieldTest, NameWriteTrimsStripsAndDefaultsToTheColumn) {
  const auto field = AddField("Orders.Amount");
  field->SetName("  [Money]\t");
  EXPECT_EQ(field->Name(), "[Money]");
  field->SetName(" \t ");
  EXPECT_EQ(field->Name(), "[Amount]");
  field->SetName("Net.Amount");
  EXPECT_EQ(field->Name(), "[Net.Amount]");
}

TEST_F(FieldTest, NameWithABracketInsideIsRefused) {
  const auto field = AddField("Orders.Amount");
  for (const char* text : {"a]b", "[a]b]", "x[y"}) {
    EXPECT_TALVANE_ERROR(field->SetName(text), kErr4, "Exception: Field.Name", "Invalid field name");
    EXPECT_EQ(field->Name(), "[Amount]") << text;
  }
}

TEST_F(FieldTest, AggregateFunctionIsOneOfSixWords) {
  const auto field = AddField("Orders.Amount");
  field->SetAggragateFunction(" avg\t");
  EXPECT_EQ(field->AggragateFunction(), "AVG");
  EXPECT_TRUE(field->Aggragate());
  const char* message = "Invalid aggragate function. Must be 'SUM', 'COUNT', 'MAX', 'MIN', 'AVG', or 'TOTAL'.";
  EXPECT_TALVANE_ERROR(field->SetAggragateFunction(""), kErr7, "Exception: Field.AggragateFunction", message);
  EXPECT_TALVANE_ERROR(field->SetAggragateFunction("median"), kErr7, "Exception: Field.AggragateFunction", message);
  EXPECT_EQ(field->AggragateFunction(), "AVG");
  field->SetAggragateFunction("total");
  EXPECT_EQ(field->AggragateFunction(), "TOTAL");
}

TEST_F(FieldTest, OrderDirectionTakesEitherWordInAnyCase) {
  const auto field = AddField("Orders.Amount");
  EXPECT_EQ(Access::OrderKeyword(*field), "ASC");
  field->SetOrderDirection("dEsCeNdInG");
  EXPECT_EQ(field->OrderDirection(), "Descending");
  EXPECT_EQ(Access::OrderKeyword(*field), "DESC");
  EXPECT_TALVANE_ERROR(field->SetOrderDirection("down"), kErr6, "Field.OderDirection",
                       "Invalid order direction. Must be 'Ascending' or 'Descending'.");
  EXPECT_EQ(field->OrderDirection(), "Descending");
  field->SetOrderDirection("ASCENDING");
  EXPECT_EQ(field->OrderDirection(), "Ascending");
}

TEST_F(FieldTest, ClearKeepsOrderDirectionTotalAndFunction) {
  const auto field = AddField("Orders.Amount");
  field->SetOrdered(true);
  field->SetOrderDirection("Descending");
  field->SetAggragateFunction("SUM");
  field->Clear();
  EXPECT_EQ(field->Value(), "[].[]");
  EXPECT_EQ(field->Name(), "");
  EXPECT_EQ(field->OrderPos(), 1);
  EXPECT_EQ(field->OrderDirection(), "Descending");
  EXPECT_TRUE(field->Total());
  EXPECT_EQ(field->AggragateFunction(), "SUM");
  // Detached from its list: writes that need the list fail.
  EXPECT_ANY_THROW(field->SetValue("Orders.Qty"));
}

TEST(FieldOutsideAList, WritesThatNeedTheListFail) {
  const auto field = Field::Create();
  const auto database = MakeStandardDatabase();
  Access::SetConnection(*field, database);
  const char* message = "Field does not belong to a field list";
  EXPECT_TALVANE_ERROR(field->SetValue("Orders.Amount"), kErr2, "Exception: Field.Field", message);
  EXPECT_TALVANE_ERROR(field->SetName("x"), kErr2, "Exception: Field.Name", message);
  EXPECT_TALVANE_ERROR(field->SetOrdered(true), kErr2, "Exception: Field.Ordered", message);
  EXPECT_TALVANE_ERROR(field->SetOrderPos(2), kErr2, "Exception: Field.OrderPos", message);
  EXPECT_EQ(field->Value(), "[].[]");
  field->SetOrderDirection("Descending");
  field->SetTotal(true);
  EXPECT_TRUE(field->Total());
}

TEST(FieldOfAListWithoutReport, SetSearchAndNameWriteFail) {
  const auto database = MakeStandardDatabase();
  const auto list = FieldList::Create();
  Access::SetConnection(*list, database);
  list->AddNew();
  const auto field = list->Field();
  field->SetValue("Orders.Amount");
  EXPECT_EQ(field->Name(), "[Amount]");
  const char* message = "Field list does not belong to a report";
  EXPECT_TALVANE_ERROR(field->SetValue("Nowhere.Amount"), kErr2, "Exception: Field.TestField", message);
  EXPECT_TALVANE_ERROR(field->SetName("Money"), kErr2, "Exception: Field.Name", message);
  field->SetName(" ");
  EXPECT_EQ(field->Name(), "[Amount]");
  EXPECT_EQ(field->Value(), "[Orders].[Amount]");
}

TEST_F(FieldTest, AssignedConnectionIsTheOneTheLookupUses) {
  const auto field = AddField("Orders.Status");
  const auto other = MakeDatabase("CREATE TABLE Orders (CustID INTEGER, Status TEXT, Extra MONEY);");
  report_->SetConnection(other);
  field->SetFieldOnly("Extra");
  EXPECT_EQ(field->Value(), "[Orders].[Extra]");
  EXPECT_TRUE(field->Total());
}

}  // namespace
}  // namespace talvane::test
