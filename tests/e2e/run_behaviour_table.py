#!/usr/bin/env python3
"""Runs the behaviour table against one build of the program.

  run_behaviour_table.py native PROGRAM
      the Linux build, in a small hand-made Wine prefix per case;
  run_behaviour_table.py windows PROGRAM.exe LAUNCHER.exe
      the Windows program under Wine, in a throwaway prefix made by this run.

Without wine the Windows run is skipped (exit code 77), unless CI is set,
where a missing wine is a failure.
"""
import os
import shutil
import stat
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from behaviour_table import CASES, COPY, LIST, LOG  # noqa: E402

SKIP = 77


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


def check(c, drive_c, code, printed):
    """Returns the list of ways the outcome differs from the case."""
    problems = []
    if code != c["code"]:
        problems.append("exit code %r, expected %r" % (code, c["code"]))
    if printed:
        problems.append("printed %r" % printed[:200])
    list_after = read_or_none(os.path.join(drive_c, LIST))
    if list_after != c["after"]:
        problems.append("list %r, expected %r" % (list_after and list_after[:200],
                                                  c["after"] and c["after"][:200]))
    if "mode" in c and list_after is not None:
        mode = stat.S_IMODE(os.stat(os.path.join(drive_c, LIST)).st_mode)
        if mode != c["mode"]:
            problems.append("list mode %o, expected %o" % (mode, c["mode"]))
    dirs = c.get("dirs", [])
    for name in (LOG, COPY):
        path = os.path.join(drive_c, name)
        if name in dirs:
            if not os.path.isdir(path):
                problems.append("%s is no longer a directory" % name)
            continue
        got = read_or_none(path) if name == LOG else os.path.lexists(path) or None
        wanted = c["log"] if name == LOG else None
        if got != wanted:
            problems.append("%s: %r, expected %r" % (name, got, wanted))
    for name, data in c.get("files", {}).items():
        if name not in (LIST, COPY, LOG) and read_or_none(os.path.join(drive_c, name)) != data:
            problems.append("%s changed" % name)
    return problems


class NativeBuild:
    name = "native"

    def __init__(self, program):
        self.program = os.path.abspath(program)
        self.root = tempfile.mkdtemp(prefix="theaterlist-e2e-")
        self.drive_c = os.path.join(self.root, "drive_c")
        os.makedirs(os.path.join(self.root, "dosdevices"))
        os.makedirs(self.drive_c)
        os.symlink("../drive_c", os.path.join(self.root, "dosdevices", "c:"))

    def run(self, c):
        lay_out_drive(self.drive_c, c)
        with open(os.path.join(self.root, "system.reg"), "w") as f:
            f.write(system_reg(c["registry"]))
        if "argv" in c:
            args = c["argv"]
        else:
            args = [os.fsdecode(c["tail"])] if c["tail"] else []
        env = dict(os.environ, WINEPREFIX=self.root)
        result = subprocess.run([self.program] + args, env=env, capture_output=True,
                                timeout=60)
        return result.returncode, result.stdout + result.stderr

    def close(self):
        shutil.rmtree(self.root, ignore_errors=True)


class WindowsBuild:
    name = "windows"

    def __init__(self, program, launcher):
        self.root = tempfile.mkdtemp(prefix="theaterlist-wine-")
        self.env = dict(os.environ, WINEPREFIX=self.root, WINEDEBUG="-all",
                        WINEDLLOVERRIDES="mscoree,mshtml=")
        # Wine's helper processes outlive the programs they serve: their output
        # goes nowhere, so that no pipe is left open behind them.
        quiet = dict(stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run(["wineboot", "-i"], env=self.env, check=True, timeout=300, **quiet)
        subprocess.run(["wineserver", "-p"], env=self.env, timeout=60, **quiet)
        self.drive_c = os.path.join(self.root, "drive_c")
        self.case_dir = os.path.join(self.drive_c, "e2e")
        os.makedirs(self.case_dir)
        shutil.copy(program, os.path.join(self.case_dir, "theaterlist.exe"))
        shutil.copy(launcher, os.path.join(self.case_dir, "launcher.exe"))

    def run(self, c):
        lay_out_drive(self.drive_c, c)
        command_line = c.get("command_line")
        if command_line is None:
            command_line = b"theaterlist.exe" + (b" " + c["tail"] if c["tail"] else b"")
        files = {"program": b"C:\\e2e\\theaterlist.exe", "command_line": command_line}
        if c["registry"] is not None:
            kind, data = c["registry"]
            files["registry"] = b"%d\n" % kind + data
        for name in ("program", "command_line", "registry"):
            path = os.path.join(self.case_dir, name)
            if os.path.exists(path):
                os.unlink(path)
            if name in files:
                with open(path, "wb") as f:
                    f.write(files[name])
        result = subprocess.run(["wine", "C:\\e2e\\launcher.exe", "C:\\e2e"], env=self.env,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                timeout=120)
        return result.returncode, b""  # Wine's own messages are not the program's

    def close(self):
        subprocess.run(["wineserver", "-k"], env=self.env, timeout=60)
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=60)
        shutil.rmtree(self.root, ignore_errors=True)


def main(argv):
    if argv[1:2] == ["native"] and len(argv) == 3:
        build = NativeBuild(argv[2])
    elif argv[1:2] == ["windows"] and len(argv) == 4:
        if not shutil.which("wine") or not shutil.which("wineserver"):
            print("SKIPPED: wine is not installed; the Windows program was not run")
            return 1 if os.environ.get("CI") else SKIP
        build = WindowsBuild(argv[2], argv[3])
    else:
        print(__doc__)
        return 2
    passed = failed = skipped = 0
    try:
        for c in CASES:
            if build.name not in c.get("builds", [build.name]):
                skipped += 1
                continue
            code, printed = build.run(c)
            problems = check(c, build.drive_c, code, printed)
            if problems:
                failed += 1
                print("FAIL %s: %s" % (c["name"], "; ".join(problems)))
            else:
                passed += 1
    finally:
        build.close()
    print("%s build: %d passed, %d failed, %d skipped" % (build.name, passed, failed,
                                                          skipped))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
