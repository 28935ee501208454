"""A Wayland desktop for one copy of the program, and its cases: weston with its headless
backend at scale 2, a plain background and no panel, its own session and accessibility buses,
and a notification server that shows nothing (notifier.py). The program runs natively on it,
through Qt's Wayland plugin."""
import os
import struct
import subprocess
import tempfile
import time
import zlib

from desktop import Desktop, python, wait_for

BACKGROUND = (0x20, 0x50, 0x80)
SCALE = 2
WINDOW = (301 * SCALE, 226 * SCALE)  # the main window, in the screen's pixels
CORNER = 8 * SCALE  # the rounding ends this far from each corner
SOCKET = "wayland-dormivo"
ALREADY_RUNNING = "Dormivo is already running."


class WestonDesktop(Desktop):
    # notification-daemon draws on X only.
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
        socket = os.path.join(self.env["XDG_RUNTIME_DIR"], SOCKET)
        wait_for("the Wayland display", lambda: os.path.exists(socket), 20)
        self._start_buses()
        self._start_bus_monitor()

    def screenshot(self):
        """The whole output as (width, height, rows of (r, g, b))."""
        with tempfile.TemporaryDirectory(dir=self.dir) as folder:
            subprocess.run(["weston-screenshooter"], env=self.env, cwd=folder, timeout=30,
                           check=True, capture_output=True)
            (name,) = os.listdir(folder)
            with open(os.path.join(folder, name), "rb") as f:
                return read_png(f.read())


def read_png(data):
    """Decodes the 8-bit, non-interlaced RGB or RGBA pictures weston-screenshooter writes."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG file"
    pos, idat = 8, b""
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            assert depth == 8 and colour in (2, 6) and not interlace, (depth, colour, interlace)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    step = 3 if colour == 2 else 4
    raw, stride = zlib.decompress(idat), width * step
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - step] if i >= step else 0
            up, up_left = previous[i], previous[i - step] if i >= step else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                p = left + up - up_left
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - up_left)
                line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else up_left)) & 0xFF
        rows.append([tuple(line[x:x + 3]) for x in range(0, stride, step)])
        previous = line
    return width, height, rows


def corners_show_the_desktop(desktop, results):
    width, height, rows = desktop.screenshot()
    drawn = [(x, y) for y in range(height) for x in range(width) if rows[y][x] != BACKGROUND]
    assert drawn, "the window is not on the screen"
    left, top = min(x for x, _ in drawn), min(y for _, y in drawn)
    right, bottom = max(x for x, _ in drawn), max(y for _, y in drawn)
    assert (right - left + 1, bottom - top + 1) == WINDOW, \
        f"drawn {right - left + 1}x{bottom - top + 1} at {left},{top}, not the window's {WINDOW}"
    corners = {"top left": (left, top), "top right": (right, top),
               "bottom left": (left, bottom), "bottom right": (right, bottom)}
    painted = {where: rows[y][x] for where, (x, y) in corners.items() if rows[y][x] != BACKGROUND}
    assert not painted, f"corners painted over the desktop: {painted}"
    # Inside the rounded outline the face is drawn: the frame at the top edge, the panel within.
    for x, y in ((left + CORNER, top), (left + CORNER, top + CORNER), ((left + right) // 2, bottom - 1)):
        assert rows[y][x] != BACKGROUND, f"the desktop shows through the window at {x},{y}"


def second_start_says_it_is_running(desktop, results):
    # Without an activation token Wayland lets no program raise its window: a message says
    # where the start went, and the start ends at once.
    began = time.monotonic()
    second = desktop.dormivo()
    assert second.returncode == 0, (second.returncode, second.stderr)
    assert time.monotonic() - began < 5, "the second start waited"
    wait_for("the message that Dormivo runs", lambda: f'string "{ALREADY_RUNNING}"' in desktop.bus_log(), 20)
    assert desktop.program.poll() is None, "the first program ended"
