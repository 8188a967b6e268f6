#include "cell_values.hpp"

#include <cstdlib>

namespace py = pybind11;

namespace talvane::python {

namespace {

// ADO type codes of the declared column types that have a Python type of their own.
constexpr int32_t kAdBoolean = 11;
constexpr int32_t kAdCurrency = 6;
constexpr int32_t kAdNumeric = 131;
constexpr int32_t kAdDate = 133;
constexpr int32_t kAdTime = 134;
constexpr int32_t kAdTimestamp = 135;

}  // namespace

CellValues::CellValues() {
  const py::module_ datetime = py::module_::import("datetime");
  date_ = datetime.attr("date").attr("fromisoformat");
  dateTime_ = datetime.attr("datetime").attr("fromisoformat");
  time_ = datetime.attr("time").attr("fromisoformat");
  decimal_ = py::module_::import("decimal").attr("Decimal");
}

py::object CellValues::Value(const Cell& cell, int32_t columnType) const {
  const bool number = cell.kind == db::ValueKind::kInteger || cell.kind == db::ValueKind::kReal;
  const bool text = cell.kind == db::ValueKind::kText;
  switch (columnType) {
    case kAdBoolean:
      if (cell.kind == db::ValueKind::kInteger) return py::bool_(cell.text != "0");
      break;
    case kAdCurrency:
    case kAdNumeric:
      if (number) return Parsed(decimal_, cell);  // from the database's text, not through a float
      break;
    case kAdDate:
      if (text) return Parsed(date_, cell);
      break;
    case kAdTimestamp:
      if (text) return Parsed(dateTime_, cell);
      break;
    case kAdTime:
      if (text) return Parsed(time_, cell);
      break;
    default: break;
  }
  return Plain(cell);
}

py::object CellValues::Plain(const Cell& cell) const {
  switch (cell.kind) {
    case db::ValueKind::kNull: return py::none();
    case db::ValueKind::kInteger:
      return py::reinterpret_steal<py::object>(PyLong_FromString(cell.text.c_str(), nullptr, 10));
    case db::ValueKind::kReal: return py::float_(std::strtod(cell.text.c_str(), nullptr));
    case db::ValueKind::kBlob: return py::bytes(cell.text);
    default:
      return py::reinterpret_steal<py::object>(
          PyUnicode_DecodeUTF8(cell.text.data(), static_cast<Py_ssize_t>(cell.text.size()), "surrogateescape"));
  }
}

py::object CellValues::Parsed(const py::object& parse, const Cell& cell) const {
  try {
    return parse(py::str(cell.text));
  } catch (py::error_already_set& e) {
    if (!e.matches(PyExc_ValueError) && !e.matches(PyExc_ArithmeticError)) throw;
    return Plain(cell);
  }
}

}  // namespace talvane::python
