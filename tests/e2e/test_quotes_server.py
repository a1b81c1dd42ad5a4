#!/usr/bin/env python3
"""The local quotes web server and its expected-file generator.

Runs the server as the demo and the scenarios do (a separate process on a
port chosen by the system) and reads it as the program does. The scan in
ReferenceRun follows the program's documented scanning rules step by step;
if the served pages and the generated expected file ever disagree with it,
the end-to-end comparisons of the program would be comparing against the
wrong bytes.

Accepts and ignores --exe, --driver and --artifacts (ctest passes them to
every scenario).
"""

import argparse
import http.client
import os
import re
import socket
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
TOOL_DIR = os.path.join(ROOT, "tools", "quotes_server")
SERVER = os.path.join(TOOL_DIR, "quotes_server.py")
sys.path.insert(0, TOOL_DIR)

from expected import expected_bytes, expected_requests  # noqa: E402
from faults import Faults  # noqa: E402
from market import Market  # noqa: E402
import server_fixture  # noqa: E402
from server_fixture import USER_AGENT, ServerProcess  # noqa: E402

PAGE_PATH = "/derivaten/opties/"
LABEL = b"Kies onderliggende waarde:"
# What makes a page a quote page for the program, with status 200.
QUOTE_PAGE_MARKERS = (LABEL, b'quoteLine bottomDivider"', b'"col">')


def laid_anew(body):
    """A page of a changed layout for the program: the label and a select
    list with an option value, but no divider after the label, no heading
    after the (up to three) dividers or no table end after the label."""
    label = body.find(LABEL)
    select = body.find(b"<select name=")
    if label < 0 or select < 0 or body.find(b'value="', select) < 0:
        return False
    at, dividers = label, 0
    while dividers < 3 and body.find(b'quoteLine bottomDivider"', at) >= 0:
        at = body.find(b'quoteLine bottomDivider"', at) + len(b'quoteLine bottomDivider"')
        dividers += 1
    return not (dividers and body.find(b'"col">', at) >= 0 and body.find(b"</table>", label) >= 0)


class Server(ServerProcess):
    script = SERVER

    def page(self, query, listPage=False):
        """(body, complete) as the program reads them: only a quote page, a
        200 answer with the option page's markers, counts; any other answer,
        and a request that cannot even be made, gives nothing. A page of a
        changed layout that arrived whole gives only a list. complete is
        what the transport tells: a body ended by closing the connection
        seems complete."""
        try:
            status, body, complete = self.fetch(query)
        except (http.client.HTTPException, OSError):
            return b"", True
        if status == 200 and complete and len(body) >= 1000 and laid_anew(body):
            return (body if listPage else b""), True
        if status == 200 and all(m in body for m in QUOTE_PAGE_MARKERS):
            return body, complete
        return b"", True

    def fetch(self, query, userAgent=USER_AGENT, timeout=10):
        """(status, body, complete) of the page query names."""
        return self.get(PAGE_PATH + query, userAgent, timeout)


class Scan:
    """The working text of the program's scan: a page and a start position."""

    def __init__(self, page):
        self.text = page
        self.at = 0

    def cut_after(self, marker):
        found = self.text.find(marker, self.at)
        if found >= 0:
            self.at = found + len(marker)

    def after(self, char):
        found = self.text.find(char, self.at)
        self.at = found + 1 if found >= 0 else len(self.text)

    def before(self, char):
        found = self.text.find(char, self.at)
        return self.text[self.at:found] if found >= 0 else b""

    def cell(self):
        self.cut_after(b"<td ")
        self.after(b">")
        return self.before(b"<")

    def left(self):
        return len(self.text) - self.at


def text_before(char, text):
    return text.partition(char)[0] if char in text else b""


def text_after(char, text):
    return text.partition(char)[2]


