#!/usr/bin/env python3
"""Writes binary seeds for fuzz_canon_cache: catalogue cache files (the layout
of CanonCacheHeader in catalogue/canon_cache.h, little-endian) holding the
entries of a canon text seed. The checksum is left zero: the fuzz target
reseals each input. Usage: make_canon_cache_seeds.py TEXT_SEED OUT_DIR"""
import os
import struct
import sys

HEADER = struct.Struct("<8sIIQQII7QQIIQQq")  # 136 bytes


def header(entries, flags, defect=(0, 0, 0, 0)):
    source = (4096, 11, 2, 1700000000, 7, 1700000000, 9)
    return HEADER.pack(b"TARVOCAT", 1, HEADER.size, 0, 0x0102030405060708, 248, 31,
                       *source, len(entries), flags, *defect)


def main():
    text, out = sys.argv[1], sys.argv[2]
    numbers = [float(t) for t in open(text).read().split()]
    entries = [numbers[i:i + 31] for i in range(0, len(numbers) - 30, 31)]
    body = b"".join(struct.pack("<31d", *e) for e in entries)
    seeds = {
        "cache_ordered.bin": header(entries, 1) + body,
        "cache_with_defect.bin": header(entries, 3, (5, len(entries) + 1, 100, 4)) + body,
        "cache_no_entries.bin": header([], 1),
    }
    for name, data in seeds.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
