#include "map/info_panel.h"

#include <cmath>

#include "catalogue/saros_table.h"
#include "base/text_format.h"
#include "timebase/time_scales.h"

namespace tarvo {

namespace {

constexpr PaletteIndex kPanelWhite = PaletteIndex::White;
constexpr PaletteIndex kPanelFrameBrown = PaletteIndex::Brown;

// A panel line keeps at most this many characters: values of an absurd
// catalogue entry (gamma 1e300) are cut here.
constexpr std::size_t kPanelLineMaxChars = 255;

const char* typeWord(int eclipseType) {
  switch (eclipseType) {
    case 1: return "TOTAL ECLIPSE";
    case 2: return "PARTIAL ECLIPSE";
    case 3: return "PENUMBRA ECLIPSE";
    default: return " ";
  }
}

// An event at t hours of TT after epochHour, as UT "hh:mm:ss.s" (seconds
// rounded by the format, so 59.96 s prints 60.0).
std::string utTime(const InfoPanelValues& v, double tHours) {
  const HoursMinutesSeconds hms = splitHours(tHours + v.epochHour - v.deltaTSeconds / 3600);
  return formatString("%2.0f:%2.0f:%4.1f", hms.hours, hms.minutes, hms.seconds);
}

// A phase duration |end − start| in minutes; 0 when the eclipse lacks the phase.
double phaseMinutes(const std::optional<double>& start, const std::optional<double>& end) {
  if (!start || !end) return 0;
  const HoursMinutesSeconds hms = splitHours(std::fabs(*end - *start));
  return hms.hours * 60 + hms.minutes + hms.seconds / 60;
}

// The lines computed from the elements: greatest eclipse, the phase
// durations and the contacts, closing up by type.
void appendComputedLines(const InfoPanelValues& v, bool umbral, bool total, std::vector<PanelLine>& lines) {
  const std::vector<PanelLine> head = {
      {20, 144, "GREATEST ECLIPSE"},
      {30, 160, "Time     : " + utTime(v, v.greatestOffsetHours) + " UT"},
      {30, 176, "Location :"},
      {110, 176,
       formatString(" %3.0fd %4.1f'", v.greatestLongitude.degrees, v.greatestLongitude.minutes)},
      {190, 176, v.greatestLongitude.negative ? " W" : " E"},
      {110, 192, formatString(" %3.0fd %4.1f'", v.greatestLatitude.degrees, v.greatestLatitude.minutes)},
      {190, 192, v.greatestLatitude.negative ? " S" : " N"},
      {30, 208, formatString("Gamma    :    %6.4f ", v.gamma)},
      {30, 224, formatString("UD: %5.1fm  PG: %6.4f", phaseMinutes(v.u1, v.u4), v.penumbralMagnitude)},
  };
  lines.insert(lines.end(), head.begin(), head.end());
  if (umbral)
    lines.push_back(
        {30, 240, formatString("TD: %5.1fm  TG: %6.4f", phaseMinutes(v.u2, v.u3), v.umbralMagnitude)});
  lines.push_back({20, 256, "FIRST CONTACT"});
  lines.push_back({30, 272, "Penumbra : " + utTime(v, v.p1) + " UT"});
  if (umbral) lines.push_back({30, 288, "Umbra    : " + utTime(v, v.u1.value_or(0)) + " UT"});
  if (total) lines.push_back({30, 304, "Total    : " + utTime(v, v.u2.value_or(0)) + " UT"});
  lines.push_back({20, 320, "LAST CONTACT"});
  // The last-contact block closes up: each contact the type lacks frees a line.
  int y = 336;
  if (total) {
    lines.push_back({30, y, "Total    : " + utTime(v, v.u3.value_or(0)) + " UT"});
    y += 16;
  }
  if (umbral) {
    lines.push_back({30, y, "Umbra    : " + utTime(v, v.u4.value_or(0)) + " UT"});
    y += 16;
  }
  if (umbral || v.eclipseType == 3)
    lines.push_back({30, y, "Penumbra : " + utTime(v, v.p4) + " UT"});
}

}  // namespace

std::vector<PanelLine> infoPanelLines(const InfoPanelValues& v) {
  const bool umbral = v.eclipseType == 1 || v.eclipseType == 2;
  const bool total = v.eclipseType == 1;
  const int member = SarosStartTable::memberNumber(v.saros, v.year);
  std::vector<PanelLine> lines = {
      {10, 16, "CANON OF LUNAR ECLIPSE"},
      {10, 48, formatString("DATE(UT): %4.0f %2.0f %2.0f", v.year, v.month, v.eclipseDay)},
      {10, 64, typeWord(v.eclipseType)},
      {10, 96, formatString("JD/Saros: %10.2f/%3.0f/%2d", v.greatestJd, v.saros, member)},
      {10, 112, formatString("Delta T : %6.1f sec.", v.deltaTSeconds)},
  };
  if (!v.converged) {
    // The catalogue's values only, in their places: no time, place, phase
    // duration or contact is known.
    lines.push_back({30, 208, formatString("Gamma    :    %6.4f ", v.gamma)});
    lines.push_back({30, 224, formatString("            PG: %6.4f", v.penumbralMagnitude)});
    if (umbral) lines.push_back({30, 240, formatString("            TG: %6.4f", v.umbralMagnitude)});
  } else {
    appendComputedLines(v, umbral, total, lines);
  }

  if (v.searchType == 2 && v.siteMoonMagnitude > v.magnitudeCriterion &&
      v.siteMoonAltitude > -15) {
    lines.push_back({v.mapRight - 90, v.mapBottom - 30, formatString("Mag. : %5.3f", v.siteMoonMagnitude)});
    lines.push_back({v.mapRight - 90, v.mapBottom - 16, formatString("Alt. : %5.1f", v.siteMoonAltitude)});
  }
  for (PanelLine& line : lines)
    if (line.text.size() > kPanelLineMaxChars) line.text.resize(kPanelLineMaxChars);
  return lines;
}

void drawInfoPanel(DrawingSurface& surface, const InfoPanelValues& values) {
  const FontRecipe savedFont = surface.font();
  surface.setFont(FontRecipe::Text);
  drawFrame(surface, 5, 5, 220, kInfoPanelFrameBottom, kPanelFrameBrown, 2);
  surface.setTextColour(paletteColour(kPanelWhite));
  for (const PanelLine& line : infoPanelLines(values)) drawText(surface, line.x, line.y, line.text);
  surface.setFont(savedFont);
}

InfoPanelValues infoPanelValues(const EclipseCircumstances& e) {
  const EclipseRecord& r = e.record;
  InfoPanelValues v;
  v.year = r.year;
  v.month = r.month;
  v.eclipseDay = r.eclipseDay;
  v.eclipseType = eclipseTypeCode(r.eclipseType);
  v.greatestJd = e.greatestJd;
  v.saros = r.saros;
  v.gamma = r.gamma;
  v.penumbralMagnitude = r.penumbralMagnitude;
  v.umbralMagnitude = r.umbralMagnitude;
  v.epochHour = r.epochHour;
  v.deltaTSeconds = e.deltaTSeconds;
  v.converged = e.converged();
  v.greatestOffsetHours = e.greatestHours;
  v.greatestLongitude = splitGreatestLongitude(e.subLunar.longitudeDeg);
  v.greatestLatitude = splitGreatestLatitude(e.subLunar.latitudeDeg);
  v.p1 = e.contacts.p1;
  v.p4 = e.contacts.p4;
  v.u1 = e.contacts.u1;
  v.u2 = e.contacts.u2;
  v.u3 = e.contacts.u3;
  v.u4 = e.contacts.u4;
  return v;
}

}  // namespace tarvo
