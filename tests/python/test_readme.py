import re
import sqlite3

from conftest import SOURCE_DIR


def test_the_readme_example_runs(sample_db, capsys):
    readme = (SOURCE_DIR / "README.md").read_text()
    section = readme[readme.index("## Using it from Python"):]
    example = re.search(r"```python\n(.*?)```", section, re.S).group(1)
    assert len([line for line in example.splitlines() if line.strip()]) == 11
    namespace = {}
    exec(example.replace("build/examples/sample.db", sample_db), namespace)
    report, rows = namespace["report"], namespace["rows"]
    assert capsys.readouterr().out.startswith("SELECT ")
    assert rows.column_names == ("Customer", "Amount") and len(rows) == 5
    assert rows[0][1] >= rows[1][1]
    assert [formula.get("grouping", "and") for formula in namespace["saved"]["formulas"]] == ["and", "or"]
    # The example's rules, written as an analyst would, find the same orders.
    with sqlite3.connect(sample_db) as database:
        described = database.execute("SELECT COUNT(*) FROM Orders WHERE Amount > 3000 OR Status = 'Held'").fetchone()[0]
    assert 0 < len(report.run()) == described < 300
