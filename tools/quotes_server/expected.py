"""The quote file a whole download run must write against this server.

Built from the sample market itself, never from the served HTML, so that it
checks the program's scanner instead of repeating it.
"""

from faults import ALL_ROWS, HALF_ROWS, NO_DATA, TIMED_OUT, UNPREDICTABLE, Faults
from market import HEADINGS
from pages import ENCODING

SEPARATOR = "; "
LINE_END = "\r\n"


def quote_date(expiry):
    return f"{expiry.day:02d}-{expiry.month:02d}-{expiry.year:04d}"


def padded_strike(text):
    return "0" + text if len(text) < 6 else text


def header_line(name):
    h = HEADINGS
    seventh = h[6][:3] + " " + h[6][4:]
    return [h[0], h[2], name, "C/P", seventh, h[5], h[7], h[8], h[3], h[9], h[10], h[11], h[12],
            "Koers"]


def quote_line(row, name, kindText, price):
    c = row.cells
    return [quote_date(row.expiry), padded_strike(c[2]), name, kindText, c[6], c[5], c[7], c[8],
            c[3], c[9], c[10], c[11], c[12], price]


class UnpredictableRun(Exception):
    pass


# Pages in a row that time out before the program stops asking.
UNANSWERED_IN_A_ROW = 3


class _Run:
    """The program's run over the option pages: a page that times out is
    asked for again after the list's last underlying (an unanswered call
    page takes its put page along), and three pages in a row that time out
    end all asking."""

    def __init__(self, faults):
        self.faults = faults
        self.lines = []
        # (kind, code) of every option page asked for, in order.
        self.requests = []
        self.inARow = 0
        self.attempts = {}

    def gone(self):
        return self.inARow >= UNANSWERED_IN_A_ROW

    def read(self, u, kind, state):
        """Asks for one page; False when it went unanswered."""
        if self.gone():
            return False
        key = (kind, u.code)
        self.requests.append(key)
        self.attempts[key] = self.attempts.get(key, 0) + 1
        fault = self.faults.lookup(kind, u.code, False)
        outcome = self.faults.option_page_outcome(fault, self.attempts[key])
        if outcome == TIMED_OUT:
            self.inARow += 1
            return False
        self.inARow = 0
        if outcome == UNPREDICTABLE:
            raise UnpredictableRun(f"the {kind} page of {u.code} with fault {fault}")
        if kind == "call":
            state["price"] = u.price_text if outcome != NO_DATA else ""
        if outcome == NO_DATA:
            return True
        rows = u.rows(kind)
        if outcome == HALF_ROWS:
            rows = rows[:len(rows) // 2]
        assert outcome in (ALL_ROWS, HALF_ROWS)
        if not self.lines:
            self.lines.append(header_line(u.name))
        kindText = "Call" if kind == "call" else "Put"
        self.lines.extend(quote_line(row, u.name, kindText, state["price"]) for row in rows)
        return True


def _expected_run(market, selection, faults):
    faults = faults or Faults()
    run = _Run(faults)
    listFault = faults.lookup("call", market.list_code, True)
    if listFault in ("garbage", "empty-list") or not faults.list_page_gives_list(listFault):
        return run
    underlyings = market.underlyings if selection else market.underlyings[:3]
    run = _Run(faults)
    states = []
    for u in underlyings:
        if run.gone():
            break
        state = {"price": "", "call": False, "put": False}
        state["call"] = run.read(u, "call", state)
        if state["call"]:
            state["put"] = run.read(u, "put", state)
        states.append((u, state))
    for u, state in states:
        if not run.gone() and not (state["call"] and state["put"]):
            if not state["call"]:
                state["call"] = run.read(u, "call", state)
            if not state["put"]:
                state["put"] = run.read(u, "put", state)
    return run


def expected_lines(market, selection=True, faults=None):
    """The lines (lists of fields) of the quote file, header line first."""
    return _expected_run(market, selection, faults).lines


def expected_requests(market, selection=True, faults=None):
    """The option pages a whole run asks for after a list page that gave its
    list, in order, as (kind, code): none after a list page without one."""
    return _expected_run(market, selection, faults).requests


def expected_bytes(market, selection=True, faults=None):
    lines = expected_lines(market, selection, faults)
    return "".join(SEPARATOR.join(fields) + LINE_END for fields in lines).encode(ENCODING)
