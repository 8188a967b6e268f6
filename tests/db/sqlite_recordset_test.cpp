// The SQLite recordset: first-row probes, walking, field access, type codes and the errors hosts rely on.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <map>

#include "db/sqlite/ado_type.hpp"
#include "db/sqlite/sqlite_recordset.hpp"
#include "support/expect_error.hpp"
#include "support/sqlite_fixture.hpp"

namespace talvane::test {
namespace {

using db::kErrCommandText;
using db::kErrItemNotFound;
using db::kErrNoCurrentRecord;
using db::kErrNoSuchTable;
using db::kErrObjectClosed;
using db::kErrUnspecified;

constexpr const char* kSource = "SQLite";
constexpr const char* kClosedMessage = "Operation is not allowed when the object is closed.";
constexpr const char* kNoCurrentMessage =
    "Either BOF or EOF is True, or the current record has been deleted. Requested operation requires a current "
    "record.";
constexpr const char* kNotFoundMessage =
    "Item cannot be found in the collection corresponding to the requested name or ordinal.";

class SqliteRecordsetTest : public ::testing::Test {
 protected:
  std::shared_ptr<db::Recordset> Query(const std::string& sql) {
    auto rs = cnn_->NewRecordset();
    rs->Open(sql, cnn_);
    return rs;
  }
  std::shared_ptr<db::SqliteConnection> cnn_ = MakeStandardDatabase();
};

using RecordsetWalk = SqliteRecordsetTest;

TEST_F(RecordsetWalk, OpensOnTheFirstRowAndMovesForward) {
  auto rs = Query("SELECT CustID, CustName FROM Customers ORDER BY CustID ;");
  EXPECT_EQ(rs->State(), 1);
  ASSERT_EQ(rs->FieldCount(), 2);
  EXPECT_EQ(rs->FieldName(1), "CustName");
  std::vector<std::string> names;
  while (!rs->Eof()) {
    names.push_back(rs->FieldValue("custname"));
    rs->MoveNext();
  }
  EXPECT_EQ(names, (std::vector<std::string>{"Alfreds", "Bottom-Dollar", "Chop-suey", "Du monde entier"}));
  EXPECT_TALVANE_ERROR(rs->MoveNext(), kErrNoCurrentRecord, kSource, kNoCurrentMessage);
  rs->Close();
  EXPECT_EQ(rs->State(), 0);
}

TEST_F(RecordsetWalk, OpenStepsToTheFirstRowOnly) {
  // A counting SQL function shows how many rows the statement has produced.
  int produced = 0;
  auto tick = [](sqlite3_context* ctx, int, sqlite3_value**) {
    ++*static_cast<int*>(sqlite3_user_data(ctx));
    sqlite3_result_int(ctx, 1);
  };
  ASSERT_EQ(sqlite3_create_function(cnn_->Handle(), "tick", 1, SQLITE_UTF8, &produced, tick, nullptr, nullptr),
            SQLITE_OK);
  auto rs = Query("SELECT tick(OrderID) AS T FROM Orders ;");
  EXPECT_EQ(produced, 1);
  rs->MoveNext();
  EXPECT_EQ(produced, 2);
  rs->Close();
  EXPECT_EQ(produced, 2);
}

TEST_F(RecordsetWalk, EmptyResultIsAtEndButKnowsItsFields) {
  auto rs = Query("SELECT * FROM EmptyTable ;");
  EXPECT_TRUE(rs->Eof());
  EXPECT_EQ(rs->FieldType("Name"), 202);
  EXPECT_TALVANE_ERROR(rs->FieldValue("Name"), kErrNoCurrentRecord, kSource, kNoCurrentMessage);
  EXPECT_TALVANE_ERROR(rs->FieldIsNull(0), kErrNoCurrentRecord, kSource, kNoCurrentMessage);
}

TEST_F(RecordsetWalk, NullsReadAsEmptyAndBlobsKeepEmbeddedZeros) {
  auto rs = Query("SELECT ColText, ColBlob FROM AllTypes ORDER BY ID");
  EXPECT_FALSE(rs->FieldIsNull(0));
  EXPECT_EQ(rs->FieldValue(1), std::string("\0\xFF", 2));
  rs->MoveNext();
  EXPECT_TRUE(rs->FieldIsNull(0));
  EXPECT_EQ(rs->FieldValue(0), "");
}

TEST_F(RecordsetWalk, SquareBracketNamesWorkAsSqliteReadsThem) {
  auto rs = Query("SELECT * FROM [Order Lines] ;");
  EXPECT_EQ(rs->FieldType("Unit Price"), 6);
  EXPECT_EQ(rs->FieldType("line no"), 3);
  EXPECT_TALVANE_ERROR(rs->FieldType("[Unit Price]"), kErrItemNotFound, kSource, kNotFoundMessage);
}

struct ValueCase {
  const char* expression;
  db::ValueKind kind;  // SQLite's storage class
  std::string text;
};

TEST_F(RecordsetWalk, ValueKindAndTextOfEachStorageClass) {
  using enum db::ValueKind;
  const ValueCase cases[] = {{"NULL", kNull, ""},    {"42", kInteger, "42"}, {"-1.5", kReal, "-1.5"},
                             {"'Zoë'", kText, "Zoë"}, {"''", kText, ""},
                             {"x'00ff'", kBlob, std::string("\0\xFF", 2)}};
  for (const ValueCase& c : cases) {
    auto rs = Query(std::string("SELECT ") + c.expression + " AS V");
    std::string buffer;
    EXPECT_EQ(rs->FieldValueKind(0), c.kind) << c.expression;
    EXPECT_EQ(rs->FieldText(0, buffer), c.text) << c.expression;
    EXPECT_EQ(buffer, "") << "SQLite's own bytes are viewed, not copied";
  }
  auto rs = Query("SELECT * FROM EmptyTable");
  std::string buffer;
  EXPECT_TALVANE_ERROR(rs->FieldValueKind(0), kErrNoCurrentRecord, kSource, kNoCurrentMessage);
  EXPECT_TALVANE_ERROR(rs->FieldText(0, buffer), kErrNoCurrentRecord, kSource, kNoCurrentMessage);
  EXPECT_TALVANE_ERROR(rs->FieldValueKind(9), kErrItemNotFound, kSource, kNotFoundMessage);
}

using RecordsetFieldLookup = SqliteRecordsetTest;

TEST_F(RecordsetFieldLookup, UnknownNamesAndIndexesAreItemNotFound) {
  auto rs = Query("SELECT * FROM Orders ;");
  EXPECT_TALVANE_ERROR(rs->FieldType("Nope"), kErrItemNotFound, kSource, kNotFoundMessage);
  EXPECT_TALVANE_ERROR(rs->FieldValue("Nope"), kErrItemNotFound, kSource, kNotFoundMessage);
  EXPECT_TALVANE_ERROR(rs->FieldType(9), kErrItemNotFound, kSource, kNotFoundMessage);
  EXPECT_TALVANE_ERROR(rs->FieldValue(-1), kErrItemNotFound, kSource, kNotFoundMessage);
  EXPECT_TALVANE_ERROR(rs->FieldName(9), kErrItemNotFound, kSource, kNotFoundMessage);
}

TEST_F(RecordsetFieldLookup, MissingNameWinsOverMissingRow) {
  auto rs = Query("SELECT * FROM EmptyTable");
  EXPECT_TALVANE_ERROR(rs->FieldValue("Nope"), kErrItemNotFound, kSource, kNotFoundMessage);
}

using RecordsetTypes = SqliteRecordsetTest;

TEST_F(RecordsetTypes, EveryDeclaredTypeOfTheStandardSchema) {
  const std::map<std::string, int32_t> expected{
      {"ID", 3},          {"ColInt", 3},         {"ColIntAbbrev", 3},    {"ColMediumint", 3},
      {"ColBigint", 20},  {"ColSmallint", 2},    {"ColTinyint", 17},     {"ColReal", 5},
      {"ColFloat", 5},    {"ColDouble", 5},      {"ColSingle", 4},       {"ColMoney", 6},
      {"ColSmallmoney", 6}, {"ColCurrency", 6},  {"ColDecimal", 131},    {"ColNumeric", 131},
      {"ColDate", 133},   {"ColDatetime", 135},  {"ColDatetime2", 135},  {"ColSmalldatetime", 135},
      {"ColTimestamp", 135}, {"ColTime", 134},   {"ColBit", 11},         {"ColBool", 11},
      {"ColBoolean", 11}, {"ColYesno", 11},      {"ColChar", 129},       {"ColNchar", 130},
      {"ColVarchar", 200}, {"ColNvarchar", 202}, {"ColText", 202},       {"ColMemo", 203},
      {"ColNtext", 203},  {"ColLongtext", 203},  {"ColBlob", 205},       {"ColBinary", 205},
      {"ColVarbinary", 205}, {"ColImage", 205},  {"ColGuid", 72},        {"ColUniqueidentifier", 72},
      {"ColNone", 12}};
  auto rs = Query("SELECT * FROM [AllTypes] ;");
  ASSERT_EQ(rs->FieldCount(), static_cast<int32_t>(expected.size()));
  for (int32_t i = 0; i < rs->FieldCount(); ++i) {
    const auto name = rs->FieldName(i);
    ASSERT_TRUE(expected.count(name)) << name;
    EXPECT_EQ(rs->FieldType(i), expected.at(name)) << name;
    EXPECT_EQ(rs->FieldType(name), expected.at(name)) << name;
  }
}

TEST_F(RecordsetTypes, ExpressionsAreVariantAndViewsKeepDeclaredTypes) {
  auto rs = Query("SELECT 1 + 1 AS Two, Amount * 2 AS Twice, Amount FROM Orders");
  EXPECT_EQ(rs->FieldType("Two"), 12);
  EXPECT_EQ(rs->FieldType("Twice"), 12);
  EXPECT_EQ(rs->FieldType("Amount"), 6);
  auto view = Query("SELECT * FROM ActiveCustomers");
  EXPECT_EQ(view->FieldType("Balance"), 6);
}

TEST(AdoTypeFromDeclared, UsesTheBaseNameIgnoringCaseAndBlanks) {
  using db::detail::AdoTypeFromDeclared;
  EXPECT_EQ(AdoTypeFromDeclared("varchar (20)"), 200);
  EXPECT_EQ(AdoTypeFromDeclared("  Money "), 6);
  EXPECT_EQ(AdoTypeFromDeclared("decimal(10, 2)"), 131);
  EXPECT_EQ(AdoTypeFromDeclared("DateTime2(7)"), 135);
  EXPECT_EQ(AdoTypeFromDeclared("double  precision"), 5);
  EXPECT_EQ(AdoTypeFromDeclared(""), 12);
  EXPECT_EQ(AdoTypeFromDeclared("   "), 12);
  EXPECT_EQ(AdoTypeFromDeclared("(5)"), 12);
}

TEST(AdoTypeFromDeclared, UnknownNamesFollowSqliteAffinity) {
  using db::detail::AdoTypeFromDeclared;
  EXPECT_EQ(AdoTypeFromDeclared("UNSIGNED BIG INT"), 3);
  EXPECT_EQ(AdoTypeFromDeclared("CLOB"), 202);
  EXPECT_EQ(AdoTypeFromDeclared("VARCHAR2(10)"), 202);
  EXPECT_EQ(AdoTypeFromDeclared("FLOAT8"), 5);
  EXPECT_EQ(AdoTypeFromDeclared("STRING"), 131);
  EXPECT_EQ(AdoTypeFromDeclared("INTERVAL"), 3);  // SQLite's rule: any name holding INT
}

using RecordsetErrors = SqliteRecordsetTest;

TEST_F(RecordsetErrors, NumbersFollowTheKindOfFailure) {
  auto rs = cnn_->NewRecordset();
  EXPECT_TALVANE_ERROR(rs->Open("SELECT * FROM [Nope] ;", cnn_), kErrNoSuchTable, kSource, "no such table: Nope");
  EXPECT_TALVANE_ERROR(rs->Open("SELECT Nope FROM Orders ;", cnn_), kErrCommandText, kSource, "no such column: Nope");
  EXPECT_TALVANE_ERROR(rs->Open("SELEKT 1", cnn_), kErrCommandText, kSource, "near \"SELEKT\": syntax error");
  EXPECT_TALVANE_ERROR(rs->Open("  ; ", cnn_), kErrCommandText, kSource, "The command text holds no statement.");
  EXPECT_EQ(rs->State(), 0);
  EXPECT_EQ(cnn_->OpenRecordsets(), 0);
}

TEST_F(RecordsetErrors, FailureWhileRunningClosesTheRecordset) {
  auto rs = cnn_->NewRecordset();
  EXPECT_TALVANE_ERROR(rs->Open("SELECT abs(-9223372036854775807 - 1)", cnn_), kErrUnspecified, kSource,
                       "integer overflow");
  EXPECT_EQ(rs->State(), 0);
  EXPECT_EQ(cnn_->OpenRecordsets(), 0);
}

TEST_F(RecordsetErrors, OnlyOneStatementRuns) {
  auto rs = cnn_->NewRecordset();
  rs->SetLockType(3);
  EXPECT_TALVANE_ERROR(rs->Open("SELECT * FROM [Orders] ; DROP TABLE Orders; --] ;", cnn_), kErrCommandText,
                       kSource, "Only one statement can be run at a time.");
  EXPECT_NO_THROW(Query("SELECT * FROM Orders")->Close());
  EXPECT_NO_THROW(Query("SELECT * FROM Orders ; -- a comment after the statement")->Close());
}

TEST_F(RecordsetErrors, ReadOnlyLockRefusesChangesAndWritableLockRunsThem) {
  auto rs = cnn_->NewRecordset();
  EXPECT_TALVANE_ERROR(rs->Open("DELETE FROM Orders", cnn_), kErrCommandText, kSource,
                       "The recordset is read-only; the command would change the database.");
  EXPECT_EQ(Query("SELECT count(*) AS N FROM Orders")->FieldValue("N"), "5");

  rs->Open("DELETE FROM Orders WHERE OrderID = 1", cnn_, -1, 3);
  EXPECT_EQ(rs->State(), 0);  // a command without rows leaves the recordset closed
  EXPECT_EQ(Query("SELECT count(*) AS N FROM Orders")->FieldValue("N"), "4");
}

TEST_F(RecordsetErrors, ClosedRecordsetRefusesEverything) {
  auto rs = cnn_->NewRecordset();
  EXPECT_EQ(rs->State(), 0);
  EXPECT_TALVANE_ERROR(rs->Eof(), kErrObjectClosed, kSource, kClosedMessage);
  EXPECT_TALVANE_ERROR(rs->FieldCount(), kErrObjectClosed, kSource, kClosedMessage);
  EXPECT_TALVANE_ERROR(rs->FieldType("Amount"), kErrObjectClosed, kSource, kClosedMessage);
  EXPECT_TALVANE_ERROR(rs->FieldValue(0), kErrObjectClosed, kSource, kClosedMessage);
  EXPECT_TALVANE_ERROR(rs->MoveNext(), kErrObjectClosed, kSource, kClosedMessage);
  EXPECT_TALVANE_ERROR(rs->Close(), kErrObjectClosed, kSource, kClosedMessage);
}

TEST_F(RecordsetErrors, OpenRecordsetRefusesSettingsAndASecondOpen) {
  auto rs = Query("SELECT * FROM Orders");
  const std::string message = "Operation is not allowed when the object is open.";
  EXPECT_TALVANE_ERROR(rs->SetLockType(1), kErrUnspecified, kSource, message);
  EXPECT_TALVANE_ERROR(rs->Open("SELECT * FROM Lines", cnn_), kErrUnspecified, kSource, message);
  EXPECT_EQ(rs->FieldType("Amount"), 6);  // still the first query
}

TEST_F(RecordsetErrors, SettingsOutOfRangeAreRefused) {
  auto rs = cnn_->NewRecordset();
  const std::string message =
      "Arguments are of the wrong type, are out of acceptable range, or are in conflict with one another.";
  EXPECT_TALVANE_ERROR(rs->SetCursorLocation(7), kErrUnspecified, kSource, message);
  EXPECT_TALVANE_ERROR(rs->SetCursorType(4), kErrUnspecified, kSource, message);
  EXPECT_TALVANE_ERROR(rs->SetLockType(-2), kErrUnspecified, kSource, message);
  EXPECT_TALVANE_ERROR(rs->Open("SELECT 1", cnn_, -1, -1, 2), kErrUnspecified, kSource, message);
  EXPECT_EQ(rs->State(), 0);
}

TEST_F(RecordsetErrors, NeedsASqliteConnection) {
  auto rs = cnn_->NewRecordset();
  EXPECT_TALVANE_ERROR(rs->Open("SELECT 1", nullptr), kErrUnspecified, kSource,
                       "The recordset can only be opened on a SQLite connection.");
}

using RecordsetLifetime = SqliteRecordsetTest;

TEST_F(RecordsetLifetime, ConnectionCountsItsOpenRecordsets) {
  auto a = Query("SELECT * FROM Orders");
  auto b = cnn_->OpenSchema(db::kSchemaTables, {});
  EXPECT_EQ(cnn_->OpenRecordsets(), 2);
  a->Close();
  EXPECT_EQ(cnn_->OpenRecordsets(), 1);
  b.reset();  // released while open: closed with it
  EXPECT_EQ(cnn_->OpenRecordsets(), 0);
}

TEST_F(RecordsetLifetime, ClosingTheConnectionClosesItsRecordsets) {
  auto rs = Query("SELECT * FROM Orders");
  cnn_->Close();
  EXPECT_EQ(rs->State(), 0);
  EXPECT_TALVANE_ERROR(rs->Eof(), kErrObjectClosed, kSource, kClosedMessage);
  cnn_->Open();
  EXPECT_TALVANE_ERROR(rs->FieldValue(0), kErrObjectClosed, kSource, kClosedMessage);
  EXPECT_EQ(cnn_->OpenRecordsets(), 0);
}

TEST_F(RecordsetLifetime, RecordsetOutlivesItsConnection) {
  auto rs = Query("SELECT * FROM Orders");
  cnn_.reset();
  EXPECT_EQ(rs->State(), 0);
  EXPECT_TALVANE_ERROR(rs->MoveNext(), kErrObjectClosed, kSource, kClosedMessage);
}

TEST_F(RecordsetLifetime, OpenArgumentsSetTheCursorProperties) {
  auto rs = std::make_shared<db::SqliteRecordset>();
  EXPECT_EQ(rs->CursorLocation(), 2);
  EXPECT_EQ(rs->CursorType(), 0);
  EXPECT_EQ(rs->LockType(), 1);
  rs->Open("SELECT 1", cnn_, 3, 2);
  EXPECT_EQ(rs->CursorType(), 3);
  EXPECT_EQ(rs->LockType(), 2);
}

}  // namespace
}  // namespace talvane::test
