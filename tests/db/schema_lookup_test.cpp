// Schema look-ups through the host's connection, probe recordset preparation, and the promise that every
// recordset they open is closed again.
#include <gtest/gtest.h>

#include "db/sqlite/sqlite_recordset.hpp"
#include "support/counting_connection.hpp"
#include "support/expect_error.hpp"
#include "support/sqlite_fixture.hpp"
#include "talvane/db/schema_lookup.hpp"

namespace talvane::test {
namespace {

class SchemaLookupTest : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(counting_->OpenRecordsets(), 0);
    EXPECT_EQ(counting_->AbandonedRecordsets(), 0);
    EXPECT_EQ(sqlite_->OpenRecordsets(), 0);
  }
  std::shared_ptr<db::SqliteConnection> sqlite_ = MakeStandardDatabase();
  std::shared_ptr<CountingConnection> counting_ = CountingConnection::Create(sqlite_);
  std::shared_ptr<db::Connection> cnn_ = counting_;
};

using TableColumnsLookup = SchemaLookupTest;

TEST_F(TableColumnsLookup, ListsEveryColumnOnceBracketedInDeclaredOrder) {
  EXPECT_EQ(TableColumns("Customers", cnn_), "[CustID], [CustName], [Balance], [RegionID], [Since], [Active]");
  EXPECT_EQ(TableColumns("[Order Lines]", cnn_), "[Line No], [OrderID], [Unit Price], [Qty]");
  EXPECT_EQ(TableColumns("regions", cnn_), "[RegionID], [RegionName], [CustID]");
}

TEST_F(TableColumnsLookup, MissingTablesViewsAndEmptyNamesGiveEmpty) {
  EXPECT_EQ(TableColumns("Nope", cnn_), "");
  EXPECT_EQ(TableColumns("ActiveCustomers", cnn_), "");
  EXPECT_EQ(TableColumns("sqlite_schema", cnn_), "");
  EXPECT_EQ(TableColumns("", cnn_), "");
  EXPECT_EQ(TableColumns("[]", cnn_), "");
}

TEST_F(TableColumnsLookup, MissingTableOpensOnlyTheTablesSchema) {
  EXPECT_EQ(TableColumns("Nope", cnn_), "");
  EXPECT_EQ(counting_->Calls(DbCall::kOpenSchema), 1);
  EXPECT_EQ(counting_->Calls(DbCall::kClose), 1);
}

using TableHasColumnLookup = SchemaLookupTest;

TEST_F(TableHasColumnLookup, FindsColumnsWithOrWithoutBracketsIgnoringCase) {
  EXPECT_TRUE(TableHasColumn("Orders", "Amount", cnn_));
  EXPECT_TRUE(TableHasColumn("[Orders]", "[Amount]", cnn_));
  EXPECT_TRUE(TableHasColumn("orders", "AMOUNT", cnn_));
  EXPECT_TRUE(TableHasColumn("[Order Lines]", "[Unit Price]", cnn_));
  EXPECT_TRUE(TableHasColumn("Order Lines", "Unit Price", cnn_));
}

TEST_F(TableHasColumnLookup, MissingTableViewOrColumnIsFalse) {
  EXPECT_FALSE(TableHasColumn("Nope", "Amount", cnn_));
  EXPECT_FALSE(TableHasColumn("ActiveCustomers", "Balance", cnn_));
  EXPECT_FALSE(TableHasColumn("Orders", "Nope", cnn_));
  EXPECT_FALSE(TableHasColumn("[Orders]", "[Nope]", cnn_));
  EXPECT_FALSE(TableHasColumn("Orders", "", cnn_));
  EXPECT_FALSE(TableHasColumn("", "Amount", cnn_));
  EXPECT_FALSE(TableHasColumn("Orders", "Orders.Amount", cnn_));
}

TEST_F(TableHasColumnLookup, RunsNoQueryOnlySchemaRequests) {
  EXPECT_TRUE(TableHasColumn("Orders", "Amount", cnn_));
  EXPECT_EQ(counting_->Calls(DbCall::kOpenSchema), 2);
  EXPECT_EQ(counting_->Calls(DbCall::kOpen), 0);
  EXPECT_EQ(counting_->Calls(DbCall::kClose), 2);
}

using SchemaLookupErrors = SchemaLookupTest;

