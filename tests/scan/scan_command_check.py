#!/usr/bin/python3
"""`talvane scan` as a CI system runs it: exit codes, the JSON output, and the JUnit XML checked against the
rules of the JUnit schema CI readers use (the strict Ant/Jenkins one, written out here).

    scan_command_check.py TALVANE SAMPLE_DB EXAMPLES_DIR
"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

DATE_TIME = re.compile(r"^\d{4}-\d{2}-\d{2}T\d{2}:\d{2}:\d{2}$")  # xs:dateTime, no zone
DECIMAL = re.compile(r"^\d+(\.\d+)?$")
TOKEN = re.compile(r"^\S(.*\S)?$")


def scan(talvane, database, *args):
    done = subprocess.run([talvane, "scan", *args, "--connection", f"Data Source={database}"],
                          capture_output=True, text=True)
    return done.returncode, done.stdout, done.stderr


def expect(condition, what):
    if not condition:
        raise AssertionError(what)


def check_attributes(element, required, optional=()):
    names = set(element.attrib)
    expect(set(required) <= names, f"<{element.tag}> lacks {set(required) - names}")
    expect(names <= set(required) | set(optional), f"<{element.tag}> has unknown {names - set(required) - set(optional)}")


def check_junit(text, reports):
    """The schema's rules: element order and cardinality, required attributes and their types."""
    root = ElementTree.fromstring(text)
    expect(root.tag == "testsuites" and not root.attrib, "the root is <testsuites> without attributes")
    suites = list(root)
    expect(suites and all(s.tag == "testsuite" for s in suites), "<testsuites> holds only <testsuite>")
    for suite in suites:
        check_attributes(suite, ["name", "package", "id", "tests", "failures", "errors", "time", "timestamp",
                                 "hostname"])
        expect(DATE_TIME.match(suite.get("timestamp")), "timestamp is an xs:dateTime without a zone")
        expect(DECIMAL.match(suite.get("time")), "time is a decimal")
        expect(TOKEN.match(suite.get("hostname")) and TOKEN.match(suite.get("name")), "name and hostname are tokens")
        expect(suite.get("id").isdigit(), "id is an int")
        tags = [child.tag for child in suite]
        expect(re.fullmatch(r"properties(testcase)*system-outsystem-err", "".join(tags)),
               f"<testsuite> children in the schema's order, not {tags}")
        cases = suite.findall("testcase")
        failures = errors = 0
        for case in cases:
            check_attributes(case, ["name", "classname", "time"])
            expect(DECIMAL.match(case.get("time")), "a test case's time is a decimal")
            outcome = list(case)
            expect(len(outcome) <= 1 and all(o.tag in ("failure", "error") for o in outcome),
                   "a test case holds at most one failure or error")
            for o in outcome:
                check_attributes(o, ["type"], ["message"])
                failures += o.tag == "failure"
                errors += o.tag == "error"
        expect(int(suite.get("tests")) == len(cases), "tests counts the test cases")
        expect(int(suite.get("failures")) == failures and int(suite.get("errors")) == errors,
               "failures and errors count their elements")
    by_name = {case.get("name"): case for case in root.iter("testcase")}
    for report in reports:
        case = by_name[report["path"]]
        kind = {"clean": [], "exceptions": ["failure"], "error": ["error"]}[report["status"]]
        expect([o.tag for o in case] == kind, f"{report['path']} is a {kind or 'pass'}")
        if report["status"] == "exceptions":
            expect(case.find("failure").get("message").startswith(f"{report['rows']} exception"),
                   "a failure names the count of exceptions")


def main(talvane, database, examples):
    reports_dir = os.path.join(examples, "reports")
    scratch = tempfile.mkdtemp()
    try:
        # Exit codes: 2 with a failing report, 1 with exceptions only, 0 when all is clean.
        status, out, _ = scan(talvane, database, reports_dir, "--format", "json")
        expect(status == 2, f"exit code 2 with mistakes.json, not {status}")
        reports = json.loads(out)["reports"]
        expect([r["path"] for r in reports] == sorted(r["path"] for r in reports), "reports in path order")
        mistakes = next(r for r in reports if r["path"].endswith("mistakes.json"))
        expect(mistakes["status"] == "error" and mistakes["error"]["number"] == -2147221501 and
               mistakes["error"]["position"] is not None, "mistakes.json fails at its first formula")
        expect(all(r["new"] is None for r in reports), "no new without a history")
        for report in reports:
            if report["status"] != "error":
                rows = subprocess.run([talvane, "run", report["path"], "--connection", f"Data Source={database}",
                                       "--format", "json"], capture_output=True, text=True).stdout
                expect(len(json.loads(rows)) == report["rows"], f"{report['path']}: the rows of run")
        good = [r["path"] for r in reports if r["status"] == "exceptions"]
        expect(scan(talvane, database, *good)[0] == 1, "exit code 1 with exceptions only")
        clean = os.path.join(scratch, "clean.json")
        with open(clean, "w") as f:
            json.dump({"mainTable": "Orders", "mainField": "OrderID", "fields": [{"field": "Orders.OrderID"}],
                       "formulas": [{"text": "Orders.Amount < 0"}]}, f)
        expect(scan(talvane, database, clean)[0] == 0, "exit code 0 when clean")

        # JUnit, with names that need escaping.
        odd = os.path.join(scratch, "odd", 'a&b <"c">.json')
        os.makedirs(os.path.dirname(odd))
        shutil.copy(os.path.join(reports_dir, "large_orders.json"), odd)
        output = os.path.join(scratch, "junit.xml")
        status, _, _ = scan(talvane, database, reports_dir, os.path.dirname(odd), clean, "--format", "junit",
                            "--output", output)
        expect(status == 2, "the JUnit output keeps the exit code")
        _, out, _ = scan(talvane, database, reports_dir, os.path.dirname(odd), clean, "--format", "json")
        with open(output, encoding="utf-8") as f:
            check_junit(f.read(), json.loads(out)["reports"])
    finally:
        shutil.rmtree(scratch)


if __name__ == "__main__":
    try:
        main(*sys.argv[1:4])
    except AssertionError as failure:
        print(f"scan_command_check: {failure}", file=sys.stderr)
        sys.exit(1)
