// Late-bound calls: members by name or dispatch identifier with variant arguments, by-reference
// write-back, objects as arguments and results, and errors.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/expect_error.hpp"
#include "support/sqlite_fixture.hpp"
#include "talvane/component/class_registry.hpp"
#include "talvane/component/dispatch_error.hpp"
#include "talvane/component/identities.hpp"
#include "talvane/component/type_info.hpp"
#include "talvane/component/type_library.hpp"
#include "talvane/talvane.hpp"

namespace talvane::component {
namespace {

constexpr uint16_t kRead = kInvokeMethod | kInvokePropertyGet;

class LateBound : public testing::Test {
 protected:
  void SetUp() override {
    connection_ = test::MakeStandardDatabase();
    report_ = ClassRegistry::Create("Talvane.Exception");
    report_.Put("Connection", {DispatchObject::Wrap(std::shared_ptr<db::Connection>(connection_))});
    formulae_ = report_.Call("Formulae").ToObject();
    fields_ = report_.Call("Fields").ToObject();
  }

  DispatchObject AddFormula(const char* text) {
    formulae_.Call("AddNew");
    DispatchObject formula = formulae_.Call("Formula").ToObject();
    formula.Put("Value", {text});
    return formula;
  }

  std::shared_ptr<db::SqliteConnection> connection_;
  DispatchObject report_;
  DispatchObject formulae_;
  DispatchObject fields_;
};

TEST_F(LateBound, NamesIgnoreLetterCase) {
  report_.Put("maintable", {"Orders"});
  EXPECT_EQ(report_.Call("MAINTABLE").ToString(), "[Orders]");
  EXPECT_EQ(report_.Call("MainTable").ToString(), "[Orders]");
}

TEST_F(LateBound, MembersAreReachedByDispatchIdentifier) {
  const auto id = report_.IdOfName("MainField");
  ASSERT_TRUE(id.has_value());
  std::vector<Variant> value{Variant("[OrderID]")};
  report_.Invoke(*id, kInvokePropertyPut, value);
  EXPECT_EQ(report_.Invoke(*id, kInvokePropertyGet, {}), Variant("[OrderID]"));
}

TEST_F(LateBound, DefaultMembersAreDispatchZero) {
  const DispatchObject formula = AddFormula("Orders.Amount >= 100");
  EXPECT_EQ(formula.Invoke(0, kRead, {}).ToString(), "[Orders].[Amount] >= 100");
  std::vector<Variant> first{Variant(1)};
  EXPECT_TRUE(formulae_.Invoke(0, kRead, first).ToObject().IsSameObject(formula));

  fields_.Call("AddNew");
  std::vector<Variant> reference{Variant("Orders.OrderID")};
  const DispatchObject field = fields_.Invoke(0, kRead, {}).ToObject();
  field.Invoke(0, kInvokePropertyPut, reference);
  EXPECT_EQ(field.Invoke(0, kRead, {}).ToString(), "[Orders].[OrderID]");
}

TEST_F(LateBound, PublishedNamesWorkAsPublished) {
  EXPECT_EQ(formulae_.Call("EOF"), Variant(false));
  EXPECT_EQ(formulae_.Call("BOF"), Variant(true));
  EXPECT_EQ(fields_.Call("eof"), Variant(false));
  fields_.Call("AddNew");
  const DispatchObject field = fields_.Call("Field").ToObject();
  field.Put("Field", {"Orders.Amount"});
  EXPECT_EQ(field.Call("Field").ToString(), "[Orders].[Amount]");

  const DispatchObject formula = AddFormula("Orders.Amount >= 100");
  EXPECT_EQ(formula.Call("INode_DatabaseType"), Variant(kSQLServer));
  formula.Put("INode_DatabaseType", {kAccess});
  EXPECT_EQ(formula.Call("DatabaseType"), Variant(kAccess));
}

TEST_F(LateBound, RemoveWritesTheResolvedIndexBack) {
  AddFormula("Orders.Amount >= 100");
  AddFormula("Orders.Amount >= 200");
  std::vector<Variant> index{Variant(-1)};
  formulae_.Invoke("Remove", kInvokeMethod, index);
  EXPECT_EQ(index[0], Variant(2));
  EXPECT_EQ(formulae_.Call("Count"), Variant(1));
}

TEST_F(LateBound, IndexIsWrittenBackEvenWhenTheCallFails) {
  formulae_.Put("Index", {7});
  std::vector<Variant> index{Variant(-1)};
  EXPECT_TALVANE_ERROR(formulae_.Invoke("ErrorPos", kInvokeMethod, index), 0x80040001,
                       "Exception: Exception.ErrorPos(Index)", "Index out of bounds");
  EXPECT_EQ(index[0], Variant(7));
}

TEST_F(LateBound, OmittedIndexMeansTheCursor) {
  AddFormula("Orders.Amount >= 100");
  fields_.Call("AddNew");
  fields_.Call("Remove");
  EXPECT_EQ(fields_.Call("Count"), Variant(0));
  EXPECT_EQ(formulae_.Call("ErrorItem"), Variant(""));
}

TEST_F(LateBound, FormulaTextComesBackTrimmed) {
  formulae_.Call("AddNew");
  const DispatchObject formula = formulae_.Call("Formula").ToObject();
  std::vector<Variant> text{Variant(" \tOrders.Amount >= 100\r\n")};
  formula.Invoke("Value", kInvokePropertyPut, text);
  EXPECT_EQ(text[0], Variant("Orders.Amount >= 100"));
}

TEST_F(LateBound, FailedFormulaTextStillComesBackTrimmed) {
  formulae_.Call("AddNew");
  const DispatchObject formula = formulae_.Call("Formula").ToObject();
  std::vector<Variant> text{Variant("  = 5 ")};
  EXPECT_TALVANE_ERROR(formula.Invoke("Value", kInvokePropertyPut, text), ERR_ITEMTYPE, "Exception: Formula.Add",
                       "Illigal value");
  EXPECT_EQ(text[0], Variant("= 5"));
  EXPECT_EQ(formula.Call("ErrorPos"), Variant(0));
}

TEST_F(LateBound, ErrorsOfMembersArriveUnchanged) {
  const DispatchObject item = ClassRegistry::Create("Talvane.Item");
  EXPECT_TALVANE_ERROR(item.Put("ItemType", {kSection}), ERR_ITEMTYPE, "Exception: Item.ItemType",
                       "Cannot assig kSection or kSeperator to an Item class");
  EXPECT_TALVANE_ERROR(formulae_.Call("Formula", {3}), 0x80040001, "Exception: Exception.Value(Index)",
                       "Index out of bounds");

  const Error bare = test::CaptureError([&] { report_.Put("MainField", {"Orders.OrderID"}); });
  EXPECT_EQ(bare.Number(), ERR_EXCEPT_INVALID_MAINFIELD);
  EXPECT_EQ(bare.Source(), "");
  EXPECT_EQ(bare.Description(), "");
}

TEST_F(LateBound, ClosedConnectionThroughTheConnectionObject) {
  const DispatchObject connection = report_.Call("Connection").ToObject();
  EXPECT_EQ(connection.ClassName(), "Connection");
  EXPECT_EQ(connection.Call("State"), Variant(1));
  EXPECT_EQ(connection.Call("ConnectionString"), Variant("Provider=SQLOLEDB.1;Data Source=:memory:"));
  connection.Call("Close");
  EXPECT_TALVANE_ERROR(formulae_.Call("AddNew"), 0x80040004, "Exception: Exception.AddNew", "Connection not open");
  EXPECT_TALVANE_ERROR(fields_.Call("AddNew"), 0x80040001, "Exception: FieldList.AddNew", "Connection not open");
}

TEST_F(LateBound, UnknownMemberIsAnErrorOfItsOwn) {
  EXPECT_TALVANE_ERROR(report_.Call("Formulas"), kErrUnknownName, kDispatchSource,
                       "_Exception has no member named Formulas");
  EXPECT_TALVANE_ERROR(report_.Invoke(99, kRead, {}), kErrMemberNotFound, kDispatchSource,
                       "_Exception has no member with dispatch identifier 99");
}

TEST_F(LateBound, WrongArgumentCountIsAnErrorOfItsOwn) {
  EXPECT_TALVANE_ERROR(report_.Call("SQL", {true}), kErrBadParamCount, kDispatchSource,
                       "Wrong number of arguments for _Exception.SQL: it takes 0, 1 given");
  EXPECT_TALVANE_ERROR(formulae_.Call("Remove", {1, 2}), kErrBadParamCount, kDispatchSource,
                       "Wrong number of arguments for _FormulaList.Remove: it takes 0 to 1, 2 given");
  EXPECT_TALVANE_ERROR(report_.Put("MainTable", {}), kErrBadParamCount, kDispatchSource,
                       "Wrong number of arguments for _Exception.MainTable: it takes 1, 0 given");
}

TEST_F(LateBound, MissingHalfIsAnErrorOfItsOwn) {
  const DispatchObject formula = AddFormula("Orders.Amount >= 100");
  EXPECT_TALVANE_ERROR(formula.Put("Comparison", {"="}), kErrMemberNotFound, kDispatchSource,
                       "_Formula.Comparison cannot be written");
  EXPECT_TALVANE_ERROR(report_.Put("DatabaseType", {kAccess}), kErrMemberNotFound, kDispatchSource,
                       "_Exception.DatabaseType cannot be written");
}

TEST_F(LateBound, ArgumentOfTheWrongTypeNamesTheArgument) {
  EXPECT_TALVANE_ERROR(formulae_.Call("Formula", {"first"}), kErrTypeMismatch, kDispatchSource,
                       "Argument Index of _FormulaList.Formula: Type mismatch: cannot convert the text \"first\" "
                       "to a number");
  EXPECT_TALVANE_ERROR(report_.Put("Formulae", {fields_}), kErrTypeMismatch, kDispatchSource,
                       "Argument RHS of _Exception.Formulae: Object of class FieldList given where FormulaList is "
                       "expected");
}

TEST_F(LateBound, NumbersConvertAsADispatchHostExpects) {
  AddFormula("Orders.Amount >= 100");
  EXPECT_TRUE(formulae_.Call("Formula", {"1"}).ToObject());
  EXPECT_TRUE(formulae_.Call("Formula", {1.4}).ToObject());
  formulae_.Put("DatabaseType", {0.0});
  EXPECT_EQ(formulae_.Call("DatabaseType"), Variant(kAccess));
}

TEST_F(LateBound, ObjectsComeBackAsTheirOwnClass) {
  const DispatchObject formula = AddFormula("(Orders.Amount + 1) * 2 >= 100");
  EXPECT_EQ(formula.ClassName(), "Formula");
  EXPECT_TRUE(formulae_.Call("Exception").ToObject().IsSameObject(report_));
  EXPECT_TRUE(report_.Call("Formulae").ToObject().IsSameObject(formulae_));

  const DispatchObject section = formula.Call("Node", {1}).ToObject();
  EXPECT_EQ(section.ClassName(), "Section");
  EXPECT_EQ(section.Interface().Name(), "_Section");
  EXPECT_TRUE(section.Call("Parent").ToObject().IsSameObject(formula));
  const DispatchObject group = section.Call("Node", {1}).ToObject();
  EXPECT_EQ(group.ClassName(), "Section");
  EXPECT_EQ(group.Call("Node", {1}).ToObject().ClassName(), "Item");
  EXPECT_EQ(formula.Call("Parent"), Variant(DispatchObject()));
}

TEST_F(LateBound, NodesAnswerThroughTheINodeInterface) {
  const DispatchObject formula = AddFormula("Orders.Amount >= 100");
  const DispatchObject node = formula.QueryInterface(kIidINode);
  EXPECT_EQ(node.Interface().Name(), "_INode");
  EXPECT_TRUE(node.IsSameObject(formula));
  EXPECT_EQ(node.Call("ItemType"), Variant(kFormula));
  const DispatchObject item = node.Call("Child", {1}).ToObject().Call("Node", {1}).ToObject();
  EXPECT_TALVANE_ERROR(item.QueryInterface(kIidINode).Call("Child", {1}), ERR_INDEX_OOB,
                       "Exception: (Item)INode.Child", "Index out of bounds");
  EXPECT_TALVANE_ERROR(report_.QueryInterface(kIidINode), kErrNoInterface, kDispatchSource,
                       "Class Exception does not expose the interface {57C4F836-3874-4E7C-A480-7254FE7B0ECA}");
}

TEST_F(LateBound, ObjectArgumentsAndNothing) {
  const DispatchObject formula = AddFormula("Orders.Amount >= 100");
  const DispatchObject section = ClassRegistry::Create("Talvane.Section");
  section.Put("Parent", {formula});
  EXPECT_TRUE(section.Call("Parent").ToObject().IsSameObject(formula));
  section.Put("Parent", {DispatchObject()});
  EXPECT_TRUE(section.Call("Parent").ToObject().IsNothing());
  EXPECT_TALVANE_ERROR(DispatchObject().Call("Value"), kErrObjectNotSet, kDispatchSource,
                       "Object variable not set: the object is Nothing");
}

TEST_F(LateBound, AnObjectWhereTextIsExpectedGivesItsDefaultMember) {
  const DispatchObject first = AddFormula("Orders.Amount >= 100");
  const DispatchObject second = AddFormula("Orders.Qty < 5");
  first.Put("Value", {second});
  EXPECT_EQ(first.Call("Value").ToString(), "[Orders].[Qty] < 5");
  EXPECT_TALVANE_ERROR(first.Put("Value", {report_}), kErrTypeMismatch, kDispatchSource,
                       "Argument RHS of _Formula.Value: Type mismatch: cannot convert an object of class Exception "
                       "(it has no default member) to a value");
}

TEST_F(LateBound, AssignedListFormulaTakesTheGivenText) {
  const DispatchObject held = AddFormula("Orders.Amount >= 100");
  const DispatchObject loose = ClassRegistry::Create("Talvane.Formula");
  loose.Call("TempConnection", {report_.Call("Connection")});
  loose.Put("Value", {"Orders.Qty < 5"});
  std::vector<Variant> args{Variant(1), Variant(loose)};
  formulae_.Invoke("Formula", kInvokePropertyPutRef, args);
  EXPECT_TRUE(formulae_.Call("Formula", {1}).ToObject().IsSameObject(held));
  EXPECT_EQ(held.Call("Value").ToString(), "[Orders].[Qty] < 5");
}

TEST_F(LateBound, WriteFallsBackOnTheAssignHalf) {
  // A host that writes an object with a plain write still reaches the assign half, and the other way round.
  const DispatchObject other = ClassRegistry::Create("Talvane.FieldList");
  std::vector<Variant> value{Variant(other)};
  report_.Invoke("Fields", kInvokePropertyPut, value);
  EXPECT_TRUE(report_.Call("Fields").ToObject().IsSameObject(other));
  std::vector<Variant> table{Variant("Orders")};
  report_.Invoke("MainTable", kInvokePropertyPutRef, table);
  EXPECT_EQ(report_.Call("MainTable"), Variant("[Orders]"));
}

TEST_F(LateBound, ErrorCodeGivesBackEveryPublishedConstant) {
  const DispatchObject node = ClassRegistry::Create("Talvane.INode");
  const std::vector<std::pair<const DispatchObject*, const char*>> owners = {
      {&node, "ERR_INODE"}, {&formulae_, "ERR_FORM"}, {&fields_, "ERR_FIELDLST"}};
  for (const auto& [owner, enumeration] : owners) {
    for (const EnumInfo& e : TypeLibrary::Enumerations()) {
      if (e.name != enumeration) continue;
      for (const auto& [name, value] : e.constants) {
        EXPECT_EQ(owner->Call("ERRORCODE", {value}), Variant(value)) << name;
      }
    }
  }
}

TEST_F(LateBound, EarlyBoundObjectIsReachable) {
  const DispatchObject formula = AddFormula("Orders.Amount >= 100");
  ASSERT_NE(formula.As<Formula>(), nullptr);
  EXPECT_EQ(formula.As<Formula>()->Comparison(), ">=");
  EXPECT_EQ(formula.As<Section>(), nullptr);
  EXPECT_EQ(formula.As<Exception>(), nullptr);
}

}  // namespace
}  // namespace talvane::component
