#!/usr/bin/env python3
"""Checks that every test docs/reliability.md names exists in tests/e2e and
that every row states a result; exits non-zero with the missing ones."""

import re
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent


def main():
    doc = (ROOT / "docs" / "reliability.md").read_text()
    rows = [line for line in doc.splitlines() if line.startswith("| ") and "`" in line]
    problems = []
    for row in rows:
        for file_name, test in re.findall(r"`(test_\w+\.py)::(test_\w+)`", row):
            source = ROOT / "tests" / "e2e" / file_name
            if not source.exists() or not re.search(r"def %s\(" % test, source.read_text()):
                problems.append("%s::%s does not exist" % (file_name, test))
        if not row.rstrip().endswith("| pass |"):
            problems.append("row without a passing result: " + row)
    if not rows:
        problems.append("no scenario rows found")
    for problem in problems:
        print(problem, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
