#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into fuzz/seeds/<target>/.

Decoder seeds are the raw entries of the shared test archives (every method,
entries up to a few KiB, so runs stay fast) behind the harness's header;
pattern and path seeds are the texts the setup itself uses.
Run: python3 fuzz/make_seeds.py [TESTDATA_ZIP_DIR]
"""
import hashlib
import os
import struct
import sys
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))
TESTDATA = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "..", "shared", "testdata", "zip")
METHOD_SELECTOR = {0: 0, 1: 1, 2: 2, 3: 3, 4: 4, 5: 5, 6: 6, 8: 7}
MAX_RAW = 4096


def put(target, data):
    folder = os.path.join(HERE, "seeds", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, hashlib.sha1(data).hexdigest()[:16]), "wb") as f:
        f.write(data)


def raw_entries(path):
    with open(path, "rb") as f:
        blob = f.read()
    try:
        infos = zipfile.ZipFile(path).infolist()
    except zipfile.BadZipFile:  # the odd archives that are meant to be odd
        return
    for info in infos:
        if info.flag_bits & 1 or info.compress_type not in METHOD_SELECTOR:
            continue
        at = info.header_offset
        name_len, extra_len = struct.unpack_from("<HH", blob, at + 26)
        start = at + 30 + name_len + extra_len
        yield info, blob[start:start + info.compress_size]


def decoder_seeds():
    seen = set()
    for folder in ("deflate", "legacy", "odd"):
        for name in sorted(os.listdir(os.path.join(TESTDATA, folder))):
            if not name.endswith(".zip"):
                continue
            for info, raw in raw_entries(os.path.join(TESTDATA, folder, name)):
                if len(raw) > MAX_RAW or raw in seen:
                    continue
                seen.add(raw)
                size = info.file_size & 0x3FFFFF
                header = bytes([METHOD_SELECTOR[info.compress_type], info.flag_bits & 0xFE,
                                size & 0xFF, (size >> 8) & 0xFF, (size >> 16) & 0xFF,
                                0x00, 0x10, 6]) + b"secret"
                put("fuzz_decoder_crypt", header + raw)


def text_seeds():
    patterns = [("LANGUAGE.*", "language.eng"), ("LICENSE.*", "license.fra"),
                ("LANGUAGE.*", "dornaxlanguage.eng"), ("AWARDS\\*.*", "Awards\\iota.dbf"),
                ("*.*", "README"), ("<a-m>*.?x<!t>", "bin\\tool.exe"), ("*", ""),
                ("<^0-9>??*\\*", "a12\\b"), ("*?", "x")]
    for pattern, path in patterns:
        put("fuzz_match_pattern", bytes([len(pattern)]) + pattern.encode("latin-1") + path.encode("latin-1"))
    paths = ["c:\\apps", "C:", "C:\\", "C:\\Apps\\\\Tools\\", "\\\\server\\share", "C:/Apps", "C:\\a*b",
             "C:\\Apps \\Tools", "C:\\Apps\\Tools   ", "C:\\.\\Apps", "C:\\..\\Apps", "C:\\.Apps",
             "C:\\Apps.", "D:\\New\\QR5", "Q:\\Apps", "C:\\" + "a" * 237, "  \tD:\\x\\\x01 "]
    for path in paths:
        put("fuzz_valid_directory", path.encode("latin-1"))


def local(name, data, method=0, crc=0, usize=None):
    return struct.pack("<IHHHIIIIHH", 0x04034B50, 20, 0, method, 0x58216000, crc, len(data),
                       len(data) if usize is None else usize, len(name), 0) + name + data


def central(name, offset, size, method=0, crc=0, usize=None, disk=0):
    return struct.pack("<IHHHHIIIIHHHHHII", 0x02014B50, 0x0314, 20, 0, method, 0x58216000, crc, size,
                       size if usize is None else usize, len(name), 0, 0, disk, 0, 0x20, offset) + name


def end(count, size, offset):
    return struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, count, count, size, offset, 0)


def archive_seeds():
    """Hostile archives in miniature, for the reader's target."""
    import zlib
    # Overlapping entries: each one's stored data runs over the later headers.
    heads = [local(b"b%d" % i, b"") for i in range(5)]
    body = b"".join(heads) + b"K" * 200
    offsets = [sum(len(h) for h in heads[:i]) for i in range(5)]
    cd = b"".join(central(b"b%d" % i, offsets[i], len(body) - offsets[i] - 32) for i in range(5))
    put("zip_reader_fuzz", body + cd + end(5, len(cd), len(body)))
    # One deflated kernel, ten central records on ten disk numbers.
    kernel = zlib.compressobj(9, zlib.DEFLATED, -15)
    data = kernel.compress(bytes(100000)) + kernel.flush()
    crc = zlib.crc32(bytes(100000))
    body = local(b"k", data, 8, crc, 100000)
    cd = b"".join(central(b"k%d" % d, 0, len(data), 8, crc, 100000, d) for d in range(10))
    put("zip_reader_fuzz", body + cd + end(10, len(cd), len(body)))
    # Control characters, reserved characters, deep and long names, a size
    # the data cannot reach, and an entry count the directory does not hold.
    names = [b"a\x01b", b"c\x00.exe", b"x*?|", b"a/" * 200 + b"f", b"n" * 300, b"../up", b"ok"]
    body, cd = b"", b""
    for name in names:
        cd += central(name, len(body), 1, 0, zlib.crc32(b"z"), 1 if name != b"ok" else 1000000)
        body += local(name, b"z", 0, zlib.crc32(b"z"))
    put("zip_reader_fuzz", body + cd + end(65535, len(cd), len(body)))


if __name__ == "__main__":
    decoder_seeds()
    text_seeds()
    archive_seeds()
