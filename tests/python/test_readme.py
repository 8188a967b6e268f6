import re

from conftest import SOURCE_DIR


def test_the_readme_example_runs(sample_db, capsys):
    readme = (SOURCE_DIR / "README.md").read_text()
    section = readme[readme.index("## Using it from Python"):]
    example = re.search(r"```python\n(.*?)```", section, re.S).group(1)
    assert len([line for line in example.splitlines() if line.strip()]) == 10
    namespace = {}
    exec(example.replace("build/examples/sample.db", sample_db), namespace)
    report, rows = namespace["report"], namespace["rows"]
    assert capsys.readouterr().out.startswith("SELECT ")
    assert rows.column_names == ("Customer", "Amount") and len(rows) == 5
    assert rows[0][1] >= rows[1][1]
    assert namespace["saved"]["formulas"] == [{"text": "Orders.Amount > 3000", "name": "Big", "grouping": "or"}]
