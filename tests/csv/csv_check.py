#!/usr/bin/env python3
"""Runs a program with --csv and checks every value of its CSV tables, read
with Python's csv module, against the fixed-width tables of the same run.

usage: csv_check.py PROGRAM EXAMPLES_FOLDER SCRATCH_FOLDER
"""
import csv
import os
import shutil
import struct
import subprocess
import sys

PROGRAM, EXAMPLES, SCRATCH = sys.argv[1:4]


def f32(text):
    """The binary32 value a CSV number stands for, as a Python float."""
    return struct.unpack('f', struct.pack('f', float(text)))[0]


def cell(value):
    """A fixed-width table cell (F.6) as the program writes it."""
    text = '%.6f' % value
    return '0.000000' if text == '-0.000000' and value == 0 else text


def close(area_cm2, cell_text):
    """Basal area: the CSV holds cm2, the fixed table cm2/100 rounded to 6 decimals."""
    return abs(area_cm2 / 100 - float(cell_text)) <= 5e-7 + abs(area_cm2) * 1e-7 / 100 * 2


def run(name, answers):
    folder = os.path.join(SCRATCH, name)
    shutil.rmtree(folder, ignore_errors=True)
    shutil.copytree(EXAMPLES, folder)
    done = subprocess.run([PROGRAM, '--csv'], input=answers, cwd=folder, text=True,
                          capture_output=True, env=dict(os.environ, RUVELA_DEVICE='null'))
    assert done.returncode == 0, (name, done.returncode, done.stderr)
    return folder


def read_csv(path):
    with open(path, newline='') as f:
        return list(csv.DictReader(f))


def fixed_rows(path, skip):
    with open(path) as f:
        lines = f.read().split('\n')[skip:]
    return [line.split() for line in lines if line.strip()]


def check_pair(folder, stem):
    """Every row of <stem>_BAI.csv against the column table <stem>_BAI."""
    rows = read_csv(os.path.join(folder, stem + '_BAI.csv'))
    table = fixed_rows(os.path.join(folder, stem + '_BAI'), 2)
    with open(os.path.join(folder, stem + '_BAI')) as f:
        ids = f.read().split('\n')[1].split()[1::6]  # 'ID rrw ID ba ID bai'
    by_year = {int(r[0]): r[1:] for r in table}
    first = {}
    for row in rows:
        s = ids.index(row['series'])
        year = int(row['year'])
        width, area, bai = by_year[year][3 * s:3 * s + 3]
        assert cell(f32(row['ring_width_mm'])) == width, (stem, row)
        assert close(f32(row['basal_area_cm2']), area), (stem, row, area)
        if row['series'] not in first:
            # The fixed table keeps 0 there; the CSV the first ring's area,
            # which lies between 0 and the whole area inside the ring.
            first[row['series']] = year
            ring = f32(row['bai_cm2'])
            assert bai == '0.000000' and 0 <= ring <= f32(row['basal_area_cm2']) * (1 + 1e-6), \
                (stem, row)
        else:
            assert cell(f32(row['bai_cm2'])) == bai, (stem, row, bai)
    assert len(first) == len(ids), (stem, 'every series has rows')
    return rows


def first_ring_means(rows):
    """Per year in which a series starts: the mean of the pair CSV's
    increments of that year, first rings included."""
    starts, values, seen = set(), {}, set()
    for row in rows:
        year = int(row['year'])
        if row['series'] not in seen:
            seen.add(row['series'])
            starts.add(year)
        if f32(row['bai_cm2']) >= 0:
            values.setdefault(year, []).append(f32(row['bai_cm2']))
    return {y: sum(values[y]) / len(values[y]) for y in starts}


def check_summary(folder, files, pair_rows):
    """summary.csv's means against the summary tables' columns, but in the
    years where a series starts: there the increment mean takes its first
    ring's area where the fixed tables have 0; the last pair's sample depths
    against edition 12's SD column."""
    with_first_rings = {f: first_ring_means(rows) for f, rows in zip(files, pair_rows)}
    rows = read_csv(os.path.join(folder, 'summary.csv'))
    tables = {name: {int(r[0]): r[1:] for r in fixed_rows(os.path.join(folder, name), 1)}
              for name in ('RRWmm.out', 'BAm2.out', 'BAIcm2.out')}
    last = files[-1]
    for row in rows:
        column = files.index(row['file']) + 1  # after the SD column
        year = int(row['year'])
        width = tables['RRWmm.out'][year]
        area = tables['BAm2.out'][year]
        bai = tables['BAIcm2.out'][year]
        if row['n_ring_width'] != '0':
            assert cell(f32(row['mean_ring_width_mm'])) == width[column], row
        if row['n_basal_area'] != '0':
            assert close(f32(row['mean_basal_area_cm2']), area[column]), row
        starting = with_first_rings[row['file']]
        if row['n_bai'] != '0' and year in starting:
            assert abs(f32(row['mean_bai_cm2']) - starting[year]) <= 1e-5 * starting[year], row
        elif row['n_bai'] != '0':
            assert cell(f32(row['mean_bai_cm2'])) == bai[column], row
        if row['file'] == last:
            assert (row['n_ring_width'], row['n_basal_area'], row['n_bai']) == \
                (width[0], area[0], bai[0]), row
    spans = {f: [int(r['year']) for r in rows if r['file'] == f] for f in files}
    return {f: (min(y), max(y)) for f, y in spans.items()}


for name, answers, stems in [
        ('gp_pith', '\nf\ngp.rwl\ngp_pith.txt\n1\n(i3)\n1\n\n', ['gp']),
        ('gp_dbh', '\nf\ngp.rwl\ngp_dbh.txt\n2\n(f6.1)\n1\n\n', ['gp']),
        ('list', '\nt\nrings.lst\npiths.lst\n1\n(i3)\n1\n\n\n', ['gp', 'wa082'])]:
    folder = run(name, answers)
    pair_rows = [check_pair(folder, stem) for stem in stems]
    print(name + ':', sum(len(rows) for rows in pair_rows), 'rows;',
          check_summary(folder, [stem + '.rwl' for stem in stems], pair_rows))
