// Eclipse geometry: greatest eclipse, contacts, sub-lunar point, site
// circumstances, and the behaviour of the capped iterations on bad elements.
#include "circumstances/geometry.h"
#include "circumstances/eclipse_circumstances.h"
#include "base/angles.h"
#include "tests/circumstances/synthetic_eclipse.h"
#include "tests/tolerances.h"

#include <erfa.h>
#include <erfam.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <vector>


namespace tarvo {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

using testing::totalEclipse;

// The same motion with the polynomials re-expanded about t = tau, as if the
// reference hour were tau hours later.
EclipseRecord shiftedOrigin(const EclipseRecord& a, double tau) {
  EclipseRecord b = a;
  b.epochHour = a.epochHour + tau;
  auto cubic = [tau](double c0, double c1, double c2, double c3, double& d0, double& d1, double& d2,
                     double& d3) {
    d0 = c0 + c1 * tau + c2 * tau * tau + c3 * tau * tau * tau;
    d1 = c1 + 2 * c2 * tau + 3 * c3 * tau * tau;
    d2 = c2 + 3 * c3 * tau;
    d3 = c3;
  };
  cubic(a.x0, a.x1, a.x2, a.x3, b.x0, b.x1, b.x2, b.x3);
  cubic(a.y0, a.y1, a.y2, a.y3, b.y0, b.y1, b.y2, b.y3);
  b.gst0 = a.gst0 + a.gst1 * tau;
  b.lp0 = a.lp0 + a.lp1 * tau;
  b.lu0 = a.lu0 + a.lu1 * tau;
  b.lt0 = a.lt0 + a.lt1 * tau;
  b.ra0 = a.ra0 + a.ra1 * tau;
  b.dec0 = a.dec0 + a.dec1 * tau;
  return b;
}

double axisDistance(const EclipseRecord& r, double t) {
  const EclipseElements e = elementsAt(r, t);
  return std::hypot(e.x, e.y);
}

// Greatest eclipse and the contacts P1, U1, U2, U3, U4, P4 of totalEclipse(),
// hours of TT from its epoch hour, by synthetic_eclipse_times.py (exact
// arithmetic, bisection).
constexpr double kGreatestHours = 0.18850905337298135;
constexpr double kContactHours[6] = {-2.8535537503531123, -1.7348615523343329, -0.71608768820848434,
                                     1.091187415080173,   2.1030317575969737,  3.2091167217235976};
// The iterations stop once a step is below kStepToleranceHours (1e-6 h) and
// land within 2e-10 h of these; 1e-8 h still catches a loop stopped early.
constexpr double kTimeToleranceHours = 1e-8;

// A record whose Moon stands still at hour angle hDeg (site at longitude 0,
// ΔT 0) and declination decDeg.
EclipseRecord fixedMoon(double hDeg, double decDeg) {
  EclipseRecord r = totalEclipse();
  r.gst0 = hDeg + 37.0;
  r.ra0 = 37.0;
  r.gst1 = r.ra1 = r.dec1 = 0;
  r.dec0 = decDeg;
  return r;
}

TEST(GreatestEclipse, IsTheLeastDistanceFromTheAxis) {
  const EclipseRecord r = totalEclipse();
  const GreatestEclipse g = findGreatest(r, 0, 0);
  ASSERT_TRUE(g.converged);
  // A dense scan around the result finds nothing closer to the axis
  // (0.0001 h of motion at 1800"/h is 0.18").
  const double d = axisDistance(r, g.tHours);
  for (double dt = -0.5; dt <= 0.5; dt += 0.0001) {
    EXPECT_GE(axisDistance(r, g.tHours + dt) + 1e-9, d) << dt;
  }
}

TEST(GreatestEclipse, NegativeTimeIsFoundLikeAPositiveOne) {
  const EclipseRecord a = totalEclipse();
  const double tA = findGreatest(a, 0, 0).tHours;
  // Reference hours 2.5 h after and 2.5 h before the same motion.
  for (double tau : {2.5, -2.5}) {
    const EclipseRecord b = shiftedOrigin(a, tau);
    const GreatestEclipse g = findGreatest(b, 0, 0);
    ASSERT_TRUE(g.converged) << tau;
    EXPECT_NEAR(g.tHours + tau, tA, testing::kNewtonInstantH) << tau;
    if (tau > 0) {
      EXPECT_LT(g.tHours, -2.0);
    }
  }
}

TEST(GreatestEclipse, ConvergedResultsMatchTheReferenceFromEveryStart) {
  const EclipseRecord a = totalEclipse();
  const SiteValues site{10, 20, 0};
  const double altitudeAtGreatest = siteCircumstances(a, site, kGreatestHours, 0).altitudeDeg;
  // The same motion with reference hours tau later.
  for (double tau : {0.0, 2.5, -1.75}) {
    const EclipseRecord r = shiftedOrigin(a, tau);
    for (double start : {0.0, -1.0, 1.5}) {
      SCOPED_TRACE(::testing::Message() << "tau " << tau << ", start " << start);
      const GreatestEclipse g = findGreatest(r, start, 0);
      ASSERT_TRUE(g.converged);
      EXPECT_NEAR(g.tHours + tau, kGreatestHours, kTimeToleranceHours);
      const ContactTimes c = findContacts(r, g.tHours);
      ASSERT_TRUE(c.converged && c.u1 && c.u2 && c.u3 && c.u4);
      const double contacts[6] = {c.p1, *c.u1, *c.u2, *c.u3, *c.u4, c.p4};
      for (int k = 0; k < 6; ++k)
        EXPECT_NEAR(contacts[k] + tau, kContactHours[k], kTimeToleranceHours) << "contact " << k;
      const SiteAtGreatest s = greatestAtSite(r, site, start, 0);
      EXPECT_TRUE(s.converged);
      // 1e-8 h of the Moon's diurnal motion is below 2e-7 degrees.
      EXPECT_NEAR(s.altitudeDeg, altitudeAtGreatest, testing::kNewtonAltitudeDeg);
    }
  }
}

TEST(Contacts, TotalEclipseContactsLieOnTheirCirclesInOrder) {
  const EclipseRecord r = totalEclipse();
  const double tg = findGreatest(r, 0, 0).tHours;
  const ContactTimes c = findContacts(r, tg);
  ASSERT_TRUE(c.converged);
  EXPECT_LT(c.p1, c.u1);
  EXPECT_LT(c.u1, c.u2);
  EXPECT_LT(c.u2, tg);
  EXPECT_LT(tg, c.u3);
  EXPECT_LT(c.u3, c.u4);
  EXPECT_LT(c.u4, c.p4);
  // At each contact the Moon's centre is at the contact distance; 1e-6 h of
  // motion is 0.002", so 0.01" is the iteration's own tolerance.
  struct Case {
    double t;
    double EclipseElements::*radius;
  };
  ASSERT_TRUE(c.u1 && c.u2 && c.u3 && c.u4);
  for (const Case& k : {Case{c.p1, &EclipseElements::lp}, Case{*c.u1, &EclipseElements::lu},
                        Case{*c.u2, &EclipseElements::lt}, Case{*c.u3, &EclipseElements::lt},
                        Case{*c.u4, &EclipseElements::lu}, Case{c.p4, &EclipseElements::lp}}) {
    EXPECT_NEAR(axisDistance(r, k.t), elementsAt(r, k.t).*k.radius, testing::kContactRadiusArcsec) << k.t;
  }
  // Umbral magnitude is 0 at the umbral contacts and 1 at the internal ones.
  const SiteValues site{0, 0, 0};
  EXPECT_NEAR(siteCircumstances(r, site, *c.u1, 0).umbralMagnitude, 0, testing::kContactMagnitude);
  EXPECT_NEAR(siteCircumstances(r, site, *c.u4, 0).umbralMagnitude, 0, testing::kContactMagnitude);
  EXPECT_NEAR(siteCircumstances(r, site, *c.u2, 0).umbralMagnitude, 1, testing::kContactMagnitude);
  EXPECT_NEAR(siteCircumstances(r, site, *c.u3, 0).umbralMagnitude, 1, testing::kContactMagnitude);
  EXPECT_LT(siteCircumstances(r, site, c.p1, 0).umbralMagnitude, 0);
  EXPECT_LT(siteCircumstances(r, site, c.p4, 0).umbralMagnitude, 0);
}

TEST(Contacts, TheTypeDecidesWhichContactsExist) {
  EclipseRecord r = totalEclipse();
  const double tg = findGreatest(r, 0, 0).tHours;
  const ContactTimes total = findContacts(r, tg);

  r.eclipseType = 2;
  const ContactTimes partial = findContacts(r, tg);
  EXPECT_TRUE(partial.converged);
  EXPECT_FALSE(partial.u2.has_value());
  EXPECT_FALSE(partial.u3.has_value());
  EXPECT_EQ(partial.p1, total.p1);
  EXPECT_EQ(partial.u1, total.u1);
  EXPECT_EQ(partial.u4, total.u4);
  EXPECT_EQ(partial.p4, total.p4);

  r.eclipseType = 3;
  const ContactTimes penumbral = findContacts(r, tg);
  EXPECT_TRUE(penumbral.converged);
  EXPECT_FALSE(penumbral.u1.has_value());
  EXPECT_FALSE(penumbral.u2.has_value());
  EXPECT_FALSE(penumbral.u3.has_value());
  EXPECT_FALSE(penumbral.u4.has_value());
  EXPECT_EQ(penumbral.p1, total.p1);
  EXPECT_EQ(penumbral.p4, total.p4);

  // A blank type code (0, 4–6) computes all six.
  r.eclipseType = 5;
  const ContactTimes blank = findContacts(r, tg);
  EXPECT_EQ(blank.u2, total.u2);
  EXPECT_EQ(blank.u3, total.u3);
}

// A Moon moving straight along y = y0 at 1800"/h, the umbral circle of
// 3500" shrinking by 1.7"/h as in real elements, the internal one 1700".
EclipseRecord grazingEclipse(double type, double y0) {
  EclipseRecord r = totalEclipse();
  r.eclipseType = type;
  r.x0 = 0; r.x1 = 1800; r.x2 = r.x3 = 0;
  r.y0 = y0; r.y1 = r.y2 = r.y3 = 0;
  r.lu0 = 3500; r.lu1 = -1.7;
  r.lt0 = 1700; r.lt1 = 0;
  return r;
}

TEST(Contacts, GrazingContactsConvergeOnTheirCircles) {
  // Arcsec the Moon's centre reaches inside the umbral circle: down to the
  // 1e-5" of an umbral magnitude of 0.000003.
  for (double depth : {1.0, 1e-2, 1e-3, 1e-4, 1e-5}) {
    const EclipseRecord r = grazingEclipse(2, 3500 - depth);
    const GreatestEclipse g = findGreatest(r, 0.3, 0);
    ASSERT_TRUE(g.converged) << depth;
    const ContactTimes c = findContacts(r, g.tHours);
    ASSERT_TRUE(c.converged) << depth;
    ASSERT_TRUE(c.u1 && c.u4) << depth;
    EXPECT_LT(*c.u1, *c.u4) << depth;
    for (double t : {*c.u1, *c.u4}) {
      EXPECT_NEAR(axisDistance(r, t), elementsAt(r, t).lu, testing::kContactRadiusArcsec) << depth << " " << t;
    }
  }
}

TEST(Contacts, AMissedCircleTouchesWithinHalfAnArcsecondAndFailsBeyond) {
  struct Case {
    double type, y0;
    bool converged;
  };
  // A total eclipse whose Moon stops 0.05" short of the internal circle
  // touches it at greatest eclipse; a partial one 5" short of the umbra has
  // no umbral contact, and the set does not converge.
  for (const Case& k : {Case{1, 1700.05, true}, Case{1, 1700.4, true}, Case{1, 1701, false},
                        Case{2, 3505, false}}) {
    const EclipseRecord r = grazingEclipse(k.type, k.y0);
    const GreatestEclipse g = findGreatest(r, 0, 0);
    ASSERT_TRUE(g.converged);
    const ContactTimes c = findContacts(r, g.tHours);
    EXPECT_EQ(c.converged, k.converged) << k.y0;
    if (k.converged) {
      EXPECT_EQ(c.u2, g.tHours) << k.y0;
      EXPECT_EQ(c.u3, g.tHours) << k.y0;
    }
  }
}

TEST(SubLunarPoint, LongitudeWrapsIntoTheHalfOpenRange) {
  EclipseRecord r = totalEclipse();
  r.gst1 = r.ra1 = 0;
  struct Case {
    double gstMinusRa, deltaT, longitude;
  };
  for (const Case& k : {Case{-200, 0, -160}, Case{200, 0, 160}, Case{0, 0, 0}, Case{180, 0, 180},
                        Case{-180, 0, 180}, Case{540, 0, 180}, Case{-720.5, 0, 0.5},
                        Case{10, 1000, -5.82193}}) {
    r.ra0 = 123.0;
    r.gst0 = r.ra0 + k.gstMinusRa;
    const GeoPoint p = subLunarPoint(r, 0, k.deltaT);
    EXPECT_NEAR(p.longitudeDeg, k.longitude, testing::kLongChainRounding) << k.gstMinusRa;
    EXPECT_GT(p.longitudeDeg, -180);
    EXPECT_LE(p.longitudeDeg, 180);
    EXPECT_EQ(p.latitudeDeg, r.dec0);
  }
}

TEST(SiteCircumstances, ZenithAtTheSubLunarPointAndNadirAtTheAntipode) {
  const EclipseRecord r = totalEclipse();
  for (double deltaT : {0.0, 69.2, 12000.0}) {
    for (double t : {-2.0, 0.0, 0.7, 3.1}) {
      const GeoPoint p = subLunarPoint(r, t, deltaT);
      // The two formulas round the sidereal rate differently (0.00417807
      // against 15 × 1.00273790935 / 3600 degrees per second): at ΔT = 12000 s
      // that is 5.6e-5°, so 1e-4° covers it.
      const double alt = siteCircumstances(r, {p.longitudeDeg, p.latitudeDeg, 0}, t, deltaT).altitudeDeg;
      EXPECT_NEAR(alt, 90, testing::kSubLunarZenithDeg) << t << " " << deltaT;
      const double antiLon = p.longitudeDeg > 0 ? p.longitudeDeg - 180 : p.longitudeDeg + 180;
      const double anti = siteCircumstances(r, {antiLon, -p.latitudeDeg, 0}, t, deltaT).altitudeDeg;
      EXPECT_NEAR(anti, -90, testing::kSubLunarZenithDeg) << t << " " << deltaT;
    }
  }
}

TEST(SiteCircumstances, AzimuthIsCountedFromTheSouthThroughTheWest) {
  const SiteValues site{0, 40, 0};
  // Due south: hour angle 0, declination below the latitude.
  EXPECT_NEAR(angleDiffDeg(siteCircumstances(fixedMoon(0, 10), site, 0, 0).azimuthDeg, 0), 0, testing::kLongChainRounding);
  // Due west on the equator: hour angle 90°, declination 0.
  EXPECT_NEAR(siteCircumstances(fixedMoon(90, 0), {0, 0, 0}, 0, 0).azimuthDeg, 90, testing::kLongChainRounding);
  // East, and north of the zenith (declination above the latitude).
  EXPECT_NEAR(siteCircumstances(fixedMoon(-90, 0), {0, 0, 0}, 0, 0).azimuthDeg, 270, testing::kLongChainRounding);
  EXPECT_NEAR(siteCircumstances(fixedMoon(0, 60), site, 0, 0).azimuthDeg, 180, testing::kLongChainRounding);
}

TEST(SiteCircumstances, AltitudeAndAzimuthAgreeWithErfa) {
  // ERFA's azimuth runs from north through east; ours from south through west.
  // Both take the hour angle positive to the west.
  int compared = 0;
  for (double lat : {-89.0, -45.0, -10.0, 0.0, 35.7, 64.1, 89.5}) {
    for (double dec : {-28.0, -5.0, 0.0, 17.0, 28.0}) {
      for (double h = -180; h < 180; h += 22.5) {
        for (double deltaT : {0.0, 3600.0}) {
          const EclipseRecord r = fixedMoon(h, dec);
          const double lon = 139.77;
          const SiteCircumstances c = siteCircumstances(r, {lon, lat, 0}, 0, deltaT);
          const double ha = h + lon - deltaT / 3600 * 15 * 1.00273790935;
          double az = 0, el = 0;
          eraHd2ae(ha * ERFA_DD2R, dec * ERFA_DD2R, lat * ERFA_DD2R, &az, &el);
          EXPECT_NEAR(c.altitudeDeg, el * ERFA_DR2D, testing::kLongChainRounding) << lat << " " << dec << " " << h;
          // Near the zenith the azimuth is ill-conditioned; skip it there.
          if (el * ERFA_DR2D < 89.9) {
            EXPECT_NEAR(angleDiffDeg(c.azimuthDeg, az * ERFA_DR2D + 180), 0, testing::kAzimuthBesideErfaDeg)
                << lat << " " << dec << " " << h;
          }
          EXPECT_GE(c.azimuthDeg, 0);
          EXPECT_LE(c.azimuthDeg, 360);
          ++compared;
        }
      }
    }
  }
  EXPECT_EQ(compared, 7 * 5 * 16 * 2);
}

// Another ΔT turns the Earth under the same TT geometry: greatest eclipse
// and the contacts stay, the sub-lunar point moves east by ΔΔT/240 degrees
// times the sidereal rate 1.0027379 (within 1e-8 degrees per second: the
// rotation constant is kept to six significant digits).
TEST(EclipseCircumstances, AnotherDeltaTMovesOnlyTheSubLunarLongitude) {
  const EclipseRecord r = totalEclipse();
  const EclipseCircumstances base = eclipseCircumstances(r, 60, 0);
  ASSERT_TRUE(base.converged());
  for (const double shift : {100.0, -3600.0, 7200.0}) {
    const EclipseCircumstances e = eclipseCircumstances(r, 60 + shift, 0);
    ASSERT_TRUE(e.converged()) << shift;
    EXPECT_EQ(e.greatestHours, base.greatestHours) << shift;
    EXPECT_EQ(e.contacts.p1, base.contacts.p1) << shift;
    EXPECT_EQ(e.contacts.u2, base.contacts.u2) << shift;
    EXPECT_EQ(e.contacts.p4, base.contacts.p4) << shift;
    EXPECT_EQ(e.subLunar.latitudeDeg, base.subLunar.latitudeDeg) << shift;
    EXPECT_NEAR(angleDiffDeg(e.subLunar.longitudeDeg, base.subLunar.longitudeDeg),
                shift / 240 * 1.0027379, std::fabs(shift) * testing::kSiderealShiftRelative)
        << shift;
  }
}

// Greatest eclipse is the least axis distance, the contacts those of the
// contact search from it, and with the catalogue's Julian Day at the UT of
// that greatest eclipse the day starts at midnight.
TEST(EclipseCircumstances, GreatestContactsAndTheDaysStart) {
  EclipseRecord r = totalEclipse();
  const double deltaT = 72;
  const EclipseCircumstances first = eclipseCircumstances(r, deltaT, 0);
  ASSERT_TRUE(first.converged());
  for (double dt : {-1e-3, 1e-3}) {
    EXPECT_LT(axisDistance(r, first.greatestHours), axisDistance(r, first.greatestHours + dt));
  }
  const ContactTimes c = findContacts(r, first.greatestHours);
  EXPECT_EQ(first.contacts.p1, c.p1);
  EXPECT_EQ(first.contacts.u1, c.u1);
  EXPECT_EQ(first.contacts.u3, c.u3);
  EXPECT_EQ(first.contacts.p4, c.p4);

  r.greatestJd = 2460000.5 + (r.epochHour + first.greatestHours - deltaT / 3600) / 24;
  const EclipseCircumstances e = eclipseCircumstances(r, deltaT, 1.5);  // another guess
  EXPECT_NEAR(e.greatestHours, first.greatestHours, testing::kNewtonInstantH);
  EXPECT_EQ(e.greatestJd, r.greatestJd);
  EXPECT_NEAR(e.dayStartJd, 2460000.5, testing::kJulianDayRoundingD);
  EXPECT_NEAR(e.utHours(e.greatestHours), r.epochHour + e.greatestHours - 0.02, testing::kFewOperationsRounding);
}

TEST(EclipseCircumstances, UnconvergedEntryKeepsFinitePlaceholders) {
  EclipseRecord r = totalEclipse();
  r.x0 = kNaN;
  const EclipseCircumstances e = eclipseCircumstances(r, 72, 0.25);
  EXPECT_FALSE(e.greatestConverged);
  EXPECT_FALSE(e.converged());
  for (double v : {e.greatestHours, e.subLunar.longitudeDeg, e.subLunar.latitudeDeg, e.dayStartJd,
                   e.contacts.p1, e.contacts.p4}) {
    EXPECT_TRUE(std::isfinite(v));
  }
  EXPECT_FALSE(e.contacts.u1 || e.contacts.u2);
}

// The Moon's crossings of the horizon agree with a dense sampling of its
// altitude: on the equator, seen 85° east of the sub-lunar point it sets,
// 85° west of it it rises, at the sub-lunar point it stays up. At the
// Moon's declination of 20° it dips 0.2° under the horizon near 69.8° N,
// 180° from it (sets and rises again), and stands 0.2° up near 69.8° S
// below it (rises and sets again).
TEST(LocalCircumstances, HorizonCrossingsAgreeWithDenseSampling) {
  EclipseRecord high = totalEclipse();
  high.dec0 = 20;
  high.dec1 = 0;
  struct Case {
    const EclipseRecord& record;
    double fromSubLunarDeg, latitudeDeg;
    std::vector<bool> sets;  // each crossing in time order: a set (true) or a rise
  };
  const EclipseRecord low = totalEclipse();
  for (const Case& c : {Case{low, 85, 0, {true}}, Case{low, -85, 0, {false}}, Case{low, 0, 0, {}},
                        Case{high, 180, 69.8, {true, false}}, Case{high, 0, -69.8, {false, true}}}) {
    const EclipseCircumstances e = eclipseCircumstances(c.record, 0, 0);
    ASSERT_TRUE(e.converged());
    const SiteValues site{e.subLunar.longitudeDeg + c.fromSubLunarDeg, c.latitudeDeg, 0};
    const LocalCircumstances local = localCircumstances(e, site);
    EXPECT_EQ(local.greatest.altitudeDeg, siteCircumstances(e.record, site, e.greatestHours, 0).altitudeDeg);
    std::vector<double> crossings;
    double previous = siteCircumstances(e.record, site, e.contacts.p1, 0).altitudeDeg;
    for (double t = e.contacts.p1; t <= e.contacts.p4; t += 1e-4) {
      const double a = siteCircumstances(e.record, site, t, 0).altitudeDeg;
      if ((a > 0) != (previous > 0)) crossings.push_back(t);
      previous = a;
    }
    ASSERT_EQ(crossings.size(), c.sets.size()) << site.longitudeDeg << " " << site.latitudeDeg;
    ASSERT_EQ(local.horizons.size(), c.sets.size()) << site.longitudeDeg << " " << site.latitudeDeg;
    for (std::size_t i = 0; i < crossings.size(); ++i) {
      EXPECT_EQ(local.horizons[i].moonSets, c.sets[i]) << i;
      EXPECT_NEAR(local.horizons[i].tHours, crossings[i], testing::kHorizonCrossingH) << i;
      EXPECT_NEAR(local.horizons[i].at.altitudeDeg, 0, testing::kHorizonCrossingDeg) << i;
    }
  }
}

TEST(BadElements, StopUnconvergedWithoutHanging) {
  const EclipseRecord good = totalEclipse();
  EclipseRecord still = good;  // no relative motion at all
  still.x1 = still.x2 = still.x3 = still.y1 = still.y2 = still.y3 = 0;
  EclipseRecord nan = good;
  nan.x0 = kNaN;
  EclipseRecord huge = good;  // squares overflow to infinity
  huge.x0 = 1e300;
  huge.x1 = 1e300;
  EclipseRecord infinite = good;
  infinite.y1 = std::numeric_limits<double>::infinity();
  // x(t) = 2 − 2t + t³, y ≡ 0: Newton jumps between t = 0 and t = 1 for ever.
  EclipseRecord cycling = good;
  cycling.x0 = 2; cycling.x1 = -2; cycling.x2 = 0; cycling.x3 = 1;
  cycling.y0 = cycling.y1 = cycling.y2 = cycling.y3 = 0;

  for (const EclipseRecord& r : {still, nan, huge, infinite, cycling}) {
    const GreatestEclipse g = findGreatest(r, 0, 0);
    EXPECT_FALSE(g.converged);
    EXPECT_FALSE(greatestAtSite(r, {0, 0, 0}, 0, 0).converged);
  }
  // Contacts from a finite time stop unconverged too.
  for (const EclipseRecord& r : {still, nan, huge, infinite}) {
    EXPECT_FALSE(findContacts(r, 0.5).converged);
  }
  const GreatestEclipse g = findGreatest(cycling, 0, 0);
  EXPECT_TRUE(g.tHours == 0 || g.tHours == 1) << g.tHours;
  // The good record from a NaN start does not converge either.
  EXPECT_FALSE(findGreatest(good, kNaN, 0).converged);
}

}  // namespace
}  // namespace tarvo
