#!/usr/bin/env python3
"""Writes data/star_space_motion.h: the space motion of each star of the sky
object table, from the fixed-star catalogue of Debian's swe-basic-data
(SIMBAD values: ICRS place at J2000.0, proper motion, parallax, radial
velocity), and checks the table's own proper motions against it.

usage: tools/sky/make_star_motion.py [CATALOGUE [TABLE_H [OUTPUT]]]
  CATALOGUE  default /usr/share/libswe/ephe/sefstars.txt
  TABLE_H    default data/sky_object_table.h
  OUTPUT     default data/star_space_motion.h

Each table star is matched to the catalogue star nearest its J2000 place
(within 2', magnitude within 0.6); a star without a match stops the script.
The comparison of the table's proper motions with the catalogue's is printed
on standard error (the table keeps its values; the chart moves the stars by
the catalogue's).
"""
import math
import re
import sys

CATALOGUE = sys.argv[1] if len(sys.argv) > 1 else "/usr/share/libswe/ephe/sefstars.txt"
TABLE = sys.argv[2] if len(sys.argv) > 2 else "data/sky_object_table.h"
OUTPUT = sys.argv[3] if len(sys.argv) > 3 else "data/star_space_motion.h"
MATCH_ARCMIN = 2.0
MATCH_MAGNITUDE = 0.6
# Catalogue entries named after their source rather than the star.
DESIGNATIONS = {"AA11": "alCen A"}


def unpack(x):
    """u.mmss (u + mm/100 + ss.s/10000) to units, as the program unpacks it."""
    u = math.floor(x)
    y = (x - u) * 100.0
    m = math.floor(y)
    return u + m / 60.0 + (y - m) * 100.0 / 3600.0


def table_stars(path):
    rows = re.findall(r'\{"([^"]*)",\s*([-\d.e]+),\s*([-\d.e]+),\s*([-\d.e]+),\s*([-\d.e]+),\s*([-\d.e]+)\}',
                      open(path, encoding="utf-8").read())
    stars = []
    for name, ra, dec, pmra, pmdec, mag in rows[6:]:  # after the Moon and the planets
        ra, dec = float(ra), float(dec)
        dec_deg = math.copysign(unpack(abs(dec)), dec)
        stars.append({"name": name, "ra": unpack(ra) * 15.0, "dec": dec_deg,
                      "pmra_s": float(pmra), "pmdec": float(pmdec), "mag": float(mag)})
    if len(stars) != 92:
        sys.exit(f"{path}: {len(stars)} stars, expected 92")
    return stars


def catalogue_stars(path):
    stars = []
    for number, line in enumerate(open(path, encoding="latin-1"), 1):
        if line.startswith("#") or not line.strip():
            continue
        f = [v.strip() for v in line.split(",")]
        if len(f) < 14 or f[2] not in ("ICRS", "2000"):
            continue
        ra = (float(f[3]) + float(f[4]) / 60 + float(f[5]) / 3600) * 15.0
        sign = -1.0 if f[6].startswith("-") else 1.0
        dec = sign * (abs(float(f[6])) + float(f[7]) / 60 + float(f[8]) / 3600)
        stars.append({"name": f[0], "id": f[1], "ra": ra, "dec": dec, "pmra": float(f[9]),
                      "pmdec": float(f[10]), "rv": float(f[11]), "px": float(f[12]),
                      "mag": float(f[13]), "line": number})
    return stars


def separation_arcmin(a, b):
    ra1, d1, ra2, d2 = map(math.radians, (a["ra"], a["dec"], b["ra"], b["dec"]))
    c = math.sin(d1) * math.sin(d2) + math.cos(d1) * math.cos(d2) * math.cos(ra1 - ra2)
    return math.degrees(math.acos(max(-1.0, min(1.0, c)))) * 60.0


def main():
    table = table_stars(TABLE)
    catalogue = catalogue_stars(CATALOGUE)
    rows = []
    print("star         catalogue  sep(\")  pmRA*cos table  catalogue  pmDec table  catalogue  (mas/yr)",
          file=sys.stderr)
    for s in table:
        near = [c for c in catalogue if separation_arcmin(s, c) < MATCH_ARCMIN
                and abs(c["mag"] - s["mag"]) < MATCH_MAGNITUDE]
        if not near:
            sys.exit(f"{s['name'] or '(unnamed)'} at {s['ra']:.4f} {s['dec']:.4f}: no catalogue star")
        c = min(near, key=lambda c: separation_arcmin(s, c))
        table_pmra = s["pmra_s"] * 15000.0 * math.cos(math.radians(s["dec"]))
        print(f"{s['name'].strip() or '-':12} {c['id']:10} {separation_arcmin(s, c) * 60:6.1f} "
              f"{table_pmra:15.1f} {c['pmra']:10.1f} {s['pmdec'] * 1000:12.1f} {c['pmdec']:10.1f}",
              file=sys.stderr)
        rows.append((s, c))

    out = []
    out.append("// The space motion of each star of the sky object table, in table order,")
    out.append("// from the fixed-star catalogue of Debian's swe-basic-data (sefstars.txt,")
    out.append("// SIMBAD values): ICRS place at J2000.0, proper motion, parallax and radial")
    out.append("// velocity. Written by tools/sky/make_star_motion.py; do not edit.")
    out.append("#pragma once")
    out.append("")
    out.append("#include <array>")
    out.append("")
    out.append("namespace tarvo::data {")
    out.append("")
    out.append("struct StarSpaceMotionRow {")
    out.append("  const char* designation;  // the catalogue's Bayer designation (alCMa = α CMa)")
    out.append("  double raDeg, decDeg;      // ICRS, epoch J2000.0, degrees")
    out.append("  double pmRaCosDecMasPerYear;  // proper motion in right ascension times cos δ, mas/yr")
    out.append("  double pmDecMasPerYear;       // proper motion in declination, mas/yr")
    out.append("  double parallaxMas;           // mas")
    out.append("  double radialVelocityKmPerS;  // km/s, positive receding")
    out.append("};")
    out.append("")
    out.append(f"inline constexpr std::array<StarSpaceMotionRow, {len(rows)}> kStarSpaceMotionTable = {{{{")
    for s, c in rows:
        out.append(f'    {{"{DESIGNATIONS.get(c["id"], c["id"])}", {c["ra"]:.9f}, {c["dec"]:.9f}, {c["pmra"]:g}, {c["pmdec"]:g}, '
                   f'{c["px"]:g}, {c["rv"]:g}}},  // {s["name"].strip() or "-"}')
    out.append("}};")
    out.append("")
    out.append("}  // namespace tarvo::data")
    open(OUTPUT, "w", encoding="utf-8").write("\n".join(out) + "\n")


main()
