"""The main window as a person meets it: caption, buttons, help text, status
line, the fixed height, closing, and the command-line arguments that must
not start the automatic download."""

import struct
import time

import kestrom_e2e

CAPTION = "versie 1.00c, Kestrom"
BUTTONS = ["Download", "Instellingen", "Informatie", "Sluit af"]
# Left, top, width, height at 120 pixels per inch, inside the button panel.
BUTTON_DESIGN = {
    "Download": (9, 19, 180, 39),
    "Instellingen": (9, 70, 180, 39),
    "Informatie": (9, 121, 180, 40),
    "Sluit af": (9, 172, 180, 39),
}
STATUS_PANEL_DESIGN_HEIGHT = 30
HELP_LINES = [
    "In deze versie is het mogelijk het downloaden te automatiseren.",
    "Als er achter het commando C:\\Program Files\\Kestrom.exe",
    "de letter a wordt geplaatst (van Automatisch), dus: ",
    "",
    " " * 23 + "\"C:\\Program Files\\Kestrom.exe\" a",
    "",
    "dan zal het downloaden van de koersen beginnen bij het starten ",
    "van Kestrom.",
    "Als de download is voltooid sluit het programma zich zelf af.",
    "",
    "Zo kunt u met behulp van de Taakmanager van Windows elke ",
    "avond automatisch de koersen downloaden.",
]
HELP_TEXT = "\r\n".join(HELP_LINES)
ES_MULTILINE = 0x0004
WS_VSCROLL = 0x00200000


def scaled(value, dpi):
    """MulDiv(value, dpi, 120): rounded to the nearest pixel."""
    return (value * dpi + 60) // 120


def png_size(path):
    with open(path, "rb") as png:
        header = png.read(24)
    return struct.unpack(">II", header[16:24])


