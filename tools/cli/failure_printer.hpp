#pragma once
// Shows failures and warnings of a report definition the way a person reads them: the text, a caret under
// the item concerned, then the error's number, source and message, or the warning.
#include <iosfwd>
#include <string>
#include <vector>

#include "talvane/definition/check_warnings.hpp"
#include "talvane/definition/check_failure.hpp"

namespace talvane::cli {

//   formula 2: Orders.OrderDate >= 100
//                                  ^
//     error 0x80040003 (Exception: Section.Add): Illigal value
void PrintFailure(const CheckFailure& failure, std::ostream& out);

void PrintFailures(const std::vector<CheckFailure>& failures, std::ostream& out);

//   formula 4: Orders.Status = "Held"
//     warning: set [OnHold] begins with OR, so it is an outer join, ...
void PrintWarning(const CheckWarning& warning, std::ostream& out);

void PrintWarnings(const std::vector<CheckWarning>& warnings, std::ostream& out);

// What a command that needs the statement prints when the definition fails: the failures, then
//   talvane: no statement: 2 failures in report.json
void PrintNoStatement(const std::vector<CheckFailure>& failures, const std::string& source, std::ostream& err);

}  // namespace talvane::cli
