// The eclipse information panel in the strip left of the map, and the site
// result in the map's lower right corner.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "circumstances/eclipse_circumstances.h"
#include "surface/drawing_surface.h"
#include "map/map_frame.h"

namespace tarvo {

// The panel's frame: (5, 5)–(220, 389), pen 2, so its last row is 389 and
// a view needs this many rows to show it whole.
inline constexpr int kInfoPanelFrameBottom = 389;
inline constexpr int kInfoPanelRows = kInfoPanelFrameBottom + 1;

struct InfoPanelValues {
  double year = 0, month = 0, eclipseDay = 0;  // UT date of the entry
  int eclipseType = 0;                         // 1 total, 2 partial, 3 penumbral
  double greatestJd = 0;                       // Julian Day (UT) of greatest eclipse
  double saros = 0;
  double gamma = 0, penumbralMagnitude = 0, umbralMagnitude = 0;
  double epochHour = 0;       // hours of TT, the elements' reference hour
  double deltaTSeconds = 0;   // ΔT the panel prints and converts with
  // False when greatest eclipse or a contact could not be computed from the
  // elements: only the catalogue's own values are printed then.
  bool converged = true;
  double greatestOffsetHours = 0;  // hours of TT after epochHour
  SplitAngle greatestLongitude, greatestLatitude;
  // Contact times, hours of TT after epochHour; empty where the type has none.
  double p1 = 0, p4 = 0;
  std::optional<double> u1, u2, u3, u4;
  // Site search result, printed only when searchType = 2 and the site test passes.
  int searchType = 0;
  double magnitudeCriterion = 0, siteMoonMagnitude = 0, siteMoonAltitude = 0;
  int mapRight = 0, mapBottom = 0;  // pixels, for the site result's place
};

struct PanelLine {
  int x, y;  // top-left of the text, pixels
  std::string text;
};

// Every text of the panel and the site result, in drawing order.
std::vector<PanelLine> infoPanelLines(const InfoPanelValues& values);

// The panel's eclipse values from an eclipse's circumstances: the
// catalogue's values of its entry, its ΔT, and greatest eclipse, its place
// (split for display) and the contacts; the site search result is left
// empty for the caller.
InfoPanelValues infoPanelValues(const EclipseCircumstances& eclipse);

// The brown frame (5, 5)–(220, 389), width 2, and the lines in white in the
// text font; leaves the surface's font as it found it.
void drawInfoPanel(DrawingSurface& surface, const InfoPanelValues& values);

}  // namespace tarvo
