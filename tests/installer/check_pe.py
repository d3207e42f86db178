#!/usr/bin/env python3
"""Checks the shipped ocxfixer.exe itself: a 32-bit console program that
imports only Windows' own DLLs and carries an embedded manifest asking for
administrator rights."""
import re
import struct
import sys

# Windows' own DLLs; anything else (libstdc++-6.dll, libgcc_s_*.dll,
# libwinpthread-1.dll, ...) would be missing on a player's machine.
SYSTEM_DLLS = {"kernel32.dll", "msvcrt.dll", "user32.dll", "advapi32.dll", "shell32.dll",
               "ole32.dll", "oleaut32.dll", "ws2_32.dll", "ucrtbase.dll"}
RT_MANIFEST = 24
CREATEPROCESS_MANIFEST_RESOURCE_ID = 1


class Pe:
    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("not a PE file")
        self.machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", data,
                                                                               pe + 4)
        optional = pe + 24
        self.magic = struct.unpack_from("<H", data, optional)[0]
        if self.magic != 0x10B:
            raise ValueError("not a PE32 (32-bit) image")
        self.subsystem = struct.unpack_from("<H", data, optional + 68)[0]
        self.directories = [struct.unpack_from("<II", data, optional + 96 + 8 * i)
                            for i in range(16)]
        table = optional + optional_size
        self.sections = [struct.unpack_from("<IIII", data, table + 40 * i + 8)
                         for i in range(sections)]

    def offset(self, rva):
        for virtual_size, address, raw_size, raw_pointer in self.sections:
            if address <= rva < address + max(virtual_size, raw_size):
                return raw_pointer + rva - address
        raise ValueError(f"rva {rva:#x} outside every section")

    def c_string(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def imports(self):
        rva, _ = self.directories[1]
        names = []
        at = self.offset(rva)
        while True:
            descriptor = struct.unpack_from("<IIIII", self.data, at)
            if not any(descriptor):
                return names
            names.append(self.c_string(descriptor[3]))
            at += 20

    def resources(self):
        """{(type id, name id): [data bytes per language]} for id-named entries."""
        base_rva, _ = self.directories[2]
        if base_rva == 0:
            return {}
        base = self.offset(base_rva)

        def entries(directory):
            named, ids = struct.unpack_from("<HH", self.data, base + directory + 12)
            for i in range(named + ids):
                name, target = struct.unpack_from("<II", self.data, base + directory + 16 + 8 * i)
                yield name, target

        found = {}
        for type_id, type_dir in entries(0):
            for name_id, name_dir in entries(type_dir & 0x7FFFFFFF):
                for _, leaf in entries(name_dir & 0x7FFFFFFF):
                    data_rva, size = struct.unpack_from("<II", self.data, base + leaf)
                    start = self.offset(data_rva)
                    found.setdefault((type_id, name_id), []).append(self.data[start:start + size])
        return found


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: check_pe.py ocxfixer.exe")
    with open(sys.argv[1], "rb") as f:
        pe = Pe(f.read())
    failures = []

    if pe.machine != 0x14C:
        failures.append(f"machine {pe.machine:#x}, expected i386 (0x14c)")
    if pe.subsystem != 3:
        failures.append(f"subsystem {pe.subsystem}, expected console (3)")

    imports = pe.imports()
    print("imports:", ", ".join(imports))
    foreign = [name for name in imports
               if name.lower() not in SYSTEM_DLLS and not name.lower().startswith("api-ms-win-")]
    if foreign:
        failures.append("imports DLLs that Windows does not ship: " + ", ".join(foreign))
    if not any(name.lower() == "kernel32.dll" for name in imports):
        failures.append("no KERNEL32 import: import table not parsed")

    resources = pe.resources()
    manifests = [key for key in resources if key[0] == RT_MANIFEST]
    if manifests != [(RT_MANIFEST, CREATEPROCESS_MANIFEST_RESOURCE_ID)]:
        failures.append(f"manifest resources {manifests}, expected exactly type 24 id 1")
    else:
        texts = resources[manifests[0]]
        levels = re.findall(rb'requestedExecutionLevel\s+level="([^"]*)"', b"".join(texts))
        print("manifest execution level:", [level.decode() for level in levels])
        if len(texts) != 1 or levels != [b"requireAdministrator"]:
            failures.append("manifest does not ask once for requireAdministrator")

    for failure in failures:
        print("FAIL:", failure)
    print("PASS" if not failures else f"{len(failures)} failure(s)")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
