#!/usr/bin/env python3
"""Writes each decade-format file of tests/data/itrdb as a Heidelberg file
(the file's own integers, in its unit) and as delimited text (millimetres,
each value the shortest decimal that reads back to the same binary32), so
that the readers of those formats can be checked against the decade reader.

Usage: python3 convert.py   (writes <site>.fh and <site>.csv beside itself)
"""
import os
import struct
from fractions import Fraction

HERE = os.path.dirname(os.path.abspath(__file__))
SITES = ["ca533", "co021", "wa082"]


def f32(x):
    return struct.unpack("<f", struct.pack("<f", x))[0]


def f32_bits(x):
    return struct.unpack("<I", struct.pack("<f", x))[0]


def f32_from_bits(b):
    return struct.unpack("<f", struct.pack("<I", b))[0]


HUNDREDTH = f32(0.01)
TENTH = f32(0.1)


def int_field(text):
    """A fixed-width integer field: blanks anywhere ignored, empty is 0."""
    t = text.replace(" ", "").replace("\t", "")
    if t in ("", "+", "-"):
        return 0
    if t[0] in "+-":
        sign, digits = t[0], t[1:]
    else:
        sign, digits = "", t
    if not digits.isdigit():
        return None
    return int(sign + digits)


def decode_line(line):
    """ID (columns 1-8), year (9-12) and ten values of six columns, or None."""
    line = line[:80].ljust(80)
    ident, year_text = line[:8], line[8:12]
    if ident[7] == "-" and year_text.strip().isdigit():
        ident, year_text = ident[:7] + " ", "-" + year_text
    year = int_field(year_text)
    values = [int_field(line[12 + 6 * j:18 + 6 * j]) for j in range(10)]
    if year is None or None in values:
        return None
    return ident, year, values


def first_line_count(year):
    if year >= 0:
        return 10 - year % 10
    rest = (-year) % 10
    return 10 if rest == 0 else rest


def read_decade(path):
    """Series as (id, first year, integers, unit) in file order."""
    with open(path, newline="") as f:
        lines = [l.rstrip("\r\n") for l in f.read().replace("\r\n", "\n").split("\n")]
    series, current = [], None
    for line in lines:
        if not line.strip(" \t"):
            continue
        decoded = decode_line(line)
        if decoded is None:
            continue
        ident, year, values = decoded
        if current is None:
            current = [ident.rstrip(" "), year, []]
            n = first_line_count(year)
        else:
            n = 10
        for v in values[:n]:
            if v in (999, -9999):
                series.append((current[0], current[1], current[2],
                               "1/100 mm" if v == 999 else "1/1000 mm"))
                current = None
                break
            current[2].append(v)
    return series


def millimetres(value, unit):
    """The decade reader's float: hundredths, then a tenth for thousandths."""
    mm = f32(float(value) * HUNDREDTH)
    return mm if unit == "1/100 mm" else f32(mm * TENTH)


def reads_back(text, value):
    """True when the binary32 nearest to the decimal `text` is `value`."""
    x = Fraction(text)
    bits = f32_bits(value)
    here = abs(x - Fraction(value))
    for neighbour in (bits - 1, bits + 1):
        other = abs(x - Fraction(f32_from_bits(neighbour)))
        if other < here or (other == here and bits % 2 == 1):
            return False
    return True


def shortest(value):
    if value == 0:
        return "0"
    for p in range(1, 10):
        text = "%.*g" % (p, value)
        if reads_back(text, value):
            return text
    raise ValueError(value)


def write_heidelberg(path, series):
    with open(path, "w", newline="") as f:
        for ident, first, values, unit in series:
            f.write("HEADER:\n")
            f.write("KeyCode=%s\n" % ident)
            f.write("DateBegin=%d\nDateEnd=%d\n" % (first, first + len(values) - 1))
            f.write("Length=%d\nUnit=%s\nDATA:Tree\n" % (len(values), unit))
            padded = values + [0] * (-len(values) % 10)
            for k in range(0, len(padded), 10):
                f.write("".join("%6d" % v for v in padded[k:k + 10]) + "\n")


def write_delimited(path, series):
    first = min(s[1] for s in series)
    last = max(s[1] + len(s[2]) - 1 for s in series)
    with open(path, "w", newline="") as f:
        f.write(",".join(['"Year"'] + ['"%s"' % s[0] for s in series]) + "\n")
        for year in range(first, last + 1):
            cells = [str(year)]
            for ident, start, values, unit in series:
                k = year - start
                inside = 0 <= k < len(values)
                cells.append(shortest(millimetres(values[k], unit)) if inside else "NA")
            f.write(",".join(cells) + "\n")


def main():
    for site in SITES:
        series = read_decade(os.path.join(HERE, "..", site + ".rwl"))
        write_heidelberg(os.path.join(HERE, site + ".fh"), series)
        write_delimited(os.path.join(HERE, site + ".csv"), series)


if __name__ == "__main__":
    main()
