"""Database files a person's machine really has: a copy saved over a file that a killed writer
left with a hot journal comes out whole, and a file that opens but cannot be loaded is refused
without costing the next start."""

import os
import shutil
import sqlite3
import subprocess
import sys
import unittest

import desktop

# Run in a process of its own, which kills itself in the middle of a transaction: with a cache
# of one page the changed pages have reached the file, and the journal holds their old content.
KILLED_WRITER = """
import os, signal, sqlite3, sys
db = sqlite3.connect(sys.argv[1], isolation_level=None)
db.execute("pragma cache_size = 1")
db.execute("begin")
db.execute("update TCP_Ports set Description = printf('%.900c', 'x')")
os.kill(os.getpid(), signal.SIGKILL)
"""


def execute(path, *statements):
    db = sqlite3.connect(path)
    with db:
        for sql in statements:
            db.execute(sql)
    db.close()


def devices(path):
    db = sqlite3.connect(path)
    assert db.execute("pragma integrity_check").fetchone()[0] == "ok", path
    found = [row[0] for row in db.execute("select Device from Devices order by Device")]
    db.close()
    return found


class DataSafetyFlow(unittest.TestCase):
    def menu(self, d, *keys):
        d.focus(d.main_window)
        d.key(*keys)

    def choose_file(self, d, title, path):
        d.focus(d.wait_window(title))
        d.key("ctrl+a")
        d.type(path)
        d.key("Return")
        d.wait_gone(title)

    def test_hotJournalAndUnloadableFile_leaveEveryDatabaseWhole(self):
        with desktop.Desktop() as d:
            d.set_setting("Options", "AutoStart", "0")
            execute(d.database, "insert into Devices (Device) values ('127.0.0.1')")
            branch = os.path.join(d.program_dir, "Branch.mdb")
            shutil.copy(d.database, branch)
            execute(branch, "insert into Devices (Device) values ('branch.example')")
            subprocess.run([sys.executable, "-c", KILLED_WRITER, branch])
            self.assertTrue(os.path.exists(branch + "-journal"))
            trigger = os.path.join(d.program_dir, "Trigger.mdb")
            shutil.copy(d.database, trigger)
            execute(trigger,
                    "insert into Main_Data (Device, Port) values ('127.0.0.1', 'Ping')",
                    "create trigger refuse before update on Main_Data "
                    "begin select raise(abort, 'refused by a trigger'); end")

            d.start()
            self.menu(d, "alt+f", "Down", "Return")  # Save Database As... onto Branch.mdb
            self.choose_file(d, "Save Database As", branch)
            d.answer_question(yes=True)  # Overwrite existing file?
            d.wait_gone(desktop.MESSAGE_BOX)
            self.menu(d, "alt+f", "Down", "Down", "Return")  # Open Database...
            self.choose_file(d, "Open Database", trigger)
            box = d.wait_window(desktop.MESSAGE_BOX)
            d.screenshot("datasafety-unloadable-file")
            d.focus(box)
            d.key("Return")
            d.wait_gone(desktop.MESSAGE_BOX)
            self.assertRegex(d.title(d.main_window), r" - OrvexMonitor\.mdb$")
            self.assertEqual(d.quit(), 0)

            # Looked at before anything opens the copy: an open would roll a journal into it.
            self.assertFalse(os.path.exists(branch + "-journal"))
            self.assertEqual(devices(branch), ["127.0.0.1"])
            self.assertNotEqual(d.setting("Startup", "Database"), trigger)
            d.start()  # the next start opens the database the person had
            self.assertRegex(d.title(d.main_window), r" - OrvexMonitor\.mdb$")
            self.assertEqual(d.quit(), 0)


if __name__ == "__main__":
    desktop.main()
