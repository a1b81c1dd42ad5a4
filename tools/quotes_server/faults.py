"""Fault modes of the local quotes web server.

A fault is KIND or KIND@TARGET. Without a target it hits every request.
TARGET "list" hits the list page, "pages" every option page but the list
page, "call:CODE" and "put:CODE" every request of that option page. A log-in page without a target answers every request,
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
    "empty-table": "200 with that same page (the site's data feed is out): every marker, an option table without rows",
    "login": "200 with a hotel network's log-in page of several KB instead of the site's page",
    "cut": "Content-Length of the whole page, cut --cut-into bytes into the row after the first half "
           "(0: between rows), then the connection closed",
    "cut-chunked": "the page in chunks, cut as cut is (inside a chunk), then the connection closed",
    "cut-closed": "no Content-Length, the body ended by closing the connection where cut cuts",
    "silent": "accepts and reads the request, never answers",
    "silent-once": "the first request of the page never answered, later ones answered in full",
    "trickle-head": "the response head a byte every --trickle-pause seconds, then the page",
    "trickle-body": "the head with the page's Content-Length, then the page a byte every --trickle-pause seconds",
    "slow": "the whole page in small pieces with pauses (--slow-chunk, --slow-pause)",
    "crawl": "a slow line: the head with the page's Content-Length, then the page in even pieces four times "
             "a second over --crawl-seconds (default 40)",
    "drip": "a page that never ends, a few bytes a second",
    "endless": "a page that never ends, as fast as the client reads",
    "huge": "the page padded to --huge-bytes (default 80 MiB)",
    "empty-list": "the page with an empty selection list",
    "garbage": "8 KiB of binary garbage",
    "wrong-order": "the option table before the selection and the quote lines",
    "new-layout": "the site laid out anew: the selection kept, the quote and the option table in markup of "
                  "their own (no dividers, no headings the program knows, no table element)",
}

# The program drops a page longer than this; the expected file follows it.
PROGRAM_PAGE_LIMIT = 64 * 1024 * 1024
DEFAULT_HUGE_BYTES = 80 * 1024 * 1024

# What a fault leaves for the program's scanner of an option page.
NO_DATA = "no data"
ALL_ROWS = "all rows"
HALF_ROWS = "half the rows"
UNPREDICTABLE = "unpredictable"
# The program's page time passes first: no data, and asked for again.
TIMED_OUT = "timed out"

CUTS = ("cut", "cut-chunked", "cut-closed")
# Pages that keep the site's selection but not its option table where the
# program reads it: pages of a changed layout, which give no data.
CHANGED_LAYOUTS = ("wrong-order", "new-layout")
# Faults that hold a page beyond the program's time for a page.
TIME_OUTS = ("silent", "drip", "trickle-head", "trickle-body")

QUERY_PREFIX = "FAULT-"


class Fault:
    def __init__(self, text):
        kind, _, target = text.partition("@")
        if kind not in KINDS:
            raise ValueError(f"unknown fault kind {kind!r}; known: {', '.join(KINDS)}")
        if target and target not in ("list", "pages") and not target.startswith(("call:", "put:")):
            raise ValueError(f"fault target must be list, pages, call:CODE or put:CODE, not {target!r}")
        self.kind = kind
        self.target = target or None

    def hits(self, pageKind, code, isListRequest):
        if self.target is None:
            return True
        if self.target == "list" or isListRequest:
            return self.target == "list" and isListRequest
        return self.target in ("pages", f"{pageKind}:{code}")


class Faults:
    def __init__(self, texts=(), hugeBytes=DEFAULT_HUGE_BYTES):
        self.faults = [Fault(text) for text in texts]
        self.hugeBytes = hugeBytes

    def lookup(self, pageKind, code, isListRequest):
        for fault in self.faults:
            if fault.hits(pageKind, code, isListRequest):
                return fault.kind
        return None

    def option_page_outcome(self, kind, attempt=1):
        """What the scanner gets from an option page served with this fault
        when the program asks for it the attempt-th time. A page cut inside
        a row gives the rows before that row: the program reads only the
        rows that arrived whole."""
        if kind in (None, "slow", "crawl", "empty-list") or (kind == "silent-once" and attempt > 1):
            return ALL_ROWS
        if kind in TIME_OUTS or kind == "silent-once":
            return TIMED_OUT
        if kind == "huge":
            return ALL_ROWS if self.hugeBytes <= PROGRAM_PAGE_LIMIT else NO_DATA
        if kind in CUTS:
            return HALF_ROWS
        if kind == "garbage":
            return UNPREDICTABLE
        return NO_DATA

    def list_page_gives_list(self, kind):
        """Whether the list page served with this fault yields the real list.

        The selection list stands near the top of the page, so a cut page
        still holds it, and so does a page of a changed layout. An empty
        list yields an entry whose code the server does not know, so that
        run gets no data at all, like a run without a list. Garbage, a
        log-in page and a 503 page are no quote pages and give no list.
        """
        return kind in (None, "slow", "crawl", *CHANGED_LAYOUTS, *CUTS) or (
            kind == "huge" and self.hugeBytes <= PROGRAM_PAGE_LIMIT)
