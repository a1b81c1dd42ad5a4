"""The download, end to end: Kestrom.exe under Wine against the local quotes
web server, started per test on a port of its own, with "Data Path" on a
fresh folder. Quote files are compared byte for byte with the server's
expected file, which is built from the sample market and not from the pages
the program scans. The server's request log shows what the program asked
for, in which order and with which user agent."""

import datetime
import hashlib
import re
import shutil
import subprocess
import sys
import threading
import time
import unittest
from dataclasses import dataclass, field

import kestrom_e2e
from kestrom_e2e import windows_path

SERVER = kestrom_e2e.ROOT / "tools" / "quotes_server" / "quotes_server.py"
sys.path.insert(0, str(SERVER.parent))

from expected import expected_requests  # noqa: E402
from faults import Faults  # noqa: E402
from market import Market  # noqa: E402

CAPTION = "versie 1.00c, Kestrom"
USER_AGENT = "Quillo Function: Download"
PAGE_PATH = "/derivaten/opties/"
LIST_REQUEST = PAGE_PATH + "?call=AEX.AGN/O"
DONE = "Downloaden is klaar"
SUNDAY_QUESTION = "Kestrom - Downloaden?"
FAILED = "Downloaden is mislukt"
NO_LIST_LINE = "De lijst met fondsen kon niet worden opgehaald; er is niets gedownload."
EARLIER_FILE = b"earlier run; its quotes must survive a run that gets nothing\r\n"
MARKET = Market()

# Exit codes of an automatic run.
COMPLETE, MISSING_DATA, NO_UNDERLYINGS, FILE_FAILURE, NOT_IN_PLACE, FOLDER_BUSY, SERVER_GONE = 0, 1, 2, 3, 6, 7, 8

RUN_LOG = "Kestrom.log"
DAY_FILE = re.compile(r"^\d\d-\d\d-\d{4}\.csv$")


def partial_name(day_file):
    """Where a run keeps quotes that have less than the day's file."""
    return day_file.replace(".csv", ".onvolledig.csv")


def beside_name(day_file):
    """Where a run keeps quotes that could not take their name."""
    return day_file.replace(".csv", ".nieuw.csv")


def run_log_lines(folder, starts=False):
    """The lines of the run log in folder, without the lines automatic runs
    write when they start unless starts; [] when there is none."""
    log = folder / RUN_LOG
    if not log.exists():
        return []
    text = log.read_bytes().decode("latin-1")
    assert text.endswith("\r\n"), text
    return [line for line in text[:-2].split("\r\n") if starts or not line.endswith("; automatisch; gestart")]


def run_log_line_pattern(file_part, funds, exit_code, text):
    """A run log line of an automatic run; file_part and funds are regular
    expressions."""
    return re.compile(r"^\d\d-\d\d-\d{4} \d\d:\d\d:\d\d; automatisch; handelsdag \d\d-\d\d-\d{4}; %s; %s; "
                      r"exitcode %d %s; \d+ s$" % (file_part, funds, exit_code, re.escape(text)))


def trading_date(now):
    """The day whose quotes a run at local time now downloads: a new trading
    day begins at 06:00 on Tuesday to Friday; Monday begins at midnight; the
    weekend and the exchange's closing days belong to the trading day
    before."""
    day = now.date()
    if day.weekday() in (1, 2, 3, 4, 5) and now.hour < 6:
        day -= datetime.timedelta(days=1)
    while day.weekday() >= 5 or is_exchange_holiday(day):
        day -= datetime.timedelta(days=1)
    return day


def is_exchange_holiday(day):
    good = good_friday(day.year)
    return ((day.month, day.day) in ((1, 1), (5, 1), (12, 25), (12, 26))
            or day in (good, good + datetime.timedelta(days=3)))


def quote_file_names():
    """The quote file's name now, and also a minute on in case a run
    crosses 06:00 or midnight."""
    now = datetime.datetime.now()
    return {trading_date(t).strftime("%d-%m-%Y") + ".csv" for t in (now, now + datetime.timedelta(minutes=1))}


