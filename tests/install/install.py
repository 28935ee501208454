"""The real binary, run from a copy of its application folder with a home and runtime folder of
its own, as root or as the user nobody; every program started is killed when its case ends."""
import fcntl
import glob
import hashlib
import os
import pwd
import resource
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from desktop import sql, wait_for  # noqa: E402

BUILT = os.path.abspath(sys.argv.pop(1))  # the build's application folder
ROOT = os.geteuid() == 0
NOBODY = pwd.getpwnam("nobody")


def listens_in(folder):
    return glob.glob(os.path.join(folder, "*.socket"))


def ask(app, env, *args, **who):
    return subprocess.run([os.path.join(app, "dormivo"), *args], env=env, capture_output=True,
                          text=True, timeout=15, **who)


def give_to_nobody(*paths):
    for path in paths:
        os.chown(path, NOBODY.pw_uid, NOBODY.pw_gid)


class Installed(unittest.TestCase):
    def folder(self):
        made = tempfile.TemporaryDirectory()
        self.addCleanup(made.cleanup)
        return made.name

    def installed(self):
        """A copy of the application folder and a home: the folder, its settings, the home, env."""
        app, home = self.folder(), self.folder()
        for name in ("dormivo", "dormivo-power", "info.velkaro"):
            shutil.copy2(os.path.join(BUILT, name), app)
        env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
                   XDG_RUNTIME_DIR=home, QT_QPA_PLATFORM="offscreen")
        env.pop("XDG_DATA_HOME", None)
        return app, os.path.join(app, "info.velkaro"), home, env

    def start(self, app, env, as_nobody=False, argv=None, files=None):
        said = tempfile.TemporaryFile()
        self.addCleanup(said.close)
        who = dict(user=NOBODY.pw_uid, group=NOBODY.pw_gid, extra_groups=[]) if as_nobody else {}
        if files:  # the most descriptors it may hold
            who["preexec_fn"] = lambda: resource.setrlimit(resource.RLIMIT_NOFILE, (files, files))
        program = subprocess.Popen(argv or [os.path.join(app, "dormivo")], env=env, cwd=env["HOME"],
                                   stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                   stderr=said, **who)
        program.said = lambda: os.pread(said.fileno(), 1 << 20, 0).decode()
        self.addCleanup(program.wait)
        self.addCleanup(program.kill)
        return program

    def runs_until(self, program, condition):
        try:
            wait_for("the program", lambda: program.poll() is not None or condition(), 15)
        except AssertionError:
            pass
        self.assertTrue(program.poll() is None and condition(), program.said())

    def says(self, program, *texts):
        self.runs_until(program, lambda: all(text in program.said() for text in texts))

    def test_where_the_first_start_waits_for_later_ones(self):
        # A first start killed leaves its socket behind, and the next one takes it over.
        for runtime, cache, listens, says in [
            (None, "cache", ".cache/dormivo", None),  # relative: as if unset
            (None, "file/cache", None, "starting without the check"),  # no private folder
            ("r" * 100, None, None, "cannot wait for later starts"),  # too long a socket path
        ]:
            with self.subTest(runtime=runtime, cache=cache):
                app, _, home, env = self.installed()
                open(os.path.join(home, "file"), "w").close()
                env.pop("XDG_RUNTIME_DIR")
                if runtime is not None:
                    env["XDG_RUNTIME_DIR"] = os.path.join(home, runtime)
                    os.makedirs(env["XDG_RUNTIME_DIR"], 0o700, exist_ok=True)
                if cache:
                    env["XDG_CACHE_HOME"] = cache if cache == "cache" else os.path.join(home, cache)
                if says:  # each start runs on its own, and says so once
                    for _ in range(2):
                        program = self.start(app, env)
                        self.says(program, says)
                        time.sleep(0.3)  # long enough to say it twice
                        self.assertEqual(program.said().count("dormivo: "), 1, program.said())
                    continue
                killed = self.start(app, env)
                self.runs_until(killed, lambda: listens_in(os.path.join(home, listens)))
                [left] = listens_in(os.path.join(home, listens))
                killed.kill()
                killed.wait()
                self.assertFalse(os.path.exists(os.path.join(home, "cache")))
                following = self.start(app, env)
                self.runs_until(following, lambda: socket.socket(socket.AF_UNIX).connect_ex(left) == 0)
                self.assertEqual(self.start(app, env).wait(timeout=15), 0, "hands over")
                self.assertIsNone(following.poll())

    def test_without_a_display_only_questions_are_answered_in_one_line(self):
        unused = next(n for n in range(1000, 2000)  # two X display numbers no server uses
                      if not any(glob.glob(f"/tmp/.X11-unix/X{m}") + glob.glob(f"/tmp/.X{m}-lock")
                                 for m in (n, n + 1)))
        dead = f":{unused}"
        # A display that takes the connection and never answers.
        silent = socket.socket(socket.AF_UNIX)
        self.addCleanup(silent.close)
        os.makedirs("/tmp/.X11-unix", exist_ok=True)
        silent.bind(f"/tmp/.X11-unix/X{unused + 1}")
        self.addCleanup(os.remove, f"/tmp/.X11-unix/X{unused + 1}")
        silent.listen(8)
        for args, display, status, out, err in [
            (["--status"], None, 1, "Dormivo is not running\n", ""),
            (["--stop"], "offscreen", 1, "", "dormivo: Dormivo is not running\n"),
            (["--start", "5"], None, 1, "", "dormivo: no display"),
            ([], None, 1, "", "dormivo: no display"),
            ([], dead, 1, "", f'dormivo: cannot open the X display "{dead}"'),
            ([], "bogus", 1, "", 'dormivo: cannot open the display (Qt: Could not find the Qt '
                                 'platform plugin "bogus"'),
            ([], f":{unused + 1}", 1, "", f'dormivo: the X display ":{unused + 1}" does not answer'),
        ]:
            with self.subTest(args=args, display=display):
                app, _, home, env = self.installed()
                for name in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"):
                    env.pop(name, None)
                if args[0:1] in (["--status"], ["--stop"]):
                    del env["XDG_RUNTIME_DIR"]  # asked from cron or ssh: still nothing is made
                if display in ("offscreen", "bogus"):
                    env["QT_QPA_PLATFORM"] = display
                elif display:
                    env["DISPLAY"] = display
                done = ask(app, env, *args)
                self.assertEqual(done.returncode, status)  # neither an abort nor a core
                self.assertTrue(done.stdout.startswith(out), done.stdout)
                self.assertTrue(done.stderr.startswith(err), done.stderr)
                self.assertEqual((done.stdout + done.stderr).count("\n"), 1)
                self.assertEqual(os.listdir(home), [], "nothing is made for the user")

    def test_idle_or_overlong_clients_leave_it_reachable(self):
        # More idle clients than its 1,024 descriptors; half a line; a line at the bound and over.
        app, _, home, env = self.installed()
        soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
        resource.setrlimit(resource.RLIMIT_NOFILE, (min(hard, 4096), hard))
        self.addCleanup(resource.setrlimit, resource.RLIMIT_NOFILE, (soft, hard))
        program = self.start(app, env, files=1024)
        self.runs_until(program, lambda: listens_in(home))
        [path] = listens_in(home)
        idle = []
        self.addCleanup(lambda: [c.close() for c in idle])
        for _ in range(1060):
            idle.append(socket.socket(socket.AF_UNIX))
            idle[-1].settimeout(5)
            # A full backlog is not waited for; ask again until the program takes it.
            wait_for("the program to take a connection",
                     lambda: idle[-1].connect_ex(path) in (0, 106), 5)
        idle[-1].sendall(b"run --st")
        self.assertEqual(idle[-1].recv(100), b"", "half a line is not waited for for ever")
        status = ask(app, env, "--status")
        self.assertEqual((status.returncode, status.stdout), (1, "Not Running\n"))
        for size, answered in ((4096, True), (4097, False)):
            with socket.socket(socket.AF_UNIX) as client:
                client.settimeout(5)
                client.connect(path)
                client.sendall(b"run --start=" + b"0" * (size - 14) + b"5\n")
                self.assertEqual(client.recv(100).startswith(b"shown"), answered, size)

    @unittest.skipUnless(ROOT, "needs root (as in CI) to make the user nobody's runtime folder")
    def test_a_start_without_xdg_runtime_dir_finds_the_sessions_dormivo(self):
        runtime = f"/run/user/{NOBODY.pw_uid}"
        if os.path.exists(runtime):
            self.skipTest(f"{runtime} exists already")
        os.makedirs(runtime, 0o700)
        self.addCleanup(shutil.rmtree, runtime)
        give_to_nobody(runtime)
        app, _, home, env = self.installed()
        os.chmod(app, 0o755)
        give_to_nobody(home)
        env["XDG_RUNTIME_DIR"] = runtime
        program = self.start(app, env, as_nobody=True)
        self.runs_until(program, lambda: listens_in(runtime))
        del env["XDG_RUNTIME_DIR"]  # as cron, su or ssh start it
        asked = ask(app, env, "--status", user=NOBODY.pw_uid, group=NOBODY.pw_gid, extra_groups=[])
        self.assertEqual((asked.returncode, asked.stdout), (1, "Not Running\n"), asked.stderr)

    @unittest.skipUnless(ROOT, "needs root (as in CI) to give folders to the user nobody")
    def test_another_users_files_in_a_shared_folder_neither_block_nor_are_written_through(self):
        # Qt's and our former fallback folders, another user's, with our lock held or a link.
        for linked_lock in (False, True):
            with self.subTest(linked_lock=linked_lock):
                shared = self.folder()
                os.chmod(shared, 0o1777)
                for name in (f"runtime-{pwd.getpwuid(os.getuid()).pw_name}",
                             f"dormivo-{os.getuid()}"):
                    os.mkdir(os.path.join(shared, name))
                    os.chmod(os.path.join(shared, name), 0o777)
                    give_to_nobody(os.path.join(shared, name))
                app, settings, home, env = self.installed()
                key = hashlib.sha256(settings.encode()).hexdigest()[:16]
                lock = os.path.join(shared, f"dormivo-{os.getuid()}", f"dormivo-{key}.lock")
                planted = os.path.join(shared, "planted")
                if linked_lock:
                    os.symlink(planted, lock)
                else:
                    held = open(lock, "w")
                    self.addCleanup(held.close)
                    fcntl.flock(held, fcntl.LOCK_EX)
                    give_to_nobody(lock)
                del env["XDG_RUNTIME_DIR"]
                env["TMPDIR"] = shared
                program = self.start(app, env)
                self.runs_until(program, lambda: listens_in(os.path.join(home, ".cache/dormivo")))
                self.assertFalse(os.path.exists(planted), "created through a link")

    @unittest.skipUnless(ROOT and shutil.which("unshare"), "needs root (as in CI) to mount")
    def test_root_running_the_installed_program_leaves_every_users_defaults_as_they_are(self):
        # Under /opt (in a mount namespace of its own) root may write it, yet it is everyone's.
        app, settings, home, env = self.installed()
        shipped = open(settings, "rb").read()
        copy = os.path.join(home, ".local/share/dormivo/info.velkaro")
        program = self.start(app, env, argv=[
            "unshare", "--mount", "--propagation", "private", "sh", "-c",
            'mount -t tmpfs none /opt && mkdir /opt/dormivo && mount --bind "$0" /opt/dormivo'
            ' && exec /opt/dormivo/dormivo --start 90 --action Hibernate', app])
        self.runs_until(program, lambda: os.path.exists(copy) and sql(
            copy, "SELECT period, Action FROM setting;").stdout == "90|4\n")
        self.assertEqual(open(settings, "rb").read(), shipped)

    def test_says_which_file_cannot_be_used_and_why(self):
        # On stderr, where a test can read it while the message box waits.
        app, settings, home, env = self.installed()
        sql(settings, "DROP TABLE actions;")
        self.says(self.start(app, env), "lacks a table", "(no such table: actions)", settings)
        if not ROOT:
            return
        app, _, home, env = self.installed()
        os.chmod(app, 0o755)
        give_to_nobody(home)
        env["XDG_DATA_HOME"] = os.path.join(home, "data")
        os.mkdir(env["XDG_DATA_HOME"], 0o755)  # root's, closed to the user: no private copy
        self.says(self.start(app, env, as_nobody=True), "cannot be made in",
                  "(Permission denied)", os.path.join(home, "data/dormivo/info.velkaro"))


if __name__ == "__main__":
    unittest.main(verbosity=2)
