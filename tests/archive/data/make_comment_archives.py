# Writes the two archives with entry comments that directory_test.cpp reads,
# with Python's zipfile as the independent writer: one written to a file
# (sizes in the local headers) and one streamed to an unseekable pipe (sizes
# in data descriptors after the data). The middle entry carries a comment;
# each entry has MS-DOS attributes of its own. Run from this folder.
import io
import zipfile

ENTRIES = [
    ("first.txt", b"first entry\r\n" * 40, 0x20, b""),
    ("LOGS/middle.adi", b"<CALL:5>DL1AB<EOR>\r\n" * 60, 0x21, b"a comment on the middle entry"),
    ("last.bin", bytes(range(256)) * 8, 0x22, b""),
]


class Unseekable(io.RawIOBase):
    def __init__(self):
        self.data = bytearray()

    def writable(self):
        return True

    def write(self, b):
        self.data += b
        return len(b)


def write(target):
    with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED) as zf:
        for name, data, attributes, comment in ENTRIES:
            info = zipfile.ZipInfo(name, date_time=(2005, 2, 21, 12, 0, 0))
            info.create_system = 0  # MS-DOS: the external attributes are DOS attributes
            info.external_attr = attributes
            info.compress_type = zipfile.ZIP_DEFLATED
            info.comment = comment
            with zf.open(info, "w") as out:
                out.write(data)


write("comments_seekable.zip")
stream = Unseekable()
write(stream)
open("comments_streamed.zip", "wb").write(bytes(stream.data))