def good_friday(year):
    """Easter Sunday by the Gregorian computus, less two days."""
    a, b, c = year % 19, year // 100, year % 100
    d, e = divmod(b, 4)
    g = (8 * b + 13) // 25
    h = (19 * a + b - d - g + 15) % 30
    i, k = divmod(c, 4)
    l = (32 + 2 * e + 2 * i - h - k) % 7
    m = (a + 11 * h + 19 * l) // 433
    month = (h + l - 7 * m + 90) // 25
    day = (h + l - 7 * m + 33 * month + 19) % 32
    return datetime.date(year, month, day) - datetime.timedelta(days=2)


def asks_sunday_question(today):
    """Whether a run started today first asks whether to go on: on the
    Sunday after a month's third Friday, unless that is March's third Friday
    and Good Friday."""
    friday = today - datetime.timedelta(days=2)
    good_friday_expiry = friday.month == 3 and friday == good_friday(friday.year)
    return today.weekday() == 6 and 15 <= friday.day <= 21 and not good_friday_expiry


def run_day(now):
    """What a run started at now depends on: its quote file and its question."""
    return trading_date(now), asks_sunday_question(now.date())


# Longer than any test of these scenarios takes, its parallel runs included.
LONGEST_TEST = datetime.timedelta(minutes=10)


def wait_clear_of_day_change(span=LONGEST_TEST):
    """Waits, when a run started within span would see another day, until
    that day has begun: a run that starts before 06:00 and a check after it
    would look for different quote files, and an earlier file of the day
    would belong to the day before."""
    now = datetime.datetime.now()
    if run_day(now) == run_day(now + span):
        return
    step = datetime.timedelta(seconds=10)
    change = now
    while run_day(change) == run_day(now):
        change += step
    time.sleep((change - now).total_seconds() + 5)


def run_requests(underlyings):
    """What a run asks the server for: the list page, then call and put of
    each underlying in list order."""
    requests = [LIST_REQUEST]
    for u in underlyings:
        requests += [PAGE_PATH + "?call=" + u.code, PAGE_PATH + "?put=" + u.code]
    return requests


def expected_run_requests(faults, selection=True):
    """What a run against a server with these faults asks for, when its
    list page gives the list: pages that time out are asked for again after
    the last underlying, and three in a row end the asking."""
    pages = expected_requests(MARKET, selection, Faults(faults))
    return [LIST_REQUEST] + [PAGE_PATH + "?%s=%s" % page for page in pages]


def expected_file(selection=True, faults=()):
    """The quote file the server's expect command predicts, or None when the
    outcome depends on the scanner itself."""
    out = kestrom_e2e.Config.artifacts / "expected.tmp"
    args = [sys.executable, str(SERVER), "expect", "--out", str(out),
            "--selection", "true" if selection else "false"]
    for fault in faults:
        args += ["--fault", fault]
    result = subprocess.run(args, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL, timeout=120)
    if result.returncode == 3:
        return None
    if result.returncode != 0:
        raise RuntimeError("quotes_server.py expect failed with %d" % result.returncode)
    data = out.read_bytes()
    out.unlink()
    return data


class QuotesServer(kestrom_e2e.LocalServer):
    """tools/quotes_server; the time each request line reached its log is
    noted (monotonic clock) as it arrives."""

    script = SERVER

    def __init__(self, folder, faults=(), port=0, time_limit=400, options=()):
        fault_options = [option for fault in faults for option in ("--fault", fault)]
        super().__init__(folder, [*options, *fault_options], port, time_limit)
        self.arrivals = []
        self._stopping = threading.Event()
        self._watcher = threading.Thread(target=self._watch, daemon=True)
        self._watcher.start()

    def _watch(self):
        seen = 0
        while not self._stopping.is_set():
            count = len(self.log_path.read_bytes().splitlines())
            now = time.monotonic()
            self.arrivals += [now] * (count - seen)
            seen = count
            time.sleep(0.02)

    def wait_requests(self, count, timeout):
        deadline = time.monotonic() + timeout
        while len(self.arrivals) < count and time.monotonic() < deadline:
            time.sleep(0.05)
        return len(self.arrivals) >= count

    def stop(self):
        if hasattr(self, "_stopping"):
            self._stopping.set()
            self._watcher.join(5)
        super().stop()


