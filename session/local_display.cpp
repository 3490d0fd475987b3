#include "session/local_display.h"

#include "core/drawing_surface.h"
#include "session/greatest_eclipse.h"
#include "session/site_glue.h"

namespace tarvo {

namespace {

constexpr int kLeftX = 10;  // pixels, left edge of every line
constexpr int kWhite = 15;  // palette index

}  // namespace

void prepareLocalReport(SessionState& state) { updateGreatestEclipse(state); }

LocalReportInputs localReportInputsOf(const SessionState& state) {
  LocalReportInputs in;
  in.record = &state.current;
  in.eclipseType = state.eclipseType;
  in.epochHour = state.epochHour;
  in.greatestJd = state.greatestJd;
  in.deltaTSeconds = state.deltaT;
  in.greatestOffsetHours = state.greatestOffsetHours;
  in.contacts = state.contacts;
  in.converged = currentEclipseConverged(state);
  in.dayStartJd = state.dayStartJd;
  in.site = prepareSite(state);
  in.typedSite = state.displaySiteIndex == kTypedSiteIndex;
  return in;
}

std::vector<ReportLine> localReportLines(SessionState& state, const ReportCity* city) {
  LocalReport report = localReport(localReportInputsOf(state), city);
  state.horizonCrossHours = report.horizonCrossHours;
  state.localEclipseDate = {report.localEclipseDate.year, report.localEclipseDate.month,
                            report.localEclipseDate.day};
  return std::move(report.lines);
}

std::vector<ReportLine> localReportLines(SessionState& state, const SiteList& sites) {
  const Site* site = sites.byNumber(state.displaySiteIndex);
  if (site == nullptr) return localReportLines(state, nullptr);
  const ReportCity city{site->name, site->longitude, site->latitude, site->height};
  return localReportLines(state, &city);
}

void drawLocalReport(DrawingSurface& surface, SessionState& state, const SiteList& sites) {
  surface.setTextColour(paletteColour(kWhite));
  for (const ReportLine& line : localReportLines(state, sites)) {
    drawText(surface, kLeftX, line.y, line.text);
  }
}

}  // namespace tarvo
