#include "timebase/time_scales.h"
#include "tests/tolerances.h"

#include <erfa.h>
#include <gtest/gtest.h>

#include <cmath>

namespace tarvo {
namespace {

bool isLeap(int year, bool gregorian) {
  if (!gregorian) return year % 4 == 0;  // also right for negative years
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int monthLength(int year, int month, bool gregorian) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && isLeap(year, gregorian) ? 29 : kDays[month - 1];
}

// Walks every day from −13000 January 1 to 16999 December 31 and checks that
// jdToCalendar advances by exactly one civil day each time, with the ten days
// of October 1582 skipped. The start comes from an independent count: JD 0 is
// −4712 January 1, 12 h (Julian), and −13000 lies 2072 Julian 4-year cycles
// of 1461 days earlier.
TEST(JdToCalendar, EveryDayOfTheCatalogueSpanFollowsTheCalendar) {
  const double startJd = -2072.0 * 1461.0 - 0.5;
  int y = -13000, m = 1, d = 1;
  long misses = 0;
  double jd = startJd;
  for (; !(y == 17000); jd += 1.0) {
    const CalendarDate c = jdToCalendar(jd, ZoneMode::StandardZone, 0);
    if (c.year != y || c.month != m || c.day != d || c.hour != 0.0) {
      if (++misses < 5) ADD_FAILURE() << "JD " << jd << " gave " << c.year << "-" << c.month << "-" << c.day
                                      << " " << c.hour << "h, expected " << y << "-" << m << "-" << d;
    }
    // Next civil day.
    const bool gregorian = y > 1582 || (y == 1582 && (m > 10 || (m == 10 && d >= 15)));
    if (y == 1582 && m == 10 && d == 4) {
      d = 15;
      continue;
    }
    if (++d > monthLength(y, m, gregorian)) {
      d = 1;
      if (++m > 12) {
        m = 1;
        ++y;
      }
    }
  }
  EXPECT_EQ(misses, 0);
  // The walk must end where ERFA puts 17000 January 1 (Gregorian).
  double djm0 = 0, djm = 0;
  ASSERT_EQ(eraCal2jd(17000, 1, 1, &djm0, &djm), 0);
  EXPECT_EQ(jd, djm0 + djm);
}

// Gregorian dates against ERFA at noon and at a quarter past 18 h.
TEST(JdToCalendar, MatchesErfaOnGregorianDates) {
  for (double jd = 2299160.5; jd < 7930000; jd += 997.0) {
    for (double frac : {0.5, 0.7604166666666666}) {
      int iy, im, id;
      double fd;
      ASSERT_EQ(eraJd2cal(std::floor(jd), frac, &iy, &im, &id, &fd), 0);
      const CalendarDate c = jdToCalendar(std::floor(jd) + frac, ZoneMode::StandardZone, 0);
      ASSERT_EQ(c.year, iy) << jd;
      ASSERT_EQ(c.month, im) << jd;
      ASSERT_EQ(c.day, id) << jd;
      ASSERT_NEAR(c.hour, fd * 24.0, testing::kHourOfJulianDayH) << jd;
    }
  }
}

TEST(JdToCalendar, ReformYearZeroAndNegativeYears) {
  CalendarDate c = jdToCalendar(2299160.5, ZoneMode::StandardZone, 0);
  EXPECT_EQ(c.year, 1582);
  EXPECT_EQ(c.month, 10);
  EXPECT_EQ(c.day, 15);
  EXPECT_EQ(c.hour, 0);
  c = jdToCalendar(2299159.5, ZoneMode::StandardZone, 0);
  EXPECT_EQ(c.day, 4);
  EXPECT_EQ(c.month, 10);
  c = jdToCalendar(2451545.0, ZoneMode::StandardZone, 0);
  EXPECT_EQ(c.year, 2000);
  EXPECT_EQ(c.month, 1);
  EXPECT_EQ(c.day, 1);
  EXPECT_EQ(c.hour, 12);
  c = jdToCalendar(0.0, ZoneMode::StandardZone, 0);
  EXPECT_EQ(c.year, -4712);
  EXPECT_EQ(c.month, 1);
  EXPECT_EQ(c.day, 1);
  EXPECT_EQ(c.hour, 12);
  // Year 0 is a Julian leap year: 0-02-29 exists and 0-12-31 is followed by 1-01-01.
  // JD 1721057.5 is 0-01-01 (366 days before 1-01-01 = JD 1721423.5).
  c = jdToCalendar(1721057.5 + 59, ZoneMode::StandardZone, 0);
  EXPECT_EQ(c.year, 0);
  EXPECT_EQ(c.month, 2);
  EXPECT_EQ(c.day, 29);
  c = jdToCalendar(1721423.5, ZoneMode::StandardZone, 0);
  EXPECT_EQ(c.year, 1);
  EXPECT_EQ(c.month, 1);
  EXPECT_EQ(c.day, 1);
  // Hours of a day before JD 0 stay in 0..24.
  c = jdToCalendar(-1000000.25, ZoneMode::StandardZone, 0);
  EXPECT_NEAR(c.hour, 6.0, testing::kHourOfJulianDayH);
}

TEST(JdToCalendar, ZoneModes) {
  const double jd = 2451545.0;  // 12 h UT
  EXPECT_NEAR(jdToCalendar(jd, ZoneMode::StandardZone, 135).hour, 21.0, testing::kZoneHourRoundingH);
  EXPECT_NEAR(jdToCalendar(jd, ZoneMode::StandardZone, -7.4).hour, 12.0, testing::kZoneHourRoundingH);
  EXPECT_NEAR(jdToCalendar(jd, ZoneMode::StandardZone, -7.6).hour, 11.0, testing::kZoneHourRoundingH);
  EXPECT_NEAR(jdToCalendar(jd, ZoneMode::MeanLocalTime, 135).hour, 21.0, testing::kZoneHourRoundingH);
  EXPECT_NEAR(jdToCalendar(jd, ZoneMode::MeanLocalTime, -7.5).hour, 11.5, testing::kZoneHourRoundingH);
  // A zone shift across midnight moves the date.
  const CalendarDate c = jdToCalendar(2451545.0 + 0.45, ZoneMode::StandardZone, 135);
  EXPECT_EQ(c.day, 2);
  EXPECT_NEAR(c.hour, 7.8, testing::kHourOfJulianDayH);
}

double atYear(double y) { return deltaTModel((y - 2000.0) / 100.0); }

TEST(DeltaTModel, PublishedValues) {
  EXPECT_NEAR(deltaTModel(0), 63.8285, testing::kLongChainRounding);
  EXPECT_NEAR(atYear(2025.5), 75.4315, testing::kLongChainRounding);
  EXPECT_NEAR(atYear(-1000), 25427.68, testing::kLargeValueRounding);
  EXPECT_NEAR(atYear(2500), 858.0, testing::kLongChainRounding);
  EXPECT_NEAR(atYear(1908.5), 7.75, testing::kLongChainRounding);  // 1908 and 1909 both hold 7.75
  EXPECT_NEAR(atYear(1620), 124.0, testing::kLongChainRounding);
  EXPECT_NEAR(atYear(1619.999), 121.6, testing::kMilliYearFromNodeS);
  // At −13000 ΔT is about 8 days; at 17000 about 8.5 days.
  EXPECT_NEAR(atYear(-13000) / 86400.0, 8.1, testing::kQuotedTenth);
}

// Each seam: the value on either side, and that the later piece wins at the
// shared point.
TEST(DeltaTModel, SeamsJoinWithoutSteps) {
  EXPECT_NEAR(atYear(-800.000001), 21946.08, testing::kSeamValueS);
  EXPECT_NEAR(atYear(-800), 21946.0, testing::kLongChainRounding);
  EXPECT_NEAR(atYear(2020), 70.52, testing::kLongChainRounding);
  EXPECT_NEAR(atYear(2020.000001), 70.52, testing::kNearNodeS);
  EXPECT_NEAR(atYear(2099.999999), 130.0, testing::kNearNodeS);
  EXPECT_NEAR(atYear(2100), 130.0, testing::kLongChainRounding);
  EXPECT_NEAR(atYear(2150), 200 - 40 * 0.2 - 22, testing::kLongChainRounding);  // mirrored to 1510
  EXPECT_NEAR(atYear(3190), 5985.0, testing::kLongChainRounding);
  EXPECT_NEAR(atYear(3190.000001), 5986.08, testing::kSeamValueS);
  // Mirror: 2100 maps to 1560, between 1550 (160) and 1600 (120).
  EXPECT_NEAR(atYear(2100), 160 - 40 * 0.2 - 22, testing::kLongChainRounding);
}

TEST(DeltaTModel, ContinuousOverTheWholeSpan) {
  // No jump larger than what the slope allows between samples 0.01 year apart.
  double prev = atYear(-13000);
  double worst = 0;
  for (double y = -13000 + 0.01; y <= 17000; y += 0.01) {
    const double v = atYear(y);
    ASSERT_TRUE(std::isfinite(v)) << y;
    // 1620 is the one deliberate step: the 50-year table reaches 121.6 there, the yearly 124.
    if (std::fabs(y - 1620) > 0.005) worst = std::max(worst, std::fabs(v - prev));
    prev = v;
  }
  // The parabola's slope at −13000 is 0.64 × 14820 / 100 s per year ≈ 95 s/yr;
  // the seams at −800 and 3190 stay below 1.1 s.
  EXPECT_LT(worst, testing::kDeltaTHundredthYearStepS);
  EXPECT_NEAR(atYear(1620) - atYear(1620 - 1e-9), 2.4, testing::kAcrossSeamS);
}

TEST(SplitHours, WrapsHoursOnly) {
  HoursMinutesSeconds s = splitHours(25.5);
  EXPECT_EQ(s.hours, 1);
  EXPECT_EQ(s.minutes, 30);
  EXPECT_NEAR(s.seconds, 0, testing::kLongChainRounding);
  s = splitHours(-0.25);
  EXPECT_EQ(s.hours, 23);
  EXPECT_EQ(s.minutes, 45);
  EXPECT_NEAR(s.seconds, 0, testing::kLongChainRounding);
  s = splitHours(21.318);  // 21:19:04.8
  EXPECT_EQ(s.hours, 21);
  EXPECT_EQ(s.minutes, 19);
  EXPECT_NEAR(s.seconds, 4.8, testing::kLongChainRounding);
  s = splitHours(-25.0);
  EXPECT_EQ(s.hours, 23);
  // Whole days before midnight wrap to a plain 0, never −0 ("-0" in %2.0f).
  for (double h : {-24.0, -23.75, -48.0}) {
    s = splitHours(h);
    EXPECT_EQ(s.hours, 0) << h;
    EXPECT_FALSE(std::signbit(s.hours)) << h;
  }
}

TEST(SplitDegrees, NegativeKeepsSignOnBothParts) {
  DegreesMinutes d = splitDegrees(-35.75);
  EXPECT_EQ(d.degrees, -35);
  EXPECT_NEAR(d.minutes, -45, testing::kLongChainRounding);
  d = splitDegrees(139.5);
  EXPECT_EQ(d.degrees, 139);
  EXPECT_NEAR(d.minutes, 30, testing::kLongChainRounding);
}

TEST(StandardZone, RoundsHalfAwayFromZero) {
  EXPECT_EQ(standardZoneOffsetHours(-7.5), -1.0);
  EXPECT_EQ(standardZoneOffsetHours(7.5), 1.0);
  EXPECT_EQ(standardZoneOffsetHours(139.77), 9.0);
  EXPECT_EQ(standardZoneOffsetHours(0.0), 0.0);
}

}  // namespace
}  // namespace tarvo
