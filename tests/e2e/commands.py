"""The command line of the real program on a private desktop: a script starts, asks, stops and
starts a countdown again, and a notification server chooses "10 more minutes" in the warning.
Each case takes (desktop, results) like the suite's other cases."""
import datetime
import math
import os
import re
import signal
import subprocess
import time

from desktop import HERE, PASSWORD, kill_group, wait_for

REMAINING = r"remaining time to {} is ((\d+) minutes?)?(, )?((\d+) seconds?)?"


def dormivo(desktop, *args):
    return desktop.run(os.path.join(desktop.app, "dormivo"), *args)


def status(desktop):
    """The status line, its exit status and the seconds it says are left (None for none)."""
    done = dormivo(desktop, "--status")
    assert done.stderr == "", done.stderr
    line = done.stdout.rstrip("\n")
    found = re.fullmatch(REMAINING.format(r"[\w ]+"), line)
    seconds = int(found[2] or 0) * 60 + int(found[5] or 0) if found else None
    return line, done.returncode, seconds


def expect_running(desktop, action, longest):
    line, code, seconds = status(desktop)
    assert code == 0 and re.fullmatch(REMAINING.format(action), line), (code, line)
    assert 0 < seconds <= longest, line
    return seconds


def boxes(desktop):
    """The action, the period and the status the window shows, as a screen reader reads them."""
    found = desktop.names()
    action = next((n for r, n, _ in found if r == "combo box"), None)  # the unit's comes next
    period = next((t for r, n, t in found if r == "text" and n == "After"), None)
    state = "Not Running" if ("label", "Not Running", "") in found else \
        "Running" if ("label", "Running", "") in found else None
    return action, period, state


def start_by_command(desktop):
    desktop.program_args = ["--start", "2", "--action", "log off"]


def start_without_dormivo_then_status(desktop, results):
    wait_for("the countdown in the window", lambda: boxes(desktop) == ("Log Off", "2", "Running"), 20)
    expect_running(desktop, "Log Off", 120)


def refused_input_changes_nothing(desktop, results):
    before = expect_running(desktop, "Log Off", 120)
    # The last is refused by the running Dormivo, which knows the actions.
    for args in (["--start", "0"], ["--at", "25:00"], ["--start", "1", "--stop"],
                 ["--start", "1", "--action", "nap"]):
        done = dormivo(desktop, *args)
        assert done.returncode == 2 and done.stdout == "", (args, done)
        assert done.stderr.startswith("dormivo: ") and done.stderr.count("\n") == 1, done.stderr
    # Start while a countdown runs would change nothing but the action: refused as a whole.
    done = dormivo(desktop, "--start", "5", "--action", "restart")
    assert done.returncode == 1 and "already runs" in done.stderr, done
    assert boxes(desktop) == ("Log Off", "2", "Running"), boxes(desktop)
    assert expect_running(desktop, "Log Off", before) <= before


def stop_then_status(desktop, results):
    done = dormivo(desktop, "--stop")
    assert (done.returncode, done.stdout, done.stderr) == (0, "", ""), done
    assert status(desktop)[:2] == ("Not Running", 1), status(desktop)
    wait_for("the window to say so", lambda: boxes(desktop)[2] == "Not Running", 20)


def forwarded_start_with_another_action(desktop, results):
    done = dormivo(desktop, "--start", "3", "--action", "RESTART")
    assert (done.returncode, done.stdout, done.stderr) == (0, "", ""), done
    assert boxes(desktop) == ("Restart", "3", "Running"), boxes(desktop)
    assert expect_running(desktop, "Restart", 180) > 170


def at_a_few_minutes_ahead(desktop, results):
    assert dormivo(desktop, "--stop").returncode == 0
    def minutes_to(then):
        return math.ceil((then - datetime.datetime.now()).total_seconds() / 60)
    then = (datetime.datetime.now() + datetime.timedelta(minutes=3)).replace(second=0, microsecond=0)
    earliest = minutes_to(then)
    done = dormivo(desktop, "--at", then.strftime("%H:%M"))
    latest = minutes_to(then)
    assert (done.returncode, done.stderr) == (0, ""), done
    action, period, state = boxes(desktop)
    assert (action, state) == ("Restart", "Running") and int(period) in (earliest, latest), \
        (boxes(desktop), earliest, latest)
    expect_running(desktop, "Restart", int(period) * 60)
    assert dormivo(desktop, "--stop").returncode == 0
    assert desktop.power_calls() == [], desktop.power_calls()


def chooses_ten_more_minutes(desktop):
    """notification-daemon cannot be told to choose: a server of our own takes its place."""
    daemon = next(p for p in desktop.procs if p.args[0].endswith("notification-daemon"))
    kill_group(daemon.pid, signal.SIGTERM)
    daemon.wait(10)
    wait_for("the name to be free", lambda: not desktop.bus_has("org.freedesktop.Notifications"), 20)
    desktop.spawn("/usr/bin/python3", "-B", os.path.join(HERE, "notifier.py"), "10 more minutes",
                  log="notifier.log")
    wait_for("our notification server", lambda: desktop.bus_has("org.freedesktop.Notifications"), 20)


def notifier_log(desktop):
    with open(os.path.join(desktop.dir, "notifier.log")) as f:
        return f.read()


def setting_row(desktop):
    sql = f"PRAGMA key='{PASSWORD}';\nSELECT period, Type FROM setting;\n"
    done = subprocess.run(["sqlcipher", os.path.join(desktop.app, "info.velkaro")], input=sql,
                          text=True, capture_output=True, timeout=30)
    return done.stdout.split()[-1] if done.stdout.split() else None


def ten_more_minutes_from_the_warning(desktop, results):
    # The resumed one-minute Shut Down warns at once, and the server chooses for the user.
    log = wait_for("the choice", lambda: "invoked" in notifier_log(desktop) and notifier_log(desktop), 20)
    assert re.search(r"notify \d+ Shut Down in (1 minute|\d+ seconds) \| stop=Stop snooze=", log), log
    wait_for("the warning's withdrawal", lambda: re.search(r"^close \d+", notifier_log(desktop), re.M), 20)
    assert expect_running(desktop, "Shut Down", 660) > 600
    assert setting_row(desktop) == "11|0", setting_row(desktop)
    # Past the moment the countdown would have run out, nothing may have happened.
    while time.monotonic() < desktop.started + 70:
        time.sleep(1)
    assert desktop.power_calls() == [], desktop.power_calls()
    expect_running(desktop, "Shut Down", 600)
    assert dormivo(desktop, "--stop").returncode == 0
