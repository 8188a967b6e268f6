// String lists: the unallocated state, plain and unique appends, the size limit and ", " texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/expect_error.hpp"
#include "talvane/foundation/string_list.hpp"

namespace talvane {
namespace {

using Strings = std::vector<std::string>;

TEST(StringList, StartsUnallocatedAndEmpty) {
  StringList list;
  EXPECT_FALSE(list.Allocated());
  EXPECT_TRUE(IsArrayEmpty(list));
  EXPECT_EQ(list.Join(), "");
}

TEST(AppendToList, FirstAppendCreatesElementZeroAndLaterOnesGoAtTheEnd) {
  StringList list;
  AppendToList(list, "[Orders].[ID]");
  EXPECT_TRUE(list.Allocated());
  EXPECT_FALSE(IsArrayEmpty(list));
  AppendToList(list, "[Lines].[Qty]");
  AppendToList(list, "[Orders].[ID]");  // plain append keeps duplicates
  EXPECT_EQ(list.Items(), (Strings{"[Orders].[ID]", "[Lines].[Qty]", "[Orders].[ID]"}));
  EXPECT_EQ(list[1], "[Lines].[Qty]");
  EXPECT_EQ(list.Join(), "[Orders].[ID], [Lines].[Qty], [Orders].[ID]");
  EXPECT_EQ(list.Join("|"), "[Orders].[ID]|[Lines].[Qty]|[Orders].[ID]");
}

TEST(AppendToList, EmptyTextIsAnEntryToo) {
  StringList list;
  AppendToList(list, "");
  EXPECT_FALSE(IsArrayEmpty(list));
  EXPECT_EQ(list.Size(), 1u);
}

TEST(AppendUniqueToList, SkipsAnEntryEqualIgnoringCase) {
  StringList list;
  AppendUniqueToList(list, "[Orders].[ID]");
  AppendUniqueToList(list, "[orders].[id]");
  AppendUniqueToList(list, "[Orders].[IDs]");
  AppendUniqueToList(list, "[ORDERS].[IDS]");
  EXPECT_EQ(list.Items(), (Strings{"[Orders].[ID]", "[Orders].[IDs]"}));
}

TEST(AppendToList, RaisesAClearErrorInsteadOfGrowingPast32768Entries) {
  StringList list;
  for (std::size_t i = 0; i < StringList::kMaxEntries; ++i) AppendToList(list, std::to_string(i));
  EXPECT_EQ(list.Size(), 32768u);
  EXPECT_TALVANE_ERROR(AppendToList(list, "one more"), 0x80040001u, "CommonUT.AppendToList",
                       "String list is full (32768 entries)");
  EXPECT_TALVANE_ERROR(AppendUniqueToList(list, "one more"), 0x80040001u, "CommonUT.AppendToList",
                       "String list is full (32768 entries)");
  EXPECT_EQ(list.Size(), 32768u) << "a refused append leaves the list as it was";
  EXPECT_EQ(list[32767], "32767");
  EXPECT_NO_THROW(AppendUniqueToList(list, "0")) << "a duplicate needs no room";
}

TEST(SplitList, CutsAtCommaBlank) {
  EXPECT_EQ(SplitList("[A].[x], [B].[y], [C].[z]"), (Strings{"[A].[x]", "[B].[y]", "[C].[z]"}));
  EXPECT_EQ(SplitList("a,b"), (Strings{"a,b"})) << "a comma without a blank does not separate";
  EXPECT_EQ(SplitList("a"), (Strings{"a"}));
  EXPECT_EQ(SplitList("a, "), (Strings{"a", ""}));
  EXPECT_EQ(SplitList(", a"), (Strings{"", "a"}));
  EXPECT_TRUE(SplitList("").empty());
}

TEST(SplitList, UndoesJoin) {
  StringList list;
  for (const char* s : {"[Orders].[ID]", "[Lines].[Qty]", "x"}) AppendToList(list, s);
  EXPECT_EQ(SplitList(list.Join()), list.Items());
}

}  // namespace
}  // namespace talvane
