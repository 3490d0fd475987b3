#include "tools/canongen/eclipse_finder.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <vector>

#include "circumstances/geometry.h"
#include "timebase/time_scales.h"
#include "tools/canongen/least_squares.h"
#include "tools/canongen/lunation.h"
#include "tools/canongen/saros_numbering.h"

namespace tarvo::canongen {

namespace {

// A full moon whose closest approach, extrapolated along a straight path
// from the mean phase, passes the penumbra by more than this cannot be an
// eclipse: the path's curvature over half a day shifts it far less.
constexpr double kSkipMarginArcsec = 1800.0;
// Newton's method on the axis distance: finite-difference half step (days),
// convergence (days, about 9 ms: the ephemeris' own noise
// makes steps of ~2e-8 d alternate near JD 5e6) and step cap.
constexpr double kDifferenceStepDays = 0.005;
constexpr double kGreatestToleranceDays = 1e-7;
constexpr int kMaxGreatestSteps = 20;
// The fit window reaches this far beyond P1 and P4 (hours), sampled about
// this densely on average (hours between samples).
constexpr double kWindowMarginHours = 0.5;
constexpr double kSampleSpacingHours = 0.25;
constexpr int kMinSamples = 13;
// The window is redone when the fitted P1 or P4 differ from the estimate
// used to place it by more than this (hours).
constexpr double kWindowToleranceHours = 2.0 / 60.0;

struct Snapshot {
  EphemerisSample sun;
  EphemerisSample moon;
  AxisOffset offset;
};

std::optional<Snapshot> snapshotAt(Ephemeris& ephemeris, double jdTT) {
  const auto sun = ephemeris.sun(jdTT);
  const auto moon = ephemeris.moon(jdTT);
  if (!sun || !moon) return std::nullopt;
  return Snapshot{*sun, *moon, axisOffset(*sun, *moon)};
}

struct Vec2 {
  double x, y;
};
Vec2 operator-(Vec2 a, Vec2 b) { return {a.x - b.x, a.y - b.y}; }
Vec2 operator*(Vec2 a, double k) { return {a.x * k, a.y * k}; }
double dot(Vec2 a, Vec2 b) { return a.x * b.x + a.y * b.y; }
Vec2 vec(const Snapshot& s) { return {s.offset.xArcsec, s.offset.yArcsec}; }

// Unwraps angles (degrees) into a continuous sequence.
void unwrapDegrees(std::vector<double>& v) {
  for (std::size_t i = 1; i < v.size(); ++i) {
    while (v[i] - v[i - 1] > 180.0) v[i] -= 360.0;
    while (v[i] - v[i - 1] < -180.0) v[i] += 360.0;
  }
}

// Moves a linear angle fit by whole turns so that its value at t = 0 lies in 0..360.
void normaliseTurns(PolynomialCoefficients& c) {
  c[0] -= 360.0 * std::floor(c[0] / 360.0);
}

struct Samples {
  std::vector<double> t, x, y, lp, lu, lt, gst, ra, dec;
};

// Samples the window [startHours, endHours] from epochJd (TT) at the
// Chebyshev-Lobatto points (both ends, the middle, crowded towards the ends):
// least squares on them makes the straight lines' misses equal at the ends
// and the middle, which over the longest windows keeps the Moon's
// declination, curving near its turning points, within 0.01 deg (even
// spacing leaves a third more error at the ends).
bool sampleWindow(Ephemeris& ephemeris, double epochJd, double startHours, double endHours,
                  RadiusRule rule, Samples& s) {
  const int intervals =
      std::max(kMinSamples - 1, 2 * int(std::ceil((endHours - startHours) / (2.0 * kSampleSpacingHours))));
  const double middle = 0.5 * (startHours + endHours), half = 0.5 * (endHours - startHours);
  s = Samples{};
  for (int i = intervals; i >= 0; --i) {
    const double t = i == intervals ? startHours
                     : i == 0       ? endHours
                                    : middle + half * std::cos(std::numbers::pi * double(i) / double(intervals));
    const double jd = epochJd + t / 24.0;
    const auto snap = snapshotAt(ephemeris, jd);
    const auto sidereal = ephemeris.siderealDeg(jd);
    if (!snap || !sidereal) return false;
    const ShadowRadii radii = shadowRadii(snap->sun, snap->moon, rule);
    s.t.push_back(t);
    s.x.push_back(snap->offset.xArcsec);
    s.y.push_back(snap->offset.yArcsec);
    s.lp.push_back(radii.penumbraArcsec + radii.moonSemiDiameterArcsec);
    s.lu.push_back(radii.umbraArcsec + radii.moonSemiDiameterArcsec);
    s.lt.push_back(radii.umbraArcsec - radii.moonSemiDiameterArcsec);
    s.gst.push_back(*sidereal);
    s.ra.push_back(snap->moon.raDeg);
    s.dec.push_back(snap->moon.decDeg);
  }
  unwrapDegrees(s.gst);
  unwrapDegrees(s.ra);
  return true;
}

// Fits every element over the samples into `entry`; false if a fit fails.
bool fitElements(const Samples& s, EclipseRecord& entry, FitResiduals& residuals) {
  const auto x = fitPolynomial(s.t, s.x, 3);
  const auto y = fitPolynomial(s.t, s.y, 3);
  const auto lp = fitPolynomial(s.t, s.lp, 1);
  const auto lu = fitPolynomial(s.t, s.lu, 1);
  const auto lt = fitPolynomial(s.t, s.lt, 1);
  auto gst = fitPolynomial(s.t, s.gst, 1);
  auto ra = fitPolynomial(s.t, s.ra, 1);
  const auto dec = fitPolynomial(s.t, s.dec, 1);
  if (!x || !y || !lp || !lu || !lt || !gst || !ra || !dec) return false;
  residuals.xArcsec = largestResidual(*x, s.t, s.x);
  residuals.yArcsec = largestResidual(*y, s.t, s.y);
  residuals.lpArcsec = largestResidual(*lp, s.t, s.lp);
  residuals.luArcsec = largestResidual(*lu, s.t, s.lu);
  residuals.ltArcsec = largestResidual(*lt, s.t, s.lt);
  residuals.gstDeg = largestResidual(*gst, s.t, s.gst);
  residuals.raDeg = largestResidual(*ra, s.t, s.ra);
  residuals.decDeg = largestResidual(*dec, s.t, s.dec);
  normaliseTurns(*gst);
  normaliseTurns(*ra);
  entry.x0 = (*x)[0], entry.x1 = (*x)[1], entry.x2 = (*x)[2], entry.x3 = (*x)[3];
  entry.y0 = (*y)[0], entry.y1 = (*y)[1], entry.y2 = (*y)[2], entry.y3 = (*y)[3];
  entry.gst0 = (*gst)[0], entry.gst1 = (*gst)[1];
  entry.lp0 = (*lp)[0], entry.lp1 = (*lp)[1];
  entry.lu0 = (*lu)[0], entry.lu1 = (*lu)[1];
  entry.lt0 = (*lt)[0], entry.lt1 = (*lt)[1];
  entry.ra0 = (*ra)[0], entry.ra1 = (*ra)[1];
  entry.dec0 = (*dec)[0], entry.dec1 = (*dec)[1];
  return true;
}

LunationResult failed(std::string why) {
  LunationResult r;
  r.outcome = LunationOutcome::Failed;
  r.failure = std::move(why);
  return r;
}

LunationResult outcomeOnly(LunationOutcome o) {
  LunationResult r;
  r.outcome = o;
  return r;
}

// A phase's value, or the result that ends the examination early.
template <class T>
struct PhaseResult {
  std::optional<T> value;
  LunationResult end;
  PhaseResult(T v) : value(std::move(v)) {}
  PhaseResult(LunationResult r) : end(std::move(r)) {}
};

// Phase 1: one straight-line step from the mean full moon (TT JD) towards
// the closest approach; far from a node the Moon misses the penumbra and the
// full moon is skipped. The starting JD for the search of greatest eclipse.
PhaseResult<double> straightLineApproach(Ephemeris& ephemeris, double meanJd, RadiusRule rule) {
  const double h = 1.0 / 24.0;
  const auto a = snapshotAt(ephemeris, meanJd);
  const auto b = snapshotAt(ephemeris, meanJd + h);
  if (!a || !b) return outcomeOnly(LunationOutcome::OutsideEphemeris);
  const Vec2 p = vec(*a);
  const Vec2 v = (vec(*b) - p) * (1.0 / h);
  const double speed2 = dot(v, v);
  if (!(speed2 > 0)) return failed("no relative motion at the mean full moon");
  const double missArcsec = std::fabs(p.x * v.y - p.y * v.x) / std::sqrt(speed2);
  const ShadowRadii radii = shadowRadii(a->sun, a->moon, rule);
  if (missArcsec > radii.penumbraArcsec + radii.moonSemiDiameterArcsec + kSkipMarginArcsec)
    return outcomeOnly(LunationOutcome::NoEclipse);
  return meanJd + std::clamp(-dot(p, v) / speed2, -2.0, 2.0);
}

struct Greatest {
  double jd;      // TT
  Vec2 velocity;  // of the Moon across the shadow axis, arcsec per day
};

// Phase 2: greatest eclipse by Newton's method on |offset|²/2 with central
// differences, from jd.
PhaseResult<Greatest> greatestEclipse(Ephemeris& ephemeris, double jd) {
  bool converged = false;
  Vec2 velocity{0, 0};  // arcsec per day at the last step
  for (int i = 0; i < kMaxGreatestSteps && !converged; ++i) {
    const double h = kDifferenceStepDays;
    const auto a = snapshotAt(ephemeris, jd - h);
    const auto c = snapshotAt(ephemeris, jd);
    const auto b = snapshotAt(ephemeris, jd + h);
    if (!a || !b || !c) return outcomeOnly(LunationOutcome::OutsideEphemeris);
    const Vec2 p = vec(*c);
    velocity = (vec(*b) - vec(*a)) * (0.5 / h);
    const Vec2 accel{(b->offset.xArcsec - 2.0 * p.x + a->offset.xArcsec) / (h * h),
                     (b->offset.yArcsec - 2.0 * p.y + a->offset.yArcsec) / (h * h)};
    double curvature = dot(velocity, velocity) + dot(p, accel);
    if (!(curvature > 0)) curvature = dot(velocity, velocity);
    if (!(curvature > 0)) return failed("no relative motion near full moon");
    const double step = std::clamp(-dot(p, velocity) / curvature, -0.5, 0.5);
    jd += step;
    converged = std::fabs(step) < kGreatestToleranceDays;
  }
  if (!converged) return failed("greatest eclipse did not converge");
  return Greatest{jd, velocity};
}

struct AtGreatest {
  LunationResult result;          // the entry without its elements
  double axisDistanceArcsec;      // of the Moon's centre
  double penumbralContactArcsec;  // penumbral radius + the Moon's semi-diameter
};

// Phase 3: the entry's values at greatest eclipse (date, type, magnitudes,
// gamma, Saros, epoch hour); NoEclipse when the Moon misses the penumbra.
PhaseResult<AtGreatest> valuesAtGreatest(Ephemeris& ephemeris, double jd, long lunation,
                                         RadiusRule rule) {
  const auto g = snapshotAt(ephemeris, jd);
  if (!g) return outcomeOnly(LunationOutcome::OutsideEphemeris);
  const ShadowRadii radii = shadowRadii(g->sun, g->moon, rule);
  const double m = std::hypot(g->offset.xArcsec, g->offset.yArcsec);
  const Magnitudes mag = magnitudesAt(radii, m);
  if (!(mag.penumbral > 0)) return outcomeOnly(LunationOutcome::NoEclipse);

  AtGreatest at{outcomeOnly(LunationOutcome::Eclipse), m,
                radii.penumbraArcsec + radii.moonSemiDiameterArcsec};
  EclipseRecord& e = at.result.entry;
  const CalendarDate date = jdToCalendar(jd, ZoneMode::StandardZone, 0.0);
  e.year = date.year;
  e.month = date.month;
  e.eclipseDay = date.day;
  e.eclipseType = mag.umbral >= 1.0 ? 1 : (mag.umbral > 0.0 ? 2 : 3);
  e.penumbralMagnitude = mag.penumbral;
  e.umbralMagnitude = mag.umbral;
  e.gamma = gammaAt(g->offset, g->moon);
  e.greatestJd = jd;
  e.ninthValue = double(lunation);
  e.saros = sarosSeries(lunation, date.year);
  e.epochHour = std::round(date.hour);
  return at;
}

// Phase 4: the elements, fitted over a window placed from a straight-line
// estimate of P1 and P4 and redone once from the fitted contacts when the
// estimate was off.
LunationResult fitOverContactWindow(Ephemeris& ephemeris, RadiusRule rule, const Greatest& greatest,
                                    AtGreatest at) {
  LunationResult& result = at.result;
  EclipseRecord& e = result.entry;
  const double epochJd = std::floor(greatest.jd + 0.5) - 0.5 + e.epochHour / 24.0;
  const double speedPerHour = std::sqrt(dot(greatest.velocity, greatest.velocity)) / 24.0;
  const double lp = at.penumbralContactArcsec, m = at.axisDistanceArcsec;
  const double halfHours = std::sqrt(std::max(lp * lp - m * m, 0.0)) / speedPerHour;
  const double greatestHours = (greatest.jd - epochJd) * 24.0;
  double p1 = greatestHours - halfHours;
  double p4 = greatestHours + halfHours;
  for (int pass = 0; pass < 2; ++pass) {
    Samples samples;
    if (!sampleWindow(ephemeris, epochJd, p1 - kWindowMarginHours, p4 + kWindowMarginHours, rule,
                      samples))
      return outcomeOnly(LunationOutcome::OutsideEphemeris);
    if (!fitElements(samples, e, result.residuals)) return failed("element fit failed");
    const ContactTimes contacts = findContacts(e, greatestHours);
    // Only P1 and P4 place the window; a grazing umbral contact may converge
    // slowly without harm here.
    if (!std::isfinite(contacts.p1) || !std::isfinite(contacts.p4) || !(contacts.p1 < contacts.p4))
      return failed("penumbral contacts on the fitted elements not found");
    if (std::fabs(contacts.p1 - p1) <= kWindowToleranceHours &&
        std::fabs(contacts.p4 - p4) <= kWindowToleranceHours)
      break;
    p1 = contacts.p1;
    p4 = contacts.p4;
  }
  return result;
}

}  // namespace

LunationResult examineLunation(Ephemeris& ephemeris, long lunation, RadiusRule rule) {
  const double meanJd = meanFullMoonJd(lunation);
  if (!ephemeris.covers(meanJd - 1.5) || !ephemeris.covers(meanJd + 1.5))
    return outcomeOnly(LunationOutcome::OutsideEphemeris);
  const PhaseResult<double> start = straightLineApproach(ephemeris, meanJd, rule);
  if (!start.value) return start.end;
  const PhaseResult<Greatest> greatest = greatestEclipse(ephemeris, *start.value);
  if (!greatest.value) return greatest.end;
  PhaseResult<AtGreatest> at = valuesAtGreatest(ephemeris, greatest.value->jd, lunation, rule);
  if (!at.value) return at.end;
  return fitOverContactWindow(ephemeris, rule, *greatest.value, std::move(*at.value));
}

}  // namespace tarvo::canongen
