#!/usr/bin/env python3
"""Local quotes web server for the demo and the end-to-end tests.

  quotes_server.py serve [--port 0] [--port-file F] [--log F] [--time-limit S]
                         [--fault KIND[@TARGET]]... [--huge-bytes N]
                         [--slow-chunk N] [--slow-pause S]
                         [--cut-into N] [--trickle-pause S] [--crawl-seconds S]
  quotes_server.py expect --out F [--selection true|false] [--fault ...] [--huge-bytes N]
  quotes_server.py page QUERY [--fault KIND] [--out F]

serve: binds 127.0.0.1 only, prints "PORT <n>" once it listens, logs each
request as "<path and query><TAB><User-Agent>" and stops by itself after the
time limit. A page whose code starts with FAULT- (for example
?call=FAULT-404) shows that fault on the last underlying's page.
expect: the exact bytes of the quote file of a whole run against a server
started with the same faults. page: one page's body, for tests and
benchmarks of the scanner.
"""

import argparse
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.dirname(HERE))
sys.path.insert(0, HERE)

import local_server  # noqa: E402
from expected import UnpredictableRun, expected_bytes  # noqa: E402
from faults import CUTS, DEFAULT_HUGE_BYTES, KINDS, QUERY_PREFIX, Faults  # noqa: E402
from market import Market  # noqa: E402
import pages  # noqa: E402

PAGE_PATH = "/derivaten/opties/"


class QuoteSite(local_server.LocalSite):
    """Everything the handlers share: the market, the faults, the log."""

    def __init__(self, market, faults, logPath=None, slowChunk=1024, slowPause=0.05, cutInto=0,
                 tricklePause=1.0, crawlSeconds=40.0):
        super().__init__(logPath, slowChunk, slowPause)
        self.market = market
        self.faults = faults
        self.cutInto = cutInto
        self.tricklePause = tricklePause
        self.crawlSeconds = crawlSeconds
        self._expectingList = True
        self._asked = {}
        self._pages = {}

    def lookup_fault(self, kind, code):
        with self._lock:
            isList = False
            if kind == "call" and code == self.market.list_code:
                isList = self._expectingList
                fault = self.faults.lookup(kind, code, isList)
                # After a list page that gave a list the run asks for the
                # first underlying's call page at the same address.
                self._expectingList = not (isList and self.faults.list_page_gives_list(fault))
            else:
                fault = self.faults.lookup(kind, code, False)
        return self.once(fault, (kind, code, isList))

    def once(self, fault, page):
        """A silent-once page is silent the first time it is asked for."""
        if fault != "silent-once":
            return fault
        with self._lock:
            self._asked[page] = self._asked.get(page, 0) + 1
            return "silent" if self._asked[page] == 1 else None

    def page(self, u, kind, variant=None):
        key = (u.code, kind, variant)
        with self._lock:
            cached = self._pages.get(key)
        if cached is None:
            cached = pages.layout_page(self.market, u, kind, variant)
            with self._lock:
                self._pages[key] = cached
        return cached


def split_query(target):
    """("/path", "call"|"put"|None, code): the code exactly as sent, unescaped."""
    path, _, query = target.partition("?")
    key, equals, code = query.partition("=")
    if not equals or key not in ("call", "put"):
        return path, None, ""
    return path, key, code


