"""What the local web servers of the demo and the end-to-end tests share.

A site object (a LocalSite) holds the request log and the stop signal the
handlers look at; a Handler sends heads, bodies and the fault answers that
do not depend on the content (cut, slow, endless, silent); serve() runs the
threading server on 127.0.0.1, announces the port ("PORT <n>" on stdout and
the port file) and stops after the time limit or on SIGTERM/SIGINT.
"""

import os
import signal
import socket
import threading
import time
from http.server import BaseHTTPRequestHandler, ThreadingHTTPServer


def add_serve_arguments(parser):
    """The options every server's "serve" command takes first."""
    parser.add_argument("--port", type=int, default=0, help="0: a free port chosen by the system")
    parser.add_argument("--port-file", help="file that receives the port number")
    parser.add_argument("--log", help="request log, one line per request")
    parser.add_argument("--time-limit", type=float, default=300.0,
                        help="seconds until the server stops")


class LocalSite:
    """The request log ("<path and query><TAB><User-Agent>" per line) and
    the stop signal; subclasses add what their handlers serve."""

    def __init__(self, logPath=None, slowChunk=1024, slowPause=0.05):
        self.slowChunk = slowChunk
        self.slowPause = slowPause
        self.stopping = threading.Event()
        self._lock = threading.Lock()
        self._log = open(logPath, "ab") if logPath else None

    def log(self, target, userAgent):
        if self._log is None:
            return
        with self._lock:
            self._log.write(target.encode("latin-1", "replace") + b"\t"
                            + userAgent.encode("latin-1", "replace") + b"\n")
            self._log.flush()

    def close(self):
        self.stopping.set()
        if self._log:
            with self._lock:
                self._log.close()
                self._log = None


class Handler(BaseHTTPRequestHandler):
    sys_version = ""
    protocol_version = "HTTP/1.1"
    contentType = "text/html; charset=windows-1252"
    site = None  # set by serve()

    def log_message(self, format, *args):  # noqa: A002 - the base class's name
        pass

    def send_head(self, status, length, chunked=False):
        self.send_response(status)
        self.send_header("Content-Type", self.contentType)
        if length is not None:
            self.send_header("Content-Length", str(length))
        if chunked:
            self.send_header("Transfer-Encoding", "chunked")
        self.send_header("Cache-Control", "no-cache")
        self.send_header("Connection", "close")
        self.end_headers()
        self.close_connection = True

    def trickle_head(self, status, length, pause):
        """The head send_head sends, a byte every pause seconds."""
        self.wfile = _Gathered(self.wfile)
        try:
            self.send_head(status, length)
        finally:
            head, self.wfile = self.wfile.gathered(), self.wfile.stream
        return self.trickle(head, 1, pause)

    def send_chunked_cut(self, body, cut, chunk=4096):
        """The body in chunks of chunk bytes, the connection closed after
        cut bytes of the body: inside a chunk, without the last chunk."""
        framed = b""
        for start in range(0, len(body), chunk):
            piece = body[start:start + chunk]
            header = b"%x\r\n" % len(piece)
            if start + len(piece) > cut:
                framed += header + piece[:cut - start]
                break
            framed += header + piece + b"\r\n"
        self.send_body(framed)

    def send_body(self, *parts):
        """False once the client has gone."""
        try:
            for part in parts:
                self.wfile.write(part)
            self.wfile.flush()
            return True
        except (BrokenPipeError, ConnectionResetError):
            return False

    def reply(self, status, body):
        self.send_head(status, len(body))
        self.send_body(body)

    def trickle(self, body, chunk, pause):
        for start in range(0, len(body), chunk):
            if self.site.stopping.is_set() or not self.send_body(body[start:start + chunk]):
                return False
            time.sleep(pause)
        return True

    def send_forever(self, start, filler, pause):
        try:
            self.wfile.write(start)
            while not self.site.stopping.is_set():
                self.wfile.write(filler)
                self.wfile.flush()
                if pause:
                    time.sleep(pause)
        except (BrokenPipeError, ConnectionResetError):
            pass

    def stay_silent(self):
        # Hold the connection without a byte of answer until the client
        # gives up or the server stops.
        self.connection.settimeout(0.2)
        while not self.site.stopping.is_set():
            try:
                if not self.connection.recv(4096):
                    return
            except socket.timeout:
                continue
            except OSError:
                return


class _Gathered:
    """Collects what a handler writes instead of sending it."""

    def __init__(self, stream):
        self.stream = stream
        self._parts = []

    def write(self, data):
        self._parts.append(bytes(data))
        return len(data)

    def flush(self):
        pass

    def gathered(self):
        return b"".join(self._parts)


def write_port_file(path, port):
    # Written under another name and renamed, so a reader never sees half.
    temporary = path + ".tmp"
    with open(temporary, "w") as stream:
        stream.write(f"{port}\n")
    os.replace(temporary, path)


def serve(site, handlerClass, args):
    """Serves site with handlerClass until args.time_limit has passed or a
    stop signal comes; args carries the add_serve_arguments options."""
    handler = type("SiteHandler", (handlerClass,), {"site": site})
    server = ThreadingHTTPServer(("127.0.0.1", args.port), handler)
    server.daemon_threads = True
    port = server.server_address[1]
    if args.port_file:
        write_port_file(args.port_file, port)
    print(f"PORT {port}", flush=True)
    done = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: done.set())
    signal.signal(signal.SIGINT, lambda *_: done.set())
    thread = threading.Thread(target=server.serve_forever, kwargs={"poll_interval": 0.1})
    thread.start()
    done.wait(args.time_limit)
    site.stopping.set()
    server.shutdown()
    server.server_close()
    thread.join()
    site.close()
    return 0
