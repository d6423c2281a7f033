#!/usr/bin/env python3
# Writes the seed archives of the zip fuzz target into fuzz/corpus/zip: a
# chapter as the exporter writes it, and the awkward entries an unpacking
# must survive. Run from the repository root; the seeds are kept in git.
import io
import os
import zipfile

out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "zip")
os.makedirs(out, exist_ok=True)

# Smallest files that still start like the images a chapter holds.
JPEG = b"\xff\xd8\xff\xe0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00\xff\xd9"
PNG = b"\x89PNG\r\n\x1a\n" + b"\x00" * 16


def write(name, entries, method=zipfile.ZIP_DEFLATED):
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w", method) as archive:
        for entry in entries:
            if isinstance(entry, zipfile.ZipInfo):
                archive.writestr(entry, b"target")
            else:
                archive.writestr(entry[0], entry[1])
    with open(os.path.join(out, name), "wb") as f:
        f.write(buffer.getvalue())


write("chapter.zip", [("Book_c1[R]/001.jpg", JPEG), ("Book_c1[R]/002.png", PNG), ("Book_c1[R]/003.jpg", JPEG)])
write("stored.zip", [("Book_v2_c15/001.jpg", JPEG)], zipfile.ZIP_STORED)
write("backslash.zip", [("a\\b.jpg", JPEG), ("a\\c\\d.jpg", JPEG)])
write("climb.zip", [("ok.jpg", JPEG), ("..\\evil.jpg", JPEG)])
write("absolute.zip", [("/tmp/evil.jpg", JPEG), ("C:\\evil.jpg", JPEG)])
write("folders.zip", [("dir/", b""), ("dir/sub/001.jpg", JPEG), ("./dir/./002.jpg", JPEG), (".hidden", b"x")])
write("duplicate.zip", [("p/001.jpg", JPEG), ("p/001.jpg", PNG), ("p", b"file over a folder")])
link = zipfile.ZipInfo("link")
link.create_system = 3
link.external_attr = 0o120777 << 16
write("symlink.zip", [link, ("link/evil.jpg", JPEG)])
# More than the fuzz target's unpacking limit once inflated.
write("zeros.zip", [("zeros.jpg", b"\x00" * (2 << 20))])
