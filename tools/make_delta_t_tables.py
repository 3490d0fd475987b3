#!/usr/bin/env python3
"""Writes the tables of the smh2020 Delta T model, data/delta_t_smh2020.h.

usage: tools/make_delta_t_tables.py SPLINE_TXT OBSERVED_TXT [OUTPUT]

SPLINE_TXT is delta_t_spline_2020.txt: the cubic spline of Stephenson,
Morrison and Hohenkerk (2016) as revised in their 2020 addendum (Table
S15.2020), rows 'row K_i K_i+1 a0 a1 a2 a3' (years, seconds), -720.0..2019.0.
OBSERVED_TXT is delta_t_observed.txt: 'year seconds', Delta T on 1 January.

Checks that the rows are numbered 1..n, that each segment starts where the
previous one ended and that the spline's value there agrees within 0.01 s;
that the observed years are consecutive and start after the spline's end.
The numbers are copied as printed.
"""
import sys


def rows(path):
    out = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if line and not line.startswith("#"):
                out.append(line.split())
    return out


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    spline = rows(sys.argv[1])
    observed = rows(sys.argv[2])
    segs = []
    for n, r in enumerate(spline, start=1):
        if len(r) != 7 or int(r[0]) != n:
            sys.exit(f"spline row {n}: expected 'row K_i K_i+1 a0 a1 a2 a3'")
        segs.append(r[1:])
    for prev, cur in zip(segs, segs[1:]):
        if float(prev[1]) != float(cur[0]):
            sys.exit(f"spline segment {cur[0]} does not start where the previous one ends")
        end = sum(float(a) for a in prev[2:])
        if abs(end - float(cur[2])) > 0.01:
            sys.exit(f"spline steps by {end - float(cur[2])} s at {cur[0]}")
    years = [int(r[0]) for r in observed]
    if any(len(r) != 2 for r in observed) or years != list(range(years[0], years[0] + len(years))):
        sys.exit("observed values: expected 'year seconds' for consecutive years")
    if years[0] <= float(segs[-1][1]):
        sys.exit("observed values must start after the spline's end")

    lines = [
        "// Tables of the smh2020 ΔT model (TT − UT1), seconds of time. Written by",
        "// tools/make_delta_t_tables.py from delta_t_spline_2020.txt and",
        "// delta_t_observed.txt; do not edit by hand.",
        "#pragma once",
        "",
        "#include <array>",
        "",
        "namespace tarvo::data {",
        "",
        "// One segment of the cubic spline: for k0 <= y <= k1 (years),",
        "// t = (y − k0) / (k1 − k0) and ΔT = a0 + a1 t + a2 t² + a3 t³ seconds.",
        "struct DeltaTSplineSegment {",
        "  double k0, k1, a0, a1, a2, a3;",
        "};",
        "",
        "// Stephenson, Morrison and Hohenkerk (2016), Proc. R. Soc. A 472,",
        "// doi:10.1098/rspa.2016.0404, as revised in the 2020 addendum (Table S15.2020),",
        "// doi:10.1098/rspa.2020.0776.",
        f"inline constexpr std::array<DeltaTSplineSegment, {len(segs)}> kDeltaTSpline2020 = {{{{",
    ]
    for s in segs:
        lines.append("    {" + ", ".join(s) + "},")
    lines += [
        "}};",
        "",
        "// Observed ΔT on 1 January of consecutive years (US Naval Observatory, IERS).",
        f"inline constexpr double kDeltaTObservedFirstYear = {years[0]};",
        f"inline constexpr std::array<double, {len(observed)}> kDeltaTObserved = {{",
        "    " + ", ".join(r[1] for r in observed) + ",",
        "};",
        "",
        "}  // namespace tarvo::data",
        "",
    ]
    text = "\n".join(lines)
    if len(sys.argv) == 4:
        with open(sys.argv[3], "w", encoding="utf-8") as f:
            f.write(text)
    else:
        sys.stdout.write(text)


if __name__ == "__main__":
    main()
