#!/usr/bin/env python3
"""`tarvo list --format csv|json|ics` read back with independent parsers.

usage: export_check.py TARVO RUNDATA_DIR

The CSV is read with Python's csv module, the JSON with json, the calendar
with the icalendar package; the three must carry the same eclipses and
values, the text list the same dates, and the calendar must keep RFC 5545's
line rules. A city whose name needs quoting and escaping comes from a city
list written here.
"""
import csv
import datetime
import io
import json
import os
import subprocess
import sys
import tempfile
import unittest
import zoneinfo

import icalendar

TARVO = RUNDATA = None
# No comma (the city list ends a name there), and a line of the city list
# holds 79 octets at most.
CITY = 'Säo "Test"; Ünïcode-Stadt über Ödländer'


def run(args, data=None, expect=0):
    p = subprocess.run([TARVO, '--data', data or RUNDATA] + args, capture_output=True)
    if p.returncode != expect:
        raise AssertionError(f'{args}: exit {p.returncode}, stderr {p.stderr!r}')
    return p.stdout


def iso_utc(text):
    return datetime.datetime.fromisoformat(text.replace('Z', '+00:00'))


def julian_day_number(y, m, d):
    """The day number of a Julian calendar date."""
    return 367 * y - (7 * (y + 5001 + int((m - 9) / 7))) // 4 + (275 * m) // 9 + d + 1729777


def catalogue_date(day):
    """A proleptic Gregorian date as the catalogue writes it: Julian before 1582 October 15."""
    if day >= datetime.date(1582, 10, 15):
        return day.isoformat()
    c = day.toordinal() + 1721425 + 32082
    d = (4 * c + 3) // 1461
    e = c - (1461 * d) // 4
    m = (5 * e + 2) // 153
    return f'{d - 4800 + m // 10:04d}-{m + 3 - 12 * (m // 10):02d}-{e - (153 * m + 2) // 5 + 1:02d}'


