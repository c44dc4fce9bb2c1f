"""The database file commands as a person uses them: reload, compact, save a copy, refuse a
copy over the open file, open another file, and all of them out of reach while monitoring."""

import os
import shutil
import sqlite3
import sys
import time
import unittest

import desktop

TABLES = ("Devices", "Main_Data", "TCP_Ports")


def add_devices(path, devices):
    with sqlite3.connect(path) as db:
        for device, ports in devices:
            db.execute("insert into Devices (Device) values (?)", (device,))
            for port in ports:
                db.execute("insert into Main_Data (Device, Port, Status, Connect) "
                           "values (?, ?, 'Failed', 5)", (device, port))
    db.close()


def leave_free_pages(path):
    """Rows written and deleted again: the file keeps their pages until it is compacted."""
    with sqlite3.connect(path) as db:
        db.executemany("insert into Devices (Device, Device_Description) values (?, ?)",
                       [(f"gone{n}", "x" * 2000) for n in range(300)])
        db.execute("delete from Devices where Device like 'gone%'")
    db.close()


def counts(path):
    db = sqlite3.connect(path)
    try:
        return {table: db.execute(f"select count(*) from {table}").fetchone()[0]
                for table in TABLES}
    finally:
        db.close()


def integrity(path):
    db = sqlite3.connect(path)
    try:
        return db.execute("pragma integrity_check").fetchone()[0]
    finally:
        db.close()


def wait_for(what, test, timeout=30):
    deadline = time.monotonic() + timeout
    while not test():
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out waiting for {what}")
        time.sleep(0.1)


class DatabaseCommandsFlow(unittest.TestCase):
    def menu(self, d, *keys):
        """Opens a menu of the main window with its access key and walks it with keys."""
        d.focus(d.main_window)
        d.key(*keys)

    def choose_file(self, d, title, path):
        dialog = d.wait_window(title)
        d.focus(dialog)
        d.key("ctrl+a")
        d.type(path)
        d.key("Return")
        d.wait_gone(title)

    def test_commands_keepFilesWholeAndAreOutOfReachWhileMonitoring(self):
        with desktop.Desktop() as d:
            d.set_setting("Options", "AutoStart", "0")
            d.set_setting("MSAgent", "ShowCharacter", "0")
            branch = os.path.join(d.program_dir, "Branch.mdb")
            copy = os.path.join(d.program_dir, "Copy.mdb")
            shutil.copy(d.database, branch)
            add_devices(d.database, [("127.0.0.1", ["Ping", "9"]), ("127.0.0.3", ["Ping"])])
            add_devices(branch, [("127.0.0.2", ["Ping", "7", "9"])])
            leave_free_pages(d.database)
            before = {"OrvexMonitor.mdb": counts(d.database), "Branch.mdb": counts(branch)}
            size_before = os.path.getsize(d.database)

            window = d.start()
            self.menu(d, "alt+f")
            d.screenshot("dbcmds-file-menu-monitoring-off")
            d.key("Escape")
            self.menu(d, "alt+t", "d")
            d.screenshot("dbcmds-database-menu-monitoring-off")
            d.key("Escape", "Escape")

            # Tools > Database > Reload, then Compact.
            self.menu(d, "alt+t", "d", "r")
            d.answer_question(yes=True)
            d.wait_gone(desktop.MESSAGE_BOX)
            self.menu(d, "alt+t", "d", "c")
            d.answer_question(yes=True)
            d.wait_gone(desktop.MESSAGE_BOX)

            # File > Save Database As..., first to a new name, then onto the open file.
            self.menu(d, "alt+f", "Down", "Return")
            self.choose_file(d, "Save Database As", copy)
            wait_for("the copy", lambda: os.path.exists(copy))
            self.menu(d, "alt+f", "Down", "Return")
            self.choose_file(d, "Save Database As", d.database)
            box = d.wait_window(desktop.MESSAGE_BOX)
            d.screenshot("dbcmds-save-as-open-file")
            d.focus(box)
            d.key("Return")
            d.wait_gone(desktop.MESSAGE_BOX)
            self.assertEqual(d.title(window), f"{desktop.TITLE} - OrvexMonitor.mdb")

            # File > Open Database... onto the other file.
            self.menu(d, "alt+f", "Down", "Down", "Return")
            self.choose_file(d, "Open Database", branch)
            wait_for("the caption", lambda: d.title(window).endswith(" - Branch.mdb"))
            d.screenshot("dbcmds-branch-open")

            # Monitoring on: the commands are out of reach until it is off again.
            # "O" is also the access key of "Options...": the first item is taken with Return.
            self.menu(d, "alt+t", "Return")
            self.menu(d, "alt+f")
            d.screenshot("dbcmds-file-menu-monitoring-on")
            d.key("Escape")
            self.menu(d, "alt+t", "d")
            d.screenshot("dbcmds-database-menu-monitoring-on")
            d.key("Escape", "Escape")
            self.menu(d, "alt+t", "f")
            d.wait_gone(desktop.MESSAGE_BOX, timeout=60)

            self.assertEqual(d.quit(), 0)
            self.assertFalse(os.path.exists(os.path.join(d.program_dir, "Temp.mdb")))
            self.assertEqual(d.setting("Startup", "Database"), branch)

            after = {"OrvexMonitor.mdb": counts(d.database), "Branch.mdb": counts(branch),
                     "Copy.mdb": counts(copy)}
            self.report(before, after, size_before, os.path.getsize(d.database))
            # Nothing lost or added by any command; the copy is whole; compaction gave the
            # free pages back.
            self.assertEqual(after["OrvexMonitor.mdb"], before["OrvexMonitor.mdb"])
            self.assertEqual(after["Copy.mdb"], before["OrvexMonitor.mdb"])
            self.assertEqual(after["Branch.mdb"], before["Branch.mdb"])
            for path in (d.database, copy, branch):
                self.assertEqual(integrity(path), "ok")
            self.assertLess(os.path.getsize(d.database), size_before)

    def report(self, before, after, size_before, size_after):
        print("\n" + " " * 26 + "".join(f"{t:>11}" for t in TABLES), file=sys.stderr)
        rows = [("before " + n, c) for n, c in before.items()] + \
            [("after " + n, c) for n, c in after.items()]
        for name, count in rows:
            print(f"{name:26}" + "".join(f"{count[t]:11}" for t in TABLES), file=sys.stderr)
        print(f"OrvexMonitor.mdb bytes: {size_before} before, {size_after} after",
              file=sys.stderr)


if __name__ == "__main__":
    desktop.main()
