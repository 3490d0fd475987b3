#include "session/catalogue_search.h"

#include <algorithm>
#include <cmath>

#include "catalogue/canon_walk.h"
#include "timebase/time_scales.h"

namespace tarvo {

namespace {

// The first year of the catalogue: no window opens before it.
constexpr double kCatalogueFirstYear = -13000;

// The entry the cursor (year, month) lands on, or a later one.
bool atOrAfter(const EclipseRecord& e, double year, double month) {
  return landsOnMonth(e.year, e.month, e.eclipseDay, year, month);
}

SearchEnd endOf(WalkStatus status) {
  return status == WalkStatus::EndOfCatalogue ? SearchEnd::EndOfCatalogue : SearchEnd::NextFileMissing;
}

}  // namespace

double entryDeltaTSeconds(const EclipseEntry& entry, const DeltaTChoice& deltaT) {
  return deltaT.secondsAt(centuriesFromJ2000(entry.greatestJdTt));
}

double entryDeltaTSigmaSeconds(const EclipseEntry& entry, const DeltaTChoice& deltaT) {
  return deltaT.sigmaSecondsAt(centuriesFromJ2000(entry.greatestJdTt));
}

CriteriaVerdict meetsCriteria(const EclipseRecord& entry, double deltaTSeconds, const SearchCriteria& c) {
  CriteriaVerdict v;
  switch (c.searchType) {
    case kSearchByType:
      v.accepted = std::trunc(entry.eclipseType) == c.typeCriterion;
      break;
    case kSearchBySite: {
      v.siteEvaluated = true;
      v.site = greatestAtSite(entry, c.site, 0, deltaTSeconds);
      v.accepted = v.site.converged && std::isfinite(v.site.umbralMagnitude) &&
                   std::isfinite(v.site.altitudeDeg) && v.site.umbralMagnitude > c.magnitudeCriterion &&
                   v.site.altitudeDeg > kSiteAltitudeLimitDeg;
      break;
    }
    case kSearchBySaros:
      v.accepted = entry.saros == c.saros;
      break;
    default:
      v.accepted = true;
  }
  return v;
}

PreviousSearch searchPrevious(CanonReader& reader, const SearchCriteria& criteria, double windowYears,
                              double year, double month) {
  PreviousSearch out;
  out.year = year;
  out.month = month;
  const double windowStart = std::max(year - windowYears, kCatalogueFirstYear);
  reader.close();
  EclipseEntry e;
  if (!succeeded(reader.openAt(windowStart, 1, criteria.deltaT, e))) {
    out.end = SearchEnd::StartFileMissing;
    return out;
  }
  out.lastRead = e;
  const bool fromFirstEclipse = windowStart <= kCatalogueFirstYear;
  const auto finished = [&] {
    if (fromFirstEclipse && !out.found) out.end = SearchEnd::NothingEarlier;
    return out;
  };
  // An accepted entry is remembered as the cursor that lands on it: the
  // second eclipse of a month by the month's second half.
  const auto consider = [&](const EclipseEntry& entry, const EclipseEntry* before) {
    if (!meetsCriteria(entry, entryDeltaTSeconds(entry, criteria.deltaT), criteria).accepted) return;
    const bool second = before && before->year == entry.year && before->month == entry.month;
    out.year = entry.year;
    out.month = second ? entry.month + 0.5 : entry.month;
    out.found = true;
  };
  // The window's first entry is its start, never a result, except for the
  // catalogue's first eclipse, which no other window holds.
  if (atOrAfter(e, year, month)) return finished();
  if (fromFirstEclipse) consider(e, nullptr);
  // Ends: every step reads on in a file or moves to a later file.
  for (;;) {
    const EclipseEntry before = e;
    const WalkStep step = readOnward(reader, e.year, criteria.deltaT, e);
    if (step.status != WalkStatus::Read) {
      out.end = endOf(step.status);
      return out;
    }
    out.lastRead = e;
    if (atOrAfter(e, year, month)) return finished();
    consider(e, &before);
  }
}

SearchEnd walkListSearch(CanonReader& reader, const SearchCriteria& criteria, double startYear,
                         double periodYears, const ListTake& take, std::optional<EclipseEntry>& lastRead) {
  EclipseEntry e;
  if (!succeeded(reader.openFirst(startYear, criteria.deltaT, e))) return SearchEnd::StartFileMissing;
  const double lastYear = startYear + periodYears;
  // Ends: as searchPrevious, and when take says so.
  for (;;) {
    lastRead = e;
    if (meetsCriteria(e, entryDeltaTSeconds(e, criteria.deltaT), criteria).accepted) {
      if (e.year > lastYear) return SearchEnd::Finished;
      if (e.year >= startYear && !take(e)) return SearchEnd::Finished;
    }
    const WalkStep step = readOnward(reader, e.year, criteria.deltaT, e);
    if (step.status != WalkStatus::Read) return endOf(step.status);
  }
}

ListSearch listSearch(CanonReader& reader, const SearchCriteria& criteria, double startYear, double periodYears) {
  ListSearch out;
  std::optional<EclipseEntry> lastRead;
  out.end = walkListSearch(
      reader, criteria, startYear, periodYears,
      [&out](const EclipseEntry& e) {
        out.entries.push_back({e.year, e.month, e.eclipseDay, e.eclipseType, e.saros});
        return static_cast<int>(out.entries.size()) < kMaxListEntries;
      },
      lastRead);
  return out;
}

}  // namespace tarvo
