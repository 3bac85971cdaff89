#!/usr/bin/env python3
"""No fault loses the list: concurrent runs, a killed lock holder, a crash
at any system call, a full disk and a file size limit.

  robustness_test.py native PROGRAM
  robustness_test.py windows PROGRAM.exe LAUNCHER.exe LOCK_HOLDER.exe

The Windows program runs the concurrency and lock checks under Wine; the
crash, disk and size checks need Linux's own means (strace, mount
namespaces, rlimits) and run on the native build. A check whose means this
machine lacks is reported as skipped.
"""
import os
import resource
import shutil
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from behaviour_table import COPY, LIST, LOG, case  # noqa: E402
from builds import NativeBuild, WindowsBuild, have_wine, read_or_none, skip  # noqa: E402

RUNS_AT_ONCE = 32
KEEP = [b"theaters/region%06d/keep.tdf" % i for i in range(200)]
NEW = [b"theaters/new%02d.tdf" % i for i in range(RUNS_AT_ONCE)]


def crlf(lines):
    return b"".join(line + b"\r\n" for line in lines)


class Checks:
    def __init__(self, build):
        self.build = build
        self.passed = self.failed = self.skipped = 0

    def report(self, name, problems):
        if problems is None:
            self.skipped += 1
        elif problems:
            self.failed += 1
            print("FAIL %s: %s" % (name, "; ".join(problems[:5])))
        else:
            self.passed += 1

    def outcome(self, before, after, code, wanted_code, log=None):
        """What differs from: list `after`, exit code `wanted_code`, log `log`,
        no copy left."""
        drive_c = self.build.drive_c
        problems = []
        got = read_or_none(os.path.join(drive_c, LIST))
        if after is not None and got != after:
            problems.append("list is %s" % ("the old one" if got == before else
                                            repr(got and got[:120])))
        if code != wanted_code:
            problems.append("exit code %r" % (code,))
        if os.path.lexists(os.path.join(drive_c, COPY)):
            problems.append("a copy was left")
        if read_or_none(os.path.join(drive_c, LOG)) != log:
            problems.append("log %r" % read_or_none(os.path.join(drive_c, LOG)))
        return problems

    def concurrent(self, verb, before, after):
        codes = self.build.run_concurrently(case("", None, before),
                                            [b"-" + verb + b" " + e for e in NEW])
        return self.outcome(before, after, codes, [1] * RUNS_AT_ONCE)

    def concurrent_adds(self):
        """Every run's entry arrives exactly once, whatever the order."""
        problems = self.concurrent(b"a", crlf(KEEP), None)  # the order varies: see below
        lines = (read_or_none(os.path.join(self.build.drive_c, LIST)) or b"").split(b"\r\n")
        if lines[:len(KEEP)] != KEEP or sorted(lines[len(KEEP):-1]) != NEW or lines[-1]:
            problems.append("list lines %r" % lines[len(KEEP) - 2:len(KEEP) + 3])
        return problems

    def concurrent_removes(self):
        mixed = [line for pair in zip(KEEP, NEW) for line in pair] + KEEP[len(NEW):]
        return self.concurrent(b"r", crlf(mixed), crlf(KEEP))

    def killed_lock_holder(self):
        """The kernel (or Windows) drops the lock of a process that dies."""
        c = case("", b"-a c.tdf", crlf(KEEP))
        self.build.lay_out(c)
        holder = self.build.hold_lock("Games/Talvenor")
        holder.send_signal(signal.SIGKILL)
        holder.wait()
        code, _ = self.build.run(c, lay_out=False)
        return self.outcome(c["before"], c["before"] + b"c.tdf\r\n", code, 1)

    def lock_timeout(self):
        """A run that cannot get the lock in 10 s fails like any failed edit."""
        c = case("", b"-a c.tdf", crlf(KEEP))
        self.build.lay_out(c)
        holder = self.build.hold_lock("Games/Talvenor")
        started = time.monotonic()
        code, _ = self.build.run(c, lay_out=False)
        waited = time.monotonic() - started
        holder.kill()
        holder.wait()
        problems = self.outcome(c["before"], c["before"], code, 0, b"Could not add tdf c.tdf\r\n")
        if not 9 < waited < 30:
            problems.append("gave up after %.1f s" % waited)
        return problems

    # Native only from here on.

    SYSCALLS = ["openat", "read", "write", "close", "fstat", "newfstatat", "fcntl", "flock",
                "fsync", "sync_file_range", "fchmod", "fchown", "unlink", "rename", "getdents64",
                "lseek"]

    def crash_points(self):
        """SIGKILL at every system call of an edit: the list is whole, old or
        new, and the next run completes the edit."""
        if not shutil.which("strace"):
            print("SKIPPED: strace is not installed; no crash points tried")
            return None
        lines = [b"theaters/region%06d/abcdefgh.tdf" % i for i in range(3000)]
        edits = [(b"-a theaters/new.tdf", crlf(lines), crlf(lines + [b"theaters/new.tdf"])),
                 (b"-r " + lines[1500], crlf(lines), crlf(lines[:1500] + lines[1501:]))]
        problems = []
        tried = 0
        # LeakSanitizer (in a sanitized build) cannot work under ptrace.
        traced_env = dict(self.build.env, ASAN_OPTIONS=os.environ.get("ASAN_OPTIONS", "") +
                          ":detect_leaks=0")
        for tail, before, after in edits:
            c = case("", tail, before)
            trace = os.path.join(self.build.root, "trace")
            self.build.lay_out(c)
            subprocess.run(self.build.command(c, ["strace", "-f", "-qq", "-o", trace, "-e",
                                                  "trace=" + ",".join(self.SYSCALLS)]),
                           env=traced_env)
            counts = {}
            with open(trace) as f:
                for line in f:
                    name = line.split()[1].split("(")[0] if len(line.split()) > 1 else ""
                    counts[name] = counts.get(name, 0) + 1
            for syscall, count in sorted(counts.items()):
                if syscall not in self.SYSCALLS:
                    continue
                for nth in range(1, count + 1):
                    tried += 1
                    where = "%s #%d in %s" % (syscall, nth, tail[:20].decode())
                    self.build.lay_out(c)
                    injected = ["strace", "-f", "-qq", "-o", "/dev/null", "-e",
                                "trace=" + syscall, "-e",
                                "inject=%s:signal=SIGKILL:when=%d" % (syscall, nth)]
                    subprocess.run(self.build.command(c, injected), env=traced_env,
                                   capture_output=True)
                    got = read_or_none(os.path.join(self.build.drive_c, LIST))
                    if got not in (before, after):
                        problems.append("%s: list damaged" % where)
                    code, _ = self.build.run(c, lay_out=False)
                    if code != 1 or read_or_none(os.path.join(self.build.drive_c, LIST)) != after:
                        problems.append("%s: the next run did not complete the edit" % where)
        print("crash points tried: %d" % tried)
        return problems

    def full_disk(self):
        """No space for the copy: the edit fails and the list stays whole."""
        if not shutil.which("unshare"):
            print("SKIPPED: unshare is not installed; no full disk tried")
            return None
        c = case("", b"-a c.tdf", crlf(KEEP) * 10)  # about 60 KB
        self.build.lay_out(c)
        directory = os.path.join(self.build.drive_c, "Games/Talvenor")
        saved = os.path.join(self.build.root, "saved.lst")
        shutil.move(os.path.join(directory, "theater.lst"), saved)
        script = ('mount -t tmpfs -o size=96k tmpfs "$1" || exit 99\n'
                  'cp "$2" "$1/theater.lst"\n'
                  '"$3" -a c.tdf; code=$?\n'
                  'cp "$1/theater.lst" "$2"; ls "$1" > "$2.files"; exit $code\n')
        result = subprocess.run(["unshare", "-m", "sh", "-c", script, "sh", directory, saved,
                                 self.build.program], env=self.build.env, capture_output=True)
        if result.returncode == 99 or b"unshare failed" in result.stderr:
            print("SKIPPED: mount namespaces are refused here; no full disk tried")
            return None
        problems = []
        if result.returncode != 0:
            problems.append("exit code %d" % result.returncode)
        if read_or_none(saved) != c["before"]:
            problems.append("list damaged")
        with open(saved + ".files") as f:
            if f.read().split() != ["theater.lst"]:
                problems.append("a copy was left")
        if read_or_none(os.path.join(self.build.drive_c, LOG)) != b"Could not add tdf c.tdf\r\n":
            problems.append("no log line")
        return problems

    def file_size_limit(self):
        """Short writes, then EFBIG: the edit fails and the list stays whole."""
        c = case("", b"-a c.tdf", crlf(KEEP) * 10)

        def limit():
            signal.signal(signal.SIGXFSZ, signal.SIG_IGN)
            resource.setrlimit(resource.RLIMIT_FSIZE, (20000, 20000))

        code, _ = self.build.run(c, preexec_fn=limit)
        return self.outcome(c["before"], c["before"], code, 0, b"Could not add tdf c.tdf\r\n")


def main(argv):
    if argv[1:2] == ["native"] and len(argv) == 3:
        build = NativeBuild(argv[2])
        names = ["concurrent_adds", "concurrent_removes", "killed_lock_holder", "lock_timeout",
                 "crash_points", "full_disk", "file_size_limit"]
    elif argv[1:2] == ["windows"] and len(argv) == 5:
        if not have_wine():
            return skip("wine is not installed; the Windows program was not run")
        build = WindowsBuild(argv[2], argv[3], argv[4])
        names = ["concurrent_adds", "concurrent_removes", "killed_lock_holder", "lock_timeout"]
    else:
        print(__doc__)
        return 2
    checks = Checks(build)
    try:
        for name in names:
            checks.report(name, getattr(checks, name)())
    finally:
        build.close()
    print("%d runs at once; %s build: %d passed, %d failed, %d skipped" % (
        RUNS_AT_ONCE, build.name, checks.passed, checks.failed, checks.skipped))
    return 1 if checks.failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
