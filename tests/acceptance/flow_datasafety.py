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
from flow_dbcmds import execute

# Kills itself in the middle of a transaction: with a cache of one page the changed pages have
# reached the file, and the journal holds their old content.
KILLED_WRITER = """import os, sqlite3, sys
db = sqlite3.connect(sys.argv[1], isolation_level=None)
db.executescript("pragma cache_size = 1; begin;"
                 "update TCP_Ports set Description = printf('%.900c', 'x')")
os.kill(os.getpid(), 9)"""


class DataSafetyFlow(unittest.TestCase):
    def test_hotJournalAndUnloadableFile_leaveEveryDatabaseWhole(self):
        with desktop.Desktop() as d:
            d.set_setting("Options", "AutoStart", "0")
            execute(d.database, "insert into Devices (Device) values ('127.0.0.1')")
            branch, trigger = (os.path.join(d.program_dir, n) for n in ("Branch.mdb", "T.mdb"))
            shutil.copy(d.database, branch)
            subprocess.run([sys.executable, "-c", KILLED_WRITER, branch])
            self.assertTrue(os.path.exists(branch + "-journal"))
            shutil.copy(d.database, trigger)
            execute(trigger, "insert into Main_Data (Device, Port) values ('127.0.0.1', 'Ping')",
                    "create trigger refuse before update on Main_Data "
                    "begin select raise(abort, 'refused by a trigger'); end")

            d.start()
            for keys, title, path, answer in ((["Down"], "Save Database As", branch, "y"),
                                              (["Down", "Down"], "Open Database", trigger, "Return")):
                d.focus(d.main_window)
                d.key("alt+f", *keys, "Return")
                d.focus(d.wait_window(title))
                d.key("ctrl+a")
                d.type(path)
                d.key("Return")
                d.focus(d.wait_window(desktop.MESSAGE_BOX))  # overwrite? / cannot be loaded
                d.screenshot("datasafety-" + title.split()[0].lower())
                d.key(answer)
                d.wait_gone(desktop.MESSAGE_BOX)
            self.assertRegex(d.title(d.main_window), r" - OrvexMonitor\.mdb$")
            self.assertEqual(d.quit(), 0)

            # Looked at before anything opens the copy: an open would roll a journal into it.
            self.assertFalse(os.path.exists(branch + "-journal"))
            copy = sqlite3.connect(branch)
            self.assertEqual(copy.execute("pragma integrity_check").fetchall(), [("ok",)])
            self.assertEqual(copy.execute("select Device from Devices").fetchall(),
                             [("127.0.0.1",)])
            d.start()  # the next start opens the database the person had
            self.assertRegex(d.title(d.main_window), r" - OrvexMonitor\.mdb$")
            self.assertEqual(d.quit(), 0)


if __name__ == "__main__":
    desktop.main()
