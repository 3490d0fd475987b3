#include "timebase/historical_dates.h"
#include "tests/tolerances.h"

#include <erfa.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace tarvo {
namespace {

TEST(HistoricalYear, AcceptedForms) {
  struct Case {
    const char* text;
    double year;
  };
  for (const Case c : {Case{"585 BC", -584}, {"585BC", -584}, {"585 BCE", -584}, {"585BCE", -584},
                       {"1 BC", 0}, {"AD 1066", 1066}, {"AD1066", 1066}, {"1066 AD", 1066},
                       {"1066 CE", 1066}, {"1066CE", 1066}, {"AD 1", 1}, {" 13001 BC ", -13000},
                       {"585 bc", -584}, {"585 B.C.", -584}, {"585 b.c.e.", -584}, {"585  Bce", -584},
                       {"1066 ad", 1066}, {"A.D. 1066", 1066}, {"ad1066", 1066}, {"1066 C.E.", 1066}}) {
    const auto y = historicalYear(c.text);
    ASSERT_TRUE(y) << c.text;
    EXPECT_EQ(*y, c.year) << c.text;
  }
}

TEST(HistoricalYear, Refusals) {
  for (const char* text : {"0 BC", "BC", "5 BC 3", "AD", "AD 0", "0 CE", "-5 BC", "+5 BC", "5.5 BC",
                           "BC 5", "CE 5", "B.C. 5", "5 B C", "585", "-584", "", "5 ADBC", "5 AD CE", "5 B.C",
                           "5 BC.", "5 B..C.", "5 .B.C.", "5 B.CE.", "5 BD", "5 A.D.C."}) {
    EXPECT_FALSE(historicalYear(text)) << '"' << text << '"';
  }
}

// Every year of the span, year 0 and both ends included, prints and reads
// back as itself.
TEST(HistoricalYear, RoundTripOverTheSpan) {
  EXPECT_EQ(historicalYearText(0), "1 BC");
  EXPECT_EQ(historicalYearText(-584), "585 BC");
  EXPECT_EQ(historicalYearText(1), "AD 1");
  EXPECT_EQ(historicalYearText(-13000), "13001 BC");
  EXPECT_EQ(historicalYearText(16999), "AD 16999");
  EXPECT_EQ(historicalRangeText(-13000, 16999), "13001 BC to AD 16999");
  for (double y = -13000; y <= 16999; ++y) {
    const auto back = historicalYear(historicalYearText(y));
    ASSERT_TRUE(back) << y;
    ASSERT_EQ(*back, y);
  }
}

TEST(HistoricalDates, CalendarOfTheHint) {
  EXPECT_EQ(yearHint(-584, 5), "= 585 BC, Julian calendar");
  EXPECT_EQ(yearHint(2025, 3), "= AD 2025, Gregorian calendar");
  EXPECT_EQ(yearHint(1582, 9), "= AD 1582, Julian calendar");
  EXPECT_EQ(yearHint(1582, 10), "= AD 1582, Gregorian calendar");
}

// The Julian Day number of a Julian-calendar date by the integer formula of
// the Explanatory Supplement (independent of the floating-point algorithm).
double julianCalendarJdn(long y, long m, long d) {
  const long a = (14 - m) / 12, yy = y + 4800 - a, mm = m + 12 * a - 3;
  return static_cast<double>(d + (153 * mm + 2) / 5 + 365 * yy + yy / 4 - 32083);
}

TEST(HistoricalDates, DateTextAcrossTheReform) {
  EXPECT_EQ(historicalDateText(julianCalendarJdn(-584, 5, 28), CalendarRule::kJulianThenGregorian),
            "585 BC May 28 12:00 UT, Julian calendar");
  EXPECT_EQ(historicalDateText(2299159.5, CalendarRule::kJulianThenGregorian),
            "AD 1582 October 4 00:00 UT, Julian calendar");
  EXPECT_EQ(historicalDateText(2299160.5, CalendarRule::kJulianThenGregorian),
            "AD 1582 October 15 00:00 UT, Gregorian calendar");
  EXPECT_EQ(historicalDateText(2299159.5, CalendarRule::kProlepticGregorian),
            "AD 1582 October 14 00:00 UT, Gregorian calendar");
  // Rounded to the minute, carrying into the next day.
  EXPECT_EQ(historicalDateText(2451545.0 + (11 * 60 + 59.6) / 1440.0, CalendarRule::kJulianThenGregorian),
            "AD 2000 January 2 00:00 UT, Gregorian calendar");
}

// Proleptic Gregorian dates against ERFA where it is defined (from −4799),
// and a 400-year cycle (146097 days) back to the start of the span.
TEST(HistoricalDates, ProlepticGregorian) {
  for (double jd = -68569.5; jd < 7930000; jd += 997.25) {
    int iy, im, id;
    double fd;
    ASSERT_EQ(eraJd2cal(std::floor(jd), jd - std::floor(jd), &iy, &im, &id, &fd), 0);
    const CalendarDate c = jdToCalendarDate(jd, CalendarRule::kProlepticGregorian);
    ASSERT_EQ(c.year, iy) << jd;
    ASSERT_EQ(c.month, im) << jd;
    ASSERT_EQ(c.day, id) << jd;
    ASSERT_NEAR(c.hour, fd * 24.0, testing::kHourOfJulianDayH) << jd;
  }
  for (double jd = -68569.5; jd > -3100000; jd -= 146097.0 - 3.0) {
    const CalendarDate a = jdToCalendarDate(jd, CalendarRule::kProlepticGregorian);
    const CalendarDate b = jdToCalendarDate(jd - 146097.0, CalendarRule::kProlepticGregorian);
    ASSERT_EQ(b.year, a.year - 400) << jd;
    ASSERT_EQ(b.month, a.month) << jd;
    ASSERT_EQ(b.day, a.day) << jd;
  }
}

}  // namespace
}  // namespace tarvo
