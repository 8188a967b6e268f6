"""talvane.scan: the example reports on the sample database, as the report objects run them."""
import sqlite3

import talvane

from conftest import EXAMPLES, GOOD_EXAMPLES


def test_scan_counts_the_rows_report_run_gives_and_keeps_a_failure_to_its_report(connect, sample_db):
    results = talvane.scan([str(path) for path in reversed(EXAMPLES)], f"Data Source={sample_db}", jobs=2)
    assert [r.path for r in results] == sorted(str(path) for path in EXAMPLES)
    by_path = {r.path: r for r in results}
    for path in GOOD_EXAMPLES:
        rows = talvane.Report.from_definition(str(path), connect("sqlite")).run()
        result = by_path[str(path)]
        assert (result.rows, result.status, result.error) == (len(rows), "exceptions", None)
        assert result.sample == [[None if v is None else str(v) for v in row] for row in rows[:20]]
    mistakes = next(r for r in results if r.path.endswith("mistakes.json"))
    assert (mistakes.status, mistakes.error.item, mistakes.error.number & 0xFFFFFFFF) == ("error", "formula 1", 0x80040003)


def test_history_gives_new_and_cleared_after_the_data_changes(tmp_path, sample_db):
    database = tmp_path / "copy.db"
    with sqlite3.connect(sample_db) as source, sqlite3.connect(database) as copy:
        source.backup(copy)
    report = next(path for path in GOOD_EXAMPLES if path.stem == "large_orders")
    history = tmp_path / "history.db"
    first, = talvane.scan(report, talvane.connect(f"Data Source={database}"), history=history)
    assert first.new == first.keys and first.cleared == [] and first.trend == [first.rows]
    gone = first.keys[0]
    with sqlite3.connect(database) as db:
        db.execute("UPDATE Orders SET Amount = 0 WHERE OrderID = ?", (int(gone),))
    second, = talvane.scan(report, f"Data Source={database}", history=history)
    assert (second.new, second.cleared, second.trend) == ([], [gone], [first.rows, first.rows - 1])
