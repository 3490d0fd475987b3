#include "session/record_glue.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "base/text_format.h"
#include "catalogue/canon_reader.h"
#include "circumstances/eclipse_circumstances.h"
#include "timebase/delta_t.h"
#include "timebase/historical_dates.h"
#include "timebase/time_scales.h"

namespace tarvo {

namespace {

constexpr std::array<const char*, 12> kMonths = {"January", "February", "March",     "April",   "May",      "June",
                                                 "July",    "August",   "September", "October", "November", "December"};

const char* typeWords(double type) {
  switch (eclipseTypeCode(type)) {
    case 1: return "total lunar eclipse";
    case 2: return "partial lunar eclipse";
    case 3: return "penumbral lunar eclipse";
    default: return "lunar eclipse";
  }
}

// "total lunar eclipse of 2025 March 14 (UT), Saros 123"; a year before
// AD 1 also as historians write it.
std::string eclipseWords(const SessionState& s) {
  const int month = std::clamp(static_cast<int>(s.month), 1, 12);
  std::string year = formatString("%.0f", s.year);
  if (s.year < 1) year += " (" + historicalYearText(s.year) + ")";
  return formatString("%s of %s %s %.0f (UT), Saros %.0f", typeWords(s.current.eclipseType), year.c_str(),
                      kMonths[static_cast<std::size_t>(month - 1)], s.current.eclipseDay, s.current.saros);
}

std::string siteWords(const SiteValues& site, const std::string& name) {
  const std::string where = formatString("%.3f° %s, %.3f° %s, %.0f m", std::fabs(site.longitudeDeg),
                                         site.longitudeDeg < 0 ? "W" : "E", std::fabs(site.latitudeDeg),
                                         site.latitudeDeg < 0 ? "S" : "N", site.heightM);
  return name.empty() ? where : name + " (" + where + ")";
}

}  // namespace

std::optional<SessionRecord> sessionRecordOf(const SessionState& state, const std::string& siteName) {
  // The record is solved around the model alone: the entry in UT under it.
  const DeltaTModel model = state.deltaTChoice.model;
  const EclipseEntry atModel = reconvertedEntry(state.current, DeltaTChoice{model, 0});
  const double t = centuriesFromJ2000(atModel.greatestJd);
  SessionRecord r;
  r.context.search.modelSeconds = deltaTSeconds(model, t);
  r.context.search.sigmaSeconds = deltaTSigmaSeconds(model, t);
  r.eclipse = eclipseCircumstances(atModel, r.context.search.modelSeconds, state.greatestGuessHours);
  if (!r.eclipse.converged()) return std::nullopt;
  r.site = state.site.where;
  r.context.eclipseText = eclipseWords(state);
  r.context.siteText = siteWords(r.site, siteName);
  r.context.modelName = deltaTModelName(model);
  return r;
}

RecordResult solveSessionRecord(const SessionRecord& record, const std::vector<Statement>& statements) {
  return solveRecord(statements, record.eclipse, record.site, record.context.search);
}

}  // namespace tarvo
