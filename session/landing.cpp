#include "session/landing.h"

#include <algorithm>
#include <cmath>
#include <ctime>

#include "catalogue/canon_walk.h"
#include "circumstances/geometry.h"
#include "session/current_eclipse.h"
#include "session/search_criteria.h"
#include "session/site_glue.h"

namespace tarvo {

namespace {

// December: the cursor past the end of the catalogue.
constexpr double kLastMonth = 12;
// Years a Saros search reads past its start before giving up.
constexpr double kSarosSearchSpanYears = 400.0;

// Magnitude and altitude at the site at greatest eclipse; false when the
// greatest-eclipse iteration did not converge (no search accepts the entry).
bool evaluateSite(SessionState& s) {
  const SiteAtGreatest g = greatestAtSite(s.current, prepareSite(s), s.greatestGuessHours, s.deltaT);
  s.siteMoonMagnitude = g.umbralMagnitude;
  s.siteMoonAltitude = g.altitudeDeg;
  return g.converged && std::isfinite(g.umbralMagnitude) && std::isfinite(g.altitudeDeg);
}

bool typeMatches(const SessionState& s) { return std::trunc(s.current.eclipseType) == s.typeCriterion; }

}  // namespace

std::string missingCatalogueLine(const CanonReader& reader) {
  const std::optional<MissingCanonFile>& missing = reader.lastMissingFile();
  if (!missing) return {};
  return missing->fileName + (missing->empty ? " is empty in " : missing->absent ? " not found in " : " cannot be read in ") +
         missing->directory.string();
}

int noCatalogueTextX(LandingOutcome outcome) {
  switch (outcome) {
    case LandingOutcome::NoCatalogueAtCursor: return 50;
    case LandingOutcome::NoCatalogueWhileSearching: return 10;
    default: return 0;
  }
}

ClockMonth localClockMonth() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {1900.0 + local.tm_year, 1.0 + local.tm_mon};
}

void resetForPaint(SessionState& state) {
  state.greatestGuessHours = 0;
  state.searchStartYear = state.year;
}

bool stepsOnFromCursor(SessionState& s) {
  switch (s.searchType) {
    case kSearchAll: return s.year < s.searchStartYear;
    case kSearchByType: return !typeMatches(s);
    case kSearchBySite: {
      const bool converged = evaluateSite(s);
      return !converged || s.siteMoonMagnitude < s.magnitudeCriterion ||
             s.siteMoonAltitude < kSiteAltitudeLimitDeg || s.year < s.searchStartYear;
    }
    case kSearchBySaros:
      if (s.sarosCriterion != s.current.saros) {
        s.searchStartYear = s.year;
        return true;
      }
      return false;
    default: return false;
  }
}

bool acceptedByForwardSearch(SessionState& s) {
  const CriteriaVerdict v = meetsCriteria(s.current, s.deltaT, searchCriteriaOf(s, s.sarosCriterion));
  if (v.siteEvaluated) {
    s.siteMoonMagnitude = v.site.umbralMagnitude;
    s.siteMoonAltitude = v.site.altitudeDeg;
  }
  if (v.accepted && s.searchType == kSearchBySaros) s.searchStartYear = s.year;
  return v.accepted;
}

LandingOutcome landAtCursor(SessionState& state, CanonReader& reader, const ClockSource& clock) {
  resetForPaint(state);
  if (state.pendingAction == kLandAtClock) {
    const ClockMonth now = clock ? clock() : localClockMonth();
    state.year = now.year;
    state.month = now.month;
    state.searchStartYear = state.year;
  }
  state.pendingAction = kLandAtCursor;
  EclipseEntry r;
  const LandStatus status = landOnMonth(reader, state.year, state.month, state.deltaTChoice, r);
  if (status == LandStatus::EndOfCatalogue) {
    // No eclipse at or after the cursor: the catalogue has ended.
    recomputeDeltaT(state);
    return LandingOutcome::EndOfCatalogue;
  }
  // ΔT is recomputed after every read, successful or not.
  if (status != LandStatus::Read) {
    recomputeDeltaT(state);
    state.pendingAction = kLandAtCursor;
    state.restartAfterError = -1;
    return LandingOutcome::NoCatalogueAtCursor;
  }
  takeCurrentEclipse(state, r);
  if (stepsOnFromCursor(state)) state.pendingAction = kSearchForward;
  return LandingOutcome::Shown;
}

LandingOutcome searchForward(SessionState& state, CanonReader& reader) {
  // Ends: every pass reads the next entry of a finite in-memory file or opens
  // a file later in the catalogue than the one just exhausted.
  while (state.pendingAction == kSearchForward) {
    EclipseEntry r;
    const WalkStep step = readOnward(reader, state.year, state.deltaTChoice, r);
    // At a file's end the cursor goes to month 1 of the next file's first
    // year; past the last file, to December of the catalogue's last year.
    if (step.crossedToYear != 0) {
      state.month = 1;
      if (step.status == WalkStatus::EndOfCatalogue) {
        state.year = kCanonFiles.back().lastYear;
        state.month = kLastMonth;
        state.pendingAction = kLandAtCursor;
        return LandingOutcome::EndOfCatalogue;
      }
      state.year = step.crossedToYear;
    }
    if (step.status == WalkStatus::Read) {
      takeCurrentEclipse(state, r);
    } else {
      recomputeDeltaT(state);
    }
    if (step.status == WalkStatus::NextFileMissing) {
      state.restartAfterError = -1;
      state.pendingAction = kLandAtCursor;
      return LandingOutcome::NoCatalogueWhileSearching;
    }
    if (acceptedByForwardSearch(state)) {
      state.pendingAction = kLandAtCursor;
      return LandingOutcome::Shown;
    }
    if (state.searchType == kSearchBySaros && state.searchStartYear + kSarosSearchSpanYears < state.year) {
      state.pendingAction = kLandAtCursor;
      return LandingOutcome::SarosNotFound;
    }
  }
  return LandingOutcome::Shown;
}

LandingOutcome positionForPaint(SessionState& state, CanonReader& reader, const ClockSource& clock) {
  if (state.pendingAction != kSearchForward) {
    const LandingOutcome landed = landAtCursor(state, reader, clock);
    if (landed != LandingOutcome::Shown) return landed;
  } else {
    resetForPaint(state);
  }
  return searchForward(state, reader);
}

}  // namespace tarvo
