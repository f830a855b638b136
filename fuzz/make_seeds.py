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


if __name__ == "__main__":
    decoder_seeds()
    text_seeds()
