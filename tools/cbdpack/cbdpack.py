#!/usr/bin/env python3
"""Packs coastline polylines into the five compressed binary coastline files.

usage: tools/cbdpack/cbdpack.py COAST_TXT LAKES_TXT OUTPUT_DIR

COAST_TXT and LAKES_TXT hold polylines, one 'longitude latitude' line per
vertex (decimal degrees, east and north positive), a blank line between
polylines, '#' header lines. Every polyline goes into exactly one file, chosen
by the continent of its first vertex (Australia, Oceania and Antarctica with
Asia): as_cil.cbd, eu_cil.cbd, af_cil.cbd, na_cil.cbd, sa_cil.cbd. Coasts are
rank 1, lake shores rank 2; coasts come first in each file, both in input
order.

Vertices are rounded to whole seconds of arc (half away from zero). The
reader drops a longitude step of 100 seconds or more, so a longer step is
split into equal parts (points on the straight line between the two
vertices); every input vertex is kept, in order. A polyline longer than a
segment can hold is cut at a multiple of 100 strokes, and the next segment
starts at the point where the last one ended.

File layout (little-endian; angles in seconds of arc):
  header, 40 bytes: int32 0, int32 index offset, int32 segment count,
    int32 index length, int32 largest stroke-data length, 20 zero bytes
  index: 28 bytes per segment: 20 zero bytes, int32 segment offset,
    int16 stroke-data length in bytes, int16 rank
  segment: int32 longitude, int32 latitude, 4 zero bytes, int16 strokes,
    2 zero bytes, stroke data (16-bit words)
  strokes: a flag word with bit 0x4000 announces a short stroke whose steps
    are packed in the next word (bit 15 sign of the longitude step, bits 8-13
    longitude step + 64 when negative, bits 0-7 latitude step); that word's
    bit 0x4000 is the flag of the stroke after it. Without the bit, a long
    stroke: longitude step, latitude step (a negative value stored with bit
    0x4000 cleared), a zero word, then the next stroke's flag word.
"""
import os
import struct
import sys

FILES = ["as_cil.cbd", "eu_cil.cbd", "af_cil.cbd", "na_cil.cbd", "sa_cil.cbd"]
AS, EU, AF, NA, SA = range(5)
COAST_RANK = 1
LAKE_RANK = 2
MAX_SEGMENT = 32767      # stroke-data bytes and strokes stay below this
CUT_MULTIPLE = 100       # a cut segment holds a multiple of this many strokes
LONGITUDE_STEP_LIMIT = 100   # the reader drops longitude steps this long
LONG_LATITUDE_LIMIT = 16384  # |latitude step| of a long stroke stays below


def read_polylines(path):
    """Polylines of (longitude, latitude) decimal strings."""
    polylines, current = [], []
    with open(path, encoding="ascii") as f:
        for line in f:
            if line.startswith("#"):
                continue
            fields = line.split()
            if not fields:
                if current:
                    polylines.append(current)
                    current = []
                continue
            current.append((fields[0], fields[1]))
    if current:
        polylines.append(current)
    return polylines


def arcsec(text):
    """Decimal degrees as text to whole seconds of arc, half away from zero."""
    negative = text.startswith("-")
    digits = text.lstrip("+-")
    whole, _, fraction = digits.partition(".")
    scale = 10 ** len(fraction)
    units = int(whole or "0") * scale + int(fraction or "0")   # degrees × scale
    seconds, rest = divmod(units * 3600, scale)
    if 2 * rest >= scale:
        seconds += 1
    return -seconds if negative else seconds


def continent(lon, lat):
    """File index for a first vertex (degrees): by rough boxes around the
    continents and their islands."""
    if lat < -60:
        return AS                                   # Antarctica
    if 36.5 <= lat <= 40 and -32 <= lon <= -24:
        return EU                                   # Azores
    if 14 <= lat <= 18 and -26 <= lon <= -22:
        return AF                                   # Cape Verde
    if lat >= 60 and lon < -169 and not (lat < 64 and lon > -172):
        return AS                                   # Chukotka, Wrangel Island
    if 50 < lat < 60 and lon >= 172:
        return NA                                   # western Aleutians
    if lat >= 67 and -25 <= lon < -11:
        return NA                                   # north-east Greenland
    if -180 <= lon < -25:
        if lat < 32 and lon < -120:
            return AS                               # Hawaii, Polynesia
        if lat < -20 and lon < -100:
            return AS                               # Easter Island
        if lat < 7.15 and lon > -93:
            return SA
        if lat < 12.6 and -77.4 < lon < -63:
            return SA                               # Caribbean coast, ABC islands
        if lat < 11.4 and lon >= -63:
            return SA                               # Trinidad, Tobago
        return NA
    # Africa, Europe and Asia.
    if lat < 12 and lon < 64:
        return AF                                   # with Madagascar, Mascarenes
    if lon < -5.5:
        return AF if lat < 36 else EU               # Atlantic islands, Morocco
    if lon < -0.5:
        return AF if lat < 36 else EU               # Strait of Gibraltar
    if lon < 11.6:
        return AF if lat < 37.6 else EU             # Algeria, Tunisia
    if lon < 28.3:
        return AF if lat < 33.6 else EU             # Libya, Egypt / Malta, Crete
    if lon < 32.3 and lat < 31.7:
        return AF                                   # Nile delta
    if lon < 44 and 12 <= lat < 30 and lon < 32.5 + (30 - lat) * 0.65:
        return AF                                   # west of the Red Sea's axis
    if lat >= 41 and lon < 41.8:
        return EU                                   # Black Sea
    if lat >= 44.5 and lon < 50:
        return EU                                   # Sea of Azov, Volga delta
    if lat > 66 and lon < 69:
        return EU                                   # Barents Sea, Novaya Zemlya
    return AS


