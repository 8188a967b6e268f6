"""Language level 2 against its meaning: generated level-2 definitions run by `talvane run` on a copy of the
sample database with planted anomalies (NULL e-mails, customers without orders, orders without lines, orphan
orders and lines) give the rows that an evaluation of the rules in Python gives over the same data.

The evaluation reads the tables into lists and follows the rules as written for level 2: every row of the main
table, each further table left-joined on the main key; the conditions without an aggregate keep or drop each
joined row, the rows are grouped by the output fields, the aggregate conditions keep or drop each group; a
number that is not there counts as 0 in a comparison and in SUM, AVG, MIN and MAX, COUNT counts the values
that are there, an output field's aggregate leaves missing values out. It never reads a statement.

usage: differential.py TALVANE SAMPLE_DB [DEFINITIONS]
"""

import itertools
import json
import math
import os
import random
import re
import shutil
import sqlite3
import subprocess
import sys
import tempfile

SEED = 20261209

# Columns the rules use, by table: (name, kind) with kind number, text or bool.
SCHEMA = {
    "Regions": [("RegionID", "number"), ("RegionName", "text"), ("Code", "text")],
    "Customers": [("CustomerID", "number"), ("CustomerName", "text"), ("RegionID", "number"),
                  ("Balance", "number"), ("CreditLimit", "number"), ("Rating", "number"), ("Email", "text")],
    "Products": [("ProductID", "number"), ("ProductName", "text"), ("Category", "text"), ("ListPrice", "number"),
                 ("Weight", "number")],
    "Orders": [("OrderID", "number"), ("CustomerID", "number"), ("Amount", "number"), ("Freight", "number"),
               ("Status", "text"), ("Priority", "number")],
    "OrderLines": [("LineID", "number"), ("OrderID", "number"), ("ProductID", "number"), ("Qty", "number"),
                   ("UnitPrice", "number"), ("Discount", "number"), ("Weight", "number")],
}
MAINS = [("Customers", "CustomerID"), ("Orders", "OrderID"), ("Regions", "RegionID"), ("Products", "ProductID"),
         ("OrderLines", "LineID")]
# The foreign keys of the sample schema: (child table, column, parent table, column).
FOREIGN_KEYS = [("Customers", "RegionID", "Regions", "RegionID"), ("Orders", "CustomerID", "Customers", "CustomerID"),
                ("OrderLines", "OrderID", "Orders", "OrderID"), ("OrderLines", "ProductID", "Products", "ProductID")]

ANOMALIES = """
UPDATE Customers SET Email = NULL WHERE CustomerID % 6 = 0;
INSERT INTO Customers (CustomerID, CustomerName, RegionID, Balance, CreditLimit, Since, Active, Rating, Email)
  VALUES (81, 'Customer 081', 2, 10, 1000, '2024-01-01', 1, NULL, NULL),
         (82, 'customer 082', 3, 0, 2000, '2024-01-02', 1, 3, 'c82@example.com'),
         (83, 'Customer 083', 3, 250.5, 3000, '2024-01-03', 0, 2, NULL);
DELETE FROM OrderLines WHERE OrderID % 10 = 0;
INSERT INTO Orders (OrderID, CustomerID, OrderDate, Amount, Freight, Status, Rush, Placed, Priority)
  VALUES (901, 999, '2024-02-01', 120, 5, 'Open', 0, '2024-02-01 10:00:00', 1),
         (902, 998, '2024-02-02', 80.25, 2.5, 'Held', 1, '2024-02-02 11:00:00', 2);
INSERT INTO OrderLines (LineID, OrderID, ProductID, Qty, UnitPrice, Discount, TaxRate, Packed)
  VALUES (9001, 9999, 1, 4, 2.5, 0, 0.2, 1), (9002, 901, 777, 1, 10, 0.1, 0.2, 0);
"""


