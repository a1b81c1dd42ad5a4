"""The installer of a release (built into dist/ of the build tree) as the
update window and a person use it: a silent installation with the update
window's arguments into the 32-bit program folder, its entry in the list of
installed programs, the installed program started, two installations in a
row over running programs, an update that cannot be written, and a silent
uninstallation that leaves the user's settings and quote files alone. How
`make dist` (tools/dist.sh) makes releases: test releases, refused keys.
Then the whole update: `make dist` makes the next release (1.01c, from the
program built into release-1.01c/ of the build tree) with a maker's key and
a code-signing certificate made now, the installed program's update window
downloads it from the local maker's web server, its installer replaces the
program, and the new program's first start says so."""

import os
import shutil
import subprocess
import time
from pathlib import Path

import kestrom_e2e
import test_update as update
from test_settings import TASK_PREFIX, delete_evening_tasks, task_files, task_value
from kestrom_e2e import DEFAULTS_KEY, KestromProcess, SETTINGS_KEY, closed_port, wine, windows_path

CAPTION = "versie 1.00c, Kestrom"
VERSION = "1.00c"
NEXT_VERSION = "1.01c"
UPDATE_ARGUMENTS = ["/SP-", "/silent", "/noicons"]
PROGRAM_FOLDER = "C:\\Program Files (x86)\\Kestrom"
# A 32-bit installer on 64-bit Windows writes the machine's list of
# installed programs in the registry's 32-bit view.
UNINSTALL_KEY = "HKLM\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kestrom"
UNINSTALLER = "Uninstall Kestrom.exe"
# The uninstaller's name of earlier installers.
OLD_UNINSTALLER = "Uninstall.exe"
# Where an update records the program it moves aside (the machine's part of
# the registry, in the 32-bit view), until the new one is in place.
MOVED_ASIDE_KEY = kestrom_e2e.MACHINE_KEY
MOVED_ASIDE_KEY_32 = "HKLM\\Software\\Wow6432Node\\Kestrom"
MOVED_ASIDE = "Moved Aside"
DIST = kestrom_e2e.ROOT / "tools" / "dist.sh"
PLACEHOLDER_KEY = (kestrom_e2e.ROOT / "cmake" / "placeholder_maker_key.txt").read_text().strip()
# The marks of a test release in its versions list.
TEST_RELEASE_LINES = ",Kestrom versie %s (testversie),Kestrom version %s (test release)\r\n"
RELEASE_LINES = ",Kestrom versie %s,Kestrom version %s\r\n"
QUOTE_FILE = "05-12-2025.csv"
QUOTE_BYTES = b"Fonds; Serie; Laatst\r\nAEX; C DEC 2025 900,00; 12,50\r\n"


def linux_path(windows_path):
    """Where a path of the prefix's drives is on this machine."""
    out = wine("winepath", "-u", windows_path).stdout.decode("utf-8").strip()
    return Path(out)


def environment_folder(name):
    """A folder variable (%ProgramData%, %APPDATA%) of the prefix."""
    return wine("cmd", "/c", "echo", "%" + name + "%").stdout.decode("latin-1").strip()


def dist(out, tree, **settings):
    """tools/dist.sh OUT from the build tree, with these of its settings
    (KESTROM_SIGNING_KEY and the like) and none from the caller."""
    env = {name: value for name, value in os.environ.items()
           if not name.startswith(("KESTROM_SIGNING", "KESTROM_MAKER", "KESTROM_CODESIGN", "KESTROM_VERSION"))}
    env.update(settings, KESTROM_TREE=str(tree))
    return subprocess.run([str(DIST), str(out)], env=env, stdin=subprocess.DEVNULL, capture_output=True,
                          timeout=900)


def code_signing_certificate(folder):
    """A certificate authority and a code-signing certificate it issued,
    made now with openssl: {"ca": ..., "cert": ..., "key": ...}."""
    folder.mkdir(parents=True, exist_ok=True)
    files = {name: folder / (name + ".pem") for name in ("ca", "ca_key", "cert", "key", "request")}
    extensions = folder / "code_signing.cnf"
    extensions.write_text("basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\n"
                          "extendedKeyUsage=codeSigning\n")
    for command in (
            ["req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", files["ca_key"], "-out", files["ca"],
             "-days", "2", "-subj", "/CN=Kestrom test CA", "-addext", "basicConstraints=critical,CA:TRUE",
             "-addext", "keyUsage=critical,keyCertSign,cRLSign"],
            ["req", "-newkey", "rsa:2048", "-nodes", "-keyout", files["key"], "-out", files["request"],
             "-subj", "/CN=Kestrom Software"],
            ["x509", "-req", "-in", files["request"], "-CA", files["ca"], "-CAkey", files["ca_key"],
             "-CAcreateserial", "-out", files["cert"], "-days", "2", "-extfile", extensions]):
        subprocess.run(["openssl", *map(str, command)], check=True, capture_output=True, timeout=120)
    return files


