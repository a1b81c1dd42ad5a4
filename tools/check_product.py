#!/usr/bin/env python3
"""Checks that the product is what we ship: a 32-bit PE GUI executable whose
imports are only DLLs that come with Windows (no MinGW runtime DLLs)."""

import struct
import sys

SYSTEM_DLLS = {
    "advapi32.dll", "comctl32.dll", "gdi32.dll", "kernel32.dll", "msvcrt.dll", "user32.dll",
    "wininet.dll", "shell32.dll", "ole32.dll", "oleaut32.dll", "mpr.dll", "ws2_32.dll", "version.dll", "bcrypt.dll",
}


def imports(data, sections, directory_rva):
    def offset(rva):
        for virtual, size, raw in sections:
            if virtual <= rva < virtual + size:
                return rva - virtual + raw
        raise ValueError("address outside the sections: %#x" % rva)

    names = []
    at = offset(directory_rva)
    while True:
        descriptor = struct.unpack_from("<IIIII", data, at)
        if descriptor == (0, 0, 0, 0, 0):
            return names
        name_at = offset(descriptor[3])
        names.append(data[name_at:data.index(b"\0", name_at)].decode("ascii"))
        at += 20


def main(path):
    data = open(path, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        sys.exit("%s: not a PE file" % path)
    machine, section_count = struct.unpack_from("<HH", data, pe + 4)
    optional_size = struct.unpack_from("<H", data, pe + 20)[0]
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    subsystem = struct.unpack_from("<H", data, optional + 68)[0]
    import_rva = struct.unpack_from("<I", data, optional + 96 + 8)[0]
    sections = []
    for i in range(section_count):
        header = optional + optional_size + 40 * i
        virtual_size, virtual, raw_size, raw = struct.unpack_from("<IIII", data, header + 8)
        sections.append((virtual, max(virtual_size, raw_size), raw))

    problems = []
    if machine != 0x14C or magic != 0x10B:
        problems.append("not a 32-bit i386 executable (machine %#x, magic %#x)" % (machine, magic))
    if subsystem != 2:
        problems.append("not a GUI program (subsystem %d)" % subsystem)
    dlls = imports(data, sections, import_rva)
    foreign = [dll for dll in dlls if dll.lower() not in SYSTEM_DLLS]
    if foreign:
        problems.append("imports DLLs that do not come with Windows: " + ", ".join(foreign))
    if problems:
        sys.exit("%s: %s" % (path, "; ".join(problems)))
    print("%s: 32-bit GUI executable, imports %s" % (path, ", ".join(sorted(dlls, key=str.lower))))


if __name__ == "__main__":
    main(sys.argv[1])
