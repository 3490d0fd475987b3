// Positioning the catalogue for a repaint: landing on the year/month cursor
// and stepping forward to the next eclipse that meets the search criteria.
// These operate on SessionState and the reader and report an outcome; the
// caller draws the texts that go with a failure.
#pragma once

#include <functional>
#include <string>

#include "catalogue/canon_reader.h"
#include "session/session_state.h"

namespace tarvo {

enum class LandingOutcome {
  Shown,                    // an eclipse is current and may be drawn
  NoCatalogueAtCursor,      // the file for the cursor cannot be opened
  NoCatalogueWhileSearching,  // the next file of a forward search cannot be opened
  EndOfCatalogue,           // a forward search ran past year 16999, or no eclipse at or after the cursor
  SarosNotFound,            // no member of the Saros series within 400 years
  NoEarlierEclipse,         // Previous from the first eclipse (of the criteria) in the catalogue
};

// x of the two no-catalogue texts: 50 when landing on the cursor, 10 during a
// forward search; 0 for other outcomes.
int noCatalogueTextX(LandingOutcome outcome);

// The line under the two no-catalogue texts, naming the file the reader
// looked for and where: "mcp00001p03000.prn not found in /data" ("cannot be
// read in" for a file that exists, "is empty in" for one without any entry);
// empty when no file was looked for.
std::string missingCatalogueLine(const CanonReader& reader);

struct ClockMonth {
  double year = 0;   // calendar year of the local date
  double month = 0;  // 1..12
};

using ClockSource = std::function<ClockMonth()>;

// The computer's local calendar year and month.
ClockMonth localClockMonth();

// The paint's per-repaint resets that touch the catalogue:
// greatestGuessHours = 0, searchStartYear = year.
void resetForPaint(SessionState& state);

// Lands on the cursor: with pendingAction 1 takes the cursor from clock
// first; lands the reader on the first eclipse whose UT date under the
// session's ΔT choice is at or after (year, month) (landOnMonth: on into the
// next file when the cursor's file ends before it), copies the entry into
// the state and recomputes deltaT; then tests the entry and sets
// pendingAction to 7 when the search criteria ask to step on (0 otherwise).
// A cursor after the catalogue's last eclipse is the end of the catalogue
// (the cursor stays where it is).
LandingOutcome landAtCursor(SessionState& state, CanonReader& reader,
                            const ClockSource& clock = localClockMonth);

// While pendingAction is 7: reads the following entry (crossing into the next
// file at a file's end) until one is accepted by the search criteria, the
// catalogue ends, a next file is missing, or a Saros search passes 400 years.
// Leaves pendingAction 0. At the end of the catalogue the cursor goes to
// December of its last year, after every eclipse, so that Previous comes
// back to the last one. Bounded: every step reads on within a file or moves
// to a later file.
LandingOutcome searchForward(SessionState& state, CanonReader& reader);

// The catalogue part of one repaint: resetForPaint, landAtCursor unless
// pendingAction is 7, then searchForward when asked to step on.
LandingOutcome positionForPaint(SessionState& state, CanonReader& reader,
                                const ClockSource& clock = localClockMonth);

// The tests of the search criteria on the current eclipse. The landing test
// says whether the entry at the cursor is passed over (and may set
// searchStartYear for a Saros search); the forward test says whether a
// stepped-to entry is accepted. They differ on purpose: the landing test keeps
// an entry equal to the criterion that a forward step does not stop at.
bool stepsOnFromCursor(SessionState& state);
bool acceptedByForwardSearch(SessionState& state);

}  // namespace tarvo
