"""One local web server (tools/*/…_server.py serve) run as the scenarios run
it: a separate process on a port chosen by the system, with its own port
file and request log in a temporary folder, read as the program reads it.
"""

import http.client
import os
import re
import subprocess
import sys
import tempfile
import unittest

USER_AGENT = "Quillo Function: Download"


class ServerProcess:
    """One server process, stopped when the test ends; a subclass names the
    server's script."""

    script = None

    def __init__(self, *options, timeLimit=60):
        self.folder = tempfile.TemporaryDirectory()
        self.logPath = os.path.join(self.folder.name, "requests.log")
        self.portPath = os.path.join(self.folder.name, "port")
        self.process = subprocess.Popen(
            [sys.executable, self.script, "serve", "--port", "0", "--port-file", self.portPath,
             "--log", self.logPath, "--time-limit", str(timeLimit), *options],
            stdout=subprocess.PIPE, text=True)
        line = self.process.stdout.readline()
        match = re.fullmatch(r"PORT (\d+)\n", line)
        if not match:
            self.stop()
            raise AssertionError(f"server start printed {line!r}")
        self.port = int(match.group(1))

    def get(self, target, userAgent=USER_AGENT, timeout=10):
        """(status, body, complete) as a client reading to the end gets them."""
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=timeout)
        try:
            connection.request("GET", target, headers={"User-Agent": userAgent})
            response = connection.getresponse()
            try:
                return response.status, response.read(), True
            except http.client.IncompleteRead as cut:
                return response.status, cut.partial, False
        finally:
            connection.close()

    def log_lines(self):
        with open(self.logPath, "rb") as stream:
            return stream.read().decode("latin-1").splitlines()

    def stop(self):
        if self.process.poll() is None:
            self.process.terminate()
            self.process.wait(timeout=10)
        self.process.stdout.close()
        self.folder.cleanup()


class ServerTestCase(unittest.TestCase):
    serverClass = None  # the ServerProcess subclass that start() runs

    def start(self, *options, **keywords):
        server = self.serverClass(*options, **keywords)
        self.addCleanup(server.stop)
        return server