class Generator:
    def __init__(self, seed, texts):
        self.random = random.Random(seed)
        self.texts = texts  # (table, column) -> values seen in the data

    def further_tables(self, main, key):
        keyed = [t for t in SCHEMA if t != main and any(c == key for c, _ in SCHEMA[t])]
        others = [t for t in SCHEMA if t != main and t not in keyed]
        return keyed + [t for t in others if self.random.randrange(3) == 0]

    def column(self, tables, kind=None):
        table = self.random.choice(tables)
        choices = [c for c in SCHEMA[table] if kind is None or c[1] == kind] or SCHEMA[table]
        name, kind = self.random.choice(choices)
        return table, name, kind

    def number(self):
        return str(self.random.choice([-5, 0, 1, 2, 3, 5, 10, 50, 100, 500, 1000, 2500, 4000]))

    def row_condition(self, tables):
        table, name, kind = self.column(tables)
        ref = f"{table}.{name}"
        if self.random.randrange(6) == 0:
            return f"{ref} {self.random.choice(['IS NULL', 'IS NOT NULL', 'is not null'])}"
        if kind == "text":
            values = self.texts.get((table, name)) or ["x"]
            value = self.random.choice(values)
            pick = self.random.randrange(4)
            if pick == 3:  # a number beside a text is a text
                return f"{ref} {self.random.choice(['=', '<>', '<', '>'])} {self.number()}"
            if pick == 0:
                return f'{ref} = "{value}"'
            if pick == 1:
                return f'{ref} <> "{value.upper()}"'
            return f'{ref} LIKE "{value[:2]}%"'
        pick = self.random.randrange(4)
        negation = self.random.choice(["", "", "NOT "])
        if pick == 0:
            low, high = sorted([int(self.number()), int(self.number())])
            return f"{ref} {negation}BETWEEN {low} AND {high}"
        if pick == 1:
            return f"{ref} {negation}IN({', '.join(self.number() for _ in range(3))})"
        return f"{ref} {self.random.choice(['=', '<>', '<', '>', '<=', '>='])} {self.number()}"

    def aggregate_condition(self, tables):
        function = self.random.choice(["SUM", "COUNT", "COUNT", "MAX", "MIN", "AVG"])
        table, name, _ = self.column(tables, "number")
        if function == "COUNT":
            if self.random.randrange(2):
                table, name, _ = self.column(tables)
            return f"COUNT({table}.{name}) {self.random.choice(['=', '<', '>', '>='])} {self.random.choice([0, 1, 2, 3, 5])}"
        return f"{function}({table}.{name}) {self.random.choice(['<', '>', '>=', '<='])} {self.number()}"

    def definition(self):
        main, key = self.random.choice(MAINS)
        further = self.further_tables(main, key)
        tables = [main] + further
        fields = [{"field": f"{main}.{key}", "name": "F0"}]
        for i in range(self.random.randrange(3)):
            table, name, _ = self.column([main])
            fields.append({"field": f"{table}.{name}", "name": f"F{i + 1}"})
        if further and self.random.randrange(3) == 0:
            table, name, kind = self.column(further)
            function = self.random.choice(["SUM", "COUNT", "MAX", "MIN", "AVG"] if kind == "number" else ["COUNT"])
            fields.append({"field": f"{table}.{name}", "name": "Agg", "aggregate": function})
        formulas = []
        aggregates = self.random.randrange(3) if further else 0
        for _ in range(self.random.randrange(3)):
            formulas.append({"text": self.row_condition(tables)})
        for _ in range(aggregates):
            formulas.append({"text": self.aggregate_condition(tables)})
        # OR only between row conditions: level 2 cannot split an OR between WHERE and HAVING.
        if aggregates == 0:
            for formula in formulas[1:]:
                if self.random.randrange(3) == 0:
                    formula["grouping"] = "or"
        self.random.shuffle(formulas) if aggregates else None
        definition = {"mainTable": main, "mainField": key, "languageLevel": 2, "fields": fields,
                      "formulas": formulas}
        if self.random.randrange(4) == 0:
            definition["distinct"] = True
        return definition


# ---- The meaning of a definition, evaluated over the tables ----

class Data:
    def __init__(self, path):
        db = sqlite3.connect(path)
        db.row_factory = sqlite3.Row
        self.rows = {t: [dict(r) for r in db.execute(f"SELECT * FROM [{t}]")] for t in SCHEMA}
        db.close()

    def kind(self, table, column):
        return dict(SCHEMA[table])[column]


REFERENCE = re.compile(r"^(\w+)\.(\w+)$")
COMPARISON = re.compile(r"^(.*?) (=|<>|<=|>=|<|>|NOT BETWEEN|BETWEEN|NOT IN|IN|LIKE|IS NOT NULL|IS NULL) ?(.*)$",
                        re.IGNORECASE)
AGGREGATE = re.compile(r"^(SUM|COUNT|MAX|MIN|AVG)\((\w+)\.(\w+)\)$")


def split_comparison(text):
    left, op, right = COMPARISON.match(text).groups()
    return left, op.upper(), right


