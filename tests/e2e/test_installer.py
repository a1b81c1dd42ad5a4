"""The installer of a release (built into dist/ of the build tree) as the
update window and a person use it: a silent installation with the update
window's arguments into the 32-bit program folder, its entry in the list of
installed programs, the installed program started, a second installation
over the running program, and a silent uninstallation that leaves the
user's settings and quote files alone. Then the whole update: the installed
program's update window downloads the next release (1.01c, built from the
same sources into release-1.01c/ of the build tree) from the local maker's
web server, its installer replaces the program, and the new program's first
start says so."""

import shutil
import subprocess
import time
from pathlib import Path

import kestrom_e2e
import test_update as update
from kestrom_e2e import DEFAULTS_KEY, KestromProcess, SETTINGS_KEY, closed_port, wine, windows_path

CAPTION = "versie 1.00c, Kestrom"
VERSION = "1.00c"
NEXT_VERSION = "1.01c"
UPDATE_ARGUMENTS = ["/SP-", "/silent", "/noicons"]
PROGRAM_FOLDER = "C:\\Program Files (x86)\\Kestrom"
# A 32-bit installer on 64-bit Windows writes the machine's list of
# installed programs in the registry's 32-bit view.
UNINSTALL_KEY = "HKLM\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kestrom"
QUOTE_FILE = "05-12-2025.csv"
QUOTE_BYTES = b"Fonds; Serie; Laatst\r\nAEX; C DEC 2025 900,00; 12,50\r\n"


def linux_path(windows_path):
    """Where a path of the prefix's drives is on this machine."""
    out = wine("winepath", "-u", windows_path).stdout.decode("utf-8").strip()
    return Path(out)


def environment_folder(name):
    """A folder variable (%ProgramData%, %APPDATA%) of the prefix."""
    return wine("cmd", "/c", "echo", "%" + name + "%").stdout.decode("latin-1").strip()


