#include "timebase/time_scales.h"

#include <cmath>
#include <cstddef>

#include "data/delta_t_tables.h"

namespace tarvo {

CalendarDate jdToCalendar(JulianDay jd, ZoneMode mode, double longitudeDeg) {
  const double sign = longitudeDeg < 0 ? -1.0 : 1.0;
  const double a = std::fabs(longitudeDeg);
  const double offsetHours =
      mode == ZoneMode::StandardZone ? sign * std::floor(a / 15.0 + 0.5) : sign * a / 15.0;
  const double e = jd + offsetHours / 24.0;

  const double z = std::floor(e + 0.5);
  const double f = e + 0.5 - z;
  double a2 = z;
  if (z >= kGregorianReformJd + 0.5) {  // the Gregorian reform's first day number
    const double alpha = std::trunc((z - 1867216.25) / 36524.25);
    a2 = z + 1.0 + alpha - std::trunc(alpha / 4.0);
  }
  return calendarFromDayCount(a2, f);
}

CalendarDate calendarFromDayCount(double a, double dayFraction) {
  const double b = a + 1524.0;
  const double c = std::floor((b - 122.1) / 365.25);
  const double d = std::floor(365.25 * c);
  const double eMonth = std::trunc((b - d) / 30.6001);

  CalendarDate out{};
  out.day = std::floor(b - d - std::floor(30.6001 * eMonth) + dayFraction);
  out.hour = dayFraction * 24.0;
  out.month = eMonth < 14.0 ? eMonth - 1.0 : eMonth - 13.0;
  out.year = out.month > 2.0 ? c - 4716.0 : c - 4715.0;
  return out;
}

namespace {

// Linear interpolation in a table whose entry i belongs to base + i × step.
// At the table's last index (f = 0 there) the last entry is returned and
// nothing beyond the table is read.
double interpolate(const double* table, std::size_t size, double base, double step, double y) {
  const double u = (y - base) / step;
  const double i = std::trunc(u);
  const double f = u - i;
  const auto k = static_cast<std::size_t>(i);
  if (k + 1 >= size) return table[size - 1];
  return table[k] + (table[k + 1] - table[k]) * f;
}

double parabola(double y) { return -20.0 + 32.0 * ((y - 1820.0) / 100.0) * ((y - 1820.0) / 100.0); }

// The 50-year table as indexed from −4000: index 64 (−800) is its first used entry.
double fiftyYearTable(double y) {
  const double u = (y - data::kDeltaT50Base) / data::kDeltaT50Step;
  const double i = std::trunc(u);
  const double f = u - i;
  const auto k = static_cast<std::size_t>(i) - data::kDeltaT50FirstIndex;
  const std::size_t n = data::kDeltaT50.size();
  if (k + 1 >= n) return data::kDeltaT50[n - 1];
  return data::kDeltaT50[k] + (data::kDeltaT50[k + 1] - data::kDeltaT50[k]) * f;
}

}  // namespace

double deltaTModel(double centuriesT) {
  const double y = 2000.0 + 100.0 * centuriesT;
  // Seams: −800 (parabola 21946.08 | table 21946), 1620 (121.6 | 124),
  // 2020 (yearly 70.52 | 10-year 70.52), 2100 (mirror 130 | 10-year 130),
  // 3190 (mirror 5985 | parabola 5986.08).
  if (!(y >= -800.0)) return parabola(y);  // also NaN
  if (y < 1620.0) return fiftyYearTable(y);
  if (y <= 2020.0)
    return interpolate(data::kDeltaTYearly.data(), data::kDeltaTYearly.size(), 1620.0, 1.0, y);
  if (y < 2100.0)
    return interpolate(data::kDeltaT10Year.data(), data::kDeltaT10Year.size(), 2000.0, 10.0, y);
  if (y <= 3190.0) return fiftyYearTable(3660.0 - y) - 22.0;
  return parabola(y);
}

double standardZoneOffsetHours(double longitudeDeg) {
  const double h = longitudeDeg / 15.0;
  return longitudeDeg > 0 ? std::trunc(h + 0.5) : std::trunc(h - 0.5);
}

HoursMinutesSeconds splitHours(double hours) {
  double h = std::floor(hours);
  const double m = std::floor((hours - h) * 60.0);
  const double s = ((hours - h) * 60.0 - m) * 60.0;
  h = std::fmod(h, 24.0) + 0.0;  // + 0.0 makes a −0 (from −24, −48, …) a plain 0
  if (h > 23.9) h -= 24.0;
  if (h < 0.0) h += 24.0;
  return {std::trunc(h), m, s};
}

DegreesMinutes splitDegrees(double degrees) {
  const double a = std::fabs(degrees);
  double d = std::floor(a);
  double m = (a - d) * 60.0;
  if (degrees < 0) {
    d = -d;
    m = -m;
  }
  return {d, m};
}

}  // namespace tarvo
