"""The quotes web server's fault modes, end to end: each run completes and
reports, a quote file of the day survives a run that got nothing, and an
automatic run ends within a bounded time with an exit code that tells the
task scheduler it missed quotes. The scenarios' machinery is that of
test_download. How long each run took is written down (durations.txt in
the artifacts) but not judged: a bound only catches a run that hangs, and
speed lives in tools/bench_run.py."""

import subprocess
import sys
import time

import kestrom_e2e
from kestrom_e2e import closed_port, windows_path
from test_download import (COMPLETE, DONE, EARLIER_FILE, FAILED, LIST_REQUEST, MARKET, MISSING_DATA, NO_LIST_LINE,
                           NO_UNDERLYINGS, PAGE_PATH, SERVER, SERVER_GONE, USER_AGENT, DownloadTestCase, QuotesServer,
                           expected_file, expected_run_requests, run_log_lines, run_requests)

# Kestroms started at once: each group of cases costs its slowest case once.
RUNS_AT_ONCE = 6

# The exit code of a run whose readable pages were all of a layout it does not read.
SITE_CHANGED = 9
# Where such a run keeps the first of those pages: in the data folder.
UNKNOWN_PAGE = "Kestrom-onbekende-pagina.html"
LAID_ANEW_LINES = [
    "De pagina's van de koersenserver zijn anders opgebouwd dan deze versie van Kestrom kent; er zijn geen koersen "
    "gelezen.",
    "Kijk of er een nieuwe versie is (Instellingen, Update nu) of meld het aan de maker (Informatie).",
]


def served_page(query, fault):
    """The body the quotes server sends for query with a fault that lays the page out otherwise."""
    return subprocess.run([sys.executable, str(SERVER), "page", query, "--fault", fault], stdin=subprocess.DEVNULL,
                          stdout=subprocess.PIPE, check=True, timeout=120).stdout