def compare(value, op, right, kind):
    """A comparison of one value, SQL's way: a missing text compares as nothing, a missing number as 0."""
    if op in ("IS NULL", "IS NOT NULL"):
        return (value is None) == (op == "IS NULL")
    if op.startswith("NOT "):
        return not compare(value, op[4:], right, kind)
    if kind == "text":
        if value is None:
            return False
        text = right[1:-1] if right.startswith('"') else right
        if op in ("=", "<>", "<", ">"):
            a, b = value.lower(), text.lower()
            return {"=": a == b, "<>": a != b, "<": a < b, ">": a > b}[op]
        if op == "LIKE":
            pattern = "^" + "".join(".*" if c == "%" else "." if c == "_" else re.escape(c) for c in text) + "$"
            return re.match(pattern, value, re.IGNORECASE | re.DOTALL) is not None
        raise ValueError(op)
    number = float(value) if value is not None else 0.0
    if op == "BETWEEN":
        low, high = [float(v) for v in right.split(" AND ")]
        return low <= number <= high
    if op == "IN":
        return number in [float(v) for v in right.strip("()").split(",")]
    r = float(right)
    return {"=": number == r, "<>": number != r, "<": number < r, ">": number > r, "<=": number <= r,
            ">=": number >= r}[op]


def combine(results, groupings):
    """Conditions joined left to right with SQL's precedence: AND before OR."""
    terms = [[]]
    for result, grouping in zip(results, groupings):
        if grouping == "or" and terms[-1]:
            terms.append([])
        terms[-1].append(result)
    return any(all(term) for term in terms)


def aggregate(function, values, kind):
    """An aggregate in a condition: missing numbers count as 0; COUNT counts what is there."""
    if function == "COUNT":
        return sum(1 for v in values if v is not None)
    numbers = [float(v) if v is not None else 0.0 for v in values]
    if function == "SUM":
        return sum(numbers)
    if function == "AVG":
        return sum(numbers) / len(numbers)
    return max(numbers) if function == "MAX" else min(numbers)


def output_aggregate(function, values):
    """An output field's aggregate: missing values are left out, as SQL's aggregates do."""
    present = [v for v in values if v is not None]
    if function == "COUNT":
        return len(present)
    if not present:
        return None
    if function == "SUM":
        return sum(present)
    if function == "AVG":
        return sum(present) / len(present)
    return max(present) if function == "MAX" else min(present)


def join_plan(main, key, further):
    """The tables in the order they are joined, each with the joined table and columns it is matched on: first
    those with the main key column, on it; then each other one along the shortest path of foreign keys from a
    table joined before."""
    plan, joined = [], [main]
    for table in further:
        if any(c == key for c, _ in SCHEMA[table]):
            plan.append((table, (main, key, key)))
            joined.append(table)
    for target in [t for t in further if t not in joined]:
        if target in joined:
            continue
        paths = {t: [] for t in joined}
        frontier = list(joined)
        while target not in paths and frontier:
            step = []
            for at in frontier:
                for child, child_column, parent, parent_column in FOREIGN_KEYS:
                    for here, there, here_column, there_column in ((child, parent, child_column, parent_column),
                                                                   (parent, child, parent_column, child_column)):
                        if here == at and there not in paths:
                            step.append((there, paths[at] + [(there, (at, here_column, there_column))]))
            for there, path in step:
                paths.setdefault(there, path)
            frontier = sorted({there for there, _ in step})
        for table, condition in paths[target]:
            if table not in joined:
                plan.append((table, condition))
                joined.append(table)
    return plan


