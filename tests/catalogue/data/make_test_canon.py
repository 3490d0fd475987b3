#!/usr/bin/env python3
"""Writes the small hand-made canon under canon/: a few entries per file,
placed to exercise file boundaries, the remote-past TT/UT shift and the
searches. Dates are TT; greatestJd is the Julian Day of the same TT instant
(Julian calendar before 1582 October 15, Gregorian after). The elements are
plausible: straight-line motion through the shadow (arcseconds), a closest
approach matching the umbral magnitude, sidereal angle from the mean rate.

Run from this directory: ./make_test_canon.py
"""
import math
import os

FILES = [
    ("mcm13000m08000.prn", [
        # year, month, day, hour TT, type, penumbral, umbral, gamma, saros
        (-13000, 1, 3, 10.0, 3, 0.9120, -0.1023, 1.0811, -380),
        (-13000, 6, 20, 4.0, 1, 2.4120, 1.3810, 0.1702, -380),
        (-10000, 1, 4, 5.0, 2, 1.5230, 0.4810, -0.7713, -201),
        (-10000, 3, 3, 3.0, 1, 2.1002, 1.0990, 0.3990, -200),
        (-10000, 8, 15, 20.0, 3, 0.5515, -0.4621, -1.2110, -195),
        (-8000, 11, 20, 13.0, 2, 1.2200, 0.2104, 0.9002, -90),
    ]),
    ("mcm07999m03000.prn", [
        (-7999, 5, 10, 8.0, 2, 1.6011, 0.5600, 0.7003, -88),
        (-3000, 9, 9, 22.0, 3, 0.7720, -0.2450, -1.1340, -20),
    ]),
    ("mcm02999m00000.prn", [
        (-2999, 6, 2, 9.0, 3, 0.6420, -0.3900, 1.2030, -14),
        (-2570, 4, 10, 16.0, 3, 0.3120, -0.7001, 1.3810, 1),
        (-2552, 4, 21, 0.0, 3, 0.4302, -0.5810, 1.3322, 1),
        (0, 10, 10, 7.0, 1, 2.6020, 1.5770, 0.0620, 40),
    ]),
    ("mcp00001p03000.prn", [
        (1, 2, 5, 19.0, 2, 1.9311, 0.8812, -0.5533, 41),
        (2025, 3, 14, 6.9786, 1, 2.2595, 1.1784, 0.3485, 123),
        (2025, 9, 7, 18.1967, 1, 2.3451, 1.3638, -0.2752, 128),
        (2026, 3, 3, 11.5611, 1, 2.1839, 1.1507, -0.3765, 133),
        (3000, 2, 10, 2.0, 3, 0.9801, -0.0402, 1.0256, 145),
        (3000, 8, 5, 12.0, 2, 1.4300, 0.3991, -0.8610, 150),
    ]),
    ("mcp03001p08000.prn", [
        (3001, 1, 20, 9.0, 1, 2.2100, 1.2050, 0.2801, 155),
        (3001, 7, 16, 15.0, 3, 0.6603, -0.3500, 1.1710, 160),
        (8000, 6, 1, 4.0, 2, 1.3450, 0.3302, 0.8770, 400),
    ]),
    ("mcp08001p13000.prn", [
        (8001, 3, 5, 6.0, 2, 1.7050, 0.6633, -0.6620, 402),
        (13000, 10, 10, 21.0, 1, 2.5010, 1.4880, 0.1133, 550),
    ]),
    ("mcp13001p16999.prn", [
        (13001, 2, 2, 1.0, 3, 0.2501, -0.7720, -1.4020, 552),
        (16999, 10, 20, 17.0, 2, 1.1110, 0.0912, 0.9530, 692),
    ]),
]


def julian_day(year, month, day):
    """JD at 0 h of a calendar date (Meeus, Astronomical Algorithms, ch. 7)."""
    y, m = (year - 1, month + 12) if month <= 2 else (year, month)
    gregorian = (year, month, day) >= (1582, 10, 15)
    a = math.floor(y / 100)
    b = 2 - a + math.floor(a / 4) if gregorian else 0
    return math.floor(365.25 * (y + 4716)) + math.floor(30.6001 * (m + 1)) + day + b - 1524.5


def entry(year, month, day, hour, etype, pen, umb, gamma, saros, lunation):
    epoch = math.floor(hour)
    jd = julian_day(year, month, day) + hour / 24.0
    lu, lt, lp = 2650.0, 720.0, 4620.0  # arcsec
    closest = lu - umb * (lu - lt)
    y0 = math.copysign(closest, gamma)
    x1 = 1820.0  # arcsec per hour
    t_greatest = hour - epoch
    x0 = -x1 * t_greatest
    gst0 = (280.46061837 + 360.98564736629 * (julian_day(year, month, day) + epoch / 24.0 - 2451545.0)) % 360.0
    ra0 = (gst0 + 37.0 * ((year + month) % 7)) % 360.0
    dec0 = 18.0 * math.sin(month)
    first = [year, month, day, etype, pen, umb, gamma, jd, lunation, saros, epoch]
    second = [x0, x1, 0.0123, -0.00071, y0, -95.5, 0.0042, 0.0000133, gst0, 15.04106864]
    third = [lp, -0.00041, lu, -0.00038, lt, 0.00022, ra0, 0.5494, dec0, 0.1402]
    fmt = lambda vs: " ".join("%.12g" % v for v in vs)
    return "\n".join([fmt(first), fmt(second), fmt(third)]) + "\n"


def main():
    os.makedirs("canon", exist_ok=True)
    lunation = -185000
    for name, entries in FILES:
        with open(os.path.join("canon", name), "w") as f:
            for e in entries:
                lunation += 7
                f.write(entry(*e, lunation))


if __name__ == "__main__":
    main()
