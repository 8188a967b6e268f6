// The JSON text of a definition reads back to the same definition, whatever its texts hold; a report that holds
// text JSON cannot carry is refused with one line.
#include <gtest/gtest.h>

#include "support/sqlite_fixture.hpp"
#include "talvane/definition/apply_definition.hpp"
#include "talvane/definition/definition_error.hpp"
#include "talvane/definition/definition_reader.hpp"
#include "talvane/definition/definition_writer.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane::test {
namespace {

// Each text is refused by the reader with a message that begins as given.
template <std::size_t N>
void ExpectRefused(const std::pair<std::string, std::string> (&refused)[N]) {
  for (const auto& [text, message] : refused) {
    try {
      ParseDefinition(text, "d");
      ADD_FAILURE() << text;
    } catch (const DefinitionError& e) {
      EXPECT_EQ(std::string(e.what()).rfind(message, 0), 0u) << e.what();
    }
  }
}

TEST(DefinitionText, ReadsBackToTheSameDefinition) {
  Definition written;
  written.description = "quotes \" and \\ and a line\nbreak, é";
  written.mainTable = "Order Lines";
  written.mainField = "LineID";
  written.fields = {{"[Order Lines].[Qty]", "Quantity", "SUM", 2, "Descending"}, {"A.B", {}, {}, {}, {}}};
  written.formulas = {{"A.B = \"x\ty\"", "Set 1", kBase}, {"A.C > 1", {}, kOr}, {"A.D < 2", {}, kAnd}};
  const Definition read = ParseDefinition(DefinitionJson(written), "written");
  EXPECT_EQ(read.description, written.description);
  EXPECT_EQ(read.mainTable, written.mainTable);
  EXPECT_EQ(read.mainField, written.mainField);
  EXPECT_EQ(read.fields, written.fields);
  EXPECT_EQ(read.formulas, written.formulas);

  EXPECT_EQ(ParseDefinition(DefinitionJson(Definition{"", "", "T", "K", {}, {}}), "empty").formulas.size(), 0u);
}

TEST(DefinitionText, TextThatIsNotUtf8IsRefused) {
  Definition definition;
  definition.mainTable = "T\xFF";
  definition.mainField = "K";
  EXPECT_THROW(DefinitionJson(definition), DefinitionError);
}

// The reader's refusals name what the JSON holds whatever order it is written in, and take whole numbers up to
// the limits of a 32-bit position on both sides.
TEST(DefinitionText, RefusalsNameTheValueAsWritten) {
  const std::string head = R"({"mainTable": "T", "mainField": "K", )";
  const auto orderPos = [&](const std::string& value) {
    return head + R"("fields": [{"field": "T.A", "orderPos": )" + value + "}]}";
  };
  const std::pair<std::string, std::string> refused[] = {
      {head + R"("zeta": 1, "beta": 2})", "d: unknown key \"beta\""},
      {head + R"("fields": [{"field": "T.A"}, [], {"nmae": 1}]})", "d: field 2 must be an object ({...}), not a list"},
      {orderPos("2147483648"), "d: field 1: \"orderPos\" is out of range"},
      {orderPos("-2147483649"), "d: field 1: \"orderPos\" is out of range"},
      {orderPos("1.5"), "d: field 1: \"orderPos\" must be a whole number, not a fraction"},
      {orderPos("null"), "d: field 1: \"orderPos\" must be a whole number, not null"},
      {head + R"("formulas": {"text": "T.A > 1"}})", "d: \"formulas\" must be a list ([...]), not an object"},
  };
  ExpectRefused(refused);
  EXPECT_EQ(ParseDefinition(orderPos("-2147483648"), "d").fields[0].orderPos, -2147483647 - 1);
  EXPECT_EQ(ParseDefinition(orderPos("2147483647"), "d").fields[0].orderPos, 2147483647);
}

TEST(DefinitionText, AKeyRepeatedInALargeObjectIsRefused) {
  for (const int keys : {3, 40}) {
    std::string members;
    for (int i = 0; i < keys; ++i) members += "\"k" + std::to_string(i) + "\": 0, ";
    const std::string text = R"({"mainTable": "T", "mainField": "K", "x": {)" + members + R"("k1": 1}})";
    try {
      ParseDefinition(text, "d");
      ADD_FAILURE() << keys << " keys";
    } catch (const DefinitionError& e) {
      EXPECT_STREQ(e.what(), "d: key \"k1\" is given twice in the same object");
    }
  }
}

TEST(DefinitionText, ApplyingRaisesTheFirstRefusedSetting) {
  const auto connection = MakeStandardDatabase();
  Definition definition = ParseDefinition(R"({"mainTable": "Orders", "mainField": "OrderID",
      "fields": [{"field": "Orders.OrderID"}], "formulas": [{"text": "Orders.OrderID > 1"}]})", "d");
  EXPECT_EQ(DefinitionOf(*ReportFromDefinition(definition, connection)).formulas.size(), 1u);
  definition.fields.push_back({"Orders.Nothing", {}, {}, {}, {}});
  EXPECT_THROW(ReportFromDefinition(definition, connection), Error);
}

// The language level and DISTINCT: read and written, written only when not the default, refused when wrong.
TEST(DefinitionText, TheLanguageLevelAndDistinctAreReadAndWritten) {
  const std::string head = R"({"mainTable": "T", "mainField": "K")";
  const std::pair<std::string, std::string> refused[] = {
      {head + R"(, "languageLevel": 3})", "d: \"languageLevel\" must be 1 or 2, not 3"},
      {head + R"(, "languageLevel": "2"})", "d: \"languageLevel\" must be a whole number, not a string"},
      {head + R"(, "distinct": 1})", "d: \"distinct\" must be true or false, not a number"},
  };
  ExpectRefused(refused);
  Definition levelTwo = ParseDefinition(head + R"(, "languageLevel": 2, "distinct": true})", "d");
  EXPECT_EQ(levelTwo.languageLevel, 2);
  EXPECT_TRUE(levelTwo.distinct);
  const Definition read = ParseDefinition(DefinitionJson(levelTwo), "written");
  EXPECT_EQ(std::pair(read.languageLevel, read.distinct), std::pair(2, true));
  const std::string plain = DefinitionJson(ParseDefinition(head + "}", "d"));
  EXPECT_EQ(plain.find("languageLevel"), std::string::npos);
  EXPECT_EQ(plain.find("distinct"), std::string::npos);
}

}  // namespace
}  // namespace talvane::test
