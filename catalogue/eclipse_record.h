// One entry of the eclipse canon: 31 numbers in file order.
#pragma once

#include <array>
#include <cstddef>

namespace tarvo {

// Times t in the polynomials are hours of TT counted from epochHour.
// x, y, lp, lu, lt are in arcseconds; gst, ra, dec in degrees.
struct EclipseRecord {
  double year = 0;                // astronomical; TT date in the file, UT after reading
  double month = 0;               // 1..12, as year
  double eclipseDay = 0;          // as year; whole after reading
  double eclipseType = 0;         // 1 total, 2 partial, 3 penumbral (0, 4–6 tolerated)
  double penumbralMagnitude = 0;  // at greatest eclipse
  double umbralMagnitude = 0;     // at greatest eclipse; negative for a penumbral eclipse
  double gamma = 0;               // Earth radii, positive when the Moon passes north of the axis
  double greatestJd = 0;          // TT in the file, UT after reading
  double ninthValue = 0;          // lunation number of the full moon; carried, unused
  double saros = 0;               // Saros series, may be zero or negative
  double epochHour = 0;           // TT hour of the day at which t = 0
  double x0 = 0, x1 = 0, x2 = 0, x3 = 0;  // Moon's centre east of the shadow axis
  double y0 = 0, y1 = 0, y2 = 0, y3 = 0;  // Moon's centre north of the shadow axis
  double gst0 = 0, gst1 = 0;      // Greenwich sidereal angle, deg and deg/h
  double lp0 = 0, lp1 = 0;        // centre distance at penumbral contact
  double lu0 = 0, lu1 = 0;        // centre distance at umbral contact
  double lt0 = 0, lt1 = 0;        // centre distance at internal (total) contact
  double ra0 = 0, ra1 = 0;        // Moon's right ascension, deg and deg/h
  double dec0 = 0, dec1 = 0;      // Moon's declination, deg and deg/h

  static constexpr std::size_t kValueCount = 31;
  // Numbers per text line in the canon files: 11, then 10, then 10.
  static constexpr std::array<std::size_t, 3> kLineLengths = {11, 10, 10};

  // The 31 numbers in file order.
  std::array<double, kValueCount> values() const;
  static EclipseRecord fromValues(const std::array<double, kValueCount>& v);
};

// An entry as the catalogue reader gives it: the record with its date and
// greatestJd in UT for the ΔT it was read with, and the Julian Day of
// greatest eclipse (TT) the catalogue stores.
struct EclipseEntry : EclipseRecord {
  double greatestJdTt = 0;
};

}  // namespace tarvo
