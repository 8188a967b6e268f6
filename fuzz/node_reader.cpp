#include "node_reader.hpp"

#include <functional>
#include <string>

#include "statement_check.hpp"
#include "talvane/formula/formula.hpp"
#include "talvane/formula/item.hpp"
#include "talvane/formula/section.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane::fuzz {

namespace {

// Runs one read; a talvane::Error is an answer like any other.
void Read(const std::function<void()>& read) {
  try {
    read();
  } catch (const talvane::Error&) {
  }
}

void ReadNode(const std::shared_ptr<INode>& node);

void ReadItem(const std::shared_ptr<Item>& item) {
  Read([&] { item->Valid(); });
  Read([&] { item->Name(); });
  Read([&] { item->Value(); });
  Read([&] { item->Count(); });
  Read([&] { item->DataType(); });
  Read([&] { item->Field(); });
  Read([&] { item->Table(); });
  Read([&] { item->IsInSet("Big"); });
  Read([&] { item->INode_DatabaseType(); });
  Read([&] { item->Child(1); });
  Read([&] { RequireSafeStatement(item->SQL(false), "item SQL"); });
  Read([&] { RequireSafeStatement(item->SQL(true), "item SQL with sets"); });
}

void ReadSection(const std::shared_ptr<Section>& section) {
  Read([&] { section->DataType(); });
  Read([&] { section->Name(); });
  Read([&] { section->SectionFunction(); });
  Read([&] { section->Value(); });
  Read([&] { section->Count(); });
  Read([&] { section->Fields(); });
  Read([&] { section->Tables(); });
  Read([&] { section->ErrorPos(); });
  Read([&] { section->Locked(); });
  Read([&] { section->Aggragate(); });
  Read([&] { section->NonAggragateFields(); });
  Read([&] { section->Valid(); });
  Read([&] { section->Last(); });
  Read([&] { section->FieldsReferencingSet("Big"); });
  Read([&] { section->INode_DatabaseType(); });
  Read([&] { RequireSafeStatement(section->SQL(false), "section SQL"); });
  Read([&] { RequireSafeStatement(section->SQL(true), "section SQL with sets"); });
  for (int32_t i = 0; i <= section->Count() + 1; ++i) {
    Read([&] { ReadNode(section->Node(i)); });
  }
}

void ReadNode(const std::shared_ptr<INode>& node) {
  if (!node) return;
  // Through the interface first, as the library's own walks do.
  Read([&] { node->ItemType(); });
  Read([&] { node->Parent(); });
  Read([&] { node->DatabaseType(); });
  if (const auto section = std::dynamic_pointer_cast<Section>(node)) {
    ReadSection(section);
  } else if (const auto item = std::dynamic_pointer_cast<Item>(node)) {
    ReadItem(item);
  }
}

}  // namespace

void ReadFormula(const std::shared_ptr<Formula>& formula) {
  Read([&] { formula->DataType(); });
  Read([&] { formula->ItemType(); });
  Read([&] { formula->Name(); });
  Read([&] { formula->Parent(); });
  Read([&] { formula->Value(); });
  Read([&] { formula->Count(); });
  Read([&] { formula->ErrorItem(); });
  Read([&] { formula->Fields(); });
  Read([&] { formula->Tables(); });
  Read([&] { formula->ErrorPos(); });
  Read([&] { formula->Grouping(); });
  Read([&] { formula->NonAggragateFields(); });
  Read([&] { formula->Aggragate(); });
  Read([&] { formula->DatabaseType(); });
  Read([&] { formula->Valid(); });
  Read([&] { formula->ComparisonSet(); });
  Read([&] { formula->Comparison(); });
  Read([&] { formula->SectionSeperator(); });
  Read([&] { formula->FieldsReferencingSet("Big"); });
  Read([&] { formula->PrintIt(); });
  Read([&] { formula->INode_DatabaseType(); });
  Read([&] { RequireSafeStatement(formula->SQL(false), "formula SQL"); });
  Read([&] { RequireSafeStatement(formula->SQL(true), "formula SQL with sets"); });
  for (int32_t i = 0; i <= formula->Count() + 1; ++i) {
    Read([&] { ReadNode(formula->Node(i)); });
  }
}

}  // namespace talvane::fuzz