class ReferenceRun:
    """A whole download run, scanned by the program's documented rules."""

    def __init__(self, fetch, selection=True):
        self.fetch = fetch
        self.selection = selection
        self.lines = []

    def run(self):
        entries = self.read_underlyings(self.fetch("?call=AEX.AGN/O", listPage=True)[0])
        for entry in entries or []:
            code, name = text_before(b" ", entry), text_after(b" ", entry)
            call, complete = self.fetch("?call=" + code.decode("latin-1"))
            price = self.read_price(call, name)
            self.parse(call, complete, b"Call", name, price)
            self.parse(*self.fetch("?put=" + code.decode("latin-1")), b"Put", name, price)
        return b"".join(b"; ".join(fields) + b"\r\n" for fields in self.lines)

    def read_underlyings(self, page):
        if len(page) < 1000:
            return None
        scan = Scan(page)
        scan.cut_after(b"<select name=")
        scan.cut_after(b'value="')
        entries = []
        while True:
            code = scan.before(b'"')
            scan.after(b">")
            entries.append(code + b" " + scan.before(b"<"))
            if len(entries) >= 3 and not self.selection:
                return entries
            found = scan.text.find(b'value="', scan.at)
            if found < 0:
                return entries
            scan.at = found + len(b'value="')

    def read_price(self, page, name):
        if len(page) < 1000:
            return b""
        scan = Scan(page)
        scan.cut_after(LABEL)
        parenthesis = name.find(b"(")
        scan.cut_after(name if parenthesis < 0 else name[:max(parenthesis - 1, 0)])
        return scan.cell()

    def parse(self, page, complete, kind, name, price):
        """A page arrived whole when the transport says so and the table's
        end follows the dividers; of any other page only the rows up to the
        last row end are read, each from its date cell."""
        if len(page) < 1000:
            return
        scan = Scan(page)
        scan.cut_after(LABEL)
        for _ in range(3):
            scan.cut_after(b'quoteLine bottomDivider"')
        end = scan.text.find(b"</table>", scan.at)
        whole = complete and end >= 0
        if not whole:
            scan.text = scan.text[:scan.text.rfind(b"</tr>") + len(b"</tr>")] if b"</tr>" in scan.text else b""
            end = scan.text.find(b"</table>", scan.at)
            if scan.text.find(b'px;">', scan.at) < 0:
                return
        if end >= 0:
            scan.text = scan.text[:end + 1]
        h = []
        for _ in range(13):
            scan.cut_after(b'"col">')
            h.append(scan.before(b"<"))
        if len(h[6]) >= 4:
            h[6] = h[6][:3] + b" " + h[6][4:]
        if not self.lines:
            self.lines.append([h[0], h[2], name, b"C/P", h[6], h[5], h[7], h[8], h[3], h[9],
                               h[10], h[11], h[12], b"Koers"])
        while True:
            scan.cut_after(b'px;">')
            raw = scan.before(b"<")
            day, rest = text_before(b"-", raw), text_after(b"-", raw)
            month, year = text_before(b"-", rest), text_after(b"-", rest)
            day = b"0" + day if len(day) < 2 else day
            month = b"0" + month if len(month) < 2 else month
            year = b"20" + year if len(year) < 4 else year
            c = [day + b"-" + month + b"-" + year] + [scan.cell() for _ in range(5)]
            if len(c[2]) < 6:
                c[2] = b"0" + c[2]
            found = scan.text.find(b"percentage", scan.at)
            if found >= 0:
                scan.at = max(found - 10, scan.at)
            scan.after(b">")
            scan.after(b">")
            c.append(scan.before(b"<"))
            c += [scan.cell() for _ in range(5)]
            scan.cut_after(b"<td ")
            scan.after(b">")
            scan.after(b"\n")
            c.append(scan.before(b"\r").lstrip(b" "))
            self.lines.append([c[0], c[2], name, kind, c[6], c[5], c[7], c[8], c[3], c[9],
                               c[10], c[11], c[12], price])
            if scan.left() < 200 if whole else scan.text.find(b'px;">', scan.at) < 0:
                return


class ServerTestCase(server_fixture.ServerTestCase):
    serverClass = Server


