#!/usr/bin/env python3
"""Writes the reference the coastline-file test compares the packed files with.

usage: tools/cbdpack/make_reference.py COAST_TXT LAKES_TXT OUTPUT

For every input polyline, in the order the packer writes them (file by file;
in each file coasts, then lake shores, in input order): one line
'P file rank vertices', then its vertices number 0, 256, 512, ... and the last
one as 'longitude latitude' in whole seconds of arc (rounded half away from
zero with decimal arithmetic, independently of the packer). Only the file
choice is taken from the packer.
"""
import decimal
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import cbdpack  # noqa: E402  (only for the file choice by continent)

STRIDE = 256


def polylines(path):
    blocks = [[]]
    for line in open(path, encoding="ascii"):
        if line.startswith("#"):
            continue
        if line.strip():
            blocks[-1].append(line.split())
        elif blocks[-1]:
            blocks.append([])
    return [b for b in blocks if b]


def seconds(text):
    value = decimal.Decimal(text) * 3600
    return int(value.quantize(decimal.Decimal(1), rounding=decimal.ROUND_HALF_UP))


def main(argv):
    if len(argv) != 4:
        sys.exit(__doc__)
    per_file = [[] for _ in cbdpack.FILES]
    for path, rank in ((argv[1], 1), (argv[2], 2)):
        for p in polylines(path):
            target = cbdpack.continent(float(p[0][0]), float(p[0][1]))
            per_file[target].append((rank, p))
    with open(argv[3], "w", encoding="ascii") as out:
        out.write("# Coastline reference: 'P file rank vertices', then vertices 0, %d, %d, ...\n"
                  "# and the last, in whole seconds of arc. Made by tools/cbdpack/make_reference.py\n"
                  "# from coastline_wdb2.txt and coastline_wdb2_lakes.txt.\n" % (STRIDE, 2 * STRIDE))
        for index, entries in enumerate(per_file):
            for rank, p in entries:
                out.write("P %d %d %d\n" % (index, rank, len(p)))
                picked = list(range(0, len(p), STRIDE))
                if picked[-1] != len(p) - 1:
                    picked.append(len(p) - 1)
                for i in picked:
                    out.write("%d %d\n" % (seconds(p[i][0]), seconds(p[i][1])))


if __name__ == "__main__":
    main(sys.argv)
