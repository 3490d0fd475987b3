// Which phases of an eclipse are actually seen from a site, and the sky they
// are seen in. A phase is seen while the Moon's centre stands above the
// horizon (topocentric, refracted: the altitude an observer measures): with
// only the upper limb up at moonrise no shadow can be told on the Moon.
//
// Times t are hours of TT from the entry's epochHour, Julian Days UT, angles
// degrees.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "circumstances/eclipse_circumstances.h"
#include "circumstances/geometry.h"

namespace tarvo {

// The phases from the faintest; an eclipse's deepest seen is one of them.
enum class EclipsePhase { None, Penumbral, Partial, Total };
const char* eclipsePhaseName(EclipsePhase p);  // "none", "penumbral", "partial", "total"

// How much of a phase the Moon is up for.
enum class PhaseCoverage { None, Part, Whole };
const char* phaseCoverageName(PhaseCoverage c);  // "none", "part", "whole"

// The sky by the Sun's true altitude: daylight while its upper limb is up
// (refraction included), twilight down to astronomical twilight's end, then
// dark (the horizon chart's shades split the twilight at −6°).
enum class SkyBrightness { Dark, Twilight, Daylight };
inline constexpr double kDaylightSunAltitudeDeg = -0.833;
inline constexpr double kTwilightSunAltitudeDeg = -18.0;
SkyBrightness skyBrightnessOf(double sunAltitudeDeg);
const char* skyBrightnessName(SkyBrightness s);  // "dark", "twilight", "daylight"

// The sky at the site at one instant of the eclipse.
struct SiteInstant {
  double tHours = 0;           // TT from epochHour
  double jdUt = 0;
  double moonAltitudeDeg = 0;  // apparent altitude of the centre
  double moonAzimuthDeg = 0;   // from the north through the east, 0..360
  double sunAltitudeDeg = 0;   // true altitude of the centre
  bool moonUp() const { return moonAltitudeDeg > 0; }
};

// A stretch of [P1, P4] with the Moon's centre up.
struct SeenSpan {
  double startHours, endHours;
};

struct PhaseSeen {
  EclipsePhase deepest = EclipsePhase::None;
  PhaseCoverage eclipse = PhaseCoverage::None;   // P1..P4
  PhaseCoverage partial = PhaseCoverage::None;   // U1..U4 (None without umbral phase)
  PhaseCoverage totality = PhaseCoverage::None;  // U2..U3 (None without totality)
  std::vector<SeenSpan> spans;                   // in time order
  // P1, U1, U2, U3, U4, P4: every contact the eclipse has.
  std::array<std::optional<SiteInstant>, 6> contacts;
  SiteInstant greatest;
  // Moonrises and moonsets strictly inside (P1, P4), in time order.
  struct HorizonEvent {
    bool rises;
    SiteInstant at;
  };
  std::vector<HorizonEvent> horizonEvents;
};

// The Moon's altitude is sampled every kSeenStepHours over [P1, P4] and
// each change of side refined by bisection to under a second. Between two
// samples the altitude departs from a straight line by at most about 2′
// (curvature below 6°/h²), so a glimpse missed between samples never rises
// above that.
inline constexpr double kSeenStepHours = 0.2;

// The phases seen at the site for an eclipse whose circumstances converged
// (otherwise an empty PhaseSeen).
PhaseSeen phaseSeenAt(const EclipseCircumstances& eclipse, const SiteValues& site);

// Whether the Moon is up at some instant of [startHours, endHours], or
// throughout it, by the spans.
PhaseCoverage coverageOf(const std::vector<SeenSpan>& spans, double startHours, double endHours);

}  // namespace tarvo
