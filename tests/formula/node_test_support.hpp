#pragma once
// Shared set-up of the node tests: a real SQLite schema behind a counting connection, and short ways to
// build items, sections and formulas on it (alone, or inside a report).
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/counting_connection.hpp"
#include "support/expect_error.hpp"
#include "support/internal_access.hpp"
#include "support/sqlite_fixture.hpp"
#include "talvane/formula/formula.hpp"
#include "talvane/formula/item.hpp"
#include "talvane/formula/section.hpp"
#include "talvane/report/exception.hpp"
#include "talvane/report/formula_list.hpp"

namespace talvane::test {

using detail::Access;

class NodeTest : public testing::Test {
 protected:
  void SetUp() override {
    database_ = MakeStandardDatabase();
    cnn_ = CountingConnection::Create(database_);
  }

  // A formula outside any report, with the connection and the dialect.
  std::shared_ptr<Formula> NewFormula(DATABASETYPEENU dialect = kSQLServer) const {
    auto formula = Formula::Create();
    formula->TempConnection(cnn_);
    formula->SetDatabaseType(dialect);
    return formula;
  }
  std::shared_ptr<Formula> Parsed(const std::string& text, DATABASETYPEENU dialect = kSQLServer) const {
    auto formula = NewFormula(dialect);
    formula->SetValue(std::string_view(text));
    return formula;
  }

  // A section on its own, with the connection and the dialect.
  std::shared_ptr<Section> NewSection(DATABASETYPEENU dialect = kSQLServer) const {
    auto section = Section::Create();
    Access::SetConnection(*section, cnn_);
    section->SetDatabaseType(dialect);
    return section;
  }
  // A section on its own built from a whole text.
  std::shared_ptr<Section> ParsedSection(const std::string& text, DATABASETYPEENU dialect = kSQLServer) const {
    auto section = NewSection(dialect);
    section->SetValue(std::string_view(text));
    return section;
  }

  // An item with the connection, under `parent` when given.
  std::shared_ptr<Item> NewItem(const std::shared_ptr<INode>& parent = nullptr,
                                DATABASETYPEENU dialect = kSQLServer) const {
    auto item = Item::Create();
    Access::SetConnection(*item, cnn_);
    item->SetParent(parent);
    item->SetDatabaseType(dialect);
    return item;
  }

  // A report on the counting connection; its dialect follows the provider (SQL Server here).
  std::shared_ptr<talvane::Exception> NewReport() const {
    auto report = talvane::Exception::Create();
    report->SetConnection(cnn_);
    return report;
  }
  // Adds a formula to the report and gives it its text (and name, when not empty).
  static std::shared_ptr<Formula> AddFormula(const std::shared_ptr<talvane::Exception>& report,
                                             const std::string& text, const std::string& name = "") {
    report->Formulae()->AddNew();
    auto formula = report->Formulae()->Formula();
    if (!name.empty()) formula->SetName(name);
    formula->SetValue(std::string_view(text));
    return formula;
  }

  std::shared_ptr<db::SqliteConnection> database_;
  std::shared_ptr<CountingConnection> cnn_;
};

// The first item of a formula's section `index` (1-based), for looking at one operand.
inline std::shared_ptr<Item> FirstItemOf(const std::shared_ptr<Formula>& formula, int32_t index) {
  auto section = std::dynamic_pointer_cast<Section>(formula->Node(index));
  return section ? std::dynamic_pointer_cast<Item>(section->Node(1)) : nullptr;
}

}  // namespace talvane::test
