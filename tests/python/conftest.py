import os
import pathlib
import subprocess

import pytest

import talvane

SOURCE_DIR = pathlib.Path(os.environ.get("TALVANE_SOURCE_DIR", pathlib.Path(__file__).parents[2]))
EXAMPLES = sorted((SOURCE_DIR / "examples" / "reports").glob("*.json"))
# mistakes.json is the example of a definition that does not build.
GOOD_EXAMPLES = [path for path in EXAMPLES if path.stem != "mistakes"]
DIALECTS = ["sqlserver", "access"]


@pytest.fixture
def sample_db():
    return os.environ["TALVANE_SAMPLE_DB"]


@pytest.fixture
def connect(sample_db):
    opened = []

    def open_sample(dialect="sqlite"):
        connection = talvane.connect(f"Data Source={sample_db}", dialect=dialect)
        opened.append(connection)
        return connection

    yield open_sample
    for connection in opened:
        connection.close()


def cli(*arguments):
    """The command line's standard output, which must succeed. A sanitizer runtime preloaded into the
    interpreter is not handed on: the program carries its own."""
    environment = {key: value for key, value in os.environ.items() if key != "LD_PRELOAD"}
    return subprocess.run([os.environ["TALVANE_CLI"], *arguments], check=True, capture_output=True,
                          env=environment).stdout.decode()


def build(connection):
    """A report on Orders with one field and one rule, as several tests need one."""
    report = talvane.Report(connection)
    report.main_table, report.main_field = "Orders", "OrderID"
    report.fields.add("Orders.Amount")
    report.formulas.add("Orders.Amount > 100")
    return report
