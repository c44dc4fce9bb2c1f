"""Set the options and the mail settings as a person does, trying the mail settings first."""

import glob
import json
import os
import shutil
import subprocess
import tempfile
import unittest

import desktop

OPTIONS = "^Monitor Properties$"
SMTP_SETUP = "^IP Orvex Monitor - SMTP Options$"
SINK = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "mailctl", "smtp_sink.py")


class MailSink:
    """A real SMTP server on loopback that keeps what it receives in a folder."""

    def __enter__(self):
        self.folder = tempfile.mkdtemp(prefix="orvex-sink-")
        self.process = subprocess.Popen(["/usr/bin/python3", SINK, self.folder],
                                        stdout=subprocess.PIPE, text=True)
        self.port = int(self.process.stdout.readline())
        return self

    def __exit__(self, *exc):
        self.process.kill()
        self.process.wait()
        self.process.stdout.close()
        shutil.rmtree(self.folder, ignore_errors=True)
        return False

    def messages(self):
        found = []
        for name in sorted(glob.glob(os.path.join(self.folder, "message*.json"))):
            with open(name, encoding="utf-8") as envelope:
                found.append(json.load(envelope))
        return found


class OptionsFlow(unittest.TestCase):
    def test_options_changedByKeyboard_mailTriedAndStored_okStoresAll(self):
        with desktop.Desktop() as d, MailSink() as sink:
            d.set_setting("Options", "AutoStart", "0")
            window = d.start()

            # Tools > Options... ("&Options..." is the menu's last item).
            d.focus(window)
            d.key("alt+t")
            d.key("Up", "Return")
            options = d.wait_window(OPTIONS)
            d.focus(options)
            d.screenshot("options-opened")

            # "Failure Criteria": the second field is "Minutes Between Checks.".
            d.key("ctrl+Tab", "Tab", "Tab")
            d.type("7")
            # "Failure Notification": tick "Send Email Using SMTP", then its "SMTP..." button.
            d.key("ctrl+Tab", "Tab", "space", "Tab", "space")
            setup = d.wait_window(SMTP_SETUP)
            d.focus(setup)
            d.type(f"127.0.0.1:{sink.port}")
            d.key("Tab", "Tab")
            d.type("ops@example.org")
            d.key("Tab")
            d.type("monitor@example.org")
            d.screenshot("smtp-setup-filled")

            d.key("alt+t")  # "Send &Test Mail"
            box = d.wait_window(desktop.MESSAGE_BOX)
            d.screenshot("smtp-test-mail-outcome")
            self.assertEqual(len(sink.messages()), 1)
            self.assertEqual(sink.messages()[0]["to"], ["ops@example.org"])
            self.assertEqual(sink.messages()[0]["from"], "monitor@example.org")
            # The try stores nothing.
            self.assertIsNone(d.setting("Mail Options", "MailTo"))
            d.focus(box)
            d.key("Return")
            d.wait_gone(desktop.MESSAGE_BOX)

            d.focus(setup)
            d.key("Return")
            d.wait_gone(SMTP_SETUP)
            self.assertEqual(d.setting("Mail Options", "MailTo"), "ops@example.org")
            self.assertIsNone(d.setting("Options", "Min_Between_Checks"))
            d.focus(options)
            d.key("Return")
            d.wait_gone(OPTIONS)

            self.assertEqual(d.quit(), 0)
            expected = {
                ("Options", "Min_Between_Checks"): "7",
                ("Options", "HostTimeOut"): "20",
                ("Options", "LogFailures"): "1",
                ("Mail Options", "SendOnFailure"): "1",
                ("Mail Options", "MailServerPrimary"): f"127.0.0.1:{sink.port}",
                ("Mail Options", "MailServerSecondary"): "",
                ("Mail Options", "MailFrom"): "monitor@example.org",
                ("MSAgent", "Character"): "merlin",
            }
            for (section, key), value in expected.items():
                self.assertEqual(d.setting(section, key), value, f"{section}/{key}")
            self.assertEqual(len(sink.messages()), 1)


if __name__ == "__main__":
    desktop.main()
