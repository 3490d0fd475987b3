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

SkyPlace placeOf(const std::string& name, double jd, const EquatorialPlace& eq, double latitudeDeg,
                 double longitudeDeg, double magnitude, double lowestAltitudeDeg) {
  const HorizontalPlace h = equatorialToHorizontal(jd, eq.ra, eq.dec, latitudeDeg, longitudeDeg);
  return {name, h.azimuth, h.altitude, magnitude, h.altitude > lowestAltitudeDeg};
}

}  // namespace

std::vector<SkyPlace> skyChartPlaces(double jd, double latitudeDeg, double longitudeDeg) {
  const auto& table = skyObjectTable();
  std::vector<SkyPlace> places;
  places.reserve(table.size() + 1);

  const BodyPosition moon = moonPosition(jd);
  places.push_back(placeOf(table[0].name, jd, {moon.ra, moon.dec}, latitudeDeg, longitudeDeg,
                           kSunMoonMagnitude, kMoonLowestAltitudeDeg));
  const BodyPosition sun = sunPosition(jd);
  places.push_back(placeOf("Sun", jd, {sun.ra, sun.dec}, latitudeDeg, longitudeDeg, kSunMoonMagnitude, 0.0));

  for (int n = 1; n < int(kFirstStarIndex); ++n) {
    const BodyPosition planet = planetPosition(jd, kPlanetCodes[n - 1]);
    places.push_back(placeOf(table[n].name, jd, {planet.ra, planet.dec}, latitudeDeg, longitudeDeg,
                             planet.magnitude, 0.0));
  }

  for (std::size_t n = kFirstStarIndex; n < table.size(); ++n) {
    const SkyObjectEntry& star = table[n];
    SkyPlace place = placeOf(star.name, jd, starPlaceOfDate(jd, star), latitudeDeg, longitudeDeg,
                             star.magnitude, 0.0);
    place.drawn = place.drawn && star.magnitude < kStarFaintestMagnitude;
    places.push_back(place);
  }
  return places;
}

}  // namespace tarvo
