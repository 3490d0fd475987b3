#include "circumstances/phase_seen.h"

#include <cmath>

#include "circumstances/visibility.h"

namespace tarvo {

namespace {

constexpr int kBisectionSteps = 16;  // 0.2 h / 2^16 ≈ 0.01 s

SiteInstant instantAt(const EclipseCircumstances& c, const SiteValues& site, double t) {
  SiteInstant s;
  s.tHours = t;
  s.jdUt = c.dayStartJd + c.utHours(t) / 24.0;
  s.moonAltitudeDeg = moonAltitudeAt(c.record, site, t, c.deltaTSeconds).apparentDeg;
  // The geometry's azimuth counts from the south through the west.
  s.moonAzimuthDeg = std::fmod(siteCircumstances(c.record, site, t, c.deltaTSeconds).azimuthDeg + 180.0, 360.0);
  s.sunAltitudeDeg = sunAltitudeAt(c.record, site, t, c.deltaTSeconds);
  return s;
}

}  // namespace

const char* eclipsePhaseName(EclipsePhase p) {
  switch (p) {
    case EclipsePhase::None: return "none";
    case EclipsePhase::Penumbral: return "penumbral";
    case EclipsePhase::Partial: return "partial";
    case EclipsePhase::Total: return "total";
  }
  return "none";
}

const char* phaseCoverageName(PhaseCoverage c) {
  switch (c) {
    case PhaseCoverage::None: return "none";
    case PhaseCoverage::Part: return "part";
    case PhaseCoverage::Whole: return "whole";
  }
  return "none";
}

SkyBrightness skyBrightnessOf(double sunAltitudeDeg) {
  if (sunAltitudeDeg > kDaylightSunAltitudeDeg) return SkyBrightness::Daylight;
  if (sunAltitudeDeg > kTwilightSunAltitudeDeg) return SkyBrightness::Twilight;
  return SkyBrightness::Dark;
}

const char* skyBrightnessName(SkyBrightness s) {
  switch (s) {
    case SkyBrightness::Dark: return "dark";
    case SkyBrightness::Twilight: return "twilight";
    case SkyBrightness::Daylight: return "daylight";
  }
  return "dark";
}

PhaseCoverage coverageOf(const std::vector<SeenSpan>& spans, double a, double b) {
  bool any = false;
  for (const SeenSpan& s : spans) {
    if (s.startHours <= a && s.endHours >= b) return PhaseCoverage::Whole;
    any |= s.startHours < b && s.endHours > a;
  }
  return any ? PhaseCoverage::Part : PhaseCoverage::None;
}

PhaseSeen phaseSeenAt(const EclipseCircumstances& c, const SiteValues& site) {
  PhaseSeen out;
  if (!c.converged()) return out;
  const ContactTimes& k = c.contacts;
  const double p1 = k.p1, p4 = k.p4;
  const auto altitude = [&](double t) { return moonAltitudeAt(c.record, site, t, c.deltaTSeconds).apparentDeg; };

  // Spans with the Moon up, from samples refined at each change of side.
  const int steps = std::max(1, static_cast<int>(std::ceil((p4 - p1) / kSeenStepHours)));
  const double step = (p4 - p1) / steps;
  double tPrev = p1;
  bool upPrev = altitude(p1) > 0;
  double openedAt = p1;  // start of the span being followed while upPrev
  for (int i = 1; i <= steps; ++i) {
    const double t = i == steps ? p4 : p1 + i * step;
    const bool up = altitude(t) > 0;
    if (up != upPrev) {
      double lo = tPrev, hi = t;  // altitude on the side of upPrev at lo
      for (int j = 0; j < kBisectionSteps; ++j) {
        const double mid = 0.5 * (lo + hi);
        ((altitude(mid) > 0) == upPrev ? lo : hi) = mid;
      }
      const double crossing = 0.5 * (lo + hi);
      out.horizonEvents.push_back({up, instantAt(c, site, crossing)});
      if (up) {
        openedAt = crossing;
      } else {
        out.spans.push_back({openedAt, crossing});
      }
    }
    tPrev = t;
    upPrev = up;
  }
  if (upPrev) out.spans.push_back({openedAt, p4});

  const std::optional<double> times[6] = {k.p1, k.u1, k.u2, k.u3, k.u4, k.p4};
  for (std::size_t i = 0; i < 6; ++i) {
    if (times[i]) out.contacts[i] = instantAt(c, site, *times[i]);
  }
  out.greatest = instantAt(c, site, c.greatestHours);
  out.eclipse = coverageOf(out.spans, p1, p4);
  if (k.u1 && k.u4) out.partial = coverageOf(out.spans, *k.u1, *k.u4);
  if (k.u2 && k.u3) out.totality = coverageOf(out.spans, *k.u2, *k.u3);
  out.deepest = out.totality != PhaseCoverage::None  ? EclipsePhase::Total
                : out.partial != PhaseCoverage::None ? EclipsePhase::Partial
                : out.eclipse != PhaseCoverage::None ? EclipsePhase::Penumbral
                                                     : EclipsePhase::None;
  return out;
}

}  // namespace tarvo
