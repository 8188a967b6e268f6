#pragma once
// len(), indexing from 0 (negative indexes count from the end) and iteration over one of the library's
// 1-based lists. An entry keeps its list, and so the report, alive while Python holds it.
#include <pybind11/pybind11.h>

#include <cstdint>
#include <memory>

namespace talvane::python {

template <typename List, typename Entry, std::shared_ptr<Entry> (List::*At)(int32_t) const>
void AddSequenceProtocol(pybind11::class_<List, std::shared_ptr<List>>& binding) {
  namespace py = pybind11;
  binding.def("__len__", [](const List& list) { return list.Count(); })
      .def(
          "__getitem__",
          [](const List& list, int64_t index) {
            const int64_t count = list.Count();
            if (index < 0) index += count;
            if (index < 0 || index >= count) throw py::index_error("list index out of range");
            return (list.*At)(static_cast<int32_t>(index + 1));
          },
          py::keep_alive<0, 1>())
      .def("__iter__", [](py::object self) {
        py::list entries;
        const auto count = static_cast<int64_t>(py::len(self));
        for (int64_t i = 0; i < count; ++i) entries.append(self[py::int_(i)]);
        return py::iter(entries);
      });
}

}  // namespace talvane::python
