// The view's paint: one function of the session state, the catalogue reader
// and a surface of the view's client size, shared by the window and the
// command line. It lays out the map, positions the
// catalogue at the cursor or searches forward, shows the failure texts, and
// draws the map display or the local report.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "catalogue/canon_reader.h"
#include "session/session_state.h"
#include "session/landing.h"
#include "session/screen_text.h"
#include "timebase/civil_time.h"

namespace tarvo {

class DrawingSurface;

struct PaintHooks {
  // Run when a paint follows one that found no catalogue file: the window
  // opens its Time Set dialog here.
  std::function<void()> openTimeSet;
  // The computer's local year and month.
  ClockSource clock = localClockMonth;
  // The tz database the site's clock is read from: with one, the local
  // report draws the observer's answer in words under its lines, and the map
  // after Next Visible Eclipse at its foot. Without, neither is drawn.
  const ZoneDatabase* zones = nullptr;
};

struct PaintResult {
  LandingOutcome outcome = LandingOutcome::Shown;  // Shown when a display was drawn
  bool restartedAfterError = false;  // the paint only restarted from the clock
  // The city list's message when this paint was the session's first (lines
  // skipped, or the file refused); empty otherwise.
  std::string siteListNotice;
  bool siteListUnreadable = false;  // the city list could not be read at all
  // The coastline file the map could not use and why, when "CIA MAP" drew
  // the built-in outline instead; empty otherwise.
  std::string outlineNotice;
  // The damaged catalogue file the eclipse shown (or the end reached) came
  // from, its first bad line and what is wrong (describeDefect); drawn in
  // the view as well. Empty when the file is whole.
  std::string catalogueDamage;
  // The observer's answer in words (UTF-8) as drawn; empty when none was.
  std::string answerWords;
};

// The paint's failure texts for a landing outcome, white on black at their
// positions; empty for Shown.
std::vector<ScreenText> landingFailureTexts(LandingOutcome outcome);
// Clears the surface to black and draws the failure texts of outcome in the
// view's text colour (white), as a paint shows them.
void drawLandingFailure(DrawingSurface& surface, LandingOutcome outcome);

// One repaint of the view on `surface` (its size is the client area):
// 1. clear to black, lay out the map rectangle for the client area;
// 2. the session's first paint shows the city list's texts when it was missing;
// 3. the per-paint resets (greatestGuessHours, searchStartYear);
// 4. after a paint that found no catalogue: take the clock's year and month,
//    call hooks.openTimeSet and draw nothing more;
// 5–7. land on the cursor or search forward, a failure drawn as its texts;
// 8. the map display (kDisplayWorldMap) or the local report (kDisplayLocalReport)
//    in the text font; with hooks.zones, the answer in words under the
//    report, or at the map's foot while state.nextVisibleWordsShown.
// Leaves pendingAction 0. Any client size, down to 1 × 1, is drawn.
PaintResult paintView(SessionState& state, CanonReader& reader, DrawingSurface& surface,
                      const PaintHooks& hooks = {});

}  // namespace tarvo
