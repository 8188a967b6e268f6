#!/usr/bin/python3
"""Runs the examples of a Markdown document, so that the document cannot drift from the program.

Fenced blocks are examples when their info string says so:

  formula-example   a formula on its first line, then what it gives, one line per dialect
                    ("sqlserver: ...", "access: ...", "sqlite: ...": the WHERE or HAVING condition of the
                    statement), or the failure "error: 0x... (Source): Message"; an optional line
                    "main: Table.KeyColumn" names the main table (default Orders.OrderID).
  command-example   "$ talvane ..." lines, each followed by its expected output (standard output and
                    standard error together), and "(exit code N)" when it does not exit with 0.
  cpp-host, c-host  a whole host program; the build compiles it (extract), the test runs it with the
                    database as its argument and compares its output with the block that follows it,
                    marked cpp-host-output or c-host-output.

  doc_examples.py check DOC TALVANE DATABASE     formula and command examples
  doc_examples.py extract DOC KIND OUTPUT        writes the one KIND block of DOC to OUTPUT
  doc_examples.py host DOC KIND PROGRAM DATABASE runs PROGRAM and compares with the KIND-output block

Commands run in the source tree with `talvane` taken from the build; build/examples/sample.db stands for
the database given. Carriage returns are dropped from what the program prints (the library ends the
statement's lines with \\r\\n). Exits with 1 and says what differed when an example does not hold.
"""
import json
import os
import re
import subprocess
import sys

DIALECTS = ("sqlserver", "access", "sqlite")
SAMPLE_DB = "build/examples/sample.db"
SOURCE_DIR = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def blocks(path):
    """(info string, line number, text) of every fenced block of the document."""
    found = []
    info, start, indent, body = None, 0, "", []
    with open(path, encoding="utf-8") as doc:
        for number, line in enumerate(doc, 1):
            fence = re.match(r"^(\s*)```(.*)$", line.rstrip("\n"))
            if fence and info is None:
                info, start, indent, body = fence.group(2).strip(), number, fence.group(1), []
            elif fence and fence.group(2).strip() == "":
                found.append((info, start, "".join(body)))
                info = None
            elif info is not None:
                # A block inside a list item is indented with it; its text is not.
                body.append(line[len(indent):] if line.startswith(indent) else line)
    return found


def run(args, stdin=None, shell=False, env=None):
    """Exit code, standard output and standard error; a shell command's two streams come as one."""
    streams = {"stdout": subprocess.PIPE, "stderr": subprocess.STDOUT} if shell else {"capture_output": True}
    done = subprocess.run(args, input=stdin, shell=shell, text=True, env=env, cwd=SOURCE_DIR, **streams)
    return done.returncode, (done.stdout or "").replace("\r", ""), (done.stderr or "").replace("\r", "")


def condition_of(statement):
    """The WHERE or HAVING condition of a statement, on one line."""
    kept, inside = [], False
    for line in statement.splitlines():
        if re.match(r"^(WHERE|HAVING)\s*$", line):
            inside = True
        elif re.match(r"^(GROUP BY|ORDER BY)", line):
            inside = False
        elif inside:
            kept.append(line.strip())
    return " ".join(kept)


def check_formula(talvane, database, text):
    lines = [line for line in text.splitlines() if line.strip()]
    formula, expected, main = lines[0], {}, "Orders.OrderID"
    for line in lines[1:]:
        key, _, value = line.partition(":")
        if key.strip() == "main":
            main = value.strip()
        else:
            expected[key.strip()] = value.strip()
    table, key = main.split(".")
    definition = json.dumps({"mainTable": table, "mainField": key, "fields": [{"field": main}],
                             "formulas": [{"text": formula}]})
    problems = []
    if "error" in expected:
        _, out, _ = run([talvane, "check", "-", "--connection", "Data Source=" + database], definition)
        if "  error " + expected["error"] + "\n" not in out:
            problems.append(f"{formula}: expected error {expected['error']}, check says:\n{out}")
        return problems
    for dialect in DIALECTS:
        code, out, err = run([talvane, "sql", "-", "--connection", "Data Source=" + database, "--dialect", dialect],
                             definition)
        got = condition_of(out) if code == 0 else err.strip()
        if dialect not in expected:
            problems.append(f"{formula}: no expected {dialect} line (it gives: {got})")
        elif got != expected[dialect]:
            problems.append(f"{formula}\n  {dialect} expected: {expected[dialect]}\n  {dialect} got:      {got}")
    return problems


def check_commands(talvane, database, text):
    env = dict(os.environ, PATH=os.path.dirname(talvane) + os.pathsep + os.environ.get("PATH", ""))
    problems = []
    for chunk in re.split(r"^(?=\$ )", text, flags=re.M):
        if not chunk.startswith("$ "):
            continue
        command, _, expected = chunk[2:].partition("\n")
        want_code = 0
        exit_line = re.search(r"^\(exit code (\d+)[^)]*\)\n?\Z", expected, flags=re.M)
        if exit_line:
            want_code, expected = int(exit_line.group(1)), expected[:exit_line.start()]
        code, out, _ = run(command.replace(SAMPLE_DB, database), shell=True, env=env)
        if out.rstrip("\n") != expected.rstrip("\n") or code != want_code:
            problems.append(f"$ {command}\n--- expected (exit {want_code}):\n{expected}--- got (exit {code}):\n{out}")
    return problems


def check(doc, talvane, database):
    problems, count = [], 0
    for info, line, text in blocks(doc):
        checker = {"formula-example": check_formula, "command-example": check_commands}.get(info)
        if checker:
            count += 1
            problems += [f"{doc}:{line}: {p}" for p in checker(talvane, database, text)]
    if count == 0:
        problems.append(f"{doc}: no examples found")
    for problem in problems:
        print(problem, end="\n\n")
    print(f"{doc}: {count} examples, {len(problems)} failures")
    return 1 if problems else 0


def only_block(doc, kind):
    found = [text for info, _, text in blocks(doc) if info == kind]
    if len(found) != 1:
        sys.exit(f"{doc}: {len(found)} blocks marked {kind}, expected one")
    return found[0]


def extract(doc, kind, output):
    text = only_block(doc, kind)
    if not os.path.exists(output) or open(output, encoding="utf-8").read() != text:
        with open(output, "w", encoding="utf-8") as out:
            out.write(text)
    return 0


def host(doc, kind, program, database):
    expected = only_block(doc, kind + "-output")
    code, out, err = run([program, database])
    if code != 0 or out != expected:
        print(f"{doc}: the {kind} program exits with {code}\n--- expected:\n{expected}--- got:\n{out}{err}")
        return 1
    return 0


def main(argv):
    commands = {"check": (check, 3), "extract": (extract, 3), "host": (host, 4)}
    if len(argv) < 2 or argv[1] not in commands or len(argv) - 2 != commands[argv[1]][1]:
        sys.exit(__doc__)
    function, _ = commands[argv[1]]
    return function(*argv[2:])


if __name__ == "__main__":
    sys.exit(main(sys.argv))
