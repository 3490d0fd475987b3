// The sky chart's Earth orientation and frames against ERFA: the same IAU
// models (nutation 2000A, obliquity 2006, sidereal time 2006, precession
// 1976 and long-term), so agreement is limited by rounding and by the few terms the chart
// leaves out (stated with each tolerance).
#include <erfa.h>
#include <erfam.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "base/angles.h"
#include "sky/earth_orientation.h"
#include "sky/sky_objects.h"
#include "tests/error_stats.h"
#include "tests/tolerances.h"

namespace tarvo {
namespace {

using testing::ErrorStats;
using testing::expectNoMisses;

constexpr double kJ2000 = 2451545.0;

// Dates around J2000 (TT Julian Days) where the models are compared closely.
constexpr double kNearDates[] = {2415020.5, 2433282.5, 2444239.5, 2451545.0, 2455197.5,
                                 2460748.79, 2469807.5, 2488069.5};

TEST(Nutation, MatchesErfaNut00aNearJ2000) {
  // The same 1365 terms and fundamental arguments: only summation rounding differs.
  ErrorStats psi{1e-12}, eps{1e-12};
  for (double jd : kNearDates) {
    double dPsi, dEps;
    eraNut00a(jd, 0.0, &dPsi, &dEps);
    const NutationAngles n = nutationAngles(jd);
    psi.add(n.dPsi - dPsi, std::to_string(jd));
    eps.add(n.dEps - dEps, std::to_string(jd));
  }
  expectNoMisses(psi, "dPsi - eraNut00a near J2000, rad");
  expectNoMisses(eps, "dEps - eraNut00a near J2000, rad");
}

TEST(Nutation, MatchesErfaNut00aAcrossMillennia) {
  // Far from J2000 the arguments are large; both reduce them the same way.
  ErrorStats psi{1e-13};
  ErrorStats eps{1e-13};
  for (double year = -13000; year <= 17000; year += 1500) {
    const double jd = kJ2000 + (year - 2000) * 365.25;
    double dPsi, dEps;
    eraNut00a(jd, 0.0, &dPsi, &dEps);
    const NutationAngles n = nutationAngles(jd);
    psi.add(n.dPsi - dPsi, std::to_string(year));
    eps.add(n.dEps - dEps, std::to_string(year));
  }
  expectNoMisses(psi, "dPsi - eraNut00a, -13000..17000, rad");
  expectNoMisses(eps, "dEps - eraNut00a, -13000..17000, rad");
}

TEST(Obliquity, TrueObliquityIsErfaObl06PlusNutation) {
  // The chart's constant term 23.439279444° is 84381.406" cut at nine
  // decimals: 4.4e-10° = 7.8e-12 rad below ERFA's.
  ErrorStats mean{1e-11};
  ErrorStats truth{1e-11};
  for (double jd : kNearDates) {
    double dPsi, dEps;
    eraNut00a(jd, 0.0, &dPsi, &dEps);
    mean.add(meanObliquityDeg(jd) * kDegToRad - eraObl06(jd, 0.0), std::to_string(jd));
    truth.add(trueObliquity(jd) * kDegToRad - (eraObl06(jd, 0.0) + dEps), std::to_string(jd));
  }
  EXPECT_DOUBLE_EQ(meanObliquityDeg(kJ2000), 23.439279444);
  expectNoMisses(mean, "mean obliquity - eraObl06, rad");
  expectNoMisses(truth, "true obliquity - (eraObl06 + dEps), rad");
}

TEST(SiderealTime, MatchesErfaGst06aAndGst00a) {
  // The chart's equation of the equinoxes is dPsi·cos ε without the
  // complementary terms (up to 2.7 mas = 1.3e-8 rad); GST00a's polynomial
  // differs further by 0.00087" per century.
  ErrorStats gst06{2e-8};
  ErrorStats gst00{3e-8};
  for (double jd : kNearDates) {
    const double ours = localSiderealTime(jd, 0.0) * 15.0 * kDegToRad;
    gst06.add(angleDiffRad(ours, eraGst06a(jd, 0.0, jd, 0.0)), std::to_string(jd));
    gst00.add(angleDiffRad(ours, eraGst00a(jd, 0.0, jd, 0.0)), std::to_string(jd));
  }
  expectNoMisses(gst06, "sidereal time - eraGst06a, 1900..2100, rad");
  expectNoMisses(gst00, "sidereal time - eraGst00a, 1900..2100, rad");
}

TEST(SiderealTime, LongitudeShiftsAndRangeRules) {
  const double jd = 2460748.79;
  const double greenwich = localSiderealTime(jd, 0.0);
  EXPECT_GE(greenwich, 0.0);
  EXPECT_LT(greenwich, 24.0);
  for (double lon : {-179.0, -74.006, -7.5, 7.5, 135.0, 180.0}) {
    const double local = localSiderealTime(jd, lon);
    double expected = greenwich + lon / 15.0;
    if (expected < 0) expected += 24.0;  // only negative results are brought up; above 24 stays
    EXPECT_NEAR(local, expected, testing::kFewOperationsRounding) << lon;
  }
  // East of Greenwich late in the sidereal day the value exceeds 24 h unreduced.
  double late = jd;
  while (localSiderealTime(late, 0.0) < 20.0) late += 0.05;
  EXPECT_GT(localSiderealTime(late, 135.0), 24.0 + 5.0);
}

TEST(Precession, AnglesMatchErfaPrec76) {
  ErrorStats errors{1e-12};
  for (double centuries : {-150.0, -50.0, -10.0, -1.0, 0.0, 0.25, 1.0, 10.0, 50.0, 150.0}) {
    const double jd = kJ2000 + centuries * 36525.0;
    double zeta, z, theta;
    eraPrec76(kJ2000, 0.0, jd, 0.0, &zeta, &z, &theta);
    const PrecessionAngles ours = precessionAngles1976(centuries);
    errors.add(ours.zeta * kDegToRad - zeta, std::to_string(centuries));
    errors.add(ours.z * kDegToRad - z, std::to_string(centuries));
    errors.add(ours.theta * kDegToRad - theta, std::to_string(centuries));
  }
  expectNoMisses(errors, "precession angles - eraPrec76, +-150 centuries, rad");
}

// A star moved along its space motion by eraStarpm and turned by a
// precession matrix of ERFA, as the right ascension and declination of date (degrees).
EquatorialPlace erfaStarPlace(const StarSpaceMotion& star, double jd, double (*rp)[3]) {
  const double dec0 = star.decDeg * kDegToRad;
  double ra, dec, pr, pd, px, rv;
  EXPECT_EQ(eraStarpm(star.raDeg * kDegToRad, dec0, star.pmRaCosDecMasPerYear / 1000 * ERFA_DAS2R / std::cos(dec0),
                      star.pmDecMasPerYear / 1000 * ERFA_DAS2R, star.parallaxMas / 1000, star.radialVelocityKmPerS,
                      ERFA_DJ00, 0.0, jd, 0.0, &ra, &dec, &pr, &pd, &px, &rv),
            0);
  double p[3], q[3];
  eraS2c(ra, dec, p);
  eraRxp(rp, p, q);
  eraC2s(q, &ra, &dec);
  return {eraAnp(ra) / kDegToRad, dec / kDegToRad};
}

TEST(StarPlaces, LongTermPrecessionWithSpaceMotionOverTheWholeSpan) {
  // Against eraStarpm and eraLtpb over the catalogue's span: only rounding may differ.
  ErrorStats ltp{1e-9};
  // Against the IAU 2006 precession with frame bias (eraPmat06) over
  // 1000..3000: the places of today's standard, within 1".
  ErrorStats modern{1.0};
  for (double centuries : {-150.0, -100.0, -50.0, -30.0, -10.0, -5.0, -0.5, 0.0, 0.25, 1.0, 5.0,
                           10.0, 50.0, 100.0, 150.0}) {
    const double jd = kJ2000 + centuries * 36525.0;
    double longTerm[3][3], iau2006[3][3];
    eraLtpb(2000.0 + 100.0 * centuries, longTerm);
    eraPmat06(jd, 0.0, iau2006);
    for (std::size_t n = kFirstStarIndex; n < kSkyObjectCount; ++n) {
      const StarSpaceMotion& star = starSpaceMotion(n);
      const EquatorialPlace ours = starPlaceOfDate(jd, star);
      const EquatorialPlace ref = erfaStarPlace(star, jd, longTerm);
      const std::string where = std::to_string(n) + " at " + std::to_string(centuries);
      ltp.add(angleDiffDeg(ours.ra, ref.ra) * std::cos(ref.dec * kDegToRad), where);
      ltp.add(ours.dec - ref.dec, where);
      if (std::fabs(centuries) <= 10.0) {
        const EquatorialPlace today = erfaStarPlace(star, jd, iau2006);
        double a[3], b[3];
        eraS2c(ours.ra * kDegToRad, ours.dec * kDegToRad, a);
        eraS2c(today.ra * kDegToRad, today.dec * kDegToRad, b);
        modern.add(eraSepp(a, b) / kDegToRad * 3600.0, where);
      }
      EXPECT_GE(ours.ra, 0.0);
      EXPECT_LT(ours.ra, 360.0);
    }
  }
  expectNoMisses(ltp, "star place - eraStarpm + eraLtpb, -150..+150 centuries", "deg");
  expectNoMisses(modern, "star place - eraStarpm + eraPmat06, 1000..3000", "arcsec");
}

TEST(Frames, EclipticToEquatorialMatchesErfaRotation) {
  ErrorStats errors{1e-10};
  const double jd = 2460748.79;
  const double eps = trueObliquity(jd) * kDegToRad;
  for (double lambda = 0; lambda < 360; lambda += 37.5)
    for (double beta : {-60.0, -5.0, 0.0, 5.0, 89.0}) {
      // Rotate the ecliptic unit vector about x by −ε.
      double p[3];
      eraS2c(lambda * kDegToRad, beta * kDegToRad, p);
      double r[3][3];
      eraIr(r);
      eraRx(-eps, r);
      double q[3], ra, dec;
      eraRxp(r, p, q);
      eraC2s(q, &ra, &dec);
      const EquatorialPlace ours = eclipticToEquatorial(jd, lambda, beta);
      errors.add(angleDiffDeg(ours.ra, radToDeg(eraAnp(ra))), std::to_string(lambda));
      errors.add(ours.dec - dec / kDegToRad, std::to_string(lambda));
      EXPECT_GE(ours.ra, 0.0);
      EXPECT_LT(ours.ra, 360.0);
    }
  expectNoMisses(errors, "ecliptic to equatorial - ERFA rotation, deg");
}

TEST(Frames, EquatorialToHorizontalMatchesErfaHd2ae) {
  // ERFA counts azimuth from the north through the east; the chart from the south through the west.
  ErrorStats errors{1e-9};
  const double jd = 2460748.79;
  for (double lat : {-70.0, -33.9, 0.0, 40.713, 78.2})
    for (double lon : {-74.006, 0.0, 139.7})
      for (double ra = 5; ra < 360; ra += 50)
        for (double dec : {-80.0, -20.0, 0.0, 35.0, 85.0}) {
          const double hourAngle = 15.0 * localSiderealTime(jd, lon) - ra;
          double az, el;
          eraHd2ae(hourAngle * kDegToRad, dec * kDegToRad, lat * kDegToRad, &az, &el);
          const HorizontalPlace ours = equatorialToHorizontal(jd, ra, dec, lat, lon);
          const std::string where = std::to_string(lat) + " " + std::to_string(ra) + " " + std::to_string(dec);
          errors.add(angleDiffDeg(ours.azimuth, radToDeg(az) - 180.0), where);
          errors.add(ours.altitude - el / kDegToRad, where);
          EXPECT_GT(ours.azimuth, -180.0);
          EXPECT_LE(ours.azimuth, 180.0);
        }
  expectNoMisses(errors, "equatorial to horizontal - eraHd2ae, deg");
}

TEST(Frames, BodyAtTheZenithStaysAtNinetyDegrees) {
  // Rounding can push the sine of the altitude past 1: the result must be 90°, never NaN.
  const double jd = 2460748.79;
  for (double lat : {-33.9, 0.0, 40.713, 89.9}) {
    const double lstDeg = 15.0 * localSiderealTime(jd, 10.0);
    const HorizontalPlace zenith = equatorialToHorizontal(jd, lstDeg, lat, lat, 10.0);
    EXPECT_NEAR(zenith.altitude, 90.0, testing::kZenithAltitudeDeg) << lat;
    EXPECT_LE(zenith.altitude, 90.0) << lat;
  }
}

TEST(TimeArguments, EpochsAndReduction) {
  EXPECT_EQ(centuriesJ2000(2451545.0), 0.0);
  EXPECT_EQ(centuries1900(2415021.0), 0.0);
  EXPECT_EQ(centuries1800(2378496.0 - 2 * 36525.0), -2.0);
  struct Case {
    double value, modulus, expected;
  };
  const Case cases[] = {{-10, 360, 350}, {725, 360, 5}, {360, 360, 0}, {-720, 360, 0},
                        {1296001, 1296000, 1}, {-0.5, 2 * M_PI, 2 * M_PI - 0.5}};
  for (const Case& c : cases) EXPECT_NEAR(reduceAngle(c.value, c.modulus), c.expected, testing::kLongChainRounding) << c.value;
}

}  // namespace
}  // namespace tarvo
