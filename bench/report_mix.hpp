#pragma once
// Bench-local: a generated SQLite schema of a customer database, and report definitions of any size on it,
// which ReportFromDefinition builds the way a host builds them (one schema scope; AddNew, Grouping, Name,
// Value; then the output fields).
//
// The mix of a report of n formulas, by position i:
//   - one in 25 is a rule of a set (Set0, Set1, ...; one set per 250 formulas, between 1 and 24 sets:
//     the Access statement nests one parenthesis per join, and SQLite's parser takes about 35 of them
//     around derived tables);
//   - one in 25 reads a set's column (Setk.Amount, Setk.Qty), after that set's first rule;
//   - one in 50 is an aggregate (COUNT, SUM, MAX), which turns the outer conditions into HAVING;
//   - the rest cycle through plain comparisons, IN lists, BETWEEN, LIKE, arithmetic on several tables,
//     booleans, and date fields compared with each other (no date literals: the Access statement is
//     compiled by SQLite, which has no #date# literals).
// Formulas are joined with AND, one in nine with OR. Output fields: four of the main and a joined
// table, plus one column of each of the first eight sets.
//
// With SetMix::kFew the sets stop growing with the report: three sets, and set rules and references
// only among the first 250 formulas (ten of each); everything else is as above. With SetMix::kPerBlock
// every block of 25 formulas has a set of its own (n / 25 sets).
#include <sqlite3.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "sqlite_exec.hpp"
#include "talvane/db/sqlite_connection.hpp"
#include "talvane/definition/apply_definition.hpp"
#include "talvane/definition/definition.hpp"
#include "talvane/formula/formula.hpp"
#include "talvane/formula/parse_item.hpp"
#include "talvane/report/exception.hpp"
#include "talvane/report/field.hpp"
#include "talvane/report/field_list.hpp"
#include "talvane/report/formula_list.hpp"

namespace talvane::bench {

inline constexpr const char* kAccessMemory = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=:memory:";

// Every table but the main one carries the main field, CustID, on which the report joins it.
inline const char* SchemaSql() {
  return R"sql(
CREATE TABLE Customers (CustID INTEGER PRIMARY KEY, CustName VARCHAR(60), City VARCHAR(40), Balance MONEY,
                        Since DATE, Active BIT, Score REAL);
CREATE TABLE Orders (OrderID INTEGER PRIMARY KEY, CustID INTEGER, Amount MONEY, Qty INTEGER,
                     Status VARCHAR(20), Placed DATE, Shipped DATE, Paid BIT);
CREATE TABLE Lines (LineID INTEGER PRIMARY KEY, CustID INTEGER, OrderID INTEGER, Product NVARCHAR(50),
                    Price DECIMAL(10,2), Quantity SMALLINT, Discount FLOAT);
CREATE TABLE Payments (PaymentID INTEGER PRIMARY KEY, CustID INTEGER, Amount MONEY, Method CHAR(10),
                       PaidOn DATETIME);
CREATE TABLE Regions (RegionID INTEGER PRIMARY KEY, CustID INTEGER, RegionName TEXT, Manager NVARCHAR(40));
CREATE TABLE Contacts (ContactID INTEGER PRIMARY KEY, CustID INTEGER, Email VARCHAR(80), Calls INTEGER,
                       LastCall DATETIME);
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 200)
INSERT INTO Customers SELECT i, 'Customer ' || i, 'City' || (i % 50), i * 3.5, '2001-01-01', i % 2, i / 7.0 FROM n;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000)
INSERT INTO Orders SELECT i, i % 200 + 1, i * 1.25, i % 9, 'Open', '2002-03-04', '2002-03-09', i % 2 FROM n;
)sql";
}

// A database in memory with the schema above, on an Access connection string.
inline std::shared_ptr<db::SqliteConnection> MakeReportDatabase() {
  auto connection = db::SqliteConnection::Create(kAccessMemory);
  Exec(connection->Handle(), SchemaSql());
  return connection;
}

enum class SetMix { kGrowing, kFew, kPerBlock };

inline int SetCount(int formulas, SetMix mix) {
  if (mix == SetMix::kPerBlock) return std::max(formulas / 25, 1);
  return mix == SetMix::kFew ? std::clamp(formulas / 250, 1, 3) : std::clamp(formulas / 250, 1, 24);
}

inline std::string SetName(int k) { return "Set" + std::to_string(k); }

