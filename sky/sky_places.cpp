#include "sky/sky_places.h"

#include "sky/planets.h"
#include "sky/sky_objects.h"
#include "sky/sun_moon.h"

namespace tarvo {

namespace {

// The Moon and the Sun are drawn as magnitude −6 dots; the Moon only well up.
constexpr double kSunMoonMagnitude = -6.0;
constexpr double kMoonLowestAltitudeDeg = 10.0;
constexpr double kStarFaintestMagnitude = 4.0;
// Planet codes of table entries 1 to 5 (Mercury, Venus, Mars, Jupiter, Saturn).
constexpr int kPlanetCodes[5] = {kMercury, kVenus, kMars, kJupiter, kSaturn};

SkyPlace placeOf(const std::string& name, const EquatorialPlace& eq, double localSiderealDeg,
                 double latitudeDeg, double magnitude, double lowestAltitudeDeg) {
  const HorizontalPlace h = horizontalFromHourAngle(localSiderealDeg - eq.ra, eq.dec, latitudeDeg);
  return {name, h.azimuth, h.altitude, magnitude, h.altitude > lowestAltitudeDeg};
}

}  // namespace

ChartAnchors theoryAnchors(double jd) {
  const BodyPosition moon = moonPosition(jd);
  const BodyPosition sun = sunPosition(jd);
  return {moon.ra, moon.dec, sun.ra, sun.dec, 15.0 * localSiderealTime(jd, 0.0)};
}

std::vector<SkyPlace> skyChartPlaces(double jd, const ChartAnchors& anchors, double latitudeDeg,
                                     double longitudeDeg, const std::optional<PlanetPlaces>& planets) {
  const auto& table = skyObjectTable();
  std::vector<SkyPlace> places;
  places.reserve(table.size() + 1);
  const double localSiderealDeg = anchors.greenwichSiderealDeg + longitudeDeg;

  places.push_back(placeOf(table[0].name, {anchors.moonRaDeg, anchors.moonDecDeg}, localSiderealDeg,
                           latitudeDeg, kSunMoonMagnitude, kMoonLowestAltitudeDeg));
  places.push_back(placeOf("Sun", {anchors.sunRaDeg, anchors.sunDecDeg}, localSiderealDeg,
                           latitudeDeg, kSunMoonMagnitude, 0.0));

  for (int n = 1; n < int(kFirstStarIndex); ++n) {
    if (planets) {
      const PlanetPlaceOfDate& p = (*planets)[std::size_t(n - 1)];
      places.push_back(placeOf(table[n].name, {p.raDeg, p.decDeg}, localSiderealDeg, latitudeDeg,
                               p.magnitude, 0.0));
      continue;
    }
    const BodyPosition planet = planetPosition(jd, kPlanetCodes[n - 1]);
    places.push_back(placeOf(table[n].name, {planet.ra, planet.dec}, localSiderealDeg, latitudeDeg,
                             planet.magnitude, 0.0));
  }

  for (std::size_t n = kFirstStarIndex; n < table.size(); ++n) {
    const SkyObjectEntry& star = table[n];
    SkyPlace place = placeOf(star.name, starPlaceOfDate(jd, starSpaceMotion(n)), localSiderealDeg, latitudeDeg,
                             star.magnitude, 0.0);
    place.drawn = place.drawn && star.magnitude < kStarFaintestMagnitude;
    places.push_back(place);
  }
  return places;
}

std::vector<SkyPlace> skyChartPlaces(double jd, double latitudeDeg, double longitudeDeg) {
  return skyChartPlaces(jd, theoryAnchors(jd), latitudeDeg, longitudeDeg);
}

}  // namespace tarvo
