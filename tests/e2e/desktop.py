"""A private X desktop (tray, session and accessibility buses, notification server) for one copy
of the program, with systemctl and loginctl recorders so that no power action reaches the machine."""
import os
import re
import shutil
import signal
import subprocess
import tempfile
import threading
import time

import gi

gi.require_version("GdkPixbuf", "2.0")
from gi.repository import GdkPixbuf  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
PASSWORD = "quorndale482"  # the settings file's


def python(script, *args):
    return ("/usr/bin/python3", "-B", os.path.join(HERE, script), *args)


def sql(database, statements):
    return subprocess.run(["sqlcipher", database], capture_output=True, text=True,
                          input=f"PRAGMA key='{PASSWORD}';\n{statements}\n", timeout=30)


def wait_for(what, check, secs):
    end = time.monotonic() + secs
    while True:
        value = check()
        if value:
            return value
        if time.monotonic() > end:
            raise AssertionError(f"timed out after {secs} s waiting for {what}")
        time.sleep(0.2)


def free_display(exclude=()):
    # Displays 40-120 belong to the shared tools.
    for n in range(140, 400):
        if n not in exclude and not os.path.exists(f"/tmp/.X11-unix/X{n}") and not os.path.exists(f"/tmp/.X{n}-lock"):
            return n
    raise AssertionError("no free X display")


def kill(pid, sig, group=True):
    try:
        (os.killpg if group else os.kill)(pid, sig)
    except ProcessLookupError:
        pass


_desktops = []
_desktops_lock = threading.Lock()


def close_all():
    with _desktops_lock:
        standing = list(_desktops)
    for desktop in standing:
        desktop.close()


