"""The settings as the registry keeps them across program runs: the window
positions and the data folder written at the end of a run, and read again
at the next start; the settings dialog and its folder browser as the user
works them."""

import os
import re
import shutil
import time
from pathlib import Path

import kestrom_e2e
from kestrom_e2e import SETTINGS_KEY, wine

CAPTION = "versie 1.00c, Kestrom"
SETTINGS_CAPTION = "Kestrom - Instellingen"
BROWSE_CAPTION = "Kestrom - Bladeren"
ASK_CAPTION = "Kestrom"
MAIN_KEY = SETTINGS_KEY + "\\Main"
CONFIG_KEY = SETTINGS_KEY + "\\Config"
UPDATE_BOX = "Automatische Updates Aan"
AUTO_BOX = "Elke handelsdag automatisch downloaden om"
WAKE_BOX = "De computer hiervoor uit de slaapstand halen"
TASK_PREFIX = "Kestrom avonddownload "


def task_files():
    """The evening tasks the prefix's Task Scheduler keeps, by name: one
    file each in its tasks folder (Wine writes them as UTF-8)."""
    folder = kestrom_e2e.wine_prefix() / "drive_c" / "windows" / "system32" / "tasks"
    return {f.name: f.read_bytes().decode("utf-8-sig", "replace") for f in folder.glob(TASK_PREFIX + "*")}


def settings_edits(driver, settings):
    """The settings dialog's edit fields in their order: the data folder,
    then the evening run's time."""
    edits = [c for c in driver.children(settings) if c.cls.lower() == "edit"]
    assert len(edits) == 2, edits
    return edits


def delete_evening_tasks():
    """Deletes what earlier runs of the scenarios left in the prefix."""
    for name in task_files():
        wine("schtasks", "/delete", "/f", "/tn", name, check=False)


def task_value(xml, element):
    """An element's text in a stored task (None when it is not there)."""
    match = re.search(r"<%s>([^<]*)</%s>" % (element, element), xml)
    return match.group(1) if match else None


def user_profile():
    """%USERPROFILE% of the prefix, asked of Wine's own shell."""
    out = wine("cmd", "/c", "echo", "%USERPROFILE%").stdout
    return out.decode("latin-1").strip()


