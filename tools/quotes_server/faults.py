"""Fault modes of the local quotes web server.

A fault is KIND or KIND@TARGET. Without a target it hits every request.
TARGET "list" hits the list page, "call:CODE" and "put:CODE" every request
of that option page. A log-in page without a target answers every request,
also those of codes the market does not know, as a network that asks guests
to log in first does. The list page and the first underlying's call page
share one address; the server tells them apart by the order of a run: a
request of that address is the list page unless it follows a list page that
gave the program its list.
"""

KINDS = {
    "short": "200 with a page far under 1000 characters",
    "404": "404 with a short body",
    "500": "500 with a short body",
    "503": "503 with the site's own page of several KB: selection, quote block and an empty option table",
    "login": "200 with a hotel network's log-in page of several KB instead of the site's page",
    "cut": "Content-Length of the whole page, half the rows sent, then the connection closed",
    "silent": "accepts and reads the request, never answers",
    "slow": "the whole page in small pieces with pauses (--slow-chunk, --slow-pause)",
    "drip": "a page that never ends, a few bytes a second",
    "endless": "a page that never ends, as fast as the client reads",
    "huge": "the page padded to --huge-bytes (default 80 MiB)",
    "empty-list": "the page with an empty selection list",
    "garbage": "8 KiB of binary garbage",
    "wrong-order": "the option table before the selection and the quote lines",
}

# The program drops a page longer than this; the expected file follows it.
PROGRAM_PAGE_LIMIT = 64 * 1024 * 1024
DEFAULT_HUGE_BYTES = 80 * 1024 * 1024

# What a fault leaves for the program's scanner of an option page.
NO_DATA = "no data"
ALL_ROWS = "all rows"
HALF_ROWS = "half the rows"
UNPREDICTABLE = "unpredictable"

QUERY_PREFIX = "FAULT-"


class Fault:
    def __init__(self, text):
        kind, _, target = text.partition("@")
        if kind not in KINDS:
            raise ValueError(f"unknown fault kind {kind!r}; known: {', '.join(KINDS)}")
        if target and target != "list" and not target.startswith(("call:", "put:")):
            raise ValueError(f"fault target must be list, call:CODE or put:CODE, not {target!r}")
        self.kind = kind
        self.target = target or None

    def hits(self, pageKind, code, isListRequest):
        if self.target is None:
            return True
        if self.target == "list" or isListRequest:
            return self.target == "list" and isListRequest
        return self.target == f"{pageKind}:{code}"


class Faults:
    def __init__(self, texts=(), hugeBytes=DEFAULT_HUGE_BYTES):
        self.faults = [Fault(text) for text in texts]
        self.hugeBytes = hugeBytes

    def lookup(self, pageKind, code, isListRequest):
        for fault in self.faults:
            if fault.hits(pageKind, code, isListRequest):
                return fault.kind
        return None

    def option_page_outcome(self, kind):
        """What the scanner gets from an option page served with this fault."""
        if kind in (None, "slow", "empty-list"):
            return ALL_ROWS
        if kind == "huge":
            return ALL_ROWS if self.hugeBytes <= PROGRAM_PAGE_LIMIT else NO_DATA
        if kind == "cut":
            return HALF_ROWS
        if kind in ("garbage", "wrong-order"):
            return UNPREDICTABLE
        return NO_DATA

    def list_page_gives_list(self, kind):
        """Whether the list page served with this fault yields the real list.

        The selection list stands near the top of the page, so a cut page
        still holds it, and so does a page in the other layout. An empty
        list yields an entry whose code the server does not know, so that
        run gets no data at all, like a run without a list. Garbage, a
        log-in page and a 503 page are no quote pages and give no list.
        """
        return kind in (None, "slow", "cut", "wrong-order") or (
            kind == "huge" and self.hugeBytes <= PROGRAM_PAGE_LIMIT)
