"""The update check end to end: Kestrom.exe under Wine against the local
maker's web server, started per test on a port of its own and named by
"Update Host". Three seconds after start the program asks for the versions
list; a newer version shows the update window. The settings dialog's
"Update nu" shows every outcome. "Start Downloaden" fetches the installer
(the installer stand-in, which writes down its arguments) and its signature
into a new folder in the user's temporary folder; "Installeer" starts it
silently, ends the companion program beside Kestrom.exe and ends Kestrom.
Installers are signed with a key made for the test (tools/sign_installer.sh),
which "Update Key" of the machine names. An installer is offered only when
the version it carries is the one the list announces: the installer
stand-in carries 1.01c, as kestrom101.exe of the lists does."""

import os
import shutil
import subprocess
import time
from pathlib import Path

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
# does not come (two attempts of at most ten seconds each) take more. A
# scenario waits for its outcome until only a hang would keep it away.
CHECK_SECONDS = kestrom_e2e.HANG_BOUND
SIGN = kestrom_e2e.ROOT / "tools" / "sign_installer.sh"


class MakerServer(kestrom_e2e.LocalServer):
    """tools/maker_server serving the versions list and the installers."""

    script = SERVER


def new_maker_key(test, key, where=kestrom_e2e.MACHINE_KEY):
    """A key pair made now, its private key at key; "Update Key" under
    where (the machine's, in the 32-bit view, unless another key is given)
    names its public key until the test ends. The private key's path, for
    the server's --key."""
    public = subprocess.run([str(SIGN), "--new-key", str(key)], check=True, capture_output=True)
    machine = where == kestrom_e2e.MACHINE_KEY
    test.registry.set(where, "Update Key", public.stdout.decode().strip(), view32=machine)
    if machine:
        test.addCleanup(test.registry.delete_value, where, "Update Key", view32=True)
    return str(key)


def installer_folders():
    """The installers' own folders in Kestrom's temporary folder."""
    temp = kestrom_e2e.wine("cmd", "/c", "echo %TEMP%").stdout.decode().strip()
    drive, _, rest = temp.partition(":\\")
    folder = Path(os.environ["WINEPREFIX"]) / "dosdevices" / (drive.lower() + ":") / Path(*rest.split("\\"))
    return sorted(folder.glob("Kestrom-*"))


def memo_lines(driver, window):
    return driver.text(driver.child(window, cls="Edit")).split("\r\n")


def buttons(driver, window):
    """{caption: visible} of the update window's buttons."""
    return {b.text: b.visible for b in driver.children(window) if b.cls.lower() == "button"}


def wait_downloaded(driver, window):
    """Once "Start Downloaden" has brought the installer: the memo's lines."""
    deadline = time.monotonic() + 120
    while "Installeer" not in buttons(driver, window) and time.monotonic() < deadline:
        time.sleep(0.2)
    return memo_lines(driver, window)


