"""The update check end to end: Kestrom.exe under Wine against the local
maker's web server, started per test on a port of its own and named by
"Update Host". Three seconds after start the program asks for the versions
list; a newer version shows the update window. The settings dialog's
"Update nu" shows every outcome. "Start Downloaden" fetches the installer
(the installer stand-in, which writes down its arguments) into
DataPath + "Temp\\"; "Installeer" starts it silently, ends the companion
program in the start directory and ends Kestrom."""

import shutil
import subprocess
import time

import kestrom_e2e
from kestrom_e2e import closed_port, windows_path

SERVER = kestrom_e2e.ROOT / "tools" / "maker_server" / "maker_server.py"

CAPTION = "versie 1.00c, Kestrom"
UPDATE_CAPTION = "Kestrom - Update"
SETTINGS_CAPTION = "Kestrom - Instellingen"
USER_AGENT = "Quillo Function: Download"
ADVICE = ["", "Een Update wordt aanbevolen", "", "Uw huidige versie is versie 1.00c",
          "De nieuwste versie is 1.01c", "De Downloadnaam is kestrom101.exe"]
DOWNLOADED = ["", "kestrom101.exe is met succes gedownload",
              "Klik \"Installeer\" om het progamma te installeren"]
# The automatic check starts at three seconds; the ping and a list that
# does not come (two attempts of two seconds) take a few more.
CHECK_SECONDS = 15


class MakerServer(kestrom_e2e.LocalServer):
    """tools/maker_server serving the versions list and the installers."""

    script = SERVER


