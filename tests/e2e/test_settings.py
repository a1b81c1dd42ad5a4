"""The settings as the registry keeps them across program runs: the window
positions and the data folder written at the end of a run, and read again
at the next start."""

import kestrom_e2e
from kestrom_e2e import SETTINGS_KEY, wine

CAPTION = "versie 1.00c, Kestrom"
MAIN_KEY = SETTINGS_KEY + "\\Main"
CONFIG_KEY = SETTINGS_KEY + "\\Config"


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
        self.assertEqual(process.exit_code(30), 0)

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
