// The local circumstances report as text: committed expected lines for
// constructed eclipses, the zone offsets, the horizon rows and bad input.
#include "circumstances/local_report.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "circumstances/geometry.h"
#include "circumstances/horizon_crossing.h"
#include "surface/drawing_surface.h"
#include "session/current_eclipse.h"
#include "session/local_display.h"
#include "session/site_glue.h"

namespace tarvo {
namespace {

// A constructed eclipse: the Moon crosses the shadow along y = y0 at 1800"/h,
// greatest eclipse exactly at t = 0 (epochHour, ΔT 0), contacts symmetric
// about it. At greatest eclipse the Moon stands at hour angle h0Deg from the
// site at lonDeg; the hour angle grows by 14.491°/h.
struct ReportSetup {
  double type = 1;
  double y0 = 500;  // arcsec: total below 1700, partial below 3500
  double lonDeg = 139.77;
  double latDeg = 35.68;
  double h0Deg = 0;
  double decDeg = 20;
  double epochHour = 12;
  double greatestJd = 2460749.0;  // 2025 March 14, 12 h UT
  int cityNumber = 1;  // of the site choice; SiteChoice::kTyped for typed coordinates
};

SessionState reportState(const ReportSetup& u) {
  SessionState s;
  EclipseRecord& r = s.current;
  r.eclipseType = u.type;
  r.epochHour = u.epochHour;
  r.greatestJd = u.greatestJd;
  r.x1 = 1800;
  r.y0 = u.y0;
  r.lp0 = 5500;
  r.lu0 = 3500;
  r.lt0 = 1700;
  r.gst0 = 100;
  r.gst1 = 15.041;
  r.ra0 = r.gst0 + u.lonDeg - u.h0Deg;
  r.ra1 = 0.55;
  r.dec0 = u.decDeg;
  s.current.eclipseType = u.type;
  s.current.epochHour = u.epochHour;
  s.current.greatestJd = u.greatestJd;
  s.deltaT = 0;
  s.site = SiteChoice{u.cityNumber, {u.lonDeg, u.latDeg, 40}, {}};
  prepareLocalReport(s);
  return s;
}

const ReportCity kTokyo{"Tokyo", 139.77, 35.68, 40};

std::vector<int> rows(const std::vector<ReportLine>& lines) {
  std::vector<int> ys;
  for (const ReportLine& l : lines) ys.push_back(l.y);
  return ys;
}

std::string lineAt(const std::vector<ReportLine>& lines, int y) {
  for (const ReportLine& l : lines) {
    if (l.y == y) return l.text;
  }
  return "<no line at " + std::to_string(y) + ">";
}

const char* const kHead1 =
    "                          Universal   Local                  Mag.     Alt.    Az   ";
const char* const kHead2 =
    "                          Time(UT)    STD Time   LMT                               ";
const char* const kHead3 =
    "                          ---------   --------   --------   ------   ------  ----- ";
const char* const kNote = " Note:  Local Time = UT + Longitude/15.0     ";

TEST(LocalReport, TotalEclipseSeenFromTokyo) {
  SessionState s = reportState({});
  const std::vector<ReportLine> lines = localReportLines(s, &kTokyo);
  // Contacts at ±√(L² − 500²)/1800 h from 12:00 UT; UT + 9 h standard time,
  // UT + 9 h 19 m 4.8 s local mean time, seconds truncated.
  const std::vector<ReportLine> expected = {
      {30, " Date : 2025/ 3/14 21.00h(LST) : TOTAL ECLIPSE "},
      {45, " Location : Tokyo Lon: 139.77d Lat:  35.68d Height: 40.0"},
      {75, kHead1},
      {90, kHead2},
      {105, kHead3},
      {120, " First Penumbra Contact    8:57:25   17:57:25   18:16:30    -1.111    48.4   280.0"},
      {135, " First Umbra    Contact   10: 4:31   19: 4:31   19:23:36    -0.000    60.9   295.2"},
      {150, " Start Total Eclipse      11: 5:50   20: 5:50   20:24:55     1.000    70.6   320.3"},
      {165, " Maximum Luner Eclipse    12: 0: 0   21: 0: 0   21:19: 4     1.667    74.3     0.0"},
      {180, " End Total Eclipse        12:54: 9   21:54: 9   22:13:14     1.000    70.6    39.7"},
      {195, " Last  Umbra    Contact   13:55:28   22:55:28   23:14:33    -0.000    60.9    64.8"},
      {210, " Last  Penumbra Contact   15: 2:34    0: 2:34    0:21:39    -1.111    48.4    80.0"},
      {360, kNote},
  };
  ASSERT_EQ(lines.size(), expected.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].y, expected[i].y) << i;
    EXPECT_EQ(lines[i].text, expected[i].text) << i;
  }
  for (int y : {75, 90, 105}) EXPECT_EQ(lineAt(lines, y).size(), 83u);
  // The Moon is up throughout: no horizon row, and the report's own marker.
  EXPECT_FALSE(s.horizonCrossHours);
  EXPECT_EQ(s.localEclipseDate.year, 2025);
  EXPECT_EQ(s.localEclipseDate.month, 3);
  EXPECT_EQ(s.localEclipseDate.day, 14);
}

