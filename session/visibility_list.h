// Eclipses with their visibility at a site: one catalogue entry as exported,
// the list search that keeps what can be seen, and the next eclipse seen
// from a site.
#pragma once

#include <optional>
#include <vector>

#include "catalogue/canon_reader.h"
#include "catalogue/eclipse_list_entry.h"
#include "circumstances/geometry.h"
#include "export/eclipse_export.h"
#include "session/session_state.h"
#include "session/catalogue_search.h"

namespace tarvo {

// One entry as read (UT, converted with `model`), its circumstances at
// ΔT = model + adjustment, and its visibility at the site when one is given,
// `uncertain` judged at ΔT ± σ of the model's uncertainty at its date.
ExportEclipse exportEclipseOf(const EclipseRecord& entry, double deltaTAdjustSeconds, DeltaTModel model,
                              const std::optional<SiteValues>& site);

struct VisibilityListOptions {
  std::optional<SiteValues> site;  // the visibility site, if any
  bool visibleOnly = false;        // keep only eclipses whose class is not none (needs a site)
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
  std::optional<EclipseRecord> record;  // the entry found (UT)
  SearchEnd end = SearchEnd::Finished;  // EndOfCatalogue or a missing file when nothing was found
};

// The first entry at or after (year, month), and after the UT Julian Day
// afterJd, that meets the criteria, is not `none` at the site and has the
// Moon at least minAltitudeDeg up (apparent) at greatest eclipse. ΔT follows
// criteria.deltaTModel and criteria.deltaTAdjustSeconds.
NextVisible nextVisibleEclipse(CanonReader& reader, const SearchCriteria& criteria, double year, double month,
                               const SiteValues& site, double minAltitudeDeg, double afterJd = -1e300);

// The observing site of the session as exported: the display site's city
// name in `cities` (empty for typed coordinates) and its coordinates.
ExportSite exportSiteOf(const SessionState& state, const SiteList& cities);

// A found list as it is exported, for the command line and the list window
// alike: the session's ΔT model, and the observing site when withSite.
ExportList exportListOf(const SessionState& state, const SiteList& cities, bool withSite,
                        std::vector<ExportEclipse> eclipses);

// The Julian Day (UT) of a moment given in seconds since 1970-01-01 0 h UT,
// for an export's time stamp.
double julianDayOfUnixSeconds(double seconds);

// The Next Visible Eclipse command: the first eclipse after the shown one
// that meets the session's criteria and is not `none` at the observing site.
// When one is found the cursor moves to it (a month with a fraction when it
// is the second eclipse of its month, as the landing then needs); the caller
// lands on the cursor. The reader is left anywhere.
NextVisible nextVisibleEclipseCommand(SessionState& state, CanonReader& reader);

// The list window's lists. withSite false: the list search as the list
// shows it, the rows without a site; true: only the eclipses seen from the
// observing site (at most kMaxListEntries), which become the session's
// eclipse list. Both as `tarvo list START PERIOD [--city|--site --visible]`.
// The reader is left where it stood, so Next steps on from the eclipse shown.
VisibilityListSearch windowListSearch(SessionState& state, CanonReader& reader, double startYear,
                                      double periodYears, bool withSite);

}  // namespace tarvo
