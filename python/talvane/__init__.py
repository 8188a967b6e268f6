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

from ._errors import DefinitionError, Error
from ._rows import Rows
from ._talvane import (Connection, DatabaseType, Field, FieldList, Formula, FormulaList, Grouping, Report,
                       SchemaScope, _open)

__all__ = ["connect", "Connection", "DatabaseType", "DefinitionError", "Error", "Field", "FieldList", "Formula",
           "FormulaList", "Grouping", "Report", "Rows", "SchemaScope"]

# The provider written in front of the connection string for each dialect; the first Provider key counts.
_PROVIDERS = {"access": "Microsoft.Jet.OLEDB.4.0", "sqlserver": "SQLOLEDB.1", "sqlite": "SQLite",
              "postgresql": "PostgreSQL"}


def connect(connection_string, *, dialect=None):
    """Opens the SQLite database of an ADO-style connection string ("Data Source=sample.db").

    dialect: "access", "sqlserver", "sqlite" or "postgresql" writes that dialect's Provider in front of the string; without
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