class ExportCheck(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # A data directory with the catalogue and a city list of one awkward name.
        cls.tmp = tempfile.TemporaryDirectory()
        for name in os.listdir(RUNDATA):
            if name.endswith('.prn'):
                os.symlink(os.path.join(RUNDATA, name), os.path.join(cls.tmp.name, name))
        with open(os.path.join(cls.tmp.name, 'location.new'), 'w', encoding='utf-8') as f:
            f.write(f'{CITY},139.7447,35.6544,40,9\n')
        cls.data = cls.tmp.name
        args = ['list', '2025', '20', '--city', CITY, '--max', '1000']
        cls.csv_rows = list(csv.DictReader(io.StringIO(run(args + ['--format', 'csv'], cls.data).decode('utf-8'),
                                                       newline='')))
        cls.csv_raw = run(args + ['--format', 'csv'], cls.data)
        cls.doc = json.loads(run(args + ['--format', 'json'], cls.data))
        cls.ics_raw = run(args + ['--format', 'ics'], cls.data)
        cls.text = run(['list', '2025', '20', '--city', CITY, '--visible'], cls.data).decode()

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def test_csv_and_json_carry_the_same_values(self):
        eclipses = self.doc['eclipses']
        self.assertGreater(len(eclipses), 40)
        self.assertEqual(len(self.csv_rows), len(eclipses))
        self.assertEqual(self.doc['site']['name'], CITY)
        self.assertEqual(self.doc['deltat_model'], 'builtin')
        for row, obj in zip(self.csv_rows, eclipses):
            self.assertEqual(list(row.keys()), list(obj.keys()))
            for key, value in obj.items():
                if value is None:
                    self.assertEqual(row[key], '', key)
                elif isinstance(value, bool):
                    self.assertEqual(row[key], 'true' if value else 'false', key)
                elif isinstance(value, (int, float)):
                    self.assertEqual(float(row[key]), float(value), key)
                else:
                    self.assertEqual(row[key], value, key)
            self.assertEqual(row['site'], CITY)
            # Contacts in order, inside the phase of the type.
            times = [iso_utc(row[k]) for k in ('p1_ut', 'u1_ut', 'u2_ut', 'u3_ut', 'u4_ut', 'p4_ut') if row[k]]
            self.assertEqual(times, sorted(times))
            wanted = {'total': 6, 'partial': 4, 'penumbral': 2}[row['type']]
            self.assertEqual(len(times), wanted, row['date_tt'])
            self.assertAlmostEqual(float(row['pen_duration_min']),
                                   (iso_utc(row['p4_ut']) - iso_utc(row['p1_ut'])).total_seconds() / 60, delta=0.06)
            self.assertIn(row['class'], ('visible', 'at-moonrise', 'at-moonset', 'partly', 'none'))
            self.assertEqual(row['faint'] == 'true',
                             row['type'] == 'penumbral' and float(row['pen_mag']) < 0.7)
            # The city names no zone: its offset column, UT + 9 h.
            local = datetime.datetime.fromisoformat(row['greatest_local'])
            self.assertEqual(local, iso_utc(row['greatest_ut']))
            self.assertEqual(local.utcoffset(), datetime.timedelta(hours=9))

    def test_the_chosen_model_and_its_sigma_go_with_each_eclipse(self):
        # About 700 BC σ(ΔT) is 0.8 u² s (u centuries from 1820): 470-510 s,
        # enough to move some moonrises across a contact at this site.
        doc = json.loads(run(['list', '-700', '100', '--city', CITY, '--format', 'json', '--max', '1000',
                              '--delta-t-model', 'smh2020'], self.data))
        self.assertEqual(doc['deltat_model'], 'smh2020')
        self.assertGreater(len(doc['eclipses']), 100)
        for e in doc['eclipses']:
            self.assertTrue(440 < e['deltat_sigma_s'] < 540, e['date_tt'])
        self.assertTrue(any(e['uncertain'] for e in doc['eclipses']))
        builtin = json.loads(run(['list', '-700', '100', '--city', CITY, '--format', 'json', '--max', '1000'],
                                 self.data))
        self.assertNotEqual(doc['eclipses'][0]['deltat_s'], builtin['eclipses'][0]['deltat_s'])

    def test_csv_is_rfc4180(self):
        lines = self.csv_raw.split(b'\r\n')
        self.assertEqual(lines[-1], b'')
        self.assertNotIn(b'\n', b''.join(lines))
        self.assertIn(b',"S\xc3\xa4o ""Test""; ', self.csv_raw)

    def test_visible_text_list_keeps_what_the_csv_calls_seen(self):
        seen = [r for r in self.csv_rows if r['class'] != 'none']
        lines = self.text.splitlines()[1:]
        self.assertEqual(len(lines), len(seen))
        for line, row in zip(lines, seen):
            self.assertTrue(line.endswith('   ' + row['class']), line)

    def test_calendar_reads_back(self):
        raw = self.ics_raw
        self.assertTrue(raw.endswith(b'\r\n'))
        for line in raw.split(b'\r\n')[:-1]:
            self.assertLessEqual(len(line), 75)
            line.decode('utf-8')  # folding never splits a character
        cal = icalendar.Calendar.from_ical(raw)
        events = cal.walk('VEVENT')
        self.assertEqual(len(events), len(self.csv_rows))
        uids = set()
        for event, row in zip(events, self.csv_rows):
            self.assertEqual(event.decoded('DTSTART'), iso_utc(row['p1_ut']))
            self.assertEqual(event.decoded('DTEND'), iso_utc(row['p4_ut']))
            self.assertEqual(str(event['LOCATION']), CITY)
            self.assertAlmostEqual(event['GEO'].latitude, 35.6544, places=6)
            self.assertAlmostEqual(event['GEO'].longitude, 139.7447, places=6)
            summary = str(event['SUMMARY'])
            self.assertTrue(summary.startswith(row['type'].capitalize() + ' lunar eclipse, '), summary)
            self.assertIn(row['p1_ut'], str(event['DESCRIPTION']))
            # The contacts on the site's clock too: this city's offset column, +9 h.
            p1_local = (iso_utc(row['p1_ut']) + datetime.timedelta(hours=9)).strftime('%Y-%m-%dT%H:%M:%S')
            self.assertIn(f'(local {p1_local}+09:00, UTC+09:00)', str(event['DESCRIPTION']))
            uids.add(str(event['UID']))
        self.assertEqual(len(uids), len(events))
        # Stable identifiers: the same eclipse at the same site has the same UID
        # in another list.
        again = icalendar.Calendar.from_ical(run(['list', '2025', '2', '--city', CITY, '--format', 'ics'], self.data))
        self.assertEqual(str(again.walk('VEVENT')[0]['UID']), str(events[0]['UID']))

    def test_tokyo_visible_calendar_imports(self):
        raw = run(['list', '2025', '20', '--city', 'Tokyo', '--visible', '--format', 'ics', '--max', '1000'])
        events = icalendar.Calendar.from_ical(raw).walk('VEVENT')
        self.assertGreater(len(events), 20)
        self.assertFalse(any(str(e['SUMMARY']).endswith('not visible') for e in events))

    def test_calendar_outside_years_1_to_9999_is_refused_whole(self):
        # The first eclipses of the list fit; the later ones do not: nothing is written.
        p = subprocess.run([TARVO, '--data', RUNDATA, 'list', '9995', '10', '--format', 'ics'], capture_output=True)
        self.assertEqual(p.returncode, 64)
        self.assertEqual(p.stdout, b'')
        self.assertIn(b'1-9999', p.stderr)

    def test_iso_dates_are_gregorian_and_date_tt_keeps_its_calendar(self):
        rows = list(csv.DictReader(io.StringIO(run(['list', '1000', '1', '--format', 'csv']).decode(), newline='')))
        events = icalendar.Calendar.from_ical(run(['list', '1000', '1', '--format', 'ics'])).walk('VEVENT')
        self.assertEqual(rows[0]['calendar'], 'J')
        self.assertEqual(len(rows), len(events))
        for row, event in zip(rows, events):
            self.assertEqual(event.decoded('DTSTART'), iso_utc(row['p1_ut']))
            self.assertIn('P1 ' + row['p1_ut'], str(event['DESCRIPTION']))
            # date_tt is the Julian date of greatest eclipse (TT), greatest_ut its Gregorian instant (UT).
            y, m, d = (int(v) for v in row['date_tt'].split('-'))
            greatest_tt = iso_utc(row['greatest_ut']) + datetime.timedelta(seconds=float(row['deltat_s']))
            self.assertEqual(greatest_tt.date(), datetime.date.fromordinal(julian_day_number(y, m, d) - 1721425))

    def test_next_names_the_first_listed_eclipse_seen_from_the_site(self):
        # By default the first whose partial phase is seen; --format keys keeps the key lines.
        for start, min_alt, phase in (('2025', None, None), ('2025', '20', None), ('1000', None, None),
                                      ('2025', None, 'penumbral'), ('2025', None, 'total')):
            args = ['next', '--city', 'Tokyo', start, '1', '--format', 'keys']
            args += (['--min-altitude', min_alt] if min_alt else []) + (['--min-phase', phase] if phase else [])
            keys = dict(line.split(' ', 1) for line in run(args).decode().splitlines())
            rows = csv.DictReader(io.StringIO(run(['list', start, '3', '--city', 'Tokyo', '--format', 'csv',
                                                   '--max', '100']).decode(), newline=''))
            wanted = {None: ('partial', 'total'), 'penumbral': ('penumbral', 'partial', 'total'),
                      'total': ('total',)}[phase]
            row = next(r for r in rows if r['deepest_seen'] in wanted
                       and (min_alt is None or float(r['alt_greatest']) >= float(min_alt)))
            self.assertEqual(keys['class'], row['class'])
            # The keys keep the longitude's zone; the export is on the town's clock (LMT in 1001).
            standard = iso_utc(row['greatest_ut']) + datetime.timedelta(hours=int(keys['zone_hours']))
            self.assertEqual(keys['local_date'], catalogue_date(standard.date()))
            self.assertEqual(keys['local_time'], standard.strftime('%H:%M:%S'))
            clock = iso_utc(row['greatest_ut']).astimezone(zoneinfo.ZoneInfo('Asia/Tokyo'))
            self.assertEqual(datetime.datetime.fromisoformat(row['greatest_local']), clock)
            self.assertEqual(row['greatest_local'][:19], clock.strftime('%Y-%m-%dT%H:%M:%S'))
            self.assertEqual(row['greatest_zone'], clock.tzname())
            for k in ('alt_p1', 'alt_u1', 'alt_u2', 'alt_u3', 'alt_u4', 'alt_p4', 'alt_greatest'):
                self.assertEqual(keys[k], row[k] or 'none', k)
            # The local report's date line names the same local date.
            y, m, d = keys['year'], keys['month'], keys['day']
            report = run(['local', y, m, '--city', 'Tokyo']).decode()
            ly, lm, ld = (int(v) for v in keys['local_date'].split('-'))
            self.assertIn(f'Date :{ly:5d}/{lm:2d}/{ld:2d}', report)

    def test_next_on_the_town_clock_as_python_zoneinfo_gives_it(self):
        # (city, year, month, zone, abbreviation at greatest eclipse, UTC offset)
        cases = [('Delhi', '2025', '9', 'Asia/Kolkata', 'IST', '+05:30'),
                 ("St. John's", '2025', '1', 'America/St_Johns', 'NDT', '-02:30'),
                 ('Berlin', '2026', '8', 'Europe/Berlin', 'CEST', '+02:00'),
                 ('New York', '2025', '3', 'America/New_York', 'EDT', '-04:00'),
                 ('Tokyo', '2025', '1', 'Asia/Tokyo', 'JST', '+09:00')]
        for city, year, month, zone, abbr, offset in cases:
            doc = json.loads(run(['next', '--city', city, year, month, '--format', 'json']))
            self.assertEqual(doc['zone']['name'], zone)
            self.assertEqual((doc['zone']['abbreviation'], doc['zone']['offset']), (abbr, offset), city)
            self.assertIn(doc['deepest_seen'], ('partial', 'total'), city)
            for ev in doc['events']:
                ut = iso_utc(ev['ut'])
                local = datetime.datetime.fromisoformat(ev['local'])
                expected = ut.astimezone(zoneinfo.ZoneInfo(zone))
                self.assertEqual(local, ut)
                self.assertEqual(local.utcoffset(), expected.utcoffset(), (city, ev['event']))
                self.assertEqual(local.replace(tzinfo=None), expected.replace(tzinfo=None), (city, ev['event']))
                self.assertEqual(ev['zone'], expected.tzname())
            words = run(['next', '--city', city, year, month]).decode()
            self.assertIn(f'({abbr} {offset})', words)
            greatest = next(e for e in doc['events'] if e['event'] == 'greatest')
            local = datetime.datetime.fromisoformat(greatest['local'])
            hhmm = (local + datetime.timedelta(seconds=30)).strftime('%H:%M')
            self.assertIn(f'greatest {hhmm}', words)
        # Tokyo from 2025 January: not March 14 (the Moon rises after the partial phase)
        # but the total eclipse of September 7-8, seen whole.
        doc = json.loads(run(['next', '--city', 'Tokyo', '2025', '1', '--format', 'json']))
        self.assertEqual(doc['date_tt'], '2025-09-07')
        self.assertEqual((doc['deepest_seen'], doc['totality_seen']), ('total', 'whole'))
        march = json.loads(run(['next', '--city', 'Tokyo', '2025', '1', '--format', 'json',
                                '--min-phase', 'penumbral']))
        self.assertEqual((march['date_tt'], march['deepest_seen']), ('2025-03-14', 'penumbral'))

    def test_typed_site_takes_tz_or_the_nearest_city_or_its_longitude(self):
        def zone_of(*extra):
            return json.loads(run(['next', '2025', '1', '--format', 'json'] + list(extra)))['zone']
        self.assertEqual(zone_of('--site', '77.3', '28.6', '0')['name'], 'Asia/Kolkata')
        self.assertIn('the zone of Delhi', zone_of('--site', '77.3', '28.6', '0')['source'])
        self.assertEqual(zone_of('--site', '77.3', '28.6', '0', '--tz', 'Asia/Kathmandu')['name'], 'Asia/Kathmandu')
        mid_ocean = zone_of('--site', '-30', '0', '0')
        self.assertEqual((mid_ocean['name'], mid_ocean['offset']), ('', '-02:00'))
        self.assertIn("longitude's zone", mid_ocean['source'])
        p = subprocess.run([TARVO, '--data', RUNDATA, 'next', '--site', '0', '0', '0', '--tz', 'Mars/Olympus'],
                           capture_output=True)
        self.assertEqual(p.returncode, 64)
        self.assertIn(b'Mars/Olympus', p.stderr)

    def test_next_says_when_the_catalogue_ends(self):
        # Tokyo never has the Moon 89° up.
        p = subprocess.run([TARVO, '--data', RUNDATA, 'next', '--city', 'Tokyo', '16990', '1', '--min-altitude', '89'],
                           capture_output=True)
        self.assertEqual(p.returncode, 3)


if __name__ == '__main__':
    TARVO, RUNDATA = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    unittest.main(argv=sys.argv[:1])
