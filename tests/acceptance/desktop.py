"""The whole monitor on a desktop of its own, driven the way a person drives it.

A Desktop starts an X server (Xvfb) on a free display, gives the program fresh HOME and XDG
folders, copies the build's program folder so the run never touches the build's database, and
registers the mail control there. Keys and clicks go through XTEST (xdotool), so the program
sees them exactly as it sees a keyboard and a mouse.

The build folder comes from "--build DIR" on the command line (taken off before unittest reads
it) or from ORVEX_BUILD_DIR. Screenshots are written only when ORVEX_SHOT_DIR names a folder;
ORVEX_KEEP=1 keeps the run's folder for a look afterwards.
"""

import configparser
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest
from urllib.parse import quote

TITLE = "IP Orvex Monitor 2.0"
MAIN_WINDOW = "^" + re.escape(TITLE) + " - "
MESSAGE_BOX = "^" + re.escape(TITLE) + "$"
# Files of a program folder that belong to a run, not to the build. A run always starts on a
# fresh copy of the shipped database, never on one a person left beside the build's program.
RUN_FILES = {"OrvexMonitor.mdb", "OrvexMonitor.txt", "OrvexMonitor.html", "Temp.mdb"}


def build_dir():
    if "--build" in sys.argv:
        at = sys.argv.index("--build")
        os.environ["ORVEX_BUILD_DIR"] = sys.argv[at + 1]
        del sys.argv[at:at + 2]
    folder = os.environ.get("ORVEX_BUILD_DIR")
    if not folder:
        raise RuntimeError("name the build folder with --build DIR or ORVEX_BUILD_DIR")
    return os.path.abspath(folder)


def main():
    """unittest's main, after the build folder has been taken off the command line."""
    build_dir()
    unittest.main()


def _wait(what, test, timeout):
    deadline = time.monotonic() + timeout
    while True:
        result = test()
        if result:
            return result
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(0.1)


