#include "circumstances/horizon_crossing.h"

#include <cmath>

namespace tarvo {

namespace {

// Whether altitude a stands on the side the Moon leaves (above for a set).
bool onStartSide(HorizonDirection direction, double altitudeDeg) {
  return direction == HorizonDirection::Set ? altitudeDeg > 0 : altitudeDeg <= 0;
}

}  // namespace

std::optional<HorizonCross> findHorizonCrossing(const EclipseRecord& r, const SiteValues& site,
                                                double deltaTSeconds,
                                                std::span<const double> eventHours,
                                                HorizonDirection direction) {
  const auto altitude = [&](double t) { return siteCircumstances(r, site, t, deltaTSeconds).altitudeDeg; };
  for (std::size_t i = 0; i + 1 < eventHours.size(); ++i) {
    double from = eventHours[i], to = eventHours[i + 1];
    const double a0 = altitude(from), a1 = altitude(to);
    if (!std::isfinite(a0) || !std::isfinite(a1)) return std::nullopt;
    if (!onStartSide(direction, a0) || onStartSide(direction, a1)) continue;
    // from stays on the start side, to on the other; each pass halves the gap.
    for (int pass = 0; pass < kMaxHorizonBisections && to - from > kHorizonToleranceHours; ++pass) {
      const double mid = 0.5 * (from + to);
      const double a = altitude(mid);
      if (!std::isfinite(a)) return std::nullopt;
      (onStartSide(direction, a) ? from : to) = mid;
    }
    if (!(to - from <= kHorizonToleranceHours)) return std::nullopt;
    const double t = 0.5 * (from + to);
    return HorizonCross{t, siteCircumstances(r, site, t, deltaTSeconds)};
  }
  return std::nullopt;
}

}  // namespace tarvo
