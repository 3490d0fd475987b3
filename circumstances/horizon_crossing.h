// Where the Moon's centre crosses a site's horizon during an eclipse: the
// crossing between the two events (contacts, greatest eclipse) on either
// side of it, found by a bracketed root search of the geocentric altitude.
#pragma once

#include <optional>
#include <span>

#include "circumstances/geometry.h"

namespace tarvo {

enum class HorizonDirection { Set, Rise };

// The search ends when the bracket is at most this wide: the crossing is
// then known to within half a second.
inline constexpr double kHorizonToleranceHours = 1.0 / 3600.0;
inline constexpr int kMaxHorizonBisections = 64;

struct HorizonCross {
  double tHours;          // hours of TT from epochHour
  SiteCircumstances at;   // the site's values there (altitude 0.0 within the tolerance)
};

// eventHours: the eclipse's event times in time order (hours of TT from
// epochHour). Takes the first pair of neighbouring events between which the
// altitude goes from above 0 to 0 or below (Set) or from 0 or below to above
// 0 (Rise) and bisects it. nullopt when no such pair exists, an altitude is
// not finite, or the bracket cannot be halved down to the tolerance.
std::optional<HorizonCross> findHorizonCrossing(const EclipseRecord& r, const SiteValues& site,
                                                double deltaTSeconds,
                                                std::span<const double> eventHours,
                                                HorizonDirection direction);

}  // namespace tarvo
