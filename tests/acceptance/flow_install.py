"""The program installed under a prefix whose folders the user may not write: it starts, gives
the user a database of their own, checks devices and writes its log and page in the user's data
folder, and leaves the installed files as they were. The Debian package holds the same files."""

import glob
import os
import socket
import sqlite3
import subprocess
import tempfile
import unittest

import desktop

APP_ID = "example.orvex_monitor.OrvexMonitor"
INSTALLED = [
    "bin/OrvexMonitor",
    "lib/orvex-monitor/libOrvexSMTP.so",
    "share/orvex-monitor/OrvexMonitor.mdb",
    "share/orvex-monitor/template.html",
    "share/orvex-monitor/readme.txt",
    "share/orvex-monitor/issues.txt",
    "share/orvex-monitor/tcp_ports.csv",
    "share/orvex-monitor/chars/merlin.acs",
    "share/orvex-monitor/chars/merlin.svg",
    f"share/applications/{APP_ID}.desktop",
    f"share/metainfo/{APP_ID}.metainfo.xml",
    f"share/icons/hicolor/scalable/apps/{APP_ID}.svg",
    f"share/icons/hicolor/48x48/apps/{APP_ID}.png",
    f"share/icons/hicolor/256x256/apps/{APP_ID}.png",
]
NOBODY = 65534


def snapshot(folder):
    return {path: os.stat(path).st_mtime_ns
            for path in glob.glob(os.path.join(folder, "**"), recursive=True)}


class InstallFlow(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.build = desktop.build_dir()
        cls.work = tempfile.TemporaryDirectory(prefix="orvex-install-")
        cls.prefix = os.path.join(cls.work.name, "prefix")
        subprocess.run(["cmake", "--install", cls.build, "--prefix", cls.prefix],
                       check=True, capture_output=True)
        os.chmod(cls.work.name, 0o755)
        if os.geteuid() != 0:
            for folder in ("bin", "share/orvex-monitor", "lib/orvex-monitor"):
                os.chmod(os.path.join(cls.prefix, folder), 0o555)

    @classmethod
    def tearDownClass(cls):
        for folder, _, _ in os.walk(cls.prefix):
            os.chmod(folder, 0o755)
        cls.work.cleanup()

    def test_installedFiles_inLinuxLayout(self):
        for path in INSTALLED:
            self.assertTrue(os.path.isfile(os.path.join(self.prefix, path)), path)
        entry = desktop.Desktop.read_text(None, os.path.join(
            self.prefix, "share/applications", APP_ID + ".desktop"))
        self.assertIn("Exec=OrvexMonitor\n", entry)
        self.assertIn(f"Icon={APP_ID}\n", entry)

    def test_desktopFiles_passTheirValidators(self):
        for command in (["desktop-file-validate", f"share/applications/{APP_ID}.desktop"],
                        ["appstreamcli", "validate", "--no-net",
                         f"share/metainfo/{APP_ID}.metainfo.xml"]):
            checked = subprocess.run(command, cwd=self.prefix, capture_output=True, text=True)
            # Some errors of desktop-file-validate still exit with 0.
            self.assertEqual(checked.returncode, 0, checked.stdout + checked.stderr)
            self.assertNotRegex(checked.stdout + checked.stderr, r"(?m)error|warning|^[EW]: ")

    def test_debianPackage_holdsInstalledFiles(self):
        made = subprocess.run(["cpack", "-G", "DEB", "-B", self.work.name],
                              cwd=self.build, capture_output=True, text=True)
        self.assertEqual(made.returncode, 0, made.stdout + made.stderr)
        package, = glob.glob(os.path.join(self.work.name, "orvex-monitor_*.deb"))
        listed = subprocess.run(["dpkg-deb", "-c", package], check=True, capture_output=True,
                                text=True).stdout
        for path in INSTALLED:
            self.assertIn("./usr/" + path, listed)
        depends = subprocess.run(["dpkg-deb", "-f", package, "Depends"], check=True,
                                 capture_output=True, text=True).stdout
        for name in ("libqt6widgets6", "libsqlite3-0", "libespeak-ng1", "libqt6svg6"):
            self.assertIn(name, depends)

    def test_firstStarts_writeOnlyInUserDataFolder(self):
        user = NOBODY if os.geteuid() == 0 else None
        before = snapshot(self.prefix)
        with socket.create_server(("127.0.0.1", 0)) as listener, desktop.Desktop(program=os.path.join(self.prefix, "bin/OrvexMonitor"),
                             user=user) as d:
            d.set_setting("Options", "AutoStart", "0")
            d.start()
            self.assertTrue(os.path.isfile(d.database))
            self.assertEqual(d.quit(), 0)

            # The user's own copy: add a device with a port that answers and one that does not.
            closed = socket.create_server(("127.0.0.1", 0))
            closed_port = closed.getsockname()[1]
            closed.close()
            with sqlite3.connect(d.database) as db:
                db.execute("INSERT INTO Devices (Device) VALUES ('127.0.0.1')")
                for port in (listener.getsockname()[1], closed_port):
                    db.execute("INSERT INTO Main_Data (Device, Port) VALUES ('127.0.0.1', ?)",
                               (str(port),))
            d.set_setting("Options", "AutoStart", "1")
            d.set_setting("Options", "HTMLOutput", "1")
            d.set_setting("Options", "HostTimeOut", "2")
            d.setenv("ORVEX_MINUTE_MS", "60000")
            d.start()
            desktop._wait("the cycle's page", lambda: os.path.exists(d.page), 60)
            d.screenshot("installed-program-after-cycle")
            self.assertEqual(d.quit(), 0)

            log = d.read_text(d.log_file)
            self.assertIn("Message...Monitoring Started.", log)
            self.assertIn(f"Failure...127.0.0.1 port {closed_port} because ", log)
            self.assertIn("127.0.0.1", d.read_text(d.page))
            with sqlite3.connect(d.database) as db:
                self.assertEqual(db.execute(
                    "SELECT Status FROM Main_Data WHERE Port = ?",
                    (str(listener.getsockname()[1]),)).fetchone()[0], "Connected")
        self.assertEqual(snapshot(self.prefix), before)


if __name__ == "__main__":
    desktop.main()
