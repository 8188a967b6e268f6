// Read-only members of a formula (its condition, text, fields and tables, aggregate test) and its name,
// which ties it to a set.
#include "talvane/formula/formula.hpp"

#include "formula/change_note.hpp"
#include "formula/formula_tree.hpp"
#include "formula/dialect.hpp"
#include "talvane/db/schema_scope.hpp"
#include "talvane/formula/item.hpp"
#include "talvane/formula/section.hpp"
#include "talvane/foundation/brackets.hpp"
#include "talvane/foundation/clean_text.hpp"
#include "talvane/foundation/error.hpp"
#include "talvane/report/exception.hpp"
#include "talvane/report/field.hpp"
#include "talvane/report/field_list.hpp"

namespace talvane {

namespace {

constexpr int32_t kTrim = kCleanTrimLeft | kCleanTrimRight;

bool IsAggregateOrTotal(std::string_view function) {
  return function == tree::kTotalFunction || tree::IsAggregateFunction(function);
}

// The text of a pattern written as one string literal (LIKE "A[0-9]%"); none for any other operand.
std::optional<std::string> PatternLiteral(const Section& section) {
  if (section.Count() != 1) return std::nullopt;
  const auto item = tree::AsItem(section.Child(1));
  if (!item || item->ItemType() != kLiteral || item->DataType() != kIsString) return std::nullopt;
  const std::string quoted = item->Value();  // the text between double quotes
  return quoted.substr(1, quoted.size() - 2);
}

}  // namespace

// LIKE in a dialect whose LIKE does not match as SQL Server's: with a character class in a pattern literal, or
// at all.
std::optional<std::string> Formula::LikeSQL(bool ShowSets) const {
  const detail::Dialect& dialect = detail::DialectOf(databaseType_);
  const bool negated = comparison_ == "NOT LIKE";
  if ((comparison_ != "LIKE" && !negated) || sections_.size() != 2) return std::nullopt;
  const std::optional<std::string> pattern = PatternLiteral(*sections_[1]);
  if (dialect.classPatternMatch && pattern && pattern->find('[') != std::string::npos) {
    return dialect.classPatternMatch(sections_[0]->SQL(ShowSets), negated, *pattern);
  }
  if (!dialect.likeMatch) return std::nullopt;
  return dialect.likeMatch(sections_[0]->SQL(ShowSets), negated, sections_[1]->SQL(ShowSets));
}

// Texts compare without regard to letter case in SQL Server; the dialect makes each operand of such a
// comparison do so. LIKE is rendered on its own.
bool Formula::ComparesTexts() const {
  return dataTypeSet_ && dataType_ == kIsString && !comparison_.empty() && comparison_ != "LIKE" &&
         comparison_ != "NOT LIKE" && !tree::IsNullTest(comparison_);
}

std::string Formula::SQL(bool ShowSets) const {
  if (std::optional<std::string> match = LikeSQL(ShowSets)) return *match;
  const detail::Dialect& dialect = detail::DialectOf(databaseType_);
  const bool texts = ComparesTexts() && (dialect.caselessKeepsNumbers || !tree::HoldsCount(*this));
  const bool isIn = tree::IsListComparison(comparison_);
  const std::size_t n = sections_.size();
  std::string text;
  for (std::size_t i = 1; i <= n; ++i) {
    if (!text.empty()) {
      if (tree::IsRangeComparison(comparison_) && i == 3) {
        text += " AND ";
      } else if (!isIn) {
        text += ' ';
      } else {
        text += i == 2 ? " (" : ", ";
      }
    }
    const std::string operand = sections_[i - 1]->SQL(ShowSets);
    text += texts ? dialect.caselessOperand(operand, i == 1) : operand;
    if (isIn && i == n && n > 1) text += ')';
    if (i == 1) text += " " + comparison_;
  }
  return text;
}

std::string Formula::Value() const {
  std::string text;
  for (std::size_t i = 1; i <= sections_.size(); ++i) {
    if (i == 2 && !text.empty()) text += ' ';
    if (i >= 3) {
      const std::string separator = SectionSeperator();
      text += separator == "," ? ", " : " " + separator + " ";
    }
    text += sections_[i - 1]->Value();
    if (i == 1) text += " " + comparison_;
  }
  return CleanText(text, kTrim, {}, {}, kWsAll);
}

std::string Formula::Fields() const {
  tree::EntryList fields(false);
  for (const auto& section : sections_) fields.AddAll(section->Fields());
  return fields.Text();
}

std::string Formula::Tables() const {
  tree::EntryList tables(false);
  for (const auto& section : sections_) tables.AddAll(section->Tables());
  return tables.Text();
}

std::string Formula::NonAggragateFields() const {
  std::string result;
  for (const auto& section : sections_) {
    if (IsAggregateOrTotal(section->SectionFunction())) continue;
    const std::string fields = section->NonAggragateFields();
    if (!fields.empty()) tree::AppendListed(result, fields);
  }
  return result;
}

bool Formula::Aggragate() const {
  if (tree::HoldsAggregate(*this)) return true;
  // Otherwise the output fields it is grouped with decide: those of its own set when it is named, those
  // outside every set when it is not. A formula outside a report has no output fields.
  const std::shared_ptr<talvane::Exception> owner = OwningException();
  const std::shared_ptr<FieldList> fields = owner ? owner->Fields() : nullptr;
  if (!fields) return false;
  const std::string name = Name();
  for (int32_t i = 1; i <= fields->Count(); ++i) {
    const std::shared_ptr<talvane::Field> field = fields->Field(i);
    if (!field->Aggragate()) continue;
    if (name.empty() ? !field->IsInSet() : field->IsInSet() && EqualsIgnoreCase(field->NameOfSet(), name)) {
      return true;
    }
  }
  return false;
}

std::string Formula::FieldsReferencingSet(std::string_view SetName) const {
  tree::EntryList fields(true);
  for (const auto& section : sections_) fields.AddAll(section->FieldsReferencingSet(SetName));
  return fields.Text();
}

std::string Formula::Name() const { return AddBrackets(name_); }

void Formula::SetName(std::string_view value) {
  const db::SchemaScope schemaScope;  // one reading of the schema version for the whole call
  const detail::ChangeNote note(this);
  // The name becomes a bracketed alias in SQL ([name]): a bracket or NUL byte of its own would end it early,
  // and a dot would make it two names ([a].[b]) that no set reference can name either.
  const std::string stripped = tree::BareSetName(value);
  if (!tree::IsUsableSetName(stripped)) {
    Raise(ERR_ITEMTYPE, "Exception: Formula.Name",
          "A formula name may not contain \".\", \"[\", \"]\" or a NUL character inside its enclosing brackets");
  }
  name_ = stripped;
  for (const auto& section : sections_) section->SetName(value);
  // References to sets are resolved again under the new name; a formula outside a report has none.
  if (const std::shared_ptr<talvane::Exception> owner = OwningException()) owner->ResolveSetFields(nullptr);
}

std::string Formula::PrintIt() const {
  static_cast<void>(dumpDepth_);
  return {};
}

}  // namespace talvane