def folder_contents(folder):
    """{name: bytes} of the files in folder, hidden ones too."""
    return {path.name: path.read_bytes() for path in folder.iterdir()}



def maker_public_key(key):
    """The public key of the maker's private key at key, as "Update Key" holds it."""
    return subprocess.run([str(update.SIGN), "--public-key", str(key)], check=True, capture_output=True,
                          timeout=60).stdout.decode().strip()

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

    def install(self, *arguments, installer=None, status=0):
        result = wine(installer or self.installer, *arguments, timeout=180, check=False)
        self.assertEqual(result.returncode, status, result.stderr.decode("latin-1"))

    def assert_code_signed(self, program, ca):
        """Windows' code signature of program, by the certificate ca issued."""
        result = subprocess.run(["osslsigncode", "verify", "-CAfile", str(ca), "-in", str(program)],
                                capture_output=True, timeout=120)
        self.assertEqual(result.returncode, 0, "%s: %s" % (program, (result.stdout + result.stderr).decode()))

    def next_release_tree(self):
        return kestrom_e2e.Config.exe.parent / ("release-" + NEXT_VERSION)

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
        uninstaller = PROGRAM_FOLDER + "\\" + UNINSTALLER
        command = self.registry.values(UNINSTALL_KEY)["QuietUninstallString"]
        self.assertTrue(command.startswith('"%s" ' % uninstaller))
        wine(uninstaller, *command[len(uninstaller) + 3:].split(), timeout=120)
        # The uninstaller runs on from a copy of itself in the temporary folder.
        self.assertTrue(self.wait_until(lambda: not (self.folder / UNINSTALLER).exists()
                                        and not self.registry.exists(UNINSTALL_KEY)), "uninstalled")

    def add_task(self, name, source):
        """An evening task of another user of the PC (a profile of its own),
        as the Task Scheduler keeps it, that names source as the program it
        starts."""
        profile = "HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\" + name
        self.registry.set(profile, "ProfileImagePath", "C:\\users\\" + name)
        self.addCleanup(self.registry.delete_key, profile)
        xml = self.artifacts / (name + ".xml")
        xml.write_text('<?xml version="1.0"?><Task xmlns="http://schemas.microsoft.com/windows/2004/02/mit/task">'
                       "<RegistrationInfo><Source>%s</Source></RegistrationInfo><Actions><Exec>"
                       "<Command>\"%s\"</Command><Arguments>a taak=22:00</Arguments></Exec></Actions></Task>"
                       % (source, source), encoding="utf-8")
        wine("schtasks", "/create", "/xml", windows_path(xml), "/tn", TASK_PREFIX + name)
        self.addCleanup(wine, "schtasks", "/delete", "/f", "/tn", TASK_PREFIX + name, check=False)

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

    def test_silent_install_run_install_over_the_running_program_twice_and_uninstall(self):
        # A test release's versions list announces this installer with its
        # whole kilobytes, and says what it is.
        record = self.versions_list.decode("latin-1")
        self.assertEqual(record, "Kestrom,%s,%s,%d," % (
            self.installer.name, VERSION[-1], self.installer.stat().st_size // 1024)
            + TEST_RELEASE_LINES % (VERSION, VERSION))

        # Another product's uninstaller shares the folder.
        self.folder.mkdir(parents=True)
        others = b"MZ another product's uninstaller"
        (self.folder / OLD_UNINSTALLER).write_bytes(others)
        self.install(*UPDATE_ARGUMENTS)
        self.assert_installed_program_is_the_built_one()
        self.assertTrue((self.folder / UNINSTALLER).is_file())
        self.assertEqual((self.folder / OLD_UNINSTALLER).read_bytes(), others, "not ours: it stays")
        self.assertEqual(self.shortcuts(), [], "/noicons makes no shortcut")
        entry = self.registry.values(UNINSTALL_KEY)
        uninstaller = PROGRAM_FOLDER + "\\" + UNINSTALLER
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

        # Two users' evening tasks: one starts the installed program, one a
        # copy elsewhere.
        ours, elsewhere = "S-1-5-21-7-7-7-1001", "S-1-5-21-7-7-7-1002"
        delete_evening_tasks()
        self.add_task(ours, PROGRAM_FOLDER + "\\Kestrom.exe")
        self.add_task(elsewhere, "C:\\Elders\\Kestrom.exe")

        # An installation as versions up to 1.00c left it: their uninstaller,
        # which the entry names, under the generic name.
        legacy = PROGRAM_FOLDER + "\\" + OLD_UNINSTALLER
        shutil.copyfile(self.folder / UNINSTALLER, self.folder / OLD_UNINSTALLER)
        self.registry.set(UNINSTALL_KEY, "UninstallString", '"%s"' % legacy)
        self.registry.set(UNINSTALL_KEY, "QuietUninstallString", '"%s" /S' % legacy)

        # Twice over the running program, silent but with shortcuts: each
        # program still running is moved aside under a name of its own, the
        # new one takes its place.
        running = []
        for round in (1, 2):
            process = self.start_installed("installed_kestrom_%d" % round)
            running.append((process, process.wait_window(CAPTION)))
            if round == 1:
                self.screenshot("installed_kestrom", running[0][1])
            self.install("/SP-", "/silent")
            self.assertTrue(all(process.running() for process, _ in running))
            self.assert_installed_program_is_the_built_one()
            self.assertEqual(sorted(p.name for p in self.folder.iterdir()),
                             ["Kestrom-%d.old" % n for n in range(1, round + 1)] + ["Kestrom.exe", UNINSTALLER])
        self.assertEqual([link.name for link in self.shortcuts()], ["Kestrom.lnk"])
        entry = self.registry.values(UNINSTALL_KEY)
        self.assertEqual((entry["DisplayVersion"], entry["UninstallString"]), (VERSION, '"%s"' % uninstaller))
        for process, main in running:
            self.driver.click(main, "Sluit af")
            self.assertEqual(process.exit_code(), 0)

        # The user's settings and a data folder inside the program folder.
        data_folder = PROGRAM_FOLDER + "\\Koersen\\"
        self.registry.set(DEFAULTS_KEY, "Data Path", data_folder)
        quote_file = linux_path(data_folder) / QUOTE_FILE
        quote_file.parent.mkdir()
        quote_file.write_bytes(QUOTE_BYTES)
        settings = self.registry.tree(SETTINGS_KEY)

        # The updates kept both tasks; the uninstaller removes the one that
        # starts the program it removes, and only that one.
        self.assertEqual(sorted(task_files()), [TASK_PREFIX + ours, TASK_PREFIX + elsewhere])
        # The programs moved aside go too, now that they have ended.
        self.uninstall()
        tasks = task_files()
        self.assertEqual(list(tasks), [TASK_PREFIX + elsewhere])
        self.assertEqual(task_value(tasks[TASK_PREFIX + elsewhere], "Source"), "C:\\Elders\\Kestrom.exe")
        self.assertEqual(sorted(p.name for p in self.folder.iterdir()), ["Koersen"])
        self.assertEqual(quote_file.read_bytes(), QUOTE_BYTES)
        self.assertEqual(self.shortcuts(), [])
        self.assertEqual(self.registry.tree(SETTINGS_KEY), settings)

    def moved_aside(self):
        return self.registry.values(MOVED_ASIDE_KEY_32).get(MOVED_ASIDE)

    def killed_between_the_two_renames(self, next_program):
        """What an installer leaves that ended (killed, a power cut) after
        it moved the program aside and before the new one took its place:
        no Kestrom.exe, the new program under its temporary name (here half
        written), and the record of the one moved aside."""
        self.registry.set(MOVED_ASIDE_KEY, MOVED_ASIDE, PROGRAM_FOLDER + "\\Kestrom-1.old", view32=True)
        (self.folder / "Kestrom.exe").rename(self.folder / "Kestrom-1.old")
        (self.folder / "Kestrom.new").write_bytes(next_program[:len(next_program) // 2])

    def test_an_update_that_cannot_be_written_or_was_cut_off_leaves_a_working_program(self):
        out = self.artifacts / "unwritable_update"
        shutil.rmtree(out, ignore_errors=True)
        tree = self.next_release_tree()
        result = dist(out, tree)
        self.assertEqual(result.returncode, 0, result.stderr.decode())
        next_installer = out / (out / "versions.dat").read_bytes().split(b",")[1].decode("latin-1")
        next_program = (tree / "Kestrom.exe").read_bytes()
        self.addCleanup(self.registry.delete_value, MOVED_ASIDE_KEY, MOVED_ASIDE, view32=True)
        self.install(*UPDATE_ARGUMENTS)
        installed = sorted(p.name for p in self.folder.iterdir())
        # The user's data: settings and a quote file.
        data = self.artifacts / "cut_off_update_data"
        shutil.rmtree(data, ignore_errors=True)
        data.mkdir()
        (data / QUOTE_FILE).write_bytes(QUOTE_BYTES)
        users_values = {"Data Path": windows_path(data) + "\\", "Selection": "0"}
        self.registry.change({DEFAULTS_KEY: users_values})

        def held_by_another_program():
            # Not even to be moved aside: nothing changes.
            return self.hold(self.folder / "Kestrom.exe", 120)

        def disk_full_for_the_uninstaller():
            # The new program is written, the rest is not: the old one is
            # put back.
            (self.folder / UNINSTALLER).unlink()
            os.symlink("/dev/full", self.folder / UNINSTALLER)

        def cut_off_before_and_disk_full_for_the_uninstaller():
            # The next installer puts the program moved aside back before
            # anything else: then, when it cannot finish, that is the
            # program left.
            self.killed_between_the_two_renames(next_program)
            disk_full_for_the_uninstaller()

        for fault in (held_by_another_program, disk_full_for_the_uninstaller,
                      cut_off_before_and_disk_full_for_the_uninstaller):
            with self.subTest(fault.__name__):
                holder = fault()
                self.install(*UPDATE_ARGUMENTS, installer=next_installer, status=2)
                if holder is not None:
                    holder.kill()
                    holder.wait(60)
                self.assert_installed_program_is_the_built_one()
                self.assertEqual(sorted(p.name for p in self.folder.iterdir()), installed)
                self.assertEqual(self.registry.values(UNINSTALL_KEY)["DisplayVersion"], VERSION)
                self.assertIsNone(self.moved_aside())
                process = self.start_installed("kept_after_" + fault.__name__)
                main = process.wait_window(CAPTION)
                self.driver.click(main, "Sluit af")
                self.assertEqual(process.exit_code(), 0)

        # Cut off again; the next installer finishes: the new program in
        # place, nothing left over, the user's data as it was.
        (self.folder / UNINSTALLER).unlink()
        self.killed_between_the_two_renames(next_program)
        self.install(*UPDATE_ARGUMENTS, installer=next_installer)
        self.assertEqual((self.folder / "Kestrom.exe").read_bytes(), next_program)
        self.assertEqual(sorted(p.name for p in self.folder.iterdir()), installed)
        self.assertEqual(self.registry.values(UNINSTALL_KEY)["DisplayVersion"], NEXT_VERSION)
        self.assertIsNone(self.moved_aside())
        process = self.start_installed("updated_after_a_cut_off_update")
        main = process.wait_window("versie %s, Kestrom" % NEXT_VERSION)
        self.driver.click(main, "Sluit af")
        self.assertEqual(process.exit_code(), 0)
        self.assertEqual({name: self.registry.values(DEFAULTS_KEY).get(name) for name in users_values}, users_values)
        self.assertEqual(folder_contents(data), {QUOTE_FILE: QUOTE_BYTES})

    def test_make_dist_marks_test_releases_and_refuses_keys_the_program_would_not_trust(self):
        tree = kestrom_e2e.Config.exe.parent
        out = self.artifacts / "dist"
        shutil.rmtree(out, ignore_errors=True)
        out.mkdir()
        # Another product's release, and a signature left from a signed
        # build of this installer's name.
        foreign = {"other100.exe": b"MZ other", "other100.exe.sig": b"other's signature",
                   self.installer.name + ".sig": b"an earlier build's signature"}
        for name, data in foreign.items():
            (out / name).write_bytes(data)

        result = dist(out, tree)
        self.assertEqual(result.returncode, 0, result.stderr.decode())
        self.assertIn("TEST RELEASE", result.stderr.decode())
        del foreign[self.installer.name + ".sig"]
        self.assertEqual(folder_contents(out), dict(foreign, **{
            self.installer.name: self.installer.read_bytes(), "versions.dat": self.versions_list}))
        self.assertTrue(self.versions_list.endswith((TEST_RELEASE_LINES % (VERSION, VERSION)).encode()))

        keys = self.artifacts / "dist_keys"
        keys.mkdir(exist_ok=True)
        signing = update.new_maker_key(self, keys / "maker.pem")
        other_public = maker_public_key(update.new_maker_key(self, keys / "other.pem"))
        # openssl signs and verifies with it; the program knows P-256 only.
        other_curve = keys / "secp256k1.pem"
        subprocess.run(["openssl", "ecparam", "-name", "secp256k1", "-genkey", "-noout", "-out", str(other_curve)],
                       check=True, capture_output=True, timeout=60)
        released = folder_contents(out)
        built = (tree / "Kestrom.exe").stat().st_mtime_ns
        for name, settings, reason in (
                ("another key than the signing key's", {"KESTROM_SIGNING_KEY": signing,
                                                        "KESTROM_MAKER_KEY": other_public},
                 "is not the maker's key the release is to trust"),
                ("the placeholder", {"KESTROM_SIGNING_KEY": signing, "KESTROM_MAKER_KEY": PLACEHOLDER_KEY.upper()},
                 "trusts the placeholder key"),
                ("a key without its signing key", {"KESTROM_MAKER_KEY": other_public}, "without KESTROM_SIGNING_KEY"),
                ("no signing key at all", {"KESTROM_SIGNING_KEY": str(keys / "missing.pem")}, "cannot read"),
                ("a key on another curve", {"KESTROM_SIGNING_KEY": str(other_curve)},
                 "is not a private key on the P-256 curve (prime256v1")):
            with self.subTest(name):
                result = dist(out, tree, **settings)
                self.assertNotEqual(result.returncode, 0)
                self.assertIn(reason, result.stderr.decode())
                self.assertEqual(folder_contents(out), released)
                # Refused before anything is built.
                self.assertEqual((tree / "Kestrom.exe").stat().st_mtime_ns, built)

    def test_the_update_window_installs_the_next_release(self):
        case = self.artifacts / "update_to_next_release"
        shutil.rmtree(case, ignore_errors=True)
        data = case / "data"
        data.mkdir(parents=True)

        # The maker publishes 1.01c with `make dist`: signed with the maker's
        # key (which the installed program trusts through "Update Key") and
        # with Windows' code signature of a certificate made now. The
        # release's program is built to trust that key; afterwards the tree
        # goes back to the placeholder, as the build made it.
        key = update.new_maker_key(self, case / "maker.pem")
        public_key = maker_public_key(key)
        certificate = code_signing_certificate(case / "code_signing")
        release = case / "release"
        tree = self.next_release_tree()
        self.addCleanup(subprocess.run, [str(kestrom_e2e.ROOT / "tools" / "build_windows.sh"), str(tree), "Kestrom"],
                        env={n: v for n, v in os.environ.items() if n != "KESTROM_MAKER_KEY"},
                        stdin=subprocess.DEVNULL, capture_output=True, timeout=900)
        result = dist(release, tree, KESTROM_SIGNING_KEY=key, KESTROM_CODESIGN_CERT=str(certificate["cert"]),
                      KESTROM_CODESIGN_KEY=str(certificate["key"]))
        self.assertEqual(result.returncode, 0, result.stderr.decode())
        next_list = release / "versions.dat"
        next_installer = release / next_list.read_bytes().split(b",")[1].decode("latin-1")
        self.assertEqual(sorted(p.name for p in release.iterdir()),
                         ["kestrom101.exe", "kestrom101.exe.sig", "versions.dat"])
        # The list has the signed installer's size; the maker's signature is
        # of the signed installer.
        self.assertEqual(next_list.read_bytes(), b"Kestrom,kestrom101.exe,c,%d," % (next_installer.stat().st_size // 1024)
                         + (RELEASE_LINES % (NEXT_VERSION, NEXT_VERSION)).encode())
        self.assert_code_signed(next_installer, certificate["ca"])
        public_pem = case / "maker_public.pem"
        subprocess.run(["openssl", "ec", "-in", key, "-pubout", "-out", str(public_pem)], check=True,
                       capture_output=True, timeout=60)
        subprocess.run(["openssl", "dgst", "-sha256", "-verify", str(public_pem), "-signature",
                        str(next_installer) + ".sig", str(next_installer)], check=True, capture_output=True, timeout=60)
        # The release's program trusts the key that signed it.
        self.assertIn(public_key.lower().encode(), (tree / "Kestrom.exe").read_bytes())

        self.install(*UPDATE_ARGUMENTS)
        self.assert_installed_program_is_the_built_one()
        # The companion runs from the program folder; the user's settings and
        # a data folder with an earlier quote file.
        companion = update.start_companion(self, self.folder, case / "companion.log")
        (data / QUOTE_FILE).write_bytes(QUOTE_BYTES)
        self.registry.set(DEFAULTS_KEY, "Data Path", windows_path(data) + "\\")
        self.registry.set(DEFAULTS_KEY, "Selection", "0")
        users_values = {name: self.registry.values(DEFAULTS_KEY)[name] for name in ("Data Path", "Selection")}

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
        for program in ("Kestrom.exe", UNINSTALLER):
            self.assert_code_signed(self.folder / program, certificate["ca"])
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
