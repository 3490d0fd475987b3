// The Moon against the Earth's shadow: the shadow radii by a chosen rule,
// the Moon's place relative to the shadow axis, magnitudes and gamma.
// Angles in arcseconds unless the name says otherwise.
#pragma once

#include "tools/canongen/ephemeris.h"

namespace tarvo::canongen {

inline constexpr double kEarthEquatorialRadiusKm = 6378.137;
inline constexpr double kMoonRadiusEarthRadii = 0.2725076;
inline constexpr double kSunRadiusKm = 695990.0;
inline constexpr double kArcsecPerRadian = 206264.80624709636;

// How the atmosphere's enlargement of the shadow is modelled.
enum class RadiusRule {
  // 1.02 × (0.998340 × π_Moon + π_Sun ± s_Sun): the canon's rule.
  Almanac,
  // 1.01 × π_Moon + π_Sun ± s_Sun: the rule of the modern reference canon.
  Danjon,
  // (π_Moon + π_Sun ± s_Sun) × 51/50.
  Plain,
};

struct ShadowRadii {
  double penumbraArcsec;
  double umbraArcsec;
  double moonSemiDiameterArcsec;
};

// Radii from apparent geocentric distances: parallax = asin(a_E / distance),
// semi-diameter = asin(radius / distance).
ShadowRadii shadowRadii(const EphemerisSample& sun, const EphemerisSample& moon, RadiusRule rule);

// The Moon's centre relative to the shadow axis (the antisolar point
// RA_Sun + 180°, −Dec_Sun) in an azimuthal equidistant projection about the
// axis: x to the east (increasing RA), y to the north, arcseconds, so that
// hypot(x, y) is the angular distance of the Moon's centre from the axis.
struct AxisOffset {
  double xArcsec;
  double yArcsec;
};

AxisOffset axisOffset(const EphemerisSample& sun, const EphemerisSample& moon);

// Magnitudes at a distance m (arcsec) of the Moon's centre from the axis:
// (R + s − m) / (2 s) for the penumbra and the umbra.
struct Magnitudes {
  double penumbral;
  double umbral;
};

Magnitudes magnitudesAt(const ShadowRadii& radii, double axisDistanceArcsec);

// The Moon's distance from the shadow axis in Earth equatorial radii, signed
// by yArcsec (positive when the Moon is north of the axis).
double gammaAt(const AxisOffset& offset, const EphemerisSample& moon);

}  // namespace tarvo::canongen
