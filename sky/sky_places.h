// Where the sky chart's objects stand above one site at one moment: the
// Moon, the Sun, the five naked-eye planets and the 92 stars of the sky
// object table, in the order the chart draws them.
#pragma once

#include <string>
#include <vector>

namespace tarvo {

struct SkyPlace {
  std::string name;   // as the sky object table spells it (" " for an unnamed star)
  double azimuthDeg;  // counted from the south through the west, (−180, 180]
  double altitudeDeg; // above the horizon, no refraction, no parallax
  double magnitude;   // −6 for the Moon and the Sun; computed for planets; table value for stars
  bool drawn;         // Moon above 10°, Sun, planets and stars above 0° (stars below magnitude 4)
};

// jd: Julian Day of the moment (UT, also used as dynamical time);
// site latitude and longitude in degrees, north and east positive.
// Chart order: Moon, Sun, Mercury, Venus, Mars, Jupiter, Saturn, the 92 stars (99 places).
std::vector<SkyPlace> skyChartPlaces(double jd, double latitudeDeg, double longitudeDeg);

}  // namespace tarvo