@dataclass
class AutomaticRun:
    """One "Kestrom.exe a" against its own server and data folder."""

    name: str
    server: QuotesServer
    data: object
    process: object = None
    started: float = 0.0
    ended: float = None
    exit_code: int = None
    extra: dict = field(default_factory=dict)


class DownloadTestCase(kestrom_e2e.KestromTestCase):
    def setUp(self):
        wait_clear_of_day_change()
        super().setUp()
        self.case_folder = self.artifacts / self.id().rsplit(".", 1)[-1]
        shutil.rmtree(self.case_folder, ignore_errors=True)
        self.case_folder.mkdir(parents=True)

    def server(self, name, faults=(), **options):
        server = QuotesServer(self.case_folder / name, faults, **options)
        self.addCleanup(server.stop)
        return server

    def data_folder(self, name):
        folder = self.case_folder / name / "data"
        folder.mkdir(parents=True, exist_ok=True)
        return folder

    def configure(self, server_host, data, selection=None):
        values = {"Quotes Host": server_host, "Data Path": windows_path(data) + "\\"}
        if selection is not None:
            values["Selection"] = selection
        self.registry.change({kestrom_e2e.DEFAULTS_KEY: values})

    def quote_files(self, data):
        return sorted(p.name for p in data.iterdir() if p.suffix == ".csv")

    def the_quote_file(self, data):
        files = self.quote_files(data)
        self.assertEqual(len(files), 1, files)
        self.assertIn(files[0], quote_file_names())
        return data / files[0]

    def write_earlier_file(self, data):
        name = sorted(quote_file_names())[0]
        (data / name).write_bytes(EARLIER_FILE)
        return data / name

    # The main window while it is idle: a driver reading a control of a
    # program that is inside a fetch or the closing countdown waits for it.
    def open_main(self, *args):
        process = self.start_kestrom(*args)
        window = process.wait_window(CAPTION)
        memo = self.driver.child(window, cls="Edit")
        status = self.driver.child(window, cls="Static")
        return process, window, memo, status

    def status_text(self, status):
        try:
            return self.driver.text(status)
        except kestrom_e2e.DriverError:
            # Inside a long fetch the program answers no messages.
            return None

    def wait_status(self, status, texts, timeout=180):
        deadline = time.monotonic() + timeout
        while True:
            text = self.status_text(status)
            if text in texts:
                return text
            if time.monotonic() > deadline:
                self.fail("status line %r, waited for %r" % (text, texts))
            time.sleep(0.2)

    def memo_lines(self, memo):
        return self.driver.text(memo).split("\r\n")

    def go_on_past_sunday_question(self, pid, clock=None):
        """On the Sunday after an expiry Friday a run first asks whether to go
        on; the scenarios answer "Ja" for the program with this process id,
        whose clock started at clock (a datetime) when given."""
        if asks_sunday_question((clock or datetime.datetime.now()).date()):
            question = self.driver.wait(SUNDAY_QUESTION, pid=pid)
            self.driver.click(question, "Ja")

    def press_download(self, window, status, timeout=180):
        """Presses "Download" and returns the status text once the run ended."""
        self.driver.click(window, "Download")
        self.go_on_past_sunday_question(window.pid)
        # The press is posted; the run sets its first status text at once.
        deadline = time.monotonic() + 20
        while self.status_text(status) in (DONE, FAILED, ""):
            if time.monotonic() > deadline:
                break
            time.sleep(0.05)
        return self.wait_status(status, (DONE, FAILED), timeout)

    def completion_lines(self, count, file_name, without_data=()):
        """The memo's last lines; count is the number of underlyings whose
        quotes all came, without_data names the others."""
        lines = ["", "De optiekoersen van %d fondsen zijn gedownload" % count, "Ze zijn geschreven in: " + file_name]
        if without_data:
            n = len(without_data)
            names = ", ".join(without_data[:-1]) + " en " + without_data[-1] if n > 1 else without_data[0]
            lines += ["Van %d %s zijn geen of niet alle koersen ontvangen" % (n, "fonds" if n == 1 else "fondsen"),
                      "Het gaat om " + names]
        return lines

    def start_automatic(self, name, faults=(), selection=None, earlier=False, server_options=(), data_path=None,
                        host=None, clock=None):
        """An automatic run against its own server and data folder; data_path,
        when given, turns the folder into the "Data Path" to store and the
        run's extra facts; host, when given, is the "Quotes Host" instead of
        the server's; clock, when given, the moment the program's clock
        starts at."""
        server = self.server(name, faults, options=server_options)
        data = self.data_folder(name)
        run = AutomaticRun(name, server, data)
        if earlier:
            run.extra["earlier"] = self.write_earlier_file(data)
        self.configure(host or server.host, data, selection)
        if data_path:
            path, extra = data_path(data)
            self.registry.set(kestrom_e2e.DEFAULTS_KEY, "Data Path", path)
            run.extra.update(extra)
        run.started = time.monotonic()
        run.process = self.start_kestrom("a", clock=clock)
        # Its settings are read before the main window shows; only then may
        # the next run change them.
        run.process.wait_window(CAPTION)
        self.go_on_past_sunday_question(run.process.pid, clock)
        return run

    def finish(self, runs, timeout):
        """Waits for every run to end; notes the exit code and the time."""
        deadline = time.monotonic() + timeout
        pending = list(runs)
        while pending and time.monotonic() < deadline:
            for run in list(pending):
                code = run.process.popen.poll()
                if code is not None:
                    run.exit_code, run.ended = code, time.monotonic()
                    pending.remove(run)
            time.sleep(0.05)
        for run in pending:
            run.process.kill()


