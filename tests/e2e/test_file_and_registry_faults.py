"""File and registry faults, end to end: a data folder that is missing or
cannot be written, a quote file another program holds open, a full disk,
an over-long "Data Path", and settings of the wrong type or out of range.
The program never crashes, an automatic run ends by itself with an exit
code that tells what happened, an earlier quote file of the day survives,
the new quotes are kept beside a day's file that cannot be replaced, the
memo says where they are or why nothing was written, and the run log says
what happened. The download machinery is that of test_download."""

import os
import re
import subprocess
import time

import kestrom_e2e
from kestrom_e2e import windows_path, wine
from test_download import (CAPTION, COMPLETE, DONE, EARLIER_FILE, FILE_FAILURE, NOT_IN_PLACE, DownloadTestCase,
                           beside_name, expected_file, partial_name, quote_file_names, run_log_line_pattern, run_log_lines)

WRITTEN_IN = "Ze zijn geschreven in: "
MAIN_KEY = kestrom_e2e.SETTINGS_KEY + "\\Main"


HELD_OPEN = "het is geopend in een ander programma ("


def fallback_log():
    """The run log in the user's local application data folder, where a run
    whose data folder cannot be written puts its line."""
    logs = list((kestrom_e2e.wine_prefix() / "drive_c" / "users").glob("*/AppData/Local/Kestrom/Kestrom.log"))
    return logs[0] if logs else None


class FileFaultTest(DownloadTestCase):
    def test_file_faults_end_the_run_with_a_reason_and_keep_the_earlier_file(self):
        def missing(data):
            folder = data / "nieuw" / "dieper"
            return windows_path(folder) + "\\", {"folder": folder}

        def a_file_in_the_way(data):
            (data / "bestand").write_bytes(b"no folder")
            return windows_path(data / "bestand") + "\\", {}

        def no_such_drive(data):
            return "Q:\\Koersen\\", {}

        def three_hundred_characters(data):
            folder = windows_path(data) + "\\"
            return folder + "k" * (299 - len(folder)) + "\\", {}

        # As a spreadsheet that shows the day's file holds it.
        def held_by_a_spreadsheet(data):
            earlier = self.write_earlier_file(data)
            self.hold(earlier, 240, read_only=True)
            return windows_path(data) + "\\", {"earlier": earlier, "folder": data}

        # The run's writes go to its work file; every earlier file stays.
        def disk_full(data):
            earlier = self.write_earlier_file(data)
            for name in quote_file_names():
                os.symlink("/dev/full", data / (name + ".tmp"))
            return windows_path(data) + "\\", {"earlier": earlier, "folder": data}

        cases = [
            # name, data path, exit code, what must be on disk afterwards
            ("missing folder", missing, COMPLETE, "written"),
            ("a file in the way", a_file_in_the_way, FILE_FAILURE, None),
            ("no such drive", no_such_drive, FILE_FAILURE, None),
            ("300 characters", three_hundred_characters, FILE_FAILURE, None),
            ("held by a spreadsheet", held_by_a_spreadsheet, NOT_IN_PLACE, "beside"),
            ("disk full", disk_full, FILE_FAILURE, "earlier"),
        ]
        log = fallback_log()
        fallback_before = set(log.read_bytes().decode("latin-1").split("\r\n")) if log else set()
        # All at once, each an automatic run with its own server and folder.
        runs = [self.start_automatic(name.replace(" ", "_"), selection="0", data_path=data_path)
                for name, data_path, _, _ in cases]
        self.finish(runs, kestrom_e2e.HANG_BOUND)
        for (name, _, exit_code, holds), run in zip(cases, runs):
            with self.subTest(name):
                self.assertIsNotNone(run.exit_code, "still running")
                self.assertEqual(run.exit_code, exit_code)
                if holds == "written":
                    self.assertEqual(self.the_quote_file(run.extra["folder"]).read_bytes(),
                                     expected_file(selection=False))
                if holds in ("earlier", "beside"):
                    folder, earlier = run.extra["folder"], run.extra["earlier"]
                    self.assertEqual(earlier.read_bytes(), EARLIER_FILE)
                    beside = folder / beside_name(earlier.name)
                    files = [earlier.name, "Kestrom.log"] + ([beside.name] if holds == "beside" else [])
                    # The stand-ins of a full disk stay: Wine deletes no link
                    # to a device, as the run tries to with its work file.
                    files += [name + ".tmp" for name in quote_file_names() if holds == "earlier"]
                    self.assertEqual(sorted(p.name for p in folder.iterdir()), sorted(files))
                if holds == "beside":
                    self.assertEqual(beside.read_bytes(), expected_file(selection=False))
                    [line] = run_log_lines(folder)
                    self.assertRegex(line, run_log_line_pattern(
                        re.escape(beside.name) + r", \d+ regels \("
                        + re.escape(earlier.name + " kon niet worden vervangen: " + HELD_OPEN) + r".*\)",
                        "3 fondsen met alle koersen, 0 zonder", NOT_IN_PLACE, "koersen niet onder de naam van de dag"))
                if holds == "earlier":
                    [line] = run_log_lines(folder)
                    self.assertRegex(line, run_log_line_pattern(
                        "niets geschreven: .+", "3 fondsen met alle koersen, 0 zonder", FILE_FAILURE,
                        "koersbestand niet geschreven"))
        # Where the data folder cannot be written, the line goes to the
        # user's own folder, naming the data folder.
        log = fallback_log()
        self.assertIsNotNone(log)
        added = "\r\n".join(set(log.read_bytes().decode("latin-1").split("\r\n")) - fallback_before)
        self.assertIn("; exitcode 3 koersbestand niet geschreven; ", added)
        self.assertIn("; gegevensmap Q:\\Koersen\\ niet beschrijfbaar: ", added)

    # A program that holds the day's file without sharing it keeps it from
    # being read: the file is kept as it is (its quotes are unknown), and
    # the new ones go under the partial name.
    def test_the_memo_tells_where_the_quotes_went_and_why(self):
        server = self.server("memo")
        data = self.data_folder("memo")
        self.configure(server.host, data, selection="0")
        earlier = self.write_earlier_file(data)
        partial = data / partial_name(earlier.name)
        process, window, memo, status = self.open_main()
        holder = self.hold(earlier, 120)
        self.assertEqual(self.press_download(window, status), DONE)
        lines = self.memo_lines(memo)
        self.assertEqual(lines[-2], WRITTEN_IN + partial.name, lines)
        self.assertTrue(lines[-1].startswith(earlier.name + " kon niet worden gelezen en is gebleven zoals het was: "
                                             + HELD_OPEN), lines)
        self.assertEqual(earlier.read_bytes(), EARLIER_FILE)
        self.assertEqual(partial.read_bytes(), expected_file(selection=False))
        self.screenshot("file_held_by_another_program", window)

        # Once the other program lets go, the next run writes the file.
        holder.kill()
        holder.wait(60)
        time.sleep(1)
        self.assertEqual(self.press_download(window, status), DONE)
        self.assertEqual(self.memo_lines(memo)[-1], WRITTEN_IN + earlier.name)
        self.assertEqual(earlier.read_bytes(), expected_file(selection=False))
        self.driver.click(window, "Sluit af")
        self.assertEqual(process.exit_code(), 0)


