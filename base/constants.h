// The program's physical and calendar constants, each once, with its unit.
#pragma once

#include <numbers>

namespace tarvo {

// Time.
inline constexpr double kSecondsPerDay = 86400.0;
inline constexpr double kHoursPerDay = 24.0;
inline constexpr double kDaysPerJulianCentury = 36525.0;
inline constexpr double kJ2000 = 2451545.0;             // Julian Day of J2000.0, 2000 January 1, 12 h
inline constexpr double kGregorianReformJd = 2299160.5;  // 1582 October 15, 0 h: the first Gregorian day
inline constexpr double kUnixEpochJd = 2440587.5;        // 1970 January 1, 0 h UT

// Degrees to radians and back, exact.
inline constexpr double kDegToRad = std::numbers::pi / 180.0;
inline constexpr double kRadToDeg = 180.0 / std::numbers::pi;
// The short forms some drawings reproduce on purpose, so that their pixels
// fall where they always have: the world map's, the map's inverse (the mouse
// commands') and the sky chart's.
inline constexpr double kMapRadiansPerDegree = 0.01745329252;
inline constexpr double kPickRadiansPerDegree = 0.017453292522222223;
inline constexpr double kChartRadiansPerDegree = 0.0174532925;

// The Earth's ellipsoid, WGS 84.
inline constexpr double kWgs84EquatorialRadiusM = 6378137.0;
inline constexpr double kWgs84Flattening = 1.0 / 298.257223563;

}  // namespace tarvo