def split_step(dlon, dlat):
    """Steps (dlon, dlat) summing to the given one, each of which the reader
    keeps: |dlon| < 100 and a latitude step a long stroke can hold. Of the
    splits with short strokes only or long strokes only, the smaller."""
    def parts(limit_lon, limit_lat):
        n = max(1, -(-abs(dlon) // limit_lon), -(-abs(dlat) // limit_lat))
        return n

    if is_short(dlon, dlat) or (abs(dlon) < LONGITUDE_STEP_LIMIT and
                                abs(dlat) < LONG_LATITUDE_LIMIT):
        return [(dlon, dlat)]
    n_short = parts(63, 127)
    n_long = parts(LONGITUDE_STEP_LIMIT - 1, LONG_LATITUDE_LIMIT - 1)
    n = n_short if 2 * n_short <= 8 * n_long else n_long
    steps = []
    for k in range(1, n + 1):
        # Integer points on the line, so the parts add up exactly.
        steps.append((dlon * k // n - dlon * (k - 1) // n, dlat * k // n - dlat * (k - 1) // n))
    return steps


def is_short(dlon, dlat):
    return -64 <= dlon <= 63 and -128 <= dlat <= 127


def long_value(v):
    """A long stroke's value word: negative values with bit 0x4000 cleared."""
    word = v & 0xFFFF
    if v < 0:
        word &= ~0x4000
    return word


def stroke_words(steps):
    """The stroke data of one segment as 16-bit words."""
    words = []
    if not steps:
        return words
    words.append(0x4000 if is_short(*steps[0]) else 0)
    for k, (dlon, dlat) in enumerate(steps):
        following = steps[k + 1] if k + 1 < len(steps) else None
        next_short = following is not None and is_short(*following)
        if is_short(dlon, dlat):
            word = (dlon & 0x3F) << 8 | (dlat & 0xFF)
            if dlon < 0:
                word |= 0x8000
            if next_short:
                word |= 0x4000
            words.append(word)
        else:
            words += [long_value(dlon), long_value(dlat), 0]
            if following is not None:
                words.append(0x4000 if next_short else 0)
    return words


def words_length(steps):
    return 2 * len(stroke_words(steps))


def segments_of(points):
    """Cuts one polyline (integer arcsec vertices) into segments:
    (first point, steps) with fewer than MAX_SEGMENT strokes and bytes."""
    steps = []
    for (a, b), (c, d) in zip(points, points[1:]):
        steps += split_step(c - a, d - b)
    segments = []
    start = points[0]
    while True:
        # Whole blocks of CUT_MULTIPLE strokes while they fit.
        taken, size = 0, 2
        while taken < len(steps):
            block = steps[taken:taken + CUT_MULTIPLE]
            block_size = sum(2 if is_short(*s) else 8 for s in block)
            if taken + len(block) >= MAX_SEGMENT or size + block_size >= MAX_SEGMENT:
                break
            taken += len(block)
            size += block_size
        if taken == 0 and steps:
            sys.exit("cbdpack: a block of strokes does not fit a segment")
        segment_steps = steps[:taken]
        assert words_length(segment_steps) < MAX_SEGMENT
        segments.append((start, segment_steps))
        for dlon, dlat in segment_steps:
            start = (start[0] + dlon, start[1] + dlat)
        steps = steps[taken:]
        if not steps:
            return segments


def pack(segments):
    """File bytes for [(rank, first point, steps)]."""
    count = len(segments)
    index_offset = 40
    index_length = 28 * count
    bodies = []
    bound = 0
    for rank, (lon, lat), steps in segments:
        words = stroke_words(steps)
        data = struct.pack("<%dH" % len(words), *words)
        bound = max(bound, len(data))
        body = struct.pack("<iiihh", lon, lat, 0, len(steps), 0) + data
        bodies.append((rank, len(data), body))
    header = struct.pack("<iiiii", 0, index_offset, count, index_length, bound) + bytes(20)
    index = b""
    offset = index_offset + index_length
    for rank, data_length, body in bodies:
        index += bytes(20) + struct.pack("<ihh", offset, data_length, rank)
        offset += len(body)
    return header + index + b"".join(body for _, _, body in bodies)


def main(argv):
    if len(argv) != 4:
        sys.exit(__doc__)
    coast, lakes, out = argv[1:]
    per_file = [[] for _ in FILES]
    for path, rank in ((coast, COAST_RANK), (lakes, LAKE_RANK)):
        for polyline in read_polylines(path):
            points = [(arcsec(a), arcsec(b)) for a, b in polyline]
            target = continent(float(polyline[0][0]), float(polyline[0][1]))
            for first, steps in segments_of(points):
                per_file[target].append((rank, first, steps))
    os.makedirs(out, exist_ok=True)
    for name, segments in zip(FILES, per_file):
        data = pack(segments)
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
        print("%s: %d segments, %d bytes" % (name, len(segments), len(data)))


if __name__ == "__main__":
    main(sys.argv)
