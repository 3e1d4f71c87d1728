#!/usr/bin/env python3
"""Checks a pair's CSV table, computed by the library, against the basal-area
formulas of the distance-to-the-pith and proportional methods, worked out
here in double precision straight from the ring-width file and the
companion file.

usage: formula_check.py d2pith|proportional|pith RING_FILE COMPANION_FILE PAIR_CSV [FIELD ERROR]

With FIELD (d2pith in mm, dbh in cm or pith in rings) and ERROR, the table's
bound columns are checked too: they must be the formulas run at the value
less and plus the error, the lower end no lower than possible (0, or for the
diameter twice the measured rings), each the smaller and the larger of the two.
The pith offset method is the distance method with the distance the sum of
the first offset widths (the missing rings as rings of their mean width).

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
RANGE = (sys.argv[5], float(sys.argv[6])) if len(sys.argv) > 6 else None
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
    """Per series: (distance to the pith in mm or pith offset, diameter in cm or None)."""
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


def expected(widths, value, dbh):
    """Areas and increments (the first ring's area first) for the value."""
    d = sum(widths[:int(value)]) if KIND == 'pith' else value
    areas, inside = expected_areas(widths, d, dbh)
    return areas, [areas[0] - inside] + [b - a for a, b in zip(areas, areas[1:])]


def range_ends(widths, value, dbh):
    """The companion values at the two ends of the range."""
    field, error = RANGE
    if field == 'dbh':
        least = 2 * sum(widths) / 10
        return [(value, max(dbh - error, least)), (value, dbh + error)]
    return [(max(value - error, 0), dbh), (value + error, dbh)]


def float_units(value):
    f = struct.unpack('f', struct.pack('f', value))[0]
    bits = struct.unpack('I', struct.pack('f', f))[0]
    return struct.unpack('f', struct.pack('I', bits + 1))[0] - f


def check_column(rows, column, want, allowed, unit, worst, key):
    for row, value in zip(rows, want):
        off = abs(float(row[column]) - value)
        assert off <= allowed, (row['series'], row['year'], column, value, off / unit)
        worst[key] = max(worst[key], (off, off / unit))


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
        value, dbh = companion[sid]
        rows = by_series[sid]
        assert [int(r['year']) for r in rows] == list(range(first, first + len(widths))), sid
        ends = [(value, dbh)] + (range_ends(widths, value, dbh) if RANGE else [])
        runs = [expected(widths, v, dbh_at) for v, dbh_at in ends]
        # The allowed differences follow the largest outer area and radius.
        outer_area = max(areas[-1] for areas, _ in runs)
        unit = float_units(outer_area)
        outer_radius = math.sqrt(outer_area * 100 / math.pi)
        drift = 2 * len(widths) * float_units(outer_radius) / 2 / outer_radius
        area_allowed = ALLOWED_UNITS * unit + 2 * drift * outer_area
        areas, increments = runs[0]
        check_column(rows, 'bai_cm2', increments, ALLOWED_UNITS * unit, unit, worst, 'increment')
        check_column(rows, 'basal_area_cm2', areas, area_allowed, unit, worst, 'area')
        if RANGE:
            (a_low, i_low), (a_high, i_high) = runs[1], runs[2]
            for name, pick in (('low', min), ('high', max)):
                check_column(rows, 'bai_%s_cm2' % name, list(map(pick, i_low, i_high)),
                             ALLOWED_UNITS * unit, unit, worst, 'increment')
                check_column(rows, 'basal_area_%s_cm2' % name, list(map(pick, a_low, a_high)),
                             area_allowed, unit, worst, 'area')
        checked += len(widths)
    print('%s%s: %d years of %d series; largest difference of an increment %.2g cm2 (%.2f units '
          'of the outer area), of an area %.2g cm2 (%.2f units)' %
          ((KIND, ' %s +-%g' % RANGE if RANGE else '', checked, len(rings)) +
           worst['increment'] + worst['area']))


main()
