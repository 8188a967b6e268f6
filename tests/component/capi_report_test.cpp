// The plain-C host of tests/capi builds a report through the C interface; the C++ objects, called
// early-bound and late-bound, must give the same statement to the character.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

#include "support/sqlite_fixture.hpp"
#include "talvane/component/class_registry.hpp"
#include "talvane/component/server.hpp"
#include "talvane/component/type_library.hpp"
#include "talvane/talvane.hpp"

namespace talvane {
namespace {

using component::DispatchObject;
using component::Variant;

// Runs the C host on a fresh database file and returns what it printed; fails when it failed.
std::string RunCHost(const std::string& databasePath, const std::string& provider) {
  const std::string command = std::string("'") + TALVANE_CAPI_REPORT + "' '" + databasePath + "' '" + provider + "'";
  FILE* pipe = popen(command.c_str(), "r");
  EXPECT_NE(pipe, nullptr);
  if (!pipe) return {};
  std::string output;
  std::array<char, 4096> buffer{};
  for (std::size_t n; (n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0;) output.append(buffer.data(), n);
  EXPECT_EQ(pclose(pipe), 0) << "the C host reported a failed check";
  return output;
}

// The same report as the C host builds, with the C++ objects called directly.
std::string EarlyBoundStatement(const std::shared_ptr<db::Connection>& connection) {
  auto report = Exception::Create();
  report->SetConnection(connection);
  report->SetMainTable("Customers");
  report->SetMainField("[CustID]");

  const auto formulae = report->Formulae();
  const auto addFormula = [&](const char* name, GROUPTYPEENU grouping, std::string text) {
    formulae->AddNew();
    const auto formula = formulae->Formula();
    if (name) formula->SetName(name);
    formula->SetValue(text);
    formula->SetGrouping(grouping);
  };
  addFormula(nullptr, kBase, "Customers.Balance > 1000");
  addFormula(nullptr, kOr, "\tRegions.RegionName = \"North\"");
  addFormula("OpenOrders", kAnd, "  Orders.Status = \"Open\"  ");

  const auto fields = report->Fields();
  const auto addField = [&](const char* reference, const char* name, bool ordered) {
    fields->AddNew();
    const auto field = fields->Field();
    field->SetValue(reference);
    if (name) field->SetName(name);
    if (ordered) field->SetOrdered(true);
  };
  addField("Customers.CustID", nullptr, true);
  addField("Customers.CustName", "Customer", false);
  addField("Regions.RegionName", nullptr, false);
  addField("OpenOrders.OrderDate", "LastOrder", false);
  addField("Orders.Amount", nullptr, false);
  fields->Remove();
  return report->SQL();
}

// The same report once more, late-bound from C++: only published names, variants and objects.
std::string LateBoundStatement(const std::shared_ptr<db::Connection>& connection) {
  const DispatchObject report = component::ClassRegistry::Create("Talvane.Exception");
  report.Put("Connection", {DispatchObject::Wrap(connection)});
  report.Put("MainTable", {"Customers"});
  report.Put("MainField", {"[CustID]"});

  const DispatchObject formulae = report.Call("Formulae").ToObject();
  const auto addFormula = [&](const char* name, const char* grouping, const char* text) {
    formulae.Call("AddNew");
    const DispatchObject formula = formulae.Call("Formula").ToObject();
    if (name) formula.Put("Name", {name});
    formula.Put("Value", {text});
    formula.Put("Grouping", {*component::TypeLibrary::ConstantValue(grouping)});
  };
  addFormula(nullptr, "kBase", "Customers.Balance > 1000");
  addFormula(nullptr, "kOr", "\tRegions.RegionName = \"North\"");
  addFormula("OpenOrders", "kAnd", "  Orders.Status = \"Open\"  ");

  const DispatchObject fields = report.Call("Fields").ToObject();
  const auto addField = [&](const char* reference, const char* name, bool ordered) {
    fields.Call("AddNew");
    const DispatchObject field = fields.Call("Field").ToObject();
    field.Put("Field", {reference});
    if (name) field.Put("Name", {name});
    if (ordered) field.Put("Ordered", {true});
  };
  addField("Customers.CustID", nullptr, true);
  addField("Customers.CustName", "Customer", false);
  addField("Regions.RegionName", nullptr, false);
  addField("OpenOrders.OrderDate", "LastOrder", false);
  addField("Orders.Amount", nullptr, false);
  fields.Call("Remove");
  return report.Call("SQL").ToString();
}

class CHostReport : public testing::TestWithParam<const char*> {};

TEST_P(CHostReport, GivesTheStatementOfTheCppObjects) {
  const test::TempDatabaseFile file("", GetParam());
  const std::string fromC = RunCHost(file.Path(), GetParam());
  ASSERT_FALSE(fromC.empty());

  const auto connection = db::SqliteConnection::Create(file.ConnectionString());
  EXPECT_EQ(fromC, EarlyBoundStatement(connection));
  EXPECT_EQ(fromC, LateBoundStatement(connection));
  connection->Close();
  EXPECT_TRUE(component::Server::CanUnloadNow());
}

INSTANTIATE_TEST_SUITE_P(BothDialects, CHostReport,
                         testing::Values(test::kSqlServerProvider, test::kAccessProvider));

}  // namespace
}  // namespace talvane
