#include "session/observer_words.h"

#include <algorithm>
#include <optional>

#include "base/text_format.h"
#include "circumstances/observer_answer.h"
#include "session/site_glue.h"
#include "session/visibility_list.h"
#include "surface/drawing_surface.h"

namespace tarvo {

namespace {



// UTF-8 to Latin-1: the dashes as "-", anything else beyond Latin-1 as "?".
std::string latin1Of(std::string_view utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    const int length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : 4;
    if (i + static_cast<std::size_t>(length) > utf8.size()) break;
    unsigned code = length == 1 ? c : c & (0x7Fu >> length);
    for (int k = 1; k < length; ++k) code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3Fu);
    i += static_cast<std::size_t>(length);
    if (code == 0x2013 || code == 0x2212) code = '-';
    out += static_cast<char>(code < 0x100 ? code : '?');
  }
  return out;
}

// Under the local report's note line (row 24 of 15 pixels), from its left edge.
constexpr int kWordsLeftX = 10;
constexpr int kWordsUnderReportY = 25 * 15;

}  // namespace

std::string sitePlaceName(const SiteChoice& site, const SiteList& cities) {
  if (const Site* city = chosenCity(site, cities)) {
    const std::string& n = city->name;
    const std::size_t a = n.find_first_not_of(' ');
    return a == std::string::npos ? n : n.substr(a, n.find_last_not_of(' ') - a + 1);
  }
  return formatString("Lon %.2f Lat %.2f", site.where.longitudeDeg, site.where.latitudeDeg);
}

std::string eclipseAnswerWords(const ExportEclipse& x, const std::string& place, const SiteClock& clock) {
  if (!x.visibility || !x.converged) return {};
  return answerWords(observerAnswer(x.type, x.penumbralMagnitude, x.umbralMagnitude, *x.visibility, place,
                                    clock.zone, x.deltaTSigmaSeconds, *clock.zones));
}

std::string shownEclipseWords(const SessionState& state, const SiteList& cities, const ZoneDatabase& zones) {
  const ExportEclipse x =
      exportEclipseOf(state.current, state.deltaTChoice, prepareSite(state));
  return eclipseAnswerWords(x, sitePlaceName(state.site, cities), siteChoiceClock(state.site, cities, zones));
}

std::string drawWordsUnderLocalReport(DrawingSurface& surface, const SessionState& state, const SiteList& cities,
                                      const ZoneDatabase& zones) {
  std::string words = shownEclipseWords(state, cities, zones);
  drawAnswerWords(surface, kWordsLeftX, kWordsUnderReportY, surface.width() - kWordsLeftX, words);
  return words;
}

std::vector<std::string> wrappedWordLines(std::string_view utf8Words, int columns) {
  const std::string text = latin1Of(utf8Words);
  const std::size_t width = static_cast<std::size_t>(std::max(columns, 1));
  std::vector<std::string> lines;
  std::size_t at = 0;
  while (at < text.size()) {
    if (text.size() - at <= width) {
      lines.push_back(text.substr(at));
      break;
    }
    // The last blank that ends a line of at most `width` characters; a word
    // longer than the line is cut.
    std::size_t cut = text.rfind(' ', at + width);
    if (cut == std::string::npos || cut <= at) cut = at + width;
    lines.push_back(text.substr(at, cut - at));
    at = cut < text.size() && text[cut] == ' ' ? cut + 1 : cut;
  }
  return lines;
}

int drawAnswerWords(DrawingSurface& surface, int left, int top, int right, std::string_view utf8Words) {
  const int columns = (right - left) / std::max(surface.textWidth("M"), 1);
  surface.setTextColour(paletteColour(PaletteIndex::PaleCyan));
  int y = top;
  for (const std::string& line : wrappedWordLines(utf8Words, columns)) {
    drawText(surface, left, y, line);
    y += kWordsLinePitchPx;
  }
  return y;
}

}  // namespace tarvo