TEST_F(SchemaLookupErrors, ConnectionErrorsPassThroughAndNothingStaysOpen) {
  const talvane::Error injected(3704, "ADODB.Connection", "Operation is not allowed when the object is closed.");
  counting_->FailCall(DbCall::kOpenSchema, 2, injected);
  EXPECT_TALVANE_ERROR(TableColumns("Orders", cnn_), 3704, "ADODB.Connection",
                       "Operation is not allowed when the object is closed.");
  counting_->FailCall(DbCall::kOpenSchema, 1, injected);
  EXPECT_TALVANE_ERROR(TableHasColumn("Orders", "Amount", cnn_), 3704, "ADODB.Connection",
                       "Operation is not allowed when the object is closed.");
}

TEST_F(SchemaLookupErrors, ErrorWhileReadingRowsStillClosesTheRecordset) {
  counting_->FailCall(DbCall::kMoveNext, 2, talvane::Error(-2147467259, "SQLite", "disk I/O error"));
  EXPECT_TALVANE_ERROR(TableColumns("Orders", cnn_), -2147467259, "SQLite", "disk I/O error");
  EXPECT_EQ(counting_->OpenedRecordsets(), 2);
  counting_->FailCall(DbCall::kFieldValue, 1, talvane::Error(-2147467259, "SQLite", "disk I/O error"));
  EXPECT_TALVANE_ERROR(TableColumns("Orders", cnn_), -2147467259, "SQLite", "disk I/O error");
}

TEST_F(SchemaLookupErrors, ClosedConnectionRaisesTheBackendError) {
  sqlite_->Close();
  EXPECT_TALVANE_ERROR(TableColumns("Orders", cnn_), db::kErrObjectClosed, "SQLite",
                       "Operation is not allowed when the object is closed.");
  EXPECT_TALVANE_ERROR(TableHasColumn("Orders", "Amount", cnn_), db::kErrObjectClosed, "SQLite",
                       "Operation is not allowed when the object is closed.");
}

TEST(SchemaLookupNoConnection, MissingConnectionIsAClearError) {
  EXPECT_TALVANE_ERROR(TableColumns("Orders", nullptr), 91, "TableColumns",
                       "Object variable or With block variable not set");
  EXPECT_TALVANE_ERROR(TableHasColumn("Orders", "Amount", nullptr), 91, "TableHasColumn",
                       "Object variable or With block variable not set");
}

using ProbeRecordset = SchemaLookupTest;

TEST_F(ProbeRecordset, SetsServerForwardOnlyReadOnlyInOrder) {
  db::SqliteRecordset rs;
  rs.SetCursorLocation(3);
  rs.SetCursorType(3);
  rs.SetLockType(3);
  PrepareProbeRecordset(rs);
  EXPECT_EQ(rs.CursorLocation(), 2);
  EXPECT_EQ(rs.CursorType(), 0);
  EXPECT_EQ(rs.LockType(), 1);
}

TEST_F(ProbeRecordset, EachFailedSettingIsIgnoredAndTheNextStillMade) {
  auto rs = cnn_->NewRecordset();
  counting_->FailCall(DbCall::kSetCursorLocation, 1, talvane::Error(3001, "ADODB.Recordset", "refused"));
  counting_->FailCall(DbCall::kSetCursorType, 1, talvane::Error(3001, "ADODB.Recordset", "refused"));
  counting_->FailCall(DbCall::kSetLockType, 1, talvane::Error(3001, "ADODB.Recordset", "refused"));
  EXPECT_NO_THROW(PrepareProbeRecordset(*rs));
  EXPECT_EQ(counting_->Calls(DbCall::kSetCursorLocation), 1);
  EXPECT_EQ(counting_->Calls(DbCall::kSetCursorType), 1);
  EXPECT_EQ(counting_->Calls(DbCall::kSetLockType), 1);
}

TEST_F(ProbeRecordset, OpenRecordsetKeepsItsSettingsWithoutRaising) {
  auto rs = cnn_->NewRecordset();
  rs->Open("SELECT * FROM [Orders] ;", cnn_);
  EXPECT_NO_THROW(PrepareProbeRecordset(*rs));  // the backend refuses settings while open
  EXPECT_EQ(rs->FieldType("Amount"), 6);
  rs->Close();
}

TEST_F(ProbeRecordset, PreparedProbeReadsTheFieldTypeByName) {
  auto rs = cnn_->NewRecordset();
  PrepareProbeRecordset(*rs);
  rs->Open("SELECT * FROM [Customers] ;", cnn_);
  EXPECT_EQ(rs->FieldType("balance"), 6);
  EXPECT_EQ(rs->FieldType("Since"), 133);
  EXPECT_EQ(rs->FieldType("Active"), 11);
  rs->Close();
  EXPECT_EQ(counting_->Requests(), std::vector<std::string>{"SELECT * FROM [Customers] ;"});
}

}  // namespace
}  // namespace talvane::test
