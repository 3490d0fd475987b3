#!/usr/bin/env python3
"""Draws the program's icon: a Moon disc partly in the Earth's red umbra on a
night-blue rounded square, the design the window draws for itself
(applicationIcon in app/window/toolbar_icons.cpp, on an 18 x 18 grid).

  tools/make_icon.py OUT_DIR APP_ID [SIZE...]

writes OUT_DIR/APP_ID.svg and, for each SIZE, OUT_DIR/SIZExSIZE/APP_ID.png
(rendered by rsvg-convert from librsvg2-bin).
"""
import os
import subprocess
import sys

GRID = 18.0  # the window icon's drawing units

# The window icon's colours (kNight, kMoon, kShadow).
NIGHT = (20, 30, 80)
MOON = (235, 200, 90)
SHADOW = (150, 40, 30)

# Geometry in grid units, as in applicationIcon: the square with corner
# radius 3, the Moon of radius 6.5 at the centre, the umbra of 1.1 Moon radii
# centred 0.9 radii east and 0.2 radii north of the Moon's centre.
CORNER = 3.0
MOON_CX, MOON_CY, MOON_R = 9.0, 9.0, 6.5
UMBRA_CX = MOON_CX + MOON_R * 0.9
UMBRA_CY = MOON_CY - MOON_R * 0.2
UMBRA_R = MOON_R * 1.1


def rgb(c):
    return "#%02x%02x%02x" % c


def svg_text():
    n = lambda v: ("%.3f" % v).rstrip("0").rstrip(".")
    return f"""<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 {n(GRID)} {n(GRID)}">
  <title>TarvoWin</title>
  <defs>
    <clipPath id="moon">
      <circle cx="{n(MOON_CX)}" cy="{n(MOON_CY)}" r="{n(MOON_R)}"/>
    </clipPath>
  </defs>
  <rect x="0" y="0" width="{n(GRID)}" height="{n(GRID)}" rx="{n(CORNER)}" ry="{n(CORNER)}" fill="{rgb(NIGHT)}"/>
  <circle cx="{n(MOON_CX)}" cy="{n(MOON_CY)}" r="{n(MOON_R)}" fill="{rgb(MOON)}"/>
  <circle cx="{n(UMBRA_CX)}" cy="{n(UMBRA_CY)}" r="{n(UMBRA_R)}" fill="{rgb(SHADOW)}" clip-path="url(#moon)"/>
</svg>
"""


def main(argv):
    if len(argv) < 3:
        sys.stderr.write(__doc__)
        return 64
    out_dir, app_id, sizes = argv[1], argv[2], [int(s) for s in argv[3:]]
    os.makedirs(out_dir, exist_ok=True)
    svg = os.path.join(out_dir, app_id + ".svg")
    with open(svg, "w", encoding="utf-8") as f:
        f.write(svg_text())
    for size in sizes:
        folder = os.path.join(out_dir, f"{size}x{size}")
        os.makedirs(folder, exist_ok=True)
        subprocess.run(["rsvg-convert", "-w", str(size), "-h", str(size), "-o",
                        os.path.join(folder, app_id + ".png"), svg], check=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
