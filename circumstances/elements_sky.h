// The sky at one moment of an eclipse as its elements give it: the Moon's
// and the Sun's apparent places and Greenwich apparent sidereal time, the
// same numbers the map's sub-lunar point and the site's altitude are made of.
#pragma once

#include "catalogue/eclipse_record.h"

namespace tarvo {

struct ElementsSky {
  // Geocentric, true equator and equinox of date, degrees.
  double moonRaDeg = 0, moonDecDeg = 0;
  double sunRaDeg = 0, sunDecDeg = 0;  // opposite the shadow axis
  double greenwichSiderealDeg = 0;     // apparent, at the UT instant, [0, 360)
};

// At tHours (TT from epochHour), the Earth's rotation taken back by
// deltaTSeconds as subLunarPoint takes it. The shadow axis is found from the
// Moon's place and its offset (x, y), which the elements give in an azimuthal
// equidistant projection about the axis (a few fixed-point passes, exact to
// far below 1e-6°). Non-finite inputs give non-finite values.
ElementsSky skyFromElements(const EclipseRecord& r, double tHours, double deltaTSeconds);

}  // namespace tarvo