class Desktop:
    """program: an installed OrvexMonitor to run instead of a copy of the build's; its
    writable files are then in the user's data folder. user: run the program as this user id
    (root only), for a program folder that user may not write."""

    def __init__(self, screen="1280x800x24", program=None, user=None):
        self.build = build_dir()
        self.screen = screen
        self.user = user
        self.root = tempfile.mkdtemp(prefix="orvex-desktop-")
        self.installed = program is not None
        self.program = program or os.path.join(self.root, "program", "OrvexMonitor")
        self.program_dir = os.path.dirname(self.program)
        self.data_dir = os.path.join(self.root, "data", TITLE)
        files_dir = self.data_dir if self.installed else self.program_dir
        self.database = os.path.join(files_dir, "OrvexMonitor.mdb")
        self.log_file = os.path.join(files_dir, "OrvexMonitor.txt")
        self.page = os.path.join(files_dir, "OrvexMonitor.html")
        self.settings_file = os.path.join(self.root, "config", TITLE + ".conf")
        self.process = None
        self._xvfb = None
        self._shots = 0

    # --- set-up and tear-down -------------------------------------------------------------

    def __enter__(self):
        try:
            self._make_folders()
            self._start_x()
            if not self.installed:
                self._register_mail_control()
        except BaseException:
            self.__exit__(None, None, None)
            raise
        return self

    def __exit__(self, *exc):
        if self.process and self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        if self._xvfb and self._xvfb.poll() is None:
            self._xvfb.send_signal(signal.SIGTERM)
            self._xvfb.wait()
        if os.environ.get("ORVEX_KEEP") == "1":
            print(f"run folder kept: {self.root}", file=sys.stderr)
        else:
            shutil.rmtree(self.root, ignore_errors=True)
        return False

    def _make_folders(self):
        for name in ("home", "config", "data", "cache", "run"):
            os.makedirs(os.path.join(self.root, name), mode=0o700)
            if self.user is not None:
                os.chown(os.path.join(self.root, name), self.user, self.user)
        if self.user is not None:
            os.chmod(self.root, 0o755)
        if not self.installed:
            shutil.copytree(os.path.join(self.build, "bin"), self.program_dir, symlinks=True,
                            ignore=lambda folder, names: [n for n in names if n in RUN_FILES])
            shutil.copyfile(os.path.join(self.build, "share", "orvex-monitor", "OrvexMonitor.mdb"),
                            self.database)
        self.env = dict(os.environ)
        for name in ("QT_QPA_PLATFORM", "QT_SCALE_FACTOR", "ORVEX_MINUTE_MS"):
            self.env.pop(name, None)
        self.env.update({
            "HOME": os.path.join(self.root, "home"),
            "XDG_CONFIG_HOME": os.path.join(self.root, "config"),
            "XDG_DATA_HOME": os.path.join(self.root, "data"),
            "XDG_CACHE_HOME": os.path.join(self.root, "cache"),
            "XDG_RUNTIME_DIR": os.path.join(self.root, "run"),
            "QT_QPA_PLATFORM": "xcb",
        })

    def _start_x(self):
        # Each run starts its search at a display of its own, so a run never takes the number
        # of a server another run is just shutting down (whose exit would remove the new
        # server's socket file).
        first = 100 + os.getpid() % 800
        for number in list(range(first, 1000)) + list(range(100, first)):
            if os.path.exists(f"/tmp/.X{number}-lock"):
                continue
            read_end, write_end = os.pipe()
            self._xvfb = subprocess.Popen(
                ["Xvfb", f":{number}", "-displayfd", str(write_end), "-screen", "0",
                 self.screen, "-nolisten", "tcp"],
                pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            os.close(write_end)
            with os.fdopen(read_end) as named:
                listening = named.readline().strip() == str(number)
            if listening:
                self.env["DISPLAY"] = f":{number}"
                return
            self._xvfb.wait()
        raise RuntimeError("no X display could be started")

    def _register_mail_control(self):
        self._run([os.path.join(self.build, "tools", "orvex_regsvr"),
                   os.path.join(self.program_dir, "libOrvexSMTP.so")])

    def _run(self, command, check=True):
        return subprocess.run(command, env=self.env, check=check, capture_output=True, text=True)

    # --- settings -------------------------------------------------------------------------

    def setenv(self, name, value):
        """Sets a variable of the program's environment; before start()."""
        self.env[name] = value

    def set_setting(self, section, key, value):
        """Writes one value into the settings file in the form the program's settings store
        reads; best done before start()."""
        ini = configparser.RawConfigParser(delimiters=("=",), interpolation=None)
        ini.optionxform = str
        if os.path.exists(self.settings_file):
            ini.read(self.settings_file, encoding="utf-8")
        group = quote(section, safe="")
        if not ini.has_section(group):
            ini.add_section(group)
        ini.set(group, quote(key, safe=""), value)
        with open(self.settings_file, "w", encoding="utf-8") as out:
            ini.write(out, space_around_delimiters=False)
        if self.user is not None:
            os.chown(self.settings_file, self.user, self.user)

    def setting(self, section, key):
        ini = configparser.RawConfigParser(delimiters=("=",), interpolation=None)
        ini.optionxform = str
        ini.read(self.settings_file, encoding="utf-8")
        group = quote(section, safe="")
        for stored in ini.sections():
            if stored.lower() == group.lower():
                for name, value in ini.items(stored):
                    if name.lower() == quote(key, safe="").lower():
                        return value
        return None

    # --- the program ----------------------------------------------------------------------

    def start(self, timeout=60):
        """Starts the monitor and returns the id of its main window once it is shown."""
        with open(os.path.join(self.root, "program.out"), "w") as out:
            as_user = [] if self.user is None else [
                "setpriv", f"--reuid={self.user}", f"--regid={self.user}", "--clear-groups", "--"]
            self.process = subprocess.Popen(as_user + [self.program],
                                            cwd=self.root, env=self.env,
                                            stdout=out, stderr=subprocess.STDOUT)
        self.main_window = self.wait_window(MAIN_WINDOW, timeout)
        return self.main_window

    def output(self):
        with open(os.path.join(self.root, "program.out"), encoding="utf-8",
                  errors="replace") as text:
            return text.read()

    def quit(self, timeout=30):
        """Ends the program as a user does: Ctrl+Q on the main window, Yes to the question."""
        self.focus(self.main_window)
        self.key("ctrl+q")
        self.answer_question(yes=True)
        _wait("the program to end", lambda: self.process.poll() is not None, timeout)
        return self.process.returncode

    def read_text(self, path):
        with open(path, encoding="utf-8", errors="replace") as text:
            return text.read()

    # --- windows, keys and the mouse ------------------------------------------------------

    def windows(self, title_regex):
        found = self._run(["xdotool", "search", "--onlyvisible", "--name", title_regex],
                          check=False)
        return [int(w) for w in found.stdout.split()]

    def wait_window(self, title_regex, timeout=30):
        self._check_running()
        return _wait(f"a window titled /{title_regex}/",
                     lambda: (self._check_running() or self.windows(title_regex) or [None])[0],
                     timeout)

    def wait_gone(self, title_regex, timeout=30):
        _wait(f"no window titled /{title_regex}/", lambda: not self.windows(title_regex),
              timeout)

    def title(self, window):
        return self._run(["xdotool", "getwindowname", str(window)]).stdout.strip()

    def geometry(self, window):
        """(x, y, width, height) of a window on the screen."""
        shown = self._run(["xdotool", "getwindowgeometry", "--shell", str(window)]).stdout
        values = dict(line.split("=", 1) for line in shown.split())
        return tuple(int(values[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))

    def focus(self, window):
        self._run(["xdotool", "windowraise", str(window)], check=False)
        self._run(["xdotool", "windowfocus", str(window)])
        _wait("the keyboard focus", lambda: self._focused() == window, 10)

    def _focused(self):
        found = self._run(["xdotool", "getwindowfocus", "-f"], check=False).stdout.strip()
        return int(found) if found.isdigit() else None

    def key(self, *keys):
        self._run(["xdotool", "key", "--delay", "80"] + list(keys))

    def type(self, text):
        self._run(["xdotool", "type", "--delay", "40", "--", text])

    def click(self, window, x, y, button=1):
        self._run(["xdotool", "mousemove", "--window", str(window), str(x), str(y),
                   "click", str(button)])

    def answer_question(self, yes=True, timeout=30):
        """Waits for a message box of the program and presses Yes (or No); returns its id."""
        box = self.wait_window(MESSAGE_BOX, timeout)
        self.focus(box)
        self.key("y" if yes else "n")
        return box

    def screenshot(self, name):
        """Saves the whole screen as <ORVEX_SHOT_DIR>/<name>.png when that folder is set."""
        folder = os.environ.get("ORVEX_SHOT_DIR")
        if not folder:
            return None
        os.makedirs(folder, exist_ok=True)
        path = os.path.join(folder, name + ".png")
        self._run(["import", "-window", "root", path])
        return path

    def _check_running(self):
        if self.process and self.process.poll() is not None:
            raise AssertionError(f"the program ended with {self.process.returncode}:\n"
                                 + self.output()[-2000:])
        return None
