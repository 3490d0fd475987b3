// Which clock a site's times are given on, with a table standing in for the
// tz database, and the zone remark of the city list.
#include <gtest/gtest.h>

#include <map>

#include "circumstances/site_zone.h"
#include "tests/tolerances.h"

namespace tarvo {
namespace {

// Two zones, each with one offset at every instant.
class TableZones final : public ZoneDatabase {
 public:
  bool hasZone(std::string_view name) const override { return table_.count(std::string(name)) > 0; }
  std::optional<ZoneOffset> offsetAt(std::string_view name, JulianDay) const override {
    const auto it = table_.find(std::string(name));
    if (it == table_.end()) return std::nullopt;
    return it->second;
  }

 private:
  std::map<std::string, ZoneOffset> table_{{"Asia/Kolkata", {19800, "IST"}}, {"Asia/Tokyo", {32400, "JST"}}};
};

TEST(SiteZone, ZoneRemarkOfTheCityList) {
  const std::pair<const char*, const char*> rows[] = {
      {"Delhi,77.2090,28.6139,0,5.5;tz=Asia/Kolkata", "Asia/Kolkata"},
      {"Delhi,77.2090,28.6139,0,5.5 ; tz=Asia/Kolkata  more words", "Asia/Kolkata"},
      {"La Paz,-68.15,-16.5,3640,-4;tz=America/Argentina/Buenos_Aires", "America/Argentina/Buenos_Aires"},
      {"Delhi,77.2090,28.6139,0,5.5", ""},
      {"Delhi,77.2090,28.6139,0,5.5; capital of India", ""},
      {"Delhi,77.2090,28.6139,0,5.5;tz=", ""},
      {"Delhi,77.2090,28.6139,0,5.5;tz=Asia/Kolk\xC3\xA4ta", ""},
  };
  for (const auto& [line, zone] : rows) {
    const SiteReading r = parseSites(line);
    ASSERT_EQ(r.list.count(), 1) << line;
    EXPECT_EQ(r.list.sites[0].zoneName, zone) << line;
    EXPECT_DOUBLE_EQ(r.list.sites[0].extra, line[0] == 'L' ? -4 : 5.5) << line;
  }
}

TEST(SiteZone, CityTypedNearestAndLongitude) {
  const TableZones zones;
  SiteList cities;
  cities.sites = {{"Delhi", 77.2090, 28.6139, 0, 5.5, "Asia/Kolkata"},
                  {"  Kathmandu ", 85.3167, 27.7167, 1400, 5.75, ""},
                  {"Atlantis", -30, 30, 0, -2, "Atlantic/Atlantis"}};
  struct Case {
    SiteZone zone;
    ZoneSource source;
    int offsetSeconds;
    const char* abbreviation;
    const char* words;
  };
  const Case cases[] = {
      {cityZone(cities.sites[0], zones), ZoneSource::City, 19800, "IST", "Asia/Kolkata"},
      {cityZone(cities.sites[1], zones), ZoneSource::CityOffset, 20700, "UTC+05:45",
       "UTC+05:45, the offset listed for Kathmandu"},
      {cityZone(cities.sites[2], zones), ZoneSource::CityOffset, -7200, "UTC-02:00",
       "UTC-02:00, the offset listed for Atlantis (Atlantic/Atlantis is not in the time zone database)"},
      {typedSiteZone({0, 0, 0}, std::string("Asia/Tokyo"), cities, zones), ZoneSource::Typed, 32400, "JST",
       "Asia/Tokyo"},
      // 1° of latitude north of Delhi: 111 km.
      {typedSiteZone({77.2090, 29.6139, 0}, std::nullopt, cities, zones), ZoneSource::NearestCity, 19800, "IST",
       "Asia/Kolkata, the zone of Delhi 111 km away"},
      {typedSiteZone({85.3167, 26.7167, 0}, std::nullopt, cities, zones), ZoneSource::NearestCity, 20700, "UTC+05:45",
       "UTC+05:45, the offset of Kathmandu 111 km away"},
      // 3° north of Delhi (334 km): the longitude's zone, 77.2° / 15 = 5.15 → +5 h.
      {typedSiteZone({77.2090, 31.6139, 0}, std::string("Asia/Nowhere"), cities, zones), ZoneSource::Longitude,
       18000, "UTC+05:00",
       "UTC+05:00, the longitude's zone (no listed city within 300 km) (Asia/Nowhere is not in the time zone "
       "database)"},
      {typedSiteZone({-52.7167, 47.5667, 0}, std::nullopt, SiteList{}, zones), ZoneSource::Longitude, -14400, "UTC-04:00",
       "UTC-04:00, the longitude's zone (no listed city within 300 km)"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.zone.source, c.source) << c.words;
    const ZoneOffset o = zoneOffsetAt(c.zone, zones, 2460926.0);
    EXPECT_EQ(o.offsetSeconds, c.offsetSeconds) << c.words;
    EXPECT_EQ(o.abbreviation, c.abbreviation) << c.words;
    EXPECT_EQ(zoneSourceText(c.zone), c.words);
  }
}

TEST(SiteZone, OffsetTexts) {
  const std::pair<int, const char*> rows[] = {{19800, "+05:30"}, {-9000, "-02:30"}, {0, "+00:00"},
                                              {21208, "+05:53:28"}, {-17762, "-04:56:02"}, {45900, "+12:45"}};
  for (const auto& [s, text] : rows) EXPECT_EQ(utcOffsetText(s), text) << s;
  EXPECT_EQ(zoneLabel({32400, "JST"}), "JST +09:00");
  EXPECT_EQ(zoneLabel(fixedZoneOffset(5.75)), "UTC+05:45");
  EXPECT_EQ(fixedZoneOffset(-3.5).offsetSeconds, -12600);
  EXPECT_NEAR(greatCircleKm(0, 0, 180, 0), kEarthMeanRadiusKm * 3.14159265358979, testing::kLargeValueRounding);
  EXPECT_NEAR(greatCircleKm(179.5, 10, -179.5, 10), 109.5, testing::kQuotedTenth);  // across the date line
}

}  // namespace
}  // namespace tarvo
