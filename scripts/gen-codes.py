#!/usr/bin/env python3
"""Writes resources/codes.plist, the named character references that the
markup tokenizer's decode() replaces, from the HTML5 table that ships with
Python 3.

Keys are the reference names with their trailing ";" and without the leading
"&" ("lt;"); values are the replacement texts. The legacy forms without ";"
("lt") are left out: the tokenizer only replaces references that end in ";".

Run from anywhere: python3 scripts/gen-codes.py
"""
import html.entities
import pathlib
import plistlib
import re
import sys

out = pathlib.Path(__file__).resolve().parent.parent / "resources" / "codes.plist"

codes = {name: text for name, text in html.entities.html5.items() if name.endswith(";")}

# decode() looks a key up by the text up to the first ";", so a key must be a
# plain name with one ";" at its end.
bad = [name for name in codes if not re.fullmatch(r"[A-Za-z0-9]+;", name)]
if bad:
    sys.exit(f"unexpected reference names: {bad}")

data = plistlib.dumps(codes, fmt=plistlib.FMT_XML, sort_keys=True)

# plistlib folds "\r" into "\n" when writing; make sure no text was changed.
if plistlib.loads(data) != codes:
    sys.exit("the plist does not read back as the table it was made from")

out.write_bytes(data)
print(f"{out}: {len(codes)} references")
