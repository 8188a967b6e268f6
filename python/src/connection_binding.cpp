#include "bindings.hpp"
#include "talvane/db/sqlite_connection.hpp"

namespace py = pybind11;
using namespace pybind11::literals;

namespace talvane::python {

namespace {

constexpr const char* kConnectionDoc =
    "A database connection, made by talvane.connect(). Reports hold it while they live; close() closes the "
    "database for all of them (their next database request then raises talvane.Error).";

constexpr const char* kOpenDoc =
    "Opens the SQLite database named by the \"Data Source\" key of an ADO-style connection string (\":memory:\" "
    "gives an empty in-memory database); its Provider key chooses the dialect of the statements. Use "
    "talvane.connect(), which can also name the dialect.";

std::shared_ptr<db::Connection> Open(const std::string& connectionString) {
  const py::gil_scoped_release release;
  return db::SqliteConnection::Create(connectionString);
}

// Closing a closed connection does nothing, as with Python's files.
void Close(db::Connection& connection) {
  const py::gil_scoped_release release;
  auto* sqlite = dynamic_cast<db::SqliteConnection*>(&connection);
  if (sqlite && sqlite->State() != 0) sqlite->Close();
}

// <talvane.Connection 'Provider=SQLite;Data Source=sample.db' open>
std::string Repr(const db::Connection& connection) {
  return "<talvane.Connection " + py::repr(py::str(connection.ConnectionString())).cast<std::string>() +
         (connection.State() != 0 ? " open>" : " closed>");
}

}  // namespace

void BindConnection(py::module_& module) {
  py::class_<db::Connection, std::shared_ptr<db::Connection>>(module, "Connection", kConnectionDoc)
      .def_property_readonly("connection_string", &db::Connection::ConnectionString,
                             "The connection string as it was given.")
      .def_property_readonly("state", &db::Connection::State, "1 while open, 0 once closed.")
      .def("close", &Close, "Closes the database and every result still open on it.")
      .def("__enter__", [](py::object self) { return self; })
      .def("__exit__", [](db::Connection& connection, const py::args&) { Close(connection); })
      .def("__repr__", &Repr);
  module.def("_open", &Open, "connection_string"_a, kOpenDoc);
}

}  // namespace talvane::python
