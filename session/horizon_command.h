// The Horizon display: the horizon chart of the current eclipse at the
// observing site, drawn directly on the view.
#pragma once

#include <string>

#include "circumstances/eclipse_circumstances.h"
#include "circumstances/geometry.h"
#include "circumstances/site_zone.h"
#include "session/session_state.h"
#include "sky/horizon_chart.h"

namespace tarvo {

class DrawingSurface;

// Time between two samples of the Moon's path, hours.
inline constexpr double kHorizonPathStepHours = 2.0 / 60;

// A time at the site as its clocks show it: "hh:mm" and the zone. On the
// site's clock when one is given ("JST +09:00"), else the standard time of
// the longitude's zone (longitude / 15° rounded, "UTC+9").
struct ClockReading {
  std::string time;
  std::string zone;
};
ClockReading siteClockTime(const EclipseCircumstances& eclipse, double tHours, const SiteValues& site,
                           const SiteClock* clock = nullptr);

// The chart's values for an eclipse whose contacts converged, seen from the
// site (named siteName): the Moon's path from P1 to P4, the Moon at each
// contact and at greatest eclipse ("P1", "U1", "U2", "max", "U3", "U4",
// "P4" as the type has them, those below the horizon also listed in the
// heading), the Sun's altitude along the path. The Moon's
// place and whether it is up are those of moonAltitudeAt, the visibility's.
// The times are on `clock` when one is given (else as siteClockTime).
HorizonChartValues horizonChartValues(const EclipseCircumstances& eclipse, const SiteValues& site,
                                      const std::string& siteName, const SiteClock* clock = nullptr);

// The values for the current eclipse at the observing site of the session
// (the circumstances as the last paint found them), with zones on the
// site's clock (sessionSiteClock).
HorizonChartValues horizonChartValuesOf(const SessionState& state, const ZoneDatabase* zones = nullptr);

// The whole display: clears the surface and draws the chart, or a line
// saying why there is none (the eclipse's contacts did not converge).
void drawHorizonChartCommand(SessionState& state, DrawingSurface& surface, const ZoneDatabase* zones = nullptr);

}  // namespace tarvo
