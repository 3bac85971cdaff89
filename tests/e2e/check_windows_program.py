#!/usr/bin/env python3
"""The Windows program is a 32-bit GUI program that runs on a bare Windows.

  check_windows_program.py OBJDUMP PROGRAM.exe

Checks the PE header (i386, GUI subsystem) and that the program imports only
KERNEL32.dll, ADVAPI32.dll and msvcrt.dll.
"""
import re
import subprocess
import sys


def main(objdump, program):
    header = subprocess.run([objdump, "-f", program], capture_output=True, text=True,
                            check=True).stdout
    details = subprocess.run([objdump, "-p", program], capture_output=True, text=True,
                             check=True).stdout
    problems = []
    if "file format pei-i386" not in header:
        problems.append("not an i386 PE file: " + header.strip())
    if not re.search(r"^Magic\s+010b\s+\(PE32\)", details, re.M):
        problems.append("not PE32")
    if not re.search(r"^Subsystem\s+00000002\s+\(Windows GUI\)", details, re.M):
        problems.append("not of the GUI subsystem")
    imports = sorted(set(re.findall(r"DLL Name: (\S+)", details)), key=str.lower)
    if imports != ["ADVAPI32.dll", "KERNEL32.dll", "msvcrt.dll"]:
        problems.append("imports %s" % imports)
    for problem in problems:
        print("FAIL: " + problem)
    print("%d passed, %d failed" % (0 if problems else 1, 1 if problems else 0))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
