"""The command line of the real program on a private desktop, as a script uses it, and the
warning's "10 more minutes" chosen by our notification server."""
import datetime
import math
import os
import re
import shutil
import signal
import subprocess
import time

from desktop import wait_for

REMAINING = r"remaining time to {} is ((\d+) minutes?)?(, )?((\d+) seconds?)?"
FIRST_START = ("--start", "2", "--action", "log off")


def status(desktop):
    """The status line, its exit status and the seconds it says are left (or None)."""
    done = desktop.dormivo("--status")
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


def expect_done(desktop, *args):
    done = desktop.dormivo(*args)
    assert (done.returncode, done.stdout, done.stderr) == (0, "", ""), (args, done)


def boxes(desktop):
    found = desktop.names()
    action = next((n for r, n, _ in found if r == "combo box"), None)  # the unit's comes next
    period = next((t for r, n, t in found if r == "text" and n == "After"), None)
    state = next((n for r, n, _ in found if r == "label" and n in ("Running", "Not Running")), None)
    return action, period, state


def start_without_dormivo_then_status(desktop, results):
    wait_for("the countdown in the window", lambda: boxes(desktop) == ("Log Off", "2", "Running"), 20)
    expect_running(desktop, "Log Off", 120)


def refused_action_then_stop(desktop, results):
    # Only the running Dormivo knows the actions: it refuses this one.
    done = desktop.dormivo("--start", "1", "--action", "nap")
    assert (done.returncode, done.stdout, done.stderr.count("\n")) == (2, "", 1), done
    assert boxes(desktop) == ("Log Off", "2", "Running"), boxes(desktop)
    expect_done(desktop, "--stop")
    assert status(desktop)[:2] == ("Not Running", 1), status(desktop)
    wait_for("the window to say so", lambda: boxes(desktop)[2] == "Not Running", 20)


def commands_while_a_message_box_waits(desktop, results):
    # "abc" in the period box and Start: "Please Enter valid Number." waits for its OK.
    desktop.click("text", "After", times=3)
    desktop.run("xdotool", "type", "abc")
    desktop.click("push button", "Start")
    wait_for("the message box", lambda: ("push button", "OK", "") in desktop.names(), 20)
    assert status(desktop)[:2] == ("Not Running", 1), status(desktop)
    done = desktop.dormivo("--start", "1", "--action", "shut down")
    assert done.returncode == 1 and "waits for an answer" in done.stderr, done
    expect_done(desktop, "--stop")
    desktop.click("push button", "OK")
    wait_for("the box to close", lambda: ("push button", "OK", "") not in desktop.names(), 20)
    assert status(desktop)[:2] == ("Not Running", 1), status(desktop)
    assert boxes(desktop)[1:] == ("1", "Not Running"), boxes(desktop)


def two_starts_at_once(desktop, results):
    both = [subprocess.Popen([f"{desktop.app}/dormivo", "--start", str(n)], env=desktop.env,
                             stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
            for n in (4, 5)]
    said = [(p.wait(timeout=30), p.communicate()[1]) for p in both]
    assert sorted(code for code, _ in said) == [0, 1], said
    assert any("already runs" in err for _, err in said), said
    expect_done(desktop, "--stop")


def at_a_few_minutes_ahead(desktop, results):
    def minutes_to(then):
        return math.ceil((then - datetime.datetime.now()).total_seconds() / 60)
    then = (datetime.datetime.now() + datetime.timedelta(minutes=3)).replace(second=0, microsecond=0)
    earliest = minutes_to(then)
    expect_done(desktop, "--at", then.strftime("%H:%M"), "--action", "RESTART")
    latest = minutes_to(then)
    action, period, state = boxes(desktop)
    assert (action, state) == ("Restart", "Running") and int(period) in (earliest, latest), period
    expect_running(desktop, "Restart", int(period) * 60)
    expect_done(desktop, "--stop")
    assert desktop.power_calls() == [], desktop.power_calls()


def after_a_helper_process(desktop, results):
    # sleep under a name no other process of this user has.
    sleeper = os.path.join(desktop.dir, f"after{os.getpid()}")
    shutil.copy("/bin/sleep", sleeper)
    name = os.path.basename(sleeper)
    for by in ("pid", "name"):
        helper, began = desktop.spawn(sleeper, "3"), time.monotonic()
        expect_done(desktop, "--after", str(helper.pid) if by == "pid" else name, "--action",
                    "log off")
        waiting = f"Waiting for {name}" + (f" ({helper.pid})" if by == "pid" else "") + " to end"
        assert ("label", waiting) in [(r, n or t) for r, n, t in desktop.names()], desktop.names()
        while (now := status(desktop))[:2] == (waiting, 0) and time.monotonic() < began + 10:
            pass
        results[f"--after {by}: countdown seen within"] = seen = time.monotonic() - began - 3
        assert helper.poll() is not None and now[2] and seen < 1, ("before the end?", now, seen)
        expect_done(desktop, "--stop")
    helper = desktop.spawn(sleeper, "20")
    expect_done(desktop, "--after", str(helper.pid))
    desktop.click("push button", "Stop")
    wait_for("the wait given up", lambda: status(desktop)[:2] == ("Not Running", 1), 10)
    helper.kill()
    time.sleep(1.5)
    assert status(desktop)[:2] == ("Not Running", 1) and desktop.power_calls() == [], status(desktop)


def unanswered_command_is_not_done_later(desktop, results):
    desktop.program.send_signal(signal.SIGSTOP)
    try:
        done = desktop.dormivo("--start", "3", "--action", "restart")
    finally:
        desktop.program.send_signal(signal.SIGCONT)
    assert done.returncode == 1 and "does not answer" in done.stderr, done
    time.sleep(1)
    assert status(desktop)[:2] == ("Not Running", 1), status(desktop)


def action_on_time_after_a_freeze(desktop, results):
    expect_done(desktop, "--start", "1", "--action", "shut down")
    started = time.time()
    time.sleep(10)
    desktop.program.send_signal(signal.SIGSTOP)
    time.sleep(20)
    desktop.program.send_signal(signal.SIGCONT)
    wait_for("the power action", desktop.power_calls, 45)
    fired = desktop.power_time() - started
    results["action after a one-minute countdown with a 20 s freeze"] = fired
    assert desktop.power_calls() == ["systemctl poweroff"], desktop.power_calls()
    assert abs(fired - 60) < 2, fired

CASES = [start_without_dormivo_then_status, refused_action_then_stop,
         commands_while_a_message_box_waits, two_starts_at_once, unanswered_command_is_not_done_later,
         at_a_few_minutes_ahead, after_a_helper_process, action_on_time_after_a_freeze]


def ten_more_minutes_from_the_warning(desktop, results):
    # The resumed one-minute Shut Down warns at once, and the server chooses for the user.
    log = wait_for("the choice", lambda: "invoked" in (log := desktop.log("notifyd.log")) and log, 20)
    assert re.search(r"notify \d+ Shut Down in (1 minute|\d+ seconds) \| stop=Stop snooze=", log), log
    wait_for("the warning's withdrawal",
             lambda: re.search(r"^close \d+", desktop.log("notifyd.log"), re.M), 20)
    assert expect_running(desktop, "Shut Down", 660) > 600
    row = desktop.sql("SELECT period, Type FROM setting;").split()
    assert row[-1:] == ["11|0"], row
    desktop.past_the_first_minute()
    expect_running(desktop, "Shut Down", 600)
    expect_done(desktop, "--stop")
