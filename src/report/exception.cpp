#include "talvane/report/exception.hpp"

#include <exception>

#include "report/set_index.hpp"
#include "report/statement_builder.hpp"
#include "talvane/db/connection.hpp"
#include "talvane/db/schema_scope.hpp"
#include "talvane/foundation/brackets.hpp"
#include "talvane/foundation/clean_text.hpp"
#include "talvane/formula/formula.hpp"
#include "talvane/foundation/error.hpp"
#include "talvane/report/dialects.hpp"
#include "talvane/report/field_list.hpp"
#include "talvane/report/formula_list.hpp"

namespace talvane {

namespace {

constexpr std::string_view kValidateSource = "Exception.Validate";
constexpr std::string_view kProviderKey = "PROVIDER=";

class MadeException final : public Exception {};

// The provider named in a connection string, upper-cased: blanks are ignored in the key (so
// "Provider = x" counts) but kept in the value, which ends at ";" or at the end of the string.
std::string ScanProvider(std::string_view connectionString) {
  const std::string text = UpperAscii(connectionString);
  std::string key;
  std::string provider;
  for (const char c : text) {
    const bool inValue = key.size() >= kProviderKey.size() &&
                         std::string_view(key).substr(key.size() - kProviderKey.size()) == kProviderKey;
    if (inValue) {
      if (c == ';') break;
      provider += c;
    } else if (c != ' ') {
      key += c;
    }
  }
  return provider;
}

// Main table and main field hold a bare name: no dot, and nothing that could not stand between brackets once
// the outer ones are gone (a bracket of its own or a NUL byte).
std::string CheckedBareName(std::string_view value) {
  if (value.find('.') != std::string_view::npos) throw Error(ERR_EXCEPT_INVALID_MAINFIELD);
  std::string name = StripBrackets(value);
  if (!CanBracket(name)) throw Error(ERR_EXCEPT_INVALID_MAINFIELD);
  return name;
}

}  // namespace

Exception::Exception() : setIndex_(std::make_unique<detail::SetIndex>()) {}

std::shared_ptr<Exception> Exception::Create() {
  auto report = std::make_shared<MadeException>();
  report->formulae_ = FormulaList::Create();
  report->fields_ = FieldList::Create();
  report->fields_->SetParent(report);
  report->formulae_->SetException(report);
  report->databaseType_ = kSQLServer;
  report->formulae_->SetDatabaseType(kSQLServer);
  return report;
}

Exception::~Exception() {
  setIndex_->Forget();  // holds formulas too
  formulae_.reset();
  fields_.reset();
  connection_.reset();
}

std::shared_ptr<FormulaList> Exception::Formulae() const { return formulae_; }

void Exception::SetFormulae(const std::shared_ptr<FormulaList>& list) {
  if (!list) Raise(ERR_EXCEPT_ITEMTYPE, "Exception.Formulae", "A formula list is required.");
  formulae_ = list;
  setIndex_->Forget();
}

std::shared_ptr<FieldList> Exception::Fields() const { return fields_; }

void Exception::SetFields(const std::shared_ptr<FieldList>& list) {
  if (!list) Raise(ERR_EXCEPT_ITEMTYPE, "Exception.Fields", "A field list is required.");
  fields_ = list;
}

std::string Exception::MainField() const { return AddBrackets(mainField_); }
void Exception::SetMainField(std::string_view value) { mainField_ = CheckedBareName(value); }
std::string Exception::MainTable() const { return AddBrackets(mainTable_); }
void Exception::SetMainTable(std::string_view value) { mainTable_ = CheckedBareName(value); }

int32_t Exception::LanguageLevel() const { return languageLevel_; }

// Each formula is read again at the new level: a construct the level does not know fails as it would have
// when its text was assigned. Every formula is read; the first failure is raised afterwards.
void Exception::SetLanguageLevel(int32_t value) {
  if (value != 1 && value != 2) Raise(ERR_EXCEPT_ITEMTYPE, "Exception.LanguageLevel", "The language level must be 1 or 2");
  if (value == languageLevel_) return;
  languageLevel_ = value;
  std::exception_ptr firstFailure;
  for (int32_t i = 1; i <= formulae_->Count(); ++i) {
    try {
      formulae_->Formula(i)->CheckTextAgain();
    } catch (...) {
      if (!firstFailure) firstFailure = std::current_exception();
    }
  }
  if (firstFailure) std::rethrow_exception(firstFailure);
}

bool Exception::Distinct() const { return distinct_; }
void Exception::SetDistinct(bool value) { distinct_ = value; }

std::shared_ptr<db::Connection> Exception::Connection() const { return connection_; }

void Exception::SetConnection(const std::shared_ptr<db::Connection>& connection) {
  setIndex_->Forget();
  connection_ = connection;
  formulae_->SetConnection(connection);
  fields_->SetConnection(connection);
  const std::string provider = connection ? ScanProvider(connection->ConnectionString()) : std::string();
  databaseType_ = DialectOfProvider(provider).value_or(kSQLServer);
  formulae_->SetDatabaseType(databaseType_);
}

DATABASETYPEENU Exception::DatabaseType() const { return databaseType_; }

void Exception::Clear() {
  setIndex_->Forget();
  formulae_->Clear();
  fields_->Clear();
}

std::string Exception::SQL() {
  const db::SchemaScope schemaScope;  // one reading of the schema version for the whole call
  Validate();
  return StatementBuilder(*this).BuildStatement();
}

void Exception::Validate() const {
  if (!connection_ || connection_->State() == db::kAdStateClosed) {
    Raise(ERR_EXCEPT_CNN_CLOSED, kValidateSource, "Connection is closed.");
  }
  if (mainField_.empty()) Raise(ERR_EXCEPT_INVALID_MAINFIELD, kValidateSource, "Main field has not been set.");
  if (mainTable_.empty()) Raise(ERR_EXCEPT_INVALID_MAINTABLE, kValidateSource, "Main table has not been set.");
}

// [table].[field] AS [export] gives [export]; [table].[field] gives [field].
std::string Exception::ExportName(std::string_view selected) {
  const auto as = UpperAscii(selected).rfind("] AS [");
  if (as != std::string::npos) return std::string(selected.substr(as + 5));
  const auto dot = selected.find("].[");
  if (dot != std::string_view::npos) return std::string(selected.substr(dot + 2));
  Raise(ERR_EXCEPT_BADLY_FORMED_SEL_FIELD, "Exception.ExportName",
        "Badly formed selected field. Should be of the form [fieldname].[table] (optional) AS [exportname]");
}

bool Exception::HasExportName(const StringList& list, std::string_view selected) {
  if (IsArrayEmpty(list)) return false;
  const std::string wanted = ExportName(selected);
  for (const std::string& entry : list.Items()) {
    if (EqualsIgnoreCase(ExportName(entry), wanted)) return true;
  }
  return false;
}

}  // namespace talvane
