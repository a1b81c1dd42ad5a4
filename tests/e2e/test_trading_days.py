"""Automatic runs on the days their clock is set to: the question a run asks
on the Sunday after an expiry Friday, and the trading date that names the
quote file. Only Kestrom's clock is set (tools/fake_clock in its Wine process);
the servers, the driver and these checks keep the real time."""

import datetime
import re
import time

import kestrom_e2e
from test_download import (CAPTION, COMPLETE, EARLIER_FILE, MARKET, MISSING_DATA, SUNDAY_QUESTION,
                           DownloadTestCase, asks_sunday_question, expected_file, run_log_lines)

QUESTION_MESSAGE = 'Als u op "Ja" klikt dan worden de expitatiekoersen van vrijdag gewist'
MISSED_EVENING = 11
WEEKDAYS = ["ma", "di", "wo", "do", "vr", "za", "zo"]
# Friday 18 December 2026 is the month's third Friday.
EXPIRY_SUNDAY = datetime.datetime(2026, 12, 20, 10, 0)


class TradingDayTest(DownloadTestCase):
    def test_runs_on_set_days_name_their_files_by_the_trading_date(self):
        cases = [
            # name, where the clock starts, the quote file the run writes
            ("expiry Sunday", EXPIRY_SUNDAY, "18-12-2026.csv"),
            ("Sunday after another Friday", datetime.datetime(2026, 12, 13, 10, 0), "11-12-2026.csv"),
            # Good Friday is closed: its weekend belongs to the Thursday.
            ("Sunday after a Good Friday expiry", datetime.datetime(2008, 3, 23, 10, 0), "20-03-2008.csv"),
            ("Tuesday before six", datetime.datetime(2026, 12, 8, 5, 30), "07-12-2026.csv"),
            ("Monday before six", datetime.datetime(2026, 12, 7, 0, 30), "07-12-2026.csv"),
            # The exchange is closed on Christmas Day: the evening's quotes
            # are still Thursday's.
            ("Christmas evening", datetime.datetime(2026, 12, 25, 22, 0), "24-12-2026.csv"),
        ]
        self.assertEqual([asks_sunday_question(clock.date()) for _, clock, _ in cases],
                         [True, False, False, False, False, False])
        runs = []
        for name, clock, file_name in cases:
            data = self.data_folder(name.replace(" ", "_"))
            # What the run replaces: on the expiry Sunday, after "Ja", the
            # Friday's file is written anew, as the question warns.
            (data / file_name).write_bytes(EARLIER_FILE)
            # Each run answers the question where its day asks one; a
            # question nobody expects leaves its run waiting, and one that
            # never comes fails the wait for it.
            runs.append(self.start_automatic(name.replace(" ", "_"), selection="0", clock=clock))
        self.finish(runs, kestrom_e2e.HANG_BOUND)
        for (name, _, file_name), run in zip(cases, runs):
            with self.subTest(name):
                self.assertEqual(run.exit_code, COMPLETE)
                self.assertEqual(self.quote_files(run.data), [file_name])
                self.assertEqual((run.data / file_name).read_bytes(), expected_file(selection=False))

    def test_no_to_the_sunday_question_fetches_nothing_and_leaves_the_program_open(self):
        server = self.server("declined")
        data = self.data_folder("declined")
        friday_file = data / "18-12-2026.csv"
        friday_file.write_bytes(EARLIER_FILE)
        self.configure(server.host, data, selection="0")
        process = self.start_kestrom("a", clock=EXPIRY_SUNDAY)
        main = process.wait_window(CAPTION)
        help_text = self.driver.text(self.driver.child(main, cls="Edit"))

        question = process.wait_window(SUNDAY_QUESTION, )
        controls = self.driver.children(question)
        self.assertEqual(sorted(c.text for c in controls if c.cls.lower() == "button" and c.visible), ["Ja", "Nee"])
        message = next(c for c in controls if c.cls.lower() == "edit")
        lines = self.driver.text(message).rstrip("\r\n").split("\r\n")
        self.assertEqual(lines[0], QUESTION_MESSAGE)
        # Nobody may be there to answer an automatic run's question: it says
        # how long it waits before it takes "Nee" itself.
        self.assertEqual(len(lines), 2, lines)
        left = re.fullmatch(r'Zonder antwoord wordt over (\d+):([0-5]\d) "Nee" gekozen', lines[1])
        self.assertIsNotNone(left, lines[1])
        self.assertTrue(0 < int(left[1]) * 60 + int(left[2]) <= 600, lines[1])
        self.screenshot("sunday_question", question)

        self.driver.click(question, "Nee")
        self.driver.wait_gone(question)
        # The automatic run would have closed the program by now.
        time.sleep(15)
        self.assertTrue(process.running())
        self.assertEqual(server.requests(), [])
        self.assertEqual(friday_file.read_bytes(), EARLIER_FILE)
        self.assertEqual(self.quote_files(data), [friday_file.name])
        self.assertEqual(self.driver.text(self.driver.child(main, cls="Edit")), help_text)
        self.assertEqual(self.driver.text(self.driver.child(main, cls="Static")), "")

        self.driver.click(main, "Sluit af")
        self.assertEqual(process.exit_code(), 0)

    def test_a_late_start_of_the_own_task_and_the_status_line_the_next_morning(self):
        """Runs as the program's own task starts them, each followed by a
        start without "a" that tells on its status line what it did."""
        cases = [
            # name, clock, faults, exit code, quote files written, status after the time
            ("missed evening", datetime.datetime(2026, 12, 9, 8, 0), [], MISSED_EVENING, [], " is gemist"),
            ("Christmas evening", datetime.datetime(2026, 12, 25, 22, 0), [], COMPLETE, ["24-12-2026.csv"],
             ", alle koersen van 3 fondsen"),
            ("a page cut off", datetime.datetime(2026, 12, 9, 22, 0), ["cut@call:" + MARKET.underlyings[1].code],
             MISSING_DATA, ["09-12-2026.csv"], ", niet alle koersen: zie Kestrom.log"),
        ]
        for name, clock, faults, exit_code, files, outcome in cases:
            with self.subTest(name):
                server = self.server(name.replace(" ", "_"), faults)
                data = self.data_folder(name.replace(" ", "_"))
                self.configure(server.host, data, selection="0")
                process = self.start_kestrom("a", "taak=22:00", clock=clock)
                self.assertEqual(process.exit_code(timeout=kestrom_e2e.HANG_BOUND), exit_code)
                self.assertEqual(self.quote_files(data), files)
                if exit_code == MISSED_EVENING:
                    self.assertEqual(server.requests(), [])
                started, line = run_log_lines(data, starts=True)
                self.assertTrue(started.endswith("; automatisch; gestart"), started)
                self.assertIn("; exitcode %d " % exit_code, line)

                when = datetime.datetime.strptime(line[:16], "%d-%m-%Y %H:%M")
                expected = "Laatste automatische download: %s %s%s" % (
                    WEEKDAYS[when.weekday()], when.strftime("%d-%m-%Y %H:%M"), outcome)
                morning = self.start_kestrom(clock=clock + datetime.timedelta(hours=10))
                main = morning.wait_window(CAPTION)
                self.wait_status(self.driver.child(main, cls="Static"), [expected], timeout=kestrom_e2e.HANG_BOUND)
                self.driver.click(main, "Sluit af")
                self.assertEqual(morning.exit_code(), 0)


if __name__ == "__main__":
    kestrom_e2e.main()
