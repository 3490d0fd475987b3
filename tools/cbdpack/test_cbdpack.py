#!/usr/bin/env python3
"""Checks of the coastline packer: the file chosen for known places, and a
long polyline cut into segments that continue one another. (The packed
vertices themselves are checked by the C++ test of the shipped files.)"""
import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import cbdpack  # noqa: E402

AS, EU, AF, NA, SA = range(5)


class ContinentOfPlaces(unittest.TestCase):
    # (place, longitude, latitude, file): coasts and islands near the boxes' edges.
    PLACES = [
        ("Madagascar", 49.3, -12.0, AF), ("Mauritius", 57.5, -20.2, AF),
        ("Canary Islands", -15.6, 28.1, AF), ("Cape Verde", -25.1, 17.0, AF),
        ("Tunisia, Galite", 8.9, 37.5, AF), ("Dahlak (Eritrea)", 40.1, 15.7, AF),
        ("Sicily", 15.1, 36.7, EU), ("Malta", 14.4, 35.9, EU), ("Crete", 24.0, 35.2, EU),
        ("Iceland", -22.0, 64.1, EU), ("Azores, Flores", -31.2, 39.4, EU),
        ("Novaya Zemlya", 55.0, 73.0, EU), ("Svalbard", 15.0, 78.0, EU),
        ("Cyprus", 33.0, 34.6, AS), ("Farasan (Saudi Arabia)", 42.0, 16.7, AS),
        ("Sri Lanka", 80.0, 6.0, AS), ("Tasmania", 147.0, -43.0, AS),
        ("New Zealand", 174.0, -41.0, AS), ("Hawaii", -155.5, 19.5, AS),
        ("Easter Island", -109.4, -27.1, AS), ("Antarctica", 0.0, -70.0, AS),
        ("Wrangel Island", -179.5, 71.2, AS), ("Kerguelen", 69.5, -49.3, AS),
        ("Greenland, north-east", -18.0, 80.0, NA), ("Greenland, south", -44.0, 60.0, NA),
        ("Cuba", -80.0, 22.0, NA), ("Grenada", -61.7, 12.1, NA), ("Panama, Coiba", -81.7, 7.5, NA),
        ("Aleutians, Attu", 173.0, 52.9, NA), ("St Lawrence Island", -170.0, 63.5, NA),
        ("Trinidad", -61.3, 10.4, SA), ("Aruba", -70.0, 12.5, SA), ("Galapagos", -90.5, -0.7, SA),
        ("Falklands", -59.0, -51.7, SA), ("Tierra del Fuego", -68.0, -54.5, SA),
        ("South Georgia", -36.5, -54.3, SA),
    ]

    def test_places(self):
        for place, lon, lat, expected in self.PLACES:
            with self.subTest(place=place):
                self.assertEqual(cbdpack.continent(lon, lat), expected)


class Segments(unittest.TestCase):
    def test_long_polyline_is_cut_into_continuing_segments(self):
        # 70,000 steps of (+1, -1): at least three segments, each below the
        # limits, each cut after a multiple of 100 strokes, each starting where
        # the last one ended.
        points = [(k, -k) for k in range(70001)]
        segments = cbdpack.segments_of(points)
        self.assertGreaterEqual(len(segments), 3)
        at = points[0]
        for first, steps in segments:
            self.assertEqual(first, at)
            self.assertLess(len(steps), 32767)
            self.assertLess(2 * len(cbdpack.stroke_words(steps)), 32767)
            at = (first[0] + sum(s[0] for s in steps), first[1] + sum(s[1] for s in steps))
        for _, steps in segments[:-1]:
            self.assertEqual(len(steps) % 100, 0)
        self.assertEqual(at, points[-1])


if __name__ == "__main__":
    unittest.main()
