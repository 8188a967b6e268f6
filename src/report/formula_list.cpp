#include "talvane/report/formula_list.hpp"

#include <utility>

#include "talvane/db/connection.hpp"
#include "talvane/formula/formula.hpp"
#include "talvane/foundation/brackets.hpp"
#include "talvane/foundation/clean_text.hpp"
#include "talvane/foundation/error.hpp"

namespace talvane {

namespace {

// This class raises its own numbers, not those of ERR_FORM.
constexpr int32_t kListCnnClosed = ObjectError(4);
constexpr int32_t kListIndexOob = ObjectError(1);
constexpr int32_t kListNoFormula = ObjectError(2);

constexpr std::string_view kValueSource = "Exception: Exception.Value";
constexpr std::string_view kValueIndexSource = "Exception: Exception.Value(Index)";
constexpr std::string_view kAddNewSource = "Exception: Exception.AddNew";
constexpr std::string_view kRemoveSource = "Exception: Exception.Remove(Index)";
constexpr std::string_view kErrorPosSource = "Exception: Exception.ErrorPos(Index)";
constexpr std::string_view kErrorItemSource = "Exception: Exception.ErrorItem(Index)";

class MadeFormulaList final : public FormulaList {};

// Formula::SetValue takes its text by reference and may rewrite it; the caller's copy is not affected.
void ParseText(talvane::Formula& formula, std::string text) { formula.SetValue(text); }

}  // namespace

std::shared_ptr<FormulaList> FormulaList::Create() { return std::make_shared<MadeFormulaList>(); }

// A list that never had a connection fails like a closed one: nothing can be read from the database.
void FormulaList::CheckConnection(std::string_view source) const {
  if (!connection_ || connection_->State() == db::kAdStateClosed) Raise(kListCnnClosed, source, "Connection not open");
}

int32_t FormulaList::ResolveIndex(int32_t index) const { return index == -1 ? cursor_ : index; }

void FormulaList::CheckBounds(int32_t index, std::string_view source) const {
  if (index < 1 || index > Count()) Raise(kListIndexOob, source, "Index out of bounds");
}

const std::shared_ptr<talvane::Formula>& FormulaList::Checked(int32_t* index, std::string_view closedSource,
                                                              std::string_view boundsSource) const {
  CheckConnection(closedSource);
  *index = ResolveIndex(*index);
  CheckBounds(*index, boundsSource);
  return formulas_[static_cast<std::size_t>(*index - 1)];
}

std::shared_ptr<talvane::Formula> FormulaList::Formula(int32_t Index) const {
  return Checked(&Index, kValueSource, kValueIndexSource);
}

void FormulaList::SetFormula(const std::shared_ptr<talvane::Formula>& formula, int32_t Index) {
  const auto& held = Checked(&Index, kValueSource, kValueIndexSource);
  if (!formula) Raise(kListNoFormula, kValueIndexSource, "No formula given");
  ParseText(*held, formula->Value());
}

int32_t FormulaList::Index() const { return cursor_; }
void FormulaList::SetIndex(int32_t value) { cursor_ = value; }

std::shared_ptr<db::Connection> FormulaList::Connection() const { return connection_; }
void FormulaList::SetConnection(const std::shared_ptr<db::Connection>& connection) { connection_ = connection; }

void FormulaList::AddNew() {
  CheckConnection(kAddNewSource);
  auto formula = talvane::Formula::Create();
  formula->SetConnection(connection_);
  formula->SetList(shared_from_this());
  formula->SetDatabaseType(dialect_);
  formulas_.push_back(std::move(formula));
  cursor_ = Count();
}

void FormulaList::Remove(int32_t Index) { Remove(&Index); }

void FormulaList::Remove(int32_t* Index) {
  int32_t fallback = -1;
  if (Index == nullptr) Index = &fallback;
  auto formula = Checked(Index, kRemoveSource, kRemoveSource);
  const int32_t position = *Index;
  // The cursor keeps naming the same formula, or the one before the removed current formula.
  if (position < cursor_ || (position == cursor_ && cursor_ > 1)) --cursor_;
  formula->Clear();
  formulas_.erase(formulas_.begin() + (position - 1));
  ++removals_;
}

bool FormulaList::Eof() const { return cursor_ > Count(); }
bool FormulaList::Bof() const { return cursor_ < 1 || formulas_.empty(); }

int32_t FormulaList::ErrorPos(int32_t Index) const { return ErrorPos(&Index); }

int32_t FormulaList::ErrorPos(int32_t* Index) const {
  int32_t fallback = -1;
  if (Index == nullptr) Index = &fallback;
  return Checked(Index, kErrorPosSource, kErrorPosSource)->ErrorPos();
}

std::string FormulaList::ErrorItem(int32_t Index) const { return ErrorItem(&Index); }

std::string FormulaList::ErrorItem(int32_t* Index) const {
  int32_t fallback = -1;
  if (Index == nullptr) Index = &fallback;
  return Checked(Index, kErrorItemSource, kErrorItemSource)->ErrorItem();
}

void FormulaList::MoveFirst() { cursor_ = 1; }
void FormulaList::MoveLast() { cursor_ = Count(); }

void FormulaList::MoveNext() {
  ++cursor_;
  if (cursor_ > Count()) cursor_ = Count() + 1;
}

void FormulaList::MovePrevious() {
  --cursor_;
  if (cursor_ < 1) cursor_ = 0;
}

int32_t FormulaList::Count() const { return static_cast<int32_t>(formulas_.size()); }

void FormulaList::Clear() {
  const auto n = formulas_.size();
  for (std::size_t i = 0; i < n; ++i) {
    formulas_.front()->Clear();
    formulas_.erase(formulas_.begin());
    ++removals_;
  }
  cursor_ = 1;
}

DATABASETYPEENU FormulaList::DatabaseType() const { return dialect_; }

void FormulaList::SetDatabaseType(DATABASETYPEENU value) {
  dialect_ = value;
  for (const auto& formula : formulas_) formula->SetDatabaseType(value);
}

std::shared_ptr<talvane::Exception> FormulaList::Exception() const { return owner_.lock(); }
void FormulaList::SetException(const std::shared_ptr<talvane::Exception>& owner) { owner_ = owner; }

int32_t FormulaList::FindFormula(std::string_view name) const {
  const std::string wanted = UpperAscii(AddBrackets(name));
  for (std::size_t i = 0; i < formulas_.size(); ++i) {
    if (UpperAscii(formulas_[i]->Name()) == wanted) return static_cast<int32_t>(i + 1);
  }
  return 0;
}

std::string FormulaList::FormulaTables(std::string_view name) const {
  const int32_t position = FindFormula(name);
  return position == 0 ? std::string() : formulas_[static_cast<std::size_t>(position - 1)]->Tables();
}

}  // namespace talvane