class Desktop:
    NOTIFICATION_SERVER = ("/usr/lib/notification-daemon/notification-daemon",)

    def __init__(self, app_folder, display, started_countdown=False, program_args=(),
                 chooser=None):
        # chooser: the choice our notification server (notifier.py) makes for the user.
        self.procs, self.logs, self.program_args = [], [], program_args
        if chooser:
            self.NOTIFICATION_SERVER = python("notifier.py", chooser)
        self.closed, self.lock = False, threading.Lock()
        with _desktops_lock:
            _desktops.append(self)
        self.dir = tempfile.mkdtemp(prefix="dormivo-e2e.")
        # A blank in the folder's path, and a program planted where its first part ends.
        self.app = shutil.copytree(app_folder, os.path.join(self.dir, "dormivo build", "app"))
        self.power_log = os.path.join(self.dir, "power.log")
        shim = os.path.join(self.dir, "shim")
        os.mkdir(shim)
        for path, name in ((self.dir, "planted"), (shim, "systemctl"), (shim, "loginctl")):
            path = os.path.join(path, "dormivo" if name == "planted" else name)
            with open(path, "w") as f:  # a recorder of its calls
                f.write(f'#!/bin/sh\ndate +%s.%N >> "{self.power_log}.times"\n'
                        f'echo "{name} $*" >> "{self.power_log}"\n')
            os.chmod(path, 0o755)
        if started_countdown:
            # A one-minute Shut Down that the program resumes as soon as it starts.
            self.sql("INSERT INTO tmpsetting VALUES ('0','Started',1,0,0,'0');")
        home, runtime = os.path.join(self.dir, "home"), os.path.join(self.dir, "run")
        os.mkdir(home)
        os.mkdir(runtime, 0o700)
        self.env = dict(os.environ, PATH=shim + ":" + os.environ.get("PATH", "/usr/bin:/bin"),
                        HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
                        XDG_DATA_HOME=os.path.join(home, ".local/share"),
                        XDG_RUNTIME_DIR=runtime, DISPLAY=f":{display}",
                        QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                        # Marks every process of this desktop, also those a bus starts.
                        DORMIVO_E2E_DESKTOP=self.dir)
        for name in ("WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "AT_SPI_BUS_ADDRESS",
                     "NO_AT_BRIDGE", "SESSION_MANAGER"):
            self.env.pop(name, None)
        try:
            self._start_session(display)
        except BaseException:
            self.close()
            raise

    def spawn(self, *argv, log=None):
        # Under the lock, so that nothing starts on a desktop another thread is closing.
        with self.lock:
            if self.closed:
                raise AssertionError("the desktop is closed")
            out = open(os.path.join(self.dir, log), "w") if log else subprocess.DEVNULL
            if log:
                self.logs.append(out)
            proc = subprocess.Popen(argv, env=self.env, stdout=out, stderr=subprocess.STDOUT,
                                    stdin=subprocess.DEVNULL, start_new_session=True)
            self.procs.append(proc)
            return proc

    def run(self, *argv):
        return subprocess.run(argv, env=self.env, capture_output=True, text=True, timeout=30)

    def dormivo(self, *args):
        return self.run(os.path.join(self.app, "dormivo"), *args)

    def second_start(self, within=30):
        began = time.monotonic()
        second = self.dormivo()
        assert second.returncode == 0, f"second start: status {second.returncode}, {second.stderr!r}"
        assert time.monotonic() - began < within, "the second start waited"
        assert self.program.poll() is None, "the first program ended"
        return time.monotonic() - began

    def sql(self, statements):
        return sql(os.path.join(self.app, "info.velkaro"), statements).stdout

    def log(self, name):
        with open(os.path.join(self.dir, name)) as f:
            return f.read()

    def _start_session(self, display):
        # Without -noreset a client connecting as the last one leaves is turned away.
        xvfb = self.spawn("Xvfb", f":{display}", "-screen", "0", "1024x640x24", "-nolisten", "tcp",
                          "-noreset")
        wait_for("the X display", lambda: self.run("xdotool", "getdisplaygeometry").returncode == 0, 20)
        # Someone else may have taken the display first.
        with open(f"/tmp/.X{display}-lock") as f:
            assert int(f.read()) == xvfb.pid and xvfb.poll() is None, f"display :{display} is taken"
        self._start_buses()
        self.spawn("trayer", "--edge", "top", "--align", "right", "--widthtype", "pixel",
                   "--width", "120", "--height", "24", "--transparent", "false")
        wait_for("the tray host", lambda: self.run("xdotool", "search", "--class", "trayer").stdout, 20)
        self.spawn("dbus-monitor", "--session", "member='CloseNotification'", log="bus.log")
        wait_for("the bus monitor", lambda: "NameAcquired" in self.log("bus.log"), 20)

    def _start_buses(self):
        """The session and accessibility buses and a notification server."""
        out = self.run("dbus-launch", "--sh-syntax").stdout
        self.env["DBUS_SESSION_BUS_ADDRESS"] = re.search(r"DBUS_SESSION_BUS_ADDRESS='([^']*)'", out)[1]
        self.bus_pid = int(re.search(r"DBUS_SESSION_BUS_PID=(\d+)", out)[1])
        # The accessibility bus comes first so that everything started later joins it.
        self.spawn("/usr/libexec/at-spi-bus-launcher", "--launch-immediately")
        wait_for("the accessibility bus", lambda: self.bus_has("org.a11y.Bus"), 20)
        self.spawn(*self.NOTIFICATION_SERVER, log="notifyd.log")  # E2E_KEEP keeps what it said
        wait_for("the notification server", lambda: self.bus_has("org.freedesktop.Notifications"), 20)

    def bus_has(self, name):
        out = self.run("dbus-send", "--session", "--print-reply", "--dest=org.freedesktop.DBus",
                       "/org/freedesktop/DBus", "org.freedesktop.DBus.NameHasOwner",
                       f"string:{name}").stdout
        return "boolean true" in out

    def start_program(self):
        self.program = self.spawn(os.path.join(self.app, "dormivo"), *self.program_args,
                                  log="program.log")
        self.started = time.monotonic()

    def read(self, app, *args):
        """None when APP is not on the bus (yet)."""
        result = self.run(*python("reader.py", app, *args))
        return result.stdout if result.returncode == 0 else None

    def names(self, app="Dormivo"):
        out = self.read(app, "names") or ""
        return [tuple(line.split("\t")) for line in out.splitlines()]

    def click(self, role, name, app="Dormivo", times=1):
        where = self.read(app, "where", role, name)
        assert where, f"no showing {role} {name!r} in {app}"
        x, y = where.split()
        self.run("xdotool", "mousemove", x, y, "click", "--repeat", str(times), "1")

    def screenshot(self):
        path = os.path.join(self.dir, "screen.png")
        self.run("import", "-window", "root", path)
        return GdkPixbuf.Pixbuf.new_from_file(path)

    def past_the_first_minute(self):
        time.sleep(max(0.0, self.started + 70 - time.monotonic()))
        assert self.power_calls() == [], self.power_calls()

    def power_time(self):
        with open(self.power_log + ".times") as f:
            return float(f.readline())

    def power_calls(self):
        try:
            with open(self.power_log) as f:
                return f.read().splitlines()
        except FileNotFoundError:
            return []

    def close(self):
        with self.lock:
            if not self.closed:
                self._stop_all()
            self.closed = True

    def _stop_all(self):
        for proc in reversed(self.procs):
            if proc.poll() is None:
                kill(proc.pid, signal.SIGTERM)
        for proc in self.procs:
            try:
                proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                kill(proc.pid, signal.SIGKILL)
                proc.wait()
        for log in self.logs:
            log.close()
        # The session bus and what the buses started live outside our process groups.
        for sig in (signal.SIGTERM, signal.SIGKILL):
            for pid in self._leftovers():
                kill(pid, sig, group=False)
            try:
                wait_for("the desktop's last processes", lambda: not self._leftovers(), 5)
                break
            except AssertionError:
                pass
        if not os.environ.get("E2E_KEEP"):
            shutil.rmtree(self.dir, ignore_errors=True)

    def _leftovers(self):
        marker = f"DORMIVO_E2E_DESKTOP={self.dir}".encode()
        return [int(pid) for pid in os.listdir("/proc")
                if pid.isdigit() and int(pid) != os.getpid() and marker in environ_of(pid)]


def environ_of(pid):
    try:
        with open(f"/proc/{pid}/environ", "rb") as f:
            return f.read().split(b"\0")
    except OSError:
        return []
