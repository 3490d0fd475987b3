// The answer to "what will I see from here, on my own clock": the eclipse's
// phases seen from a site, each instant on the site's clock with the Moon's
// place and the sky, and the same in sentences. Pure functions of values and
// a ZoneDatabase.
#pragma once

#include <string>
#include <vector>

#include "circumstances/phase_seen.h"
#include "circumstances/site_zone.h"
#include "circumstances/visibility.h"

namespace tarvo {

enum class AnswerEventKind { P1, U1, U2, Greatest, U3, U4, P4, Moonrise, Moonset };
// "p1", "u1", "u2", "greatest", "u3", "u4", "p4", "moonrise", "moonset".
const char* answerEventName(AnswerEventKind k);

struct AnswerEvent {
  AnswerEventKind kind;
  SiteInstant at;
  ZoneOffset zone;  // the site's clock at that instant
  bool seen;        // the Moon's centre is up (always for a moonrise or moonset)
};

struct ObserverAnswer {
  double eclipseType = 0;  // 1 total, 2 partial, 3 penumbral
  double penumbralMagnitude = 0, umbralMagnitude = 0;
  std::string place;       // the city's name, or "Lon 139.74 Lat 35.65"
  SiteZone zone;
  ZoneOffset zoneAtGreatest;
  EclipsePhase deepest = EclipsePhase::None;
  PhaseCoverage eclipse = PhaseCoverage::None, partial = PhaseCoverage::None, totality = PhaseCoverage::None;
  std::vector<AnswerEvent> events;  // contacts, greatest eclipse, moonrises and moonsets in time order
  double deltaTSigmaSeconds = 0;
  bool uncertain = false;  // the visibility class changes within ΔT ± σ
  bool faint = false;
};

// Times are shown to the minute; ΔT's uncertainty is mentioned when it moves
// them by more than this.
inline constexpr double kWordsDeltaTSigmaSeconds = 60.0;

// The answer for an eclipse of the given type and magnitudes whose
// visibility (converged, with its phases seen) was computed at the site.
ObserverAnswer observerAnswer(double eclipseType, double penumbralMagnitude, double umbralMagnitude,
                              const Visibility& visibility, std::string place, SiteZone zone,
                              double deltaTSigmaSeconds, const ZoneDatabase& zones);

// "south-west": one of the 16 compass points for an azimuth from the north
// through the east, degrees.
const char* compassPoint(double azimuthDeg);

// The date of the instant on the zone's clock, "7 September 2025" (the
// catalogue's calendars; years before 1 as historians write them).
std::string clockDateText(JulianDay jdUt, const ZoneOffset& zone);
// "23:41" (rounded to the minute).
std::string clockMinuteText(JulianDay jdUt, const ZoneOffset& zone);
// "8 September 2025 00:00": the date and the minute, the date of the minute
// rounded to (23:59:40 is the next day's 00:00).
std::string clockDateMinuteText(JulianDay jdUt, const ZoneOffset& zone);

// The answer in sentences, one paragraph, e.g. "Total lunar eclipse, night
// of 7–8 September 2025, seen whole from Tokyo (JST +09:00): penumbral from
// ...".
std::string answerWords(const ObserverAnswer& answer);

}  // namespace tarvo
