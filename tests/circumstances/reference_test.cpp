// The geometry run on the generated canon, checked against a direct Swiss
// Ephemeris computation of the same eclipses: contact times, the Moon's
// geocentric altitude at greatest eclipse at a few sites, and the umbral
// magnitude at greatest eclipse; the visibility class at sites from the
// equator to the polar regions, the Moon's topocentric refracted altitude and
// the Sun's altitude.
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

#include <erfa.h>
#include <erfam.h>

#include "catalogue/canon_reader.h"
#include "circumstances/geometry.h"
#include "circumstances/visibility.h"
#include "base/angles.h"
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
    const EclipseEntry ut = convertToUniversalTime(r, DeltaTChoice{});
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


// The Moon's geocentric altitude above h0 = 0.7275 π − 34′, the topocentric
// altitude (the observer's position on the WGS 84 ellipsoid subtracted from
// the Moon's geocentric vector) and the Sun's altitude, from the ephemeris.
struct SkyAt {
  bool ok = false;
  double aboveRiseLimitDeg = 0;
  double topocentricDeg = 0;
  double sunDeg = 0;
  double parallaxDeg = 0;
};

SkyAt skyAt(double jdTT, double deltaT, const SiteValues& site) {
  SkyAt out;
  Place moon{}, sun{};
  if (!apparentPlace(SE_MOON, jdTT, moon) || !apparentPlace(SE_SUN, jdTT, sun)) return out;
  const double theta = swe_sidtime(jdTT - deltaT / 86400) * 15 * kDegToRad;
  const double lon = site.longitudeDeg * kDegToRad, lat = site.latitudeDeg * kDegToRad;
  const double local = theta + lon;
  const auto altitude = [&](double raDeg, double decDeg) {
    const double h = local - raDeg * kDegToRad, d = decDeg * kDegToRad;
    return std::asin(std::sin(lat) * std::sin(d) + std::cos(lat) * std::cos(d) * std::cos(h)) / kDegToRad;
  };
  out.parallaxDeg = std::asin(kEarthRadiusKm / moon.distanceKm) / kDegToRad;
  out.aboveRiseLimitDeg = altitude(moon.raDeg, moon.decDeg) - (0.7275 * out.parallaxDeg - 34.0 / 60);
  out.sunDeg = altitude(sun.raDeg, sun.decDeg);
  double earthFixed[3];
  if (eraGd2gc(ERFA_WGS84, lon, lat, site.heightM, earthFixed) != 0) return out;
  const double km[3] = {earthFixed[0] / 1000, earthFixed[1] / 1000, earthFixed[2] / 1000};
  const double observer[3] = {km[0] * std::cos(theta) - km[1] * std::sin(theta),
                              km[0] * std::sin(theta) + km[1] * std::cos(theta), km[2]};
  const double ra = moon.raDeg * kDegToRad, dec = moon.decDeg * kDegToRad;
  const double v[3] = {moon.distanceKm * std::cos(dec) * std::cos(ra) - observer[0],
                       moon.distanceKm * std::cos(dec) * std::sin(ra) - observer[1],
                       moon.distanceKm * std::sin(dec) - observer[2]};
  const double up[3] = {std::cos(lat) * std::cos(local), std::cos(lat) * std::sin(local), std::sin(lat)};
  const double norm = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  out.topocentricDeg = std::asin((v[0] * up[0] + v[1] * up[1] + v[2] * up[2]) / norm) / kDegToRad;
  out.ok = true;
  return out;
}

