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
#include "session/catalogue_search.h"

namespace tarvo {

// The name of the ΔT model in use.
inline constexpr const char* kDeltaTModelName = "builtin";

// One entry as read (UT), its circumstances at ΔT = model + adjustment, and
// its visibility at the site when one is given (sigmaSeconds: ΔT's 1σ).
ExportEclipse exportEclipseOf(const EclipseRecord& entry, double deltaTAdjustSeconds, double sigmaSeconds,
                              const std::optional<SiteValues>& site);

struct VisibilityListOptions {
  std::optional<SiteValues> site;  // the visibility site, if any
  bool visibleOnly = false;        // keep only eclipses whose class is not none (needs a site)
  int maxEntries = kMaxListEntries;
  double sigmaSeconds = 0;
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

// The first entry at or after (year, month) that meets the criteria, is not
// `none` at the site and has the Moon at least minAltitudeDeg up (apparent)
// at greatest eclipse.
NextVisible nextVisibleEclipse(CanonReader& reader, const SearchCriteria& criteria, double year, double month,
                               const SiteValues& site, double minAltitudeDeg, double sigmaSeconds);

}  // namespace tarvo