TEST(LocalReport, WestLongitudeRoundsTheZoneHalfAwayFromZero) {
  ReportSetup u;
  u.lonDeg = -7.5;
  u.latDeg = 40;
  u.cityNumber = SiteChoice::kTyped;
  SessionState s = reportState(u);
  s.site.where.heightM = 1234.5;
  const std::vector<ReportLine> lines = localReportLines(s, nullptr);
  EXPECT_EQ(lineAt(lines, 45),
            " Location : Selected City       Lon:  -7.50d Lat:  40.00d Height:1234.5");
  // STD = UT − 1 h, LMT = UT − 30 m.
  EXPECT_EQ(lineAt(lines, 165).substr(0, 56),
            " Maximum Luner Eclipse    12: 0: 0   11: 0: 0   11:30: 0");
  EXPECT_EQ(lineAt(lines, 30), " Date : 2025/ 3/14 11.00h(LST) : TOTAL ECLIPSE ");
}

TEST(LocalReport, LocalDateIsTheNextDayAndYearAfterMidnight) {
  // Greatest eclipse 2023 December 31, 23:45 UT, seen at 135° E (UT + 9 h).
  ReportSetup u;
  u.lonDeg = 135;
  u.epochHour = 23.75;
  u.greatestJd = 2460309.5 + 23.75 / 24;
  SessionState s = reportState(u);
  const std::vector<ReportLine> lines = localReportLines(s, &kTokyo);
  EXPECT_EQ(lineAt(lines, 30), " Date : 2024/ 1/ 1 8.75h(LST) : TOTAL ECLIPSE ");
  EXPECT_EQ(lineAt(lines, 165).substr(0, 56),
            " Maximum Luner Eclipse    23:45: 0    8:45: 0    8:45: 0");
  EXPECT_EQ(s.localEclipseDate.year, 2024);
  EXPECT_EQ(s.localEclipseDate.month, 1);
  EXPECT_EQ(s.localEclipseDate.day, 1);
  // The location line names the chosen city, not the typed site.
  EXPECT_EQ(lineAt(lines, 45), " Location : Tokyo Lon: 139.77d Lat:  35.68d Height: 40.0");
}

TEST(LocalReport, RowsFollowTheEclipseType) {
  ReportSetup u;
  u.type = 2;
  u.y0 = 2500;
  SessionState partial = reportState(u);
  std::vector<ReportLine> lines = localReportLines(partial, &kTokyo);
  EXPECT_EQ(rows(lines), (std::vector<int>{30, 45, 75, 90, 105, 120, 135, 165, 195, 210, 360}));
  EXPECT_EQ(lineAt(lines, 30), " Date : 2025/ 3/14 21.00h(LST) : PARTIAL ECLIPSE ");
  // Magnitude (3500 − 2500)/(3500 − 1700) at greatest.
  EXPECT_EQ(lineAt(lines, 165),
            " Maximum Luner Eclipse    12: 0: 0   21: 0: 0   21:19: 4     0.556    74.3     0.0");

  u.type = 3;
  u.y0 = 4000;
  SessionState penumbral = reportState(u);
  lines = localReportLines(penumbral, &kTokyo);
  EXPECT_EQ(rows(lines), (std::vector<int>{30, 45, 75, 90, 105, 120, 165, 210, 360}));
  EXPECT_EQ(lineAt(lines, 30), " Date : 2025/ 3/14 21.00h(LST) : PENUMBRA ECLIPSE ");

  // Blank type codes print the penumbral rows and greatest eclipse only.
  u.type = 5;
  SessionState blank = reportState(u);
  lines = localReportLines(blank, &kTokyo);
  EXPECT_EQ(rows(lines), (std::vector<int>{30, 45, 75, 90, 105, 120, 165, 210, 360}));
  EXPECT_EQ(lineAt(lines, 30), " Date : 2025/ 3/14 21.00h(LST) :  ");
}

