"""The two builds of the program, as the end-to-end tests run them.

NativeBuild runs the Linux program in a small hand-made Wine prefix;
WindowsBuild runs the Windows program under Wine in a throwaway prefix that
it makes with wineboot (and whose server it ends when closed). Both lay out
drive_c as a case of the behaviour table says, and run the program once, or
several times at once.
"""
import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from behaviour_table import LIST  # noqa: E402

SKIP = 77


def have_wine():
    return bool(shutil.which("wine") and shutil.which("wineserver"))


def skip(what):
    """Reports a skipped test; returns its exit code (a failure under CI)."""
    print("SKIPPED: " + what)
    return 1 if os.environ.get("CI") else SKIP


def escape_reg_string(data):
    out = []
    for byte in data:
        ch = chr(byte)
        if ch in '\\"':
            out.append("\\" + ch)
        elif 32 <= byte < 127:
            out.append(ch)
        else:
            out.append("\\x%02x" % byte)
    return "".join(out)


def system_reg(registry):
    text = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win32\n\n"
    if registry is not None:
        kind, data = registry
        text += "[Software\\\\Oskmere\\\\Talvenor\\\\4.0] 1796987123\n#time=1dd895f849514dc\n"
        if kind == 1:
            text += '"baseDir"="%s"\n' % escape_reg_string(data)
        else:
            text += '"baseDir"=hex(%x):%s\n' % (kind, ",".join("%02x" % b for b in data))
    return text + "\n"


def lay_out_drive(drive_c, c):
    """Lays out the files of case `c` below drive_c (which must exist)."""
    for entry in os.listdir(drive_c):
        if entry not in ("windows", "users", "ProgramData", "Program Files",
                         "Program Files (x86)", "e2e"):
            path = os.path.join(drive_c, entry)
            for root, dirs, _ in os.walk(path):
                for d in dirs:
                    os.chmod(os.path.join(root, d), 0o755)
            if os.path.isdir(path) and not os.path.islink(path):
                shutil.rmtree(path)
            else:
                os.unlink(path)
    os.makedirs(os.path.join(drive_c, os.path.dirname(LIST)))
    if c["before"] is not None:
        with open(os.path.join(drive_c, LIST), "wb") as f:
            f.write(c["before"])
        if "mode" in c:
            os.chmod(os.path.join(drive_c, LIST), c["mode"])
    for name, data in c.get("files", {}).items():
        with open(os.path.join(drive_c, name), "wb") as f:
            f.write(data)
    for name in c.get("dirs", []):
        os.makedirs(os.path.join(drive_c, name))
    for name, target in c.get("links", {}).items():
        os.symlink(target, os.path.join(drive_c, name))


def read_or_none(path):
    if not os.path.isfile(path) or os.path.islink(path):
        return None
    with open(path, "rb") as f:
        return f.read()


