#include "session/visibility_list.h"

#include <algorithm>
#include <cmath>

#include "catalogue/canon_walk.h"
#include "catalogue/saros_table.h"
#include "session/current_eclipse.h"
#include "session/landing.h"
#include "session/search.h"
#include "session/site_glue.h"
#include "timebase/delta_t.h"
#include "timebase/time_scales.h"

namespace tarvo {

namespace {

bool keeps(const ExportEclipse& e, const VisibilityListOptions& o) {
  if (!o.visibleOnly || !o.site) return true;
  return e.visibility && seenEnough(*e.visibility, o.minPhase);
}

}  // namespace

bool seenEnough(const Visibility& v, std::optional<EclipsePhase> minPhase) {
  if (!v.converged) return false;
  if (minPhase) return v.seen.deepest >= *minPhase && v.seen.deepest != EclipsePhase::None;
  return v.visibilityClass != VisibilityClass::None;
}

ExportEclipse exportEclipseOf(const EclipseEntry& r, const DeltaTChoice& deltaTChoice,
                              const std::optional<SiteValues>& site, const SiteClock* clock) {
  ExportEclipse x;
  x.jdTt = r.greatestJdTt;
  const CalendarDate tt = jdToCalendar(x.jdTt, ZoneMode::StandardZone, 0);
  x.year = tt.year;
  x.month = tt.month;
  x.day = tt.day;
  x.julianCalendar = std::floor(x.jdTt + 0.5) < kGregorianReformJd + 0.5;
  const double deltaT = entryDeltaTSeconds(r, deltaTChoice);
  const double sigmaSeconds = entryDeltaTSigmaSeconds(r, deltaTChoice);
  x.deltaTSeconds = deltaT;
  x.deltaTSigmaSeconds = sigmaSeconds;
  x.lunation = r.ninthValue;
  x.saros = r.saros;
  x.member = SarosStartTable::memberNumber(r.saros, r.year);
  x.type = r.eclipseType;
  x.gamma = r.gamma;
  x.penumbralMagnitude = r.penumbralMagnitude;
  x.umbralMagnitude = r.umbralMagnitude;

  // As the shown eclipse's circumstances: greatest eclipse from t = 0, its
  // contacts, and the UT day start that puts it at the catalogue's instant.
  const EclipseCircumstances c = eclipseCircumstances(r, deltaT, 0);
  x.converged = c.converged();
  const auto jdOf = [&](double t) { return c.dayStartJd + c.utHours(t) / 24.0; };
  x.greatestJd = jdOf(c.greatestHours);
  x.subLunarLatDeg = c.subLunar.latitudeDeg;
  x.subLunarLonDeg = c.subLunar.longitudeDeg;
  const ContactTimes& k = c.contacts;
  const auto times = contactTimesInOrder(k);
  for (std::size_t i = 0; i < times.size(); ++i) {
    if (x.converged && times[i]) x.contactJd[i] = jdOf(*times[i]);
  }
  if (site) x.visibility = visibilityAt(c, *site, sigmaSeconds);
  if (site && clock && x.converged) {
    x.greatestZone = clock->at(x.greatestJd);
    for (std::size_t i = 0; i < kContactCount; ++i) {
      if (x.contactJd[i]) x.contactZone[i] = clock->at(*x.contactJd[i]);
    }
  }
  return x;
}

VisibilityListSearch visibilityListSearch(CanonReader& reader, const SearchCriteria& criteria, double startYear,
                                          double periodYears, const VisibilityListOptions& options) {
  VisibilityListSearch out;
  std::optional<EclipseEntry> lastRead;
  if (options.maxEntries <= 0) return out;
  out.end = walkListSearch(
      reader, criteria, startYear, periodYears,
      [&](const EclipseEntry& e) {
        ExportEclipse x =
            exportEclipseOf(e, criteria.deltaT, options.site, options.clock ? &*options.clock : nullptr);
        if (!keeps(x, options)) return true;
        out.eclipses.push_back(std::move(x));
        out.entries.push_back({e.year, e.month, e.eclipseDay, e.eclipseType, e.saros});
        return static_cast<int>(out.eclipses.size()) < options.maxEntries;
      },
      lastRead);
  return out;
}

NextVisible nextVisibleEclipse(CanonReader& reader, const SearchCriteria& criteria, double year, double month,
                               const SiteValues& site, double minAltitudeDeg, double afterJd, EclipsePhase minPhase) {
  NextVisible out;
  EclipseEntry e;
  // The landing of show and of the window: the first entry at or after the month.
  switch (landOnMonth(reader, year, month, criteria.deltaT, e)) {
    case LandStatus::Read: break;
    case LandStatus::NoFile: out.end = SearchEnd::StartFileMissing; return out;
    case LandStatus::EndOfCatalogue: out.end = SearchEnd::EndOfCatalogue; return out;
    case LandStatus::NextFileMissing: out.end = SearchEnd::NextFileMissing; return out;
  }
  for (;;) {
    if (e.greatestJd > afterJd &&
        meetsCriteria(e, entryDeltaTSeconds(e, criteria.deltaT), criteria).accepted) {
      ExportEclipse x = exportEclipseOf(e, criteria.deltaT, site);
      const Visibility& v = *x.visibility;
      if (seenEnough(v, minPhase) && v.greatestAltitudeDeg >= minAltitudeDeg) {
        out.found = std::move(x);
        out.record = e;
        return out;
      }
    }
    const WalkStep step = readOnward(reader, e.year, criteria.deltaT, e);
    if (step.status != WalkStatus::Read) {
      out.end = step.status == WalkStatus::EndOfCatalogue ? SearchEnd::EndOfCatalogue : SearchEnd::NextFileMissing;
      return out;
    }
  }
}

ExportSite exportSiteOf(const SessionState& s, const SiteList& cities) {
  ExportSite out;
  const SiteValues v = prepareSite(s);
  out.longitudeDeg = v.longitudeDeg;
  out.latitudeDeg = v.latitudeDeg;
  out.heightM = v.heightM;
  if (const Site* city = chosenCity(s.site, cities)) {
    out.name = city->name;
  }
  return out;
}

ExportList exportListOf(const SessionState& s, const SiteList& cities, bool withSite,
                        std::vector<ExportEclipse> eclipses, const SiteClock* clock) {
  ExportList list;
  if (withSite) list.site = exportSiteOf(s, cities);
  if (withSite && clock) list.site->zone = clock->name();
  list.deltaTModel = deltaTModelName(s.deltaTChoice.model);
  list.eclipses = std::move(eclipses);
  return list;
}

double julianDayOfUnixSeconds(double seconds) {
  return kUnixEpochJd + seconds / kSecondsPerDay;
}

NextVisible nextVisibleEclipseCommand(SessionState& s, CanonReader& reader, EclipsePhase minPhase) {
  const NextVisible found = nextVisibleEclipse(reader, searchCriteriaOf(s, s.sarosCriterion), s.year, s.month,
                                               prepareSite(s), -90, s.current.greatestJd, minPhase);
  if (!found.record) return found;
  const EclipseEntry& e = *found.record;
  s.year = e.year;
  s.month = landingMonthOf(reader, e, s.deltaTChoice);
  return found;
}

SiteClock siteChoiceClock(const SiteChoice& site, const SiteList& cities, const ZoneDatabase& zones) {
  SiteClock clock;
  clock.zones = &zones;
  const Site* city = chosenCity(site, cities);
  // A zone given for the site is its clock, a city's as on the command line's --tz.
  if (city && site.timeZone.empty()) {
    clock.zone = cityZone(*city, zones);
  } else {
    const std::optional<std::string> given =
        site.timeZone.empty() ? std::nullopt : std::optional<std::string>(site.timeZone);
    clock.zone = typedSiteZone(site.where, given, cities, zones);
  }
  return clock;
}

SiteClock sessionSiteClock(const SessionState& s, const ZoneDatabase& zones) {
  return siteChoiceClock(s.site, s.sites, zones);
}

VisibilityListSearch windowListSearch(SessionState& s, CanonReader& reader, double startYear, double periodYears,
                                      bool withSite, const ZoneDatabase* zones, std::optional<EclipsePhase> minPhase) {
  VisibilityListOptions o;
  if (withSite) o.site = prepareSite(s);
  if (withSite && zones) o.clock = sessionSiteClock(s, *zones);
  o.visibleOnly = withSite;
  o.minPhase = minPhase;
  // The view stays as it is: Next steps on from the eclipse shown.
  const CanonReader::Position shown = reader.position();
  VisibilityListSearch found = visibilityListSearch(reader, searchCriteriaOf(s, s.current.saros), startYear, periodYears, o);
  reader.restore(shown);
  if (withSite) {
    const std::size_t n = std::min(found.entries.size(), s.eclipseList.size());
    std::copy_n(found.entries.begin(), n, s.eclipseList.begin());
    s.eclipseListCount = static_cast<int>(n);
  }
  return found;
}

}  // namespace tarvo