class InstallerTest(kestrom_e2e.KestromTestCase):
    def setUp(self):
        if shutil.which("makensis") is None:
            self.skipTest("makensis is missing (Debian's nsis package; tools/install_deps.sh installs it), "
                          "so the build made no installer")
        super().setUp()
        dist = kestrom_e2e.Config.exe.parent / "dist"
        self.versions_list = (dist / "versions.dat").read_bytes()
        # The installer is the one the versions list names.
        self.installer = dist / self.versions_list.split(b",")[1].decode("latin-1")
        self.folder = linux_path(PROGRAM_FOLDER)
        self.shortcut_folders = [
            linux_path(environment_folder(variable) + "\\Microsoft\\Windows\\Start Menu\\Programs")
            for variable in ("ProgramData", "APPDATA")]
        self.remove_installation()
        self.addCleanup(self.remove_installation)

    def remove_installation(self):
        """No trace of an earlier run: program folder, list entry, shortcuts."""
        shutil.rmtree(self.folder, ignore_errors=True)
        self.registry.delete_key(UNINSTALL_KEY)
        for shortcut in self.shortcuts():
            shortcut.unlink()

    def shortcuts(self):
        return [link for folder in self.shortcut_folders for link in folder.glob("Kestrom*.lnk")]

    def install(self, *arguments):
        result = wine(self.installer, *arguments, timeout=180, check=False)
        self.assertEqual(result.returncode, 0, result.stderr.decode("latin-1"))

    def assert_installed_program_is_the_built_one(self):
        self.assertEqual((self.folder / "Kestrom.exe").read_bytes(), kestrom_e2e.Config.exe.read_bytes())

    def start_installed(self, log_name):
        process = KestromProcess(self.driver, self.folder / "Kestrom.exe", [], self.artifacts,
                                 self.artifacts / (log_name + ".log"))
        self.addCleanup(process.kill)
        return process

    def uninstall(self):
        """As the list of installed programs does it, silently; returns once
        the uninstaller is done."""
        uninstaller = PROGRAM_FOLDER + "\\Uninstall.exe"
        command = self.registry.values(UNINSTALL_KEY)["QuietUninstallString"]
        self.assertTrue(command.startswith('"%s" ' % uninstaller))
        wine(uninstaller, *command[len(uninstaller) + 3:].split(), timeout=120)
        # The uninstaller runs on from a copy of itself in the temporary folder.
        self.assertTrue(self.wait_until(lambda: not (self.folder / "Uninstall.exe").exists()
                                        and not self.registry.exists(UNINSTALL_KEY)), "uninstalled")

    def wait_until(self, condition, timeout=60):
        deadline = time.monotonic() + timeout
        while not condition() and time.monotonic() < deadline:
            time.sleep(0.5)
        return condition()

    def wait_button(self, window, caption):
        """The enabled button captioned caption (mnemonic '&' left out) of
        the installer's window, once its page shows it."""
        def found():
            return [c for c in self.driver.children(window) if c.cls.lower() == "button" and c.visible
                    and c.enabled and c.text.replace("&", "") == caption]
        self.assertTrue(self.wait_until(found, timeout=30), "no button %r" % caption)
        return found()[0]

    def test_without_arguments_an_ordinary_installer_in_dutch(self):
        log = open(self.artifacts / "interactive_installer.log", "wb")
        self.addCleanup(log.close)
        installer = subprocess.Popen([str(kestrom_e2e.WINE_RUN), str(self.installer)], stdin=subprocess.DEVNULL,
                                     stdout=log, stderr=subprocess.STDOUT)
        self.addCleanup(installer.wait, 30)
        self.addCleanup(wine, "taskkill", "/f", "/im", self.installer.name, check=False)
        window = self.driver.wait("Kestrom %s-installatie" % VERSION, exe=self.installer.name)
        texts = [c.text for c in self.driver.children(window) if c.visible]
        self.assertIn("Welkom bij de Kestrom %s-installatiewizard" % VERSION, texts)
        self.screenshot("installer_welcome", window)
        self.driver.click(self.wait_button(window, "Volgende >"))
        self.wait_button(window, "Installeren")
        folder = [c for c in self.driver.children(window) if c.cls.lower() == "edit" and c.visible]
        self.assertEqual([self.driver.text(c) for c in folder], [PROGRAM_FOLDER])
        self.assertFalse(self.folder.exists(), "nothing installed before the question is answered")
        self.driver.click(self.wait_button(window, "Installeren"))
        self.driver.click(self.wait_button(window, "Voltooien"))
        self.assertEqual(installer.wait(timeout=60), 0)
        self.assert_installed_program_is_the_built_one()
        self.assertEqual([link.name for link in self.shortcuts()], ["Kestrom.lnk"])
        self.assertEqual(self.registry.values(UNINSTALL_KEY)["DisplayVersion"], VERSION)

    def test_silent_install_run_install_over_the_running_program_and_uninstall(self):
        # The versions list announces this installer with its whole kilobytes.
        record = self.versions_list.decode("latin-1")
        self.assertEqual(record, "Kestrom,%s,%s,%d,,Kestrom versie %s,Kestrom version %s\r\n" % (
            self.installer.name, VERSION[-1], self.installer.stat().st_size // 1024, VERSION, VERSION))

        self.install(*UPDATE_ARGUMENTS)
        self.assert_installed_program_is_the_built_one()
        self.assertTrue((self.folder / "Uninstall.exe").is_file())
        self.assertEqual(self.shortcuts(), [], "/noicons makes no shortcut")
        entry = self.registry.values(UNINSTALL_KEY)
        uninstaller = PROGRAM_FOLDER + "\\Uninstall.exe"
        installed_kb = sum(f.stat().st_size for f in self.folder.iterdir()) // 1024
        self.assertEqual({name: value for name, value in entry.items() if name != "EstimatedSize"}, {
            "DisplayName": "Kestrom",
            "DisplayVersion": VERSION,
            "Publisher": "Kestrom Software",
            "DisplayIcon": PROGRAM_FOLDER + "\\Kestrom.exe,0",
            "InstallLocation": PROGRAM_FOLDER,
            "UninstallString": '"%s"' % uninstaller,
            "QuietUninstallString": '"%s" /S' % uninstaller,
            "NoModify": 1,
            "NoRepair": 1,
        })
        self.assertIn(entry["EstimatedSize"], (installed_kb, installed_kb + 1))

        process = self.start_installed("installed_kestrom")
        main = process.wait_window(CAPTION)
        self.screenshot("installed_kestrom", main)

        # Over the running program, silent but with shortcuts this time: the
        # program still running is moved aside, the new one takes its place.
        self.install("/SP-", "/silent")
        self.assertTrue(process.running())
        self.assert_installed_program_is_the_built_one()
        self.assertTrue((self.folder / "Kestrom.old").is_file(), "the running program moved aside")
        self.assertEqual([link.name for link in self.shortcuts()], ["Kestrom.lnk"])
        self.assertEqual(self.registry.values(UNINSTALL_KEY)["DisplayVersion"], VERSION)
        self.driver.click(main, "Sluit af")
        self.assertEqual(process.exit_code(), 0)

        # The user's settings and a data folder inside the program folder.
        data_folder = PROGRAM_FOLDER + "\\Koersen\\"
        self.registry.set(DEFAULTS_KEY, "Data Path", data_folder)
        quote_file = linux_path(data_folder) / QUOTE_FILE
        quote_file.parent.mkdir()
        quote_file.write_bytes(QUOTE_BYTES)
        settings = self.registry.tree(SETTINGS_KEY)

        self.uninstall()
        self.assertEqual(sorted(p.name for p in self.folder.iterdir()), ["Koersen"])
        self.assertEqual(quote_file.read_bytes(), QUOTE_BYTES)
        self.assertEqual(self.shortcuts(), [])
        self.assertEqual(self.registry.tree(SETTINGS_KEY), settings)

    def test_the_update_window_installs_the_next_release(self):
        release = kestrom_e2e.Config.exe.parent / ("release-" + NEXT_VERSION)
        next_list = release / "dist" / "versions.dat"
        next_installer = next_list.parent / next_list.read_bytes().split(b",")[1].decode("latin-1")
        self.assertEqual(next_installer.name, "kestrom101.exe")
        self.install(*UPDATE_ARGUMENTS)
        self.assert_installed_program_is_the_built_one()

        # The companion runs from the program folder; the user's settings and
        # a data folder with an earlier quote file.
        case = self.artifacts / "update_to_next_release"
        shutil.rmtree(case, ignore_errors=True)
        data = case / "data"
        data.mkdir(parents=True)
        companion = update.start_companion(self, self.folder, case / "companion.log")
        (data / QUOTE_FILE).write_bytes(QUOTE_BYTES)
        self.registry.set(DEFAULTS_KEY, "Data Path", windows_path(data) + "\\")
        self.registry.set(DEFAULTS_KEY, "Selection", "0")
        users_values = {name: self.registry.values(DEFAULTS_KEY)[name] for name in ("Data Path", "Selection")}

        # The maker publishes 1.01c: its versions list, installer and signature.
        key = update.new_maker_key(self, case / "maker.pem")
        server = update.MakerServer(case / "maker", ["--list-file", str(next_list),
                                                     "--installer", str(next_installer), "--key", key])
        self.addCleanup(server.stop)
        self.set_servers(closed_port(), server.port)
        before = update.installer_folders()

        process = self.start_installed("installed_kestrom_updating")
        process.wait_window(CAPTION)
        window = self.driver.wait(update.UPDATE_CAPTION, timeout_ms=update.CHECK_SECONDS * 1000, pid=process.pid)
        self.assertEqual(update.memo_lines(self.driver, window), update.ADVICE)
        self.driver.click(window, "Start Downloaden")
        self.assertEqual(update.wait_downloaded(self.driver, window), update.DOWNLOADED)
        self.assertEqual(server.targets(), ["/versions.dat", "/kestrom101.exe", "/kestrom101.exe.sig"])
        downloads = [f for f in update.installer_folders() if f not in before]
        self.assertEqual(len(downloads), 1)
        self.addCleanup(shutil.rmtree, downloads[0], ignore_errors=True)
        self.assertEqual((downloads[0] / next_installer.name).read_bytes(), next_installer.read_bytes())
        self.screenshot("update_to_next_release_downloaded", window)

        self.driver.click(window, "Installeer")
        self.assertEqual(process.exit_code(), 0)
        self.assertIsNotNone(companion.wait(30), "the companion is ended")
        # The installer works on after Kestrom has ended.
        self.assertTrue(self.wait_until(
            lambda: not self.driver.processes(exe=next_installer.name)
            and self.registry.values(UNINSTALL_KEY).get("DisplayVersion") == NEXT_VERSION, timeout=180),
            "the installer of %s is done" % NEXT_VERSION)
        self.assertEqual((self.folder / "Kestrom.exe").read_bytes(), (release / "Kestrom.exe").read_bytes())
        self.assertEqual(self.shortcuts(), [], "/noicons makes no shortcut")

        # Its first start says that the update took, and removes the
        # installer's folder it no longer needs; nothing of it is left.
        process = self.start_installed("installed_next_release")
        main = process.wait_window("versie %s, Kestrom" % NEXT_VERSION)
        memo = update.memo_lines(self.driver, main)
        self.assertEqual(memo[-2:], ["", "De update naar versie %s is gelukt." % NEXT_VERSION], memo)
        self.assertFalse(downloads[0].exists(), "the installer's folder is removed")
        self.assertEqual(self.registry.tree(SETTINGS_KEY + "\\Update"), {})
        self.screenshot("installed_next_release", main)
        self.driver.click(main, "Sluit af")
        self.assertEqual(process.exit_code(), 0)
        self.assertEqual({name: self.registry.values(DEFAULTS_KEY)[name] for name in users_values}, users_values)
        self.assertEqual(sorted(p.name for p in data.iterdir()), [QUOTE_FILE])
        self.assertEqual((data / QUOTE_FILE).read_bytes(), QUOTE_BYTES)

        # The companion is not the installer's: it goes with the test.
        (self.folder / "Kestrom_Sched.exe").unlink()
        settings = self.registry.tree(SETTINGS_KEY)
        self.uninstall()
        self.assertFalse(self.folder.exists())
        self.assertEqual(self.registry.tree(SETTINGS_KEY), settings)
        self.assertEqual((data / QUOTE_FILE).read_bytes(), QUOTE_BYTES)


if __name__ == "__main__":
    kestrom_e2e.main()
