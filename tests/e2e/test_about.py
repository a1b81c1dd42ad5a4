"""The information window as a person meets it: its two views, Enter right
after opening, and the three ways out to the maker through the shell.

The shell's commands for mailto: and http: addresses are pointed at
url_recorder.exe (built beside Kestrom.exe), which writes down every address
it is given, so that what the program hands over is checked byte for byte.
Taking a scheme's shell\\open\\command away makes ShellExecuteA answer
SE_ERR_NOASSOC (31), as on a machine without a mail program or browser.
Every test gives the prefix its own commands back."""

import struct
import time
from pathlib import Path

import kestrom_e2e
from kestrom_e2e import DriverError, wine, windows_path

MAIN_CAPTION = "versie 1.00c, Kestrom"
ABOUT_CAPTION = MAIN_CAPTION + " - Informatie"
AUTHOR_CAPTION = "Kestrom - Auteur"
MESSAGE_CLASS = "KestromMessageForm"
MAIL_FAILED = ["Er is iets fout gegaan bij het versturen van de e-mail.", "Webmail wordt nu gestart:"]
BROWSER_FAILED = ["Browser niet geopend."]
# What the Mail button hands to the shell, byte for byte: nothing escaped,
# the body's 15 lines joined with single CRs, the last line one blank.
# The maker's address and first name are the program's placeholders.
MAILTO = (b"mailto:ruud.verbeek@kestrom.nl?Subject=Programma Kestrom, versie 1.00c&Body="
          b"Hallo Ruud\r\r\rIk vond op je Home Page het \rprogramma \rKestrom.\r\r"
          b"Ik wil hierover het volgende kwijt:\r\r\r\r\r\rMet vriendelijke groet,\r ")
# Left, top, width, height in pixels at any screen density.
MAIN_VIEW_BUTTONS = {"Mail": (83, 305, 65, 34), "OK": (187, 305, 77, 34), "Home": (305, 305, 65, 34)}
CLIENT_SIZE = (482, 365)
SCHEMES = ("mailto", "http")


