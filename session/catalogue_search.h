// The searches through the canon by the search criteria: the acceptance test
// every search shares, the backward search ("Previous") and the list search.
// They take the criteria as values and move only the reader; the session glue
// (session/search.h) copies their results into the session.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "catalogue/canon_reader.h"
#include "catalogue/eclipse_list_entry.h"
#include "circumstances/geometry.h"

namespace tarvo {

enum SearchType : int { kSearchAll = 0, kSearchByType = 1, kSearchBySite = 2, kSearchBySaros = 3 };

// Lowest geocentric altitude, degrees, at which a site search counts the Moon
// as seen at greatest eclipse (strictly above it).
inline constexpr double kSiteAltitudeLimitDeg = -15.0;

struct SearchCriteria {
  int searchType = kSearchAll;      // any other value accepts every entry
  int typeCriterion = 1;            // by type: the type code wanted (4..6 match nothing)
  double magnitudeCriterion = 0.5;  // by site: umbral magnitude at the site must exceed it
  SiteValues site;                  // by site: the observing site
  double saros = 0;                 // by Saros: the series wanted
  DeltaTChoice deltaT;              // the entries are read and evaluated with it
};

// ΔT, seconds, for an entry as read: the model plus the user's correction,
// at the catalogue's TT instant of greatest eclipse, the instant the reader
// converts to UT at (so the entry's UT date and this ΔT go together).
double entryDeltaTSeconds(const EclipseEntry& entry, const DeltaTChoice& deltaT);
// The model's σ of ΔT, seconds, at the same instant.
double entryDeltaTSigmaSeconds(const EclipseEntry& entry, const DeltaTChoice& deltaT);

struct CriteriaVerdict {
  bool accepted = false;
  bool siteEvaluated = false;  // a site search: `site` holds the evaluation
  SiteAtGreatest site{0, 0, false};
};

// The strict acceptance test of a stepped-to entry: by type, trunc(type)
// equals the type wanted; by site, greatest eclipse (from t = 0 with
// deltaTSeconds) converged and the site's umbral magnitude exceeds the
// criterion and the Moon's altitude exceeds −15°; by Saros, the series is the
// one wanted; otherwise always.
CriteriaVerdict meetsCriteria(const EclipseRecord& entry, double deltaTSeconds, const SearchCriteria& criteria);

// How a search ended.
enum class SearchEnd {
  Finished,          // reached its own stopping point
  EndOfCatalogue,    // read past the last entry of the catalogue
  NextFileMissing,   // a file after the first could not be opened
  StartFileMissing,  // the first file could not be opened
  NothingEarlier,    // a backward search from the start of the catalogue found nothing
};

struct PreviousSearch {
  double year = 0, month = 0;  // the eclipse to show: the last accepted, else the current one, as a
                               // cursor that lands on it (+ 0.5 for the second of a month)
  bool found = false;
  SearchEnd end = SearchEnd::Finished;
  std::optional<EclipseEntry> lastRead;  // the entry the reader stands on (UT)
};

// The backward search from the current eclipse (UT year and month; month +
// 0.5 names the second eclipse of a month, as the landing takes it): opens
// the catalogue at month 1 of year − windowYears (never before −13000), then
// walks forward across file boundaries to the current eclipse, remembering
// the last entry accepted. The entry the window opens on is not tested (but
// for the catalogue's first eclipse); when it is the current eclipse (or
// later), nothing is earlier. The walk also
// stops at the first entry after (year, month), so a cursor that names no
// eclipse cannot send it to the end of the catalogue. A window from the
// catalogue's first year that finds nothing ends NothingEarlier.
PreviousSearch searchPrevious(CanonReader& reader, const SearchCriteria& criteria, double windowYears,
                              double year, double month);

// The eclipse list holds at most this many entries.
inline constexpr int kMaxListEntries = 100;

struct ListSearch {
  std::vector<EclipseListEntry> entries;  // at most kMaxListEntries
  SearchEnd end = SearchEnd::Finished;
};

// The list search: from the first entry of the file that holds startYear,
// every accepted entry whose UT year lies in [startYear, startYear +
// periodYears] is listed; it ends after the first accepted entry beyond the
// period, at kMaxListEntries entries, or at the end of the catalogue.
ListSearch listSearch(CanonReader& reader, const SearchCriteria& criteria, double startYear, double periodYears);

// Receives each entry the list search takes; returns false to end the search.
using ListTake = std::function<bool(const EclipseEntry&)>;

// The list search's walk: each accepted entry of the period goes to take;
// the walk ends as listSearch's does, or when take returns false (Finished).
// lastRead is the entry the reader stands on.
SearchEnd walkListSearch(CanonReader& reader, const SearchCriteria& criteria, double startYear,
                         double periodYears, const ListTake& take, std::optional<EclipseEntry>& lastRead);

}  // namespace tarvo
