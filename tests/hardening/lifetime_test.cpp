// Object lifetimes: trees taken apart by Clear, reports released while the host still holds a formula, a
// field or a list. Every back reference is weak, so once the host lets go nothing is left alive (checked here
// through weak references; the sanitizer build and valgrind check the same for every test); what the host
// still holds stays usable or fails with a clear talvane::Error.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/counting_connection.hpp"
#include "support/sqlite_fixture.hpp"
#include "talvane/formula/formula.hpp"
#include "talvane/formula/item.hpp"
#include "talvane/formula/section.hpp"
#include "talvane/foundation/error.hpp"
#include "talvane/report/exception.hpp"
#include "talvane/report/field.hpp"
#include "talvane/report/field_list.hpp"
#include "talvane/report/formula_list.hpp"

namespace talvane::test {
namespace {

class Lifetime : public ::testing::Test {
 protected:
  void SetUp() override { connection_ = CountingConnection::Create(MakeStandardDatabase()); }

  // A report with a plain formula, a set, a formula referring to the set and fields in the schema and in
  // the set: every kind of back reference the object model has.
  std::shared_ptr<Exception> FullReport() {
    auto report = Exception::Create();
    report->SetConnection(connection_);
    report->SetMainTable("Customers");
    report->SetMainField("CustID");
    auto& formulae = *report->Formulae();
    formulae.AddNew();
    formulae.Formula()->SetValue(std::string_view("(Orders.Amount + 1) * 2 > SUM(Lines.Qty)"));
    formulae.AddNew();
    formulae.Formula()->SetName("Big");
    formulae.Formula()->SetValue(std::string_view("Lines.Price BETWEEN 1 AND 100"));
    formulae.AddNew();
    formulae.Formula()->SetValue(std::string_view("Big.Qty IN(1, 2, 3)"));
    auto& fields = *report->Fields();
    fields.AddNew();
    fields.Field()->SetValue("Customers.CustName");
    fields.AddNew();
    fields.Field()->SetValue("Big.Price");
    fields.Field()->SetOrdered(true);
    return report;
  }

  // Weak references to every object of a report, down to the items.
  static std::vector<std::weak_ptr<const void>> EveryObject(const std::shared_ptr<Exception>& report) {
    std::vector<std::weak_ptr<const void>> objects{report, report->Formulae(), report->Fields()};
    for (int32_t i = 1; i <= report->Formulae()->Count(); ++i) AddTree(report->Formulae()->Formula(i), objects);
    for (int32_t i = 1; i <= report->Fields()->Count(); ++i) objects.emplace_back(report->Fields()->Field(i));
    return objects;
  }

  static void AddTree(const std::shared_ptr<INode>& node, std::vector<std::weak_ptr<const void>>& objects) {
    objects.emplace_back(node);
    if (node->ItemType() == kField || node->ItemType() == kLiteral || node->ItemType() == kArith) return;
    for (int32_t i = 1; i <= node->Count(); ++i) AddTree(node->Child(i), objects);
  }

  static int32_t Alive(const std::vector<std::weak_ptr<const void>>& objects) {
    int32_t alive = 0;
    for (const auto& object : objects) alive += object.expired() ? 0 : 1;
    return alive;
  }

