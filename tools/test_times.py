"""Prints the time of each tier of `make test` and the ten slowest tests of
each, from what tools/run_tests.sh kept in the folder given."""

import re
import sys
from pathlib import Path

# ctest's line for a finished test: "12/20 Test #12: e2e.test_about ....   Passed  190.62 sec"
CTEST_LINE = re.compile(r"Test +#\d+: (\S+) \.*\**\s*(.*?)\s+([\d.]+) sec$")


def slowest(log, count=10):
    tests = []
    for line in log.read_text(errors="replace").splitlines():
        match = CTEST_LINE.search(line.strip())
        if match:
            tests.append((float(match.group(3)), match.group(1), match.group(2)))
    return sorted(tests, reverse=True)[:count]


def main(folder):
    folder = Path(folder)
    tiers = folder / "tiers"
    if not tiers.exists():
        return
    print("\n== Test times")
    for line in tiers.read_text().splitlines():
        name, seconds, status = line.split()
        seconds = int(seconds)
        print("%-20s %4d:%02d%s" % (name, seconds // 60, seconds % 60, "" if status == "0" else "  (failed)"))
        for took, test, outcome in slowest(folder / (name + ".log")):
            print("    %8.1f s  %s%s" % (took, test, "" if outcome == "Passed" else "  (%s)" % outcome))


if __name__ == "__main__":
    main(sys.argv[1])
