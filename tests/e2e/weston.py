"""A Wayland desktop and its cases: headless weston at scale 2 with a plain background and no
panel, its own buses, and notifier.py as notification server (notification-daemon draws on X)."""
import os
import subprocess
import tempfile

from desktop import Desktop, GdkPixbuf, python, wait_for

BACKGROUND = (0x20, 0x50, 0x80)
SCALE = 2
WINDOW = (301 * SCALE, 226 * SCALE)  # the main window, in the screen's pixels
CORNER = 8 * SCALE  # the rounding ends this far from each corner
SOCKET = "wayland-dormivo"


class WestonDesktop(Desktop):
    NOTIFICATION_SERVER = python("notifier.py")

    def _start_session(self, display):
        ini = os.path.join(self.dir, "weston.ini")
        with open(ini, "w") as f:
            f.write("[core]\nidle-time=0\n"
                    "[shell]\nbackground-color=0xff%02x%02x%02x\n" % BACKGROUND +
                    "panel-position=none\nlocking=false\nanimation=none\nstartup-animation=none\n")
        self.env.pop("DISPLAY")
        self.env.update(QT_QPA_PLATFORM="wayland", WAYLAND_DISPLAY=SOCKET)
        # --debug offers the screenshot protocol; the headless backend draws only with pixman.
        self.spawn("weston", "--backend=headless-backend.so", "--use-pixman", "--width=1024",
                   "--height=640", f"--scale={SCALE}", f"--socket={SOCKET}", f"--config={ini}",
                   "--debug", "--idle-time=0", log="weston.log")
        wait_for("the Wayland display", lambda: os.path.exists(f"{self.env['XDG_RUNTIME_DIR']}/{SOCKET}"), 20)
        self._start_buses()

    def screenshot(self):
        with tempfile.TemporaryDirectory(dir=self.dir) as folder:
            subprocess.run(["weston-screenshooter"], env=self.env, cwd=folder, timeout=30,
                           check=True, capture_output=True)
            (name,) = os.listdir(folder)
            return GdkPixbuf.Pixbuf.new_from_file(os.path.join(folder, name))


def corners_show_the_desktop(desktop, results):
    picture = desktop.screenshot()
    width, height = picture.get_width(), picture.get_height()
    step, stride, data = picture.get_n_channels(), picture.get_rowstride(), picture.get_pixels()
    rows = [[tuple(data[y * stride + x * step:y * stride + x * step + 3]) for x in range(width)]
            for y in range(height)]
    drawn = [(x, y) for y in range(height) for x in range(width) if rows[y][x] != BACKGROUND]
    assert drawn, "the window is not on the screen"
    left, top = min(x for x, _ in drawn), min(y for _, y in drawn)
    right, bottom = max(x for x, _ in drawn), max(y for _, y in drawn)
    assert (right - left + 1, bottom - top + 1) == WINDOW, \
        f"drawn {right - left + 1}x{bottom - top + 1} at {left},{top}, not the window's {WINDOW}"
    painted = {(x, y): rows[y][x] for x in (left, right) for y in (top, bottom)
               if rows[y][x] != BACKGROUND}
    assert not painted, f"corners painted over the desktop: {painted}"
    # Inside the rounded outline the face is drawn: the frame at the top edge, the panel within.
    for x, y in ((left + CORNER, top), (left + CORNER, top + CORNER), ((left + right) // 2, bottom - 1)):
        assert rows[y][x] != BACKGROUND, f"the desktop shows through the window at {x},{y}"


def second_start_says_it_is_running(desktop, results):
    # Without an activation token nothing can be raised: a message says where the start went.
    desktop.second_start(within=5)
    wait_for("the message that Dormivo runs", lambda: " Dormivo is already running. |" in desktop.log("notifyd.log"), 20)