class Handler(local_server.Handler):
    server_version = "Koersplein/2.4"

    def do_GET(self):
        site = self.site
        site.log(self.path, self.headers.get("User-Agent", ""))
        path, kind, code = split_query(self.path)
        if path != PAGE_PATH:
            return self.reply(404, pages.short_page("Pagina niet gevonden."))
        if code.startswith(QUERY_PREFIX):
            fault = code[len(QUERY_PREFIX):]
            if fault not in KINDS:
                return self.reply(404, pages.short_page("Onbekende storing."))
            fault = site.once(fault, (kind, code, False))
            u = site.market.underlyings[-1]
        else:
            u = site.market.find(code) if kind else None
            if u is None:
                if site.faults.lookup(kind, code, False) == "login":
                    return self.reply(200, pages.log_in_page())
                return self.reply(200, pages.short_page("Onbekende onderliggende waarde."))
            fault = site.lookup_fault(kind, code)
        self.serve_page(u, kind, fault)

    def serve_page(self, u, kind, fault):
        site = self.site
        if fault == "short":
            return self.reply(200, pages.short_page("De koersen zijn tijdelijk niet beschikbaar."))
        if fault == "404":
            return self.reply(404, pages.short_page("404 - Pagina niet gevonden."))
        if fault == "500":
            return self.reply(500, pages.short_page("500 - Interne serverfout."))
        if fault == "503":
            return self.reply(503, pages.unavailable_page(site.market, u, kind))
        if fault == "empty-table":
            return self.reply(200, pages.unavailable_page(site.market, u, kind))
        if fault == "login":
            return self.reply(200, pages.log_in_page())
        if fault == "garbage":
            return self.reply(200, pages.garbage())
        if fault == "silent":
            return self.stay_silent()
        body, rowEnds = site.page(u, kind, fault if fault in pages.LAYOUTS else None)
        if fault in CUTS:
            # Inside the row after the first half (at its start with
            # --cut-into 0): the rows before it are what arrived whole, and
            # the expected file says exactly which.
            start = rowEnds[len(rowEnds) // 2 - 1]
            end = rowEnds[len(rowEnds) // 2]
            cut = start + min(site.cutInto, end - start - 1)
            if fault == "cut-chunked":
                self.send_head(200, None, chunked=True)
                return self.send_chunked_cut(body, cut)
            self.send_head(200, len(body) if fault == "cut" else None)
            return self.send_body(body[:cut])
        if fault == "trickle-head":
            if self.trickle_head(200, len(body), site.tricklePause):
                self.send_body(body)
            return None
        if fault == "trickle-body":
            self.send_head(200, len(body))
            return self.trickle(body, 1, site.tricklePause)
        if fault == "huge":
            footer = body.index(b'<div id="footer">')
            filler = pages.padding(max(site.faults.hugeBytes - len(body), 0))
            self.send_head(200, len(body) + len(filler))
            return self.send_body(body[:footer], filler, body[footer:])
        if fault == "slow":
            self.send_head(200, len(body))
            return self.trickle(body, site.slowChunk, site.slowPause)
        if fault == "crawl":
            self.send_head(200, len(body))
            pieces = max(int(site.crawlSeconds * 4), 1)
            return self.trickle(body, -(-len(body) // pieces), 0.25)
        if fault == "endless":
            self.send_head(200, None)
            return self.send_forever(body[:len(body) // 2], pages.padding(64 * 1024), 0)
        if fault == "drip":
            self.send_head(200, None)
            return self.send_forever(body[:4096], b"<!-- -->", 0.5)
        self.reply(200, body)


def serve(args):
    site = QuoteSite(Market(), Faults(args.fault, args.huge_bytes), args.log,
                     args.slow_chunk, args.slow_pause, args.cut_into, args.trickle_pause, args.crawl_seconds)
    return local_server.serve(site, Handler, args)


def expect(args):
    try:
        data = expected_bytes(Market(), args.selection == "true", Faults(args.fault, args.huge_bytes))
    except UnpredictableRun as error:
        print(f"quotes_server: no expected file: the scanner's output from {error} "
              "depends on the scanner itself", file=sys.stderr)
        return 3
    with open(args.out, "wb") as stream:
        stream.write(data)
    return 0


def page(args):
    path, kind, code = split_query(PAGE_PATH + "?" + args.query.lstrip("?"))
    market = Market()
    u = market.find(code)
    if u is None:
        print(f"quotes_server: unknown page {args.query}", file=sys.stderr)
        return 2
    body, _ = pages.layout_page(market, u, kind, args.fault)
    if args.out:
        with open(args.out, "wb") as stream:
            stream.write(body)
    else:
        sys.stdout.buffer.write(body)
    return 0


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    commands = parser.add_subparsers(dest="command", required=True)
    faultHelp = "KIND[@TARGET], TARGET list, call:CODE or put:CODE; kinds: " + ", ".join(
        f"{k} ({v})" for k, v in KINDS.items())

    s = commands.add_parser("serve", help="run the server")
    local_server.add_serve_arguments(s)
    s.add_argument("--slow-chunk", type=int, default=1024, help="bytes per piece of a slow page")
    s.add_argument("--slow-pause", type=float, default=0.05, help="seconds between the pieces")
    s.add_argument("--cut-into", type=int, default=0,
                   help="bytes of the row that a cut page still sends (0: the cut falls between rows)")
    s.add_argument("--trickle-pause", type=float, default=1.0,
                   help="seconds between the bytes of a trickled head or body")
    s.add_argument("--crawl-seconds", type=float, default=40.0,
                   help="seconds a crawling page takes for its body")

    e = commands.add_parser("expect", help="write the expected quote file of a whole run")
    e.add_argument("--out", required=True)
    e.add_argument("--selection", choices=("true", "false"), default="true",
                   help="false: only the first three underlyings")

    for sub in (s, e):
        sub.add_argument("--fault", action="append", default=[], help=faultHelp)
        sub.add_argument("--huge-bytes", type=int, default=DEFAULT_HUGE_BYTES)

    p = commands.add_parser("page", help="write one page's body")
    p.add_argument("query", help="for example call=AEX.AGN/O or put=PHIA.AS/O")
    p.add_argument("--fault", choices=pages.LAYOUTS)
    p.add_argument("--out")

    args = parser.parse_args(argv)
    try:
        if args.command != "page":
            Faults(args.fault)
    except ValueError as error:
        parser.error(str(error))
    return {"serve": serve, "expect": expect, "page": page}[args.command](args)


if __name__ == "__main__":
    sys.exit(main())
