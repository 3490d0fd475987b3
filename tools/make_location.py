#!/usr/bin/env python3
"""Writes the city list data/location.new from the shared cities table.

usage: tools/make_location.py CITIES_CSV [OUTPUT]

CITIES_CSV has the header name,longitude,latitude,height,utc_offset_hours
(88 cities, coordinates from the tz database's zone.tab, public domain).
The city list holds at most 80 cities, so eight near neighbours of cities
that stay are left out. Tokyo, the first row, stays first: the program takes
the first city as its observing site.
"""
import csv
import sys

LEFT_OUT = ["Kyoto", "Shanghai", "Mumbai", "Kolkata", "Amsterdam", "Vienna", "Tashkent",
            "Adelaide"]
MUST_KEEP = ["Tokyo", "La Paz", "Ushuaia", "McMurdo Station", "Longyearbyen", "Kiritimati",
             "Chatham Islands"]
PIECE = 79  # the program reads lines in pieces of at most this many characters

HEADER = [
    "; Cities: name,longitude,latitude,height,utc_offset (deg E, deg N, m, hours)",
    "; Coordinates: tz database zone.tab and published city centres (80 of 88)",
    "; The fourth number is the standard UTC offset; the first city is the site",
]


def main(argv):
    if len(argv) not in (2, 3):
        sys.exit(__doc__)
    with open(argv[1], newline="", encoding="utf-8") as f:
        rows = list(csv.DictReader(f))
    names = [r["name"] for r in rows]
    for n in LEFT_OUT + MUST_KEEP:
        if n not in names:
            sys.exit(f"make_location: {n} is not in {argv[1]}")
    kept = [r for r in rows if r["name"] not in LEFT_OUT]
    if len(kept) != 80 or kept[0]["name"] != "Tokyo":
        sys.exit(f"make_location: expected 80 cities with Tokyo first, got {len(kept)}")
    lines = list(HEADER)
    for r in kept:
        fields = [r["longitude"], r["latitude"], r["height"], r["utc_offset_hours"]]
        for v in fields:
            float(v)  # each is a plain decimal number
        if "," in r["name"] or ";" in r["name"]:
            sys.exit(f"make_location: name {r['name']!r} holds a delimiter")
        lines.append(",".join([r["name"]] + fields))
    for line in lines:
        if len(line) >= PIECE:
            sys.exit(f"make_location: line too long for one piece: {line}")
        line.encode("ascii")
    out = "\n".join(lines) + "\n"
    if len(argv) == 3:
        with open(argv[2], "w", encoding="ascii", newline="\n") as f:
            f.write(out)
    else:
        sys.stdout.write(out)


if __name__ == "__main__":
    main(sys.argv)
