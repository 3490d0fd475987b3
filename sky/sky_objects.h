// The sky object table and the places of date of its stars: their ICRS
// places at J2000.0 moved along their space motion (proper motion, parallax
// and radial velocity) and precessed with the long-term model of Vondrák,
// Capitaine and Wallace (2011), valid for ±200,000 years.
#pragma once

#include <array>

#include "data/sky_object_table.h"
#include "data/star_space_motion.h"
#include "sky/earth_orientation.h"

namespace tarvo {

using SkyObjectEntry = data::SkyObjectRow;

// 98 entries in chart order: Moon, Mercury, Venus, Mars, Jupiter, Saturn, 92 stars.
inline constexpr std::size_t kSkyObjectCount = 98;
inline constexpr std::size_t kFirstStarIndex = 6;
const std::array<SkyObjectEntry, kSkyObjectCount>& skyObjectTable();

// Packed hours h.mmss (h + mm/100 + ss.s/10000) to degrees; no sign handling.
double packedHoursToDegrees(double packed);
// Packed degrees d.mmss to degrees, the sign of the packed value applied to the whole.
double packedDegreesToDegrees(double packed);

// The IAU 1976 equatorial precession angles from J2000.0 to a date t Julian
// centuries after it, in degrees.
struct PrecessionAngles {
  double zeta, z, theta;
};
PrecessionAngles precessionAngles1976(double centuriesFromJ2000);

// The space motion of table entry n, kFirstStarIndex <= n < kSkyObjectCount.
using StarSpaceMotion = data::StarSpaceMotionRow;
const StarSpaceMotion& starSpaceMotion(std::size_t n);

// A star's right ascension (degrees, [0, 360)) and declination (degrees) on
// the mean equator and equinox of date jd (TT; UT serves, the difference
// being far below the chart's pixel): its J2000.0 place moved in a straight
// line through space to jd (ERFA's eraPmsafe), then precessed from the ICRS
// with the long-term model (eraLtpb, frame bias included). Should the motion
// not be found, the J2000.0 place is precessed unmoved.
EquatorialPlace starPlaceOfDate(double jd, const StarSpaceMotion& star);

}  // namespace tarvo
