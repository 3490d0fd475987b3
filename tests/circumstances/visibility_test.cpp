// The visibility class against dense sampling of the Moon's altitude, over a
// grid of sites that covers every class (high latitudes included), and the
// faint mark.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>

#include "circumstances/observer_answer.h"
#include "circumstances/visibility.h"
#include "synthetic_eclipse.h"
#include "tests/tolerances.h"

namespace tarvo {
namespace {

// The class by sampling the Moon's geocentric altitude above h0 every
// 20 seconds over the main phase.
VisibilityClass sampledClass(const EclipseRecord& r, const SiteValues& site, double t0, double t1,
                             double deltaT) {
  constexpr int kSamples = 1000;
  bool anyUp = false, anyDown = false;
  const auto up = [&](double t) {
    const MoonAltitude a = moonAltitudeAt(r, site, t, deltaT);
    return a.geocentricDeg > a.riseLimitDeg;
  };
  for (int i = 0; i <= kSamples; ++i) (up(t0 + (t1 - t0) * i / kSamples) ? anyUp : anyDown) = true;
  const bool first = up(t0), last = up(t1);
  if (!first && last) return VisibilityClass::AtMoonrise;
  if (first && !last) return VisibilityClass::AtMoonset;
  if (anyUp && anyDown) return VisibilityClass::Partly;
  return first ? VisibilityClass::Visible : VisibilityClass::None;
}

TEST(Visibility, ClassAgreesWithDenseSamplingOverAGridOfSites) {
  EclipseRecord r = testing::totalEclipse();
  r.dec0 = 18;  // a Moon that stays low but up, or grazes the horizon, near the poles
  constexpr double kDeltaT = 70, kSigma = 900;
  const EclipseCircumstances e = eclipseCircumstances(r, kDeltaT, 0);
  ASSERT_TRUE(e.converged());
  const MainPhase phase = mainPhaseOf(e.contacts);
  std::map<VisibilityClass, int> seen;
  int uncertain = 0, compared = 0;
  for (double lat = -88; lat <= 88; lat += 4) {
    for (double lon = -180; lon < 180; lon += 10) {
      const SiteValues site{lon, lat, 0};
      const VisibilityClass want = sampledClass(r, site, phase.startHours, phase.endHours, kDeltaT);
      const Visibility v = visibilityAt(e, site, kSigma);
      ASSERT_TRUE(v.converged);
      EXPECT_EQ(v.visibilityClass, want) << "lon " << lon << " lat " << lat;
      const bool wantUncertain =
          sampledClass(r, site, phase.startHours, phase.endHours, kDeltaT - kSigma) != want ||
          sampledClass(r, site, phase.startHours, phase.endHours, kDeltaT + kSigma) != want;
      EXPECT_EQ(v.uncertain, wantUncertain) << "lon " << lon << " lat " << lat;
      ++seen[want];
      uncertain += wantUncertain;
      ++compared;
    }
  }
  // The grid reaches every class, and some sites change class within ±σ.
  for (VisibilityClass k : {VisibilityClass::Visible, VisibilityClass::AtMoonrise, VisibilityClass::AtMoonset,
                            VisibilityClass::Partly, VisibilityClass::None}) {
    EXPECT_GT(seen[k], 0) << visibilityClassName(k);
  }
  EXPECT_GT(uncertain, 0);
  EXPECT_LT(uncertain, compared);
}

// How much of [t0, t1] has the Moon's centre up (apparent altitude), by
// sampling every few seconds, the ends included.
PhaseCoverage sampledCoverage(const EclipseCircumstances& e, const SiteValues& site, double t0, double t1) {
  constexpr int kSamples = 2000;
  bool anyUp = false, anyDown = false;
  for (int i = 0; i <= kSamples; ++i) {
    const double t = t0 + (t1 - t0) * i / kSamples;
    (moonAltitudeAt(e.record, site, t, e.deltaTSeconds).apparentDeg > 0 ? anyUp : anyDown) = true;
  }
  return !anyUp ? PhaseCoverage::None : anyDown ? PhaseCoverage::Part : PhaseCoverage::Whole;
}

TEST(PhaseSeen, CoverageAgreesWithDenseSamplingOverAGridOfSites) {
  EclipseRecord r = testing::totalEclipse();
  r.dec0 = 18;
  const EclipseCircumstances e = eclipseCircumstances(r, 70, 0);
  ASSERT_TRUE(e.converged());
  const ContactTimes& c = e.contacts;
  std::map<EclipsePhase, int> deepest;
  for (double lat = -88; lat <= 88; lat += 8) {
    for (double lon = -180; lon < 180; lon += 15) {
      const SiteValues site{lon, lat, 0};
      const PhaseSeen s = visibilityAt(e, site, 0).seen;
      EXPECT_EQ(s.eclipse, sampledCoverage(e, site, c.p1, c.p4)) << lon << " " << lat;
      EXPECT_EQ(s.partial, sampledCoverage(e, site, *c.u1, *c.u4)) << lon << " " << lat;
      EXPECT_EQ(s.totality, sampledCoverage(e, site, *c.u2, *c.u3)) << lon << " " << lat;
      ++deepest[s.deepest];
      // Each moonrise or moonset lies on the horizon (to 0.01°) inside the eclipse.
      for (const PhaseSeen::HorizonEvent& h : s.horizonEvents) {
        EXPECT_NEAR(h.at.moonAltitudeDeg, 0, testing::kHorizonEventDeg);
        EXPECT_TRUE(h.at.tHours > c.p1 && h.at.tHours < c.p4);
      }
      // The Sun stands opposite the Moon: their altitudes nearly cancel.
      EXPECT_NEAR(s.greatest.sunAltitudeDeg, -s.greatest.moonAltitudeDeg, testing::kSunOppositeMoonDeg) << lon << " " << lat;
    }
  }
  for (EclipsePhase p : {EclipsePhase::None, EclipsePhase::Penumbral, EclipsePhase::Partial, EclipsePhase::Total}) {
    EXPECT_GT(deepest[p], 0) << eclipsePhaseName(p);
  }
}

TEST(PhaseSeen, SkyLightAndCompassPoints) {
  EXPECT_EQ(skyBrightnessOf(0.5), SkyBrightness::Daylight);
  EXPECT_EQ(skyBrightnessOf(-0.9), SkyBrightness::Twilight);
  EXPECT_EQ(skyBrightnessOf(-17.9), SkyBrightness::Twilight);
  EXPECT_EQ(skyBrightnessOf(-18.1), SkyBrightness::Dark);
  const std::pair<double, const char*> points[] = {{0, "north"},      {11.2, "north"},     {11.3, "north-north-east"},
                                                   {225, "south-west"}, {359, "north"},      {-90, "west"},
                                                   {92, "east"},        {180, "south"}};
  for (const auto& [az, name] : points) EXPECT_STREQ(compassPoint(az), name) << az;
}

TEST(Visibility, UncertainNeedsASigma) {
  const EclipseCircumstances e = eclipseCircumstances(testing::totalEclipse(), 0, 0);
  for (double lon = -180; lon < 180; lon += 5) EXPECT_FALSE(visibilityAt(e, {lon, 40, 0}, 0).uncertain) << lon;
}

TEST(Visibility, FaintMarksOnlyWeakPenumbralEclipses) {
  struct Row {
    double type, penumbralMagnitude;
    bool faint;
  };
  const Row rows[] = {{3, 0.69, true}, {3, 0.05, true}, {3, 0.70, false}, {3, 0.95, false},
                      {2, 0.50, false}, {1, 0.60, false}};
  for (const Row& row : rows) {
    EclipseRecord r = testing::totalEclipse();
    r.eclipseType = row.type;
    r.penumbralMagnitude = row.penumbralMagnitude;
    EXPECT_EQ(visibilityAt(eclipseCircumstances(r, 0, 0), {0, 0, 0}, 0).faint, row.faint)
        << row.type << " " << row.penumbralMagnitude;
  }
}

}  // namespace
}  // namespace tarvo
