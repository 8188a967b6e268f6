import os
import re
import subprocess

import pytest

import talvane
from conftest import SOURCE_DIR

INCOMPLETE = {"mainTable": "Orders", "mainField": "OrderID", "fields": [{"field": "Orders.Amount"}],
              "formulas": [{"text": "Orders.Amount >"}]}


def cli_check(path, sample_db):
    """What `talvane check` prints, as (label, text, caret offset or None, message) for each failure or warning."""
    environment = {key: value for key, value in os.environ.items() if key != "LD_PRELOAD"}
    out = subprocess.run([os.environ["TALVANE_CLI"], "check", str(path), "-c", f"Data Source={sample_db}"],
                         capture_output=True, env=environment).stdout.decode()
    found = []
    for block in out.split("\n\n"):
        lines = block.splitlines()
        head = re.match(r"(\w+(?: \d+)?): (.*?)(?:  \(\w+ \".*\"\))?$", lines[0]) if lines else None
        if not head or len(lines) < 2:
            continue
        caret = lines[1].index("^") - len(head.group(1)) - 2 if lines[1].strip() == "^" else None
        message = re.sub(r"^  (error \S+ \(.*?\): |warning: )?", "", lines[-1])
        found.append((head.group(1), head.group(2), caret, message))
    return found


def as_printed(finding):
    index = finding.formula if finding.formula is not None else finding.field
    label = finding.subject.replace("_", " ") + ("" if index is None else f" {index + 1}")
    return (label, finding.text, finding.position, finding.description)


def test_from_definition_refuses_what_the_command_line_refuses_with_the_same_failures(connect, sample_db):
    mistakes = SOURCE_DIR / "examples" / "reports" / "mistakes.json"
    with pytest.raises(talvane.DefinitionError) as raised:
        talvane.Report.from_definition(mistakes, connect())
    failures = raised.value.failures
    assert [as_printed(f) for f in failures] == cli_check(mistakes, sample_db)
    assert [f.item for f in failures] == ["2023", "Orders.Amout", "1_000", None]
    assert failures[0].number == raised.value.number and failures[0].setting is None
    assert (failures[3].setting, failures[3].setting_value, failures[3].field) == ("aggregate", "MEDIAN", 1)

    with pytest.raises(talvane.DefinitionError, match="formulas\\[0\\]: the formula is not complete"):
        talvane.Report.from_definition(INCOMPLETE, connect("sqlserver"))


@pytest.mark.parametrize("dialect", ["sqlite", "sqlserver"])
def test_check_gives_the_failures_and_warnings_of_the_command_line(connect, sample_db, tmp_path, dialect):
    report = talvane.Report(connect(dialect))
    report.main_table, report.main_field = "Orders", "OrderID"
    report.fields.add("Orders.Amount", aggregate="SUM")
    report.formulas.add("100 < Orders.Amount")
    report.formulas.add("Orders.Freight BETWEEN 9 AND 2", name="Odd", grouping="or")
    result = report.check()
    assert result.ok and len(result.warnings) >= 3 and not result.failures
    report.to_definition(tmp_path / "warned.json")
    assert [as_printed(w) for w in result.warnings] == cli_check(tmp_path / "warned.json", sample_db)

    report.formulas.add("Orders.Amount <")
    report.formulas.add("Orders.Nowhere = 1")
    result = report.check()
    assert [(f.subject, f.formula, f.position, f.item) for f in result.failures] == [
        ("formula", 2, len("Orders.Amount <"), None), ("formula", 3, 0, "Orders.Nowhere")]
    report.to_definition(tmp_path / "failed.json")
    assert [as_printed(f) for f in result.failures + result.warnings] == cli_check(tmp_path / "failed.json",
                                                                                    sample_db)
    assert str(result.failures[0]).startswith("formulas[2]: the formula is not complete")
