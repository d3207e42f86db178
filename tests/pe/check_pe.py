#!/usr/bin/env python3
"""Checks a shipped Windows binary against its allow-list: machine, subsystem,
the OS and subsystem versions its PE header asks for, every imported DLL and
function, the embedded manifest and, optionally, its size once stripped.

Usage: check_pe.py ALLOW_LIST BINARY     check; exit status 1 on any failure
       check_pe.py --print BINARY        print what BINARY has, in allow-list form

An allow-list holds one entry per line ('#' starts a comment):
  machine i386|amd64
  subsystem console|gui
  os-version MAJOR.MINOR
  subsystem-version MAJOR.MINOR
  manifest none|requireAdministrator|asInvoker|...
  max-stripped-size BYTES
  DLL FUNCTION            (one line per function the binary may import;
                           '#N' names an import by ordinal)
"""
import os
import re
import subprocess
import sys
import tempfile

try:
    import pefile
except ImportError:
    # Debian's python3-pefile is installed for the system interpreter; a
    # Python from elsewhere (pyenv, a virtualenv) does not search there.
    sys.path.append("/usr/lib/python3/dist-packages")
    import pefile

MACHINES = {0x14C: "i386", 0x8664: "amd64"}
SUBSYSTEMS = {2: "gui", 3: "console"}
STRIP = {"i386": "i686-w64-mingw32-strip", "amd64": "x86_64-w64-mingw32-strip"}
HEADER_KEYS = ("machine", "subsystem", "os-version", "subsystem-version", "manifest",
               "max-stripped-size")


def imports(pe):
    """[(dll, function)] in table order; an import by ordinal is '#N'."""
    found = []
    for attr in ("DIRECTORY_ENTRY_IMPORT", "DIRECTORY_ENTRY_DELAY_IMPORT"):
        for entry in getattr(pe, attr, []):
            dll = entry.dll.decode("ascii")
            for symbol in entry.imports:
                name = symbol.name.decode("ascii") if symbol.name else "#%d" % symbol.ordinal
                found.append((dll, name))
    return found


def manifest_levels(pe):
    """The requested execution level of each manifest resource, 'none' if
    there is none; a manifest other than id 1 or without a level is named so."""
    levels = []
    resources = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    for kind in resources.entries if resources else []:
        if kind.id != pefile.RESOURCE_TYPE["RT_MANIFEST"]:
            continue
        for name in kind.directory.entries:
            for language in name.directory.entries:
                data = pe.get_data(language.data.struct.OffsetToData, language.data.struct.Size)
                found = re.findall(rb'requestedExecutionLevel\s+level="([^"]*)"', data)
                level = found[0].decode() if len(found) == 1 else "no-single-level"
                levels.append(level if name.id == 1 else "id%s:%s" % (name.id, level))
    return levels or ["none"]


def stripped_size(path, machine):
    with tempfile.TemporaryDirectory() as work:
        copy = os.path.join(work, "stripped")
        subprocess.run([STRIP[machine], "-o", copy, path], check=True)
        return os.path.getsize(copy)


def describe(path):
    pe = pefile.PE(path)
    opt = pe.OPTIONAL_HEADER
    return pe, {
        "machine": MACHINES.get(pe.FILE_HEADER.Machine, hex(pe.FILE_HEADER.Machine)),
        "subsystem": SUBSYSTEMS.get(opt.Subsystem, str(opt.Subsystem)),
        "os-version": "%d.%d" % (opt.MajorOperatingSystemVersion,
                                 opt.MinorOperatingSystemVersion),
        "subsystem-version": "%d.%d" % (opt.MajorSubsystemVersion, opt.MinorSubsystemVersion),
        "manifest": ",".join(manifest_levels(pe)),
    }


def read_allow_list(path):
    header, allowed = {}, set()
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            words = line.split("#", 1)[0].split()
            if not words:
                continue
            if len(words) != 2:
                sys.exit("%s:%d: expected two words: %r" % (path, number, line.strip()))
            key, value = words
            if key in HEADER_KEYS:
                header[key] = value
            elif key.lower().endswith(".dll"):
                allowed.add((key.lower(), value))
            else:
                sys.exit("%s:%d: unknown entry %r" % (path, number, key))
    missing = [key for key in HEADER_KEYS if key not in header and key != "max-stripped-size"]
    if missing:
        sys.exit("%s: lacks %s" % (path, ", ".join(missing)))
    return header, allowed


def check(allow_path, path):
    want, allowed = read_allow_list(allow_path)
    pe, have = describe(path)
    name = os.path.basename(path)
    failures = []
    for key in ("machine", "subsystem", "os-version", "subsystem-version", "manifest"):
        if have[key] != want[key]:
            failures.append("%s: %s is %s, expected %s" % (name, key, have[key], want[key]))
    listed = imports(pe)
    for dll, function in listed:
        if (dll.lower(), function) not in allowed:
            failures.append("%s imports %s from %s, which is not on its allow-list" %
                            (name, function, dll))
    if "max-stripped-size" in want:
        size = stripped_size(path, have["machine"])
        limit = int(want["max-stripped-size"])
        print("%s: %d bytes stripped (limit %d)" % (name, size, limit))
        if size > limit:
            failures.append("%s: %d bytes stripped, more than %d" % (name, size, limit))
    print("%s: %s, %s, OS %s, subsystem %s, manifest %s, %d imports from %s" %
          (name, have["machine"], have["subsystem"], have["os-version"],
           have["subsystem-version"], have["manifest"], len(listed),
           ", ".join(sorted({dll for dll, _ in listed})) or "no DLL"))
    for failure in failures:
        print("FAIL:", failure)
    print("PASS" if not failures else "%d failure(s)" % len(failures))
    return 1 if failures else 0


def print_allow_list(path):
    pe, have = describe(path)
    for key in HEADER_KEYS[:-1]:
        print(key, have[key])
    for dll, function in sorted(imports(pe), key=lambda i: (i[0].lower(), i[1])):
        print(dll, function)
    return 0


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "--print":
        return print_allow_list(sys.argv[2])
    if len(sys.argv) == 3:
        return check(sys.argv[1], sys.argv[2])
    sys.exit(__doc__)


if __name__ == "__main__":
    sys.exit(main())
