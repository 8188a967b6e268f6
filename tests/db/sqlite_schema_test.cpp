// The SQLite backend's schema rowsets: tables (kind 20) and columns (kind 4) with their restrictions.
#include <gtest/gtest.h>

#include "support/expect_error.hpp"
#include "support/sqlite_fixture.hpp"

namespace talvane::test {
namespace {

using Restrictions = std::vector<std::string>;

class SqliteSchemaTest : public ::testing::Test {
 protected:
  // Values of one field of every row.
  std::vector<std::string> Column(int32_t kind, const Restrictions& restrictions, const std::string& field) {
    auto rs = cnn_->OpenSchema(kind, restrictions);
    std::vector<std::string> values;
    while (!rs->Eof()) {
      values.push_back(rs->FieldValue(field));
      rs->MoveNext();
    }
    rs->Close();
    return values;
  }
  std::vector<std::string> Tables(const Restrictions& restrictions) {
    return Column(db::kSchemaTables, restrictions, "TABLE_NAME");
  }
  std::vector<std::string> Columns(const Restrictions& restrictions) {
    return Column(db::kSchemaColumns, restrictions, "COLUMN_NAME");
  }

  std::shared_ptr<db::SqliteConnection> cnn_ = MakeStandardDatabase();
};

using TablesSchema = SqliteSchemaTest;

TEST_F(TablesSchema, ListsOrdinaryTablesOnly) {
  EXPECT_EQ(Tables({}), (std::vector<std::string>{"AllTypes", "Customers", "EmptyTable", "Lines", "Order Lines",
                                                  "Orders", "Regions"}));
}

TEST_F(TablesSchema, RowsCarryAdoColumnNames) {
  auto rs = cnn_->OpenSchema(db::kSchemaTables, {"", "", "orders", "TABLE"});
  ASSERT_FALSE(rs->Eof());
  EXPECT_EQ(rs->FieldName(0), "TABLE_CATALOG");
  EXPECT_EQ(rs->FieldValue("TABLE_SCHEMA"), "main");
  EXPECT_EQ(rs->FieldValue(2), "Orders");
  EXPECT_EQ(rs->FieldValue("TABLE_TYPE"), "TABLE");
  EXPECT_EQ(rs->FieldType("TABLE_NAME"), 130);
  rs->MoveNext();
  EXPECT_TRUE(rs->Eof());
}

TEST_F(TablesSchema, TableNameComparesWithoutCase) {
  EXPECT_EQ(Tables({"", "", "CUSTOMERS", "TABLE"}), std::vector<std::string>{"Customers"});
  EXPECT_EQ(Tables({"", "", "order lines", ""}), std::vector<std::string>{"Order Lines"});
}

TEST_F(TablesSchema, ViewsInternalTablesAndOtherTypesAreNeverFound) {
  RunSql(*cnn_, "CREATE INDEX IxOrders ON Orders (CustID); ANALYZE;");  // creates sqlite_stat1
  EXPECT_TRUE(Tables({"", "", "ActiveCustomers", "TABLE"}).empty());
  EXPECT_TRUE(Tables({"", "", "ActiveCustomers", ""}).empty());
  EXPECT_TRUE(Tables({"", "", "sqlite_schema", ""}).empty());
  EXPECT_TRUE(Tables({"", "", "sqlite_stat1", ""}).empty());
  EXPECT_TRUE(Tables({"", "", "IxOrders", ""}).empty());
  EXPECT_TRUE(Tables({"", "", "Orders", "VIEW"}).empty());
  EXPECT_EQ(Tables({"", "", "Orders", "table"}), std::vector<std::string>{"Orders"});
}

TEST_F(TablesSchema, CatalogAndSchemaRestrictions) {
  EXPECT_TRUE(Tables({"SomeCatalog", "", "Orders", ""}).empty());
  EXPECT_EQ(Tables({"", "MAIN", "Orders", ""}), std::vector<std::string>{"Orders"});
  EXPECT_TRUE(Tables({"", "temp", "Orders", ""}).empty());
  RunSql(*cnn_, "CREATE TEMP TABLE Scratch (A INTEGER);");
  EXPECT_EQ(Tables({"", "temp", "", ""}), std::vector<std::string>{"Scratch"});
}

TEST_F(TablesSchema, RestrictionValuesAreDataNotSql) {
  EXPECT_TRUE(Tables({"", "", "Orders' OR '1'='1", ""}).empty());
  EXPECT_TRUE(Tables({"", "", "%", ""}).empty());
  EXPECT_EQ(Tables({"", "", "Orders", ""}), std::vector<std::string>{"Orders"});
}

TEST_F(TablesSchema, MoreThanFourRestrictionsAreRefused) {
  EXPECT_TALVANE_ERROR(cnn_->OpenSchema(db::kSchemaTables, {"", "", "", "", ""}), db::kErrUnspecified, "SQLite",
                       "Arguments are of the wrong type, are out of acceptable range, or are in conflict with one "
                       "another.");
  EXPECT_EQ(cnn_->OpenRecordsets(), 0);
}

using ColumnsSchema = SqliteSchemaTest;

TEST_F(ColumnsSchema, OneRowPerColumnInDeclaredOrderWithTheNameAtIndexThree) {
  auto rs = cnn_->OpenSchema(db::kSchemaColumns, {"", "", "Orders", ""});
  std::vector<std::string> names;
  std::vector<std::string> positions;
  while (!rs->Eof()) {
    names.push_back(rs->FieldValue(3));
    positions.push_back(rs->FieldValue("ORDINAL_POSITION"));
    rs->MoveNext();
  }
  EXPECT_EQ(names, (std::vector<std::string>{"OrderID", "CustID", "Amount", "Status", "OrderDate", "ShipTime",
                                             "Placed", "Qty", "Total"}));
  EXPECT_EQ(positions, (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8", "9"}));
  EXPECT_EQ(rs->FieldName(3), "COLUMN_NAME");
}

TEST_F(ColumnsSchema, DataTypeFollowsTheDeclaredType) {
  auto rs = cnn_->OpenSchema(db::kSchemaColumns, {"", "", "Orders", "Amount"});
  ASSERT_FALSE(rs->Eof());
  EXPECT_EQ(rs->FieldValue("DATA_TYPE"), "6");
  EXPECT_EQ(rs->FieldValue("TYPE_NAME"), "MONEY");
  EXPECT_EQ(rs->FieldValue("TABLE_NAME"), "Orders");
}

TEST_F(ColumnsSchema, TableAndColumnCompareWithoutCase) {
  EXPECT_EQ(Columns({"", "", "ORDERS", "amount"}), std::vector<std::string>{"Amount"});
  EXPECT_EQ(Columns({"", "", "order lines", "unit price"}), std::vector<std::string>{"Unit Price"});
  EXPECT_TRUE(Columns({"", "", "Orders", "Nope"}).empty());
  EXPECT_TRUE(Columns({"", "", "Nope", ""}).empty());
}

TEST_F(ColumnsSchema, ColumnRestrictionAloneSpansTables) {
  EXPECT_EQ(Column(db::kSchemaColumns, {"", "", "", "CustID"}, "TABLE_NAME"),
            (std::vector<std::string>{"ActiveCustomers", "Customers", "Lines", "Orders", "OrderTotals", "Regions"}));
}

TEST_F(ColumnsSchema, ABrokenViewDoesNotSpoilOtherTables) {
  RunSql(*cnn_, "CREATE TABLE Gone (A INTEGER); CREATE VIEW Broken AS SELECT A FROM Gone; DROP TABLE Gone;");
  EXPECT_EQ(Columns({"", "", "Regions", ""}), (std::vector<std::string>{"RegionID", "RegionName", "CustID"}));
}

}  // namespace
}  // namespace talvane::test
