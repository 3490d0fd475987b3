#!/usr/bin/env python3
"""Writes the city list data/location.new from the shared cities table.

usage: tools/make_location.py CITIES_CSV [OUTPUT]

CITIES_CSV has the header name,longitude,latitude,height,utc_offset_hours
(88 cities, coordinates from the tz database's zone.tab, public domain).
The city list holds at most 80 cities, so eight near neighbours of cities
that stay are left out. Tokyo, the first row, stays first: the program takes
the first city as its observing site.

Each line ends with a remark naming the city's zone in the tz database
(";tz=Asia/Kolkata"): readers that do not know it take it as a remark, and
the program reads the town's clock from it. The zones are ZONES below.
"""
import csv
import sys

LEFT_OUT = ["Kyoto", "Shanghai", "Mumbai", "Kolkata", "Amsterdam", "Vienna", "Tashkent",
            "Adelaide"]
MUST_KEEP = ["Tokyo", "La Paz", "Ushuaia", "McMurdo Station", "Longyearbyen", "Kiritimati",
             "Chatham Islands"]
# The tz database zone of each city (the zone whose clocks the city keeps).
ZONES = {
    "Tokyo": "Asia/Tokyo", "Kyoto": "Asia/Tokyo", "Osaka": "Asia/Tokyo", "Sapporo": "Asia/Tokyo",
    "Naha": "Asia/Tokyo", "Seoul": "Asia/Seoul", "Beijing": "Asia/Shanghai", "Shanghai": "Asia/Shanghai",
    "Hong Kong": "Asia/Hong_Kong", "Taipei": "Asia/Taipei", "Manila": "Asia/Manila",
    "Singapore": "Asia/Singapore", "Ho Chi Minh City": "Asia/Ho_Chi_Minh", "Bangkok": "Asia/Bangkok",
    "Yangon": "Asia/Yangon", "Jakarta": "Asia/Jakarta", "Ulaanbaatar": "Asia/Ulaanbaatar",
    "Vladivostok": "Asia/Vladivostok", "Dhaka": "Asia/Dhaka", "Kathmandu": "Asia/Kathmandu",
    "Delhi": "Asia/Kolkata", "Mumbai": "Asia/Kolkata", "Kolkata": "Asia/Kolkata", "Colombo": "Asia/Colombo",
    "Karachi": "Asia/Karachi", "Kabul": "Asia/Kabul", "Tashkent": "Asia/Tashkent", "Tehran": "Asia/Tehran",
    "Dubai": "Asia/Dubai", "Riyadh": "Asia/Riyadh", "Baghdad": "Asia/Baghdad", "Jerusalem": "Asia/Jerusalem",
    "Istanbul": "Europe/Istanbul", "Cairo": "Africa/Cairo", "Moscow": "Europe/Moscow", "Kyiv": "Europe/Kyiv",
    "Athens": "Europe/Athens", "Helsinki": "Europe/Helsinki", "Stockholm": "Europe/Stockholm",
    "Warsaw": "Europe/Warsaw", "Berlin": "Europe/Berlin", "Vienna": "Europe/Vienna",
    "Amsterdam": "Europe/Amsterdam", "Rome": "Europe/Rome", "Paris": "Europe/Paris", "Madrid": "Europe/Madrid",
    "Lisbon": "Europe/Lisbon", "London": "Europe/London", "Dublin": "Europe/Dublin",
    "Reykjavik": "Atlantic/Reykjavik", "Longyearbyen": "Arctic/Longyearbyen", "Algiers": "Africa/Algiers",
    "Lagos": "Africa/Lagos", "Addis Ababa": "Africa/Addis_Ababa", "Nairobi": "Africa/Nairobi",
    "Johannesburg": "Africa/Johannesburg", "Perth": "Australia/Perth", "Darwin": "Australia/Darwin",
    "Adelaide": "Australia/Adelaide", "Sydney": "Australia/Sydney", "Port Moresby": "Pacific/Port_Moresby",
    "Auckland": "Pacific/Auckland", "Chatham Islands": "Pacific/Chatham", "Suva": "Pacific/Fiji",
    "Kiritimati": "Pacific/Kiritimati", "Pago Pago": "Pacific/Pago_Pago", "Honolulu": "Pacific/Honolulu",
    "Tahiti": "Pacific/Tahiti", "Anchorage": "America/Anchorage", "Vancouver": "America/Vancouver",
    "Los Angeles": "America/Los_Angeles", "Denver": "America/Denver", "Chicago": "America/Chicago",
    "Toronto": "America/Toronto", "New York": "America/New_York", "St. John's": "America/St_Johns",
    "Nuuk": "America/Nuuk", "Mexico City": "America/Mexico_City", "Havana": "America/Havana",
    "Bogota": "America/Bogota", "Lima": "America/Lima", "La Paz": "America/La_Paz",
    "Sao Paulo": "America/Sao_Paulo", "Santiago": "America/Santiago",
    "Buenos Aires": "America/Argentina/Buenos_Aires", "Ushuaia": "America/Argentina/Ushuaia",
    "Easter Island": "Pacific/Easter", "McMurdo Station": "Antarctica/McMurdo",
}
PIECE = 79  # the program reads lines in pieces of at most this many characters

HEADER = [
    "; Cities: name,longitude,latitude,height,utc_offset (deg E, deg N, m, hours)",
    "; Coordinates: tz database zone.tab and published city centres (80 of 88)",
    "; Then the standard UTC offset and tz=zone (tz database); Tokyo is the site",
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
        if r["name"] not in ZONES:
            sys.exit(f"make_location: no zone for {r['name']}")
        lines.append(",".join([r["name"]] + fields) + ";tz=" + ZONES[r["name"]])
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
