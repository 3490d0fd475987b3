// Eclipses with their visibility at a site: one catalogue entry as exported,
// the list search that keeps what can be seen, and the next eclipse seen
// from a site.
#pragma once

#include <optional>
#include <vector>

#include "catalogue/canon_reader.h"
#include "catalogue/eclipse_list_entry.h"
#include "circumstances/geometry.h"
#include "circumstances/phase_seen.h"
#include "circumstances/site_zone.h"
#include "export/eclipse_export.h"
#include "session/session_state.h"
#include "session/catalogue_search.h"

namespace tarvo {

// One entry as read with deltaT (UT, and the stored TT), its circumstances
// at that ΔT, and its visibility at the site when one is given, `uncertain`
// judged at ΔT ± σ of the model's uncertainty at its date; with a clock too,
// its zone at greatest eclipse and at each contact.
ExportEclipse exportEclipseOf(const EclipseEntry& entry, const DeltaTChoice& deltaT,
                              const std::optional<SiteValues>& site, const SiteClock* clock = nullptr);

// Whether an eclipse at a site passes a visibility filter: with minPhase,
// its deepest phase seen is at least that; without, its class is not none.
bool seenEnough(const Visibility& v, std::optional<EclipsePhase> minPhase);

struct VisibilityListOptions {
  std::optional<SiteValues> site;  // the visibility site, if any
  std::optional<SiteClock> clock;  // the site's clock for the civil times
  bool visibleOnly = false;        // keep only eclipses seen enough (needs a site)
  std::optional<EclipsePhase> minPhase;  // with visibleOnly: the phase to be seen (seenEnough)
  int maxEntries = kMaxListEntries;
};

struct VisibilityListSearch {
  std::vector<ExportEclipse> eclipses;
  std::vector<EclipseListEntry> entries;  // the same eclipses as list lines
  SearchEnd end = SearchEnd::Finished;
};

// The list search (walkListSearch) keeping up to maxEntries eclipses.
VisibilityListSearch visibilityListSearch(CanonReader& reader, const SearchCriteria& criteria, double startYear,
                                          double periodYears, const VisibilityListOptions& options);

struct NextVisible {
  std::optional<ExportEclipse> found;
  std::optional<EclipseEntry> record;  // the entry found (UT)
  SearchEnd end = SearchEnd::Finished;  // EndOfCatalogue or a missing file when nothing was found
};

// What Next Visible Eclipse looks for by default: the partial phase seen.
inline constexpr EclipsePhase kDefaultMinPhase = EclipsePhase::Partial;

// The first entry at or after (year, month), and after the UT Julian Day
// afterJd, that meets the criteria, whose deepest phase seen from the site is
// at least minPhase, and has the Moon at least minAltitudeDeg up (apparent)
// at greatest eclipse. ΔT follows criteria.deltaT.
NextVisible nextVisibleEclipse(CanonReader& reader, const SearchCriteria& criteria, double year, double month,
                               const SiteValues& site, double minAltitudeDeg, double afterJd = -1e300,
                               EclipsePhase minPhase = kDefaultMinPhase);

// The observing site of the session as exported: the display site's city
// name in `cities` (empty for typed coordinates) and its coordinates.
ExportSite exportSiteOf(const SessionState& state, const SiteList& cities);

// A found list as it is exported, for the command line and the list window
// alike: the session's ΔT model, and the observing site when withSite (with
// the name of its clock when one is given).
ExportList exportListOf(const SessionState& state, const SiteList& cities, bool withSite,
                        std::vector<ExportEclipse> eclipses, const SiteClock* clock = nullptr);

// The Julian Day (UT) of a moment given in seconds since 1970-01-01 0 h UT,
// for an export's time stamp.
double julianDayOfUnixSeconds(double seconds);

// The Next Visible Eclipse command: the first eclipse after the shown one
// that meets the session's criteria and whose partial phase (minPhase) is
// seen from the observing site.
// When one is found the cursor moves to it (a month with a fraction when it
// is the second eclipse of its month, as the landing then needs); the caller
// lands on the cursor. The reader is left anywhere.
NextVisible nextVisibleEclipseCommand(SessionState& state, CanonReader& reader,
                                      EclipsePhase minPhase = kDefaultMinPhase);

// The list window's lists. withSite false: the list search as the list
// shows it, the rows without a site; true: only the eclipses seen from the
// observing site (at most kMaxListEntries), which become the session's
// eclipse list. Both as `tarvo list START PERIOD [--city|--site --visible]`.
// The reader is left where it stood, so Next steps on from the eclipse shown.
// With zones, the civil times are on the observing site's clock
// (sessionSiteClock), else on the longitude's zone.
// minPhase, with withSite, is the phase that must be seen (seenEnough).
VisibilityListSearch windowListSearch(SessionState& state, CanonReader& reader, double startYear,
                                      double periodYears, bool withSite, const ZoneDatabase* zones = nullptr,
                                      std::optional<EclipsePhase> minPhase = std::nullopt);

// The observing site's clock in the session: the zone given for the site
// (SiteChoice::timeZone) when there is one, else the display city's zone of
// the tz database (or its offset column), or for typed coordinates the
// nearest listed city's within 300 km, else the longitude's whole-hour zone.
SiteClock sessionSiteClock(const SessionState& state, const ZoneDatabase& zones);
// The same for a site choice and a city list.
SiteClock siteChoiceClock(const SiteChoice& site, const SiteList& cities, const ZoneDatabase& zones);

}  // namespace tarvo
