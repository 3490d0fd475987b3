// Years and dates as historians write them: "585 BC", "AD 1066", the Julian
// calendar before 1582 October 15, and the proleptic Gregorian calendar for
// comparison with modern tables.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "timebase/time_scales.h"

namespace tarvo {

// The astronomical year (0 = 1 BC, −584 = 585 BC) of a year written with an
// era, in any case, the era plain or dotted, blanks between or none: "585 BC",
// "585bc", "585 B.C.", "585 b.c.e.", "AD 1066", "A.D. 1066", "1066 AD",
// "1066 C.E.". The number is whole and at least 1; blanks around the whole are
// ignored. nullopt for anything else, a plain number included ("0 BC", "BC",
// "5 BC 3", "BC 5", "CE 5", "B.C" are no year).
std::optional<double> historicalYear(std::string_view text);

// A whole astronomical year as historians write it: "585 BC" for −584,
// "AD 1066" for 1066.
std::string historicalYearText(double astronomicalYear);

// A span of whole astronomical years as historians write it, for the range
// messages: "13001 BC to AD 16999" for −13000..16999.
std::string historicalRangeText(double firstYear, double lastYear);

enum class CalendarRule {
  kJulianThenGregorian,  // Julian before 1582 October 15, as the catalogue
  kProlepticGregorian,   // Gregorian throughout
};

// The calendar date and hour (UT, astronomical years) of jd by the rule.
CalendarDate jdToCalendarDate(JulianDay jd, CalendarRule rule);

// "Julian calendar" or "Gregorian calendar": the calendar the catalogue's
// dates of (year, month) are in (Julian before 1582 October).
const char* calendarNameOf(double year, double month);

// The Time Set dialog's hint: "= 585 BC, Julian calendar".
std::string yearHint(double year, double month);

// jd as historians write it, to the minute: "585 BC May 28 12:00 UT, Julian
// calendar" (the calendar named as the rule used it).
std::string historicalDateText(JulianDay jd, CalendarRule rule);

}  // namespace tarvo