// A horizon row with its altitude's sign dropped: the search stops within
// half a second of the crossing, on either side ("-0.0" or "0.0").
std::string unsignedZeroAltitude(std::string row) {
  if (const auto at = row.find(" -0.0 "); at != std::string::npos) row.replace(at, 6, "  0.0 ");
  return row;
}

TEST(LocalReport, MoonsetAndMoonriseRows) {
  // On the equator with the Moon on the equator the altitude is 90° − |H|,
  // H = 80° + 14.491°/h × t is 90° at t = 10/14.491 h.
  ReportSetup u;
  u.lonDeg = 0;
  u.latDeg = 0;
  u.decDeg = 0;
  u.h0Deg = 80;
  SessionState set = reportState(u);
  std::vector<ReportLine> lines = localReportLines(set, nullptr);
  ASSERT_TRUE(set.horizonCrossHours);
  EXPECT_NEAR(*set.horizonCrossHours, 10 / 14.491, kHorizonToleranceHours / 2);
  // Magnitude there: (3500 − √(1242.15² + 500²))/1800 = 1.2006.
  EXPECT_EQ(unsignedZeroAltitude(lineAt(lines, 255)),
            " Magnitude at Moon Set    12:41:24   12:41:24   12:41:24     1.201     0.0    90.0");
  // Up at P1, U1, U2 and greatest eclipse (10°); down from U3 on.
  EXPECT_EQ(rows(lines), (std::vector<int>{30, 75, 90, 105, 120, 135, 150, 165, 255, 360}));

  u.h0Deg = -80;
  SessionState rise = reportState(u);
  lines = localReportLines(rise, nullptr);
  ASSERT_TRUE(rise.horizonCrossHours);
  EXPECT_NEAR(*rise.horizonCrossHours, -10 / 14.491, kHorizonToleranceHours / 2);
  EXPECT_EQ(unsignedZeroAltitude(lineAt(lines, 270)),
            " Magnitude at Moon Rise   11:18:35   11:18:35   11:18:35     1.201     0.0   270.0");
  EXPECT_EQ(rows(lines), (std::vector<int>{30, 75, 90, 105, 165, 180, 195, 210, 270, 360}));

  // Away from the equator the altitude curves; the search still lands within
  // half a second of the crossing found by a long bisection.
  u.latDeg = 50;
  u.decDeg = 20;
  u.h0Deg = 80;
  SessionState curved = reportState(u);
  localReportLines(curved, nullptr);
  const SiteValues site = prepareSite(curved);
  double lo = 0, hi = curved.circumstances.contacts.p4;
  for (int i = 0; i < 60; ++i) {
    const double mid = (lo + hi) / 2;
    (siteCircumstances(curved.current, site, mid, 0).altitudeDeg > 0 ? lo : hi) = mid;
  }
  ASSERT_TRUE(curved.horizonCrossHours);
  EXPECT_NEAR(*curved.horizonCrossHours, lo, kHorizonToleranceHours / 2);
}

TEST(LocalReport, MoonDownThroughoutPrintsTheNoEclipseLine) {
  ReportSetup u;
  u.h0Deg = 180;
  SessionState s = reportState(u);
  const std::vector<ReportLine> lines = localReportLines(s, &kTokyo);
  EXPECT_EQ(rows(lines), (std::vector<int>{30, 45, 75, 90, 105, 240, 360}));
  EXPECT_EQ(lineAt(lines, 240), " =====    No eclipse Visible        ===== ");
  EXPECT_FALSE(s.horizonCrossHours);
}

