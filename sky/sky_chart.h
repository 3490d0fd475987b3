// The chart of the sky above one site at greatest eclipse: a framed text
// block (date, time in three scales, site) and a polar chart centred on the
// zenith, 2 pixels per degree of zenith distance, north up and east on the
// left, with the Moon, the Sun, the planets and the bright stars as dots
// sized by brightness.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "surface/palette.h"
#include "sky/sky_places.h"

namespace tarvo {

class DrawingSurface;

// Chart geometry, pixels of the view (y down).
inline constexpr int kSkyChartCentreX = 430;
inline constexpr int kSkyChartCentreY = 200;
inline constexpr double kSkyChartPixelsPerDegree = 2;
inline constexpr int kSkyChartHorizonRadius = 180;  // 90° of zenith distance
inline constexpr Rgb kSkyDiscColour = rgb(160, 192, 240);
inline constexpr Rgb kSkyLabelColour = rgb(64, 0, 0);
inline constexpr Rgb kSkyBrightestFill = rgb(255, 255, 0);  // magnitude below −5
inline constexpr Rgb kSkyBrightFill = rgb(240, 192, 160);   // magnitude −5 to 0
inline constexpr Rgb kSkyFaintFill = rgb(192, 240, 160);    // magnitude 0 and fainter

// A date packed as ±(|year| + month/100 + day/10000), the sign of the
// (astronomical) year applied to the whole: −500.0315 is −500 March 15.
struct PackedDateParts {
  int year, month, day;
};
PackedDateParts splitPackedDate(double packedDate);
double packDate(double year, double month, double day);

// Local standard time zone of a longitude (degrees east): longitude/15
// rounded to the nearest whole hour, halves away from zero.
int skyChartZoneHours(double longitudeDeg);

// One line of the text block: top-left corner at (10, y).
struct SkyChartTextLine {
  int y;
  std::string text;
};

// The text block's lines: the title, the date as packed, the time of
// utHours (hours of UT, any sign) in UT, local standard time and local mean
// time, and the site (degrees, east and north positive).
std::vector<SkyChartTextLine> skyChartTextLines(double packedDate, double utHours,
                                                double longitudeDeg, double latitudeDeg);

// Where and how one object is drawn. negatedAzimuthDeg is minus the azimuth
// counted from the south through the west; altitudeDeg above the horizon;
// scale in pixels per degree of zenith distance.
struct SkyObjectLook {
  int x, y;        // dot centre
  int radius;      // pixels; 0 draws nothing
  Rgb fill;
  bool labelled;   // name written below the dot (magnitude below 1)
};
SkyObjectLook skyObjectLook(double centreX, double centreY, double negatedAzimuthDeg,
                            double altitudeDeg, double magnitude, double scale);

// Draws one object: its label (if any) in kSkyLabelColour with its top-left
// corner 7 pixels below the dot's centre, then the dot with a solid brush of
// its fill colour and the surface's current pen. The text colour is left at
// the label colour; the brush is put back.
void drawSkyObject(DrawingSurface& surface, double centreX, double centreY,
                   double negatedAzimuthDeg, double altitudeDeg, double magnitude, double scale,
                   std::string_view name);

// The line below the text block when the planets' theories are off by more
// than 2° at the chart's date, and where it goes.
inline constexpr const char* kPlanetsApproximateText = "Planets: approximate positions";
inline constexpr int kPlanetsApproximateY = 215;

// The text block and the chart with the given places in their order (each
// drawn only when its `drawn` is set); the places' azimuths count from the
// south through the west. The text block is drawn in the surface's text font
// and background mode, the chart's labels in the chart font, transparent;
// planetsApproximate adds kPlanetsApproximateText below the block.
// The caller's font is selected again at the end.
void drawSkyChartPlaces(DrawingSurface& surface, double packedDate, double utHours,
                        double longitudeDeg, double latitudeDeg,
                        const std::vector<SkyPlace>& places, bool planetsApproximate = false);

// Azimuth counted from the north through the east, [0, 360), of an azimuth
// counted from the south through the west (degrees).
double azimuthFromNorthDeg(double azimuthFromSouthDeg);

// One object as a text line "drawn azimuth altitude magnitude name": drawn 1
// or 0, azimuth from the north through the east and altitude in degrees
// (%.3f), magnitude (%.2f), the name as the table spells it ("-" for an
// unnamed star).
std::string skyPlaceListLine(const SkyPlace& place);

// The chart of the sky at jd (UT Julian Day of greatest eclipse) above the
// site: drawSkyChartPlaces with skyChartPlaces(jd, anchors, latitude,
// longitude, planets). Without the planet file's places the planets come
// from their theories, and the chart says so where those are approximate at jd.
void drawSkyChart(DrawingSurface& surface, double packedDate, double utHours,
                  double longitudeDeg, double latitudeDeg, double jd, const ChartAnchors& anchors,
                  const std::optional<PlanetPlaces>& planets = std::nullopt);

}  // namespace tarvo
