#!/usr/bin/env python3
"""The local maker's web server: versions lists, installers, the web form
and home page, fault modes, the request log and its own stopping.

Runs the server as the scenarios do (a separate process on a port chosen by
the system) and reads it as the program does. Each list is also judged by
the program's documented rules (ReferenceCheck), so that a list meant to
advise an update, or to be damaged, really is one.

Accepts and ignores --exe, --driver and --artifacts (ctest passes them to
every scenario).
"""

import argparse
import os
import re
import socket
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
TOOL_DIR = os.path.join(ROOT, "tools", "maker_server")
SERVER = os.path.join(TOOL_DIR, "maker_server.py")
SIGN = os.path.join(ROOT, "tools", "sign_installer.sh")
sys.path.insert(0, TOOL_DIR)

import server_fixture  # noqa: E402
from maker_server import generated_installer  # noqa: E402
from server_fixture import USER_AGENT, ServerProcess  # noqa: E402
from versions_lists import LISTS, render  # noqa: E402

RUNNING = ("100", "c")  # "versie 1.00c"


def reference_check(text, product="Kestrom"):
    """The outcome name and the record's fields by the program's rules."""
    if text == b"Default.htm" or len(text) < 50:
        return "ListTooSmall", None
    # The record is the line whose first field is the product name.
    match = re.search(rb"(?:^|[\r\n])(" + re.escape(product.encode()) + rb",)", text)
    if not match:
        return "ProductNotFound", None
    start = match.start(1)
    end = text.find(b"\r", start)
    if end < 0:
        return "RecordDamaged", None
    rest, fields = text[start:end], []
    while rest:
        head, comma, tail = rest.partition(b",")
        fields.append(head)
        rest = tail if comma else b""
    name = fields[1] if len(fields) > 1 else b""
    if (len(fields) < 5 or not name or re.search(rb'[\\/:*?"<>|]', name) or not fields[2]
            or not fields[3].isdigit() or len(name) <= 4 or name[-4:].lower() != b".exe"):
        return "RecordDamaged", fields
    digits = re.sub(rb"[^0-9,.]", b"", name.partition(b".")[0] if b"." in name else b"").decode()
    newer = digits > RUNNING[0] or (digits == RUNNING[0] and fields[2][:1].decode() > RUNNING[1])
    return ("UpdateAdvised" if newer else "NoUpdateNeeded"), fields


class Server(ServerProcess):
    script = SERVER


class ServerTestCase(server_fixture.ServerTestCase):
    serverClass = Server


# The intent of each list, as the program must judge it.
INTENT = {
    "newer": "UpdateAdvised", "newer-rounded-up": "UpdateAdvised", "newer-letter": "UpdateAdvised",
    "replay": "UpdateAdvised", "same": "NoUpdateNeeded",
    "older": "NoUpdateNeeded", "prefix": "NoUpdateNeeded", "missing": "ProductNotFound",
    "short": "ListTooSmall", "default-htm": "ListTooSmall", "html": "ProductNotFound",
    "no-cr": "RecordDamaged", "lf-only": "RecordDamaged", "empty-letter": "RecordDamaged",
    "few-fields": "RecordDamaged", "size-nan": "RecordDamaged", "bad-name": "RecordDamaged",
    "long-lines": "UpdateAdvised", "empty": "ListTooSmall",
}


