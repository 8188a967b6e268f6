// Host text that tries to leave a name or a literal. Every text a host can set is tried with every payload:
// either the write is refused with a talvane::Error and nothing changes, or the statement is still one SELECT
// that means the same. The proof runs the Access statement on SQLite: one statement and nothing after it,
// the canary table alive after the whole text ran as a script, the same rows as the same definition built
// with a plain name, and the same text once the payload's rendering is put back to the plain one.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <functional>
#include <string>
#include <vector>

#include "hardening/access_on_sqlite.hpp"
#include "hardening/statement_safety.hpp"
#include "support/sqlite_fixture.hpp"
#include "talvane/formula/formula.hpp"
#include "talvane/foundation/brackets.hpp"
#include "talvane/foundation/error.hpp"
#include "talvane/report/exception.hpp"
#include "talvane/report/field.hpp"
#include "talvane/report/field_list.hpp"
#include "talvane/report/formula_list.hpp"

namespace talvane::test {
namespace {

using std::string_literals::operator""s;

struct Payload {
  const char* name;
  std::string text;
};

const std::vector<Payload>& Payloads() {
  static const std::vector<Payload> payloads = {
      {"CloseBracket", "x] FROM Customers; DROP TABLE Canary; --"},
      {"LoneCloseBracket", "]"},
      {"OpenBracket", "[x"},
      {"InnerBrackets", "[a]b]"},
      {"Apostrophe", "x'; DROP TABLE Canary; --"},
      {"ApostropheOr", "x' OR '1'='1"},
      {"DoubleQuote", "x\"; DROP TABLE Canary; --"},
      {"Separator", "x; DROP TABLE Canary"},
      {"LineComment", "x -- y"},
      {"BlockComment", "x /* y */"},
      {"LineBreak", "x\r\nDROP TABLE Canary"},
      {"Tab", "x\ty"},
      {"Nul", "x\0; DROP TABLE Canary"s},
      {"TrailingNul", "x\0"s},
      {"NonAscii", "Kunde \xC3\x86r\xC3\xB8 \xE2\x9C\x93"},
      {"InvalidUtf8", "x\xFF\xFEy"},
      {"Hash", "x# OR 1=1 #"},
      {"Parenthesis", "x) OR (1=1"},
      {"Backtick", "x` DROP"},
      {"Dot", "a.b"},
      {"Blanks", "   "},
      {"Empty", ""},
  };
  return payloads;
}

std::shared_ptr<Formula> NewFormula(Exception& report) {
  report.Formulae()->AddNew();
  return report.Formulae()->Formula();
}

std::shared_ptr<Field> NewField(Exception& report, std::string_view reference) {
  report.Fields()->AddNew();
  const auto field = report.Fields()->Field();
  field->SetValue(reference);
  return field;
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
  if (from.empty()) return text;
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

void Exec(sqlite3* handle, const std::string& sql) {
  ASSERT_EQ(sqlite3_exec(handle, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(handle);
}

// One text a host can set. `prepare` creates what the definition needs under a name (a table, a column, a
// row), `before` builds the rest of the definition, `write` sets the text under test, and `rendering` reads
// back how the object shows the text in the statement, so that the payload's statement can be mapped back to
// the plain one.
struct Vector {
  const char* name;
  std::string plain;  // a harmless text for the same place
  std::function<void(sqlite3*, const std::string&)> prepare;
  std::function<void(Exception&)> before;
  std::function<void(Exception&, const std::string&)> write;
  std::function<std::string(Exception&)> rendering;
  bool mustRefuse = false;  // only a few fixed words are valid here
  bool keepsWhatItBuilt = false;  // a formula text: a refused text leaves the part built before the error
  // What the object keeps of the text (names lose one pair of surrounding brackets); prepare gets this.
  std::function<std::string(const std::string&)> stored = [](const std::string& text) { return StripBrackets(text); };
};

std::shared_ptr<Field> LastField(Exception& report) { return report.Fields()->Field(report.Fields()->Count()); }
std::shared_ptr<Formula> LastFormula(Exception& report) {
  return report.Formulae()->Formula(report.Formulae()->Count());
}

// The bracketed column of a field as the statement shows it: [Orders].[a.b] gives [a.b] (FieldOnly would
// split a column name holding a dot).
std::string ColumnPart(const Field& field) {
  const std::string reference = field.Value();
  const auto dot = reference.find("].[");
  return dot == std::string::npos ? reference : reference.substr(dot + 2);
}

std::string Quoted(const std::string& text) {
  std::string out = "'";
  for (const char c : text) {
    if (c == '"') continue;  // a string literal loses its double quotes
    if (c == '\'') out += '\'';
    out += c;
  }
  return out + "'";
}

void InsertCustomer(sqlite3* handle, int id, const std::string& name) {
  sqlite3_stmt* statement = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(handle, "INSERT INTO Customers (CustID, CustName, Balance) VALUES (?, ?, 777)", -1,
                               &statement, nullptr),
            SQLITE_OK);
  sqlite3_bind_int(statement, 1, id);
  sqlite3_bind_text(statement, 2, name.data(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
  EXPECT_EQ(sqlite3_step(statement), SQLITE_DONE);
  sqlite3_finalize(statement);
}

const std::vector<Vector>& Vectors() {
  static int nextCustomer = 90;
  static const std::vector<Vector> vectors = {
      {"MainTable", "Ref",
       [](sqlite3* h, const std::string& n) {
         Exec(h, "CREATE TABLE " + SqliteName(n) + " AS SELECT CustID, Balance FROM Customers");
       },
       [](Exception& r) {
         r.SetMainField("CustID");
         NewField(r, "Customers.CustName");
         NewFormula(r)->SetValue(std::string_view("Customers.Balance > 0"));
       },
       [](Exception& r, const std::string& text) { r.SetMainTable(text); },
       [](Exception& r) { return r.MainTable(); }},
      {"MainField", "Ref",
       [](sqlite3* h, const std::string& n) {
         for (const char* table : {"Customers", "Orders"}) {
           Exec(h, "ALTER TABLE "s + table + " ADD COLUMN " + SqliteName(n) + " INTEGER");
           Exec(h, "UPDATE "s + table + " SET " + SqliteName(n) + " = CustID");
         }
       },
       [](Exception& r) {
         r.SetMainTable("Customers");
         NewField(r, "Orders.Status");
         NewFormula(r)->SetValue(std::string_view("Customers.CustName = \"Alfreds\""));
       },
       [](Exception& r, const std::string& text) { r.SetMainField(text); },
       [](Exception& r) { return r.MainField(); }},
      {"FieldTable", "Ref",
       [](sqlite3* h, const std::string& n) {
         Exec(h, "CREATE TABLE " + SqliteName(n) + " AS SELECT * FROM Orders");
       },
       [](Exception& r) {
         r.SetMainTable("Customers");
         r.SetMainField("CustID");
         r.Fields()->AddNew();
       },
       [](Exception& r, const std::string& text) { LastField(r)->SetValue(text + ".Status"); },
       [](Exception& r) { return LastField(r)->Table(); }},
      {"FieldColumn", "Ref",
       [](sqlite3* h, const std::string& n) {
         Exec(h, "ALTER TABLE Orders ADD COLUMN " + SqliteName(n) + " TEXT");
         Exec(h, "UPDATE Orders SET " + SqliteName(n) + " = Status");
       },
       [](Exception& r) {
         r.SetMainTable("Customers");
         r.SetMainField("CustID");
         r.Fields()->AddNew();
       },
       [](Exception& r, const std::string& text) { LastField(r)->SetValue("Orders." + text); },
       [](Exception& r) { return ColumnPart(*LastField(r)); }},
      {"FieldOnly", "Ref",
       [](sqlite3* h, const std::string& n) {
         Exec(h, "ALTER TABLE Orders ADD COLUMN " + SqliteName(n) + " TEXT");
         Exec(h, "UPDATE Orders SET " + SqliteName(n) + " = Status");
       },
       [](Exception& r) {
         r.SetMainTable("Customers");
         r.SetMainField("CustID");
         NewField(r, "Orders.Status");
       },
       [](Exception& r, const std::string& text) { LastField(r)->SetFieldOnly(text); },
       [](Exception& r) { return ColumnPart(*LastField(r)); }},
      {"OutputName", "Ref", nullptr,
       [](Exception& r) {
         r.SetMainTable("Customers");
         r.SetMainField("CustID");
         NewField(r, "Orders.Status");
       },
       [](Exception& r, const std::string& text) { LastField(r)->SetName(text); },
       [](Exception& r) { return LastField(r)->Name(); }},
      {"FormulaName", "Ref", nullptr,
       [](Exception& r) {
         r.SetMainTable("Customers");
         r.SetMainField("CustID");
         NewField(r, "Customers.CustName");
         NewFormula(r)->SetValue(std::string_view("Orders.Status = \"Open\""));
       },
       [](Exception& r, const std::string& text) { LastFormula(r)->SetName(text); },
       [](Exception& r) { return LastFormula(r)->Name(); }},
      {"StringLiteral", "Ref",
       [](sqlite3* h, const std::string& n) { InsertCustomer(h, nextCustomer++, n); },
       [](Exception& r) {
         r.SetMainTable("Customers");
         r.SetMainField("CustID");
         NewField(r, "Customers.Balance");
         NewFormula(r);
       },
       [](Exception& r, const std::string& text) {
         LastFormula(r)->SetValue(std::string_view("Customers.CustName = \"" + text + "\""));
       },
       [](Exception& r) {
         const std::string value = LastFormula(r)->Value();  // Customers.CustName = "text"
         const auto quote = value.find('"');
         return quote == std::string::npos ? std::string() : Quoted(value.substr(quote + 1, value.size() - quote - 2));
       },
       false, true, [](const std::string& text) { return text; }},
      {"FormulaTail", "",
       nullptr,
       [](Exception& r) {
         r.SetMainTable("Customers");
         r.SetMainField("CustID");
         NewField(r, "Customers.Balance");
         NewFormula(r);
       },
       [](Exception& r, const std::string& text) {
         LastFormula(r)->SetValue(std::string_view("Customers.CustName = \"Alfreds\"" + text));
       },
       [](Exception&) { return std::string(); }, false, true, [](const std::string& text) { return text; }},
      {"AggregateFunction", "SUM", nullptr,
       [](Exception& r) {
         r.SetMainTable("Customers");
         r.SetMainField("CustID");
         NewField(r, "Orders.Amount");
       },
       [](Exception& r, const std::string& text) { LastField(r)->SetAggragateFunction(text); },
       [](Exception& r) { return LastField(r)->AggragateFunction(); }, true},
      {"OrderDirection", "Descending", nullptr,
       [](Exception& r) {
         r.SetMainTable("Customers");
         r.SetMainField("CustID");
         NewField(r, "Orders.Amount")->SetOrdered(true);
       },
       [](Exception& r, const std::string& text) { LastField(r)->SetOrderDirection(text); },
       [](Exception& r) { return LastField(r)->OrderDirection(); }, true},
  };
  return vectors;
}

struct Built {
  std::shared_ptr<Exception> report;
  std::string sql;
  std::string sqlError;
};

std::string StatementOrError(Exception& report, std::string* error) {
  try {
    return report.SQL();
  } catch (const Error& e) {
    *error = e.Description();
    return {};
  }
}

class Injection : public ::testing::TestWithParam<std::tuple<std::size_t, std::size_t>> {
 protected:
  const Vector& vector() const { return Vectors()[std::get<0>(GetParam())]; }
  const Payload& payload() const { return Payloads()[std::get<1>(GetParam())]; }

  void SetUp() override {
    connection_ = MakeStandardDatabase(kAccessProvider);
    PrepareAccessRun(*connection_);
  }

  std::shared_ptr<Exception> Begin() {
    auto report = Exception::Create();
    report->SetConnection(connection_);
    vector().before(*report);
    return report;
  }

  std::shared_ptr<db::SqliteConnection> connection_;
};

TEST_P(Injection, IsRefusedOrKeepsTheStatementsMeaning) {
  const Vector& v = vector();
  const std::string& text = payload().text;
  const std::string stored = v.stored(text);
  // SQLite can hold any name but one with a NUL byte; the library must refuse that one anyway.
  if (v.prepare) {
    v.prepare(connection_->Handle(), v.stored(v.plain));
    if (stored.find('\0') == std::string::npos && !stored.empty()) v.prepare(connection_->Handle(), stored);
  }

  // The same definition with a plain text: the meaning the payload's statement must keep.
  const auto plainReport = Begin();
  v.write(*plainReport, v.plain);
  const std::string plainSql = plainReport->SQL();
  StatementRun plainRun;
  ASSERT_TRUE(RunsAsOneSafeSelect(*connection_, plainSql, &plainRun));
  ASSERT_FALSE(plainRun.rows.empty()) << "the plain definition must select rows to compare with";

  const auto report = Begin();
  const std::string renderingBefore = v.rendering(*report);
  std::string errorBefore;
  const std::string sqlBefore = StatementOrError(*report, &errorBefore);
  try {
    v.write(*report, text);
  } catch (const Error& refused) {
    EXPECT_NE(refused.Number(), 0);
    if (v.keepsWhatItBuilt) {
      // A formula keeps what it built up to the refused item, as it does for any text it refuses, and
      // reports the rest; the statement that part gives must still be safe.
      EXPECT_FALSE(LastFormula(*report)->ErrorItem().empty());
      std::string error;
      const std::string sql = StatementOrError(*report, &error);
      EXPECT_EQ(StatementProblem(sql), "") << sql;
      return;
    }
    EXPECT_EQ(v.rendering(*report), renderingBefore);
    std::string errorAfter;
    EXPECT_EQ(StatementOrError(*report, &errorAfter), sqlBefore);
    EXPECT_EQ(errorAfter, errorBefore);
    return;
  }
  ASSERT_FALSE(v.mustRefuse) << "only a fixed word may be written here";

  std::string error;
  const std::string sql = StatementOrError(*report, &error);
  if (sql.empty()) {
    // A text the write took but the statement refuses (an empty main table, say) must say so clearly.
    EXPECT_FALSE(error.empty());
    return;
  }
  StatementRun run;
  ASSERT_TRUE(RunsAsOneSafeSelect(*connection_, sql, &run)) << sql;

  // A text the object reads as no text at all (blanks, an empty pair of brackets) means what the empty text
  // means: compare with that definition instead.
  std::string expectedSql = plainSql;
  StatementRun expectedRun = plainRun;
  std::string expectedRendering = v.rendering(*plainReport);
  const auto blankReport = Begin();
  bool blankTaken = true;
  try {
    v.write(*blankReport, "");
  } catch (const Error&) {
    blankTaken = false;
  }
  if (blankTaken && v.rendering(*blankReport) == v.rendering(*report)) {
    expectedSql = blankReport->SQL();
    ASSERT_TRUE(RunsAsOneSafeSelect(*connection_, expectedSql, &expectedRun));
    expectedRendering = v.rendering(*blankReport);
  }
  EXPECT_EQ(run.rows, expectedRun.rows) << sql;
  // The payload's rendering where the plain one stands, and nowhere else: the rest is the plain text.
  EXPECT_EQ(sql, ReplaceAll(expectedSql, expectedRendering, v.rendering(*report)));
}

INSTANTIATE_TEST_SUITE_P(
    EveryTextAndPayload, Injection,
    ::testing::Combine(::testing::Range<std::size_t>(0, Vectors().size()),
                       ::testing::Range<std::size_t>(0, Payloads().size())),
    [](const ::testing::TestParamInfo<Injection::ParamType>& info) {
      return std::string(Vectors()[std::get<0>(info.param)].name) + "_" + Payloads()[std::get<1>(info.param)].name;
    });

// The proof itself must fail when a payload does get through: hand-made unsafe statements.
class InjectionCheck : public ::testing::Test {
 protected:
  void SetUp() override {
    connection_ = MakeStandardDatabase(kAccessProvider);
    PrepareAccessRun(*connection_);
  }
  std::shared_ptr<db::SqliteConnection> connection_;
};

TEST_F(InjectionCheck, FailsOnASecondStatementSmuggledThroughAName) {
  const std::string unsafe = "SELECT [Customers].[x] FROM Customers; DROP TABLE Canary; --] AS [x] \r\nFROM \r\n";
  EXPECT_FALSE(RunsAsOneSafeSelect(*connection_, unsafe));
  EXPECT_NE(StatementProblem(unsafe), "");
}

TEST_F(InjectionCheck, FailsOnceASmuggledStatementHasRun) {
  const std::string unsafe = "SELECT 1 ; DROP TABLE Canary ;";
  EXPECT_FALSE(RunsAsOneSafeSelect(*connection_, unsafe)) << "the second statement is seen before anything runs";
  // Had the statement run as a host runs a script, the canary is gone, and the check says so.
  ASSERT_EQ(sqlite3_exec(connection_->Handle(), unsafe.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
  EXPECT_FALSE(RunsAsOneSafeSelect(*connection_, "SELECT 1 ;"));
}

TEST_F(InjectionCheck, FailsOnALiteralThatEscapesItsQuotes) {
  // One safe SELECT, but not the same meaning: an apostrophe left undoubled turns the literal into a condition
  // that holds for every customer.
  const std::string plain = "SELECT [CustID] FROM [Customers] WHERE [CustName] = 'Alfreds'";
  const std::string unsafe = "SELECT [CustID] FROM [Customers] WHERE [CustName] = 'x' OR '1'='1'";
  StatementRun plainRun;
  StatementRun run;
  ASSERT_TRUE(RunsAsOneSafeSelect(*connection_, plain, &plainRun));
  ASSERT_TRUE(RunsAsOneSafeSelect(*connection_, unsafe, &run));
  EXPECT_NE(run.rows, plainRun.rows);
  EXPECT_NE(ReplaceAll(unsafe, Quoted("x' OR '1'='1"), "'Alfreds'"), plain);
}

TEST_F(InjectionCheck, FailsOnANulByteThatWouldCutTheStatement) {
  const std::string unsafe = "SELECT [CustID] FROM [Customers] WHERE [CustName] = 'x\0' OR 1 = 1"s;
  EXPECT_FALSE(RunsAsOneSafeSelect(*connection_, unsafe));
  EXPECT_NE(StatementProblem(unsafe), "");
}

TEST_F(InjectionCheck, FailsOnACommentThatHidesTheRest) {
  EXPECT_NE(StatementProblem("SELECT [a] FROM [b] -- WHERE [c] = 1"), "");
  EXPECT_NE(StatementProblem("SELECT [a] FROM [b] /* WHERE [c] = 1 */"), "");
  EXPECT_EQ(StatementProblem("SELECT [a -- b] FROM [b] WHERE [c] = '/* x ; -- '''"), "");
}

}  // namespace
}  // namespace talvane::test