class FaultModeTest(DownloadTestCase):
    def test_fault_modes_end_the_run_with_an_exit_code_and_keep_the_earlier_file(self):
        # The cases run in groups, each case against its own server: the
        # cases that wait for the program's time-outs then cost their time
        # once per group, and a 2-core machine that runs 32-bit code only
        # under an emulator is not swamped with a dozen Kestroms at once.
        u = MARKET.underlyings
        cases = [
            # name, faults, exit code, what the file holds
            ("connection refused", [], NO_UNDERLYINGS, "earlier"),
            ("host not found", [], NO_UNDERLYINGS, "earlier"),
            ("short", ["short"], NO_UNDERLYINGS, "earlier"),
            ("404", ["404"], NO_UNDERLYINGS, "earlier"),
            ("500", ["500"], NO_UNDERLYINGS, "earlier"),
            ("silent list", ["silent@list"], NO_UNDERLYINGS, "earlier"),
            ("garbage", ["garbage"], NO_UNDERLYINGS, "earlier"),
            ("log-in page", ["login"], NO_UNDERLYINGS, "earlier"),
            ("503 pages", ["503"], NO_UNDERLYINGS, "earlier"),
            ("empty list", ["empty-list@list"], MISSING_DATA, "earlier"),
            ("error pages", ["short@call:" + u[3].code, "404@put:" + u[4].code, "500@call:" + u[5].code,
                             "login@call:" + u[10].code, "503@put:" + u[11].code],
             MISSING_DATA, "expected"),
            ("silent page", ["silent@put:" + u[8].code], MISSING_DATA, "expected"),
            ("dripping page", ["drip@call:" + u[9].code], MISSING_DATA, "expected"),
            ("endless page", ["endless@put:" + u[6].code], MISSING_DATA, "expected"),
            ("huge page", ["huge@call:" + u[7].code], MISSING_DATA, "expected"),
            ("slow", ["slow"], COMPLETE, "expected"),
            # A slow line: the page's body takes about 40 s, bytes all the
            # time; it comes whole.
            ("crawling page", ["crawl@put:" + u[12].code], COMPLETE, "expected"),
            # Pages of a changed layout give nothing; the first is kept.
            ("markers in the wrong order", ["wrong-order@call:" + u[2].code], MISSING_DATA, "expected"),
            ("site laid out anew", ["new-layout"], SITE_CHANGED, "earlier"),
        ]
        kept = {"markers in the wrong order": served_page("call=" + u[2].code, "wrong-order"),
                "site laid out anew": served_page("call=" + MARKET.list_code, "new-layout")}
        hosts = {"connection refused": "127.0.0.1:%d" % closed_port(), "host not found": "kestrom-quotes.invalid"}
        runs = []
        for group in range(0, len(cases), RUNS_AT_ONCE):
            started = []
            for name, faults, _, _ in cases[group:group + RUNS_AT_ONCE]:
                started.append(self.start_automatic(name.replace(" ", "_"), faults, earlier=True,
                                                    host=hosts.get(name),
                                                    server_options=("--slow-chunk", "262144", "--slow-pause", "0.05")))
            self.finish(started, kestrom_e2e.HANG_BOUND)
            runs += started
        with open(self.case_folder / "durations.txt", "w") as durations:
            for (name, *_), run in zip(cases, runs):
                took = "still running" if run.ended is None else "%.1f s" % (run.ended - run.started)
                durations.write("%s: exit code %s after %s\n" % (name, run.exit_code, took))

        for (name, faults, exit_code, holds), run in zip(cases, runs):
            with self.subTest(name):
                self.assertIsNotNone(run.exit_code, "still running after %.0f s" % (time.monotonic() - run.started))
                self.assertEqual(run.exit_code, exit_code)
                if name in hosts:
                    self.assertEqual(run.server.targets(), [], "the server was not asked")
                    self.assertEqual(run.extra["earlier"].read_bytes(), EARLIER_FILE)
                    continue
                targets = run.server.targets()
                self.assertEqual(targets[0], LIST_REQUEST)
                if name in kept:
                    self.assertEqual((run.data / UNKNOWN_PAGE).read_bytes(), kept[name])
                else:
                    self.assertFalse((run.data / UNKNOWN_PAGE).exists())
                self.assertEqual({agent for _, agent in run.server.requests()}, {USER_AGENT})
                if exit_code == NO_UNDERLYINGS:
                    self.assertEqual(targets, [LIST_REQUEST], "nothing is fetched after a list page without data")
                if holds == "earlier":
                    self.assertEqual(run.extra["earlier"].read_bytes(), EARLIER_FILE)
                    self.assertEqual(self.quote_files(run.data), [run.extra["earlier"].name])
                if exit_code == SITE_CHANGED:
                    # The list still comes from the changed list page.
                    self.assertEqual(targets, run_requests(u))
                    self.assertRegex(run_log_lines(run.data)[-1], r"; pagina's van de koersenserver anders opgebouwd "
                                     r"dan deze versie kent, geen koersen gelezen; pagina bewaard in .*\\%s; "
                                     r"exitcode 9 pagina's anders opgebouwd dan deze versie kent; \d+ s$" % UNKNOWN_PAGE)
                elif holds != "earlier":
                    # Pages that time out are asked for again at the end. An
                    # endless page runs into the size limit long before its
                    # five minutes, and is not.
                    self.assertEqual(targets, expected_run_requests(faults))
                    self.assertEqual(self.the_quote_file(run.data).read_bytes(), expected_file(faults=faults))

    def test_a_server_that_trickles_its_head_or_its_body_ends_the_run(self):
        # A byte a second: each page runs into its time, and after three in
        # a row the run stops asking. Such a run ends within five minutes,
        # whatever the machine: it waits for its page deadlines, not for work.
        cases = ["trickle-head@pages", "trickle-body@pages"]
        runs = [self.start_automatic(fault.partition("@")[0], [fault], earlier=True) for fault in cases]
        self.finish(runs, kestrom_e2e.HANG_BOUND)
        for fault, run in zip(cases, runs):
            with self.subTest(fault):
                self.assertIsNotNone(run.exit_code, "still running after %d s" % kestrom_e2e.HANG_BOUND)
                self.assertLess(run.ended - run.started, 300)
                self.assertEqual(run.exit_code, SERVER_GONE)
                self.assertEqual(run.server.targets(), expected_run_requests([fault]))
                self.assertEqual(len(run.server.targets()), 4)
                self.assertEqual(self.quote_files(run.data), [run.extra["earlier"].name])
                self.assertEqual(run.extra["earlier"].read_bytes(), EARLIER_FILE)

    def test_fault_modes_report_in_the_memo(self):
        # One program run; before each case a new server with that case's
        # faults takes over the same port. The cases without a list come
        # first: once a list was read, later runs fall back on it.
        port = closed_port()
        data = self.data_folder("faults")
        self.configure("127.0.0.1:%d" % port, data)
        process, window, memo, status = self.open_main()
        u = MARKET.underlyings
        partial_faults = ["short@call:" + u[3].code, "404@put:" + u[4].code, "500@call:" + u[5].code,
                          "login@call:" + u[10].code, "503@put:" + u[11].code]
        cases = [
            # name, faults, underlyings without data (None: no list; "laid
            # anew": every page of a changed layout)
            ("500", ["500"], None),
            ("garbage", ["garbage"], None),
            ("log-in page", ["login"], None),
            ("empty list", ["empty-list@list"], "all"),
            ("some pages fail", partial_faults, [u[i].name for i in (3, 4, 5, 10, 11)]),
            ("site laid out anew", ["new-layout"], "laid anew"),
        ]
        for name, faults, without_data in cases:
            with self.subTest(name):
                earlier = self.write_earlier_file(data)
                server = QuotesServer(self.case_folder / name.replace(" ", "_"), faults, port=port)
                try:
                    ended = self.press_download(window, status)
                    lines = self.memo_lines(memo)
                    targets = server.targets()
                finally:
                    server.stop()
                if without_data is None:
                    self.assertEqual(ended, FAILED)
                    self.assertEqual(lines, [NO_LIST_LINE])
                    self.assertEqual(targets, [LIST_REQUEST])
                    self.assertEqual(earlier.read_bytes(), EARLIER_FILE)
                    continue
                self.assertEqual(ended, DONE)
                if without_data == "laid anew":
                    # Said once instead of a line per underlying.
                    kept = windows_path(data) + "\\" + UNKNOWN_PAGE
                    self.assertEqual(lines, LAID_ANEW_LINES + [
                        "Een pagina die anders is opgebouwd, is bewaard in: " + kept,
                        "Stuur dat bestand als bijlage mee in een e-mail aan de maker; de mail van Informatie kan het "
                        "niet bijvoegen.",
                        "Er zijn geen koersen ontvangen; er is niets geschreven"])
                    self.assertEqual((data / UNKNOWN_PAGE).read_bytes(),
                                     served_page("call=" + MARKET.list_code, "new-layout"))
                    self.assertEqual(earlier.read_bytes(), EARLIER_FILE, "a page laid anew touches no quote file")
                elif without_data == "all":
                    # The one entry is made of the page's markup, its name
                    # of a line end: only the count and what was written
                    # are predictable.
                    self.assertIn("De optiekoersen van 0 fondsen zijn gedownload", lines)
                    self.assertIn("Er zijn geen koersen ontvangen; er is niets geschreven", lines)
                    self.assertEqual(earlier.read_bytes(), EARLIER_FILE, "a run that got nothing keeps the file")
                else:
                    # Only what really came counts as downloaded.
                    expected = self.completion_lines(len(u) - len(without_data), earlier.name, without_data)
                    self.assertEqual(lines[-len(expected):], expected)
                    self.assertEqual(lines[:len(u)], [
                        ("Niet alle koersen van %s ontvangen" if x.name in without_data else "Gegevens van %s gedownload")
                        % x.name for x in u])
                    self.assertEqual(earlier.read_bytes(), expected_file(faults=faults))
        self.screenshot("after_fault_runs", window)
        self.assertTrue(process.running())
        self.driver.click(window, "Sluit af")
        self.assertEqual(process.exit_code(), 0)


if __name__ == "__main__":
    kestrom_e2e.main()
