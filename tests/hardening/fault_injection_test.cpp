// Database failures at every point of building a report. A connection wrapper fails its Nth call, for every
// N up to the number of calls the scenario makes; each member call either succeeds or raises a
// talvane::Error, no recordset is left open, and the objects stay usable: the failed call, made again,
// succeeds, and the finished report reads the same statement as one built without a failure.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "support/counting_connection.hpp"
#include "support/sqlite_fixture.hpp"
#include "talvane/db/recordset.hpp"
#include "talvane/formula/formula.hpp"
#include "talvane/foundation/error.hpp"
#include "talvane/report/exception.hpp"
#include "talvane/report/field.hpp"
#include "talvane/report/field_list.hpp"
#include "talvane/report/formula_list.hpp"

namespace talvane::test {
namespace {

using Step = std::function<void(Exception&)>;

std::shared_ptr<Formula> FormulaAt(Exception& r, int32_t i) { return r.Formulae()->Formula(i); }
std::shared_ptr<Field> FieldAt(Exception& r, int32_t i) { return r.Fields()->Field(i); }

// Formulas with plain fields, a set and a reference to it, output fields found in the schema and in the set,
// an ordered field, and the statement: one member call a step.
std::vector<Step> Scenario(std::string* statement) {
  return {
      [](Exception& r) { r.SetMainTable("Customers"); },
      [](Exception& r) { r.SetMainField("CustID"); },
      [](Exception& r) { r.Formulae()->AddNew(); },
      [](Exception& r) { FormulaAt(r, 1)->SetValue(std::string_view("Orders.Amount >= 100")); },
      [](Exception& r) { r.Formulae()->AddNew(); },
      [](Exception& r) { FormulaAt(r, 2)->SetName("Big"); },
      [](Exception& r) { FormulaAt(r, 2)->SetValue(std::string_view("SUM(Lines.Qty) > 2")); },
      [](Exception& r) { r.Formulae()->AddNew(); },
      [](Exception& r) { FormulaAt(r, 3)->SetValue(std::string_view("Big.Price > 1")); },
      [](Exception& r) { FormulaAt(r, 3)->SetGrouping(kOr); },
      [](Exception& r) { r.Fields()->AddNew(); },
      [](Exception& r) { FieldAt(r, 1)->SetValue("Customers.CustName"); },
      [](Exception& r) { r.Fields()->AddNew(); },
      [](Exception& r) { FieldAt(r, 2)->SetValue("Big.Price"); },
      [](Exception& r) { FieldAt(r, 2)->SetName("Price"); },
      [](Exception& r) { r.Fields()->AddNew(); },
      [](Exception& r) { FieldAt(r, 3)->SetValue("Orders.Amount"); },
      [](Exception& r) { FieldAt(r, 3)->SetFieldOnly("Total"); },
      [](Exception& r) { FieldAt(r, 3)->SetOrdered(true); },
      [statement](Exception& r) { *statement = r.SQL(); },
  };
}

struct Attempt {
  std::shared_ptr<CountingConnection> connection;
  std::shared_ptr<Exception> report;
};

// With `keeps`, the connection reports its schema version and the report keeps what its set resolution
// learnt from one run to the next; without, every run starts afresh.
Attempt NewAttempt(const std::shared_ptr<db::SqliteConnection>& database, bool keeps) {
  Attempt run;
  run.connection = CountingConnection::Create(database);
  run.connection->ForwardSchemaVersion(keeps);
  run.report = Exception::Create();
  run.report->SetConnection(run.connection);
  return run;
}

struct Failure {
  const char* name;
  int32_t number;
  // The library reads these numbers as "no such table or column here" (an item becomes a set reference, a
  // field is looked for among the sets): the injected failure then legitimately changes what is built.
  bool meansNotFound;
};

// Printed by name: the default printer would dump the struct's bytes, padding included.
void PrintTo(const Failure& failure, std::ostream* out) { *out << failure.name; }

class FaultInjection : public ::testing::TestWithParam<Failure> {
 protected:
  void SetUp() override { database_ = MakeStandardDatabase(kAccessProvider); }

  // The statement and the number of counted calls of a run without failures.
  void RunClean(bool keeps, std::string* statement, int32_t* calls) {
    const Attempt run = NewAttempt(database_, keeps);
    for (const Step& step : Scenario(statement)) step(*run.report);
    *calls = run.connection->Calls(DbCall::kAny);
    EXPECT_EQ(run.connection->OpenRecordsets(), 0);
    EXPECT_EQ(run.connection->AbandonedRecordsets(), 0);
  }

  void FailEveryCallInTurn(bool keeps);

  std::shared_ptr<db::SqliteConnection> database_;
};

TEST_P(FaultInjection, EveryFailedCallRaisesLeavesNothingOpenAndCanBeMadeAgain) {
  for (const bool keeps : {false, true}) {
    SCOPED_TRACE(keeps ? "keeping what the set resolution learnt" : "starting every resolution afresh");
    FailEveryCallInTurn(keeps);
    if (HasFailure()) return;
  }
}

void FaultInjection::FailEveryCallInTurn(bool keeps) {
  std::string expected;
  int32_t calls = 0;
  RunClean(keeps, &expected, &calls);
  ASSERT_GT(calls, 20) << "the scenario must reach the database";
  const talvane::Error injected(GetParam().number, "Injected", "the connection failed");

  for (int32_t nth = 1; nth <= calls; ++nth) {
    SCOPED_TRACE("failing call " + std::to_string(nth) + " of " + std::to_string(calls));
    const Attempt run = NewAttempt(database_, keeps);
    run.connection->FailCall(DbCall::kAny, nth, injected);
    std::string statement;
    int32_t failures = 0;
    for (const Step& step : Scenario(&statement)) {
      try {
        step(*run.report);
        continue;
      } catch (const talvane::Error&) {
        ++failures;
      } catch (const std::exception& other) {
        ADD_FAILURE() << "not a talvane::Error: " << other.what();
      }
      EXPECT_EQ(run.connection->OpenRecordsets(), 0) << "a recordset stayed open after the failure";
      // The fault fires once: the same call made again must work on the same objects.
      EXPECT_NO_THROW(step(*run.report));
    }
    EXPECT_LE(failures, 1);
    EXPECT_EQ(run.connection->OpenRecordsets(), 0);
    EXPECT_EQ(run.connection->AbandonedRecordsets(), 0) << "a recordset was released without being closed";
    if (!GetParam().meansNotFound) {
      EXPECT_EQ(statement, expected);
    }
    if (HasFailure()) return;  // one failing call tells the story; the rest would repeat it
  }
}

// An unspecified failure, a closed object, and the failures the library reads as "not found here".
INSTANTIATE_TEST_SUITE_P(Errors, FaultInjection,
                         ::testing::Values(Failure{"Unspecified", db::kErrUnspecified, false},
                                           Failure{"ObjectClosed", db::kErrObjectClosed, false},
                                           Failure{"NoSuchTable", db::kErrNoSuchTable, true},
                                           Failure{"ItemNotFound", db::kErrItemNotFound, true},
                                           Failure{"NoCurrentRecord", db::kErrNoCurrentRecord, true},
                                           Failure{"CommandText", db::kErrCommandText, true}),
                         [](const ::testing::TestParamInfo<Failure>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace talvane::test
