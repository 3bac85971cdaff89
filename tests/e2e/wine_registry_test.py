#!/usr/bin/env python3
"""The native build reads a registry that Wine itself wrote.

  wine_registry_test.py PROGRAM

Makes a prefix with wineboot, sets the installation's value with `wine reg
add` (blanks, brackets, quotes and a non-ASCII letter in it), waits for the
server to write system.reg, and runs the native program in that prefix.
Without wine it is skipped (exit code 77), unless CI is set.
"""
import os
import shutil
import subprocess
import sys
import tempfile

DIRECTORY = "Inst\\D\u00eer [1] \"q\" \\x41"


def main(program):
    if not shutil.which("wine") or not shutil.which("wineserver"):
        print("SKIPPED: wine is not installed; Wine's registry was not read")
        return 1 if os.environ.get("CI") else 77
    prefix = tempfile.mkdtemp(prefix="theaterlist-winereg-")
    env = dict(os.environ, WINEPREFIX=prefix, WINEDEBUG="-all", LC_ALL="C.UTF-8",
               WINEDLLOVERRIDES="mscoree,mshtml=")
    quiet = dict(stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        subprocess.run(["wineboot", "-i"], env=env, check=True, timeout=300, **quiet)
        subprocess.run(["wine", "reg", "add", "HKLM\\Software\\Oskmere\\Talvenor\\4.0",
                        "/v", "baseDir", "/t", "REG_SZ", "/d", "C:\\" + DIRECTORY, "/f"],
                       env=env, check=True, timeout=120, **quiet)
        subprocess.run(["wineserver", "-w"], env=env, timeout=120)
        install = os.path.join(prefix, "drive_c", *DIRECTORY.split("\\"))
        os.makedirs(install)
        with open(os.path.join(install, "theater.lst"), "wb") as f:
            f.write(b"a.tdf\r\n")
        code = subprocess.run([program, "-a", "b.tdf"], env=env, timeout=60).returncode
        with open(os.path.join(install, "theater.lst"), "rb") as f:
            content = f.read()
        if code != 1 or content != b"a.tdf\r\nb.tdf\r\n":
            print("FAIL: exit code %d, list %r" % (code, content))
            with open(os.path.join(prefix, "system.reg"), "rb") as f:
                print([line for line in f if b"Oskmere" in line or b"baseDir" in line])
            return 1
        print("1 passed, 0 failed")
        return 0
    finally:
        subprocess.run(["wineserver", "-k"], env=env, timeout=60, **quiet)
        shutil.rmtree(prefix, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
