"""The quote file a whole download run must write against this server.

Built from the sample market itself, never from the served HTML, so that it
checks the program's scanner instead of repeating it.
"""

from faults import ALL_ROWS, HALF_ROWS, NO_DATA, UNPREDICTABLE, Faults
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


def expected_lines(market, selection=True, faults=None):
    """The lines (lists of fields) of the quote file, header line first."""
    faults = faults or Faults()
    listFault = faults.lookup("call", market.list_code, True)
    if listFault in ("garbage", "empty-list") or not faults.list_page_gives_list(listFault):
        return []
    underlyings = market.underlyings if selection else market.underlyings[:3]
    lines = []
    for u in underlyings:
        price = None
        for kind, kindText in (("call", "Call"), ("put", "Put")):
            fault = faults.lookup(kind, u.code, False)
            outcome = faults.option_page_outcome(fault)
            if outcome == UNPREDICTABLE:
                raise UnpredictableRun(f"the {kind} page of {u.code} with fault {fault}")
            if kind == "call":
                price = u.price_text if outcome != NO_DATA else ""
            if outcome == NO_DATA:
                continue
            rows = u.rows(kind)
            if outcome == HALF_ROWS:
                rows = rows[:len(rows) // 2]
            assert outcome in (ALL_ROWS, HALF_ROWS)
            if not lines:
                lines.append(header_line(u.name))
            lines.extend(quote_line(row, u.name, kindText, price) for row in rows)
    return lines


def expected_bytes(market, selection=True, faults=None):
    lines = expected_lines(market, selection, faults)
    return "".join(SEPARATOR.join(fields) + LINE_END for fields in lines).encode(ENCODING)