  std::shared_ptr<CountingConnection> connection_;
};

TEST_F(Lifetime, ReleasingAReportReleasesEveryObjectOfIt) {
  auto report = FullReport();
  report->SQL();
  const auto objects = EveryObject(report);
  ASSERT_GT(objects.size(), 20u);
  report.reset();
  EXPECT_EQ(Alive(objects), 0);
  EXPECT_EQ(connection_.use_count(), 1) << "the report let go of the host's connection";
  EXPECT_EQ(connection_->OpenRecordsets(), 0);
}

TEST_F(Lifetime, ClearTakesTheTreesApartAndLeavesTheReportUsable) {
  auto report = FullReport();
  const auto objects = EveryObject(report);
  const auto heldItem = std::dynamic_pointer_cast<Item>(report->Formulae()->Formula(1)->Node(1)->Child(1)->Child(1));
  ASSERT_TRUE(heldItem);
  report->Clear();
  EXPECT_EQ(report->Formulae()->Count(), 0);
  EXPECT_EQ(report->Fields()->Count(), 0);
  // Only the report, its lists and the item the host holds are left.
  EXPECT_EQ(Alive(objects), 4);
  EXPECT_EQ(heldItem->Parent(), nullptr);
  EXPECT_EQ(heldItem->Value(), "");

  report->Formulae()->AddNew();
  report->Formulae()->Formula()->SetValue(std::string_view("Orders.Amount > 5"));
  report->Fields()->AddNew();
  report->Fields()->Field()->SetValue("Orders.Status");
  EXPECT_NE(report->SQL().find("[Orders].[Status]"), std::string::npos);
}

TEST_F(Lifetime, AFormulaHeldAfterItsReportIsReleasedStaysReadableAndLeavesNothing) {
  auto report = FullReport();
  std::shared_ptr<Formula> formula = report->Formulae()->Formula(3);
  const std::string sql = formula->SQL();
  std::weak_ptr<Exception> weakReport = report;
  report.reset();
  EXPECT_TRUE(weakReport.expired());

  EXPECT_EQ(formula->SQL(), sql);
  EXPECT_EQ(formula->Name(), "");
  EXPECT_FALSE(formula->Tables().empty());
  // It still has its connection: a plain text works; a set reference has no report left to resolve it.
  formula->SetValue(std::string_view("Orders.Qty > 1"));
  EXPECT_TRUE(formula->Valid());
  EXPECT_THROW(formula->SetValue(std::string_view("Big.Qty > 1")), talvane::Error);
  formula->SetName("Renamed");  // no report to resolve sets in: nothing to do

  std::vector<std::weak_ptr<const void>> tree;
  AddTree(formula, tree);
  formula.reset();
  EXPECT_EQ(Alive(tree), 0);
}

TEST_F(Lifetime, AFieldHeldAfterItsReportIsReleasedReadsAndRefusesLookUpsClearly) {
  auto report = FullReport();
  std::shared_ptr<Field> field = report->Fields()->Field(2);
  report.reset();

  EXPECT_EQ(field->Value(), "[Lines].[Price]");
  EXPECT_EQ(field->NameOfSet(), "[Big]");
  EXPECT_TRUE(field->Ordered());
  // Without its list a field can neither look anything up nor take part in ordering.
  EXPECT_THROW(field->SetValue("Orders.Amount"), talvane::Error);
  EXPECT_THROW(field->SetName("Other"), talvane::Error);
  EXPECT_THROW(field->SetOrderPos(3), talvane::Error);
  EXPECT_EQ(field->Value(), "[Lines].[Price]");
  std::weak_ptr<Field> weakField = field;
  field.reset();
  EXPECT_TRUE(weakField.expired());
}

TEST_F(Lifetime, ListsHeldAfterTheirReportIsReleasedKeepWorking) {
  auto report = FullReport();
  const auto formulae = report->Formulae();
  const auto fields = report->Fields();
  report.reset();
  EXPECT_EQ(formulae->Exception(), nullptr);
  EXPECT_EQ(fields->Parent(), nullptr);
  formulae->AddNew();
  formulae->Formula()->SetValue(std::string_view("Orders.Amount > 5"));
  fields->AddNew();
  // A field finds schema columns without its report; only the set search needs it.
  fields->Field()->SetValue("Orders.Amount");
  EXPECT_THROW(fields->Field()->SetValue("Nowhere.Amount"), talvane::Error);
  EXPECT_EQ(fields->Field()->Value(), "[Orders].[Amount]");
  formulae->Clear();
  fields->Clear();
}

TEST_F(Lifetime, ANodeTakenFromOneTreeAndReleasedWithTheOtherLeavesNothing) {
  auto first = FullReport();
  auto second = FullReport();
  // The host moves an operand of one formula into another; the old tree is released afterwards.
  auto moved = first->Formulae()->Formula(1)->Node(2);
  second->Formulae()->Formula(1)->SetNode(2, moved);
  const auto objects = EveryObject(first);
  std::vector<std::weak_ptr<const void>> movedTree;
  AddTree(moved, movedTree);
  first.reset();
  EXPECT_FALSE(second->Formulae()->Formula(1)->SQL().empty());
  second.reset();
  EXPECT_EQ(Alive(objects), static_cast<int32_t>(movedTree.size())) << "only the operand the host still holds";
  moved.reset();
  EXPECT_EQ(Alive(objects), 0);
}

}  // namespace
}  // namespace talvane::test
