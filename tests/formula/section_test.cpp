// Section building: operand order, groups, data types, closing, parsing, the nesting limit.
#include <string>
#include <vector>

#include "node_test_support.hpp"

namespace talvane::test {
namespace {

constexpr int32_t kItemType = ERR_ITEMTYPE;
constexpr const char* kAdd = "Exception: Section.Add";
constexpr const char* kIllegal = "Illigal value";

class SectionAdd : public NodeTest {
 protected:
  void SetUp() override {
    NodeTest::SetUp();
    section_ = NewSection();
  }
  void Add(const std::string& token) { section_->Add(std::string_view(token), nullptr, cnn_); }
  void AddAll(const std::vector<std::string>& tokens) {
    for (const auto& token : tokens) Add(token);
  }
  std::shared_ptr<Section> Group(int32_t index) const {
    return std::dynamic_pointer_cast<Section>(section_->Node(index));
  }

  std::shared_ptr<Section> section_;
};

TEST_F(SectionAdd, RefusesTwoOperandsInARow) {
  AddAll({"1", "+", "2"});
  EXPECT_EQ(section_->Count(), 3);
  EXPECT_TALVANE_ERROR(Add("3"), kItemType, kAdd, kIllegal);
  EXPECT_EQ(section_->Count(), 3);
}

TEST_F(SectionAdd, RefusesAnOperatorFirstOrAfterAnOperator) {
  EXPECT_TALVANE_ERROR(Add("+"), kItemType, kAdd, kIllegal);
  AddAll({"1", "*"});
  EXPECT_TALVANE_ERROR(Add("-"), kItemType, kAdd, kIllegal);
  EXPECT_EQ(section_->Count(), 2);
}

TEST_F(SectionAdd, RefusesComparisonsAndSeparators) {
  EXPECT_TALVANE_ERROR(Add("="), kItemType, kAdd, kIllegal);
  EXPECT_TALVANE_ERROR(Add(","), kItemType, kAdd, kIllegal);
  Add("1");
  EXPECT_TALVANE_ERROR(Add("="), kItemType, kAdd, kIllegal);
  EXPECT_TALVANE_ERROR(Add("AND"), kItemType, kAdd, kIllegal);
}

TEST_F(SectionAdd, OpensAGroupFirstButNotAfterAnOperand) {
  Add("(");
  ASSERT_EQ(section_->Count(), 1);
  EXPECT_EQ(section_->Node(1)->ItemType(), kOpenSection);
  auto other = NewSection();
  other->Add(std::string_view("1"), nullptr, cnn_);
  EXPECT_TALVANE_ERROR(other->Add(std::string_view("("), nullptr, cnn_), kItemType, kAdd, kIllegal);
}

TEST_F(SectionAdd, ClosingParenthesisReachesTheInnermostOpenGroup) {
  AddAll({"(", "[Orders].[Amount]", "+", "1", ")"});
  ASSERT_EQ(section_->Count(), 1);
  EXPECT_EQ(Group(1)->ItemType(), kSection);
  EXPECT_EQ(Group(1)->Count(), 3);
  EXPECT_EQ(section_->ItemType(), kOpenSection);
  // Right after a closed group an operand is out of place; an operator is not.
  EXPECT_TALVANE_ERROR(Add("2"), kItemType, kAdd, kIllegal);
  AddAll({"*", "2"});
  EXPECT_EQ(section_->Count(), 3);
}

TEST_F(SectionAdd, RefusesAnEmptyGroup) {
  Add("(");
  EXPECT_TALVANE_ERROR(Add(")"), kItemType, kAdd, kIllegal);
  EXPECT_EQ(Group(1)->Count(), 0);
  EXPECT_TALVANE_ERROR(section_->Add(std::string_view(")"), nullptr, cnn_), kItemType, kAdd, kIllegal);
}

TEST_F(SectionAdd, FunctionGroupTakesPlainParenthesesButNoFurtherFunction) {
  Add("sum(");
  EXPECT_EQ(Group(1)->SectionFunction(), "SUM");
  EXPECT_TALVANE_ERROR(Add("AVG("), kItemType, kAdd, kIllegal);
  Add("(");
  Add("avg(");
  Add("[Lines].[Qty]");
  AddAll({")", ")", ")"});
  EXPECT_EQ(section_->Value(), "SUM((AVG([Lines].[Qty])))");
}

TEST_F(SectionAdd, NumericFieldFirstRefusesOperandsOfOtherTypes) {
  Add("[Orders].[Amount]");
  EXPECT_EQ(section_->DataType(), kIsNumeric);
  for (const char* token : {"\"abc\"", "01/02/2003", "TRUE", "12:30", "[Orders].[Status]", "[Orders].[Placed]"}) {
    section_->Add(std::string_view("+"), nullptr, cnn_);
    EXPECT_TALVANE_ERROR(Add(token), kItemType, kAdd, kIllegal);
    EXPECT_EQ(section_->Last()->ItemType(), kArith) << token;
    section_ = NewSection();
    Add("[Orders].[Amount]");
  }
  AddAll({"+", "2", "*", "[Lines].[Price]"});
  EXPECT_EQ(section_->Count(), 5);
}

TEST_F(SectionAdd, StringFieldFirstAcceptsAnything) {
  AddAll({"[Orders].[Status]", "+", "5", "+", "01/02/2003", "+", "[Orders].[Amount]"});
  EXPECT_EQ(section_->Count(), 7);
  EXPECT_EQ(section_->DataType(), kIsString);
}

TEST_F(SectionAdd, LiteralsLeaveTheTypeOpenUntilTheFirstField) {
  AddAll({"1", "+", "\"a\""});
  EXPECT_TALVANE_ERROR(section_->DataType(), kItemType, "Exception: Section.DataType",
                       "DataType not set yet, section is open");
  AddAll({"+", "[Orders].[Placed]"});
  EXPECT_EQ(section_->DataType(), kIsDate);
}

TEST_F(SectionAdd, FieldTypeClimbsToEveryEnclosingGroupAndTheFormula) {
  auto formula = NewFormula();
  formula->Add(std::string_view("("));
  formula->Add(std::string_view("("));
  formula->Add(std::string_view("[Orders].[Placed]"));
  auto outer = std::dynamic_pointer_cast<Section>(formula->Node(1));
  auto inner = std::dynamic_pointer_cast<Section>(outer->Node(1));
  EXPECT_EQ(inner->DataType(), kIsDate);
  EXPECT_EQ(outer->DataType(), kIsDate);
  EXPECT_EQ(formula->DataType(), kIsDate);
}

TEST_F(SectionAdd, GivesNewChildrenItsNameAndDialect) {
  section_->SetName("[Big]");
  section_->SetDatabaseType(kAccess);
  AddAll({"(", "[Orders].[Amount]"});
  auto item = std::dynamic_pointer_cast<Item>(Group(1)->Node(1));
  EXPECT_EQ(Group(1)->Name(), "[Big]");
  EXPECT_EQ(item->Name(), "[Big]");
  EXPECT_EQ(item->DatabaseType(), kAccess);
  section_->SetDatabaseType(kSQLServer);
  EXPECT_EQ(item->DatabaseType(), kSQLServer);
}

// ---- Closing --------------------------------------------------------------------------------------------

class SectionClose : public SectionAdd {};

TEST_F(SectionClose, RefusesAnIncompleteSection) {
  constexpr const char* kSource = "Exception: Section.CloseSection";
  EXPECT_TALVANE_ERROR(section_->CloseSection(), kItemType, kSource, "Section is incomplete");
  AddAll({"1", "+"});
  EXPECT_TALVANE_ERROR(section_->CloseSection(), kItemType, kSource, "Section is incomplete");
  EXPECT_EQ(section_->ItemType(), kOpenSection);
  Add("(");
  EXPECT_TALVANE_ERROR(section_->CloseSection(), kItemType, kSource, "Section is incomplete");
}

TEST_F(SectionClose, LocksAndRecomputesTheTypeWithoutTellingTheParent) {
  auto formula = NewFormula();
  formula->Add(std::string_view("1"));
  auto section = std::dynamic_pointer_cast<Section>(formula->Node(1));
  section->Add(std::string_view("+"), nullptr, cnn_);
  section->Add(std::string_view("2"), nullptr, cnn_);
  section->CloseSection();
  EXPECT_EQ(section->ItemType(), kSection);
  EXPECT_EQ(section->DataType(), kIsNumeric);
  EXPECT_ANY_THROW(formula->DataType());
}

TEST_F(SectionClose, MixedLiteralsMakeAStringSection) {
  AddAll({"1", "+", "\"a\""});
  section_->CloseSection();
  EXPECT_EQ(section_->DataType(), kIsString);
}

TEST_F(SectionClose, LockedWriteOnlyChangesTheKind) {
  section_->SetLocked(true);
  EXPECT_EQ(section_->ItemType(), kSection);
  EXPECT_TRUE(section_->Locked());
  EXPECT_ANY_THROW(section_->DataType());
  // Add does not look at the flag.
  Add("1");
  EXPECT_EQ(section_->Count(), 1);
}

// ---- Parsing a text -------------------------------------------------------------------------------------

class SectionValue : public NodeTest {};

TEST_F(SectionValue, ErrorPosPointsAtTheRefusedTokenAndEarlierChildrenStay) {
  struct Case {
    std::string text;
    int32_t errorPos;
    int32_t childrenKept;
  };
  for (const Case& c : {Case{"+ 1", 0, 0}, Case{"1 +  + 2", 3, 2}, Case{"1 + 2 3", 6, 3},
                        Case{"[Orders].[Amount] + \"x\"", 19, 2}}) {
    auto section = NewSection();
    EXPECT_TALVANE_ERROR(section->SetValue(std::string_view(c.text)), kItemType, kAdd, kIllegal);
    EXPECT_EQ(section->ErrorPos(), c.errorPos) << c.text;
    EXPECT_EQ(section->Count(), c.childrenKept) << c.text;
  }
}

TEST_F(SectionValue, SplitterErrorsPassThroughWithTheirPosition) {
  auto section = NewSection();
  EXPECT_EQ(CaptureError([&] { section->SetValue(std::string_view("1 + a_b")); }).Number(), kParseItemError);
  EXPECT_EQ(section->ErrorPos(), 3);
}

TEST_F(SectionValue, RefusedWhileTheConnectionIsClosed) {
  auto section = NewSection();
  database_->Close();
  EXPECT_TALVANE_ERROR(section->SetValue(std::string_view("1")), ERR_CNN_CLOSED, "Exception: Section.Value",
                       "Connection not open.");
}

TEST_F(SectionValue, ResetsChildrenFunctionAndNameButKeepsTheType) {
  auto section = ParsedSection("[Orders].[Amount] + 1");
  section->SetSectionFunction("SUM");
  section->SetName("Big");
  section->SetValue(std::string_view("2"));
  EXPECT_EQ(section->Count(), 1);
  EXPECT_EQ(section->SectionFunction(), "");
  EXPECT_EQ(section->Name(), "");
  EXPECT_EQ(section->DataType(), kIsNumeric);
  EXPECT_TALVANE_ERROR(section->SetValue(std::string_view("\"text\"")), kItemType, kAdd, kIllegal);
}

// ---- Nesting limit --------------------------------------------------------------------------------------

std::string Repeat(const std::string& piece, int32_t times) {
  std::string out;
  out.reserve(piece.size() * static_cast<std::size_t>(times));
  for (int32_t i = 0; i < times; ++i) out += piece;
  return out;
}

class SectionDepth : public NodeTest {};

TEST_F(SectionDepth, AcceptsGroupsUpToTheLimit) {
  const int32_t depth = Section::kMaxNestingDepth;
  auto section = ParsedSection(Repeat("(", depth) + "1 + [Orders].[Amount]" + Repeat(")", depth));
  EXPECT_TRUE(section->Valid());
  EXPECT_EQ(section->SQL(), Repeat("(", depth + 1) + "1 + ISNULL([Orders].[Amount], 0)" + Repeat(")", depth + 1));
  EXPECT_EQ(section->Fields(), "[Amount]");
}

TEST_F(SectionDepth, RefusesTheFirstGroupPastTheLimit) {
  auto section = NewSection();
  const auto error = CaptureError([&] { section->SetValue(Repeat("(", Section::kMaxNestingDepth + 1)); });
  EXPECT_EQ(error.Number(), kItemType);
  EXPECT_EQ(error.Source(), kAdd);
  EXPECT_EQ(error.Message(), "Groups may not be nested more than 64 deep");
  EXPECT_EQ(section->ErrorPos(), Section::kMaxNestingDepth);
}

TEST_F(SectionDepth, AHundredThousandOpenersFailCleanly) {
  for (const std::string& opener : {std::string("("), std::string("SUM(")}) {
    auto section = NewSection();
    const std::string text = opener == "(" ? Repeat("(", 100000) : "SUM(" + Repeat("(", 100000);
    EXPECT_EQ(CaptureError([&] { section->SetValue(text); }).Message(), "Groups may not be nested more than 64 deep");
    EXPECT_EQ(section->ErrorPos(), opener == "(" ? 64 : 67);
    EXPECT_FALSE(section->Valid());
    EXPECT_NO_THROW((void)section->SQL());
    EXPECT_NO_THROW((void)section->Value());
    EXPECT_EQ(section->Fields(), "");
    section->Clear();
    EXPECT_EQ(section->Count(), 0);
  }
}

TEST_F(SectionDepth, ReplacingAChildCannotNestDeeperOrMakeACircle) {
  auto section = ParsedSection("1 + 2");
  auto deep = ParsedSection(Repeat("(", Section::kMaxNestingDepth) + "1" + Repeat(")", Section::kMaxNestingDepth));
  // `deep` is one level of groups more than a child may hold.
  EXPECT_EQ(CaptureError([&] { section->SetNode(1, deep); }).Source(), "Exception: (Section)INode.Child");
  auto shallow = ParsedSection("(3)");
  section->SetNode(1, shallow->Node(1));
  EXPECT_EQ(section->Value(), "(3) + 2");
  EXPECT_EQ(section->Node(1)->Parent(), section);
  // A group cannot take its own ancestor as a child.
  auto inner = std::dynamic_pointer_cast<Section>(section->Node(1));
  EXPECT_EQ(CaptureError([&] { inner->SetNode(1, section); }).Source(), "Exception: (Section)INode.Child");
  EXPECT_EQ(CaptureError([&] { section->SetNode(3, section); }).Source(), "Exception: (Section)INode.Child");
  EXPECT_EQ(CaptureError([&] { section->SetNode(1, Formula::Create()); }).Number(), kItemType);
}

// ---- Plain members and validity -------------------------------------------------------------------------

class SectionMembers : public NodeTest {};

TEST_F(SectionMembers, NodeIndexMustNameAChild) {
  auto section = ParsedSection("1 + 2");
  for (int32_t index : {0, 4, -1}) {
    EXPECT_TALVANE_ERROR(section->Node(index), ERR_INDEX_OOB, "Exception: (Section)INode.Child",
                         "Index out of bounds");
    EXPECT_TALVANE_ERROR(section->SetNode(index, Item::Create()), ERR_INDEX_OOB,
                         "Exception: (Section)INode.Child", "Index out of bounds");
  }
  EXPECT_EQ(section->Node(3)->Value(), "2");
  EXPECT_EQ(section->Last()->Value(), "2");
  EXPECT_EQ(NewSection()->Count(), 0);
  EXPECT_EQ(CaptureError([&] { (void)NewSection()->Last(); }).Number(), ERR_INDEX_OOB);
}

TEST_F(SectionMembers, ItemTypeCannotBeWritten) {
  auto section = NewSection();
  EXPECT_TALVANE_ERROR(section->SetItemType(kSection), kItemType, "Exception: Section.ItemType",
                       "Cannot assign item type to a section");
  EXPECT_EQ(section->ItemType(), kOpenSection);
}

TEST_F(SectionMembers, NameIsStoredAsWrittenAndPassedToChildren) {
  auto section = ParsedSection("(1) + [Orders].[Amount]");
  section->SetName(" [Big] ");
  EXPECT_EQ(section->Name(), " [Big] ");
  EXPECT_EQ(std::dynamic_pointer_cast<Section>(section->Node(1))->Name(), " [Big] ");
  section->SetName("[Big]");
  EXPECT_EQ(section->Node(3)->Name(), "[Big]");
}

TEST_F(SectionMembers, ClearEmptiesTheSectionAndDropsItsParent) {
  auto formula = Parsed("[Orders].[Amount] + 1 = 2");
  auto section = std::dynamic_pointer_cast<Section>(formula->Node(1));
  auto child = section->Node(1);
  section->Clear();
  EXPECT_EQ(section->Count(), 0);
  EXPECT_EQ(section->Parent(), nullptr);
  EXPECT_EQ(section->ItemType(), kOpenSection);
  EXPECT_ANY_THROW(section->DataType());
  EXPECT_EQ(child->Parent(), nullptr);
}

TEST_F(SectionMembers, ValidNeedsAnOperandLastAndNoOpenGroup) {
  EXPECT_FALSE(NewSection()->Valid());
  EXPECT_TRUE(ParsedSection("1 + [Orders].[Amount]")->Valid());
  auto section = NewSection();
  section->Add(std::string_view("1"), nullptr, cnn_);
  section->Add(std::string_view("+"), nullptr, cnn_);
  EXPECT_FALSE(section->Valid());
  section->Add(std::string_view("("), nullptr, cnn_);
  section->Add(std::string_view("2"), nullptr, cnn_);
  EXPECT_FALSE(section->Valid());  // the inner group is still open
  section->Add(std::string_view(")"), nullptr, cnn_);
  EXPECT_TRUE(section->Valid());
  // An empty string literal is no valid operand.
  EXPECT_FALSE(ParsedSection("\"\"")->Valid());
}

}  // namespace
}  // namespace talvane::test
