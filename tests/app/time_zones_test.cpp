// The system's tz database through QTimeZone: every zone the shipped city
// list names is there, and the clocks it gives agree with the published
// rules (standard and daylight time, half-hour zones, local mean time before
// standard time, the last rule far ahead).
#include <gtest/gtest.h>

#include "app/time_zones.h"
#include "circumstances/sites.h"

namespace tarvo {
namespace {

// UT Julian Day of a Gregorian date at 0 h (dates here are after 1582).
double jdOf(int y, int m, int d) {
  const int a = (14 - m) / 12, yy = y + 4800 - a, mm = m + 12 * a - 3;
  return d + (153 * mm + 2) / 5 + 365 * yy + yy / 4 - yy / 100 + yy / 400 - 32045 - 0.5;
}

TEST(TimeZones, EveryShippedCityNamesAZoneOfTheDatabase) {
  const std::optional<SiteReading> r = readSitesFile(TARVO_TEST_DATA_DIR "/../data/location.new");
  ASSERT_TRUE(r);
  ASSERT_EQ(r->list.count(), 80);
  const ZoneDatabase& zones = systemZoneDatabase();
  for (const Site& city : r->list.sites) {
    EXPECT_FALSE(city.zoneName.empty()) << city.name;
    EXPECT_TRUE(zones.hasZone(city.zoneName)) << city.name << " " << city.zoneName;
    // Its standard offset is the offset column (January or July: one of them is standard time).
    const auto jan = zones.offsetAt(city.zoneName, jdOf(2025, 1, 15));
    const auto jul = zones.offsetAt(city.zoneName, jdOf(2025, 7, 15));
    ASSERT_TRUE(jan && jul) << city.name;
    const int listed = static_cast<int>(city.extra * 3600);
    EXPECT_TRUE(jan->offsetSeconds == listed || jul->offsetSeconds == listed) << city.name;
  }
}

TEST(TimeZones, ClocksAsTheRulesGiveThem) {
  struct Case {
    const char* zone;
    double jdUt;
    int offsetSeconds;
    const char* abbreviation;
  };
  // Published rules; the local mean time of Kolkata (88°22′ E) is the tz
  // database's first line for the zone.
  const Case cases[] = {
      {"Asia/Kolkata", jdOf(2025, 9, 7) + 0.75, 19800, "IST"},
      {"America/St_Johns", jdOf(2025, 3, 14) + 0.25, -9000, "NDT"},
      {"America/St_Johns", jdOf(2025, 1, 14), -12600, "NST"},
      {"Europe/Berlin", jdOf(2026, 8, 28), 7200, "CEST"},
      {"America/New_York", jdOf(2025, 3, 14) + 0.25, -14400, "EDT"},
      {"America/New_York", jdOf(2025, 3, 8) + 0.25, -18000, "EST"},
      {"Asia/Tokyo", jdOf(2025, 9, 7), 32400, "JST"},
      {"Asia/Kathmandu", jdOf(2025, 9, 7), 20700, "UTC+05:45"},  // the database's "+0545"
      {"Asia/Kolkata", jdOf(1800, 1, 1), 21208, "LMT"},
      {"Asia/Tokyo", -1e6, 33539, "LMT"},  // year −7450
      {"Europe/Berlin", jdOf(16000, 7, 1), 7200, "CEST"},
      {"Europe/Berlin", jdOf(16000, 1, 1), 3600, "CET"},
  };
  for (const Case& c : cases) {
    const std::optional<ZoneOffset> o = systemZoneDatabase().offsetAt(c.zone, c.jdUt);
    ASSERT_TRUE(o) << c.zone;
    EXPECT_EQ(o->offsetSeconds, c.offsetSeconds) << c.zone << " " << c.jdUt;
    EXPECT_EQ(o->abbreviation, c.abbreviation) << c.zone << " " << c.jdUt;
  }
  // Offsets that are not zone names are refused.
  for (const char* name : {"UTC+05:30", "Mars/Olympus", "", "+09:00"}) {
    EXPECT_FALSE(systemZoneDatabase().hasZone(name)) << name;
    EXPECT_FALSE(systemZoneDatabase().offsetAt(name, 2460000.5)) << name;
  }
}

}  // namespace
}  // namespace tarvo