class VersionsListTest(ServerTestCase):
    def test_every_list_means_what_its_name_says(self):
        self.assertEqual(set(INTENT), set(LISTS))
        for kind, intent in INTENT.items():
            with self.subTest(kind):
                self.assertEqual(reference_check(render(kind, 48))[0], intent)
        # The server sends a list's bytes exactly.
        for kind in ("no-cr", "long-lines"):
            with self.subTest(served=kind):
                server = self.start("--list", kind)
                self.assertEqual(server.get("/versions.dat"), (200, render(kind, 48), True))

    def test_list_names_the_served_installer_and_its_size(self):
        server = self.start("--list", "newer")
        _, body, _ = server.get("/versions.dat")
        _, fields = reference_check(body)
        self.assertEqual(fields[:4], [b"Kestrom", b"kestrom101.exe", b"c", b"48"])
        status, installer, complete = server.get("/kestrom101.exe")
        self.assertEqual((status, complete), (200, True))
        self.assertEqual(installer, generated_installer())
        self.assertEqual(len(installer) // 1024, 48)
        self.assertTrue(installer.startswith(b"MZ"))
        # Another product's record comes first; its installer is served too.
        self.assertTrue(body.startswith(b"Koersgrafiek,"))
        self.assertEqual(server.get("/koersgrafiek204.exe")[0], 200)

    def test_given_installer_and_list_file(self):
        with tempfile.TemporaryDirectory() as folder:
            installer = os.path.join(folder, "setup.exe")
            with open(installer, "wb") as stream:
                stream.write(b"MZ" + b"\x90" * 5000)
            listFile = os.path.join(folder, "list.dat")
            with open(listFile, "wb") as stream:
                stream.write(b"Kestrom,kestrom105.exe,a,4,,x,y\r\n" + b"#" * 40 + b"\r\n")
            server = self.start("--list-file", listFile, "--installer", installer)
            self.assertEqual(server.get("/versions.dat")[1][:33], b"Kestrom,kestrom105.exe,a,4,,x,y\r\n")
            self.assertEqual(server.get("/kestrom105.exe")[1], b"MZ" + b"\x90" * 5000)
            # The size in a built-in list follows the given installer.
            out = os.path.join(folder, "out.dat")
            subprocess.run([sys.executable, SERVER, "list", "same", "--installer", installer, "--out", out],
                           check=True)
            with open(out, "rb") as stream:
                self.assertIn(b"Kestrom,kestrom100.exe,c,4,,", stream.read())

    def test_web_form_home_page_and_unknown_paths(self):
        server = self.start()
        status, body, _ = server.get("/mailform_n_php.php?ProgNam=Kestrom,%20versie%201.00c")
        self.assertEqual(status, 200)
        self.assertIn(b"Kestrom,%20versie%201.00c", body)
        self.assertEqual(server.get("/index_n.php")[0], 200)
        for path in ("/", "/kestrom999.exe", "/versions.dat.bak", "/..\\kestrom101.exe"):
            with self.subTest(path):
                status, body, _ = server.get(path)
                self.assertEqual(status, 404)
                self.assertNotIn(b"Kestrom", body)


class FaultTest(ServerTestCase):
    def test_status_faults_send_error_pages_of_over_a_kilobyte(self):
        for kind in ("404", "500"):
            with self.subTest(kind):
                server = self.start("--fault", kind + "@installer")
                status, body, _ = server.get("/kestrom101.exe")
                self.assertEqual(status, int(kind))
                self.assertGreater(len(body), 1024)
                self.assertFalse(body.startswith(b"MZ"))
                # The list itself is untouched by an installer fault.
                self.assertEqual(server.get("/versions.dat")[0], 200)
                server.stop()

    def test_cut_wrong_size_and_not_exe_installers(self):
        whole = generated_installer()
        server = self.start("--fault", "cut@installer")
        status, body, complete = server.get("/kestrom101.exe")
        self.assertEqual((status, complete, body), (200, False, whole[:len(whole) // 2]))

        server = self.start("--fault", "wrong-size")
        _, listBody, _ = server.get("/versions.dat")
        self.assertIn(b",48,", listBody)
        _, body, complete = server.get("/kestrom101.exe")
        self.assertTrue(complete)
        self.assertEqual(len(body), len(whole) + 3 * 1024)

        server = self.start("--fault", "not-exe")
        _, body, _ = server.get("/kestrom101.exe")
        self.assertEqual(len(body), len(whole))
        self.assertFalse(body.startswith(b"MZ"))

    def test_signatures_beside_installers(self):
        with tempfile.TemporaryDirectory() as folder:
            key = os.path.join(folder, "maker.pem")
            subprocess.run([SIGN, "--new-key", key], check=True, stdout=subprocess.DEVNULL)
            public = os.path.join(folder, "maker.pub")
            subprocess.run(["openssl", "ec", "-in", key, "-pubout", "-out", public], check=True,
                           stderr=subprocess.DEVNULL)

            def verifies(signature):
                path = os.path.join(folder, "signature")
                with open(path, "wb") as stream:
                    stream.write(signature)
                return subprocess.run(["openssl", "dgst", "-sha256", "-verify", public, "-signature", path,
                                       os.path.join(folder, "installer")], stdout=subprocess.DEVNULL,
                                      stderr=subprocess.DEVNULL).returncode == 0

            with open(os.path.join(folder, "installer"), "wb") as stream:
                stream.write(generated_installer())
            server = self.start("--key", key)
            status, signature, _ = server.get("/kestrom101.exe.sig")
            self.assertEqual(status, 200)
            self.assertTrue(verifies(signature))
            self.assertEqual(server.get("/kestrom999.exe.sig")[0], 404)

            server = self.start("--key", key, "--fault", "bad-sig")
            status, signature, _ = server.get("/kestrom101.exe.sig")
            self.assertEqual(status, 200)
            self.assertEqual(signature[0], 0x30)
            self.assertFalse(verifies(signature))
            # The installer itself is untouched by a signature fault.
            self.assertEqual(server.get("/kestrom101.exe")[1], generated_installer())

            for options in (["--key", key, "--fault", "no-sig"], []):
                with self.subTest(options):
                    server = self.start(*options)
                    self.assertEqual(server.get("/kestrom101.exe.sig")[0], 404)

    def test_once_faults_hit_only_the_first_request(self):
        server = self.start("--fault", "empty-once@list")
        self.assertEqual(server.get("/versions.dat")[:2], (200, b""))
        self.assertEqual(server.get("/versions.dat")[1], LISTS["newer"].replace("{size}", "48").encode())

        server = self.start("--fault", "silent-once@list")
        with self.assertRaises(socket.timeout):
            server.get("/versions.dat", timeout=0.5)
        self.assertEqual(server.get("/versions.dat")[0], 200)

    def test_silent_and_slow(self):
        server = self.start("--fault", "silent@list")
        with self.assertRaises(socket.timeout):
            server.get("/versions.dat", timeout=0.5)
        # Other paths still answer.
        self.assertEqual(server.get("/kestrom101.exe")[0], 200)

        server = self.start("--fault", "slow@installer", "--slow-chunk", "8192", "--slow-pause", "0.01")
        status, body, complete = server.get("/kestrom101.exe")
        self.assertEqual((status, complete, body), (200, True, generated_installer()))

    def test_unknown_faults_and_targets_are_refused(self):
        for options in (["--fault", "boom"], ["--fault", "404@nowhere"], ["--list", "nothing"]):
            with self.subTest(options):
                result = subprocess.run([sys.executable, SERVER, "serve", *options],
                                        stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=30)
                self.assertEqual(result.returncode, 2)


class ServerProcessTest(ServerTestCase):
    def test_request_log_keeps_order_path_and_user_agent(self):
        server = self.start()
        server.get("/versions.dat")
        server.get("/kestrom101.exe", userAgent="Other Agent")
        server.get("/index_n.php?x=1")
        self.assertEqual(server.log_lines(), [
            "/versions.dat\t" + USER_AGENT, "/kestrom101.exe\tOther Agent", "/index_n.php?x=1\t" + USER_AGENT])
        with open(server.portPath) as stream:
            self.assertEqual(int(stream.read()), server.port)

    def test_stops_by_itself_after_the_time_limit(self):
        server = self.start(timeLimit=0.5)
        self.assertEqual(server.process.wait(timeout=20), 0)

    def test_stops_while_a_client_waits_on_a_silent_answer(self):
        server = self.start("--fault", "silent", timeLimit=1)
        with socket.create_connection(("127.0.0.1", server.port)) as client:
            client.sendall(b"GET /versions.dat HTTP/1.1\r\nHost: x\r\n\r\n")
            self.assertEqual(server.process.wait(timeout=20), 0)

    def test_listens_on_the_loopback_address_only(self):
        server = self.start()
        addresses = {info[4][0] for info in socket.getaddrinfo(socket.gethostname(), None, socket.AF_INET)}
        for address in addresses - {"127.0.0.1"}:
            if address.startswith("127."):
                continue
            with self.subTest(address), self.assertRaises(OSError):
                socket.create_connection((address, server.port), timeout=2).close()


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    for option in ("--exe", "--driver", "--artifacts"):
        parser.add_argument(option)
    _, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)
