import gc

import pytest

import talvane
from conftest import build


def test_lists_and_entries_outlive_their_report(connect):
    report = build(connect())
    formulas, formula, field = report.formulas, report.formulas[0], report.fields[0]
    del report
    gc.collect()
    assert formula.sql() == "IFNULL(CAST([Orders].[Amount] AS REAL), 0) > 100"
    formula.value = "Orders.Amount < 5"
    assert [f.value for f in formulas] == ["[Orders].[Amount] < 5"]
    assert field.name == "[Amount]" and formulas.exception.sql.startswith("SELECT")


def test_a_closed_connection_raises_instead_of_crashing(connect):
    connection = connect()
    report = build(connection)
    formula = report.formulas[0]
    connection.close()
    assert connection.state == 0
    for use in (lambda: report.run(), lambda: report.fields.add("Orders.OrderID"),
                lambda: setattr(formula, "value", "Orders.Amount > 1"), lambda: report.validate()):
        with pytest.raises(talvane.Error):
            use()
    del connection, report
    gc.collect()
    assert formula.value == "[Orders].[Amount] > 100"


def test_lists_behave_as_sequences_and_objects_document_themselves(connect):
    report = build(connect())
    report.formulas.add("Orders.Rush = TRUE", name="Rushed", grouping="or")
    assert len(report.formulas) == 2 and report.formulas[-1].name == "[Rushed]"
    assert [f.grouping for f in report.formulas] == [talvane.Grouping.AND, talvane.Grouping.OR]
    assert report.database_type == talvane.DatabaseType.SQLITE
    for cls in (talvane.Report, talvane.FormulaList, talvane.Formula, talvane.Field, talvane.FieldList):
        assert cls.__doc__
    assert "talvane.Error" in talvane.Report.__doc__


def test_published_cursor_members_count_from_one(connect):
    with connect() as connection, talvane.SchemaScope() as scope:
        with pytest.raises(ValueError):
            scope.__enter__()
        report = build(connection)
        report.fields.add("Orders.OrderID", order_pos=1)
        report.formulas.add("Orders.Rush = TRUE")
        formulas, fields = report.formulas, report.fields
        formulas.move_first()
        assert formulas.index == 1 and formulas.formula().value == "[Orders].[Amount] > 100"
        formulas.move_next()
        formulas.move_next()
        assert formulas.eof and formulas.count == 2
        fields.mover_first_by_order()
        assert fields.field().value == "[Orders].[OrderID]" and fields.field(1).value == "[Orders].[Amount]"
        formulas.set_formula(formulas[1], 1)
        assert formulas[0].value == formulas[1].value != "[Orders].[Amount] > 100"
        formulas.remove(1)
        assert [f.value for f in formulas] == ["[Orders].[Rush] = True"]
        assert report.run(limit=1).as_dicts()[0].keys() == {"Amount", "OrderID"}
    assert connection.state == 0