QUIET = dict(stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


class NativeBuild:
    name = "native"

    def __init__(self, program):
        self.program = os.path.abspath(program)
        self.root = tempfile.mkdtemp(prefix="theaterlist-e2e-")
        self.drive_c = os.path.join(self.root, "drive_c")
        self.env = dict(os.environ, WINEPREFIX=self.root)
        os.makedirs(os.path.join(self.root, "dosdevices"))
        os.makedirs(self.drive_c)
        os.symlink("../drive_c", os.path.join(self.root, "dosdevices", "c:"))

    def lay_out(self, c):
        lay_out_drive(self.drive_c, c)
        with open(os.path.join(self.root, "system.reg"), "w") as f:
            f.write(system_reg(c["registry"]))

    def command(self, c, wrapper=()):
        if "argv" in c:
            args = c["argv"]
        else:
            args = [os.fsdecode(c["tail"])] if c["tail"] else []
        return list(wrapper) + [self.program] + args

    def run(self, c, lay_out=True, **popen):
        """Runs case `c`; returns the exit code and what the program printed."""
        if lay_out:
            self.lay_out(c)
        result = subprocess.run(self.command(c), env=self.env, capture_output=True,
                                timeout=60, **popen)
        return result.returncode, result.stdout + result.stderr

    def run_concurrently(self, c, tails):
        """Starts one run per command-line tail at once; returns their exit codes."""
        self.lay_out(c)
        runs = [subprocess.Popen(self.command(dict(c, tail=tail)), env=self.env, **QUIET)
                for tail in tails]
        return [run.wait(timeout=120) for run in runs]

    def hold_lock(self, directory):
        """Starts a process that takes the lock of `directory` (below drive_c)
        as the program does, and returns once it holds it."""
        path = os.path.join(self.drive_c, directory)
        holder = subprocess.Popen(
            [sys.executable, "-c",
             "import fcntl, os, sys, time\n"
             "fd = os.open(sys.argv[1], os.O_RDONLY | os.O_DIRECTORY)\n"
             "fcntl.flock(fd, fcntl.LOCK_EX)\n"
             "print('locked', flush=True)\n"
             "time.sleep(600)\n", path], stdout=subprocess.PIPE)
        holder.stdout.readline()
        return holder

    def close(self):
        shutil.rmtree(self.root, ignore_errors=True)


class WindowsBuild:
    name = "windows"

    def __init__(self, program, launcher, lock_holder=None):
        self.root = tempfile.mkdtemp(prefix="theaterlist-wine-")
        self.env = dict(os.environ, WINEPREFIX=self.root, WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=")
        # Wine's helper processes outlive the programs they serve: their output
        # goes nowhere, so that no pipe is left open behind them.
        subprocess.run(["wineboot", "-i"], env=self.env, check=True, timeout=300, **QUIET)
        subprocess.run(["wineserver", "-p"], env=self.env, timeout=60, **QUIET)
        self.drive_c = os.path.join(self.root, "drive_c")
        self.case_dir = os.path.join(self.drive_c, "e2e")
        os.makedirs(self.case_dir)
        shutil.copy(program, os.path.join(self.case_dir, "theaterlist.exe"))
        shutil.copy(launcher, os.path.join(self.case_dir, "launcher.exe"))
        if lock_holder:
            shutil.copy(lock_holder, os.path.join(self.case_dir, "lock_holder.exe"))

    def command_line(self, c):
        if c.get("command_line") is not None:
            return c["command_line"]
        return b"theaterlist.exe" + (b" " + c["tail"] if c["tail"] else b"")

    def lay_out(self, c):
        lay_out_drive(self.drive_c, c)

    def launch(self, c, command_lines, lay_out=True):
        if lay_out:
            self.lay_out(c)
        files = {"program": b"C:\\e2e\\theaterlist.exe",
                 "command_line": b"\0".join(command_lines)}
        if c["registry"] is not None:
            kind, data = c["registry"]
            files["registry"] = b"%d\n" % kind + data
        for name in ("program", "command_line", "registry", "exit_codes"):
            path = os.path.join(self.case_dir, name)
            if os.path.exists(path):
                os.unlink(path)
            if name in files:
                with open(path, "wb") as f:
                    f.write(files[name])
        return subprocess.run(["wine", "C:\\e2e\\launcher.exe", "C:\\e2e"], env=self.env,
                              timeout=180, **QUIET).returncode

    def run(self, c, lay_out=True):
        """Runs case `c`; returns the exit code (Wine's own messages are not the
        program's, so nothing counts as printed)."""
        return self.launch(c, [self.command_line(c)], lay_out), b""

    def run_concurrently(self, c, tails):
        if self.launch(c, [self.command_line(dict(c, tail=t)) for t in tails]) != 0:
            return []
        with open(os.path.join(self.case_dir, "exit_codes")) as f:
            return [int(line) for line in f]

    def hold_lock(self, directory):
        marker = os.path.join(self.case_dir, "locked")
        if os.path.exists(marker):
            os.unlink(marker)
        holder = subprocess.Popen(
            ["wine", "C:\\e2e\\lock_holder.exe", "C:\\" + directory.replace("/", "\\"),
             "C:\\e2e\\locked"], env=self.env, **QUIET)
        deadline = time.monotonic() + 60
        while not os.path.exists(marker) and time.monotonic() < deadline:
            time.sleep(0.05)
        return holder

    def close(self):
        subprocess.run(["wineserver", "-k"], env=self.env, timeout=60)
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=60)
        shutil.rmtree(self.root, ignore_errors=True)