def half(value):
    """Halved, truncated toward zero as the program's integer division is."""
    return -(-value // 2) if value < 0 else value // 2


def png_size(path):
    with open(path, "rb") as png:
        header = png.read(24)
    return struct.unpack(">II", header[16:24])


class AboutTest(kestrom_e2e.KestromTestCase):
    def setUp(self):
        super().setUp()
        self.recorder = Config.exe.parent / "url_recorder.exe"
        self.assertTrue(self.recorder.exists(), self.recorder)
        self.log = self.artifacts / (self.id().rsplit(".", 1)[-1] + ".urls")
        if self.log.exists():
            self.log.unlink()
        for scheme in SCHEMES:
            self.keep_scheme(scheme)
            self.record_scheme(scheme)
        self.update_port = kestrom_e2e.closed_port()
        self.set_servers(kestrom_e2e.closed_port(), self.update_port)

    # --- the shell's commands ---

    def keep_scheme(self, scheme):
        """Exports HKCR\\scheme now and imports it again when the test ends."""
        saved = self.artifacts / ("%s.reg" % scheme)
        wine("reg", "export", "HKCR\\" + scheme, windows_path(saved), "/y")
        self.addCleanup(wine, "reg", "import", windows_path(saved))

    def record_scheme(self, scheme):
        command = '"%s" "%s" "%%1"' % (windows_path(self.recorder), windows_path(self.log))
        wine("reg", "add", "HKCR\\%s\\shell\\open\\command" % scheme, "/ve", "/d", command, "/f")

    def remove_scheme(self, scheme):
        wine("reg", "delete", "HKCR\\%s\\shell" % scheme, "/f")

    def recorded(self, count, timeout=20):
        """The first count addresses the recorder was given, as bytes."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            records = self.log.read_bytes().split(b"\0")[:-1] if self.log.exists() else []
            if len(records) >= count:
                return records
            time.sleep(0.2)
        self.fail("the recorder was given %d addresses, not %d" % (len(records), count))

    # --- the windows ---

    def open_about(self):
        process = self.start_kestrom()
        main = process.wait_window(MAIN_CAPTION)
        about = self.click_to_open(process, main)
        return process, main, about

    def click_to_open(self, process, main):
        self.driver.click(main, "Informatie")
        return process.wait_window(ABOUT_CAPTION)

    def button(self, window, text):
        found = [c for c in self.driver.children(window)
                 if c.cls.lower() == "button" and c.text == text and c.visible]
        self.assertEqual(len(found), 1, "one visible button %r" % text)
        return found[0]

    def author_button(self, window):
        return self.button(window, "")

    def message_window(self, process, timeout=10):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            shown = [w for w in self.driver.windows(pid=process.pid) if w.cls == MESSAGE_CLASS]
            if shown:
                return shown[0]
            time.sleep(0.1)
        raise DriverError("no message window")

    def message_lines(self, window):
        """The message's lines; the memo ends each one in CR LF."""
        memo = self.driver.child(window, cls="Edit")
        text = self.driver.text(memo)
        self.assertTrue(text.endswith("\r\n"), repr(text))
        return text[:-2].split("\r\n")

    def assert_centred_on(self, window, caller):
        rect = self.driver.geometry(window).rect
        self.assertEqual(rect.left, caller.left + half(caller.width - rect.width))
        self.assertEqual(rect.top, caller.top + half(caller.height - rect.height))

    def close_program(self, process, main):
        self.driver.click(main, "Sluit af")
        self.assertEqual(process.exit_code(), 0)

    # --- scenarios ---

    def test_main_view_layout_texts_and_screenshot(self):
        process, main, about = self.open_about()
        geometry = self.driver.geometry(about)
        self.assertEqual((geometry.client.width, geometry.client.height), CLIENT_SIZE)
        self.assert_centred_on(about, self.driver.geometry(main).rect)
        statics = [c.text for c in self.driver.children(about) if c.cls.lower() == "static" and c.visible]
        for text in ("Kestrom", "versie 1.00c", "Kestrom downloadt de Optiekoersen", "van alle AEX-fondsen."):
            self.assertIn(text, statics)
        self.assertTrue(any(t.startswith("Copyright \xa9 ") for t in statics), statics)
        for caption, (left, top, width, height) in MAIN_VIEW_BUTTONS.items():
            with self.subTest(caption):
                rect = self.button(about, caption).rect
                self.assertEqual((rect.left - geometry.client.left, rect.top - geometry.client.top,
                                  rect.width, rect.height), (left, top, width, height))
        shot = self.screenshot("about_main_view", about)
        self.assertEqual(png_size(shot), (geometry.rect.width, geometry.rect.height))
        self.driver.click(self.button(about, "OK"))
        self.driver.wait_gone(about)
        self.close_program(process, main)

    def test_pixel_sizes_do_not_scale_with_the_screen_density(self):
        self.set_screen_density(144)
        process, main, about = self.open_about()
        self.assertEqual(self.driver.screen()["dpi"], 144)
        geometry = self.driver.geometry(about)
        self.assertEqual((geometry.client.width, geometry.client.height), CLIENT_SIZE)
        rect = self.button(about, "Home").rect
        self.assertEqual((rect.left - geometry.client.left, rect.width, rect.height), (305, 65, 34))
        self.screenshot("about_main_view_144dpi", about)
        self.driver.click(self.button(about, "OK"))
        self.driver.wait_gone(about)
        self.close_program(process, main)

    def test_contact_view_then_ok_closes_and_the_next_opening_shows_the_main_view(self):
        process, main, about = self.open_about()
        self.driver.click(self.author_button(about))
        contact = process.wait_window(AUTHOR_CAPTION)
        self.assertEqual(contact.hwnd, about.hwnd)
        memo = next(c for c in self.driver.children(about) if c.cls.lower() == "edit" and c.visible)
        lines = self.driver.text(memo).split("\r\n")
        self.assertEqual(lines[1], "Het programma Kestrom is geschreven door:")
        self.assertEqual(lines[-1], "Schrijf, bel of mail voor nadere informatie!")
        self.assertEqual(len(lines), 11)
        self.assertEqual([c.text for c in self.driver.children(about) if c.cls.lower() == "button" and c.visible],
                         ["OK"])
        self.screenshot("about_contact_view", about)

        self.driver.click(self.button(about, "OK"))
        self.driver.wait_gone(about)
        again = self.click_to_open(process, main)
        self.assertEqual(again.hwnd, about.hwnd)
        self.assertEqual(self.driver.text(again), ABOUT_CAPTION)
        self.assertEqual(sorted(c.text for c in self.driver.children(again)
                                if c.cls.lower() == "button" and c.visible), ["", "Home", "Mail", "OK"])
        self.driver.key(again, "enter")
        self.driver.wait_gone(again)
        self.close_program(process, main)

    def test_enter_right_after_opening_closes_the_window(self):
        process, main, about = self.open_about()
        self.driver.key(about, "enter")
        self.driver.wait_gone(about)
        # The main window is usable again: a second opening works.
        about = self.click_to_open(process, main)
        self.driver.key(about, "enter")
        self.driver.wait_gone(about)
        self.close_program(process, main)

    def test_mail_hands_the_exact_address_to_the_mail_program(self):
        process, main, about = self.open_about()
        self.driver.click(self.button(about, "Mail"))
        self.driver.wait_gone(about)
        self.assertEqual(self.recorded(1)[0], MAILTO)
        # Only the mail program was started, and no message came up.
        time.sleep(1)
        self.assertEqual(len(self.recorded(1)), 1)
        self.assertEqual([w for w in self.driver.windows(pid=process.pid) if w.cls == MESSAGE_CLASS], [])
        self.close_program(process, main)

    def test_without_mail_program_the_message_shows_and_the_web_form_opens(self):
        self.remove_scheme("mailto")
        process, main, about = self.open_about()
        where = self.driver.geometry(about).rect
        self.driver.click(self.button(about, "Mail"))
        message = self.message_window(process)
        self.assertEqual(self.message_lines(message), MAIL_FAILED)
        self.assert_centred_on(message, where)
        self.screenshot("about_mail_failed_message")
        web_form = self.recorded(1)[0]
        self.assertEqual(web_form, b"http://127.0.0.1:%d/mailform_n_php.php?ProgNam=Kestrom, versie 1.00c"
                         % self.update_port)
        self.driver.wait_gone(about)
        # The message closes by itself.
        self.driver.wait_gone(message, timeout_ms=kestrom_e2e.HANG_BOUND * 1000)
        self.close_program(process, main)

    def test_home_opens_the_home_page_on_the_update_host(self):
        process, main, about = self.open_about()
        self.driver.click(self.button(about, "Home"))
        self.driver.wait_gone(about)
        self.assertEqual(self.recorded(1), [b"http://127.0.0.1:%d/index_n.php" % self.update_port])
        self.close_program(process, main)

    def test_without_browser_home_says_so_where_the_window_was(self):
        self.remove_scheme("http")
        process, main, about = self.open_about()
        where = self.driver.geometry(about).rect
        self.driver.click(self.button(about, "Home"))
        message = self.message_window(process)
        self.assertEqual(self.message_lines(message), BROWSER_FAILED)
        self.assert_centred_on(message, where)
        self.screenshot("about_browser_failed_message")
        self.driver.wait_gone(about)
        self.driver.wait_gone(message, timeout_ms=kestrom_e2e.HANG_BOUND * 1000)
        self.assertFalse(self.log.exists())
        self.close_program(process, main)

    def test_without_mail_program_and_browser_the_second_message_replaces_the_first(self):
        self.remove_scheme("mailto")
        self.remove_scheme("http")
        process, main, about = self.open_about()
        where = self.driver.geometry(about).rect
        self.driver.click(self.button(about, "Mail"))
        message = self.message_window(process)
        self.driver.wait_gone(about)
        self.assertEqual(self.message_lines(message), BROWSER_FAILED)
        self.assert_centred_on(message, where)
        self.driver.wait_gone(message, timeout_ms=kestrom_e2e.HANG_BOUND * 1000)
        self.assertFalse(self.log.exists())
        self.close_program(process, main)


Config = kestrom_e2e.Config

if __name__ == "__main__":
    kestrom_e2e.main()
