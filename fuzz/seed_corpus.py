#!/usr/bin/env python3
"""Builds the seed corpus of each fuzz target from the string literals of the test suites.

Run from the repository root: python3 fuzz/seed_corpus.py. Each seed is the literal's bytes
behind the leading bytes the target reads first (its selector), one file per seed, named by the
hash of its bytes, in fuzz/corpus/<target>/. Existing seeds are kept.
"""
import hashlib
import pathlib
import re

LITERAL = re.compile(r'"((?:[^"\\\n]|\\.)*)"')
ESCAPES = {"n": b"\n", "r": b"\r", "t": b"\t", "0": b"\0", "\\": b"\\", '"': b'"', "'": b"'"}


def literals(paths):
    """The decoded string literals of the files, without duplicates, in order."""
    seen = []
    for path in paths:
        for match in LITERAL.finditer(pathlib.Path(path).read_text(errors="replace")):
            raw, out, i = match.group(1), b"", 0
            while i < len(raw):
                c = raw[i]
                if c == "\\" and i + 1 < len(raw):
                    e = raw[i + 1]
                    if e == "x":
                        digits = re.match(r"[0-9a-fA-F]{1,2}", raw[i + 2:])
                        out += bytes([int(digits.group(0), 16)]) if digits else b"x"
                        i += 2 + (len(digits.group(0)) if digits else 0)
                        continue
                    out += ESCAPES.get(e, e.encode())
                    i += 2
                    continue
                out += c.encode("latin-1", errors="replace")
                i += 1
            if out not in seen and len(out) < 200:
                seen.append(out)
    return seen


def write(target, seeds):
    folder = pathlib.Path("fuzz/corpus") / target
    folder.mkdir(parents=True, exist_ok=True)
    for seed in seeds:
        (folder / hashlib.sha1(seed).hexdigest()[:16]).write_bytes(seed)


def glob(*patterns):
    return sorted(p for pattern in patterns for p in pathlib.Path(".").glob(pattern))


dates = literals(glob("tests/datetime/parse_test.cpp", "tests/datetime/calendar_test.cpp"))
formats = literals(glob("tests/format/*.cpp"))
numbers = literals(glob("tests/strings/numeric_text_test.cpp", "tests/variant/conversions_test.cpp"))
currency = literals(glob("tests/numeric/currency*_test.cpp"))
lines = literals(glob("tests/fileio/input_test.cpp", "tests/fileio/line_input_test.cpp"))
profiles = literals(glob("tests/platform/profile_test.cpp", "tests/datetime/locale_test.cpp"))

write("fuzz_val", [bytes([0]) + s for s in numbers])
write("fuzz_variant_text", [bytes([k]) + s for k, s in enumerate(numbers)])
write("fuzz_currency", currency + numbers[:40])
write("fuzz_dates", [bytes([k % 3 | (k & 4)]) + s for k, s in enumerate(dates)])
# Format: a Double (3), a Date Variant (6 with subtype 7) and a Currency (4) under each format.
write("fuzz_format", [bytes([3]) + b"\x58\x39\xb4\xc8\x76\xbe\xf3\x3f" + f for f in formats] +
      [bytes([6, 7]) + b"\x00\x00\x00\x00\x00\x4c\xe1\x40" + f for f in formats[::3]] +
      [bytes([4]) + b"\x40\xe2\x01\x00\x00\x00\x00\x00" + f for f in formats[::5]])
write("fuzz_input", [bytes([0, 8, 6, 9, 1, 4, 11, 7]) + s for s in lines] +
      [bytes([0, 0, 0, 0, 8, 8, 8, 8]) + b"1,2.5,\"a,b\",#1996-01-05#,#NULL#,#TRUE#\r\nx\n"])
write("fuzz_write_input", [bytes([3, 9]) + s + b"\0" + bytes([5]) + b"\x58\x39\xb4\xc8\x76\xbe\xf3\x3f"
                           for s in lines[:30]] + [bytes([1, 7]) + b"\x00\x00\x00\x00\x00\x4c\xe1\x40"])
write("fuzz_profile", [b"intl\0sShortDate\0" + s for s in profiles] +
      [b"intl\0iDate\0[intl]\r\niDate = 1\r\n; comment\r\nsShortDate='dd/mm/yy'\r\n"])
