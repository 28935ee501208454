#!/usr/bin/python3
"""e2e.py APP_FOLDER: the real program on private desktops, side by side so that the one-minute
countdowns cost one minute together, used as a screen reader user would. E2E_KEEP=1 keeps logs."""
import os
import re
import signal
import sys
import threading
import time

import commands
from desktop import Desktop, close_all, free_display, python, wait_for
from weston import WestonDesktop, corners_show_the_desktop, second_start_says_it_is_running

WARNING = "Shut Down in 1 minute"
# What a screen reader must find on the main window, each button once.
BUTTONS = ("Start", "Stop", "Exit", "Minimize", "Hide to notification area", "Close", "File",
           "Option", "Help")
MAIN_WINDOW = {("push button", b) for b in BUTTONS} | {("text", "After"), ("label", "After"),
                                                       ("label", "Action")}


def label_texts(desktop):
    return [name or text for role, name, text in desktop.names() if role == "label"]


def remaining_text(desktop):
    return next((t for t in label_texts(desktop) if t.startswith("remaining time to ")), None)


def wait_for_status(desktop, status):
    wait_for(f"the status {status}", lambda: status in label_texts(desktop), 20)


def main_window_showing(desktop):
    return ("push button", "Start", "") in desktop.names()


def start_tick_stop(desktop, results):
    found = desktop.names()
    missing = MAIN_WINDOW - {(role, name) for role, name, _ in found}
    assert not missing, f"not on the accessibility tree: {sorted(missing)}"
    named = [name for _, name, _ in found]
    assert all(named.count(b) == 1 for b in BUTTONS), f"buttons named twice: {named}"
    keys_to(desktop, main_window_id(desktop), "Return")
    wait_for_status(desktop, "Running")
    first = wait_for("the remaining time", lambda: remaining_text(desktop), 20)
    second = wait_for("the next tick", lambda: (t := remaining_text(desktop)) not in (None, first) and t, 20)
    print(f"  ticked: {first!r} -> {second!r}")
    keys_to(desktop, main_window_id(desktop), "ctrl+s")
    wait_for_status(desktop, "Not Running")
    assert desktop.power_calls() == [], desktop.power_calls()


def tray_icon_centre(desktop):
    # trayer docks the icon inside its panel; the icon window carries the program's class.
    panels = desktop.run("xdotool", "search", "--class", "trayer").stdout.split()
    tree = "".join(desktop.run("xwininfo", "-tree", "-id", w).stdout for w in panels)
    found = re.findall(r'\("dormivo" "Dormivo"\)\s+(\d+)x(\d+)\+-?\d+\+-?\d+\s+\+(-?\d+)\+(-?\d+)', tree)
    assert len(found) <= 1, f"{len(found)} Dormivo icons in the tray"
    if not found:
        return None
    w, h, x, y = map(int, found[0])
    return x + w // 2, y + h // 2


def visible_windows(desktop):
    return desktop.run("xdotool", "search", "--onlyvisible", "--pid",
                       str(desktop.program.pid)).stdout.split()


def main_window_id(desktop):
    def area(window):
        size = re.search(r"Geometry: (\d+)x(\d+)", desktop.run("xdotool", "getwindowgeometry", window).stdout)
        return int(size[1]) * int(size[2]) if size else 0
    return max(visible_windows(desktop), key=area)


def keys_to(desktop, window, *keys):
    desktop.run("xdotool", "windowfocus", "--sync", window)
    desktop.run("xdotool", "key", *keys)


def hide_then_main(desktop, results):
    desktop.click("push button", "Hide to notification area")
    wait_for("the main window to hide", lambda: not main_window_showing(desktop), 20)
    hidden = len(visible_windows(desktop))
    x, y = wait_for("the icon in the tray", lambda: tray_icon_centre(desktop), 20)
    desktop.run("xdotool", "mousemove", str(x), str(y), "click", "3")
    wait_for("the icon's menu", lambda: len(visible_windows(desktop)) > hidden, 20)
    # Start, Stop, (separator), Main, Close: popups are not on the accessibility tree.
    desktop.run("xdotool", "key", "Down", "Down", "Down", "Return")
    wait_for("the main window to come back", lambda: main_window_showing(desktop), 20)


def second_start_after_leftover_help(desktop, results):
    main = main_window_id(desktop)  # while no dialog is open
    keys_to(desktop, main, "F1")
    wait_for("the help window", lambda: ("push button", "Shortcuts", "") in desktop.names(), 20)
    keys_to(desktop, main, "ctrl+x")
    wait_for("the main window and its icon to go",
             lambda: not main_window_showing(desktop) and not tray_icon_centre(desktop), 20)
    assert ("push button", "Shortcuts", "") in desktop.names(), "the help window went too"
    desktop.second_start()
    wait_for("the main window again", lambda: main_window_showing(desktop), 20)
    wait_for("the icon back in the tray", lambda: tray_icon_centre(desktop), 20)
    assert any(role == "combo box" and name == "Shut Down" for role, name, _ in desktop.names())


