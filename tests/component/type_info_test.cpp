// The type information of every interface against the published member lists: order, halves,
// dispatch identifiers, parameters and defaults.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "talvane/component/identities.hpp"
#include "talvane/component/type_info.hpp"
#include "talvane/component/type_library.hpp"

namespace talvane::component {
namespace {

// The published lists, one word per member; a property lists its halves in the order published:
// (rw) read then write, (wr) write then read, (ar) assign then read, (ra) read then assign,
// (r) read only. A bare name is a method or a read-only property.
const std::map<std::string, std::string> kPublishedMembers = {
    {"_INode",
     "DataType(rw) ItemType(rw) Name(rw) Parent(ra) Value(rw) SQL ERRORCODE Count Valid Child(ra) DatabaseType(rw) "
     "Clear"},
    {"_Item",
     "INode_DatabaseType(rw) Valid ItemType(wr) Name(wr) Parent(ar) Value(wr) ERRORCODE SQL Count DatabaseType(rw) "
     "Clear DataType(wr) Field Table IsInSet"},
    {"_Section",
     "INode_DatabaseType(rw) DataType(wr) ItemType(wr) Name(wr) SectionFunction(wr) Parent(ar) Node(ar) Value(wr) "
     "ERRORCODE SQL Count DatabaseType(rw) Clear Fields Tables ErrorPos Locked(rw) Aggragate NonAggragateFields "
     "Valid Add Last CloseSection FieldsReferencingSet"},
    {"_Formula",
     "INode_DatabaseType(rw) DataType(wr) ItemType(wr) Name(wr) Parent(ar) Node(ar) Value(wr) ERRORCODE SQL Count "
     "Clear ErrorItem Fields Tables ErrorPos Grouping(rw) NonAggragateFields Aggragate DatabaseType(rw) Add "
     "TempConnection Valid ComparisonSet Comparison(r) SectionSeperator FieldsReferencingSet PrintIt"},
    {"_FormulaList",
     "Formula(ra) Index(rw) Connection(ra) AddNew Remove EOF BOF ErrorPos ErrorItem ERRORCODE MoveFirst MoveLast "
     "MoveNext MovePrevious Count Clear DatabaseType(rw) Exception(ra)"},
    {"_FieldList",
     "Field(rw) AddNew Remove EOF BOF ERRORCODE MoveFirst MoverFirstByOrder MoverNextByOrder MoveLast MoveNext "
     "MovePrevious Count Clear Parent(ra)"},
    {"_Field",
     "Clear IsInSet Table(r) Aggragate AggragateFunction(rw) FieldOnly(rw) Field(rw) FieldInSet(r) NameOfSet(r) "
     "Ordered(rw) Total(rw) OrderPos(rw) OrderDirection(rw) Name(rw)"},
    {"_Exception",
     "Formulae(ra) Fields(ra) MainField(rw) MainTable(rw) Connection(ra) DatabaseType(r) Clear SQL FindSets "
     "FieldsReferencingSet Sets FieldsInSet LanguageLevel(rw) Distinct(rw)"},
};

const std::map<std::string, std::string> kDefaultMembers = {
    {"_INode", "Value"},       {"_Item", "Value"},       {"_Section", "Value"}, {"_Formula", "Value"},
    {"_FormulaList", "Formula"}, {"_FieldList", "Field"}, {"_Field", "Field"},
};

// One entry per member half: "Name:get", "Name:put", "Name:assign", or "Name" for a method or a
// read-only property.
std::vector<std::string> ExpectedEntries(const std::string& published) {
  std::vector<std::string> entries;
  std::istringstream words(published);
  for (std::string word; words >> word;) {
    const auto open = word.find('(');
    if (open == std::string::npos) {
      entries.push_back(word);
      continue;
    }
    const std::string name = word.substr(0, open);
    const std::string halves = word.substr(open + 1, word.size() - open - 2);
    if (halves == "r") {  // read only: one entry, like a method
      entries.push_back(name);
      continue;
    }
    for (char half : halves) {
      entries.push_back(name + (half == 'r' ? ":get" : half == 'w' ? ":put" : ":assign"));
    }
  }
  return entries;
}

std::vector<std::string> ActualEntries(const TypeInfo& info) {
  std::vector<std::string> entries;
  const auto members = info.Members();
  for (const MemberInfo& m : members) {
    const bool hasWrite = std::any_of(members.begin(), members.end(), [&](const MemberInfo& other) {
      return other.name == m.name && other.kind != MemberKind::kPropertyGet && other.kind != MemberKind::kMethod;
    });
    std::string entry(m.name);
    if (m.kind == MemberKind::kPropertyPut) entry += ":put";
    if (m.kind == MemberKind::kPropertyPutRef) entry += ":assign";
    if (m.kind == MemberKind::kPropertyGet && hasWrite) entry += ":get";
    entries.push_back(entry);
  }
  return entries;
}

TEST(PublishedMemberOrder, EveryInterfaceListsItsMembersInPublishedOrder) {
  ASSERT_EQ(TypeLibrary::Interfaces().size(), kPublishedMembers.size());
  for (const TypeInfo* info : TypeLibrary::Interfaces()) {
    SCOPED_TRACE(std::string(info->Name()));
    const auto published = kPublishedMembers.find(std::string(info->Name()));
    ASSERT_NE(published, kPublishedMembers.end());
    EXPECT_EQ(ActualEntries(*info), ExpectedEntries(published->second));
  }
}

TEST(PublishedMemberOrder, MemberNamesComeInOrderOfFirstAppearance) {
  const TypeInfo& item = *TypeLibrary::FindInterface("_Item");
  const auto names = item.MemberNames();
  ASSERT_GE(names.size(), 3u);
  EXPECT_EQ(names[0], "INode_DatabaseType");
  EXPECT_EQ(names[1], "Valid");
  EXPECT_EQ(names[2], "ItemType");
  EXPECT_EQ(names.back(), "IsInSet");
}

TEST(DispatchIdentifiers, DefaultMemberIsZeroAndOnlyIt) {
  for (const TypeInfo* info : TypeLibrary::Interfaces()) {
    SCOPED_TRACE(std::string(info->Name()));
    const auto expected = kDefaultMembers.find(std::string(info->Name()));
    for (const MemberInfo& m : info->Members()) {
      const bool isDefault = expected != kDefaultMembers.end() && m.name == expected->second;
      EXPECT_EQ(m.dispid == 0, isDefault) << m.name;
    }
  }
}

TEST(DispatchIdentifiers, HalvesShareOneIdentifierAndNamesDoNot) {
  for (const TypeInfo* info : TypeLibrary::Interfaces()) {
    SCOPED_TRACE(std::string(info->Name()));
    std::map<std::string_view, int32_t> idOfName;
    std::set<int32_t> ids;
    for (const MemberInfo& m : info->Members()) {
      const auto [it, added] = idOfName.try_emplace(m.name, m.dispid);
      if (added) {
        EXPECT_TRUE(ids.insert(m.dispid).second) << m.name << " reuses identifier " << m.dispid;
      } else {
        EXPECT_EQ(it->second, m.dispid) << m.name;
      }
    }
  }
}

TEST(DispatchIdentifiers, NamesResolveWithoutRegardToLetterCase) {
  const TypeInfo& list = *TypeLibrary::FindInterface("_formulalist");
  EXPECT_EQ(list.IdOfName("eof"), list.IdOfName("EOF"));
  EXPECT_EQ(list.IdOfName("FORMULA"), 0);
  EXPECT_FALSE(list.IdOfName("Formulas").has_value());
  EXPECT_FALSE(list.IdOfName("").has_value());
}

const ParamInfo& OnlyParam(const TypeInfo& info, std::string_view name, MemberKind kind) {
  const MemberInfo* m = info.Find(*info.IdOfName(name), kind);
  EXPECT_NE(m, nullptr) << name;
  static const ParamInfo none;
  return m && !m->params.empty() ? m->params.front() : none;
}

TEST(OptionalParameters, IndexesDefaultToMinusOne) {
  const TypeInfo& formulae = *TypeLibrary::FindInterface("_FormulaList");
  const TypeInfo& fields = *TypeLibrary::FindInterface("_FieldList");
  const std::vector<std::pair<const TypeInfo*, std::string_view>> indexed = {
      {&formulae, "Formula"}, {&formulae, "Remove"}, {&formulae, "ErrorPos"},
      {&formulae, "ErrorItem"}, {&fields, "Field"},   {&fields, "Remove"}};
  for (const auto& [info, name] : indexed) {
    SCOPED_TRACE(std::string(name));
    const MemberKind kind = (name == "Formula" || name == "Field") ? MemberKind::kPropertyGet : MemberKind::kMethod;
    const ParamInfo& index = OnlyParam(*info, name, kind);
    EXPECT_EQ(index.name, "Index");
    EXPECT_TRUE(index.optional);
    EXPECT_EQ(index.defaultValue, Variant(-1));
    EXPECT_EQ(index.typeName, "Long");
  }
  EXPECT_TRUE(OnlyParam(formulae, "Remove", MemberKind::kMethod).byRef);
  EXPECT_TRUE(OnlyParam(fields, "Remove", MemberKind::kMethod).byRef);
  EXPECT_FALSE(OnlyParam(formulae, "Formula", MemberKind::kPropertyGet).byRef);
}

TEST(OptionalParameters, ShowSetsIsOptionalWithoutDefault) {
  for (const char* name : {"_INode", "_Item", "_Section", "_Formula"}) {
    SCOPED_TRACE(name);
    const ParamInfo& showSets = OnlyParam(*TypeLibrary::FindInterface(name), "SQL", MemberKind::kMethod);
    EXPECT_EQ(showSets.name, "ShowSets");
    EXPECT_TRUE(showSets.optional);
    EXPECT_TRUE(showSets.byRef);
    EXPECT_TRUE(showSets.defaultValue.IsEmpty());
    EXPECT_EQ(showSets.typeName, "Boolean");
  }
  const TypeInfo& report = *TypeLibrary::FindInterface("_Exception");
  EXPECT_TRUE(report.Find(*report.IdOfName("SQL"), MemberKind::kMethod)->params.empty());
}

TEST(Parameters, WritesEndWithTheValueAndIndexesComeFirst) {
  const TypeInfo& formulae = *TypeLibrary::FindInterface("_FormulaList");
  const MemberInfo* assign = formulae.Find(0, MemberKind::kPropertyPutRef);
  ASSERT_NE(assign, nullptr);
  ASSERT_EQ(assign->params.size(), 2u);
  EXPECT_EQ(assign->params[0].name, "Index");
  EXPECT_EQ(assign->params[1].typeName, "Formula");
  EXPECT_EQ(assign->RequiredParams(), 1u);
  EXPECT_TRUE(assign->resultTypeName.empty());
}

TEST(Parameters, PublishedTypesOfResultsAndArguments) {
  const TypeInfo& formula = *TypeLibrary::FindInterface("_Formula");
  const MemberInfo* value = formula.Find(0, MemberKind::kPropertyPut);
  ASSERT_NE(value, nullptr);
  EXPECT_TRUE(value->params.back().byRef) << "the formula text comes back trimmed";
  EXPECT_EQ(formula.Find(*formula.IdOfName("Node"), MemberKind::kPropertyGet)->resultTypeName, "INode");
  EXPECT_EQ(formula.Find(*formula.IdOfName("Grouping"), MemberKind::kPropertyGet)->resultTypeName, "GROUPTYPEENU");
  EXPECT_EQ(formula.Find(*formula.IdOfName("TempConnection"), MemberKind::kMethod)->resultTypeName, "Variant");
  EXPECT_EQ(OnlyParam(formula, "ERRORCODE", MemberKind::kMethod).typeName, "ERR_INODE");
  const TypeInfo& section = *TypeLibrary::FindInterface("_Section");
  const MemberInfo* add = section.Find(*section.IdOfName("Add"), MemberKind::kMethod);
  ASSERT_EQ(add->params.size(), 3u);
  EXPECT_TRUE(add->params[0].byRef);
  EXPECT_EQ(add->params[1].typeName, "INode");
  EXPECT_EQ(add->params[2].typeName, "Connection");
}

}  // namespace
}  // namespace talvane::component
