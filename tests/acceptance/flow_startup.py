"""Start and end the monitor as a person does."""

import os
import unittest

import desktop


class StartupFlow(unittest.TestCase):
    def test_start_then_exitQuestion_noKeepsRunning_yesEndsAndStoresWindow(self):
        with desktop.Desktop() as d:
            d.set_setting("Options", "AutoStart", "0")
            window = d.start()
            self.assertEqual(d.title(window), f"{desktop.TITLE} - OrvexMonitor.mdb")
            d.screenshot("startup-main-window")

            d.focus(window)
            d.key("ctrl+q")
            d.answer_question(yes=False)
            d.wait_gone(desktop.MESSAGE_BOX)
            self.assertIsNone(d.process.poll())

            self.assertEqual(d.quit(), 0)
            width = d.setting("Settings", "MainWidth")
            self.assertIsNotNone(width)
            self.assertGreater(int(width), 0)
            self.assertTrue(os.path.exists(d.database))


if __name__ == "__main__":
    desktop.main()