class AutomaticRunTest(DownloadTestCase):
    def test_writes_the_days_quote_file_and_closes_itself(self):
        run = self.start_automatic("all")
        server = run.server
        expected_requests = run_requests(MARKET.underlyings)
        window = self.driver.wait(CAPTION, pid=run.process.pid)
        self.assertTrue(server.wait_requests(len(expected_requests), 240), server.targets())
        last_request = server.arrivals[len(expected_requests) - 1]
        rect = self.driver.geometry(window).rect

        # The closing countdown: the memo's last line goes from "*****" to
        # empty, one star a second, with no messages processed. Only the
        # screen shows it; each distinct picture of the window is kept.
        frames = []
        while run.process.running() and time.monotonic() - last_request < 40:
            shot = self.case_folder / ("countdown_%02d.ppm" % len(frames))
            kestrom_e2e.screenshot(shot, rect)
            digest = hashlib.sha1(shot.read_bytes()).hexdigest()
            if frames and frames[-1][1] == digest:
                shot.unlink()
            else:
                frames.append((shot, digest))
            time.sleep(0.25)
        self.finish([run], kestrom_e2e.HANG_BOUND)
        self.assertEqual(run.exit_code, COMPLETE)

        # Downloaden is klaar comes with the last page; the window closes
        # about six seconds later (the upper bound catches a countdown that
        # hangs, not a slow machine).
        self.assertGreater(run.ended - last_request, 4)
        self.assertLess(run.ended - last_request, 120)
        quote_file = self.the_quote_file(run.data)
        self.assertEqual(quote_file.read_bytes(), expected_file())
        self.assertEqual(server.targets(), expected_requests)
        self.assertEqual({agent for _, agent in server.requests()}, {USER_AGENT})
        # No work file is left; the run log says what happened.
        self.assertEqual(sorted(p.name for p in run.data.iterdir()), [quote_file.name, RUN_LOG])
        started, line = run_log_lines(run.data, starts=True)
        self.assertEqual(started, line[:19] + "; automatisch; gestart")
        self.assertRegex(line, run_log_line_pattern(
            re.escape("%s, %d regels" % (quote_file.name, len(expected_file().splitlines()))),
            "%d fondsen met alle koersen, 0 zonder" % len(MARKET.underlyings), COMPLETE, "compleet"))
        # Whether the countdown shows on the screen is Wine's affair: it
        # brings a window's painting to the screen when the program next
        # looks for messages, and the countdown looks for none. The
        # pictures are kept for whoever wants to look.
        self.assertGreaterEqual(len(frames), 1)

    # A page that breaks off keeps the rows that arrived whole and nothing
    # else, wherever the break falls and however the body was sent: with
    # its length announced, in chunks, or ended by closing the connection
    # (which Wine ends like a complete body). The run must not report the
    # page as complete, and the file it replaced stays as the backup.
    def test_a_page_cut_off_mid_way_counts_as_missing_data(self):
        u = MARKET.underlyings
        everything = set(expected_file().splitlines(keepends=True))
        cases = [
            # name, fault, bytes of the broken row that still arrive
            ("between rows, length announced", "cut@call:" + u[4].code, 0),
            ("inside a tag, length announced", "cut@call:" + u[4].code, 230),
            ("inside a cell, chunked", "cut-chunked@put:" + u[5].code, 400),
            ("inside a tag, ended by closing", "cut-closed@call:" + u[6].code, 300),
        ]
        runs = [self.start_automatic("cut_%d" % i, [fault], earlier=True, server_options=("--cut-into", str(into)))
                for i, (_, fault, into) in enumerate(cases)]
        self.finish(runs, kestrom_e2e.HANG_BOUND)
        for (name, fault, _), run in zip(cases, runs):
            with self.subTest(name):
                self.assertEqual(run.server.targets(), run_requests(MARKET.underlyings))
                quote_file = self.the_quote_file(run.data)
                lines = quote_file.read_bytes().splitlines(keepends=True)
                self.assertEqual([line for line in lines if line not in everything], [], "made-up lines")
                self.assertEqual(quote_file.read_bytes(), expected_file(faults=[fault]))
                self.assertEqual(run.exit_code, MISSING_DATA, "a cut-off page is reported as a complete run")
                backup = quote_file.with_name(quote_file.name + ".bak")
                self.assertEqual(backup.read_bytes(), EARLIER_FILE, "the earlier file of the day is lost")

    # The evening's quotes cannot be fetched later: a page that timed out is
    # asked for once more before the run ends, and its quotes follow the
    # others in the same file.
    def test_a_page_that_timed_out_is_asked_for_again_before_the_run_ends(self):
        u = MARKET.underlyings
        faults = ["silent-once@put:" + u[3].code, "silent-once@call:" + u[7].code]
        run = self.start_automatic("again", faults, earlier=True)
        self.finish([run], kestrom_e2e.HANG_BOUND)
        self.assertEqual(run.exit_code, COMPLETE)
        requests = expected_run_requests(faults)
        self.assertEqual(run.server.targets(), requests)
        self.assertEqual(requests[-3:], [PAGE_PATH + "?put=" + u[3].code, PAGE_PATH + "?call=" + u[7].code,
                                         PAGE_PATH + "?put=" + u[7].code])
        quote_file = self.the_quote_file(run.data)
        self.assertEqual(quote_file.read_bytes(), expected_file(faults=faults))
        self.assertEqual(sorted(quote_file.read_bytes().splitlines()), sorted(expected_file().splitlines()))


    # The day's name keeps the fullest quotes of the day: runs whose option
    # pages all come with an empty table (the site's data feed is out) write
    # nothing; runs cut short after a complete one keep their quotes beside
    # it, the second under a numbered partial name (the first partial file
    # has an underlying the second did not get whole), and the complete file
    # stays.
    def test_runs_cut_short_after_a_complete_one_keep_its_file(self):
        shared = self.data_folder("day")

        def the_day_folder(data):
            return windows_path(shared) + "\\", {}

        u = MARKET.underlyings
        steps = [("complete", [], COMPLETE), ("empty tables", ["empty-table@pages"], MISSING_DATA),
                 ("empty tables again", ["empty-table@pages"], MISSING_DATA),
                 ("cut", ["cut@call:" + u[4].code], MISSING_DATA),
                 ("cut again", ["cut@put:" + u[6].code], MISSING_DATA)]
        for name, faults, exit_code in steps:
            run = self.start_automatic(name.replace(" ", "_"), faults, data_path=the_day_folder)
            self.finish([run], kestrom_e2e.HANG_BOUND)
            self.assertEqual(run.exit_code, exit_code, name)

        [day] = [p for p in shared.iterdir() if DAY_FILE.match(p.name)]
        self.assertIn(day.name, quote_file_names())
        self.assertEqual(day.read_bytes(), expected_file(), "the complete file of the day is lost")
        partial = shared / partial_name(day.name)
        self.assertEqual(partial.read_bytes(), expected_file(faults=steps[-2][1]))
        numbered = partial.with_name(partial.name.replace(".onvolledig.csv", ".onvolledig-2.csv"))
        self.assertEqual(numbered.read_bytes(), expected_file(faults=steps[-1][1]))
        self.assertEqual(sorted(p.name for p in shared.iterdir()),
                         sorted([day.name, partial.name, numbered.name, RUN_LOG]))
        lines = run_log_lines(shared)
        self.assertEqual(len(lines), 5, lines)
        for line in lines[1:3]:
            self.assertRegex(line, run_log_line_pattern("geen koersen, niets geschreven",
                                                        "0 fondsen met alle koersen, %d zonder: .+" % len(u),
                                                        MISSING_DATA, "niet alle koersen ontvangen"))
        for line, file in zip(lines[3:], (partial, numbered)):
            self.assertRegex(line, run_log_line_pattern(re.escape(file.name) + r", \d+ regels",
                                                        "27 fondsen met alle koersen, 1 zonder: .+",
                                                        MISSING_DATA, "niet alle koersen ontvangen"))

    # A scheduled run and a button run, or two scheduled ones, never write one
    # data folder at once: the second says so and ends with its own code.
    def test_a_run_started_while_another_runs_on_its_folder_does_nothing(self):
        shared = self.data_folder("shared")

        def the_shared_folder(data):
            return windows_path(shared) + "\\", {}

        # Two pages that drip keep the first run busy until their time
        # limits, twice each (they are asked for again at the end).
        dripping = ["drip@put:" + MARKET.underlyings[2].code, "drip@put:" + MARKET.underlyings[5].code]
        first = self.start_automatic("first", dripping, data_path=the_shared_folder)
        drip_request = PAGE_PATH + "?put=" + MARKET.underlyings[2].code
        deadline = time.monotonic() + 120
        while drip_request not in first.server.targets() and time.monotonic() < deadline:
            time.sleep(0.2)
        self.assertIn(drip_request, first.server.targets())

        second = self.start_automatic("second", data_path=the_shared_folder)
        self.finish([second], kestrom_e2e.HANG_BOUND)
        self.assertEqual(second.exit_code, FOLDER_BUSY)
        self.assertEqual(second.server.targets(), [], "the second run fetched pages")
        self.assertIsNone(first.process.popen.poll(), "the first run ended before the second began")

        self.finish([first], kestrom_e2e.HANG_BOUND)
        self.assertEqual(first.exit_code, MISSING_DATA)
        self.assertEqual(self.the_quote_file(shared).read_bytes(), expected_file(faults=dripping))
        lines = run_log_lines(shared)
        self.assertEqual(len(lines), 2, lines)
        self.assertRegex(lines[0], r"; automatisch; handelsdag \d\d-\d\d-\d{4}; exitcode 7 een andere download liep "
                                   r"in deze map; \d+ s$")
        self.assertIn("; exitcode 1 niet alle koersen ontvangen; ", lines[1])


