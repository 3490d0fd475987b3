#!/usr/bin/env python3
"""Writes the built-in world outline data/builtin_outline.h from a coarse
coastline file.

usage: tools/make_builtin_outline.py COASTLINE_TXT [OUTPUT]

COASTLINE_TXT is coastline_coarse_simplified.txt: Natural Earth 1:110m
coastlines (public domain), simplified to 95 polylines and 1,858 points;
'longitude latitude' lines in degrees, blank lines between polylines,
polylines crossing the antimeridian split there at an interpolated +-180 point.

The table is a stream of doubles in pairs (longitude, latitude), degrees east
and north. The outline is grouped into 18 runs, one per land mass or group of
islands, each closed by the sentinel 999 (not part of the pair stream). The
pair (200, 200) ends a polyline and closes every run but the last; the pair
(500, 500) ends the outline and closes the last run.

- Africa comes first: the four points (-17, 20), (-17, 23), (-15, 25),
  (-10, 30) of the Saharan coast, then the coast onward from its vertex
  nearest (-10, 30) round the continent (closed across the Suez isthmus)
  back to (-17, 20).
- Antarctica comes last, one closed ring: (0, -72), (10, -70), (23, -71),
  (33, -69), then the coast eastward from its vertex nearest (33, -69) round
  to (0, -72).
- Pieces split at the antimeridian are joined again (one copy of the
  crossing point, written as 180); longitudes below -169 (eastern Siberia and
  the Antarctic coast just east of the antimeridian) are written as 180..190,
  so that every longitude lies in -168..190.
- Latitudes above 82 (the north coasts of Greenland and Ellesmere Island) are
  written as 82: the map ends at 80 deg N.
- St Lawrence Island (4 points, straddling -169 deg) is left out.
Values are rounded to 0.01 degree.
"""
import sys

BLOCKS_LEFT_OUT = [21]  # St Lawrence Island
AFRICA_START = [(-17, 20), (-17, 23), (-15, 25), (-10, 30)]
ANTARCTICA_START = [(0, -72), (10, -70), (23, -71), (33, -69)]
# Polylines of the source, by their order in it (0-based), grouped into runs.
# Afro-Eurasia (72, 76, 73), the Americas (67, 68, 59, 60) and Antarctica (75)
# are rebuilt below; the other entries are islands added to a run as they are.
RUNS = [
    ("Africa", ["africa", 25]),
    ("Eurasia", ["eurasia", 80, 38]),
    ("Mediterranean islands", [52, 70, 24, 23]),
    ("British Isles and Iceland", [53, 1, 54]),
    ("Arctic islands of Eurasia", [64, 65, 66, 62, 63, 89, 90, 85, 86, 87]),
    ("Japan and Sakhalin", [50, 51, 71, 55]),
    ("Philippines, Taiwan and Hainan", [57, 58, 46, 47, 56, 49, 48]),
    ("Indonesia", [45, 44, 43, 42, 74, 3, 41, 39, 40]),
    ("New Guinea and New Britain", [2, 32, 33]),
    ("Australia and Tasmania", [37, 36]),
    ("New Zealand and New Caledonia", [34, 35, 31]),
    ("North America", ["north_america", 10, 79, 20, 19, 18]),
    ("Cuba and Hispaniola", [9, 69]),
    ("Arctic archipelago of Canada",
     [12, 11, 81, 82, 83, 84, 4, 5, 6, 7, 8, 13, 14, 15, 16, 17, 22, 88, 91, 92, 94]),
    ("Greenland", [93]),
    ("South America", ["south_america", 61, 77]),
    ("Antarctic and sub-Antarctic islands", [0, 26, 27, 28, 29, 30, 78]),
    ("Antarctica", ["antarctica"]),
]


def read_blocks(path):
    blocks, cur = [], []
    with open(path) as f:
        for line in f:
            line = line.strip()
            if line.startswith("#"):
                continue
            if not line:
                if cur:
                    blocks.append(cur)
                cur = []
                continue
            lon, lat = map(float, line.split())
            cur.append((lon, lat))
    if cur:
        blocks.append(cur)
    return blocks


def nearest(points, target):
    return min(range(len(points)),
               key=lambda i: (points[i][0] - target[0]) ** 2 + (points[i][1] - target[1]) ** 2)


def close_ring(points):
    return points + [points[0]] if points[0] != points[-1] else points


def ring_from(points, start, first_kept, last_kept):
    """The fixed start points, then the ring's vertices from first_kept
    onward (wrapping) up to last_kept, then the first start point again."""
    n = len(points)
    out = list(start)
    i = first_kept
    while True:
        out.append(points[i])
        if i == last_kept:
            break
        i = (i + 1) % n
    out.append(start[0])
    return out


def find(block, point):
    return block.index(point)


