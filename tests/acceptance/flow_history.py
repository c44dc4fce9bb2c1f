"""A few dozen check cycles against loopback services, one of which comes and goes, then the
History tab for a device and for an item, and the history section of the status page."""

import os
import re
import shutil
import socket
import sqlite3
import threading
import time
import unittest

import desktop


def listening_socket(port=0):
    s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    s.bind(("127.0.0.1", port))
    s.listen(64)
    return s


class Flapping:
    """A loopback port that listens for a while, then refuses for a while, until stopped."""

    def __init__(self, up_seconds, down_seconds):
        self.sock = listening_socket()
        self.port = self.sock.getsockname()[1]
        self._times = (up_seconds, down_seconds)
        self._stop = threading.Event()
        self._thread = threading.Thread(target=self._run, daemon=True)
        self._thread.start()

    def _run(self):
        while not self._stop.wait(self._times[0]):
            self.sock.close()
            if self._stop.wait(self._times[1]):
                return
            self.sock = listening_socket(self.port)

    def stop(self):
        self._stop.set()
        self._thread.join()
        self.sock.close()


class HistoryFlow(unittest.TestCase):
    def test_cycles_thenHistoryOfDeviceAndItem_andPageSection(self):
        steady = listening_socket()
        flapping = Flapping(up_seconds=9, down_seconds=5)
        probe = listening_socket()
        closed = probe.getsockname()[1]
        probe.close()
        try:
            with desktop.Desktop() as d:
                self._run(d, steady.getsockname()[1], flapping.port, closed)
        finally:
            flapping.stop()
            steady.close()

    def _run(self, d, steady, flapping, closed):
        with sqlite3.connect(d.database) as db:
            db.execute("insert into Devices (Device, Device_Alias) values ('127.0.0.1', 'loopback')")
            for port in ("Ping", str(steady), str(flapping), str(closed)):
                db.execute("insert into Main_Data (Device, Port) values ('127.0.0.1', ?)", (port,))
        d.setenv("ORVEX_MINUTE_MS", "1000")
        for key, value in (("AutoStart", "1"), ("Min_Between_Checks", "1"), ("HTMLOutput", "1"),
                           ("HostTimeOut", "2"), ("PingTimeOut", "1000"),
                           ("MainLeft", "300"), ("MainTop", "300"),
                           ("MainWidth", "15000"), ("MainHeight", "10500")):
            d.set_setting("Options" if key not in ("MainLeft", "MainTop", "MainWidth",
                                                   "MainHeight") else "Settings", key, value)
        d.set_setting("MSAgent", "ShowCharacter", "0")
        window = d.start()

        # Wait for a few dozen cycles: the page's bar of the flapping port fills up.
        def checks_on_page():
            if not os.path.exists(d.page):
                return 0
            page = d.read_text(d.page)
            row = page.split(f"<td valign='top'>{flapping}</td>", 1)
            return row[1].split("</tr>", 1)[0].count("<rect") if len(row) == 2 else 0
        deadline = time.monotonic() + 200
        while checks_on_page() < 30 and time.monotonic() < deadline:
            time.sleep(1)
        self.assertEqual(checks_on_page(), 30)

        page = d.read_text(d.page)
        section = page.split("<table class='history'", 1)[1].split("</table>", 1)[0]
        self.assertIn("fill='#c5221f'", section)
        self.assertIn("fill='#1e8e3e'", section)
        self.assertRegex(section, rf"<td valign='top'>{closed}</td>\s*<td valign='top'>0[.,]00%")
        shots = os.environ.get("ORVEX_SHOT_DIR")
        if shots:
            os.makedirs(shots, exist_ok=True)
            shutil.copy(d.page, os.path.join(shots, "history-page.html"))

        # The device, then the History tab, then one item: the tab stays while the
        # selection moves.
        d.focus(window)
        d.click(window, *self.tree_row(1))
        d.click(window, *self.HISTORY_TAB)
        time.sleep(1)
        d.screenshot("history-device")
        # Items follow in the text order of their ports, after the root and the device.
        items = sorted([str(steady), str(flapping), str(closed), "Ping"])
        d.click(window, *self.tree_row(2 + items.index(str(flapping))))
        time.sleep(1)
        d.screenshot("history-item")

        self.assertEqual(d.quit(), 0)
        with sqlite3.connect(d.database) as db:
            rows = dict(db.execute("select Port, count(*) from History group by Port"))
            failures = dict(db.execute("select Port, sum(Failures) from History group by Port"))
            timed = dict(db.execute("select Port, count(RTT_Avg) from History group by Port"))
        self.assertGreaterEqual(rows[str(flapping)], 30)
        self.assertEqual(failures[str(closed)], rows[str(closed)])
        self.assertEqual(failures[str(steady)], 0)
        self.assertGreater(failures[str(flapping)], 0)
        self.assertLess(failures[str(flapping)], rows[str(flapping)])
        # Every good connect carries its connect time; a refused one none.
        self.assertEqual(timed[str(steady)], rows[str(steady)])
        self.assertEqual(timed[str(closed)], 0)

    # Places inside the main window at the geometry set above, in pixels.
    HISTORY_TAB = (438, 91)

    @staticmethod
    def tree_row(row):
        return 90, 87 + 18 * row


if __name__ == "__main__":
    desktop.main()
