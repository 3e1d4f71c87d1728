#!/usr/bin/env python3
"""Checks a pair's CSV table, computed by the library, against the basal-area
formulas of the distance-to-the-pith and proportional methods, worked out
here in double precision straight from the ring-width file and the
companion file.

usage: formula_check.py d2pith|proportional RING_FILE COMPANION_FILE PAIR_CSV

Every increment, the first ring's included, must agree within 8 binary32
units of the series' outer area: an increment is the difference of two
single-precision areas a rounding or so from the exact ones, so its error
scales with the area, not with the increment. An area itself may be off by
more: its radius is a sum of the widths and a walk back over them, each step
rounded, so it may drift by half a unit of the outer radius per step; the
area by twice that, relatively.
"""
import csv
import math
import struct
import sys

KIND, RINGS, COMPANION, TABLE = sys.argv[1:5]
ALLOWED_UNITS = 8


def series_widths(path):
    """Decade layout: ID in columns 1-8, year in 9-12, then 6-column values
    in hundredths of a millimetre up to the end marker 999."""
    series = {}
    with open(path) as f:
        for line in f:
            line = line.rstrip('\r\n')
            sid, year = line[:8].strip(), int(line[8:12])
            first, widths = series.setdefault(sid, (year, []))
            for p in range(12, len(line) - 5, 6):
                value = int(line[p:p + 6])
                if value == 999:
                    break
                widths.append(value / 100)
    return series


def companion_rows(path):
    """Per series: (distance to the pith in mm, diameter in cm or None)."""
    rows = {}
    with open(path, newline='') as f:
        if KIND == 'proportional':
            for row in csv.DictReader(f):
                rows[row['series']] = (float(row['d2pith_mm']), float(row['dbh_cm']))
        else:
            for line in f:
                value, sid = line.split()
                rows[sid] = (float(value), None)
    return rows


def expected_areas(widths, d, dbh):
    """Areas in cm2 at the end of each year, and the area inside the first
    ring, from the radius R(y) = d + C(y) in mm; the proportional method
    scales the diameter DBH * R(y) / R(L)."""
    radii, total = [], d
    for w in widths:
        total += w
        radii.append(total)
    if KIND == 'proportional':
        def area(r):
            return math.pi * (dbh * r / radii[-1]) ** 2 / 4
    else:
        def area(r):
            return math.pi * r * r / 100
    return [area(r) for r in radii], area(d)


def float_units(value):
    f = struct.unpack('f', struct.pack('f', value))[0]
    bits = struct.unpack('I', struct.pack('f', f))[0]
    return struct.unpack('f', struct.pack('I', bits + 1))[0] - f


def main():
    rings, companion = series_widths(RINGS), companion_rows(COMPANION)
    with open(TABLE, newline='') as f:
        table = list(csv.DictReader(f))
    by_series = {}
    for row in table:
        by_series.setdefault(row['series'], []).append(row)
    assert sorted(by_series) == sorted(rings), 'every series and no other'
    worst, checked = {'increment': (0.0, 0.0), 'area': (0.0, 0.0)}, 0
    for sid, (first, widths) in rings.items():
        d, dbh = companion[sid]
        areas, inside = expected_areas(widths, d, dbh)
        increments = [areas[0] - inside] + [b - a for a, b in zip(areas, areas[1:])]
        rows = by_series[sid]
        assert [int(r['year']) for r in rows] == list(range(first, first + len(widths))), sid
        unit = float_units(areas[-1])
        outer_radius = d + sum(widths)
        drift = 2 * len(widths) * float_units(outer_radius) / 2 / outer_radius
        area_allowed = ALLOWED_UNITS * unit + 2 * drift * areas[-1]
        for row, area, increment in zip(rows, areas, increments):
            off = abs(float(row['bai_cm2']) - increment)
            assert off <= ALLOWED_UNITS * unit, (sid, row, increment, off / unit)
            worst['increment'] = max(worst['increment'], (off, off / unit))
            off = abs(float(row['basal_area_cm2']) - area)
            assert off <= area_allowed, (sid, row, area, off / unit)
            worst['area'] = max(worst['area'], (off, off / unit))
            checked += 1
    print('%s: %d years of %d series; largest difference of an increment %.2g cm2 (%.2f units '
          'of the outer area), of an area %.2g cm2 (%.2f units)' %
          ((KIND, checked, len(rings)) + worst['increment'] + worst['area']))


main()