class MainWindowTest(kestrom_e2e.KestromTestCase):
    def setUp(self):
        super().setUp()
        # The status line at start tells what the last automatic run did:
        # these tests start where no run has been yet.
        users = kestrom_e2e.wine_prefix() / "drive_c" / "users"
        for log in [*users.glob("*/AppData/Local/Kestrom/Kestrom.log"), *users.glob("*/UserData/Kestrom/Kestrom.log")]:
            log.unlink()

    def start_main(self, *args):
        process = self.start_kestrom(*args)
        window = process.wait_window(CAPTION)
        return process, window

    def controls(self, window):
        children = self.driver.children(window)
        buttons = [c for c in children if c.cls.lower() == "button"]
        edits = [c for c in children if c.cls.lower() == "edit"]
        statics = [c for c in children if c.cls.lower() == "static"]
        self.assertEqual(len(edits), 1, "one memo")
        self.assertEqual(len(statics), 1, "one status label")
        return buttons, edits[0], statics[0]

    def status_panel(self, window, label):
        return next(c for c in self.driver.children(window) if c.hwnd == label.parent)

    def expected_client_height(self, window):
        """The client height rule: the close button's bottom, the status
        panel and a margin of 20 pixels."""
        dpi = self.driver.screen()["dpi"]
        close_button = self.driver.child(window, text="Sluit af")
        client = self.driver.geometry(window).client
        return close_button.rect.bottom - client.top + scaled(STATUS_PANEL_DESIGN_HEIGHT, dpi) + 20

    def assert_layout(self, window):
        """Every button at its design place scaled with the screen density,
        and the client height by its rule."""
        dpi = self.driver.screen()["dpi"]
        client = self.driver.geometry(window).client
        buttons, _, _ = self.controls(window)
        for button in buttons:
            with self.subTest(button=button.text, dpi=dpi):
                self.assertTrue(button.visible and button.enabled)
                left, top, width, height = BUTTON_DESIGN[button.text]
                placed = button.rect
                self.assertEqual((placed.left - client.left, placed.top - client.top, placed.width, placed.height),
                                 (scaled(left, dpi), scaled(top, dpi), scaled(width, dpi), scaled(height, dpi)))
        self.assertEqual(client.height, self.expected_client_height(window))

    def assert_exit_code(self, process, expected, timeout=kestrom_e2e.HANG_BOUND):
        self.assertEqual(process.exit_code(timeout), expected)

    def test_shows_caption_buttons_help_text_and_empty_status_line(self):
        process, window = self.start_main()
        self.assertTrue(window.visible)
        self.assertEqual(window.text, CAPTION)
        buttons, memo, status = self.controls(window)
        self.assertEqual([b.text for b in buttons], BUTTONS)
        self.assert_layout(window)
        self.assertTrue(memo.style & ES_MULTILINE and memo.style & WS_VSCROLL)
        self.assertEqual(self.driver.text(memo), HELP_TEXT)
        self.assertEqual(self.driver.text(status), "")
        self.assertTrue(status.visible)

        shot = self.screenshot("main_window", window)
        geometry = self.driver.geometry(window)
        self.assertEqual(png_size(shot), (geometry.rect.width, geometry.rect.height))

        self.driver.click(window, "Sluit af")
        self.assert_exit_code(process, 0)

    def test_height_snaps_back_while_the_width_follows(self):
        process, window = self.start_main()
        _, _, status = self.controls(window)
        start = self.driver.geometry(window)
        expected_client_height = self.expected_client_height(window)
        self.assertEqual(start.client.height, expected_client_height)

        cases = [
            ("taller", start.rect.width, start.rect.height + 150),
            ("shorter", start.rect.width, start.rect.height - 60),
            ("wider and taller", start.rect.width + 200, start.rect.height + 100),
            ("narrower", start.rect.width - 100, start.rect.height),
        ]
        for name, width, height in cases:
            with self.subTest(name):
                after = self.driver.move(window, width=width, height=height)
                self.assertEqual(after.client.height, expected_client_height)
                self.assertEqual(after.rect.height, start.rect.height)
                self.assertEqual(after.rect.width, width)
                # The memo and the status line follow the new width.
                memo_now = self.driver.child(window, cls="Edit")
                panel_now = self.status_panel(window, status)
                self.assertEqual(memo_now.rect.right, after.client.right)
                self.assertEqual(panel_now.rect.width, after.client.width)
                self.assertEqual(panel_now.rect.bottom, after.client.bottom)
        self.screenshot("main_window_resized", window)

        self.driver.click(window, "Sluit af")
        self.assert_exit_code(process, 0)

    def test_layout_scales_with_the_screen_density(self):
        self.set_screen_density(144)
        process, window = self.start_main()
        self.assertEqual(self.driver.screen()["dpi"], 144)
        self.assert_layout(window)
        self.assertEqual(self.driver.move(window, height=900).client.height, self.expected_client_height(window))
        self.screenshot("main_window_144dpi", window)
        self.driver.click(window, "Sluit af")
        self.assert_exit_code(process, 0)

    def test_close_button_ends_the_program_with_exit_code_0(self):
        process, window = self.start_main()
        self.driver.click(window, "Sluit af")
        self.assert_exit_code(process, 0)

    def test_close_box_ends_the_program_with_exit_code_0(self):
        for name, sys_command in [("WM_CLOSE", False), ("SC_CLOSE", True)]:
            with self.subTest(name):
                process, window = self.start_main()
                self.driver.close(window, sys_command=sys_command)
                self.assert_exit_code(process, 0)
                process.kill()

    def test_arguments_other_than_a_first_start_no_download(self):
        for args in (["A"], ["ab"], ["x", "a"]):
            with self.subTest(args=args):
                process, window = self.start_main(*args)
                # The automatic run would begin at one second.
                time.sleep(2.5)
                _, memo, status = self.controls(window)
                self.assertEqual(self.driver.text(memo), HELP_TEXT)
                self.assertEqual(self.driver.text(status), "")
                self.assertTrue(process.running())
                self.driver.click(window, "Sluit af")
                self.assert_exit_code(process, 0)
                process.kill()


if __name__ == "__main__":
    kestrom_e2e.main()
