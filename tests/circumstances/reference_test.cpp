// The geometry run on the generated canon, checked against a direct Swiss
// Ephemeris computation of the same eclipses: contact times, the Moon's
// geocentric altitude at greatest eclipse at a few sites, and the umbral
// magnitude at greatest eclipse.
//
// The reference takes the apparent geocentric Sun and Moon (true equator and
// equinox of date) at TT instants, the Moon's angular distance from the
// antisolar point, and the shadow radii by the canon's rule:
//   radius = 1.02 × (0.998340 × π_Moon + π_Sun ± s_Sun),
// with parallaxes from a_E = 6378.137 km, the Moon's radius 0.2725076 a_E and
// the Sun's 695990 km. Hour angles use apparent sidereal time at UT = TT − ΔT,
// with the program's own ΔT so that only the geometry is compared.
//
// The canon is read from TARVO_CANON_DIR when set, else from the run-time
// data directory; the test is skipped when neither holds a canon file.
#include <gtest/gtest.h>
#include <swephexp.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "catalogue/canon_reader.h"
#include "circumstances/geometry.h"
#include "core/angles.h"
#include "tests/error_stats.h"
#include "timebase/time_scales.h"

namespace tarvo {
namespace {

using testing::ErrorStats;
using testing::expectNoMisses;

constexpr double kArcsecPerRadian = 206264.80624709636;
constexpr double kEarthRadiusKm = 6378.137;
constexpr double kMoonRadiusEarthRadii = 0.2725076;
constexpr double kSunRadiusKm = 695990.0;
constexpr double kKmPerAu = 149597870.700;

// Tolerances: what the polynomial elements are meant to reproduce.
constexpr double kContactToleranceSeconds = 60;
constexpr double kAltitudeToleranceDeg = 0.05;
constexpr double kMagnitudeTolerance = 0.002;
// Entries compared per canon file, spread evenly, first and last included.
constexpr int kEntriesPerFile = 16;

struct Place {
  double raDeg, decDeg, distanceKm;
};

bool apparentPlace(int body, double jdTT, Place& out) {
  double xx[6] = {};
  char error[AS_MAXCH] = {};
  const int got = swe_calc(jdTT, body, SEFLG_SWIEPH | SEFLG_EQUATORIAL, xx, error);
  if (got < 0 || (got & SEFLG_SWIEPH) == 0) return false;
  out = {xx[0], xx[1], xx[2] * kKmPerAu};
  return true;
}

double asinArcsec(double ratio) { return std::asin(ratio) * kArcsecPerRadian; }

// The Moon against the shadow at one TT instant, from the ephemeris alone.
struct Shadow {
  bool ok = false;
  double axisDistance = 0;  // arcsec, Moon's centre from the antisolar point
  double penumbra = 0, umbra = 0, moonSemiDiameter = 0;  // arcsec
  double moonRaDeg = 0, moonDecDeg = 0;
};

Shadow shadowAt(double jdTT) {
  Shadow s;
  Place sun{}, moon{};
  if (!apparentPlace(SE_SUN, jdTT, sun) || !apparentPlace(SE_MOON, jdTT, moon)) return s;
  const double aRa = (sun.raDeg + 180) * kDegToRad, aDec = -sun.decDeg * kDegToRad;
  const double mRa = moon.raDeg * kDegToRad, mDec = moon.decDeg * kDegToRad;
  // Angular distance by the haversine-stable atan2 form.
  const double dRa = mRa - aRa;
  const double a = std::cos(mDec) * std::sin(dRa);
  const double b = std::cos(aDec) * std::sin(mDec) - std::sin(aDec) * std::cos(mDec) * std::cos(dRa);
  const double c = std::sin(aDec) * std::sin(mDec) + std::cos(aDec) * std::cos(mDec) * std::cos(dRa);
  s.axisDistance = std::atan2(std::hypot(a, b), c) * kArcsecPerRadian;
  const double moonParallax = asinArcsec(kEarthRadiusKm / moon.distanceKm);
  const double sunParallax = asinArcsec(kEarthRadiusKm / sun.distanceKm);
  const double sunSemiDiameter = asinArcsec(kSunRadiusKm / sun.distanceKm);
  s.moonSemiDiameter = asinArcsec(kMoonRadiusEarthRadii * kEarthRadiusKm / moon.distanceKm);
  s.penumbra = 1.02 * (0.998340 * moonParallax + sunParallax + sunSemiDiameter);
  s.umbra = 1.02 * (0.998340 * moonParallax + sunParallax - sunSemiDiameter);
  s.moonRaDeg = moon.raDeg;
  s.moonDecDeg = moon.decDeg;
  s.ok = true;
  return s;
}

enum class Circle { Penumbral, Umbral, Internal };

// Distance from the contact circle, arcsec: negative inside.
double beyondCircle(const Shadow& s, Circle circle) {
  switch (circle) {
    case Circle::Penumbral: return s.axisDistance - (s.penumbra + s.moonSemiDiameter);
    case Circle::Umbral: return s.axisDistance - (s.umbra + s.moonSemiDiameter);
    case Circle::Internal: return s.axisDistance - (s.umbra - s.moonSemiDiameter);
  }
  return 0;
}

// An eclipse of the canon with the TT Julian Day of its t = 0.
struct Entry {
  std::string file;
  EclipseRecord stored;  // as in the file (TT)
  double epochJdTT;      // TT Julian Day at t = 0
};

double epochJd(const EclipseRecord& r) {
  // Julian calendar before 1582 October 15, Gregorian from then on.
  const bool gregorian = r.year > 1582 || (r.year == 1582 && (r.month > 10 || (r.month == 10 && r.eclipseDay >= 15)));
  return swe_julday(static_cast<int>(r.year), static_cast<int>(r.month), static_cast<int>(r.eclipseDay),
                    r.epochHour, gregorian ? SE_GREG_CAL : SE_JUL_CAL);
}

std::vector<Entry> sampleCanon(const std::filesystem::path& dir) {
  std::vector<Entry> out;
  for (const CanonFile& f : kCanonFiles) {
    std::ifstream in(dir / f.name, std::ios::binary);
    if (!in) continue;
    std::stringstream text;
    text << in.rdbuf();
    const ParsedCanonFile parsed = parseCanonText(text.str(), f.name);
    EXPECT_FALSE(parsed.defect.has_value()) << f.name;
    const std::size_t n = parsed.entries.size();
    if (n == 0) continue;
    const std::size_t picks = std::min<std::size_t>(n, kEntriesPerFile);
    for (std::size_t k = 0; k < picks; ++k) {
      const std::size_t i = picks == 1 ? 0 : k * (n - 1) / (picks - 1);
      const EclipseRecord& r = parsed.entries[i];
      out.push_back({f.name, r, epochJd(r)});
    }
  }
  return out;
}

std::filesystem::path canonDirectory() {
  if (const char* dir = std::getenv("TARVO_CANON_DIR")) return dir;
  return TARVO_RUNDATA_DIR;
}

// Least axis distance near t0 (hours from the epoch) by golden-section search.
double referenceGreatest(double epochJdTT, double t0) {
  const double g = (std::sqrt(5.0) - 1) / 2;
  double a = t0 - 1, b = t0 + 1;
  const auto f = [&](double t) { return shadowAt(epochJdTT + t / 24).axisDistance; };
  double c = b - g * (b - a), d = a + g * (b - a);
  double fc = f(c), fd = f(d);
  for (int i = 0; i < 60 && b - a > 1e-7; ++i) {
    if (fc < fd) {
      b = d; d = c; fd = fc; c = b - g * (b - a); fc = f(c);
    } else {
      a = c; c = d; fc = fd; d = a + g * (b - a); fd = f(d);
    }
  }
  return (a + b) / 2;
}

// Contact with the circle between inside (at tIn) and outside (at tOut), by
// bisection; hours from the epoch.
double referenceContact(double epochJdTT, Circle circle, double tIn, double tOut) {
  for (int i = 0; i < 50; ++i) {
    const double mid = (tIn + tOut) / 2;
    (beyondCircle(shadowAt(epochJdTT + mid / 24), circle) < 0 ? tIn : tOut) = mid;
  }
  return (tIn + tOut) / 2;
}

class ReferenceCheck : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { swe_set_ephe_path(const_cast<char*>("/usr/share/libswe/ephe")); }
  static void TearDownTestSuite() { swe_close(); }
};

TEST_F(ReferenceCheck, CanonGeometryAgreesWithTheEphemeris) {
  const std::vector<Entry> entries = sampleCanon(canonDirectory());
  if (entries.empty()) GTEST_SKIP() << "no canon in " << canonDirectory();

  ErrorStats contacts{kContactToleranceSeconds}, altitude{kAltitudeToleranceDeg}, magnitude{kMagnitudeTolerance};
  int compared = 0, beyondEphemeris = 0;
  const SiteValues sites[] = {{139.77, 35.68, 40},  {-68.15, -16.5, 3640}, {166.67, -77.85, 10},
                              {15.63, 78.22, 0},    {0, 51.48, 0},         {-157.4, 1.87, 0}};
  for (const Entry& e : entries) {
    const EclipseRecord& r = e.stored;
    char where[96];
    std::snprintf(where, sizeof where, "%s %.0f-%02.0f-%02.0f", e.file.c_str(), r.year, r.month,
                  r.eclipseDay);
    const EclipseRecord ut = convertToUniversalTime(r);
    const double deltaT = deltaTModel(centuriesFromJ2000(ut.greatestJd));
    const GreatestEclipse g = findGreatest(r, 0, deltaT);
    ASSERT_TRUE(g.converged) << where;
    // Entries at the ends of the span lie beyond the ephemeris files (the
    // canon models them otherwise); the searches below reach 9 h either side.
    const double jdGreatest = e.epochJdTT + g.tHours / 24;
    if (!shadowAt(jdGreatest - 9.0 / 24).ok || !shadowAt(jdGreatest + 9.0 / 24).ok) {
      ++beyondEphemeris;
      continue;
    }
    ++compared;
    // The stored Julian Day of greatest eclipse is the instant the elements
    // put it at (the same epoch convention as here).
    EXPECT_NEAR((e.epochJdTT + g.tHours / 24 - r.greatestJd) * 86400, 0, kContactToleranceSeconds) << where;

    // Contacts.
    const double tRef = referenceGreatest(e.epochJdTT, g.tHours);
    const Shadow atGreatest = shadowAt(e.epochJdTT + tRef / 24);
    const ContactTimes c = findContacts(r, g.tHours);
    ASSERT_TRUE(c.converged) << where;
    const ContactKinds kinds = contactKindsOf(r.eclipseType);
    struct Want {
      const char* name;
      Circle circle;
      std::optional<double> t;  // absent for a contact the type lacks
      bool present;
      bool before;
    };
    const Want wants[] = {{"P1", Circle::Penumbral, c.p1, true, true},
                          {"U1", Circle::Umbral, c.u1, kinds.umbral, true},
                          {"U2", Circle::Internal, c.u2, kinds.total, true},
                          {"U3", Circle::Internal, c.u3, kinds.total, false},
                          {"U4", Circle::Umbral, c.u4, kinds.umbral, false},
                          {"P4", Circle::Penumbral, c.p4, true, false}};
    for (const Want& w : wants) {
      const double depth = beyondCircle(atGreatest, w.circle);
      EXPECT_EQ(w.t.has_value(), w.present) << where << " " << w.name;
      if (!w.present || !w.t) {
        // The type says there is no such contact; the reference agrees
        // unless the Moon reaches half an arcsecond past the circle.
        if (depth < -0.5) {
          ++contacts.misses;
          ADD_FAILURE() << where << " " << w.name << ": the reference has this contact (" << depth << "\")";
        }
        continue;
      }
      if (depth > -0.5) {
        // The reference has no such contact; within half an arcsecond of
        // grazing that is a matter of rounding, otherwise a real miss.
        if (depth > 0.5) {
          ++contacts.misses;
          ADD_FAILURE() << where << " " << w.name << ": no contact in the reference (" << depth << "\")";
        }
        continue;
      }
      const double tOut = w.before ? tRef - 8 : tRef + 8;
      const double t = referenceContact(e.epochJdTT, w.circle, tRef, tOut);
      const double errorSeconds = (*w.t - t) * 3600;
      contacts.add(errorSeconds, std::string(where) + " " + w.name);
    }

    // Umbral magnitude at greatest eclipse (it does not depend on the site).
    const double refMagnitude = (atGreatest.umbra + atGreatest.moonSemiDiameter - atGreatest.axisDistance) /
                                (2 * atGreatest.moonSemiDiameter);
    const double magnitudeError = siteCircumstances(r, sites[0], g.tHours, deltaT).umbralMagnitude - refMagnitude;
    magnitude.add(magnitudeError, where);

    // The Moon's geocentric altitude at the program's greatest eclipse.
    const double jdTT = e.epochJdTT + g.tHours / 24;
    Place moon{};
    ASSERT_TRUE(apparentPlace(SE_MOON, jdTT, moon)) << where;
    const double gastDeg = swe_sidtime(jdTT - deltaT / 86400) * 15;
    for (const SiteValues& site : sites) {
      const double h = (gastDeg + site.longitudeDeg - moon.raDeg) * kDegToRad;
      const double dec = moon.decDeg * kDegToRad, lat = site.latitudeDeg * kDegToRad;
      const double refAlt =
          std::asin(std::sin(lat) * std::sin(dec) + std::cos(lat) * std::cos(dec) * std::cos(h)) / kDegToRad;
      const double altError = siteCircumstances(r, site, g.tHours, deltaT).altitudeDeg - refAlt;
      altitude.add(altError, std::string(where) + " at " + std::to_string(site.longitudeDeg));
    }
  }
  std::printf("eclipses compared: %d (beyond the ephemeris: %d)\n", compared, beyondEphemeris);
  expectNoMisses(contacts, "contacts (and contacts one side lacks)", "s");
  expectNoMisses(altitude, "altitude", "deg");
  expectNoMisses(magnitude, "umbral magnitude");
  EXPECT_GT(compared, 0) << "every sampled entry lies beyond the ephemeris";
}

}  // namespace
}  // namespace tarvo
