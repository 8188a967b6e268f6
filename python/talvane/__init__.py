"""Talvane: the SQL statement of an exception report, built from its rules.

    import talvane
    connection = talvane.connect("Data Source=sample.db", dialect="sqlite")
    report = talvane.Report(connection)
    report.main_table, report.main_field = "Orders", "OrderID"
    report.fields.add("Orders.Amount", name="Total")
    report.formulas.add("Orders.Amount > 100", name="Big", grouping="or")
    print(report.sql)
    rows = report.run()

Failures of the library raise talvane.Error with its number; wrong arguments raise TypeError or ValueError.
The objects are not shared between threads: the database work of one runs without the GIL.
"""

import os

from ._check import CheckResult, Finding
from ._errors import DefinitionError, Error
from ._rows import Rows
from ._talvane import (Connection, DatabaseType, Field, FieldList, Formula, FormulaList, Grouping, Report,
                       ScanError, ScanResult, SchemaScope, __version__, _open, _scan)

__all__ = ["connect", "CheckResult", "Connection", "DatabaseType", "DefinitionError", "Error", "Field", "FieldList",
           "Finding", "Formula", "FormulaList", "Grouping", "Report", "Rows", "scan", "ScanError", "ScanResult",
           "SchemaScope"]

# The provider written in front of the connection string for each dialect; the first Provider key counts.
_PROVIDERS = {"access": "Microsoft.Jet.OLEDB.4.0", "sqlserver": "SQLOLEDB.1", "sqlite": "SQLite"}


def connect(connection_string, *, dialect=None):
    """Opens the SQLite database of an ADO-style connection string ("Data Source=sample.db").

    dialect: "access", "sqlserver" or "sqlite" writes that dialect's Provider in front of the string; without
    it the string's own Provider chooses (none or any other: SQL Server). Raises talvane.Error when the
    database cannot be opened.
    """
    if not isinstance(connection_string, str):
        raise TypeError(f"connection_string must be a str, not {type(connection_string).__name__}")
    if dialect is not None:
        if not isinstance(dialect, str):
            raise TypeError(f"dialect must be a str, not {type(dialect).__name__}")
        provider = _PROVIDERS.get(dialect.lower())
        if provider is None:
            raise ValueError(f"dialect must be one of {', '.join(_PROVIDERS)}, not {dialect!r}")
        connection_string = f"Provider={provider};{connection_string}"
    return _open(connection_string)


def scan(paths, connection, history=None, jobs=1, *, sample=20):
    """Runs many report definitions on a database; one talvane.ScanResult per file, in path order.

    paths: a definition file or folder (every *.json in it, recursively), or a list of them.
    connection: a connection string ("Data Source=sample.db") or a talvane.Connection, whose string is used:
    each report runs on a connection of its own, opened read-only, in the SQLite dialect.
    history: a SQLite file that keeps each scan; each result then lists its new and cleared exceptions.
    jobs: reports run at once. A report that fails has status "error" and its error set; the others still run.
    """
    if isinstance(paths, (str, os.PathLike)):
        paths = [paths]
    paths = [os.fspath(path) for path in paths]
    if isinstance(connection, Connection):
        connection = connection.connection_string
    if not isinstance(connection, str):
        raise TypeError(f"connection must be a str or a talvane.Connection, not {type(connection).__name__}")
    if not isinstance(jobs, int) or jobs < 1:
        raise ValueError(f"jobs must be a positive int, not {jobs!r}")
    if not isinstance(sample, int) or sample < 0:
        raise ValueError(f"sample must be an int of 0 or more, not {sample!r}")
    history = "" if history is None else os.fspath(history)
    return _scan(paths, connection, history, jobs, sample)
