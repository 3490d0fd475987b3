// Time scales: Julian Day to calendar date, the ΔT = TT − UT model, and the
// sexagesimal splitting of hours and degrees for display.
#pragma once

#include "base/constants.h"

namespace tarvo {

// Days; J2000.0 is 2451545.0 (2000 January 1, 12 h).
using JulianDay = double;

// Julian centuries from J2000.0 for a Julian Day.
inline double centuriesFromJ2000(JulianDay jd) { return (jd - kJ2000) / kDaysPerJulianCentury; }

// How jdToCalendar applies a longitude: whole-hour standard zone, or exact
// local mean time (longitude / 15 hours).
enum class ZoneMode { StandardZone, MeanLocalTime };

// Calendar date and hour as doubles. Astronomical years (year 0 exists);
// Julian calendar before 1582 October 15, Gregorian from then on.
struct CalendarDate {
  double year;
  double month;  // 1..12
  double day;    // whole number
  double hour;   // 0 <= hour < 24, fraction of the civil day × 24
};

// The civil date and hour of jd shifted into the zone of longitudeDeg (east
// positive; 0 gives the plain date of jd). Valid for any finite jd; floor
// division keeps it right for negative Julian Days (years before −4712).
CalendarDate jdToCalendar(JulianDay jd, ZoneMode mode, double longitudeDeg);

// The last steps of the Julian Day to calendar conversion (Meeus): the date
// from the Julian calendar's day count a (z, or z corrected for the Gregorian
// calendar) and the fraction of the day past 0 h.
CalendarDate calendarFromDayCount(double a, double dayFraction);

// ΔT = TT − UT in seconds at T Julian centuries from J2000.0. A piecewise
// model: parabola before −800, 50-year table to 1620, yearly table to 2020,
// 10-year table to 2100, the 50-year table mirrored about 1830 to 3190, then
// the parabola again. Defined for every finite T.
double deltaTModel(double centuriesT);

// Standard-zone offset in whole hours for a longitude (degrees, east
// positive): longitude / 15 rounded half away from zero.
double standardZoneOffsetHours(double longitudeDeg);

struct HoursMinutesSeconds {
  double hours;    // whole, wrapped into 0..23
  double minutes;  // whole, 0..59
  double seconds;  // with fraction
};

// Splits hours (any sign, may exceed 24) into h, m, s; h wraps into 0..23,
// minutes and seconds are not touched by the wrap.
HoursMinutesSeconds splitHours(double hours);

struct DegreesMinutes {
  double degrees;  // whole, carries the sign of the input
  double minutes;  // arc-minutes with fraction, carries the sign of the input
};

// Splits degrees into whole degrees and arc-minutes; both negative for a
// negative input.
DegreesMinutes splitDegrees(double degrees);

}  // namespace tarvo
