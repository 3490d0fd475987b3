// The session's current eclipse: its circumstances kept in the state once
// per paint, and the starting guess carried to the next paint.
#include "session/current_eclipse.h"

#include <gtest/gtest.h>

#include <limits>

#include "circumstances/geometry.h"
#include "tests/circumstances/synthetic_eclipse.h"

namespace tarvo {
namespace {

using testing::totalEclipse;

TEST(CurrentEclipse, KeepsTheValueAndCarriesTheGuess) {
  SessionState s;
  s.current = EclipseEntry{totalEclipse()};
  s.deltaT = 72;
  s.greatestGuessHours = 0;
  s.horizonCrossHours = 1.5;
  const EclipseCircumstances& e = updateCurrentEclipse(s);
  EXPECT_EQ(&e, &s.circumstances);
  ASSERT_TRUE(e.converged());
  EXPECT_EQ(e.deltaTSeconds, 72);
  EXPECT_EQ(e.greatestHours, findGreatest(s.current, 0, 72).tHours);
  EXPECT_EQ(s.greatestGuessHours, e.greatestHours);
  EXPECT_FALSE(s.horizonCrossHours);  // none until a report finds one

  // An entry that cannot converge leaves the guess where it was.
  SessionState bad = s;
  bad.current.x0 = std::numeric_limits<double>::quiet_NaN();
  bad.greatestGuessHours = 0.25;
  updateCurrentEclipse(bad);
  EXPECT_FALSE(bad.circumstances.converged());
  EXPECT_EQ(bad.greatestGuessHours, 0.25);
}

}  // namespace
}  // namespace tarvo
