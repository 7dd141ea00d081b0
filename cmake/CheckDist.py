#!/usr/bin/env python3
"""Checks the installed set in a dist folder, the files an administrator
copies to the install folder, by reading their PE headers:

  python3 CheckDist.py --version "1, 4, 3, 0" <dist folder>

- exactly the deliverables are there, nothing else (no import library, no
  test program);
- each program is built for its machine (x64, the viewer i386), is a DLL or
  a windowed program as it should be (dvsubmit opens no console window when
  the print processor starts it);
- the two libraries export their functions at their fixed ordinals and
  nothing else;
- every import, plain or delayed, comes from the system's own DLLs: the
  programs are copied alone and a compiler runtime DLL would not be there;
- each carries the version block with the given version and its own file
  name;
- the help file is a compiled help file.

Standard library only, so that it runs wherever the build runs.
"""
import argparse
import os
import re
import struct
import sys

MACHINE_I386 = 0x014C
MACHINE_AMD64 = 0x8664
MACHINE_NAMES = {MACHINE_I386: "i386", MACHINE_AMD64: "x64"}
FILE_DLL = 0x2000
SUBSYSTEM_GUI = 2

# name: (machine, is a DLL, exports by ordinal or None)
PROGRAMS = {
    "Dorvane.exe": (MACHINE_AMD64, False, None),
    "Jobforge.Dll": (MACHINE_AMD64, True, {
        1: "ProcessEmfJobAndSendToPrinter",
        2: "ProcessRawJobAndSendToPrinter",
    }),
    "Strimlet.dll": (MACHINE_AMD64, True, {
        1: "GetBarcodeStringBits",
        2: "FreeBarcodeStringBits",
        3: "_ZN9CStrimletaSERKS_",  # CStrimlet::operator=(CStrimlet const&)
    }),
    "dvsubmit.exe": (MACHINE_AMD64, False, None),
    "Jotview.exe": (MACHINE_I386, False, None),
}
OTHER_FILES = ["Dorvane.chm"]

# DLLs that every Windows installation has in its system folder.
SYSTEM_DLLS = {
    "advapi32.dll", "comctl32.dll", "comdlg32.dll", "crypt32.dll", "gdi32.dll", "gdiplus.dll",
    "hhctrl.ocx", "imm32.dll", "kernel32.dll", "msimg32.dll", "msvcrt.dll", "ntdll.dll",
    "ole32.dll", "oleaut32.dll", "psapi.dll", "rpcrt4.dll", "secur32.dll", "shell32.dll",
    "shlwapi.dll", "ucrtbase.dll", "user32.dll", "userenv.dll", "uxtheme.dll", "version.dll",
    "winmm.dll", "winspool.drv", "ws2_32.dll",
}
SYSTEM_DLL_PATTERN = re.compile(r"api-ms-win-[a-z0-9-]+\.dll")


class PeError(Exception):
    pass


