#include "timebase/historical_dates.h"

#include <array>
#include <cmath>

#include "base/text_format.h"

namespace tarvo {

namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view trimmed(std::string_view s) {
  const std::size_t first = s.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

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

// The letters of an era word in capitals, whatever its case, written plain
// ("BC", "bce") or with a dot after every letter ("B.C.", "c.e."); empty for
// anything else.
std::string eraLetters(std::string_view word) {
  std::string letters;
  const bool dotted = word.size() >= 2 && word.back() == '.';
  for (std::size_t i = 0; i < word.size(); ++i) {
    const char c = word[i];
    if (dotted ? (i % 2 == 1) != (c == '.') : c == '.') return {};  // letter, dot, letter, dot ...
    if (c == '.') continue;
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) return {};
    letters += static_cast<char>(c >= 'a' ? c - 'a' + 'A' : c);
  }
  return letters;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

constexpr std::array<const char*, 12> kMonthNames = {"January", "February", "March",     "April",
                                                     "May",     "June",     "July",      "August",
                                                     "September", "October", "November", "December"};

}  // namespace

std::optional<double> historicalYear(std::string_view text) {
  const std::string_view s = trimmed(text);
  if (s.empty()) return std::nullopt;
  // Split into the number and the era word around it, blanks between.
  std::string_view number, era;
  bool eraFirst = false;
  if (isDigit(s.front())) {
    std::size_t end = 0;
    while (end < s.size() && isDigit(s[end])) ++end;
    number = s.substr(0, end);
    era = trimmed(s.substr(end));
  } else {
    std::size_t end = 0;
    while (end < s.size() && !isDigit(s[end]) && kBlanks.find(s[end]) == std::string_view::npos) ++end;
    era = s.substr(0, end);
    number = trimmed(s.substr(end));
    eraFirst = true;
  }
  const double n = positiveWhole(number);
  if (n < 1) return std::nullopt;
  const std::string letters = eraLetters(era);
  // Only "AD" may stand before the number.
  if (letters == "AD") return n;
  if (eraFirst) return std::nullopt;
  if (letters == "CE") return n;
  if (letters == "BC" || letters == "BCE") return 1.0 - n;
  return std::nullopt;
}

std::string historicalRangeText(double firstYear, double lastYear) {
  return historicalYearText(firstYear) + " to " + historicalYearText(lastYear);
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
  const CalendarDate c = jdToCalendarDate(jdMinute + 0.25 / 86400.0, rule);
  const int minutes = static_cast<int>(std::floor(c.hour * 60.0));
  const bool gregorian = rule == CalendarRule::kProlepticGregorian || jdMinute >= 2299160.5;
  return formatString("%s %s %.0f %02d:%02d UT, %s", historicalYearText(c.year).c_str(),
                      kMonthNames[static_cast<std::size_t>(c.month) - 1], c.day, minutes / 60, minutes % 60,
                      gregorian ? "Gregorian calendar" : "Julian calendar");
}

}  // namespace tarvo
