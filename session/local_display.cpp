#include "session/local_display.h"

#include "circumstances/visibility.h"
#include "surface/drawing_surface.h"
#include "session/current_eclipse.h"
#include "session/site_glue.h"

namespace tarvo {

namespace {

constexpr int kLeftX = 10;  // pixels, left edge of every line

}  // namespace

void prepareLocalReport(SessionState& state) { updateCurrentEclipse(state); }

std::vector<ReportLine> localReportLines(SessionState& state, const ReportCity* city,
                                         ReportAltitudes altitudes) {
  const EclipseCircumstances& eclipse = state.circumstances;
  const SiteValues site = prepareSite(state);
  const LocalCircumstances local = localCircumstances(eclipse, site);
  SeenAltitude seen;
  if (altitudes == ReportAltitudes::AsSeen) {
    seen = [&eclipse, site](double tHours) {
      return moonAltitudeAt(eclipse.record, site, tHours, eclipse.deltaTSeconds).apparentDeg;
    };
  }
  LocalReport report =
      localReport(eclipse, local, city, state.displaySiteIndex == kTypedSiteIndex, seen);
  state.horizonCrossHours = report.horizonCrossHours;
  state.localEclipseDate = {report.localEclipseDate.year, report.localEclipseDate.month,
                            report.localEclipseDate.day};
  return std::move(report.lines);
}

std::vector<ReportLine> localReportLines(SessionState& state, const SiteList& sites,
                                         ReportAltitudes altitudes) {
  const Site* site = sites.byNumber(state.displaySiteIndex);
  if (site == nullptr) return localReportLines(state, nullptr, altitudes);
  const ReportCity city{site->name, site->longitude, site->latitude, site->height};
  return localReportLines(state, &city, altitudes);
}

void drawLocalReport(DrawingSurface& surface, SessionState& state, const SiteList& sites,
                     ReportAltitudes altitudes) {
  surface.setTextColour(paletteColour(PaletteIndex::White));
  for (const ReportLine& line : localReportLines(state, sites, altitudes)) {
    drawText(surface, kLeftX, line.y, line.text);
  }
}

}  // namespace tarvo
