#include "timebase/historical_dates.h"

#include <array>
#include <cmath>

#include "base/text.h"
#include "base/text_format.h"

namespace tarvo {

namespace {

// A whole number of 1..9 digits, no sign; 0 when the text is anything else.
double positiveWhole(std::string_view s) {
  if (s.empty() || s.size() > 9) return 0;
  double v = 0;
  for (const char c : s) {
    if (c < '0' || c > '9') return 0;
    v = v * 10 + (c - '0');
  }
  return v;
}

bool startsWith(std::string_view s, std::string_view p) { return s.substr(0, p.size()) == p; }
bool endsWith(std::string_view s, std::string_view p) {
  return s.size() >= p.size() && s.substr(s.size() - p.size()) == p;
}

// The number before an era suffix, one optional blank between them.
double numberBefore(std::string_view s, std::string_view era) {
  std::string_view n = s.substr(0, s.size() - era.size());
  if (!n.empty() && n.back() == ' ') n.remove_suffix(1);
  return positiveWhole(n);
}

constexpr std::array<const char*, 12> kMonthNames = {"January", "February", "March",     "April",
                                                     "May",     "June",     "July",      "August",
                                                     "September", "October", "November", "December"};

}  // namespace

std::optional<double> historicalYear(std::string_view text) {
  const std::string_view s = trimmed(text);
  // Longer suffixes first: "BCE" also ends in "CE".
  for (const std::string_view era : {"BCE", "BC"}) {
    if (endsWith(s, era)) {
      const double n = numberBefore(s, era);
      return n >= 1 ? std::optional<double>(1.0 - n) : std::nullopt;
    }
  }
  for (const std::string_view era : {"AD", "CE"}) {
    if (endsWith(s, era)) {
      const double n = numberBefore(s, era);
      return n >= 1 ? std::optional<double>(n) : std::nullopt;
    }
  }
  if (startsWith(s, "AD")) {
    std::string_view n = s.substr(2);
    if (!n.empty() && n.front() == ' ') n.remove_prefix(1);
    const double v = positiveWhole(n);
    return v >= 1 ? std::optional<double>(v) : std::nullopt;
  }
  return std::nullopt;
}

std::string historicalYearText(double astronomicalYear) {
  if (astronomicalYear <= 0) return formatString("%.0f BC", 1.0 - astronomicalYear);
  return formatString("AD %.0f", astronomicalYear);
}

CalendarDate jdToCalendarDate(JulianDay jd, CalendarRule rule) {
  if (rule == CalendarRule::kJulianThenGregorian) return jdToCalendar(jd, ZoneMode::StandardZone, 0);
  // Meeus' algorithm with the Gregorian correction on every day; floor keeps
  // the centuries right before the reform and before JD 0.
  const double z = std::floor(jd + 0.5);
  const double f = jd + 0.5 - z;
  const double alpha = std::floor((z - 1867216.25) / 36524.25);
  const double a = z + 1.0 + alpha - std::floor(alpha / 4.0);
  return calendarFromDayCount(a, f);
}

const char* calendarNameOf(double year, double month) {
  // The month of the reform (October 1582) counts as Gregorian.
  return year < 1582 || (year == 1582 && month < 10) ? "Julian calendar" : "Gregorian calendar";
}

std::string yearHint(double year, double month) {
  return "= " + historicalYearText(year) + ", " + calendarNameOf(year, month);
}

std::string historicalDateText(JulianDay jd, CalendarRule rule) {
  // To the nearest minute; a quarter second past it keeps the floor below
  // from falling back a minute by rounding.
  const double jdMinute = std::floor(jd * 1440.0 + 0.5) / 1440.0;
  const CalendarDate c = jdToCalendarDate(jdMinute + 0.25 / kSecondsPerDay, rule);
  const int minutes = static_cast<int>(std::floor(c.hour * 60.0));
  const bool gregorian = rule == CalendarRule::kProlepticGregorian || jdMinute >= kGregorianReformJd;
  return formatString("%s %s %.0f %02d:%02d UT, %s", historicalYearText(c.year).c_str(),
                      kMonthNames[static_cast<std::size_t>(c.month) - 1], c.day, minutes / 60, minutes % 60,
                      gregorian ? "Gregorian calendar" : "Julian calendar");
}

}  // namespace tarvo
