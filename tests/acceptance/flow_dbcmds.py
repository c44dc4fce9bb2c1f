"""The database file commands from the menus: reload, compact, save a copy, refuse a copy over
the open file, open another file; none of them within reach while monitoring."""

import os
import shutil
import sqlite3
import unittest

import desktop

TABLES = ("Devices", "Main_Data", "TCP_Ports")


def execute(path, *statements):
    db = sqlite3.connect(path)
    with db:
        for sql in statements:
            db.execute(sql)
    db.close()


def counts(path):
    db = sqlite3.connect(path)
    found = [db.execute(f"select count(*) from {t}").fetchone()[0] for t in TABLES]
    assert db.execute("pragma integrity_check").fetchone()[0] == "ok", path
    db.close()
    return found


class DatabaseCommandsFlow(unittest.TestCase):
    def menu(self, d, *keys):
        d.focus(d.main_window)
        d.key(*keys)

    def choose_file(self, d, title, path):
        d.focus(d.wait_window(title))
        d.key("ctrl+a")
        d.type(path)
        d.key("Return")
        d.wait_gone(title)

    def test_commandsFromTheMenus_keepEveryFileWhole(self):
        with desktop.Desktop() as d:
            d.set_setting("Options", "AutoStart", "0")
            branch = os.path.join(d.program_dir, "Branch.mdb")
            copy = os.path.join(d.program_dir, "Copy.mdb")
            shutil.copy(d.database, branch)
            execute(branch, "insert into Devices (Device) values ('127.0.0.2')",
                    "insert into Main_Data (Device, Port) values ('127.0.0.2', 'Ping')")
            # Rows written and deleted again leave pages that only compaction gives back.
            execute(d.database, "insert into Devices (Device) values ('127.0.0.1')",
                    "insert into Main_Data (Device, Port) values ('127.0.0.1', 'Ping'), "
                    "('127.0.0.1', '9')",
                    "insert into Devices (Device, Device_Description) select 'gone' || "
                    "Port_Number, printf('%.4000c', 'x') from TCP_Ports",
                    "delete from Devices where Device like 'gone%'")
            before = {path: counts(path) for path in (d.database, branch)}
            size = os.path.getsize(d.database)

            d.start()
            self.menu(d, "alt+f")
            d.screenshot("dbcmds-file-menu-monitoring-off")
            d.key("Escape")
            self.menu(d, "alt+t", "d")
            d.screenshot("dbcmds-database-menu-monitoring-off")
            d.key("Escape", "Escape")
            self.menu(d, "alt+t", "d", "r")  # Reload Database
            d.answer_question(yes=True)
            d.wait_gone(desktop.MESSAGE_BOX)
            self.menu(d, "alt+t", "d", "c")  # Compact Database
            d.answer_question(yes=True)
            d.wait_gone(desktop.MESSAGE_BOX)
            for target in (copy, d.database):  # Save Database As..., then onto the open file
                self.menu(d, "alt+f", "Down", "Return")
                self.choose_file(d, "Save Database As", target)
            d.focus(d.wait_window(desktop.MESSAGE_BOX))  # "File in use. ..."
            d.key("Return")
            d.wait_gone(desktop.MESSAGE_BOX)
            self.menu(d, "alt+f", "Down", "Down", "Return")  # Open Database...
            self.choose_file(d, "Open Database", branch)
            d.wait_window(" - Branch\\.mdb$")

            # "O" also opens "Options...": Monitoring On is taken as the first item.
            self.menu(d, "alt+t", "Return")
            self.menu(d, "alt+f")
            d.screenshot("dbcmds-file-menu-monitoring-on")
            d.key("Escape")
            self.menu(d, "alt+t", "d")
            d.screenshot("dbcmds-database-menu-monitoring-on")
            d.key("Escape", "Escape")
            self.menu(d, "alt+t", "f")  # Monitoring Off
            self.assertEqual(d.quit(), 0)

            self.assertEqual(d.setting("Startup", "Database"), branch)
            self.assertFalse(os.path.exists(os.path.join(d.program_dir, "Temp.mdb")))
            # Rows per table before and after: nothing lost, the copy whole, the file smaller.
            self.assertEqual(counts(d.database), before[d.database])
            self.assertEqual(counts(copy), before[d.database])
            self.assertEqual(counts(branch), before[branch])
            self.assertLess(os.path.getsize(d.database), size)


if __name__ == "__main__":
    desktop.main()