def build_special(blocks):
    b72, b73, b75, b76 = blocks[72], blocks[73], blocks[75], blocks[76]
    # Afro-Eurasia: 72 runs from Mauritania north round Europe and Siberia to
    # the antimeridian, 76 is Chukotka, 73 runs from the antimeridian round
    # Asia and Africa back to Mauritania.
    assert b72[0] == b73[-1] and b72[-1][0] == 180 and b73[0][0] == 180
    assert b76[0][0] == -180 and b76[-1][0] == -180
    port_said = find(b72, (31.96041, 30.93362))  # last African vertex on the Mediterranean
    suez = find(b73, (32.42322, 29.85107))        # first African vertex on the Red Sea
    africa_ring = b73[suez:] + b72[1:port_said + 1]  # closed across the isthmus below
    africa = ring_from(africa_ring, AFRICA_START, nearest(africa_ring, AFRICA_START[-1]),
                       nearest(africa_ring, AFRICA_START[0]))
    siberia = [(lon + 360, lat) for lon, lat in b76[1:-1]]
    eurasia = b72[port_said:] + siberia + b73[1:suez + 1]  # Port Said round to Suez

    # The Americas: 67 (Colombia round North America to Panama), 68 (the
    # Caribbean coast of Panama), 59 (South America's east coast), 60 (its
    # west coast, from Colombia).
    b59, b60, b67, b68 = blocks[59], blocks[60], blocks[67], blocks[68]
    assert b67[-1] == b68[0] and b68[-1] == b59[0] and b59[-1] == b60[-1] and b60[0] == b67[0]
    north_america = b67 + b68[1:]
    south_america = close_ring(b59 + b60[::-1][1:])

    # Antarctica: one line from the antimeridian eastward round to it again.
    assert b75[0][0] == -180 and b75[-1][0] == 180 and b75[0][1] == b75[-1][1]
    ring = b75[:-1]
    antarctica = ring_from(ring, ANTARCTICA_START, nearest(ring, ANTARCTICA_START[-1]),
                           nearest(ring, ANTARCTICA_START[0]))
    return {"africa": africa, "eurasia": eurasia, "north_america": north_america,
            "south_america": south_america, "antarctica": antarctica}


def written(lon, lat):
    if lon < -169 or lon == -180:
        lon += 360
    return round(lon, 2), round(min(lat, 82.0), 2)


def number(v):
    text = f"{v:.2f}".rstrip("0").rstrip(".")
    return "0" if text == "-0" else text


def main(argv):
    if len(argv) not in (2, 3):
        sys.exit(__doc__)
    blocks = read_blocks(argv[1])
    assert len(blocks) == 95, len(blocks)
    special = build_special(blocks)
    used = set(BLOCKS_LEFT_OUT) | {72, 73, 75, 76, 59, 60, 67, 68}
    lines = []
    points = breaks = 0
    for run_index, (name, members) in enumerate(RUNS):
        last_run = run_index == len(RUNS) - 1
        lines.append(f"    // {name}")
        for m_index, member in enumerate(members):
            if isinstance(member, str):
                poly = special[member]
            else:
                assert member not in used, member
                used.add(member)
                poly = blocks[member]
            pairs = [written(lon, lat) for lon, lat in poly]
            points += len(pairs)
            last_polyline = last_run and m_index == len(members) - 1
            pairs.append((500, 500) if last_polyline else (200, 200))
            breaks += 0 if last_polyline else 1
            row = []
            for lon, lat in pairs:
                row.append(f"{number(lon)}, {number(lat)},")
                if len(" ".join(row)) > 80:
                    lines.append("    " + " ".join(row))
                    row = []
            if row:
                lines.append("    " + " ".join(row))
        lines.append("    999,")
    assert used == set(range(95)), sorted(set(range(95)) - used)
    out = [
        "// The built-in world outline: 18 runs of (longitude, latitude) pairs in",
        "// degrees (east and north positive), one run per land mass or group of",
        "// islands, Africa first and Antarctica last. Each run is closed by the",
        "// sentinel 999, which is not part of the pair stream; (200, 200) ends a",
        "// polyline, (500, 500) ends the outline. Longitudes -168..190 (eastern",
        "// Siberia written east of 180), latitudes -86..82.",
        f"// {points} points, {breaks} polyline ends. Natural Earth 1:110m coastline (public",
        "// domain), simplified; generated by tools/make_builtin_outline.py; do not edit.",
        "#pragma once",
        "",
        "namespace tarvo::data {",
        "",
        "inline constexpr double kBuiltInOutline[] = {",
        *lines,
        "};",
        "",
        "}  // namespace tarvo::data",
        "",
    ]
    text = "\n".join(out)
    if len(argv) == 3:
        with open(argv[2], "w") as f:
            f.write(text)
    else:
        sys.stdout.write(text)
    print(f"{points} points, {breaks} polyline ends, {len(RUNS)} runs", file=sys.stderr)


if __name__ == "__main__":
    main(sys.argv)
