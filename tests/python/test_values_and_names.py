import csv
import datetime
import decimal
import sys

import pytest

import talvane
from conftest import cli


def report_on(connection, *fields, formula="Orders.OrderID <= 12"):
    report = talvane.Report(connection)
    report.main_table, report.main_field = "Orders", "OrderID"
    for field in fields:
        report.fields.add(field)
    report.formulas.add(formula)
    return report


def test_values_take_the_python_type_of_their_declared_column(connect, sample_db, tmp_path):
    report = report_on(connect(), "Orders.OrderID", "Orders.OrderDate", "[Orders].[Ship Date]", "Orders.DueTime",
                       "Orders.Rush", "Orders.Amount", "Orders.Freight", "Orders.Status")
    rows = report.run()
    types = {type(value) for row in rows for value in row if value is not None}
    assert types == {int, datetime.date, datetime.datetime, datetime.time, bool, decimal.Decimal, str}
    # Each value is the database's own: compared with the text the command line prints for it.
    report.to_definition(tmp_path / "typed.json")
    printed = list(csv.reader(cli("run", str(tmp_path / "typed.json"), "-c", f"Data Source={sample_db}", "-f",
                                  "csv").splitlines()))[1:]
    for row, texts in zip(rows, printed, strict=True):
        order_id, order_date, ship_date, due, rush, amount, freight, status = row
        assert (str(order_id), order_date.isoformat(), status) == (texts[0], texts[1], texts[7])
        assert ship_date is None and texts[2] == "" or str(ship_date) == texts[2]
        assert due.strftime("%H:%M") == texts[3] and int(rush) == int(texts[4])
        assert (amount, freight) == (decimal.Decimal(texts[5]), decimal.Decimal(texts[6]))


def test_an_empty_result_keeps_its_column_names_and_converts_to_pandas(connect, monkeypatch):
    report = report_on(connect(), "Orders.OrderID", "Orders.Amount", formula="Orders.OrderID < 0")
    rows = report.run()
    assert rows == [] and rows.as_dicts() == [] and rows.as_dicts().column_names == ("OrderID", "Amount")
    pandas = pytest.importorskip("pandas")
    assert list(rows.to_pandas().columns) == ["OrderID", "Amount"] and len(rows.to_pandas()) == 0
    full = report_on(connect(), "Orders.OrderID", "Orders.Amount").run()
    assert full.to_pandas().to_dict("records") == full.as_dicts() and isinstance(full.to_pandas(), pandas.DataFrame)
    monkeypatch.setitem(sys.modules, "pandas", None)
    with pytest.raises(ImportError, match="needs pandas"):
        rows.to_pandas()


def test_misspelt_members_have_correct_names_and_objects_show_themselves(connect):
    report = report_on(connect(), "Orders.Amount", formula="Orders.Amount BETWEEN 1 AND 5")
    field, formula = report.fields[0], report.formulas[0]
    field.aggregate_function = "SUM"
    assert field.aggragate_function == "SUM"
    assert formula.non_aggregate_fields == formula.non_aggragate_fields == "[Orders].[Amount]"
    assert formula.section_separator == formula.section_seperator == "AND"
    assert talvane.__version__ == cli("--version").split()[-1]
    formula.name = "Small"
    assert repr(formula) == "<talvane.Formula '[Orders].[Amount] BETWEEN 1 AND 5' name='[Small]' grouping=AND>"
    assert repr(field) == "<talvane.Field '[Orders].[Amount]' name='[Amount]' aggregate='SUM'>"
    assert repr(report) == ("<talvane.Report main_table='[Orders]' main_field='[OrderID]' formulas=1 fields=1 "
                            "database_type=SQLITE>")
    assert repr(report.connection).startswith("<talvane.Connection 'Provider=SQLite;Data Source=")
    report.connection.close()
    assert repr(report.connection).endswith(" closed>") and repr(report).startswith("<talvane.Report ")


def test_wrong_direction_and_main_names_raise_python_errors(connect):
    report = report_on(connect(), "Orders.Amount")
    for call, kind, message in [
        (lambda: report.fields.add("Orders.OrderID", direction="sideways"), ValueError, "Ascending"),
        (lambda: setattr(report.fields[0], "order_direction", "up"), ValueError, "Descending"),
        (lambda: setattr(report.fields[0], "order_direction", 1), TypeError, "direction must be a str, not int"),
        (lambda: setattr(report, "main_table", None), TypeError, "main_table must be a str, not NoneType"),
        (lambda: setattr(report, "main_field", 7), TypeError, "main_field must be a str, not int"),
    ]:
        with pytest.raises(kind, match=message):
            call()
    assert len(report.fields) == 1 and report.main_table == "[Orders]"
    report.fields[0].order_direction = "descending"
    assert report.fields[0].order_direction == "Descending"


def test_to_definition_writes_names_as_a_person_does_and_reads_back(connect, tmp_path):
    connection = connect("sqlserver")
    report = report_on(connection, "Orders.Amount", "[Orders].[Ship Date]")
    report.fields.add("Orders.Freight", name="Cost", direction="Descending", order_pos=1)
    report.formulas.add("[Orders].[Ship Date] > Orders.OrderDate", name="Late_Or_Held")
    report.formulas.add("Orders.Status = \"Held\"", name="[Late_Or_Held]", grouping="or")
    saved = report.to_definition(tmp_path / "report.json")
    assert (saved["mainTable"], saved["mainField"]) == ("Orders", "OrderID")
    assert saved["fields"] == [{"field": "Orders.Amount"}, {"field": "Orders.[Ship Date]"},
                               {"field": "Orders.Freight", "name": "Cost", "orderPos": 1, "direction": "Descending"}]
    assert [f["text"] for f in saved["formulas"]] == [
        "Orders.OrderID <= 12", "Orders.[Ship Date] > Orders.OrderDate", "Orders.Status = \"Held\""]
    assert [f.get("name") for f in saved["formulas"]] == [None, "Late_Or_Held", "Late_Or_Held"]
    read = talvane.Report.from_definition(tmp_path / "report.json", connection)
    assert read.sql == report.sql and read.to_definition() == saved
