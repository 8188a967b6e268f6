// Read-only members of a section: its text, its SQL (a TOTAL group becomes a subquery) and the fields
// and tables it refers to. Each walks the children in order; nothing is cached.
#include "talvane/formula/section.hpp"

#include "formula/dialect.hpp"
#include "formula/formula_tree.hpp"
#include "talvane/formula/item.hpp"

namespace talvane {

namespace {

bool IsUnderFormula(const std::shared_ptr<INode>& parent) { return parent && parent->ItemType() == kFormula; }

}  // namespace

std::string Section::Value() const {
  std::string joined;
  for (const auto& child : children_) tree::AppendWithBlank(joined, child->Value());
  const std::shared_ptr<INode> parent = parent_.lock();
  // A formula's plain operand shows no parentheses; an open group still lacks its closing one.
  if (!parent || (IsUnderFormula(parent) && sectionFunction_.empty())) return joined;
  return sectionFunction_ + "(" + joined + (locked_ ? ")" : "");
}

std::string Section::SQL(bool ShowSets) const {
  // A TOTAL group is a subquery over its own tables, outside every set.
  const bool isTotal = sectionFunction_ == tree::kTotalFunction;
  std::string joined;
  for (const auto& child : children_) tree::AppendWithBlank(joined, child->SQL(isTotal ? false : ShowSets));

  if (isTotal) {
    const std::string tables = Tables();
    if (tables.empty()) return "(SELECT SUM(" + joined + "))";
    return "(SELECT SUM(" + joined + ") FROM " + tables + ")";
  }
  // Days added to or subtracted from a date give a date again, in the form the dialect compares.
  if (dataTypeSet_ && dataType_ == kIsDate &&
      tree::CountsDatesInDays(std::const_pointer_cast<INode>(shared_from_this()))) {
    joined = detail::DialectOf(databaseType_).daysAsDate(joined);
  }
  if (!sectionFunction_.empty() || !IsUnderFormula(parent_.lock())) return sectionFunction_ + "(" + joined + ")";
  return joined;
}

std::string Section::Fields() const {
  tree::EntryList fields(false);
  for (const auto& child : children_) {
    if (const auto group = tree::AsSection(child)) {
      if (group->ItemType() == kSection) fields.AddAll(group->Fields());
    } else if (const auto item = tree::AsItem(child); item && item->ItemType() == kField) {
      fields.Add(item->Field());
    }
  }
  return fields.Text();
}

std::string Section::Tables() const {
  tree::EntryList tables(false);
  for (const auto& child : children_) {
    if (const auto group = tree::AsSection(child)) {
      if (group->ItemType() == kSection) tables.AddAll(group->Tables());
    } else if (const auto item = tree::AsItem(child); item && item->ItemType() == kField) {
      tables.Add(item->Table());
    }
  }
  return tables.Text();
}

bool Section::Aggragate() const {
  for (const auto& child : children_) {
    const auto group = tree::AsSection(child);
    if (!group || group->ItemType() != kSection) continue;
    const std::string function = group->SectionFunction();
    if (function == tree::kTotalFunction) continue;
    if (tree::IsAggregateFunction(function) || group->Aggragate()) return true;
  }
  return false;
}

std::string Section::NonAggragateFields() const {
  std::string result;
  for (const auto& child : children_) {
    if (const auto group = tree::AsSection(child)) {
      const std::string function = group->SectionFunction();
      if (function == tree::kTotalFunction || tree::IsAggregateFunction(function)) continue;
      const std::string inner = group->NonAggragateFields();
      if (!inner.empty()) tree::AppendListed(result, inner);
    } else if (const auto item = tree::AsItem(child); item && item->ItemType() == kField) {
      const std::string reference = item->Value();
      if (!reference.empty()) tree::AppendListed(result, reference);
    }
  }
  return result;
}

std::string Section::FieldsReferencingSet(std::string_view SetName) const {
  tree::EntryList fields(true);
  for (const auto& child : children_) {
    if (const auto group = tree::AsSection(child)) {
      fields.AddAll(group->FieldsReferencingSet(SetName));
    } else if (const auto item = tree::AsItem(child); item && item->IsInSet(SetName)) {
      fields.Add(item->Field());
    }
  }
  return fields.Text();
}

}  // namespace talvane
