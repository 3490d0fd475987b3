// Which clock a site's times are given on: the zone of the tz database named
// for a city or typed for a site, else the nearest listed city's, else the
// longitude's; and what that clock reads at an instant. Pure functions of the
// site, the city list and a ZoneDatabase.
#pragma once

#include <optional>
#include <string>

#include "circumstances/geometry.h"
#include "circumstances/sites.h"
#include "timebase/civil_time.h"

namespace tarvo {

// A typed site takes the zone of the nearest listed city within this
// distance (great circle on a sphere of the Earth's mean radius).
inline constexpr double kNearestCityZoneKm = 300.0;
inline constexpr double kEarthMeanRadiusKm = 6371.0;

enum class ZoneSource {
  City,         // the city's own tz=ZONE
  CityOffset,   // the city's offset column (its line names no zone the database knows)
  Typed,        // a zone given for the site (--tz, the Display dialog)
  NearestCity,  // a typed site: the zone (or offset column) of the nearest city within 300 km
  Longitude,    // a typed site far from every city: longitude / 15 rounded to whole hours
};

struct SiteZone {
  ZoneSource source = ZoneSource::Longitude;
  std::string zoneName;         // a zone the database knows; empty: fixedOffsetHours applies
  double fixedOffsetHours = 0;  // hours east of UT when zoneName is empty
  std::string cityName;         // City, CityOffset, NearestCity: the city (blanks trimmed)
  double cityDistanceKm = 0;    // NearestCity: how far it is
  std::string unknownZone;      // a zone named for the site or city that the database lacks
};

// Great-circle distance, km, between two points (degrees).
double greatCircleKm(double lon1Deg, double lat1Deg, double lon2Deg, double lat2Deg);

// A listed city's clock: its tz=ZONE when the database knows it, else its
// offset column.
SiteZone cityZone(const Site& city, const ZoneDatabase& zones);

// A typed site's clock: typedZone when the database knows it; else the
// nearest city within kNearestCityZoneKm (its clock as cityZone gives it);
// else the longitude's whole-hour zone.
SiteZone typedSiteZone(const SiteValues& site, const std::optional<std::string>& typedZone,
                       const SiteList& cities, const ZoneDatabase& zones);

// The clock's zone at the UT Julian Day jdUt.
ZoneOffset zoneOffsetAt(const SiteZone& zone, const ZoneDatabase& zones, JulianDay jdUt);

// A site's clock: its zone and the database it is read from.
struct SiteClock {
  SiteZone zone;
  const ZoneDatabase* zones = nullptr;  // outlives the clock
  ZoneOffset at(JulianDay jdUt) const { return zoneOffsetAt(zone, *zones, jdUt); }
  std::string name() const;  // "Asia/Tokyo", or the fixed offset's "UTC+05:30"
};

// The clock of the longitude's whole-hour zone, which needs no database.
SiteClock longitudeClock(double longitudeDeg);

// Where the clock comes from, in words: "Asia/Kolkata",
// "Asia/Tokyo, the zone of Osaka 12 km away", "UTC+05:30, the offset listed
// for Delhi", "UTC+09:00, the longitude's zone (no listed city within 300 km)".
std::string zoneSourceText(const SiteZone& zone);

}  // namespace tarvo
