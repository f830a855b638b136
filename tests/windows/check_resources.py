#!/usr/bin/env python3
"""Reads the resources of shipped Windows programs from their files and fails
when one lacks what Windows and Explorer show of it: the manifest (rights,
supported versions, DPI awareness, Common Controls 6), the version strings
and the suite's icon.

  check_resources.py <QUORLIN5.ICO> <version> <program.exe>|<description>|<level> ...
"""
import struct
import sys

RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 14, 16, 24
SUPPORTED_OS = {
    "e2011457-1546-43c5-a5fe-008deee3d3f0": "Vista",
    "35138b9a-5d96-4fbd-8e2d-a2440225f93a": "7",
    "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38": "8",
    "1f676c76-80e1-4239-95bb-83d0f6d0da78": "8.1",
    "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a": "10 and 11",
}


def resources(data):
    """{type: {id: bytes}} of the PE image's resource tree (first language)."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE file")
    sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + (96 if magic == 0x10B else 112)
    rsrc_rva, rsrc_size = struct.unpack_from("<II", data, directories + 2 * 8)
    if rsrc_size == 0:
        return {}
    table = optional + optional_size
    spans = [struct.unpack_from("<8xIIII", data, table + 40 * i) for i in range(sections)]

    def offset(rva):
        for virtual_size, address, raw_size, raw in spans:
            if address <= rva < address + max(virtual_size, raw_size):
                return raw + rva - address
        raise ValueError("RVA 0x%x outside every section" % rva)

    base = offset(rsrc_rva)

    def entries(at):
        named, ids = struct.unpack_from("<12xHH", data, base + at)
        for i in range(named + ids):
            name, target = struct.unpack_from("<II", data, base + at + 16 + 8 * i)
            yield name, target

    tree = {}
    for kind, to_names in entries(0):
        for name, to_languages in entries(to_names & 0x7FFFFFFF):
            _, leaf = next(entries(to_languages & 0x7FFFFFFF))
            rva, size = struct.unpack_from("<II", data, base + leaf)
            tree.setdefault(kind, {})[name] = data[offset(rva):offset(rva) + size]
    return tree


def version_strings(block):
    """The StringFileInfo values and the fixed file version of a VS_VERSIONINFO."""
    strings, fixed = {}, None

    def walk(at, end, depth):
        nonlocal fixed
        while at + 6 <= end:
            length, value_length, kind = struct.unpack_from("<HHH", block, at)
            if length == 0:
                return
            key_end = at + 6
            while block[key_end:key_end + 2] != b"\0\0":
                key_end += 2
            key = block[at + 6:key_end].decode("utf-16-le")
            value_at = (key_end + 2 + 3) & ~3
            size = value_length * 2 if kind == 1 else value_length
            value = block[value_at:value_at + size]
            if depth == 0 and size >= 16:
                ms, ls = struct.unpack_from("<II", value, 8)
                fixed = "%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16)
            elif kind == 1 and depth == 3:
                strings[key] = value.decode("utf-16-le").rstrip("\0")
            walk((value_at + size + 3) & ~3, at + length, depth + 1)
            at = (at + length + 3) & ~3

    walk(0, len(block), 0)
    return strings, fixed


def icon_images(ico):
    count = struct.unpack_from("<H", ico, 4)[0]
    images = []
    for i in range(count):
        size, at = struct.unpack_from("<II", ico, 6 + 16 * i + 8)
        images.append(ico[at:at + size])
    return images


def check(path, description, level, icon, version):
    problems = []
    with open(path, "rb") as f:
        tree = resources(f.read())
    manifest = tree.get(RT_MANIFEST, {}).get(1, b"").decode("utf-8", "replace")
    if not manifest:
        problems.append("no manifest (resource 24/1)")
    else:
        if 'requestedExecutionLevel level="%s"' % level not in manifest:
            problems.append("the manifest does not ask for %s" % level)
        missing = [name for guid, name in SUPPORTED_OS.items() if guid not in manifest.lower()]
        if missing:
            problems.append("the manifest lacks supportedOS " + ", ".join(missing))
        if "<dpiAware" not in manifest or ">true</dpiAware>" not in manifest:
            problems.append("the manifest declares no DPI awareness")
        if 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' not in manifest:
            problems.append("the manifest does not ask for Common Controls 6")
    blocks = tree.get(RT_VERSION, {})
    if not blocks:
        problems.append("no version resource")
    else:
        strings, fixed = version_strings(next(iter(blocks.values())))
        wanted = {"CompanyName": "Ostrel Software", "ProductName": "Quorlin 5",
                  "FileDescription": description, "FileVersion": version, "ProductVersion": version}
        for key, value in wanted.items():
            if strings.get(key) != value:
                problems.append('%s is "%s", not "%s"' % (key, strings.get(key), value))
        if fixed != version:
            problems.append("the fixed file version is %s, not %s" % (fixed, version))
    groups = tree.get(RT_GROUP_ICON, {})
    if not groups:
        problems.append("no icon group")
    else:
        group = next(iter(groups.values()))
        count = struct.unpack_from("<H", group, 4)[0]
        ids = [struct.unpack_from("<H", group, 6 + 14 * i + 12)[0] for i in range(count)]
        images = [tree.get(RT_ICON, {}).get(i) for i in ids]
        if images != icon_images(icon):
            problems.append("the icon is not QUORLIN5.ICO")
    return problems


def main(argv):
    if len(argv) < 4:
        print(__doc__, file=sys.stderr)
        return 2
    with open(argv[1], "rb") as f:
        icon = f.read()
    failed = False
    for program in argv[3:]:
        path, description, level = program.split("|")
        problems = check(path, description, level, icon, argv[2])
        for problem in problems:
            print("%s: %s" % (path, problem))
        if not problems:
            print("%s: manifest (%s), version %s \"%s\", icon" % (path, level, argv[2], description))
        failed |= bool(problems)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