def meaning(definition, data):
    main, key = definition["mainTable"], definition["mainField"]
    formulas = definition["formulas"]
    used = {main}
    for text in [f["text"] for f in formulas] + [f["field"] for f in definition["fields"]]:
        used.update(re.findall(r"(\w+)\.\w+", text))
    joins = join_plan(main, key, [t for t in SCHEMA if t in used and t != main])
    # Every main row, with each joined table's matching rows in turn, or one missing row when none match.
    joined = [{main: row} for row in data.rows[main]]
    for table, (near_table, near_column, far_column) in joins:
        expanded = []
        for record in joined:
            near = record.get(near_table)
            wanted = None if near is None else near[near_column]
            matches = [r for r in data.rows[table] if wanted is not None and r[far_column] == wanted] or [None]
            expanded.extend({**record, table: match} for match in matches)
        joined = expanded

    def value(record, table, column):
        row = record.get(table)
        return None if row is None else row[column]

    plain = [f for f in formulas if not AGGREGATE.match(split_comparison(f["text"])[0])]
    having = [f for f in formulas if AGGREGATE.match(split_comparison(f["text"])[0])]

    def row_passes(record):
        if not plain:
            return True
        results = []
        for f in plain:
            left, op, right = split_comparison(f["text"])
            table, column = REFERENCE.match(left).groups()
            results.append(compare(value(record, table, column), op, right, data.kind(table, column)))
        return combine(results, [f.get("grouping", "and") for f in plain])

    rows = [r for r in joined if row_passes(r)]
    outputs = definition["fields"]
    plain_fields = [REFERENCE.match(f["field"]).groups() for f in outputs if "aggregate" not in f]
    aggregated = any("aggregate" in f for f in outputs) or bool(having)
    if not aggregated:
        result = [tuple(value(r, *REFERENCE.match(f["field"]).groups()) for f in outputs) for r in rows]
    else:
        groups = {}
        for r in rows:
            groups.setdefault(tuple(value(r, t, c) for t, c in plain_fields), []).append(r)
        result = []
        for group_key, members in groups.items():
            checks = []
            for f in having:
                left, op, right = split_comparison(f["text"])
                function, table, column = AGGREGATE.match(left).groups()
                total = aggregate(function, [value(m, table, column) for m in members], data.kind(table, column))
                checks.append(compare(total, op, right, "number"))
            if checks and not combine(checks, [f.get("grouping", "and") for f in having]):
                continue
            line, plain_values = [], iter(group_key)
            for f in outputs:
                if "aggregate" in f:
                    table, column = REFERENCE.match(f["field"]).groups()
                    line.append(output_aggregate(f["aggregate"], [value(m, table, column) for m in members]))
                else:
                    line.append(next(plain_values))
            result.append(tuple(line))
    if definition.get("distinct"):
        result = list(dict.fromkeys(result))
    return result


def cell(v):
    if isinstance(v, (int, float)) and not isinstance(v, bool):
        return ("n", float(v))
    return ("z", "") if v is None else ("t", str(v))


def same_cell(a, b):
    if a[0] == "n" and b[0] == "n":
        return math.isclose(a[1], b[1], rel_tol=1e-9, abs_tol=1e-9)
    return a == b


def same_rows(got, want):
    """The same rows in any order, numbers equal up to the last bits of a double (sums in another order)."""
    if len(got) != len(want):
        return False
    left, right = [tuple(map(cell, r)) for r in got], [tuple(map(cell, r)) for r in want]
    for row in left:
        match = next((i for i, other in enumerate(right)
                      if len(other) == len(row) and all(same_cell(a, b) for a, b in zip(row, other))), None)
        if match is None:
            return False
        right.pop(match)
    return True


def run(talvane, database, definition, scratch):
    path = os.path.join(scratch, "definition.json")
    with open(path, "w") as f:
        json.dump(definition, f)
    done = subprocess.run([talvane, "run", path, "--connection", f"Data Source={database}", "--format", "json"],
                          capture_output=True, text=True)
    if done.returncode != 0:
        return None, done.stderr
    names = [f.get("name") for f in definition["fields"]]
    rows = json.loads(done.stdout or "[]")
    return [tuple(row[n] for n in names) for row in rows], None


def main():
    talvane, sample = sys.argv[1], sys.argv[2]
    count = int(sys.argv[3]) if len(sys.argv) > 3 else 300
    scratch = tempfile.mkdtemp(prefix="talvane-level2-")
    try:
        database = os.path.join(scratch, "anomalies.db")
        shutil.copyfile(sample, database)
        db = sqlite3.connect(database)
        db.executescript(ANOMALIES)
        db.commit()
        db.close()
        data = Data(database)
        texts = {(t, c): sorted({r[c] for r in data.rows[t] if r[c] is not None})[:6]
                 for t, cols in SCHEMA.items() for c, k in cols if k == "text"}
        generator = Generator(SEED, texts)
        failures, compared, rows_seen = [], 0, 0
        for _ in range(count):
            definition = generator.definition()
            got, error = run(talvane, database, definition, scratch)
            if error is not None:
                failures.append(f"{json.dumps(definition)}\n  talvane run failed: {error.strip()}")
                continue
            want = meaning(definition, data)
            compared += 1
            rows_seen += len(want)
            if not same_rows(got, want):
                failures.append(f"{json.dumps(definition)}\n  talvane: {len(got)} rows, meaning: {len(want)} rows\n"
                                f"  first of talvane: {sorted(map(str, got))[:3]}\n"
                                f"  first of meaning: {sorted(map(str, want))[:3]}")
        print(f"level 2 differential: {count} definitions, {compared} compared, {rows_seen} rows, "
              f"{len(failures)} differences")
        for failure in failures[:5]:
            print(failure)
        return 1 if failures else 0
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
