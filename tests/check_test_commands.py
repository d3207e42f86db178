#!/usr/bin/env python3
"""Fails when a registered test hands the cross-compiling emulator anything
but a Windows program. Wine started on a Unix program (a Python script's
interpreter, a shell) returns 0 whatever that program does, so such a test
could never fail.

Usage: check_test_commands.py <ctest> <build dir> <emulator>
"""
import json
import os
import subprocess
import sys


def is_windows_program(path):
    try:
        with open(path, "rb") as f:
            head = f.read(0x40)
            if len(head) < 0x40 or head[:2] != b"MZ":
                return False
            f.seek(int.from_bytes(head[0x3C:0x40], "little"))
            return f.read(4) == b"PE\0\0"
    except OSError:
        return False


def main():
    ctest, build_dir, emulator = sys.argv[1:4]
    listing = subprocess.run([ctest, "--show-only=json-v1"], cwd=build_dir, check=True,
                             capture_output=True, text=True).stdout
    tests = json.loads(listing)["tests"]
    emulator_name = os.path.basename(emulator)
    bad = []
    for test in tests:
        command = test.get("command") or []
        for i, word in enumerate(command[:-1]):
            if os.path.basename(word) == emulator_name and not is_windows_program(command[i + 1]):
                bad.append(f"{test['name']}: {emulator_name} would start {command[i + 1]}")
    for line in bad:
        print(line)
    print(f"{len(tests)} tests checked, {len(bad)} start the emulator on a non-Windows program")
    return 1 if bad else 0


if __name__ == "__main__":
    sys.exit(main())
