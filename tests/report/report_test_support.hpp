#pragma once
// Shared set-up of the report tests: a report on the standard SQLite schema (main table Customers,
// main field CustID), and short ways to add formulas and fields.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/expect_error.hpp"
#include "support/internal_access.hpp"
#include "support/sqlite_fixture.hpp"
#include "talvane/formula/formula.hpp"
#include "talvane/formula/item.hpp"
#include "talvane/report/exception.hpp"
#include "talvane/report/field.hpp"
#include "talvane/report/field_list.hpp"
#include "talvane/report/formula_list.hpp"

namespace talvane::test {

using detail::Access;

inline constexpr int32_t kErr1 = ObjectError(1);
inline constexpr int32_t kErr2 = ObjectError(2);
inline constexpr int32_t kErr3 = ObjectError(3);
inline constexpr int32_t kErr4 = ObjectError(4);
inline constexpr int32_t kErr5 = ObjectError(5);
inline constexpr int32_t kErr6 = ObjectError(6);
inline constexpr int32_t kErr7 = ObjectError(7);

class ReportTest : public testing::Test {
 protected:
  void SetUp() override {
    database_ = MakeStandardDatabase();
    report_ = Exception::Create();
    report_->SetConnection(database_);
    report_->SetMainTable("Customers");
    report_->SetMainField("CustID");
    formulae_ = report_->Formulae();
    fields_ = report_->Fields();
  }

  std::shared_ptr<Formula> AddFormula(const std::string& text, const std::string& set = {},
                                      GROUPTYPEENU grouping = kBase) {
    formulae_->AddNew();
    auto formula = formulae_->Formula();
    formula->SetValue(std::string_view(text));
    if (!set.empty()) formula->SetName(set);
    formula->SetGrouping(grouping);
    return formula;
  }

  std::shared_ptr<Field> AddField(const std::string& reference = {}) {
    fields_->AddNew();
    auto field = fields_->Field();
    if (!reference.empty()) field->SetValue(reference);
    return field;
  }

  std::vector<int32_t> OrderPositions() const {
    std::vector<int32_t> positions;
    for (int32_t i = 1; i <= fields_->Count(); ++i) positions.push_back(fields_->Field(i)->OrderPos());
    return positions;
  }

  std::shared_ptr<db::SqliteConnection> database_;
  std::shared_ptr<Exception> report_;
  std::shared_ptr<FormulaList> formulae_;
  std::shared_ptr<FieldList> fields_;
};

}  // namespace talvane::test
