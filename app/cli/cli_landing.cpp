#include "app/cli/cli_landing.h"

#include <cstdio>

#include "app/cli/command_registry.h"
#include "session/paint.h"
#include "session/search.h"
#include "session/site_glue.h"

namespace tarvo::cli {

void printMissingCatalogueLine(const CanonReader& reader) {
  if (const std::string line = missingCatalogueLine(reader); !line.empty())
    std::fprintf(stderr, "%s\n", line.c_str());
}

void printSearchNoFileTexts(const CanonReader& reader) {
  for (const ScreenText& t : kSearchNoFileTexts) std::fprintf(stderr, "%s\n", t.text);
  printMissingCatalogueLine(reader);
}

int reportOutcome(LandingOutcome outcome, const CanonReader& reader) {
  for (const ScreenText& t : landingFailureTexts(outcome)) std::fprintf(stderr, "%s\n", t.text);
  if (noCatalogueTextX(outcome) != 0) printMissingCatalogueLine(reader);
  switch (outcome) {
    case LandingOutcome::Shown: return kExitShown;
    case LandingOutcome::NoCatalogueAtCursor:
    case LandingOutcome::NoCatalogueWhileSearching: return kExitNoCatalogue;
    case LandingOutcome::EndOfCatalogue:
    case LandingOutcome::NoEarlierEclipse: return kExitEndOfCatalogue;
    case LandingOutcome::SarosNotFound: return kExitSarosNotFound;
  }
  return kExitUsage;
}

bool previousStepsFrom(LandingOutcome outcome) {
  return outcome == LandingOutcome::Shown || outcome == LandingOutcome::EndOfCatalogue;
}

SteppedLanding landAndStep(SessionState& state, CanonReader& reader, const SharedOptions& options) {
  SteppedLanding run;
  state.pendingAction = kLandAtCursor;
  run.outcome = positionForPaint(state, reader);
  for (double step = 0; step < options.nextSteps && run.outcome == LandingOutcome::Shown; ++step) {
    state.pendingAction = kSearchForward;
    run.outcome = positionForPaint(state, reader);
  }
  for (double step = 0; step < options.prevSteps && previousStepsFrom(run.outcome); ++step) {
    const SearchEnd end = runPreviousSearch(state, reader).end;
    if (end == SearchEnd::NothingEarlier) {
      run.outcome = LandingOutcome::NoEarlierEclipse;
      break;
    }
    if (end == SearchEnd::NextFileMissing) {
      printSearchNoFileTexts(reader);
      run.previousMissedAFile = true;
    }
    run.outcome = positionForPaint(state, reader);
  }
  return run;
}

namespace {
bool damageReported = false;
}  // namespace

void reportDefects(const CanonReader& reader) {
  for (const CanonDefect& d : reader.defectsSeen()) {
    std::fprintf(stderr, "tarvo: %s; the catalogue is damaged there and read only up to it\n",
                 describeDefect(d).c_str());
    damageReported = true;
  }
}

bool catalogueDamageReported() { return damageReported; }

void printSiteListNotice(const std::string& notice, bool unreadable) {
  if (unreadable) {
    std::fprintf(stderr, "tarvo: %s (looked in %s)\n", notice.c_str(), siteFilePlaces().c_str());
  } else if (!notice.empty()) {
    std::fprintf(stderr, "%s\n", notice.c_str());
  }
}

std::string loadSitesAndApply(const SharedOptions& options, SiteList& sites, SessionState& state) {
  const SiteLoadResult loaded = loadSites(state, sites, siteFile());
  for (const ScreenText& t : loaded.errorTexts) std::fprintf(stderr, "%s\n", t.text);
  printSiteListNotice(loaded.notice, !loaded.errorTexts.empty());
  return applySiteOptions(options, sites, state);
}

}  // namespace tarvo::cli