class RegistryFaultTest(DownloadTestCase):
    def test_settings_of_the_wrong_type_or_out_of_range_give_the_defaults(self):
        server = self.server("registry")
        data = self.data_folder("registry")
        self.configure(server.host, data)
        # Binary values where "1"/"0" belong, a position beyond every screen
        # and a number that does not parse.
        for name, binary in (("Update", "01ff"), ("Selection", "00")):
            wine("reg", "add", kestrom_e2e.DEFAULTS_KEY, "/v", name, "/t", "REG_BINARY", "/d", binary, "/f")
        self.registry.set(MAIN_KEY, "Top", 99999)
        self.registry.set(MAIN_KEY, "Left", 99999)
        self.registry.set(kestrom_e2e.SETTINGS_KEY + "\\Config", "Top", "1e9")

        process, window, memo, status = self.open_main()
        # A window placed beyond every screen comes where a first run puts it.
        geometry = self.driver.geometry(window)
        self.assertEqual((geometry.rect.left, geometry.rect.top), (100, 100))
        self.driver.click(window, "Instellingen")
        settings = self.driver.wait("Kestrom - Instellingen", pid=process.pid)
        checks = {c.text: c.checked for c in self.driver.children(settings)}
        self.assertTrue(checks["Automatische Updates Aan"])
        self.assertTrue(checks["Alle opties"])
        self.driver.click(settings, "Annuleren")
        self.driver.wait_gone(settings, pid=process.pid)
        # The run uses the defaults: every option, into the data folder.
        self.assertEqual(self.press_download(window, status), DONE)
        self.assertEqual(self.the_quote_file(data).read_bytes(), expected_file())
        self.driver.click(window, "Sluit af")
        self.assertEqual(process.exit_code(), 0)

    def test_a_data_path_of_the_wrong_type_falls_back_on_the_user_folder(self):
        wine("reg", "add", kestrom_e2e.DEFAULTS_KEY, "/v", "Data Path", "/t", "REG_DWORD", "/d", "7", "/f")
        process = self.start_kestrom()
        window = process.wait_window(CAPTION)
        self.assertTrue(process.running())
        stored = self.registry.values(kestrom_e2e.DEFAULTS_KEY)["Data Path"]
        self.assertTrue(stored.endswith("\\UserData\\Kestrom\\"), stored)
        self.driver.click(window, "Sluit af")
        self.assertEqual(process.exit_code(), 0)


if __name__ == "__main__":
    kestrom_e2e.main()
