#!/usr/bin/env python3
"""Reads the resources of a Windows program back from its file and checks what Explorer, the
taskbar and the loader take from them: the icon's sizes, the version strings and the manifest.

Usage: check_resources.py EXE RC_FILE VERSION COPYRIGHT_FILE
RC_FILE is the program's resource script, whose TALLYX_FILE_DESCRIPTION the description must be.
Exits 1 with one line per fault.
"""
import re
import struct
import sys

RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24


def resources(data):
    """{type id: {name: bytes}} from the resource directory of a PE file, in its order."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    assert data[pe:pe + 4] == b"PE\0\0", "not a PE file"
    sections, opt_size = struct.unpack_from("<H12xH", data, pe + 6)
    opt = pe + 24
    magic = struct.unpack_from("<H", data, opt)[0]
    dirs = opt + (112 if magic == 0x20B else 96)
    rva = struct.unpack_from("<I", data, dirs + 2 * 8)[0]
    table = opt + opt_size
    spans = [struct.unpack_from("<8xIIII", data, table + 40 * i) for i in range(sections)]

    def offset(address):
        for size, start, raw_size, raw in spans:
            if start <= address < start + max(size, raw_size):
                return raw + address - start
        raise ValueError("address outside the sections")

    base = offset(rva)

    def entries(at):
        named, numbered = struct.unpack_from("<12xHH", data, at)
        for i in range(named + numbered):
            name, target = struct.unpack_from("<II", data, at + 16 + 8 * i)
            yield name, target

    found = {}
    for kind, types in entries(base):
        for name, names in entries(base + (types & 0x7FFFFFFF)):
            for _, leaf in entries(base + (names & 0x7FFFFFFF)):
                address, size = struct.unpack_from("<II", data, base + leaf)
                found.setdefault(kind, {})[name] = data[offset(address):offset(address) + size]
    return found


def version_strings(block):
    """The fixed file version and the strings of a VS_VERSIONINFO block."""
    fixed = block.find(struct.pack("<I", 0xFEEF04BD))
    ms, ls = struct.unpack_from("<II", block, fixed + 8)
    numbers = (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
    strings = {}

    def walk(at, end):
        while at < end:
            length, value_length, is_text = struct.unpack_from("<HHH", block, at)
            if length == 0:
                break
            key_end = block.find(b"\0\0", at + 6)
            while (key_end - at) % 2:
                key_end = block.find(b"\0\0", key_end + 1)
            key = block[at + 6:key_end].decode("utf-16-le")
            value_at = (key_end + 2 + 3) & ~3
            if key in ("StringFileInfo", "VarFileInfo") or re.fullmatch("[0-9A-Fa-f]{8}", key):
                walk(value_at, at + length)
            elif is_text and value_length:
                text = block[value_at:value_at + 2 * value_length].decode("utf-16-le")
                strings[key] = text.rstrip("\0")
            at = (at + length + 3) & ~3

    length = struct.unpack_from("<H", block, 0)[0]
    walk((fixed + 52 + 3) & ~3, length)
    return numbers, strings


def main():
    exe, rc_file, version, copyright_file = sys.argv[1:5]
    description = re.search(r'#define TALLYX_FILE_DESCRIPTION "(.*)"',
                            open(rc_file, encoding="utf-8").read()).group(1)
    faults = []
    found = resources(open(exe, "rb").read())

    groups = found.get(RT_GROUP_ICON, {})
    if not groups:
        faults.append("no icon")
    else:
        group = next(iter(groups.values()))  # the first, as Explorer takes it
        count = struct.unpack_from("<H", group, 4)[0]
        sizes = sorted((group[6 + 14 * i] or 256) for i in range(count))
        if sizes != [16, 24, 32, 48, 256]:
            faults.append("icon sizes %s" % sizes)
        images = found.get(RT_ICON, {})
        for i in range(count):
            if struct.unpack_from("<H", group, 6 + 14 * i + 12)[0] not in images:
                faults.append("icon image %d missing" % i)

    copyright_line = next(
        line for line in open(copyright_file, encoding="utf-8") if line.startswith("Copyright: ")
    )
    years_and_holder = copyright_line[len("Copyright: "):].strip()
    holder = re.sub(r"^[0-9, -]+ ", "", years_and_holder)
    name = exe.replace("\\", "/").rsplit("/", 1)[-1]
    want = {
        "CompanyName": holder,
        "FileDescription": description,
        "FileVersion": version,
        "LegalCopyright": "© " + years_and_holder,
        "OriginalFilename": name,
        "ProductName": "Tallyx",
        "ProductVersion": version,
    }
    blocks = found.get(RT_VERSION, {})
    if not blocks:
        faults.append("no version resource")
    else:
        numbers, strings = version_strings(blocks[min(blocks)])
        if numbers != tuple(int(n) for n in (version + ".0").split(".")[:4]):
            faults.append("file version %s" % (numbers,))
        for key, text in want.items():
            if strings.get(key) != text:
                faults.append("%s: %r, not %r" % (key, strings.get(key), text))

    manifests = found.get(RT_MANIFEST, {})
    manifest = manifests.get(1, b"").decode("utf-8")
    for needed in (">true/pm</dpiAware>", ">PerMonitorV2</dpiAwareness>",
                   ">true</longPathAware>", 'level="asInvoker"'):
        if needed not in manifest:
            faults.append("manifest lacks %s" % needed)

    for fault in faults:
        print("%s: %s" % (name, fault))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
