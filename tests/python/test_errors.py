import pytest

import talvane

OBJECT_ERROR = 0x80040000 - (1 << 32)


def test_library_failures_raise_error_with_their_number(connect):
    report = talvane.Report(connect())
    with pytest.raises(talvane.Error) as raised:
        report.sql
    assert raised.value.number in (OBJECT_ERROR + 1, OBJECT_ERROR + 2)
    with pytest.raises(talvane.Error) as raised:
        report.main_table = "Orders.Amount"
    assert raised.value.number == OBJECT_ERROR + 1
    report.main_table, report.main_field = "Orders", "OrderID"

    with pytest.raises(talvane.Error) as raised:
        report.formulas.add("Orders.Amount = 1_000")
    error = raised.value
    assert (error.number, error.source, error.item) == (OBJECT_ERROR + 6, "ModOmbrel ParseItem", "1_000")
    assert error.position == 16 and "Invalid syntax" in error.message and "position 16" in str(error)
    assert len(report.formulas) == 0  # a failed add leaves the list as it was

    with pytest.raises(talvane.Error) as raised:
        report.fields.add("Orders.Amout")
    assert raised.value.number == OBJECT_ERROR + 3 and raised.value.position is None
    with pytest.raises(talvane.Error) as raised:
        report.fields.add("Orders.Amount", aggregate="MEDIAN")
    assert raised.value.number == OBJECT_ERROR + 7
    assert len(report.fields) == 0

    formula = report.formulas.add("Orders.Amount > 1")
    with pytest.raises(talvane.Error) as raised:
        formula.value = "Orders.Amount >"
        formula.value = "Orders.Amount > > 1"
    assert raised.value.position is not None

    report.fields.add("Orders.Amount")
    report.formulas.add("Orders.Nowhere > 1")
    with pytest.raises(talvane.Error):
        report.validate()


def test_definitions_that_cannot_be_read_raise_definition_error(connect, tmp_path):
    connection = connect()
    cases = [
        ({"mainTable": "Orders"}, '<dict>: "mainField" is missing'),
        ({"mainTable": "Orders", "mainField": "OrderID", "colour": 1}, 'unknown key "colour"'),
        ({"mainTable": "Orders", "mainField": "OrderID", "formulas": [{"text": 5}]},
         'formula 1: "text" must be a string, not a number'),
        (tmp_path / "missing.json", "cannot read the definition"),
    ]
    for definition, message in cases:
        with pytest.raises(talvane.DefinitionError, match=message) as raised:
            talvane.Report.from_definition(definition, connection)
        assert isinstance(raised.value, ValueError) and isinstance(raised.value, talvane.Error)
        assert raised.value.number == 0x80004005 - (1 << 32)
    with pytest.raises(talvane.Error) as raised:
        talvane.Report.from_definition({"mainTable": "Orders", "mainField": "OrderID",
                                        "fields": [{"field": "Orders.Amout"}]}, connection)
    assert raised.value.number == OBJECT_ERROR + 3


def test_wrong_python_arguments_raise_type_or_value_error(connect, sample_db):
    connection = connect()
    report = talvane.Report(connection)
    for call, kind in [
        (lambda: talvane.connect(5), TypeError),
        (lambda: talvane.connect("Data Source=x", dialect="oracle"), ValueError),
        (lambda: talvane.Report("Data Source=x"), TypeError),
        (lambda: talvane.Report.from_definition(5, connection), TypeError),
        (lambda: report.formulas.add("Orders.Amount > 1", grouping="xor"), ValueError),
        (lambda: report.formulas.add("Orders.Amount > 1", grouping=5), TypeError),
        (lambda: report.formulas.add(None), TypeError),
        (lambda: report.fields.add("Orders.Amount", order_pos="first"), TypeError),
        (lambda: report.formulas[0], IndexError),
        (lambda: report.run(limit=-1), ValueError),
    ]:
        with pytest.raises(kind):
            call()
    with pytest.raises(talvane.Error):
        talvane.connect("Data Source=/nonexistent/sample.db")