class UpdateTest(kestrom_e2e.KestromTestCase):
    def setUp(self):
        super().setUp()
        self.case = self.artifacts / self.id().rsplit(".", 1)[-1]
        shutil.rmtree(self.case, ignore_errors=True)
        self.data = self.case / "data"
        self.data.mkdir(parents=True)
        self.registry.set(kestrom_e2e.DEFAULTS_KEY, "Data Path", windows_path(self.data) + "\\")
        self.standin = kestrom_e2e.Config.exe.parent / "installer_standin.exe"

    def maker(self, name, *options):
        server = MakerServer(self.case / name, options)
        self.addCleanup(server.stop)
        self.set_servers(closed_port(), server.port)
        return server

    def automatic_updates(self, on):
        # Stored as the settings dialog stores it.
        self.registry.set(kestrom_e2e.DEFAULTS_KEY, "Update", "1" if on else "0")

    def open_main(self):
        process = self.start_kestrom()
        return process, process.wait_window(CAPTION)

    def memo_lines(self, window):
        return self.driver.text(self.driver.child(window, cls="Edit")).split("\r\n")

    def buttons(self, window):
        """{caption: visible} of the update window's buttons."""
        return {b.text: b.visible for b in self.driver.children(window) if b.cls.lower() == "button"}

    def update_windows(self, process):
        return [w for w in self.driver.windows(pid=process.pid) if w.text == UPDATE_CAPTION]

    def close_main(self, process, window):
        self.driver.click(window, "Sluit af")
        self.assertEqual(process.exit_code(30), 0)

    def wait_advice(self, process):
        window = self.driver.wait(UPDATE_CAPTION, timeout_ms=CHECK_SECONDS * 1000, pid=process.pid)
        self.assertEqual(self.memo_lines(window), ADVICE)
        return window

    def manual_check(self, process, main):
        """Instellingen, then "Update nu": the update window with its outcome."""
        self.driver.click(main, "Instellingen")
        settings = self.driver.wait(SETTINGS_CAPTION, pid=process.pid)
        self.driver.click(settings, "Update nu")
        window = self.driver.wait(UPDATE_CAPTION, timeout_ms=CHECK_SECONDS * 1000, pid=process.pid)
        return settings, window

    def test_a_newer_version_shows_the_update_window_three_seconds_after_start(self):
        server = self.maker("maker", "--list", "newer")
        process, main = self.open_main()
        window = self.wait_advice(process)
        self.assertEqual(self.buttons(window), {"Start Downloaden": True, "Download Later": True})
        self.assertEqual(server.requests(), [("/versions.dat", USER_AGENT)])
        self.screenshot("update_advised", window)
        self.driver.click(window, "Download Later")
        self.driver.wait_gone(window, pid=process.pid)
        self.assertTrue(process.running())
        self.close_main(process, main)

    def test_nothing_appears_for_the_same_or_an_older_version_or_with_updates_off(self):
        cases = [("same version", "same", True, 1), ("older letter", "older", True, 1),
                 ("newer version, updates off", "newer", False, 0)]
        for name, kind, on, requests in cases:
            with self.subTest(name):
                server = self.maker(kind, "--list", kind)
                self.automatic_updates(on)
                process, main = self.open_main()
                if requests:
                    self.assertTrue(server.wait_requests(requests, CHECK_SECONDS))
                    # The outcome is decided once the list is in.
                    time.sleep(2)
                else:
                    time.sleep(8)
                self.assertEqual(len(server.requests()), requests)
                self.assertEqual(self.update_windows(process), [])
                self.close_main(process, main)
                process.kill()

    def test_update_nu_states_every_outcome(self):
        cases = [
            ("newer", ["--list", "newer"], ADVICE, {"Start Downloaden": True, "Download later": True}),
            ("same", ["--list", "same"], ["", "Een Update is niet nodig,", "u heeft de nieuwste versie."], None),
            ("no CR", ["--list", "no-cr"],
             ["", "Het versiebestand is beschadigd:", "de regel van het programma is niet afgesloten"], None),
            ("empty letter", ["--list", "empty-letter"],
             ["", "Het versiebestand is beschadigd:", "de versieletter ontbreekt"], None),
            ("few fields", ["--list", "few-fields"],
             ["", "Het versiebestand is beschadigd:", "de regel van het programma heeft te weinig velden"], None),
            ("size not a number", ["--list", "size-nan"],
             ["", "Het versiebestand is beschadigd:", "de grootte is geen getal"], None),
            ("short", ["--list", "short"], ["", "Het bestand is te klein"], None),
            ("Default.htm", ["--list", "default-htm"], ["", "Het bestand is te klein"], None),
            ("html page", ["--list", "html"], ["", "Programma-naam niet gevonden"], None),
            ("without the product", ["--list", "missing"], ["", "Programma-naam niet gevonden"], None),
            ("silent server", ["--fault", "silent@list"], ["", "De server reageert niet"], None),
            ("empty first answer", ["--list", "same", "--fault", "empty-once@list"],
             ["", "Een Update is niet nodig,", "u heeft de nieuwste versie."], None),
        ]
        self.automatic_updates(False)
        for name, options, lines, buttons in cases:
            with self.subTest(name):
                self.maker(name.replace(" ", "_").replace(".", "_"), *options)
                process, main = self.open_main()
                settings, window = self.manual_check(process, main)
                self.assertEqual(self.memo_lines(window), lines)
                self.assertEqual(self.buttons(window), buttons or {"Start Downloaden": False, "Sluit Venster": True})
                self.screenshot("update_nu_" + name.replace(" ", "_").replace(".", "_"), window)
                process.kill()

    def test_update_nu_without_a_server(self):
        self.automatic_updates(False)
        self.set_servers(closed_port(), closed_port())
        process, main = self.open_main()
        _, window = self.manual_check(process, main)
        self.assertEqual(self.memo_lines(window), ["", "De server reageert niet"])
        self.driver.click(window, "Sluit Venster")
        self.driver.wait_gone(window, pid=process.pid)

    def start_companion(self, folder):
        folder.mkdir(parents=True, exist_ok=True)
        companion = folder / "Kestrom_Sched.exe"
        shutil.copyfile(self.standin, companion)
        log = open(self.case / ("companion_%s.log" % folder.name), "ab")
        self.addCleanup(log.close)
        popen = subprocess.Popen([str(kestrom_e2e.WINE_RUN), str(companion), "/wait"], cwd=folder,
                                 stdin=subprocess.DEVNULL, stdout=log, stderr=subprocess.STDOUT)
        self.addCleanup(lambda: popen.poll() is None and (popen.kill(), popen.wait(30)))
        return popen

    def test_download_and_silent_installation(self):
        self.maker("maker", "--list", "newer", "--installer", str(self.standin))
        # The start directory is the artifacts folder, Kestrom's current one.
        companion = self.start_companion(self.artifacts)
        other = self.start_companion(self.case / "elsewhere")
        process, main = self.open_main()
        window = self.wait_advice(process)
        self.driver.click(window, "Start Downloaden")
        deadline = time.monotonic() + 60
        while "Installeer" not in self.buttons(window) and time.monotonic() < deadline:
            time.sleep(0.2)
        self.assertEqual(self.memo_lines(window), DOWNLOADED)
        self.assertEqual(self.buttons(window), {"Start Downloaden": False, "Installeer": True})
        gauge = [c for c in self.driver.children(window) if c.cls == "KestromGauge"]
        self.assertTrue(gauge and gauge[0].visible)
        installer = self.data / "Temp" / "kestrom101.exe"
        self.assertEqual(installer.read_bytes(), self.standin.read_bytes())
        self.screenshot("installer_downloaded", window)

        self.driver.click(window, "Installeer")
        self.assertEqual(process.exit_code(60), 0)
        arguments = self.data / "Temp" / "kestrom101.exe.args"
        deadline = time.monotonic() + 30
        while not arguments.exists() and time.monotonic() < deadline:
            time.sleep(0.2)
        self.assertEqual(arguments.read_bytes(), b"/SP- /silent /noicons")
        self.assertIsNotNone(companion.wait(30))
        self.assertIsNone(other.poll(), "the companion in another folder must survive")

    def test_a_wrong_size_installer_is_rejected_and_deleted(self):
        for fault in ("wrong-size@installer", "cut@installer", "not-exe@installer"):
            with self.subTest(fault):
                self.maker(fault.replace("@", "_"), "--list", "newer", "--fault", fault)
                process, main = self.open_main()
                window = self.wait_advice(process)
                self.driver.click(window, "Start Downloaden")
                deadline = time.monotonic() + 60
                while len(self.memo_lines(window)) != 4 and time.monotonic() < deadline:
                    time.sleep(0.2)
                lines = self.memo_lines(window)
                self.assertEqual(lines[:2], ["", "Het installatiebestand kestrom101.exe is niet goed ontvangen:"])
                self.assertEqual(lines[3], "Het bestand is verwijderd.")
                self.assertEqual(self.buttons(window), {"Start Downloaden": True, "Download Later": True})
                self.assertFalse((self.data / "Temp" / "kestrom101.exe").exists())
                self.assertTrue(process.running())
                self.close_main(process, main)
                process.kill()


if __name__ == "__main__":
    kestrom_e2e.main()
