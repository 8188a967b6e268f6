import csv
import json

import pytest

import talvane
from conftest import DIALECTS, GOOD_EXAMPLES, cli


@pytest.mark.parametrize("dialect", DIALECTS)
@pytest.mark.parametrize("example", GOOD_EXAMPLES, ids=lambda path: path.stem)
def test_examples_give_the_statements_of_the_command_line_and_round_trip(example, dialect, connect, sample_db,
                                                                       tmp_path):
    connection = connect(dialect)
    report = talvane.Report.from_definition(example, connection)
    expected = cli("sql", str(example), "-c", f"Data Source={sample_db}", "-d", dialect, "--crlf")
    assert report.sql == expected

    from_dict = talvane.Report.from_definition(report.to_definition(), connection)
    assert from_dict.sql == expected
    saved = tmp_path / "saved.json"
    report.to_definition(saved)
    assert talvane.Report.from_definition(str(saved), connection).sql == expected


@pytest.mark.parametrize("example", GOOD_EXAMPLES, ids=lambda path: path.stem)
def test_run_gives_the_rows_of_the_command_line(example, connect, sample_db):
    report = talvane.Report.from_definition(example, connect("sqlserver"))
    rows = report.run()
    printed = list(csv.reader(cli("run", str(example), "-c", f"Data Source={sample_db}", "-f", "csv").splitlines()))
    assert list(rows.column_names) == printed[0]
    assert [[("" if value is None else str(value)) for value in row] for row in rows] == printed[1:]
    assert report.run(limit=1) == rows[:1]


def test_a_report_built_in_python_is_written_with_its_settings(connect):
    report = talvane.Report(connect())
    report.main_table, report.main_field = "Orders", "OrderID"
    report.fields.add("Orders.Amount", name="Total", aggregate="SUM", order_pos=1, direction="Descending")
    report.fields.add("Orders.CustomerID")
    report.formulas.add("Orders.Amount > 100", name="Big", grouping="base")
    report.formulas.add("Orders.Rush = TRUE", name="Big", grouping=talvane.Grouping.OR)
    definition = report.to_definition()
    assert definition["fields"][0] == {"field": "Orders.Amount", "name": "Total", "aggregate": "SUM",
                                       "orderPos": 1, "direction": "Descending"}
    assert [f.get("grouping") for f in definition["formulas"]] == ["base", "or"]
    assert json.loads(json.dumps(definition)) == definition
    assert talvane.Report.from_definition(definition, report.connection).sql == report.sql


def test_the_language_level_and_distinct_are_settings_of_the_report(connect):
    report = talvane.Report(connect())
    report.main_table, report.main_field = "Customers", "CustomerID"
    assert (report.language_level, report.distinct) == (1, False)
    with pytest.raises(talvane.Error):
        report.formulas.add("Customers.Email IS NULL")
    report.language_level, report.distinct = 2, True
    report.formulas.add("Customers.Email IS NULL")
    report.fields.add("Customers.CustomerID")
    assert report.sql.startswith("SELECT DISTINCT ")
    assert "WHERE \r\n\t[Customers].[Email] IS NULL" in report.sql
    assert report.to_definition()["languageLevel"] == 2 and report.to_definition()["distinct"] is True
    with pytest.raises(talvane.Error):
        report.language_level = 1