def start_companion(test, folder, log):
    """The companion program, Kestrom_Sched.exe (a copy of the installer
    stand-in), started from folder; it runs until it is ended."""
    folder.mkdir(parents=True, exist_ok=True)
    companion = folder / "Kestrom_Sched.exe"
    shutil.copyfile(kestrom_e2e.Config.exe.parent / "installer_standin.exe", companion)
    out = open(log, "ab")
    test.addCleanup(out.close)
    popen = subprocess.Popen([str(kestrom_e2e.WINE_RUN), str(companion), "/wait"], cwd=folder,
                             stdin=subprocess.DEVNULL, stdout=out, stderr=subprocess.STDOUT)
    test.addCleanup(lambda: popen.poll() is None and (popen.kill(), popen.wait(30)))
    return popen


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

    def maker_key(self):
        return new_maker_key(self, self.case / "maker.pem")

    def installer_folders(self):
        return installer_folders()

    def automatic_updates(self, on):
        # Stored as the settings dialog stores it.
        self.registry.set(kestrom_e2e.DEFAULTS_KEY, "Update", "1" if on else "0")

    def open_main(self):
        process = self.start_kestrom()
        return process, process.wait_window(CAPTION)

    def memo_lines(self, window):
        return memo_lines(self.driver, window)

    def buttons(self, window):
        return buttons(self.driver, window)

    def update_windows(self, process):
        return [w for w in self.driver.windows(pid=process.pid) if w.text == UPDATE_CAPTION]

    def close_main(self, process, window):
        self.driver.click(window, "Sluit af")
        self.assertEqual(process.exit_code(), 0)

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
            ("dripping server", ["--fault", "drip@list"], ["", "De server reageert niet"], None),
            # KestromPro's record comes first; it is not Kestrom's.
            ("longer name first", ["--list", "prefix"],
             ["", "Een Update is niet nodig,", "u heeft de nieuwste versie."], None),
            ("empty first answer", ["--list", "same", "--fault", "empty-once@list"],
             ["", "Een Update is niet nodig,", "u heeft de nieuwste versie."], None),
        ]
        self.automatic_updates(False)
        # A file of the user's in Kestrom's current folder, where the ping's
        # output once went: never read, never deleted.
        users_file = self.artifacts / "tmp.txt"
        users_file.write_bytes(b"a\r\nb\r\nTime-out\r\n")
        self.addCleanup(users_file.unlink, missing_ok=True)
        for name, options, lines, buttons in cases:
            with self.subTest(name):
                self.maker(name.replace(" ", "_").replace(".", "_"), *options)
                process, main = self.open_main()
                settings, window = self.manual_check(process, main)
                self.assertEqual(self.memo_lines(window), lines)
                self.assertEqual(users_file.read_bytes(), b"a\r\nb\r\nTime-out\r\n")
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
        return start_companion(self, folder, self.case / ("companion_%s.log" % folder.name))

    def test_download_and_silent_installation(self):
        server = self.maker("maker", "--list", "newer", "--installer", str(self.standin), "--key", self.maker_key())
        before = self.installer_folders()
        # The companion is installed beside Kestrom.exe; the one in Kestrom's
        # current folder (the artifacts) is another program.
        companion = self.start_companion(kestrom_e2e.Config.exe.parent)
        self.addCleanup((kestrom_e2e.Config.exe.parent / "Kestrom_Sched.exe").unlink, missing_ok=True)
        other = self.start_companion(self.artifacts)
        process, main = self.open_main()
        window = self.wait_advice(process)
        self.driver.click(window, "Start Downloaden")
        self.assertEqual(wait_downloaded(self.driver, window), DOWNLOADED)
        self.assertEqual(self.buttons(window), {"Start Downloaden": False, "Installeer": True})
        gauge = [c for c in self.driver.children(window) if c.cls == "KestromGauge"]
        self.assertTrue(gauge and gauge[0].visible)
        self.assertEqual(server.targets(), ["/versions.dat", "/kestrom101.exe", "/kestrom101.exe.sig"])
        folders = [f for f in self.installer_folders() if f not in before]
        self.assertEqual(len(folders), 1)
        installer = folders[0] / "kestrom101.exe"
        self.addCleanup(shutil.rmtree, folders[0], ignore_errors=True)
        # Permissions of its own: Wine keeps them as the folder's mode (the
        # administrators as its group), in which others may not look.
        self.assertEqual(folders[0].stat().st_mode & 0o007, 0, oct(folders[0].stat().st_mode))
        self.assertEqual(installer.read_bytes(), self.standin.read_bytes())
        self.assertFalse((self.data / "Temp").exists())
        self.screenshot("installer_downloaded", window)

        self.driver.click(window, "Installeer")
        self.assertEqual(process.exit_code(), 0)
        arguments = folders[0] / "kestrom101.exe.args"
        deadline = time.monotonic() + 30
        while not arguments.exists() and time.monotonic() < deadline:
            time.sleep(0.2)
        self.assertEqual(arguments.read_bytes(), b"/SP- /silent /noicons")
        self.assertIsNotNone(companion.wait(30))
        self.assertIsNone(other.poll(), "the companion in another folder must survive")

    def test_installeer_refuses_a_folder_with_company_or_a_start_the_user_could_redirect(self):
        """The window may wait for hours before "Installeer": a file put
        beside the installer then, or a class of the user's own that would
        have the elevated start run another command, refuses the start.
        Nothing is started, the installer is deleted, the window says why."""
        key = self.maker_key()
        redirected = self.case / "redirected.exe"
        shutil.copyfile(self.standin, redirected)
        classes = "HKCU\\Software\\Classes\\"
        redirect = "Het register van de gebruiker leidt de start van programma's om"
        cases = [("a file beside the installer", None, None, "Naast het installatiebestand staan andere bestanden"),
                 ("the user's runas of programs", "exefile", "exefile\\shell\\runas\\command",
                  '"%s" "%%1" %%*' % windows_path(redirected)),
                 ("the user's class of programs", ".exe", ".exe", "kestromfile")]
        for name, own, key_path, data in cases:
            with self.subTest(name):
                before = self.installer_folders()
                self.maker(name.replace(" ", "_").replace("'", ""), "--list", "newer",
                           "--installer", str(self.standin), "--key", key)
                process, main = self.open_main()
                window = self.wait_advice(process)
                self.driver.click(window, "Start Downloaden")
                self.assertEqual(wait_downloaded(self.driver, window), DOWNLOADED)
                folders = [f for f in self.installer_folders() if f not in before]
                self.assertEqual(len(folders), 1)
                self.addCleanup(shutil.rmtree, folders[0], ignore_errors=True)
                if own is None:
                    (folders[0] / "version.dll").write_bytes(b"MZ planted")
                    reason = data
                else:
                    self.addCleanup(self.registry.delete_key, classes + own)
                    kestrom_e2e.wine("reg", "add", classes + key_path, "/ve", "/d", data, "/f")
                    reason = redirect
                self.driver.click(window, "Installeer")
                deadline = time.monotonic() + 60
                while self.memo_lines(window)[-1] != "Het bestand is verwijderd." and time.monotonic() < deadline:
                    time.sleep(0.2)
                self.assertEqual(self.memo_lines(window), DOWNLOADED + [
                    "", "De installatie van Kestrom wordt gestart.", reason, "Installatie is mislukt.",
                    "Het bestand is verwijderd."])
                self.assertEqual(self.buttons(window), {"Start Downloaden": True, "Sluit Venster": True})
                self.screenshot("installer_start_refused_" + name.replace(" ", "_").replace("'", ""), window)
                self.assertFalse((folders[0] / "kestrom101.exe").exists())
                if own is None:
                    self.assertEqual((folders[0] / "version.dll").read_bytes(), b"MZ planted", "not the program's")
                else:
                    self.registry.delete_key(classes + own)
                self.assertTrue(process.running())
                self.close_main(process, main)
                process.kill()
                # Never started, by its own path or by the user's command.
                self.assertEqual([a.name for f in (folders[0], self.case) for a in f.glob("*.args")], [])
                shutil.rmtree(folders[0], ignore_errors=True)

    def test_a_wrong_size_or_unsigned_installer_is_rejected_and_deleted(self):
        key = self.maker_key()
        before = self.installer_folders()
        cases = [("wrong-size@installer", "Meer ontvangen dan verwacht: 48 KB"),
                 ("cut@installer", "De download is afgebroken: 24 van 48 KB ontvangen"),
                 ("not-exe@installer", "Het bestand is geen programma"),
                 ("no-sig@signature", "De handtekening van de maker ontbreekt"),
                 ("bad-sig@signature", "De handtekening van de maker klopt niet"),
                 # Whole, a kilobyte under a list that rounds up: only the
                 # transfer could say that it broke off.
                 ("bad-sig@signature", "De handtekening van de maker klopt niet", "newer-rounded-up"),
                 # The maker's key of the current user's registry, which any
                 # program of the user's can write, is no key at all.
                 ("user's key", "De handtekening van de maker klopt niet")]
        for fault, reason, *kind in cases:
            with self.subTest(fault, list=kind):
                if "@" in fault:
                    options = ["--key", key, "--fault", fault]
                else:
                    self.registry.delete_value(kestrom_e2e.MACHINE_KEY, "Update Key", view32=True)
                    options = ["--key", new_maker_key(self, self.case / "users.pem", kestrom_e2e.DEFAULTS_KEY)]
                kind = kind[0] if kind else "newer"
                self.maker("_".join([fault.replace("@", "_").replace("'", "").replace(" ", "_"), kind]),
                           "--list", kind, *options)
                process, main = self.open_main()
                window = self.wait_advice(process)
                self.driver.click(window, "Start Downloaden")
                deadline = time.monotonic() + 60
                while len(self.memo_lines(window)) != 4 and time.monotonic() < deadline:
                    time.sleep(0.2)
                self.assertEqual(self.memo_lines(window), [
                    "", "Het installatiebestand kestrom101.exe is niet goed ontvangen:", reason,
                    "Het bestand is verwijderd."])
                self.assertEqual(self.buttons(window), {"Start Downloaden": True, "Download Later": True})
                self.assertEqual(self.installer_folders(), before)
                self.screenshot("installer_rejected_%s_%s" % (fault.partition("@")[0], kind), window)
                self.assertTrue(process.running())
                self.close_main(process, main)
                process.kill()

    def test_a_signed_release_is_offered_only_as_the_version_it_carries(self):
        """The maker's genuine, signed installers of the build, announced as
        other versions than their own: the running release's as a much newer
        one (its signature would install it again for ever), the next
        release's as another one."""
        build = kestrom_e2e.Config.exe.parent
        releases = {"1.00c": build / "dist" / "kestrom100.exe",
                    "1.01c": build / "release-1.01c" / "dist" / "kestrom101.exe"}
        if not all(path.is_file() for path in releases.values()):
            self.skipTest("makensis is missing, so the build made no release installers")
        key = self.maker_key()
        before = self.installer_folders()
        cases = [("replay", "kestrom199.exe", "1.99z", "1.00c"), ("newer-letter", "kestrom100.exe", "1.00d", "1.01c")]
        for kind, name, announced, carried in cases:
            with self.subTest(announced=announced, carried=carried):
                server = self.maker(kind, "--list", kind, "--installer", str(releases[carried]), "--key", key)
                process, main = self.open_main()
                window = self.driver.wait(UPDATE_CAPTION, timeout_ms=CHECK_SECONDS * 1000, pid=process.pid)
                self.assertEqual(self.memo_lines(window)[4:], ["De nieuwste versie is " + announced,
                                                               "De Downloadnaam is " + name])
                self.driver.click(window, "Start Downloaden")
                deadline = time.monotonic() + 120
                while len(self.memo_lines(window)) != 4 and time.monotonic() < deadline:
                    time.sleep(0.2)
                self.assertEqual(self.memo_lines(window), [
                    "", "Het installatiebestand %s wordt niet aangeboden:" % name,
                    "Het bestand is versie %s, niet de aangekondigde %s" % (carried, announced),
                    "Het bestand is verwijderd."])
                self.assertEqual(self.buttons(window), {"Start Downloaden": True, "Download Later": True})
                # Its signature held: only then is its version read.
                self.assertEqual(server.targets(), ["/versions.dat", "/" + name, "/%s.sig" % name])
                self.assertEqual(self.installer_folders(), before)
                self.screenshot("release_not_offered_" + kind, window)
                self.close_main(process, main)
                process.kill()

    def test_closing_kestrom_ends_a_download_that_drips(self):
        server = self.maker("maker", "--list", "newer", "--key", self.maker_key(), "--fault", "drip@installer")
        before = self.installer_folders()
        process, main = self.open_main()
        window = self.wait_advice(process)
        self.driver.click(window, "Start Downloaden")
        self.assertTrue(server.wait_requests(2, 30))
        # 48 KiB at a byte a second would take half a day.
        self.close_main(process, main)
        self.assertEqual(self.installer_folders(), before)


if __name__ == "__main__":
    kestrom_e2e.main()
