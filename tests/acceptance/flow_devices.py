"""Add a device through both wizards as a person does, then let monitoring check it."""

import os
import socket
import sqlite3
import time
import unittest

import desktop

ADD_DEVICE = r"Add Device Wizard$"
SELECT_PORTS = r"Select TCP/IP Ports To Monitor$"


def listen_on_a_listed_port():
    """A loopback listener on a port of the shipped port list that is free here."""
    for port in (8443, 5900, 3128, 8000, 8080, 80):
        server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        try:
            server.bind(("127.0.0.1", port))
        except OSError:
            server.close()
            continue
        server.listen(16)
        return server, port
    raise unittest.SkipTest("no port of the list is free on the loopback interface")


def wait_for(what, test, timeout):
    deadline = time.monotonic() + timeout
    while not test():
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(0.2)


class DevicesFlow(unittest.TestCase):
    def test_addDeviceAndPorts_thenMonitoringChecksThem(self):
        server, port = listen_on_a_listed_port()
        self.addCleanup(server.close)
        with desktop.Desktop() as d:
            d.set_setting("Options", "AutoStart", "0")
            d.set_setting("Options", "HTMLOutput", "1")
            d.set_setting("Options", "HostTimeOut", "3")
            d.set_setting("Options", "PingTimeOut", "2000")
            main = d.start()
            d.focus(main)

            # The tree has the focus with "Monitored Devices" selected; its pop-up by keyboard.
            d.key("shift+F10")
            d.key("a")
            wizard = d.wait_window(ADD_DEVICE)
            d.screenshot("devices-add-device-0-introduction")
            d.key("Return")
            d.type("127.0.0.1")
            d.screenshot("devices-add-device-1-name")
            d.key("Return")
            d.type("loopback")
            d.key("Tab")
            d.type("This very machine")
            d.screenshot("devices-add-device-2-alias")
            d.key("Return")
            d.screenshot("devices-add-device-3-confirm")
            d.key("Return")  # Finished

            ports = d.wait_window(SELECT_PORTS)
            self.assertNotEqual(ports, wizard)
            d.screenshot("devices-add-port-0-introduction")
            d.key("Return")
            d.key("space")  # the first row is Ping
            d.type(str(port))  # found by typing its number
            d.key("space")
            d.screenshot("devices-add-port-1-list")
            d.key("Return")
            d.screenshot("devices-add-port-2-confirm")
            d.key("Return")  # Finished >
            d.wait_gone(SELECT_PORTS)
            d.screenshot("devices-main-after-adding")

            # Monitoring on from the Tools menu; the status page is written after the cycle.
            d.focus(main)
            d.key("alt+t")
            d.key("Return")  # "Monitoring On", the first item
            wait_for("the status page after a check cycle",
                     lambda: os.path.exists(d.page) and "loopback" in d.read_text(d.page).lower(),
                     90)
            d.screenshot("devices-main-after-a-cycle")
            self.assertEqual(d.quit(), 0)

            db = sqlite3.connect(d.database)
            self.addCleanup(db.close)
            self.assertEqual(
                db.execute("select Device, Device_Alias, Device_Description from Devices")
                .fetchall(), [("127.0.0.1", "loopback", "This very machine")])
            items = dict((row[0], row[1:]) for row in db.execute(
                "select Port, Port_Type, Status, Connect + Error from Main_Data "
                "where Device = '127.0.0.1'"))
            self.assertEqual(sorted(items), sorted(["Ping", str(port)]))
            self.assertEqual(items[str(port)][:2], ("Port", "Connected"))
            self.assertGreaterEqual(items[str(port)][2], 1)
            # The ping item was checked too; whether ICMP may leave this process decides how.
            self.assertEqual(items["Ping"][0], "Port")
            self.assertIn(items["Ping"][1], ("Connected", "Failed"))
            self.assertGreaterEqual(items["Ping"][2], 1)


if __name__ == "__main__":
    desktop.main()
