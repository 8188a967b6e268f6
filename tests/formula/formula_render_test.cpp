// Formula rendering: the SQL condition in each dialect, the text read back (and parsed again), fields,
// tables, the aggregate test, the name, and proof that rendering never asks the database anything.
#include <string>
#include <vector>

#include "node_test_support.hpp"
#include "talvane/report/field.hpp"
#include "talvane/report/field_list.hpp"

namespace talvane::test {
namespace {

struct SqlCase {
  std::string text;
  std::string sqlServer;
  std::string access;
};

void PrintTo(const SqlCase& c, std::ostream* os) { *os << c.text; }

class FormulaSQL : public NodeTest, public testing::WithParamInterface<SqlCase> {};

TEST_P(FormulaSQL, RendersEachDialect) {
  EXPECT_EQ(Parsed(GetParam().text, kSQLServer)->SQL(), GetParam().sqlServer);
  EXPECT_EQ(Parsed(GetParam().text, kAccess)->SQL(), GetParam().access);
}

INSTANTIATE_TEST_SUITE_P(
    Conditions, FormulaSQL,
    testing::Values(
        SqlCase{"Orders.Amount >= 100", "ISNULL([Orders].[Amount], 0) >= 100",
                "IIF(ISNULL([Orders].[Amount]), 0, [Orders].[Amount]) >= 100"},
        SqlCase{"Orders.Status IN(\"A\", \"B\")", "[Orders].[Status] IN ('A', 'B')", "[Orders].[Status] IN ('A', 'B')"},
        SqlCase{"Orders.OrderDate BETWEEN 01/01/2003 AND 31/12/2003",
                "[Orders].[OrderDate] BETWEEN CONVERT(DATETIME, '2003-01-01 00:00:00', 102) AND "
                "CONVERT(DATETIME, '2003-12-31 00:00:00', 102)",
                "[Orders].[OrderDate] BETWEEN #01/01/2003# AND #12/31/2003#"},
        SqlCase{"Customers.Active = true", "[Customers].[Active] = 1", "[Customers].[Active] = True"},
        SqlCase{"Orders.ShipTime > 12:30", "[Orders].[ShipTime] > '12:30'", "[Orders].[ShipTime] > #12:30#"},
        SqlCase{"Orders.Status = Orders.Amount", "[Orders].[Status] = CONVERT(nvarchar, ISNULL([Orders].[Amount], 0), 0)",
                "[Orders].[Status] = IIF(ISNULL([Orders].[Amount]), 0, [Orders].[Amount])"},
        SqlCase{"Orders.Status = \"Placed \" + Orders.Placed",
                "[Orders].[Status] = 'Placed ' + CONVERT(nvarchar, [Orders].[Placed], 3)",
                "[Orders].[Status] = 'Placed ' + [Orders].[Placed]"},
        SqlCase{"orders.status not like \"B%\"", "[orders].[status] NOT LIKE 'B%'", "[orders].[status] NOT LIKE 'B%'"},
        SqlCase{"SUM(Lines.Qty) > 10", "SUM(ISNULL([Lines].[Qty], 0)) > 10",
                "SUM(IIF(ISNULL([Lines].[Qty]), 0, [Lines].[Qty])) > 10"},
        SqlCase{"Orders.Qty IN 1, 2, 3, 4", "ISNULL([Orders].[Qty], 0) IN (1, 2, 3, 4)",
                "IIF(ISNULL([Orders].[Qty]), 0, [Orders].[Qty]) IN (1, 2, 3, 4)"},
        SqlCase{"Orders.Qty IN(7)", "ISNULL([Orders].[Qty], 0) IN (7)", "IIF(ISNULL([Orders].[Qty]), 0, [Orders].[Qty]) IN (7)"},
        SqlCase{"Orders.Status = \"O'Brien\"", "[Orders].[Status] = 'O''Brien'", "[Orders].[Status] = 'O''Brien'"},
        // One operand and no comparison: a trailing blank.
        SqlCase{"1 + 2", "1 + 2 ", "1 + 2 "},
        SqlCase{"", "", ""}));

// SQLite: what the rows test on the sample database cannot reach with its data.
struct SqliteCase {
  std::string text;
  std::string sqlite;
};

void PrintTo(const SqliteCase& c, std::ostream* os) { *os << c.text; }

class FormulaSQLite : public NodeTest, public testing::WithParamInterface<SqliteCase> {};

TEST_P(FormulaSQLite, RendersForSqlite) { EXPECT_EQ(Parsed(GetParam().text, kSQLite)->SQL(), GetParam().sqlite); }

INSTANTIATE_TEST_SUITE_P(
    Conditions, FormulaSQLite,
    testing::Values(
        SqliteCase{"Orders.Status = 12:30 + Lines.Price",
                   "[Orders].[Status] COLLATE NOCASE = '12:30' || printf('%g', IFNULL([Lines].[Price], 0))"},
        SqliteCase{"Orders.Status = Orders.ShipTime + Customers.Active",
                   "[Orders].[Status] COLLATE NOCASE = (((CAST(strftime('%H', [Orders].[ShipTime]) AS INTEGER) + 11) % "
                   "12 + 1) || ':' || strftime('%M', [Orders].[ShipTime]) || CASE WHEN CAST(strftime('%H', "
                   "[Orders].[ShipTime]) AS INTEGER) < 12 THEN 'AM' ELSE 'PM' END) || CAST([Customers].[Active] AS "
                   "TEXT)"},
        // A literal * or ? is a class of its own; a [ never closed stands for itself.
        SqliteCase{"Orders.Status LIKE \"a*?_%[xy]b[\"", "upper([Orders].[Status]) GLOB 'A[*][?]?*[XY]B[[]'"},
        SqliteCase{"Orders.Status LIKE Orders.Status", "[Orders].[Status] LIKE [Orders].[Status]"},
        SqliteCase{"Orders.Qty + 1 > 2", "IFNULL([Orders].[Qty], 0) + 1 > 2"},
        SqliteCase{"1 + 2 = 3", "1 + 2 = 3"}));

// Reading Value and assigning it again gives the same condition: the text read back is a faithful,
// canonical form of the tree.
class FormulaRoundTrip : public NodeTest, public testing::WithParamInterface<std::string> {};

TEST_P(FormulaRoundTrip, ValueReadBackParsesToTheSameSQL) {
  for (DATABASETYPEENU dialect : {kSQLServer, kAccess}) {
    auto original = Parsed(GetParam(), dialect);
    const std::string text = original->Value();
    auto again = Parsed(text, dialect);
    EXPECT_EQ(again->SQL(), original->SQL()) << text;
    EXPECT_EQ(again->SQL(true), original->SQL(true)) << text;
    EXPECT_EQ(again->Value(), text);
    EXPECT_EQ(again->Valid(), original->Valid()) << text;
    EXPECT_EQ(again->Fields(), original->Fields()) << text;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Formulas, FormulaRoundTrip,
    testing::Values("Orders.Amount >= 100", "Orders.Amount => 100", "[Order Lines].[Unit Price] < 2.5",
                    "Orders.Status = \"A\"", "Orders.Status LIKE \"A%\"", "orders.status not  like \"B%\"",
                    "Orders.Amount BETWEEN 1 AND 5", "Orders.OrderDate between 01/01/03 and 31/12/2003",
                    "Orders.Status IN(\"A\", \"B\")", "Orders.Qty IN 1, 2, 3", "Orders.Qty in(1)",
                    "(Orders.Amount + 1) * 2 = 10", "SUM(Lines.Qty) > 10", "sum ((Lines.Qty * Lines.Price)) > 10",
                    "TOTAL(Orders.Amount) > Orders.Amount", "Customers.Active = TRUE", "Customers.Active <> false",
                    "Orders.ShipTime = 12:30", "Orders.Amount * 2 - Orders.Qty / 3 <> 0",
                    "Customers.CustName = Customers.CustName + \"x\"", "Orders.Status = Orders.Amount",
                    "COUNT(Orders.OrderID) >= 2", "MAX(Orders.Placed) < 31/12/2020", "AVG(Lines.Price) <> 1.5",
                    "MIN(Orders.Amount) = 0", "Orders.Status = \"O'Brien, (x) + y\"", "Orders.Amount = (1 + (2 * 3)",
                    "Orders.Amount", "1 + 2", "\"a\" = \"b\"", "Orders.Amount BETWEEN (1 + 2) AND Orders.Qty * 2"));

// ---- Shapes ---------------------------------------------------------------------------------------------

class FormulaRender : public NodeTest {};

TEST_F(FormulaRender, ValueWritesListsWithoutParentheses) {
  EXPECT_EQ(Parsed("Orders.Qty IN(1,2,3,4)")->Value(), "[Orders].[Qty] IN 1, 2, 3, 4");
  EXPECT_EQ(Parsed("Orders.Qty between 1 and 4")->Value(), "[Orders].[Qty] BETWEEN 1 AND 4");
  EXPECT_EQ(Parsed("Orders.Amount")->Value(), "[Orders].[Amount]");
  EXPECT_EQ(NewFormula()->Value(), "");
}

TEST_F(FormulaRender, FieldsAndTablesAreListedOnce) {
  auto formula = Parsed("Orders.Amount = Orders.Amount + Lines.Qty + Orders.Qty");
  EXPECT_EQ(formula->Fields(), "[Amount], [Qty]");
  EXPECT_EQ(formula->Tables(), "[Orders], [Lines]");
  auto empty = NewFormula();
  EXPECT_EQ(empty->Fields(), "");
  EXPECT_EQ(empty->Tables(), "");
  EXPECT_EQ(empty->NonAggragateFields(), "");
  EXPECT_EQ(empty->FieldsReferencingSet("Big"), "");
  EXPECT_EQ(empty->SQL(), "");
}

TEST_F(FormulaRender, NonAggregateFieldsSkipFunctionSections) {
  auto formula = Parsed("Orders.Qty + SUM(Orders.Amount) > Orders.Qty");
  EXPECT_EQ(formula->NonAggragateFields(), "[Orders].[Qty], [Orders].[Qty]");
  std::dynamic_pointer_cast<Section>(formula->Node(2))->SetSectionFunction("MAX");
  EXPECT_EQ(formula->NonAggragateFields(), "[Orders].[Qty]");
}

TEST_F(FormulaRender, AggregateConditionsOutsideAReport) {
  EXPECT_TRUE(Parsed("SUM(Orders.Amount) > 10")->Aggragate());
  EXPECT_TRUE(Parsed("Orders.Amount > 1 + (COUNT(Orders.Qty))")->Aggragate());
  EXPECT_FALSE(Parsed("TOTAL(Orders.Amount) > 10")->Aggragate());
  EXPECT_FALSE(Parsed("Orders.Amount > 10")->Aggragate());
  EXPECT_FALSE(NewFormula()->Aggragate());
}

TEST_F(FormulaRender, OutputFieldsDecideWhenTheConditionHasNoAggregate) {
  auto report = NewReport();
  auto named = AddFormula(report, "Orders.Amount > 5", "Big");
  auto unnamed = AddFormula(report, "Orders.Qty > 1");
  EXPECT_FALSE(named->Aggragate());
  EXPECT_FALSE(unnamed->Aggragate());

  auto fields = report->Fields();
  fields->AddNew();
  fields->Field()->SetValue("Big.Amount");  // a column the set supplies
  ASSERT_TRUE(fields->Field()->IsInSet());
  fields->Field()->SetAggragateFunction("sum");
  EXPECT_TRUE(named->Aggragate());
  EXPECT_FALSE(unnamed->Aggragate());

  fields->AddNew();
  fields->Field()->SetValue("Orders.Qty");
  EXPECT_FALSE(unnamed->Aggragate());
  fields->Field()->SetAggragateFunction("MAX");
  EXPECT_TRUE(unnamed->Aggragate());
}

// ---- Name -----------------------------------------------------------------------------------------------

class FormulaName : public NodeTest {};

TEST_F(FormulaName, StoresTheTrimmedBareNameAndGivesSectionsTheTextAsWritten) {
  auto formula = Parsed("Orders.Amount > 1 + Orders.Qty");
  formula->SetName(" [Big Orders] ");
  EXPECT_EQ(formula->Name(), "[Big Orders]");
  EXPECT_EQ(formula->Node(1)->Name(), " [Big Orders] ");
  EXPECT_EQ(formula->Node(2)->Name(), " [Big Orders] ");
  // The items take the bare name, so the set stands in for the table as one bracketed name.
  EXPECT_EQ(formula->SQL(true), "ISNULL([Big Orders].[Amount], 0) > 1 + ISNULL([Big Orders].[Qty], 0)");
  formula->SetName("");
  EXPECT_EQ(formula->Name(), "");
  EXPECT_EQ(formula->PrintIt(), "");
}

TEST_F(FormulaName, RefusesBracketsInsideTheName) {
  auto formula = Parsed("Orders.Amount > 1");
  formula->SetName("Big");
  for (const char* name : {"[a]b]", "x]y", "[x[y]", "Big] ; DROP TABLE Orders --"}) {
    EXPECT_EQ(CaptureError([&] { formula->SetName(name); }).Source(), "Exception: Formula.Name") << name;
    const auto error = CaptureError([&] { formula->SetName(name); });
    EXPECT_EQ(error.Number(), ERR_ITEMTYPE);
    EXPECT_FALSE(error.Message().empty());
    EXPECT_EQ(formula->Name(), "[Big]");
    EXPECT_EQ(formula->Node(1)->Name(), "Big");
  }
}

TEST_F(FormulaName, RenamingInAReportResolvesReferencesToTheSet) {
  auto report = NewReport();
  auto source = AddFormula(report, "Orders.Placed > 01/01/2001");
  auto user = AddFormula(report, "Big.Placed = \"x\"");
  auto reference = FirstItemOf(user, 1);
  EXPECT_EQ(reference->DataType(), kIsString);  // no set of that name yet
  source->SetName("Big");
  EXPECT_EQ(reference->DataType(), kIsDate);
  EXPECT_EQ(cnn_->OpenRecordsets(), 0);
}

// ---- The database is asked only while building ----------------------------------------------------------

class FormulaDatabaseUse : public NodeTest {};

TEST_F(FormulaDatabaseUse, ReadingMembersRunNoQuery) {
  auto report = NewReport();
  auto big = AddFormula(report, "Orders.Amount BETWEEN 1 AND TOTAL(Orders.Amount)", "Big");
  auto user = AddFormula(report, "Big.Amount + SUM(Lines.Qty) IN(1, 2, (3))");
  report->Fields()->AddNew();
  report->Fields()->Field()->SetValue("Orders.Amount");
  report->Fields()->Field()->SetAggragateFunction("SUM");
  auto standalone = Parsed("Orders.Status = \"x\" + Orders.Placed");
  cnn_->ResetCounts();

  for (const auto& formula : {big, user, standalone}) {
    (void)formula->SQL();
    (void)formula->SQL(true);
    (void)formula->Value();
    (void)formula->Fields();
    (void)formula->Tables();
    (void)formula->NonAggragateFields();
    (void)formula->Aggragate();
    (void)formula->FieldsReferencingSet("Big");
    (void)formula->Valid();
    (void)formula->Name();
    (void)formula->PrintIt();
    (void)formula->SectionSeperator();
    (void)formula->DataType();
    for (int32_t i = 1; i <= formula->Count(); ++i) {
      auto section = std::dynamic_pointer_cast<Section>(formula->Node(i));
      (void)section->SQL(true);
      (void)section->Value();
      (void)section->Fields();
      (void)section->Tables();
      (void)section->Aggragate();
      (void)section->NonAggragateFields();
      (void)section->FieldsReferencingSet("Big");
      (void)section->Valid();
    }
  }
  EXPECT_EQ(cnn_->Calls(DbCall::kAny), 0) << testing::PrintToString(cnn_->Requests());
}

TEST_F(FormulaDatabaseUse, EveryRecordsetOpenedIsClosedOnSuccessAndFailure) {
  auto report = NewReport();
  AddFormula(report, "Orders.Amount > 5", "Big");
  for (const char* text : {"Big.Amount + Orders.Qty > 1", "Orders.Status = Orders.Amount", "Orders.Missing = 1",
                           "Orders.Amount = \"x\"", "Nowhere.Column = 1", "Orders.Amount > a_b", "Amount = 1"}) {
    try {
      AddFormula(report, text);
    } catch (const talvane::Error&) {
      // refusals are part of the run: what matters is what they leave open
    }
  }
  cnn_->FailCall(DbCall::kFieldType, 1, talvane::Error(db::kErrUnspecified, "Provider", "failure"));
  EXPECT_ANY_THROW(AddFormula(report, "Orders.Qty = 1"));
  EXPECT_GT(cnn_->OpenedRecordsets(), 0);
  EXPECT_EQ(cnn_->OpenRecordsets(), 0);
  EXPECT_EQ(cnn_->AbandonedRecordsets(), 0);
}

}  // namespace
}  // namespace talvane::test
