#!/usr/bin/env python3
"""Times whole automatic runs: "Kestrom.exe a" under Wine against the local
quotes web server (the whole sample market), a few times, and splits each
run into

  start    program start until the list page is asked for (Wine's start,
           the windows, the one-second download timer)
  download list page asked for until the last put page is asked for
  closing  last put page asked for until the process has ended (the last
           page, the quote file put in place, the completion report and the
           six-second countdown)

The fetches themselves are timed apart, by fetching the same pages in the
same order with a plain HTTP client, one connection each as the program
does. "download - fetches" is the download phase minus the fetches inside
it (every page but the last put page): the program's own work between its
requests (scanning, writing, the memo). "outside" is the whole run minus
every fetch and minus the six-second countdown.

  tools/bench_run.py --exe build/win32/Kestrom.exe [--runs 3]

Uses its own Wine prefix when KESTROM_WINEPREFIX is set; starts a virtual
display when there is none.
"""

import argparse
import http.client
import os
import shutil
import statistics
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tests" / "e2e"))

import kestrom_e2e  # noqa: E402
from test_download import MARKET, QuotesServer, run_requests  # noqa: E402

COUNTDOWN_S = 6.0


def time_fetches(port, targets, repeats=3):
    """Seconds to fetch each page, in the order given: the median of a few
    rounds."""
    rounds = []
    for _ in range(repeats):
        times = []
        for target in targets:
            started = time.perf_counter()
            connection = http.client.HTTPConnection("127.0.0.1", port, timeout=60)
            connection.request("GET", target, headers={"User-Agent": "Quillo Function: Download"})
            connection.getresponse().read()
            connection.close()
            times.append(time.perf_counter() - started)
        rounds.append(times)
    return [statistics.median(page) for page in zip(*rounds)]


def wine_kind():
    """Which Wine runs the 32-bit program here, as tools/wine_env.sh chose."""
    script = 'source "%s" >/dev/null && echo "$KESTROM_WINE_KIND"' % (ROOT / "tools" / "wine_env.sh")
    return subprocess.run(["bash", "-c", script], stdout=subprocess.PIPE, text=True, timeout=60).stdout.strip()


def one_run(exe, work, registry):
    shutil.rmtree(work, ignore_errors=True)
    data = work / "data"
    data.mkdir(parents=True)
    server = QuotesServer(work / "server", time_limit=900)
    try:
        registry.delete_key(kestrom_e2e.SETTINGS_KEY)
        registry.set(kestrom_e2e.DEFAULTS_KEY, "Quotes Host", server.host)
        registry.set(kestrom_e2e.DEFAULTS_KEY, "Update Host", "127.0.0.1:%d" % kestrom_e2e.closed_port())
        registry.set(kestrom_e2e.DEFAULTS_KEY, "Data Path", kestrom_e2e.windows_path(data) + "\\")
        targets = run_requests(MARKET.underlyings)
        with open(work / "kestrom.log", "wb") as log:
            started = time.monotonic()
            code = subprocess.run([str(kestrom_e2e.WINE_RUN), str(exe), "a"], stdin=subprocess.DEVNULL,
                                  stdout=log, stderr=subprocess.STDOUT, timeout=900).returncode
            ended = time.monotonic()
        time.sleep(0.1)
        if server.targets() != targets:
            raise RuntimeError("the run asked for other pages than expected")
        first, last = server.arrivals[0], server.arrivals[len(targets) - 1]
        fetches = time_fetches(server.port, targets)
        lines = sum(len(p.read_bytes().splitlines()) for p in data.glob("*.csv"))
        return {"exit": code, "total": ended - started, "start": first - started, "download": last - first,
                "closing": ended - last, "fetches": sum(fetches), "lines": lines,
                "own work": last - first - sum(fetches[:-1])}
    finally:
        server.stop()


def main():
    if not os.environ.get("DISPLAY"):
        os.execv(str(kestrom_e2e.WITH_DISPLAY), [str(kestrom_e2e.WITH_DISPLAY), sys.executable, *sys.argv])
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--exe", required=True, type=Path)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--work", type=Path, default=ROOT / "build" / "bench_run")
    options = parser.parse_args()
    exe = options.exe.resolve()
    registry = kestrom_e2e.Registry(options.work)
    print("%d underlyings, %d pages per run, %s" % (
        len(MARKET.underlyings), len(run_requests(MARKET.underlyings)), wine_kind()))
    print("run  exit  lines   total  start  download  closing  fetches  download - fetches  outside")
    results = []
    for number in range(1, options.runs + 1):
        r = one_run(exe, options.work / ("run%d" % number), registry)
        r["outside"] = r["total"] - r["fetches"] - COUNTDOWN_S
        results.append(r)
        print("%3d  %4d  %5d  %6.2f  %5.2f  %8.2f  %7.2f  %7.2f  %17.2f  %7.2f" % (
            number, r["exit"], r["lines"], r["total"], r["start"], r["download"], r["closing"], r["fetches"],
            r["own work"], r["outside"]))
    keys = ("total", "start", "download", "closing", "fetches", "own work", "outside")
    print("median          " + "  ".join("%s %.2f s" % (k, statistics.median(r[k] for r in results)) for k in keys))
    return 0 if all(r["exit"] == 0 for r in results) else 1


if __name__ == "__main__":
    sys.exit(main())
