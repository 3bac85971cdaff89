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
import stat
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from behaviour_table import CASES, COPY, LIST, LOG  # noqa: E402
from builds import NativeBuild, WindowsBuild, have_wine, read_or_none, skip  # noqa: E402


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


def main(argv):
    if argv[1:2] == ["native"] and len(argv) == 3:
        build = NativeBuild(argv[2])
    elif argv[1:2] == ["windows"] and len(argv) == 4:
        if not have_wine():
            return skip("wine is not installed; the Windows program was not run")
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