class InteractiveRunTest(DownloadTestCase):
    def test_download_button_runs_and_the_window_stays_open(self):
        server = self.server("all")
        data = self.data_folder("all")
        self.configure(server.host, data)
        process, window, memo, status = self.open_main()
        self.assertEqual(self.press_download(window, status), DONE)

        quote_file = self.the_quote_file(data)
        self.assertEqual(quote_file.read_bytes(), expected_file())
        self.assertEqual(self.memo_lines(memo),
                         ["Gegevens van %s gedownload" % u.name for u in MARKET.underlyings]
                         + self.completion_lines(len(MARKET.underlyings), quote_file.name))
        self.assertEqual(server.targets(), run_requests(MARKET.underlyings))
        self.assertEqual({agent for _, agent in server.requests()}, {USER_AGENT})
        self.screenshot("after_interactive_run", window)
        # Without "a" the window stays after the run.
        time.sleep(8)
        self.assertTrue(process.running())
        self.assertEqual(self.driver.text(status), DONE)

        self.driver.click(window, "Sluit af")
        self.assertEqual(process.exit_code(), 0)

    def test_selection_false_downloads_the_three_aex_underlyings(self):
        server = self.server("aex")
        data = self.data_folder("aex")
        self.configure(server.host, data, selection="0")
        process, window, memo, status = self.open_main()
        self.assertEqual(self.press_download(window, status), DONE)
        aex = MARKET.underlyings[:3]
        quote_file = self.the_quote_file(data)
        self.assertEqual(quote_file.read_bytes(), expected_file(selection=False))
        self.assertEqual(self.memo_lines(memo), ["Gegevens van %s gedownload" % u.name for u in aex]
                         + self.completion_lines(3, quote_file.name))
        self.assertIn("De optiekoersen van 3 fondsen zijn gedownload", self.memo_lines(memo))
        self.assertEqual(server.targets(), run_requests(aex))
        self.driver.click(window, "Sluit af")
        self.assertEqual(process.exit_code(), 0)

    def test_a_folder_typed_in_the_settings_without_its_backslash_receives_the_next_run(self):
        server = self.server("typed")
        data = self.data_folder("typed")
        self.configure(server.host, data, selection="0")
        process, window, memo, status = self.open_main()
        self.driver.click(window, "Instellingen")
        settings = self.driver.wait("Kestrom - Instellingen", pid=process.pid)
        # The data folder's field comes before the evening run's time.
        path = [c for c in self.driver.children(settings) if c.cls.lower() == "edit"][0]
        self.driver.set_text(path, windows_path(data))
        self.driver.click(settings, "OK")
        self.driver.wait_gone(settings, pid=process.pid)
        # Stored as typed; the run still writes into the folder.
        self.assertEqual(self.registry.values(kestrom_e2e.DEFAULTS_KEY)["Data Path"], windows_path(data))
        self.assertEqual(self.press_download(window, status), DONE)
        self.assertEqual(self.the_quote_file(data).read_bytes(), expected_file(selection=False))
        self.assertEqual([p.name for p in data.parent.iterdir() if p.suffix == ".csv"], [])
        self.driver.click(window, "Sluit af")
        self.assertEqual(process.exit_code(), 0)

    def test_a_second_press_during_a_run_starts_no_nested_run(self):
        # Slow pages keep the run busy; the run lets messages through after
        # each underlying, where a second press would start a nested run.
        # The button is clicked by its handle: the driver then asks the busy
        # program for nothing before it posts the click.
        server = self.server("slow", ["slow"], options=("--slow-chunk", "32768", "--slow-pause", "0.05"))
        data = self.data_folder("slow")
        self.configure(server.host, data)
        process, window, memo, status = self.open_main()
        button = self.driver.child(window, text="Download")
        self.driver.click(button)
        self.go_on_past_sunday_question(window.pid)
        self.driver.click(button)
        self.assertTrue(server.wait_requests(4, 60))
        self.driver.click(button)
        self.assertEqual(self.wait_status(status, (DONE, FAILED)), DONE)
        # Presses handled at the run's message points are dropped, not
        # queued behind it.
        time.sleep(3)
        self.assertEqual(self.driver.text(status), DONE)
        self.assertEqual(server.targets(), run_requests(MARKET.underlyings))
        self.assertEqual(self.the_quote_file(data).read_bytes(), expected_file(faults=["slow"]))
        self.assertEqual(self.memo_lines(memo)[-2], "De optiekoersen van %d fondsen zijn gedownload"
                         % len(MARKET.underlyings))
        self.driver.click(window, "Sluit af")
        self.assertEqual(process.exit_code(), 0)


if __name__ == "__main__":
    kestrom_e2e.main()
