#pragma once
// The Python value of a cell, chosen by the kind of value the database holds and the type the column
// declares: a DATE column gives datetime.date, DATETIME datetime.datetime, TIME datetime.time, a boolean
// column bool, MONEY and DECIMAL decimal.Decimal. A value the declared type does not fit (a date column holding
// a number, text that is no date) keeps the kind the database gives it.
#include <pybind11/pybind11.h>

#include <cstdint>

#include "report_rows_reader.hpp"

namespace talvane::python {

class CellValues {
 public:
  // Imports datetime and decimal once, for every cell of a result.
  CellValues();

  pybind11::object Value(const Cell& cell, int32_t columnType) const;

 private:
  pybind11::object Plain(const Cell& cell) const;
  // `parse(text)`, or the plain value when it raises ValueError or ArithmeticError.
  pybind11::object Parsed(const pybind11::object& parse, const Cell& cell) const;

  pybind11::object date_;
  pybind11::object dateTime_;
  pybind11::object time_;
  pybind11::object decimal_;
};

}  // namespace talvane::python
