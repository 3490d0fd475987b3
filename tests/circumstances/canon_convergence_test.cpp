// Every eclipse of the generated canon (run-time data directory) has a
// converged greatest eclipse and converged contacts, each contact on its
// circle: a real eclipse is never shown as failed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "catalogue/canon_reader.h"
#include "circumstances/eclipse_circumstances.h"
#include "circumstances/geometry.h"
#include "timebase/time_scales.h"

// Reading and solving all 72,840 entries is for the optimised build.
#include "tests/slow_tests.h"

namespace tarvo {
namespace {

// Arcsec: how far a contact time is from its circle. The iterations stop at
// 1e-6 h, about 0.002" of motion at 1800"/h; 0.01" leaves room for the
// circle's own change.
constexpr double kOnCircleArcsec = 0.01;

double offCircle(const EclipseRecord& r, double t, double EclipseElements::*radius) {
  const EclipseElements e = elementsAt(r, t);
  return std::hypot(e.x, e.y) - e.*radius;
}

TEST(CanonConvergence, EveryEntryConvergesWithItsContactsOnTheirCircles) {
  if (TARVO_SLOW_TESTS_SKIPPED) GTEST_SKIP() << "the whole canon runs in the optimised build only";
  const std::filesystem::path dir = TARVO_RUNDATA_DIR;
  for (const CanonFile& f : kCanonFiles) {
    if (!std::filesystem::exists(dir / f.name)) GTEST_SKIP() << "no canon in " << dir;
  }
  CanonReader reader(dir);
  long entries = 0, grazing = 0, unconvergedGreatest = 0, unconvergedContacts = 0, offCircleContacts = 0;
  double worstOff = 0;
  std::string worstWhere;
  for (const CanonFile& f : kCanonFiles) {
    EclipseEntry r;
    for (ReadStatus s = reader.openFirst(f.firstYear, DeltaTChoice{}, r); succeeded(s); s = reader.readNext(DeltaTChoice{}, r)) {
      ++entries;
      const std::string where = std::to_string(static_cast<int>(r.year)) + "/" +
                                std::to_string(static_cast<int>(r.month)) + "/" +
                                std::to_string(static_cast<int>(r.eclipseDay));
      const GreatestEclipse g = findGreatest(r, 0, 0);
      if (!g.converged) {
        ++unconvergedGreatest;
        ADD_FAILURE() << where << ": greatest eclipse did not converge";
        continue;
      }
      const ContactTimes c = findContacts(r, g.tHours);
      if (!c.converged) {
        ++unconvergedContacts;
        ADD_FAILURE() << where << ": contacts did not converge";
        continue;
      }
      struct Contact {
        std::optional<double> t;
        double EclipseElements::*radius;
      };
      for (const Contact& k : {Contact{c.p1, &EclipseElements::lp}, Contact{c.u1, &EclipseElements::lu},
                               Contact{c.u2, &EclipseElements::lt}, Contact{c.u3, &EclipseElements::lt},
                               Contact{c.u4, &EclipseElements::lu}, Contact{c.p4, &EclipseElements::lp}}) {
        if (!k.t) continue;
        const double off = std::fabs(offCircle(r, *k.t, k.radius));
        // A grazing contact sits at greatest eclipse, the circle missed by
        // at most half an arcsecond.
        if (*k.t == g.tHours && off > kOnCircleArcsec && off <= 0.5) {
          ++grazing;
          continue;
        }
        if (off > worstOff) {
          worstOff = off;
          worstWhere = where;
        }
        if (off > kOnCircleArcsec) ++offCircleContacts;
      }
    }
  }
  std::printf("%ld entries: %ld greatest and %ld contact sets unconverged, %ld contacts off their "
              "circle (worst %.2g\" at %s), %ld grazing at greatest eclipse\n",
              entries, unconvergedGreatest, unconvergedContacts, offCircleContacts, worstOff,
              worstWhere.c_str(), grazing);
  EXPECT_EQ(entries, 72840);
  EXPECT_EQ(unconvergedGreatest, 0);
  EXPECT_EQ(unconvergedContacts, 0);
  EXPECT_EQ(offCircleContacts, 0);
}

// The day of greatest eclipse is its UT day at every ΔT, up to 8.5 days at
// 16999: 0 ≤ UT hours of greatest eclipse < 24 after dayStartJd, which lies
// at 0 h UT (within the seconds between the catalogue's greatest eclipse and
// the one found from the elements), and the two add up to the UT Julian Day.
TEST(CanonConvergence, GreatestEclipseFallsOnItsUtDayAtEveryDeltaT) {
  if (TARVO_SLOW_TESTS_SKIPPED) GTEST_SKIP() << "the whole canon runs in the optimised build only";
  const std::filesystem::path dir = TARVO_RUNDATA_DIR;
  for (const CanonFile& f : kCanonFiles) {
    if (!std::filesystem::exists(dir / f.name)) GTEST_SKIP() << "no canon in " << dir;
  }
  CanonReader reader(dir);
  long entries = 0, misses = 0;
  double worstJdDays = 0, worstMidnightDays = 0;
  for (const CanonFile& f : kCanonFiles) {
    EclipseEntry r;
    for (ReadStatus s = reader.openFirst(f.firstYear, DeltaTChoice{}, r); succeeded(s); s = reader.readNext(DeltaTChoice{}, r)) {
      ++entries;
      const EclipseCircumstances e =
          eclipseCircumstances(r, deltaTModel(centuriesFromJ2000(r.greatestJd)), 0);
      const double ut = e.utHours(e.greatestHours);
      const double jdDays = std::fabs(e.dayStartJd + ut / 24 - r.greatestJd);
      const double midnightDays = std::fabs(e.dayStartJd + 0.5 - std::round(e.dayStartJd + 0.5));
      worstJdDays = std::fmax(worstJdDays, jdDays);
      worstMidnightDays = std::fmax(worstMidnightDays, midnightDays);
      if (!(ut >= 0 && ut < 24 && jdDays <= 1e-8 && midnightDays < 1e-3)) {
        if (++misses <= 10) ADD_FAILURE() << r.year << "/" << r.month << "/" << r.eclipseDay << ": ut " << ut;
      }
    }
  }
  std::printf("[ measured ] %ld entries, %ld outside the UT day; worst day_start_jd + ut/24 - jd_ut %.2g d, "
              "worst day start from 0 h %.2g d\n",
              entries, misses, worstJdDays, worstMidnightDays);
  EXPECT_EQ(entries, 72840);
  EXPECT_EQ(misses, 0);
}

}  // namespace
}  // namespace tarvo
