import pytest

import talvane
from conftest import DIALECTS, build


@pytest.mark.parametrize("dialect", ["sqlite", *DIALECTS])
def test_a_closed_connection_refuses_sql_run_validate_and_check_with_one_error(connect, dialect):
    connection = connect(dialect)
    report = build(connection)
    assert report.run(limit=1)
    connection.close()
    raised = set()
    for use in (lambda: report.sql, report.run, report.validate, report.check):
        with pytest.raises(talvane.Error) as error:
            use()
        raised.add((error.value.number, error.value.source, error.value.description))
    assert len(raised) == 1