TEST_F(ReferenceCheck, VisibilityAgreesWithTheEphemeris) {
  const std::vector<Entry> entries = sampleCanon(canonDirectory());
  if (entries.empty()) GTEST_SKIP() << "no canon in " << canonDirectory();
  // Tolerances: the elements' fit (0.01° in right ascension and declination)
  // and two refraction formulas near the horizon.
  constexpr double kAltitudeTolDeg = 0.03;
  constexpr double kParallaxTolDeg = 0.0002;
  // A class decided within this margin of h0 is a matter of the fit.
  constexpr double kClassMarginDeg = 0.03;
  const SiteValues sites[] = {{139.7447, 35.6544, 0}, {-68.15, -16.5, 3640}, {18.955, 69.649, 10},
                              {15.63, 78.22, 0},      {166.67, -77.85, 10},  {-78.5, -0.22, 2850},
                              {-149.9, 61.22, 30},    {0, 51.48, 0}};
  ErrorStats altitude{kAltitudeTolDeg}, sun{kAltitudeTolDeg};
  int pairs = 0, ambiguous = 0, moving = 0;
  for (const Entry& e : entries) {
    if (e.stored.year < -2999 || e.stored.year > 3000) continue;
    const EclipseRecord& r = e.stored;
    const EclipseEntry ut = convertToUniversalTime(r, DeltaTChoice{});
    const double deltaT = deltaTModel(centuriesFromJ2000(ut.greatestJd));
    const EclipseCircumstances eclipse = eclipseCircumstances(r, deltaT, 0);
    ASSERT_TRUE(eclipse.converged());
    const ContactTimes& c = eclipse.contacts;
    const double tGreatest = eclipse.greatestHours;
    const MainPhase phase = mainPhaseOf(c);
    const std::optional<double> times[kContactCount] = {c.p1, c.u1, c.u2, c.u3, c.u4, c.p4};
    const double jdOf0 = e.epochJdTT;
    const auto jdAt = [&](double t) { return jdOf0 + t / 24; };
    ASSERT_NEAR(moonParallaxDeg(elementsAt(r, tGreatest)), skyAt(jdAt(tGreatest), deltaT, sites[0]).parallaxDeg,
                kParallaxTolDeg);
    for (const SiteValues& site : sites) {
      char where[120];
      std::snprintf(where, sizeof where, "%.0f-%02.0f-%02.0f at %.2f %.2f", r.year, r.month, r.eclipseDay,
                    site.longitudeDeg, site.latitudeDeg);
      // Reference class by sampling every minute, once with h0 raised and
      // once lowered by the margin: when they differ the pair is too close
      // to call.
      VisibilityClass refClass[2]{};
      for (int k = 0; k < 2; ++k) {
        const double shift = k == 0 ? kClassMarginDeg : -kClassMarginDeg;
        const int n = std::max(1, static_cast<int>((phase.endHours - phase.startHours) * 60));
        bool anyUp = false, anyDown = false, first = false, last = false;
        for (int i = 0; i <= n; ++i) {
          const double t = phase.startHours + (phase.endHours - phase.startHours) * i / n;
          const bool up = skyAt(jdAt(t), deltaT, site).aboveRiseLimitDeg > shift;
          (up ? anyUp : anyDown) = true;
          if (i == 0) first = up;
          if (i == n) last = up;
        }
        refClass[k] = !first && last   ? VisibilityClass::AtMoonrise
                      : first && !last ? VisibilityClass::AtMoonset
                      : anyUp && anyDown ? VisibilityClass::Partly
                      : first            ? VisibilityClass::Visible
                                         : VisibilityClass::None;
      }
      const Visibility v = visibilityAt(eclipse, site, 0);
      ++pairs;
      if (refClass[0] != refClass[1]) {
        ++ambiguous;
      } else {
        EXPECT_EQ(visibilityClassName(v.visibilityClass), std::string(visibilityClassName(refClass[0]))) << where;
        moving += refClass[0] != VisibilityClass::Visible && refClass[0] != VisibilityClass::None;
      }
      // Apparent altitudes where refraction is settled: well above the
      // horizon (the ephemeris's own refraction), or below −5° (none).
      for (int i = 0; i <= kContactCount; ++i) {
        const double t = i < kContactCount ? times[i].value_or(NAN) : tGreatest;
        const std::optional<double> got = i < kContactCount ? v.contactAltitudeDeg[i] : v.greatestAltitudeDeg;
        ASSERT_EQ(got.has_value(), !std::isnan(t)) << where;
        if (!got) continue;
        const double trueAlt = skyAt(jdAt(t), deltaT, site).topocentricDeg;
        if (trueAlt > -5 && trueAlt < 1) continue;
        const double want = trueAlt > 0 ? swe_refrac(trueAlt, 1010, 10, SE_TRUE_TO_APP) : trueAlt;
        altitude.add(*got - want, where);
        EXPECT_NEAR(*got, want, kAltitudeTolDeg) << where << " contact " << i;
      }
      const double sunRef = skyAt(jdAt(tGreatest), deltaT, site).sunDeg;
      sun.add(v.sunAltitudeDeg - sunRef, where);
      EXPECT_NEAR(v.sunAltitudeDeg, sunRef, kAltitudeTolDeg) << where;
    }
  }
  std::printf("visibility: %d eclipse-site pairs, %d too close to call, %d rising or setting\n", pairs, ambiguous,
              moving);
  std::printf("moon altitude: %ld, worst %.4f deg (%s); sun altitude worst %.4f deg (%s)\n",
              static_cast<long>(altitude.count),
              altitude.worst, altitude.worstWhere.c_str(), sun.worst, sun.worstWhere.c_str());
  EXPECT_GE(pairs - ambiguous, 36);
  EXPECT_GT(moving, 5);
}

}  // namespace
}  // namespace tarvo