def dark_theme_keeps_the_labels(desktop, results):
    # Under a dark theme only the boxes to type into change; the skin and its texts stay.
    shots = []
    for theme in ({}, {"GTK_THEME": "Adwaita:dark", "QT_QPA_PLATFORMTHEME": "gtk3"}):
        if theme:
            keys_to(desktop, main_window_id(desktop), "ctrl+x")
            wait_for("the light window's end", lambda: desktop.program.poll() is not None, 20)
            desktop.env.update(theme)
            desktop.start_program()
            wait_for("the dark window", lambda: main_window_showing(desktop), 30)
        time.sleep(1)  # its first paint
        screen = desktop.screenshot()
        boxes = [line.split("\t") for line in desktop.read("Dormivo", "boxes").splitlines()]
        parts = [(role, screen.new_subpixbuf(*map(int, box.split()))) for role, _, box in boxes]
        fields = []
        for role, part in parts:
            if role in ("combo box", "text"):
                fields.append(part.copy().read_pixel_bytes().get_data())
                part.fill(0)  # left to the theme
        shots.append((fields, parts[0][1].copy().read_pixel_bytes().get_data()))  # the window
    (light_fields, light), (dark_fields, dark) = shots
    assert light_fields != dark_fields, "the program did not take the dark theme"
    assert light == dark, "the window's skin or a text on it looks different under the dark theme"


def on_screen(desktop):
    return [name or text for _, name, text in desktop.names("notification-daemon")]


def wait_for_warning(desktop):
    wait_for("the warning on screen", lambda: WARNING in on_screen(desktop), 20)
    assert "Stop" in on_screen(desktop), "the warning offers no stop"
    return time.time()


def warning_follows_action_then_action(desktop, results):
    warned_at = wait_for_warning(desktop)
    # Down in the focused action box chooses Restart: one warning, for Restart.
    keys_to(desktop, main_window_id(desktop), "Down")
    texts = wait_for("the rewritten warning on screen", lambda: (texts := on_screen(desktop)) and any(
        t.startswith("Restart in ") for t in texts) and texts, 20)
    assert not any(WARNING in t for t in texts), f"the old warning is still shown: {texts}"
    assert any(re.fullmatch(r"Restart in (1 minute|[1-5]?\d seconds)", t) for t in texts), texts
    wait_for("the power action", desktop.power_calls, 90)
    results["warning lead time"] = desktop.power_time() - warned_at
    wait_for("the warning's withdrawal", lambda: "CloseNotification" in desktop.log("bus.log"), 20)
    wait_for_status(desktop, "Not Running")
    assert desktop.power_calls() == ["systemctl reboot"], desktop.power_calls()


def warning_stop(desktop, results):
    wait_for_warning(desktop)
    desktop.click("push button", "Stop", app="notification-daemon")
    wait_for_status(desktop, "Not Running")
    desktop.past_the_first_minute()
    assert "Not Running" in label_texts(desktop)


def frozen_panel(desktop):
    desktop.panel = desktop.spawn(*python("watcher.py"), log="watcher.log")
    wait_for("the frozen panel", lambda: desktop.bus_has("org.kde.StatusNotifierWatcher"), 20)


def beside_frozen_panel(desktop, results):
    results["start beside a frozen panel"] = desktop.shown - desktop.started
    assert desktop.shown - desktop.started < 10, "the window waited for the panel"
    results["hand-over beside a frozen panel"] = desktop.second_start(within=3)
    # Longer than the program waits for an answer: it has to ask again.
    time.sleep(max(0.0, desktop.shown + 5 - time.monotonic()))
    desktop.panel.send_signal(signal.SIGUSR1)
    wait_for("the icon at the panel", lambda: "registered" in desktop.log("watcher.log"), 40)


def run_desktop(app_folder, display, cases, outcomes, results, prepare=None, kind=Desktop,
                **options):
    desktop = None
    try:  # a failing case fails the cases after it too
        desktop = kind(app_folder, display, **options)
        if prepare:
            prepare(desktop)
        desktop.start_program()
        wait_for("the program on the accessibility bus", lambda: main_window_showing(desktop), 30)
        desktop.shown = time.monotonic()
        for case in cases:
            case(desktop, results)
            outcomes[case.__name__] = None
    except Exception as error:
        for case in cases:
            outcomes.setdefault(case.__name__, f"{type(error).__name__}: {error}")
    finally:
        if desktop is not None:
            desktop.close()


def main():
    app_folder = os.path.abspath(sys.argv[1])
    for sig in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
        signal.signal(sig, lambda signum, _: sys.exit(f"stopped by signal {signum}"))
    resumed = {"started_countdown": True}
    plan = [([start_tick_stop, hide_then_main, second_start_after_leftover_help], {}),
            ([warning_follows_action_then_action], resumed),
            ([warning_stop], resumed),
            ([beside_frozen_panel], {"prepare": frozen_panel}),
            ([dark_theme_keeps_the_labels], {}),
            ([corners_show_the_desktop, second_start_says_it_is_running], {"kind": WestonDesktop}),
            (commands.CASES, {"program_args": commands.FIRST_START}),
            ([commands.ten_more_minutes_from_the_warning], {**resumed, "chooser": "10 more minutes"})]
    outcomes, results, threads, displays = {}, {}, [], []
    began = time.monotonic()
    for cases, options in plan:
        displays.append(free_display(exclude=displays))
        threads.append(threading.Thread(target=run_desktop, daemon=True, kwargs=options, args=(
            app_folder, displays[-1], cases, outcomes, results)))
    try:
        for t in threads:
            t.start()
        for t in threads:
            t.join()
    finally:
        close_all()  # also when a signal ended the wait
    failed = False
    for case in (case for cases, _ in plan for case in cases):
        outcome = outcomes.get(case.__name__, "not run")
        failed |= outcome is not None
        print(f"PASS {case.__name__}" if outcome is None else f"FAIL {case.__name__} ({outcome})")
    for figure, seconds in results.items():
        print(f"{figure}: {seconds:.2f} s")
    print(f"suite time: {time.monotonic() - began:.0f} s")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