class PeFile:
    """The parts of a PE image that the checks read."""

    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ" or len(data) < 0x40:
            raise PeError("no MZ header")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise PeError("no PE signature")
        (self.machine, sections, _, _, _, optional_size,
         self.characteristics) = struct.unpack_from("<HHIIIHH", data, pe + 4)
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        if magic == 0x10B:
            directories = optional + 96
        elif magic == 0x20B:
            directories = optional + 112
        else:
            raise PeError("unknown optional header magic 0x%X" % magic)
        self.subsystem = struct.unpack_from("<H", data, optional + 68)[0]
        count = struct.unpack_from("<I", data, directories - 4)[0]
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i) for i in range(min(count, 16))]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            _, vsize, vaddr, rawsize, rawptr = struct.unpack_from("<8sIIII", data, table + 40 * i)
            self.sections.append((vaddr, max(vsize, rawsize), rawptr, rawsize))

    def directory(self, index):
        return self.directories[index] if index < len(self.directories) else (0, 0)

    def offset(self, rva):
        for vaddr, size, rawptr, rawsize in self.sections:
            if vaddr <= rva < vaddr + size:
                if rva - vaddr >= rawsize:
                    raise PeError("RVA 0x%X lies outside the file" % rva)
                return rawptr + rva - vaddr
        raise PeError("RVA 0x%X lies in no section" % rva)

    def u32(self, rva):
        return struct.unpack_from("<I", self.data, self.offset(rva))[0]

    def text(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii", "replace")

    def exports(self):
        """{ordinal: name or None} of every exported function."""
        rva, size = self.directory(0)
        if not rva:
            return {}
        (_, _, _, _, _, base, functions, names, functions_rva, names_rva,
         ordinals_rva) = struct.unpack_from("<IIHHIIIIIII", self.data, self.offset(rva))
        result = {}
        for i in range(functions):
            if self.u32(functions_rva + 4 * i):
                result[base + i] = None
        for i in range(names):
            index = struct.unpack_from("<H", self.data, self.offset(ordinals_rva + 2 * i))[0]
            result[base + index] = self.text(self.u32(names_rva + 4 * i))
        return result

    def imported_dlls(self):
        """Names of the DLLs imported, plainly or delay-loaded."""
        dlls = []
        for index, entry_size, name_field in ((1, 20, 12), (13, 32, 4)):
            rva, _ = self.directory(index)
            while rva:
                entry = self.data[self.offset(rva):self.offset(rva) + entry_size]
                if entry == bytes(entry_size):
                    break
                dlls.append(self.text(struct.unpack_from("<I", entry, name_field)[0]))
                rva += entry_size
        return dlls

    def version_info(self):
        """The first RT_VERSION resource's bytes, or None."""
        base, _ = self.directory(2)
        if not base:
            return None
        root = self.offset(base)

        def first_entry(directory, wanted=None):
            named, ids = struct.unpack_from("<HH", self.data, directory + 12)
            for i in range(named + ids):
                ident, target = struct.unpack_from("<II", self.data, directory + 16 + 8 * i)
                if wanted is None or (not ident & 0x80000000 and ident == wanted):
                    return target
            return None

        target = first_entry(root, 16)  # RT_VERSION
        for _ in range(2):  # the name level, then the language level
            if target is None or not target & 0x80000000:
                return None
            target = first_entry(root + (target & 0x7FFFFFFF))
        if target is None or target & 0x80000000:
            return None
        data_rva, size = struct.unpack_from("<II", self.data, root + target)
        start = self.offset(data_rva)
        return self.data[start:start + size]


def version_blocks(data, start=0, end=None):
    """Parses the nested blocks of a version resource into a list of
    (key, value bytes, children)."""
    end = len(data) if end is None else end
    blocks = []
    while start + 6 <= end:
        length, value_length, kind = struct.unpack_from("<HHH", data, start)
        if length < 6:
            break
        block_end = min(start + length, end)
        key_start = start + 6
        key_end = key_start
        while key_end + 1 < block_end and data[key_end:key_end + 2] != b"\0\0":
            key_end += 2
        key = data[key_start:key_end].decode("utf-16-le")
        value_start = (key_end + 2 + 3) & ~3
        value_bytes = value_length * 2 if kind == 1 else value_length
        value = data[value_start:min(value_start + value_bytes, block_end)]
        children_start = (value_start + value_bytes + 3) & ~3
        blocks.append((key, value, version_blocks(data, children_start, block_end) if children_start < block_end else []))
        start = (block_end + 3) & ~3
    return blocks


def check_version(name, data, version_text):
    problems = []
    blocks = version_blocks(data)
    if not blocks or blocks[0][0] != "VS_VERSION_INFO":
        return ["%s: version block unreadable" % name]
    _, fixed, children = blocks[0]
    numbers = [int(part) for part in version_text.split(",")]
    if len(fixed) < 52 or struct.unpack_from("<I", fixed, 0)[0] != 0xFEEF04BD:
        problems.append("%s: version block without fixed file information" % name)
    else:
        ms, ls = struct.unpack_from("<II", fixed, 8)
        found = [ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF]
        if found != numbers:
            problems.append("%s: file version %s, expected %s" % (name, ".".join(map(str, found)),
                                                                  ".".join(map(str, numbers))))
    strings = {}
    for key, _, tables in children:
        if key == "StringFileInfo":
            for _, _, entries in tables:
                for entry_key, value, _ in entries:
                    strings[entry_key] = value.decode("utf-16-le").split("\0")[0]
    expected = {"FileVersion": version_text, "ProductVersion": version_text, "ProductName": "Dorvane",
                "OriginalFilename": name}
    for key, value in expected.items():
        if strings.get(key) != value:
            problems.append("%s: version string %s is %r, expected %r" % (name, key, strings.get(key), value))
    if not strings.get("FileDescription"):
        problems.append("%s: version block without a FileDescription" % name)
    return problems


def check_program(path, name, machine, is_dll, exports, version_text):
    with open(path, "rb") as f:
        pe = PeFile(f.read())
    problems = []
    if pe.machine != machine:
        problems.append("%s: built for %s, expected %s" % (name, MACHINE_NAMES.get(pe.machine, hex(pe.machine)),
                                                             MACHINE_NAMES[machine]))
    if bool(pe.characteristics & FILE_DLL) != is_dll:
        problems.append("%s: %s" % (name, "not a DLL" if is_dll else "a DLL, expected a program"))
    if not is_dll and pe.subsystem != SUBSYSTEM_GUI:
        problems.append("%s: subsystem %d, expected the windowed subsystem (2)" % (name, pe.subsystem))
    found = pe.exports()
    expected = exports or {}
    for ordinal, function in expected.items():
        if found.get(ordinal) != function:
            problems.append("%s: ordinal %d exports %s, expected %s" % (name, ordinal, found.get(ordinal, "nothing"),
                                                                         function))
    extra = sorted(set(found) - set(expected))
    if extra:
        shown = ", ".join("%d %s" % (ordinal, found[ordinal]) for ordinal in extra[:3])
        problems.append("%s: exports %d function(s) beside its own: %s%s" % (name, len(extra), shown,
                                                                           ", ..." if len(extra) > 3 else ""))
    for dll in pe.imported_dlls():
        lower = dll.lower()
        if lower not in SYSTEM_DLLS and not SYSTEM_DLL_PATTERN.fullmatch(lower):
            problems.append("%s: imports from %s, which is no system DLL" % (name, dll))
    version = pe.version_info()
    if version is None:
        problems.append("%s: no version block" % name)
    else:
        problems += check_version(name, version, version_text)
    if not problems:
        print("%-13s %-4s %s, imports %s" % (name, MACHINE_NAMES[pe.machine], "DLL" if is_dll else "program",
                                            ", ".join(pe.imported_dlls())))
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--version", required=True, help='the version text, as "1, 4, 3, 0"')
    parser.add_argument("dist")
    args = parser.parse_args()
    if not os.path.isdir(args.dist):
        print("no dist folder at %s" % args.dist)
        return 1
    present = set(os.listdir(args.dist))
    problems = ["missing: %s" % name for name in list(PROGRAMS) + OTHER_FILES if name not in present]
    problems += ["not a deliverable: %s" % name for name in sorted(present - set(PROGRAMS) - set(OTHER_FILES))]
    for name, (machine, is_dll, exports) in PROGRAMS.items():
        if name in present:
            try:
                problems += check_program(os.path.join(args.dist, name), name, machine, is_dll, exports, args.version)
            except (PeError, struct.error, ValueError) as error:
                problems.append("%s: unreadable PE file (%s)" % (name, error))
    for name in OTHER_FILES:
        if name in present:
            with open(os.path.join(args.dist, name), "rb") as f:
                if f.read(4) != b"ITSF":
                    problems.append("%s: not a compiled help file" % name)
    if problems:
        print("dist folder %s:\n  %s" % (args.dist, "\n  ".join(problems)))
        return 1
    print("dist folder %s: all %d deliverables in order" % (args.dist, len(PROGRAMS) + len(OTHER_FILES)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