inline std::string PlainRule(int i) {
  const std::string a = std::to_string(100 + i % 900);
  const std::string b = std::to_string(i % 100);
  switch (i % 20) {
    case 0: return "Orders.Amount > " + a;
    case 1: return "Customers.City = \"City" + std::to_string(i % 50) + "\"";
    case 2: return "Orders.Status IN(\"Open\", \"Shipped\", \"Held\")";
    case 3: return "Payments.Amount BETWEEN " + b + " AND " + a;
    case 4: return "Lines.Price * Lines.Quantity >= " + b;
    case 5: return "Regions.RegionName LIKE \"N%\"";
    case 6: return "Orders.Paid = TRUE";
    case 7: return "Orders.Shipped > Orders.Placed";
    case 8: return "Contacts.Calls + Orders.Qty < " + b;
    case 9: return "Customers.Balance - Payments.Amount <> 0";
    case 10: return "Orders.Qty IN(1, 2, 3, 5, 8, 13)";
    case 11: return "Lines.Discount BETWEEN 0.05 AND 0.25";
    case 12: return "Customers.CustName NOT LIKE \"Test%\"";
    case 13: return "(Orders.Amount + Payments.Amount) / 2 > Customers.Balance";
    case 14: return "Customers.Active = FALSE";
    case 15: return "Payments.Method <> \"Cash\"";
    case 16: return "Customers.Score * 10 >= " + b;
    case 17: return "Lines.Product LIKE \"%Widget%\"";
    case 18: return "Contacts.Email LIKE \"%@example.com\"";
    default: return "Regions.Manager IN(\"Ann\", \"Bo\", \"Cy\")";
  }
}

inline std::string AggregateRule(int i) {
  switch ((i / 50) % 3) {
    case 0: return "COUNT(Orders.OrderID) > 2";
    case 1: return "SUM(Lines.Price) >= " + std::to_string(100 + i % 400);
    default: return "MAX(Payments.Amount) < 5000";
  }
}

// The rules of a set read Orders first, so every set offers Amount and Qty.
inline std::string SetRule(int round, int i) {
  switch (round % 3) {
    case 0: return "Orders.Amount > " + std::to_string(50 + i % 500);
    case 1: return "Payments.Method = \"Card\"";
    default: return "Orders.Qty >= " + std::to_string(1 + i % 5);
  }
}

inline std::string SetReferenceRule(int set, int i) {
  if (i % 2 == 0) return SetName(set) + ".Amount > " + std::to_string(10 + i % 90);
  return SetName(set) + ".Qty * 2 < " + std::to_string(5 + i % 20);
}

inline Definition MakeReportDefinition(int formulas, SetMix mix = SetMix::kGrowing) {
  const int sets = SetCount(formulas, mix);
  const int setBlocks = mix == SetMix::kFew ? 10 : formulas;
  Definition plan;
  plan.mainTable = "Customers";
  plan.mainField = "CustID";
  plan.formulas.reserve(static_cast<std::size_t>(formulas));
  for (int i = 0; i < formulas; ++i) {
    const int block = i / 25;
    FormulaDefinition formula;
    if (i % 25 == 1 && block < setBlocks) {
      formula.text = SetRule(block / sets, i);
      formula.name = SetName(block % sets);
    } else if (i % 25 == 13 && block < setBlocks) {
      formula.text = SetReferenceRule(block % sets, i);
    } else if (i % 50 == 37) {
      formula.text = AggregateRule(i);
    } else {
      formula.text = PlainRule(i);
    }
    formula.grouping = i == 0 ? kBase : (i % 9 == 4 && !formula.name ? kOr : kAnd);
    plan.formulas.push_back(std::move(formula));
  }
  plan.fields = {{"Customers.CustID", {}, {}, 1, {}},
                 {"Customers.CustName", "Customer", {}, {}, {}},
                 {"Customers.City", {}, {}, {}, {}},
                 {"Regions.RegionName", {}, {}, {}, {}}};
  const int namedSets = std::min({sets, (formulas + 23) / 25, setBlocks});
  for (int k = 0; k < std::min(namedSets, 8); ++k) {
    plan.fields.push_back({SetName(k) + ".Amount", "Amount" + std::to_string(k), {}, {}, {}});
  }
  return plan;
}

inline std::size_t CountItems(std::string_view text) {
  std::size_t items = 0;
  while (!text.empty()) {
    ParseItem(text);
    ++items;
  }
  return items;
}

// A rule of exactly `items` items (3, or an even number from 10 on): a plain comparison, or an arithmetic
// operand tested against an IN list whose elements alternate between fields with arithmetic and literals.
// Every field of it is probed when it is assigned.
inline std::string RuleOfItems(std::size_t items) {
  if (items == 3) return "Orders.Amount > 100";
  if (items < 10 || items % 2 != 0) throw std::invalid_argument("a rule has 3 items or an even number from 10 on");
  std::string text = "Orders.Amount * 2 + Lines.Price IN(Orders.Qty + 1";  // 5 + IN + 3 items, and ")"
  std::size_t left = items - 10;
  for (int k = 0; left > 0; ++k) {
    if (left >= 4 && left != 6) {
      text += k % 2 == 0 ? ", Payments.Amount - " + std::to_string(k) : ", Contacts.Calls * " + std::to_string(k + 2);
      left -= 4;
    } else {
      text += ", " + std::to_string(k * 7 % 100);
      left -= 2;
    }
  }
  text += ")";
  if (CountItems(text) != items) throw std::logic_error("RuleOfItems miscounted: " + text);
  return text;
}

}  // namespace talvane::bench