class SampleMarketTest(unittest.TestCase):
    def test_market_has_the_shape_the_scenarios_rely_on(self):
        market = Market()
        self.assertGreaterEqual(len(market.underlyings), 25)
        first = market.underlyings[0]
        self.assertEqual((first.code, first.name), ("AEX.AGN/O", "AEX"))
        self.assertTrue(all(u.code.startswith("AEX.") for u in market.underlyings[:3]))
        self.assertFalse(any(u.code.startswith("AEX.") for u in market.underlyings[3:]))
        self.assertIn("Koninklijke Philips (PHIA)", [u.name for u in market.underlyings])
        for u in market.underlyings:
            with self.subTest(code=u.code):
                self.assertNotIn(" ", u.code)
                self.assertNotIn('"', u.code)
                self.assertNotIn("; ", u.name)
                for kind in ("call", "put"):
                    self.assertTrue(100 <= len(u.rows(kind)) <= 2000, len(u.rows(kind)))

    def test_generation_is_deterministic(self):
        self.assertEqual(expected_bytes(Market()), expected_bytes(Market()))


class PageMarkupTest(ServerTestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = Server()

    @classmethod
    def tearDownClass(cls):
        cls.server.stop()

    def test_every_page_carries_the_markers_in_order(self):
        dateForms = set()
        for u in Market().underlyings:
            for kind in ("call", "put"):
                with self.subTest(page=f"{kind}={u.code}"):
                    status, page, complete = self.server.fetch(f"?{kind}={u.code}")
                    self.assertEqual((status, complete), (200, True))
                    self.assertGreater(len(page), 1000)
                    self.assertNotRegex(page, rb"[^\r]\n", "a line that does not end in CR LF")
                    self.assertEqual(page.count(b"<select name="), 1)
                    select = page.index(b"<select name=")
                    self.assertEqual(page.count(b'value="', select), len(Market().underlyings))
                    self.assertIn(f'<option value="{u.code}" selected="selected">'.encode(), page)
                    label = page.index(LABEL)
                    self.assertEqual(page.count(b'quoteLine bottomDivider"', label), 3)
                    lastMarker = page.rindex(b'quoteLine bottomDivider"')
                    table = page.index(b"</table>", lastMarker)
                    self.assertEqual(page.count(b'"col">', lastMarker, table), 13)
                    rows = len(u.rows(kind))
                    self.assertEqual(page.count(b'px;">', lastMarker, table), rows)
                    self.assertEqual(page.count(b"percentage", lastMarker, table), rows)
                    dates = re.findall(rb'px;">(\d+-\d+-\d+)<', page)
                    dateForms.update((len(d.split(b"-")[1]), len(d.split(b"-")[2])) for d in dates)
        self.assertTrue({(1, 2), (2, 4)} <= dateForms, dateForms)

    def test_reference_scan_of_every_page_gives_the_expected_file(self):
        for selection in (True, False):
            with self.subTest(selection=selection):
                run = ReferenceRun(self.server.page, selection)
                self.assertEqual(run.run(), expected_bytes(Market(), selection))

    def test_unknown_pages(self):
        cases = [("?call=NOPE.AS/O", 200), ("?call=", 200), ("?koers=AEX", 200),
                 ("?call=FAULT-nonsense", 404)]
        for query, status in cases:
            with self.subTest(query=query):
                got, body, _ = self.server.fetch(query)
                self.assertEqual(got, status)
                self.assertLess(len(body), 1000)


class FaultTest(ServerTestCase):
    def test_fault_pages_by_query_code(self):
        server = self.start("--huge-bytes", "3000000", "--slow-chunk", "8192", "--slow-pause", "0.01",
                            "--cut-into", "300", "--trickle-pause", "0.0005", "--crawl-seconds", "0.5")
        normal = server.fetch(f"?put={Market().underlyings[-1].code}")[1]

        def cut_in_a_row(b):
            # 300 bytes into the row after the first half, a whole number of
            # rows before it.
            rowEnd = b.rindex(b"</tr>\r\n") + len(b"</tr>\r\n")
            return normal.startswith(b) and len(b) - rowEnd == 300 and b"<tr class=" in b[rowEnd:]
        cases = [
            # code, status, check of (body, complete)
            ("short", 200, lambda b, c: c and 0 < len(b) < 1000),
            ("404", 404, lambda b, c: c and b"404" in b and len(b) < 1000),
            ("500", 500, lambda b, c: c and b"500" in b and len(b) < 1000),
            ("503", 503, lambda b, c: c and len(b) >= 1000 and LABEL in b and b'"col">' in b
             and b"<tr class=" not in b),
            ("empty-table", 200, lambda b, c: c and len(b) >= 1000 and LABEL in b and b'"col">' in b
             and b"<tr class=" not in b),
            ("login", 200, lambda b, c: c and len(b) >= 1000 and b'value="' in b and LABEL not in b),
            ("cut", 200, lambda b, c: not c and cut_in_a_row(b)),
            # The client keeps only the chunks that came whole.
            ("cut-chunked", 200, lambda b, c: not c and normal.startswith(b) and len(b) < len(normal)),
            # Ended by closing: nothing tells the client that it is cut.
            ("cut-closed", 200, lambda b, c: c and cut_in_a_row(b)),
            ("slow", 200, lambda b, c: c and b == normal),
            ("crawl", 200, lambda b, c: c and b == normal),
            ("trickle-head", 200, lambda b, c: c and b == normal),
            ("huge", 200, lambda b, c: c and len(b) == 3000000 and b.count(b"<tr class=") ==
             normal.count(b"<tr class=")),
            ("empty-list", 200, lambda b, c: c and b"<option" not in b and b"<select name=" in b
             and b'value="' not in b[b.index(b"<select name="):] and LABEL in b),
            ("garbage", 200, lambda b, c: c and len(b) >= 1000 and LABEL not in b),
            ("wrong-order", 200, lambda b, c: c and b.index(b'"col">') < b.index(LABEL)),
            # The selection stays as it was; nothing the option table's
            # scanner cuts at is left, but the rows are there.
            ("new-layout", 200, lambda b, c: c and LABEL in b and b'<option value="' in b
             and b'quoteLine bottomDivider"' not in b and b'"col">' not in b and b"</table>" not in b
             and b.count(b'role="row"') == normal.count(b"<tr class=") + 1),
        ]
        for code, status, check in cases:
            with self.subTest(fault=code):
                got, body, complete = server.fetch(f"?put=FAULT-{code}")
                self.assertEqual(got, status)
                self.assertTrue(check(body, complete), f"{len(body)} bytes, complete {complete}")

    def test_silent_server_makes_the_client_time_out(self):
        server = self.start()
        with self.assertRaises(socket.timeout):
            server.fetch("?call=FAULT-silent", timeout=1)
        # A silent connection holds one thread only.
        self.assertEqual(server.fetch("?call=AEX.AGN/O")[0], 200)

    def test_a_silent_once_page_answers_the_second_time(self):
        server = self.start("--fault", "silent-once@put:PHIA.AS/O")
        with self.assertRaises(socket.timeout):
            server.fetch("?put=PHIA.AS/O", timeout=1)
        self.assertEqual(server.fetch("?put=PHIA.AS/O"), server.fetch("?put=PHIA.AS/O"))
        self.assertGreater(len(server.fetch("?put=PHIA.AS/O")[1]), 1000)
        with self.assertRaises(socket.timeout):
            server.fetch("?call=FAULT-silent-once", timeout=1)
        self.assertEqual(server.fetch("?call=FAULT-silent-once")[0], 200)

    def test_a_trickled_head_or_body_comes_a_byte_at_a_time(self):
        server = self.start("--trickle-pause", "0.02")
        normal = server.fetch(f"?put={Market().underlyings[-1].code}")[1]
        for fault, headPieces, bodyPieces in (("trickle-head", 20, 1), ("trickle-body", 1, 20)):
            with self.subTest(fault=fault):
                with socket.create_connection(("127.0.0.1", server.port), timeout=10) as s:
                    s.sendall(f"GET {PAGE_PATH}?put=FAULT-{fault} HTTP/1.1\r\nHost: x\r\n\r\n".encode())
                    received, pieces = b"", []
                    while b"\r\n\r\n" not in received or len(received.partition(b"\r\n\r\n")[2]) < 40:
                        chunk = s.recv(1 << 20)
                        self.assertTrue(chunk, "the server ended the page")
                        pieces.append(b"\r\n\r\n" in received + chunk)
                        received += chunk
                head, _, body = received.partition(b"\r\n\r\n")
                self.assertIn(b"\r\nContent-Length: %d\r\n" % len(normal), head + b"\r\n")
                self.assertTrue(normal.startswith(body))
                # Pieces while the head came, and after it.
                self.assertGreaterEqual(pieces.count(False), headPieces - 1)
                self.assertGreaterEqual(pieces.count(True), bodyPieces)

    def test_endless_pages_keep_coming(self):
        server = self.start()
        for code, enough in (("endless", 20_000_000), ("drip", 4096 + 2 * len(b"<!-- -->"))):
            with self.subTest(fault=code):
                with socket.create_connection(("127.0.0.1", server.port), timeout=10) as s:
                    s.sendall(f"GET {PAGE_PATH}?call=FAULT-{code} HTTP/1.1\r\nHost: x\r\n\r\n".encode())
                    received = b""
                    while b"\r\n\r\n" not in received or len(received.partition(b"\r\n\r\n")[2]) < enough:
                        chunk = s.recv(1 << 20)
                        self.assertTrue(chunk, "the server ended the page")
                        received += chunk
                    self.assertNotIn(b"Content-Length", received.partition(b"\r\n\r\n")[0])

    def test_faults_by_target_and_the_list_page_order(self):
        server = self.start("--fault", "short@list", "--fault", "404@put:PHIA.AS/O",
                            "--fault", "cut@call:PHIA.AS/O")
        sequence = [
            ("?call=AEX.AGN/O", 200, False),   # the list page: short, so no list
            ("?call=AEX.AGN/O", 200, False),   # the next run's list page
            ("?put=PHIA.AS/O", 404, False),
            ("?call=PHIA.AS/O", 200, True),
            ("?put=AEX.AGN/O", 200, True),
        ]
        for query, status, data in sequence:
            with self.subTest(query=query):
                got, body, _ = server.fetch(query)
                self.assertEqual((got, len(body) >= 1000), (status, data))
        self.assertFalse(server.fetch("?call=PHIA.AS/O")[2], "the call page is cut")

        pages = self.start("--fault", "404@pages")
        for query, status in (("?call=AEX.AGN/O", 200), ("?call=AEX.AGN/O", 404), ("?put=PHIA.AS/O", 404)):
            with self.subTest(query=query, target="pages"):
                self.assertEqual(pages.fetch(query)[0], status)

    def test_a_log_in_page_answers_every_address(self):
        server = self.start("--fault", "login")
        login = server.fetch("?call=AEX.AGN/O")
        self.assertEqual(login[0], 200)
        for query in ("?put=PHIA.AS/O", "?call=nl", "?put="):
            with self.subTest(query=query):
                self.assertEqual(server.fetch(query), login)

    def test_list_page_then_first_call_page(self):
        server = self.start("--fault", "404@call:AEX.AGN/O")
        statuses = [server.fetch("?call=AEX.AGN/O")[0] for _ in range(4)]
        self.assertEqual(statuses, [200, 404, 200, 404])

    def test_runs_against_faults_match_the_expected_file(self):
        cases = [
            ["404@call:AEX.AGN/O"],
            ["500@call:AEX.AGN/O", "404@put:AEX.AGN/O"],
            ["cut@call:PHIA.AS/O", "short@put:INGA.AS/O", "empty-list@put:ASML.AS/O",
             "slow@call:DL.AS/O", "500@call:OCE.AS/O"],
            ["cut"],
            ["cut-closed@call:INGA.AS/O", "cut@put:ASML.AS/O"],
            ["cut-closed"],
            ["404@list"],
            ["empty-list@list"],
            ["garbage@list"],
            ["login@list"],
            ["503@list"],
            ["login@call:PHIA.AS/O", "503@put:INGA.AS/O", "503@call:ASML.AS/O"],
            ["wrong-order@call:PHIA.AS/O", "new-layout@put:INGA.AS/O"],
            ["new-layout@list", "wrong-order@pages"],
        ]
        for faults in cases:
            with self.subTest(faults=faults):
                options = [o for f in faults for o in ("--fault", f)]
                server = self.start(*options, "--slow-chunk", "16384", "--slow-pause", "0.001",
                                    "--cut-into", "300")
                got = ReferenceRun(server.page).run()
                want = expected_bytes(Market(), True, Faults(faults))
                self.assertEqual(got, want)
                self.assertEqual(len(want) == 0, faults[0].endswith("@list") or "@pages" in faults[-1])

    def test_first_call_page_without_data_moves_the_header_and_empties_the_price(self):
        lines = expected_bytes(Market(), True, Faults(["404@call:AEX.AGN/O"])).split(b"\r\n")
        self.assertTrue(lines[0].startswith(b"Expiratie; Uitoefenprijs; AEX; C/P; "))
        self.assertTrue(lines[1].startswith(b"15-03-2013; 250,00; AEX; Put; "))
        self.assertTrue(lines[1].endswith(b"; "), "the put lines carry an empty price")


class ServerProcessTest(ServerTestCase):
    def test_request_log_keeps_order_and_user_agent(self):
        server = self.start()
        requests = [("?call=AEX.AGN/O", USER_AGENT), ("?call=AEX.AGN/O", USER_AGENT),
                    ("?put=AEX.AGN/O", "Other Agent/1.0"), ("?call=FAULT-404", USER_AGENT)]
        for query, agent in requests:
            server.fetch(query, agent)
        with open(server.portPath) as stream:
            self.assertEqual(int(stream.read()), server.port)
        self.assertEqual(server.log_lines(), [f"{PAGE_PATH}{q}\t{a}" for q, a in requests])

    def test_stops_by_itself_after_the_time_limit(self):
        server = self.start(timeLimit=0.5)
        self.assertEqual(server.process.wait(20), 0)
        with self.assertRaises(OSError):
            socket.create_connection(("127.0.0.1", server.port), timeout=2).close()

    def test_listens_on_the_loopback_address_only(self):
        server = self.start()
        with open("/proc/net/tcp") as stream:
            listening = [line.split()[1] for line in stream.readlines()[1:] if line.split()[3] == "0A"]
        ours = [address for address in listening if int(address.split(":")[1], 16) == server.port]
        self.assertEqual(ours, ["0100007F:%04X" % server.port])


class ExpectedFileCommandTest(unittest.TestCase):
    def expect(self, *options):
        with tempfile.TemporaryDirectory() as folder:
            out = os.path.join(folder, "expected.csv")
            result = subprocess.run([sys.executable, SERVER, "expect", "--out", out, *options],
                                    capture_output=True)
            if not os.path.exists(out):
                return result.returncode, None
            with open(out, "rb") as stream:
                return result.returncode, stream.read()

    def test_selection_and_faults(self):
        market = Market()
        status, everything = self.expect()
        self.assertEqual(status, 0)
        lines = everything.split(b"\r\n")
        self.assertEqual(lines[-1], b"", "the file ends in CR LF")
        self.assertNotIn(b"\n", b"".join(lines))
        rows = sum(len(u.rows(k)) for u in market.underlyings for k in ("call", "put"))
        self.assertEqual(len(lines) - 2, rows)
        self.assertEqual(lines[0], b"Expiratie; Uitoefenprijs; AEX; C/P; +/- %; Verschil; Bied; "
                                   b"Laat; Laatst; Hoog; Laag; Volume; Open int.; Koers")
        self.assertTrue(all(len(line.split(b"; ")) == 14 for line in lines[:-1]))
        self.assertIn(b"; Oc\xe9 (OCE); Put; ", everything)
        philips = re.findall(rb"\r\n\d\d-\d\d-20\d\d; 0\d\d,\d\d; Koninklijke Philips \(PHIA\); "
                             rb"Call; [^\r]*; 22,41(?=\r\n)", everything)
        self.assertEqual(len(philips), len(market.find("PHIA.AS/O").rows("call")))

        status, three = self.expect("--selection", "false")
        names = {line.split(b"; ")[2] for line in three.split(b"\r\n")[1:-1]}
        self.assertEqual((status, names), (0, {u.name.encode() for u in market.underlyings[:3]}))
        self.assertTrue(everything.startswith(three))

        self.assertEqual(self.expect("--fault", "silent"), (0, b""))
        self.assertEqual(self.expect("--fault", "garbage@call:PHIA.AS/O")[0], 3)
        # A page of a changed layout gives nothing; the list still comes
        # from its selection.
        self.assertEqual(self.expect("--fault", "new-layout"), (0, b""))
        self.assertEqual(self.expect("--fault", "wrong-order@call:PHIA.AS/O"),
                         self.expect("--fault", "404@call:PHIA.AS/O"))

    def test_pages_that_time_out_are_asked_for_again_until_the_server_is_gone(self):
        market = Market()
        u = market.underlyings
        everything = expected_bytes(market).splitlines(keepends=True)
        pages = [(k, x.code) for x in u for k in ("call", "put")]
        nothing = []
        cases = [
            # faults, pages asked for after the list page, and the pages
            # (kind, index) whose lines come after all others, in the list's
            # order (nothing: an empty file; None: not looked at)
            ([f"silent-once@put:{u[4].code}"], pages + [("put", u[4].code)], [("put", 4)]),
            ([f"silent-once@call:{u[6].code}", f"silent-once@put:{u[2].code}"],
             [p for p in pages if p != ("put", u[6].code)]
             + [("put", u[2].code), ("call", u[6].code), ("put", u[6].code)],
             [("put", 2), ("call", 6), ("put", 6)]),
            (["trickle-head@pages"], [("call", x.code) for x in u[:3]], nothing),
            (["trickle-body@pages"], [("call", x.code) for x in u[:3]], nothing),
            # Error pages in between keep the server from counting as gone.
            ([f"silent@call:{u[1].code}", f"404@call:{u[2].code}", f"silent@call:{u[3].code}"],
             [p for p in pages if p not in (("put", u[1].code), ("put", u[3].code))]
             + [("call", u[1].code), ("put", u[1].code), ("call", u[3].code), ("put", u[3].code)], None),
            # One at the end of the first pass and two more: gone.
            ([f"silent@put:{u[-2].code}", f"silent@put:{u[-1].code}", f"silent@put:{u[5].code}"],
             pages + [("put", u[5].code), ("put", u[-2].code)], None),
        ]
        for faults, requests, moved in cases:
            with self.subTest(faults=faults):
                self.assertEqual(expected_requests(market, True, Faults(faults)), requests)
                got = expected_bytes(market, True, Faults(faults)).splitlines(keepends=True)
                if moved is None:
                    continue
                blocks = [[line for line in everything if f"; {u[i].name}; {kind.title()}; ".encode() in line]
                          for kind, i in moved]
                rest = [line for line in everything if not any(line in block for block in blocks)]
                self.assertEqual(got, rest + [line for block in blocks for line in block] if moved else [])


if __name__ == "__main__":
    parser = argparse.ArgumentParser(add_help=False)
    for option in ("--exe", "--driver", "--artifacts"):
        parser.add_argument(option)
    _, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest)
