"""Building the 1,000-formula report of the bench mix from Python against the same in C++.

    /usr/bin/python3 bench/python_build_bench.py <build dir> [formulas] [rounds]

The build dir must hold the benchmarks (TALVANE_BUILD_BENCH=ON) and the Python package. The C++ program
talvane_bench_python_build_bench writes the database and the report's definition and times building it; this
script builds the same definition with report.formulas.add and report.fields.add, call by call, and prints both
costs per formula and the Python overhead, each with member calls one by one and within one schema scope.
"""

import json
import pathlib
import statistics
import subprocess
import sys
import tempfile
import time


def build(talvane, connection, definition):
    report = talvane.Report(connection)
    report.main_table, report.main_field = definition["mainTable"], definition["mainField"]
    add_formula, add_field = report.formulas.add, report.fields.add
    for formula in definition["formulas"]:
        add_formula(formula["text"], name=formula.get("name"), grouping=formula.get("grouping", "and"))
    for field in definition["fields"]:
        add_field(field["field"], name=field.get("name"), order_pos=field.get("orderPos"))
    return report


def build_scoped(talvane, connection, definition):
    with talvane.SchemaScope():
        return build(talvane, connection, definition)


def median_per_formula(rounds, count, build_once):
    times = []
    for _ in range(rounds):
        start = time.perf_counter()
        report = build_once()
        times.append((time.perf_counter() - start) * 1e6 / count)
        del report  # taking the report apart is not part of building it, on either side
    return statistics.median(times)


def main():
    build_dir = pathlib.Path(sys.argv[1]).resolve()
    formulas = sys.argv[2] if len(sys.argv) > 2 else "1000"
    rounds = int(sys.argv[3]) if len(sys.argv) > 3 else 15
    sys.path.insert(0, str(build_dir / "python"))
    import talvane

    with tempfile.TemporaryDirectory() as scratch:
        database, definition_file = pathlib.Path(scratch, "bench.db"), pathlib.Path(scratch, "report.json")
        output = subprocess.run([build_dir / "bench" / "talvane_bench_python_build_bench", database, definition_file,
                                 formulas, str(rounds)], check=True, capture_output=True, text=True).stdout
        cpp_separate, cpp_scoped = map(float, output.split()[-2:])
        definition = json.loads(definition_file.read_text())
        connection = talvane.connect(f"Data Source={database}", dialect="access")
        count = len(definition["formulas"])
        python = median_per_formula(rounds, count, lambda: build(talvane, connection, definition))
        python_scoped = median_per_formula(rounds, count, lambda: build_scoped(talvane, connection, definition))
        connection.close()
    print(f"{count} formulas, median of {rounds} builds, microseconds per formula:")
    print(f"  C++, member calls one by one   {cpp_separate:9.2f}")
    print(f"  C++, in one schema scope       {cpp_scoped:9.2f}")
    print(f"  Python, formulas.add           {python:9.2f}")
    print(f"  Python, in talvane.SchemaScope {python_scoped:9.2f}")
    print(f"  Python overhead per formula    {python - cpp_separate:9.2f} ({python / cpp_separate:.2f}x C++), "
          f"in one scope {python_scoped - cpp_scoped:.2f} ({python_scoped / cpp_scoped:.2f}x C++)")


if __name__ == "__main__":
    main()
