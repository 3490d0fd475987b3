#include "session/local_display.h"

#include "surface/drawing_surface.h"
#include "session/current_eclipse.h"
#include "session/site_glue.h"

namespace tarvo {

namespace {

constexpr int kLeftX = 10;  // pixels, left edge of every line

}  // namespace

void prepareLocalReport(SessionState& state) { updateCurrentEclipse(state); }

std::vector<ReportLine> localReportLines(SessionState& state, const ReportCity* city) {
  const EclipseCircumstances& eclipse = state.circumstances;
  const LocalCircumstances local = localCircumstances(eclipse, prepareSite(state));
  LocalReport report =
      localReport(eclipse, local, city, state.site.typed());
  state.horizonCrossHours = report.horizonCrossHours;
  state.localEclipseDate = {report.localEclipseDate.year, report.localEclipseDate.month,
                            report.localEclipseDate.day};
  return std::move(report.lines);
}

std::vector<ReportLine> localReportLines(SessionState& state, const SiteList& sites) {
  const Site* site = chosenCity(state.site, sites);
  if (site == nullptr) return localReportLines(state, nullptr);
  const ReportCity city{site->name, site->longitude, site->latitude, site->height};
  return localReportLines(state, &city);
}

void drawLocalReport(DrawingSurface& surface, SessionState& state, const SiteList& sites) {
  surface.setTextColour(paletteColour(PaletteIndex::White));
  for (const ReportLine& line : localReportLines(state, sites)) {
    drawText(surface, kLeftX, line.y, line.text);
  }
}

}  // namespace tarvo
