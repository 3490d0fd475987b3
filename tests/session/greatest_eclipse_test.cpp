// The session's current eclipse: greatest eclipse, contacts and the day's
// start kept in the state for the map display and the local report.
#include "session/greatest_eclipse.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "circumstances/geometry.h"
#include "tests/circumstances/synthetic_eclipse.h"

namespace tarvo {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

using testing::totalEclipse;

// The state-level update keeps finite values and flags for a bad entry, and
// the expected ones for a good entry.
TEST(UpdateGreatestEclipse, KeepsTheCurrentEclipsesValues) {
  SessionState s;
  s.current = totalEclipse();
  s.greatestJd = 2460000.3;
  s.epochHour = s.current.epochHour;
  s.deltaT = 72;
  s.greatestGuessHours = 0;
  s.horizonCrossHours = 1000;
  updateGreatestEclipse(s);
  const GreatestEclipse g = findGreatest(s.current, 0, 72);
  ASSERT_TRUE(s.greatestConverged);
  EXPECT_TRUE(currentEclipseConverged(s));
  EXPECT_EQ(s.deltaTHours, 0.02);
  EXPECT_EQ(s.greatestOffsetHours, g.tHours);
  EXPECT_EQ(s.greatestGuessHours, g.tHours);
  EXPECT_EQ(s.greatestLongitude, g.subLunar.longitudeDeg);
  EXPECT_EQ(s.greatestSubLunar.latitudeDeg, g.subLunar.latitudeDeg);
  EXPECT_EQ(s.greatestDeltaTSeconds, 72);
  EXPECT_EQ(s.horizonCrossHours, 10000);
  EXPECT_EQ(s.contacts.p4, findContacts(s.current, g.tHours).p4);
  // With greatestJd the UT instant of the greatest eclipse found, dayStartJd
  // is the midnight before it.
  s.greatestJd = 2460000.5 + (s.epochHour + g.tHours - 0.02) / 24;
  s.greatestGuessHours = 0;
  updateGreatestEclipse(s);
  EXPECT_NEAR(s.dayStartJd, 2460000.5, 1e-9);

  SessionState bad = s;
  bad.current.x0 = kNaN;
  bad.greatestGuessHours = 0.25;
  updateGreatestEclipse(bad);
  EXPECT_FALSE(bad.greatestConverged);
  EXPECT_FALSE(currentEclipseConverged(bad));
  EXPECT_EQ(bad.greatestGuessHours, 0.25);
  for (double v : {bad.greatestOffsetHours, bad.greatestLongitude, bad.greatestLatitude,
                   bad.dayStartJd, bad.contacts.p1, bad.contacts.p4}) {
    EXPECT_TRUE(std::isfinite(v));
  }
}

}  // namespace
}  // namespace tarvo
