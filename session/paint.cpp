#include "session/paint.h"

#include <algorithm>

#include "surface/drawing_surface.h"
#include "map/map_frame.h"
#include "session/local_display.h"
#include "session/map_display.h"
#include "session/observer_words.h"
#include "session/site_glue.h"

namespace tarvo {

namespace {

// The no-catalogue texts: at x = 50 when landing on the cursor, x = 10 when
// a forward search cannot open the next file.
constexpr const char* kNoCatalogueFirst = "  No bessel file! ";
constexpr const char* kNoCatalogueSecond = "  Please start at directory which EC****.prn available.";
constexpr int kNoCatalogueFileLineY = 48;  // under the two texts at 16 and 32
// A damaged catalogue file's line: under a failure text at 16, or at the foot
// of the view over the display shown.
constexpr int kDamageLineY = 32;
constexpr int kDamageLineFromBottom = 16;

// Names the open catalogue file's damage on the view, when it has any.
std::string drawCatalogueDamage(DrawingSurface& surface, const CanonReader& reader, bool shown) {
  const std::optional<CanonDefect>& defect = reader.openFileDefect();
  if (!defect) return {};
  const std::string line = describeDefect(*defect);
  surface.setTextColour(paletteColour(PaletteIndex::White));
  drawText(surface, 10, shown ? surface.height() - kDamageLineFromBottom : kDamageLineY, line);
  return line;
}
constexpr const char* kEndOfCatalogue = "The end of the Bessel file";
constexpr const char* kSarosNotFound = "This SAROS series is not available within 400 years.";
constexpr const char* kNoEarlierEclipse = "No earlier eclipse in the Bessel file";

// The map laid out afresh for the surface, centred on Greenwich until the
// map display centres it.
void layOut(SessionState& state, const DrawingSurface& surface) {
  state.mapFrame = layoutMap(0, 0, surface.width(), surface.height());
}

// Next Visible Eclipse's words at the map's foot, in a black box over the map's width.
constexpr int kWordsBoxMarginPx = 4;

void drawWordsAtMapFoot(DrawingSurface& surface, const SessionState& state, const std::string& words) {
  if (words.empty()) return;
  const int left = state.mapFrame.left + kWordsBoxMarginPx;
  const int right = state.mapFrame.right - kWordsBoxMarginPx;
  const int columns = (right - left) / std::max(surface.textWidth("M"), 1);
  const int lines = static_cast<int>(wrappedWordLines(words, columns).size());
  const int top = state.mapFrame.bottom - kWordsBoxMarginPx - lines * kWordsLinePitchPx;
  surface.fillSolidRect(state.mapFrame.left, top - kWordsBoxMarginPx, state.mapFrame.right, state.mapFrame.bottom,
                        paletteColour(PaletteIndex::Black));
  drawAnswerWords(surface, left, top, right, words);
}

void drawTexts(DrawingSurface& surface, const std::vector<ScreenText>& texts) {
  surface.setTextColour(paletteColour(PaletteIndex::White));
  for (const ScreenText& t : texts) drawText(surface, t.x, t.y, t.text);
}

}  // namespace

std::vector<ScreenText> landingFailureTexts(LandingOutcome outcome) {
  switch (outcome) {
    case LandingOutcome::Shown: return {};
    case LandingOutcome::NoCatalogueAtCursor:
    case LandingOutcome::NoCatalogueWhileSearching: {
      const int x = noCatalogueTextX(outcome);
      return {{x, 16, kNoCatalogueFirst}, {x, 32, kNoCatalogueSecond}};
    }
    case LandingOutcome::EndOfCatalogue: return {{10, 16, kEndOfCatalogue}};
    case LandingOutcome::SarosNotFound: return {{50, 16, kSarosNotFound}};
    case LandingOutcome::NoEarlierEclipse: return {{10, 16, kNoEarlierEclipse}};
  }
  return {};
}

void drawLandingFailure(DrawingSurface& surface, LandingOutcome outcome) {
  surface.clear(paletteColour(PaletteIndex::Black));
  drawTexts(surface, landingFailureTexts(outcome));
}

PaintResult paintView(SessionState& state, CanonReader& reader, DrawingSurface& surface,
                      const PaintHooks& hooks) {
  PaintResult result;
  // Step 1: clear and lay out.
  surface.clear(paletteColour(PaletteIndex::Black));
  layOut(state, surface);

  // Step 2: the city list was read when the session was made; its texts
  // are shown by the session's first paint.
  result.siteListUnreadable = state.cityListTidings.missing && !state.cityListTidings.told;
  result.siteListNotice = tellCityListTidings(state, surface);

  // Step 3: per-paint resets (the catalogue's own are made by the landing).
  resetForPaint(state);

  // Step 4: the paint after a missing catalogue starts again from the clock
  // and asks for a date instead of drawing.
  if (state.restartAfterError < 0) {
    const ClockMonth now = hooks.clock ? hooks.clock() : localClockMonth();
    state.year = now.year;
    state.month = now.month;
    state.searchStartYear = state.year;
    state.restartAfterError = 0;
    state.pendingAction = kLandAtCursor;
    if (hooks.openTimeSet) hooks.openTimeSet();
    result.restartedAfterError = true;
    return result;
  }

  // Steps 5–7: land on the cursor, maybe search forward.
  result.outcome = positionForPaint(state, reader, hooks.clock);
  state.pendingAction = kLandAtCursor;
  if (result.outcome != LandingOutcome::Shown) {
    drawTexts(surface, landingFailureTexts(result.outcome));
    if (const int x = noCatalogueTextX(result.outcome); x != 0) {
      // The file named: missing, unreadable or empty; or damaged from its
      // first entry on.
      std::string line = missingCatalogueLine(reader);
      if (line.empty() && reader.openFileDefect()) line = result.catalogueDamage = describeDefect(*reader.openFileDefect());
      drawText(surface, x, kNoCatalogueFileLineY, line);
    } else {
      result.catalogueDamage = drawCatalogueDamage(surface, reader, false);
    }
    return result;
  }

  // Step 8: the display, in the text font.
  const FontRecipe previousFont = surface.font();
  surface.setFont(FontRecipe::Text);
  if (state.displayKind == kDisplayWorldMap) {
    if (const std::string problem = drawMapDisplay(state, surface); !problem.empty())
      result.outlineNotice = "coastline file " + problem + "; the built-in outline is drawn instead";
    if (hooks.zones && state.nextVisibleWordsShown) {
      result.answerWords = shownEclipseWords(state, state.sites, *hooks.zones);
      drawWordsAtMapFoot(surface, state, result.answerWords);
    }
  } else if (state.displayKind == kDisplayLocalReport) {
    prepareLocalReport(state);
    drawLocalReport(surface, state, state.sites);
    if (hooks.zones) result.answerWords = drawWordsUnderLocalReport(surface, state, state.sites, *hooks.zones);
  }
  result.catalogueDamage = drawCatalogueDamage(surface, reader, true);
  surface.setFont(previousFont);
  return result;
}

}  // namespace tarvo
