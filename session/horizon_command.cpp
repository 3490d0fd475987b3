#include "session/horizon_command.h"

#include <cmath>

#include "base/text_format.h"
#include "circumstances/visibility.h"
#include "export/eclipse_export.h"
#include "circumstances/observer_answer.h"
#include "session/site_glue.h"
#include "session/visibility_list.h"
#include "surface/drawing_surface.h"
#include "timebase/time_scales.h"

namespace tarvo {

namespace {

// The zone of a longitude (degrees east): longitude / 15° rounded, halves
// away from zero, as the local report's standard time.
double longitudeZoneHours(double longitudeDeg) {
  return std::copysign(std::floor(std::fabs(longitudeDeg) / 15.0 + 0.5), longitudeDeg);
}

std::string siteNameOf(const SessionState& state) {
  if (const Site* city = chosenCity(state.site, state.sites)) return city->name;
  const SiteValues& where = state.site.where;
  return formatString("%.2f%s %.2f%s", std::fabs(where.longitudeDeg), where.longitudeDeg < 0 ? "W" : "E",
                      std::fabs(where.latitudeDeg), where.latitudeDeg < 0 ? "S" : "N");
}

HorizonMoon moonAt(const EclipseCircumstances& eclipse, const SiteValues& site, const char* name, double tHours,
                   const SiteClock* clock) {
  const MoonAltitude a = moonAltitudeAt(eclipse.record, site, tHours, eclipse.deltaTSeconds);
  const EclipseElements e = elementsAt(eclipse.record, tHours);
  HorizonMoon m;
  m.label = std::string(name) + " " + siteClockTime(eclipse, tHours, site, clock).time;
  m.azimuthDeg = a.azimuthDeg;
  m.altitudeDeg = a.apparentDeg;
  m.parallacticAngleDeg = a.parallacticAngleDeg;
  m.up = a.geocentricDeg > a.riseLimitDeg;
  m.xArcsec = e.x;
  m.yArcsec = e.y;
  // lu and lt are the centre distances at the outer and inner umbral contact.
  m.moonRadiusArcsec = 0.5 * (e.lu - e.lt);
  m.umbraRadiusArcsec = e.lu - m.moonRadiusArcsec;
  m.penumbraRadiusArcsec = e.lp - m.moonRadiusArcsec;
  return m;
}

}  // namespace

ClockReading siteClockTime(const EclipseCircumstances& eclipse, double tHours, const SiteValues& site,
                           const SiteClock* clock) {
  if (clock) {
    const double jdUt = eclipse.dayStartJd + eclipse.utHours(tHours) / 24.0;
    const ZoneOffset zone = clock->at(jdUt);
    return {clockMinuteText(jdUt, zone), zoneLabel(zone)};
  }
  const double zoneHours = longitudeZoneHours(site.longitudeDeg);
  const double jdUt = eclipse.dayStartJd + eclipse.utHours(tHours) / 24.0;
  const CalendarDate local = jdToCalendar(jdUt, ZoneMode::StandardZone, site.longitudeDeg);
  const long minutes = std::lround(local.hour * 60) % (24 * 60);
  return {formatString("%02ld:%02ld", minutes / 60, minutes % 60), formatString("UTC%+.0f", zoneHours)};
}

HorizonChartValues horizonChartValues(const EclipseCircumstances& eclipse, const SiteValues& site,
                                      const std::string& siteName, const SiteClock* clock) {
  HorizonChartValues v;
  const EclipseRecord& r = eclipse.record;
  const ContactTimes& c = eclipse.contacts;
  const ClockReading greatest = siteClockTime(eclipse, eclipse.greatestHours, site, clock);
  const double greatestJdUt = eclipse.dayStartJd + eclipse.utHours(eclipse.greatestHours) / 24.0;
  const char* type = exportTypeName(r.eclipseType);
  v.heading.push_back(formatString("Horizon from %s: %s%slunar eclipse", siteName.c_str(), type,
                                   *type ? " " : ""));
  if (clock) {
    v.heading.push_back(formatString("Greatest %s, times %s (the site's clock)",
                                     clockDateMinuteText(greatestJdUt, clock->at(greatestJdUt)).c_str(),
                                     greatest.zone.c_str()));
  } else {
    const CalendarDate day = jdToCalendar(greatestJdUt, ZoneMode::StandardZone, site.longitudeDeg);
    v.heading.push_back(formatString("Greatest %.0f-%02.0f-%02.0f %s, times %s (standard time of the longitude)",
                                     day.year, day.month, day.day, greatest.time.c_str(), greatest.zone.c_str()));
  }
  v.footnote = "The Moon's path from P1 to P4, solid while it is up; discs enlarged, shadow as at each time.";
  const int steps = static_cast<int>(std::ceil((c.p4 - c.p1) / kHorizonPathStepHours));
  for (int i = 0; i <= steps && steps < 10000; ++i) {
    const double t = i == steps ? c.p4 : c.p1 + i * kHorizonPathStepHours;
    const MoonAltitude a = moonAltitudeAt(r, site, t, eclipse.deltaTSeconds);
    v.path.push_back({a.azimuthDeg, a.apparentDeg, sunAltitudeAt(r, site, t, eclipse.deltaTSeconds),
                      a.geocentricDeg > a.riseLimitDeg});
  }
  const std::pair<const char*, std::optional<double>> instants[] = {
      {"P1", c.p1}, {"U1", c.u1}, {"U2", c.u2}, {"max", eclipse.greatestHours},
      {"U3", c.u3}, {"U4", c.u4}, {"P4", c.p4}};
  std::string below;
  for (const auto& [name, t] : instants) {
    if (!t) continue;
    v.moons.push_back(moonAt(eclipse, site, name, *t, clock));
    if (!v.moons.back().up) below += (below.empty() ? "" : ", ") + v.moons.back().label;
  }
  if (!below.empty()) v.heading.push_back("Moon below the horizon: " + below);
  return v;
}

HorizonChartValues horizonChartValuesOf(const SessionState& state, const ZoneDatabase* zones) {
  if (!zones) return horizonChartValues(state.circumstances, prepareSite(state), siteNameOf(state));
  const SiteClock clock = sessionSiteClock(state, *zones);
  return horizonChartValues(state.circumstances, prepareSite(state), siteNameOf(state), &clock);
}

void drawHorizonChartCommand(SessionState& state, DrawingSurface& surface, const ZoneDatabase* zones) {
  if (!state.circumstances.converged()) {
    surface.clear(paletteColour(PaletteIndex::Black));
    surface.setTextColour(paletteColour(PaletteIndex::White));
    surface.setBackgroundMode(BackgroundMode::Transparent);
    surface.textOut(10, 10, "No horizon chart: the eclipse's contacts could not be computed.");
    return;
  }
  drawHorizonChart(surface, horizonChartValuesOf(state, zones));
}

}  // namespace tarvo