TEST(LocalReport, AltitudeExactlyZeroIsNeitherUpNorDown) {
  // A Moon fixed in the sky at hour angle 0, declination −25°, seen from
  // latitude 65°: cos H cos δ cos φ + sin δ sin φ rounds to exactly 0.
  ReportSetup u;
  u.lonDeg = 0;
  u.latDeg = 65;
  u.decDeg = -25;
  SessionState s = reportState(u);
  s.current.gst1 = s.current.ra1 = 0;
  prepareLocalReport(s);
  ASSERT_EQ(siteCircumstances(s.current, prepareSite(s), 0, 0).altitudeDeg, 0.0);
  std::vector<ReportLine> lines = localReportLines(s, nullptr);
  EXPECT_EQ(rows(lines), (std::vector<int>{30, 75, 90, 105, 360}));

  // A hair lower and every event is below the horizon.
  s.current.dec0 = -25.001;
  prepareLocalReport(s);
  lines = localReportLines(s, nullptr);
  EXPECT_EQ(rows(lines), (std::vector<int>{30, 75, 90, 105, 240, 360}));
}

TEST(LocalReport, UnconvergedEclipsePrintsOnlyItsHeading) {
  ReportSetup u;
  SessionState s = reportState(u);
  s.current.x1 = 0;  // no motion: greatest eclipse cannot be found
  s.horizonCrossHours = 5;
  prepareLocalReport(s);
  ASSERT_FALSE(s.circumstances.converged());
  const std::vector<ReportLine> lines = localReportLines(s, &kTokyo);
  EXPECT_EQ(rows(lines), (std::vector<int>{45, 75, 90, 105}));
  EXPECT_FALSE(s.horizonCrossHours);
  // The date for the sky chart falls back on the catalogue's greatest eclipse.
  EXPECT_EQ(s.localEclipseDate.day, 14);
}

TEST(LocalReport, LocationLineComesFromTheCityList) {
  const SiteList sites = parseSites(
      "; two cities\nTokyo,139.77,35.68,40,9\nLa Paz,-68.15,-16.5,3640,-4\n").list;
  ReportSetup u;
  u.lonDeg = 10;  // the observing site, used for the times
  u.latDeg = 20;
  struct Case {
    int index;
    std::string line;
  };
  for (const Case& c :
       {Case{1, " Location : Tokyo Lon: 139.77d Lat:  35.68d Height: 40.0"},
        Case{2, " Location : La Paz Lon: -68.15d Lat: -16.50d Height:3640.0"},
        Case{SiteChoice::kTyped, " Location : Selected City       Lon:  10.00d Lat:  20.00d Height:  40.0"},
        Case{3, "<no line at 45>"}, Case{-1, "<no line at 45>"}}) {
    u.cityNumber = c.index;
    SessionState s = reportState(u);
    EXPECT_EQ(lineAt(localReportLines(s, sites), 45), c.line) << c.index;
  }
}

TEST(LocalReport, DrawsWhiteTextOnItsLinesOnly) {
  const SiteList sites = parseSites("Tokyo,139.77,35.68,40,9\n").list;
  SessionState s = reportState({});
  DrawingSurface surface(692, 453);
  surface.clear(colorTable[0]);
  surface.setFont(FontRecipe::Text);
  drawLocalReport(surface, s, sites);
  const int h = surface.textHeight();
  ASSERT_GT(h, 0);
  ASSERT_LT(h, 15);
  // Counts non-black pixels in rows [y, y + h) and columns [x0, x1).
  const auto lit = [&](int y, int x0, int x1) {
    int n = 0;
    for (int yy = y; yy < y + h; ++yy) {
      for (int x = x0; x < x1; ++x) n += surface.pixel(x, yy) != colorTable[0];
    }
    return n;
  };
  // Every drawn line has ink right of x = 10, all of it white (text without
  // anti-aliasing); the empty lines 1, 4 and 15 and the left margin have none.
  for (int y : {30, 45, 75, 105, 120, 165, 210, 360}) EXPECT_GT(lit(y, 10, 692), 0) << y;
  for (int y : {15, 60, 225}) EXPECT_EQ(lit(y, 0, 692), 0) << y;
  EXPECT_EQ(lit(30, 0, 10), 0);
  for (int y = 0; y < 453; ++y) {
    for (int x = 0; x < 692; ++x) {
      const Rgb c = surface.pixel(x, y);
      ASSERT_TRUE(c == colorTable[0] || c == colorTable[15]) << x << "," << y;
    }
  }
  // The 83-character heads on a 7-pixel pitch end by x = 10 + 83 × 7.
  EXPECT_EQ(lit(75, 10 + 83 * 7, 692), 0);
}

}  // namespace
}  // namespace tarvo
