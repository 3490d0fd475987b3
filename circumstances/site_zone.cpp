#include "circumstances/site_zone.h"

#include <algorithm>
#include <cmath>

#include "base/angles.h"
#include "base/text_format.h"

namespace tarvo {

namespace {

std::string trimmed(const std::string& s) {
  const std::size_t a = s.find_first_not_of(' ');
  if (a == std::string::npos) return {};
  return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

std::string fixedZoneName(double offsetHours) { return fixedZoneOffset(offsetHours).abbreviation; }

}  // namespace

double greatCircleKm(double lon1, double lat1, double lon2, double lat2) {
  const double p1 = degToRad(lat1), p2 = degToRad(lat2);
  const double dp = p2 - p1, dl = degToRad(angleDiffDeg(lon2, lon1));
  const double a = std::sin(dp / 2) * std::sin(dp / 2) + std::cos(p1) * std::cos(p2) * std::sin(dl / 2) * std::sin(dl / 2);
  return 2 * kEarthMeanRadiusKm * std::asin(std::min(1.0, std::sqrt(a)));
}

SiteZone cityZone(const Site& city, const ZoneDatabase& zones) {
  SiteZone z;
  z.cityName = trimmed(city.name);
  if (!city.zoneName.empty() && zones.hasZone(city.zoneName)) {
    z.source = ZoneSource::City;
    z.zoneName = city.zoneName;
    return z;
  }
  z.source = ZoneSource::CityOffset;
  z.fixedOffsetHours = city.extra;
  z.unknownZone = city.zoneName;
  return z;
}

SiteZone typedSiteZone(const SiteValues& site, const std::optional<std::string>& typedZone,
                       const SiteList& cities, const ZoneDatabase& zones) {
  if (typedZone && zones.hasZone(*typedZone)) {
    SiteZone z;
    z.source = ZoneSource::Typed;
    z.zoneName = *typedZone;
    return z;
  }
  const Site* nearest = nullptr;
  double nearestKm = kNearestCityZoneKm;
  for (const Site& c : cities.sites) {
    const double km = greatCircleKm(site.longitudeDeg, site.latitudeDeg, c.longitude, c.latitude);
    if (km <= nearestKm) nearest = &c, nearestKm = km;
  }
  SiteZone z;
  if (nearest) {
    z = cityZone(*nearest, zones);
    z.source = ZoneSource::NearestCity;
    z.cityDistanceKm = nearestKm;
  } else {
    z.source = ZoneSource::Longitude;
    z.fixedOffsetHours = standardZoneOffsetHours(site.longitudeDeg);
  }
  if (typedZone) z.unknownZone = *typedZone;
  return z;
}

ZoneOffset zoneOffsetAt(const SiteZone& zone, const ZoneDatabase& zones, JulianDay jdUt) {
  if (!zone.zoneName.empty()) {
    if (std::optional<ZoneOffset> o = zones.offsetAt(zone.zoneName, jdUt)) return *o;
  }
  return fixedZoneOffset(zone.fixedOffsetHours);
}

namespace {

// The database of no zone, for clocks of a fixed offset.
class NoZones final : public ZoneDatabase {
 public:
  bool hasZone(std::string_view) const override { return false; }
  std::optional<ZoneOffset> offsetAt(std::string_view, JulianDay) const override { return std::nullopt; }
};

}  // namespace

std::string SiteClock::name() const { return zone.zoneName.empty() ? fixedZoneName(zone.fixedOffsetHours) : zone.zoneName; }

SiteClock longitudeClock(double longitudeDeg) {
  static const NoZones kNoZones;
  SiteClock c;
  c.zone.source = ZoneSource::Longitude;
  c.zone.fixedOffsetHours = standardZoneOffsetHours(longitudeDeg);
  c.zones = &kNoZones;
  return c;
}

std::string zoneSourceText(const SiteZone& z) {
  const std::string clock = z.zoneName.empty() ? fixedZoneName(z.fixedOffsetHours) : z.zoneName;
  std::string text;
  switch (z.source) {
    case ZoneSource::City:
    case ZoneSource::Typed: text = clock; break;
    case ZoneSource::CityOffset: text = clock + ", the offset listed for " + z.cityName; break;
    case ZoneSource::NearestCity:
      text = formatString("%s, the %s of %s %.0f km away", clock.c_str(), z.zoneName.empty() ? "offset" : "zone",
                          z.cityName.c_str(), z.cityDistanceKm);
      break;
    case ZoneSource::Longitude:
      text = formatString("%s, the longitude's zone (no listed city within %.0f km)", clock.c_str(),
                          kNearestCityZoneKm);
      break;
  }
  if (!z.unknownZone.empty()) text += " (" + z.unknownZone + " is not in the time zone database)";
  return text;
}

}  // namespace tarvo