class SettingsTest(kestrom_e2e.KestromTestCase):
    def start_main(self):
        process = self.start_kestrom()
        return process, process.wait_window(CAPTION)

    def close(self, process, window):
        self.driver.click(window, "Sluit af")
        self.assertEqual(process.exit_code(), 0)

    def open_settings(self, process, main):
        self.driver.click(main, "Instellingen")
        return self.driver.wait(SETTINGS_CAPTION, pid=process.pid)

    def dialog_state(self, settings):
        """(PathEdit's text, {caption: checked} of the check box and radio buttons)."""
        controls = self.driver.children(settings)
        checks = {c.text: c.checked for c in controls
                  if c.text in (UPDATE_BOX, "Alleen AEX-opties", "Alle opties")}
        return self.driver.text(settings_edits(self.driver, settings)[0]), checks

    def press(self, dialog, caption):
        """Clicks a button that closes the dialog and waits until it has."""
        self.driver.click(dialog, caption)
        self.driver.wait_gone(dialog, pid=dialog.pid)

    def test_settings_dialog_first_run_cancel_and_ok(self):
        process, main = self.start_main()
        settings = self.open_settings(process, main)
        first_folder = user_profile() + "\\UserData\\Kestrom\\"
        on_first_run = (first_folder, {UPDATE_BOX: True, "Alleen AEX-opties": False, "Alle opties": True})
        self.assertEqual(self.dialog_state(settings), on_first_run)
        self.screenshot("settings_dialog", settings)

        # Changed, then cancelled: the dialog shows the settings again and
        # nothing is written.
        path = settings_edits(self.driver, settings)[0]
        self.driver.set_text(path, "C:\\Elders")
        self.driver.click(self.driver.child(settings, text=UPDATE_BOX))
        self.driver.click(self.driver.child(settings, text="Alleen AEX-opties"))
        self.assertEqual(self.dialog_state(settings)[1],
                         {UPDATE_BOX: False, "Alleen AEX-opties": True, "Alle opties": False})
        self.press(settings, "Annuleren")
        self.assertEqual(self.registry.values(kestrom_e2e.DEFAULTS_KEY)["Data Path"], first_folder)
        self.assertNotIn("Update", self.registry.values(kestrom_e2e.DEFAULTS_KEY))
        settings = self.open_settings(process, main)
        self.assertEqual(self.dialog_state(settings), on_first_run)

        # OK stores the folder exactly as typed, without a final backslash.
        self.driver.set_text(settings_edits(self.driver, settings)[0], "C:\\Koersen")
        self.driver.click(self.driver.child(settings, text="Alleen AEX-opties"))
        self.press(settings, "OK")
        defaults = self.registry.values(kestrom_e2e.DEFAULTS_KEY)
        self.assertEqual((defaults["Data Path"], defaults["Update"], defaults["Selection"]),
                         ("C:\\Koersen", "1", "0"))
        settings = self.open_settings(process, main)
        self.assertEqual(self.dialog_state(settings),
                         ("C:\\Koersen", {UPDATE_BOX: True, "Alleen AEX-opties": True, "Alle opties": False}))
        self.press(settings, "Annuleren")
        self.close(process, main)

    def task_state(self, settings):
        """(ticked, time, wake) as the evening run's group shows them."""
        controls = self.driver.children(settings)
        checks = {c.text: c.checked for c in controls if c.text in (AUTO_BOX, WAKE_BOX)}
        time_edit = settings_edits(self.driver, settings)[1]
        return checks[AUTO_BOX], self.driver.text(time_edit), checks[WAKE_BOX]

    def set_task(self, settings, ticked=None, time_text=None, wake=None):
        controls = self.driver.children(settings)
        if time_text is not None:
            self.driver.set_text(settings_edits(self.driver, settings)[1], time_text)
        for caption, wanted in ((AUTO_BOX, ticked), (WAKE_BOX, wake)):
            box = next(c for c in controls if c.text == caption)
            if wanted is not None and box.checked != wanted:
                self.driver.click(box)

    def test_the_evening_run_is_registered_changed_and_removed_from_the_dialog(self):
        delete_evening_tasks()
        self.assertEqual(task_files(), {})
        process, main = self.start_main()
        settings = self.open_settings(process, main)
        self.assertEqual(self.task_state(settings), (False, "22:00", False))
        statics = [c.text for c in self.driver.children(settings) if c.cls.lower() == "static"]
        exe = kestrom_e2e.windows_path(kestrom_e2e.Config.exe)
        self.assertIn("De taak start " + exe, statics)

        # Ticked with a time and the wake switch: one task, as this user,
        # with the settings asked for; the time is kept in the settings too.
        self.set_task(settings, ticked=True, time_text="21:30", wake=True)
        self.screenshot("settings_evening_run", settings)
        self.press(settings, "OK")
        tasks = task_files()
        self.assertEqual(len(tasks), 1, tasks)
        (name, xml), = tasks.items()
        self.assertRegex(name, r"^Kestrom avonddownload S-1-5-21(-\d+)+$")
        self.assertEqual(task_value(xml, "Source"), exe)
        expected_settings = {"WakeToRun": "true", "StartWhenAvailable": "true", "DisallowStartIfOnBatteries": "false",
                             "StopIfGoingOnBatteries": "false", "MultipleInstancesPolicy": "IgnoreNew",
                             "ExecutionTimeLimit": "PT2H"}
        self.assertEqual({k: task_value(xml, k) for k in expected_settings}, expected_settings)
        self.assertEqual(self.registry.values(kestrom_e2e.DEFAULTS_KEY)["Task Time"], "21:30")
        settings = self.open_settings(process, main)
        self.assertEqual(self.task_state(settings), (True, "21:30", True))

        # Another time without waking: still one task, changed.
        self.set_task(settings, time_text="6:45", wake=False)
        self.press(settings, "OK")
        tasks = task_files()
        self.assertEqual(list(tasks), [name])
        self.assertEqual(task_value(tasks[name], "WakeToRun"), "false")
        self.assertEqual(task_value(tasks[name], "Source"), exe)
        self.assertEqual(self.registry.values(kestrom_e2e.DEFAULTS_KEY)["Task Time"], "06:45")

        # A time that is no time: a message, the dialog stays open and
        # nothing is stored; Annuleren changes nothing either.
        settings = self.open_settings(process, main)
        self.assertEqual(self.task_state(settings), (True, "06:45", False))
        self.set_task(settings, time_text="25:00", wake=True)
        self.driver.click(settings, "OK")
        deadline = time.monotonic() + kestrom_e2e.HANG_BOUND
        while not any("Dat is geen tijd: 25:00" in self.driver.text(c)
                      for w in self.driver.windows(pid=process.pid, all=True) if w.visible
                      for c in self.driver.children(w) if c.cls.lower() == "edit"):
            self.assertLess(time.monotonic(), deadline, "no message about the time")
            time.sleep(0.2)
        self.assertTrue(any(w.hwnd == settings.hwnd and w.visible
                            for w in self.driver.windows(pid=process.pid, all=True)))
        self.set_task(settings, ticked=False)
        self.press(settings, "Annuleren")
        self.assertEqual(task_files(), tasks)
        self.assertEqual(self.registry.values(kestrom_e2e.DEFAULTS_KEY)["Task Time"], "06:45")

        # A task deleted behind the dialog's back shows unticked.
        wine("schtasks", "/delete", "/f", "/tn", name)
        self.assertEqual(task_files(), {})
        settings = self.open_settings(process, main)
        self.assertEqual(self.task_state(settings)[0], False)
        self.set_task(settings, ticked=True)
        self.press(settings, "OK")
        self.assertEqual(list(task_files()), [name])

        # Unticked: no task.
        settings = self.open_settings(process, main)
        self.set_task(settings, ticked=False)
        self.press(settings, "OK")
        self.assertEqual(task_files(), {})
        settings = self.open_settings(process, main)
        self.assertEqual(self.task_state(settings)[0], False)
        self.press(settings, "Annuleren")
        self.close(process, main)

    def shows_folder(self, browser, folder, timeout=10):
        """True once the browser's folder line shows folder."""
        deadline = time.monotonic() + timeout
        while True:
            if folder in [c.text for c in self.driver.children(browser) if c.cls.lower() == "static"]:
                return True
            if time.monotonic() > deadline:
                return False
            time.sleep(0.2)

    def test_browsing_from_the_settings_makes_a_folder_and_hands_it_back(self):
        drive_c = Path(os.environ["WINEPREFIX"]) / "drive_c"
        for name in ("Nieuw", "Koersen"):
            shutil.rmtree(drive_c / name, ignore_errors=True)
            self.addCleanup(shutil.rmtree, drive_c / name, True)
        process, main = self.start_main()
        settings = self.open_settings(process, main)
        self.driver.click(settings, "Bladeren")
        browser = self.driver.wait(BROWSE_CAPTION, pid=process.pid)
        # The browser starts at C:\ whatever the data folder is.
        self.assertTrue(self.shows_folder(browser, "C:\\"))
        self.screenshot("folder_browser", browser)

        def new_folder(name):
            self.driver.click(self.driver.child(browser, cls="ToolbarWindow32"))
            ask = self.driver.wait(ASK_CAPTION, pid=process.pid)
            self.driver.set_text(self.driver.child(ask, cls="Edit"), name)
            self.press(ask, "OK")

        new_folder("Nieuw")
        self.assertTrue((drive_c / "Nieuw").is_dir())
        self.assertTrue(self.shows_folder(browser, "C:\\Nieuw\\"))
        # Back to its parent with the keyboard (a first Left may only fold
        # the new folder), where the same name is refused.
        for _ in range(2):
            self.driver.key(browser, "left")
            if self.shows_folder(browser, "C:\\", timeout=3):
                break
        self.assertTrue(self.shows_folder(browser, "C:\\"))
        new_folder("Nieuw")
        box = self.driver.wait("Open Error", pid=process.pid)
        self.assertIn("Deze map bestaat reeds.", [c.text for c in self.driver.children(box)])
        self.press(box, "OK")
        new_folder("Koersen")
        self.assertTrue((drive_c / "Koersen").is_dir())
        self.press(browser, "OK")
        self.assertEqual(self.driver.text(settings_edits(self.driver, settings)[0]), "C:\\Koersen\\")
        # Nothing is stored before OK.
        self.assertEqual(self.registry.values(kestrom_e2e.DEFAULTS_KEY)["Data Path"],
                         user_profile() + "\\UserData\\Kestrom\\")
        self.press(settings, "Annuleren")
        self.close(process, main)

    def test_first_run_writes_positions_and_data_folder_at_the_end(self):
        process, window = self.start_main()
        # The data folder is written at start, the positions only at the end.
        self.assertEqual(self.registry.values(kestrom_e2e.DEFAULTS_KEY)["Data Path"],
                         user_profile() + "\\UserData\\Kestrom\\")
        self.assertEqual(self.registry.values(MAIN_KEY), {})
        geometry = self.driver.geometry(window)
        self.assertEqual((geometry.rect.left, geometry.rect.top), (100, 100))
        config = self.driver.wait("Kestrom - Instellingen", pid=process.pid, all=True)
        self.assertEqual((config.rect.left, config.rect.top), (100, 100))
        self.close(process, window)

        self.assertEqual(self.registry.values(MAIN_KEY),
                         {"Top": 100, "Left": 100, "Width": geometry.client.width})
        self.assertEqual(self.registry.values(CONFIG_KEY), {"Top": 100, "Left": 100})
        defaults = self.registry.values(kestrom_e2e.DEFAULTS_KEY)
        self.assertEqual(defaults["Data Path"], user_profile() + "\\UserData\\Kestrom\\")
        # Only OK in the settings dialog writes these.
        self.assertNotIn("Update", defaults)
        self.assertNotIn("Selection", defaults)

    def test_second_start_places_the_window_where_the_first_left_it(self):
        process, window = self.start_main()
        moved = self.driver.move(window, x=230, y=170, width=900)
        self.close(process, window)
        self.assertEqual(self.registry.values(MAIN_KEY),
                         {"Top": 170, "Left": 230, "Width": moved.client.width})

        process, window = self.start_main()
        again = self.driver.geometry(window)
        self.assertEqual((again.rect.left, again.rect.top), (230, 170))
        self.close(process, window)

    def test_stored_values_follow_the_encoding_rules(self):
        cases = [
            # name, stored Main/Top, stored Main/Left, placed (left, top), written Main values
            ("negative top", -20, 300, (300, 100), {"Top": 100, "Left": 300}),
            ("left as text", 120, "250", (250, 120), {"Top": 120, "Left": "250"}),
            ("text that is no number", "abc", -5, (100, 100), {"Top": "100", "Left": 100}),
        ]
        for name, top, left, placed, written in cases:
            with self.subTest(name):
                self.registry.delete_key(SETTINGS_KEY)
                self.set_servers(kestrom_e2e.closed_port(), kestrom_e2e.closed_port())
                for value_name, value in (("Top", top), ("Left", left)):
                    # reg.exe takes a DWORD as an unsigned number.
                    self.registry.set(MAIN_KEY, value_name, value & 0xFFFFFFFF if isinstance(value, int) else value)
                process, window = self.start_main()
                geometry = self.driver.geometry(window)
                self.assertEqual((geometry.rect.left, geometry.rect.top), placed)
                self.close(process, window)
                stored = self.registry.values(MAIN_KEY)
                self.assertEqual({k: stored[k] for k in ("Top", "Left")}, written)
                process.kill()


if __name__ == "__main__":
    kestrom_e2e.main()
