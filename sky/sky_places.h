// Where the sky chart's objects stand above one site at one moment: the
// Moon, the Sun, the five naked-eye planets and the 92 stars of the sky
// object table, in the order the chart draws them.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "sky/eclipse_planets.h"

namespace tarvo {

struct SkyPlace {
  std::string name;   // as the sky object table spells it (" " for an unnamed star)
  double azimuthDeg;  // counted from the south through the west, (−180, 180]
  double altitudeDeg; // above the horizon, no refraction, no parallax
  double magnitude;   // −6 for the Moon and the Sun; computed for planets; table value for stars
  bool drawn;         // Moon above 10°, Sun, planets and stars above 0° (stars below magnitude 4)
};

// What places the chart on the Earth's turning sky at its moment: the Moon's
// and the Sun's geocentric apparent places and Greenwich apparent sidereal
// time (degrees; right ascension and declination on the true equator and
// equinox of date).
struct ChartAnchors {
  double moonRaDeg = 0, moonDecDeg = 0;
  double sunRaDeg = 0, sunDecDeg = 0;
  double greenwichSiderealDeg = 0;
};

// The anchors from the chart's own short theories at jd (UT, also used as
// dynamical time): good near the present, degrees off thousands of years
// away. An eclipse's chart takes them from the eclipse's elements instead.
ChartAnchors theoryAnchors(double jd);

// Mercury, Venus, Mars, Jupiter and Saturn at one moment, from the planet file.
using PlanetPlaces = std::array<PlanetPlaceOfDate, kPlanetCount>;

// jd: Julian Day of the moment (UT, also used as dynamical time) for the
// planets and stars; the Moon, the Sun and the Earth's rotation from anchors;
// site latitude and longitude in degrees, north and east positive. The
// planets come from `planets` when given, else from their theories at jd.
// Chart order: Moon, Sun, Mercury, Venus, Mars, Jupiter, Saturn, the 92 stars (99 places).
std::vector<SkyPlace> skyChartPlaces(double jd, const ChartAnchors& anchors, double latitudeDeg,
                                     double longitudeDeg,
                                     const std::optional<PlanetPlaces>& planets = std::nullopt);
// The same with theoryAnchors(jd).
std::vector<SkyPlace> skyChartPlaces(double jd, double latitudeDeg, double longitudeDeg);

}  // namespace tarvo
