#include "sky/sky_chart.h"

#include <cmath>

#include "surface/drawing_surface.h"
#include "base/text_format.h"
#include "sky/planets.h"
#include "timebase/time_scales.h"

namespace tarvo {

namespace {

constexpr int kTextLeft = 10;
constexpr PaletteIndex kFrameColour = PaletteIndex::Brown;
constexpr int kFrameWidth = 2;
constexpr PaletteIndex kGridColour = PaletteIndex::White;
constexpr int kLabelOffsetY = 7;  // pixels from a dot's centre down to its label

// The site's lines keep at most this many characters: a city of absurd
// coordinates is cut here (the other texts are shorter by their formats).
constexpr std::size_t kChartTextMaxChars = 127;

std::string clipped(std::string text) {
  if (text.size() > kChartTextMaxChars) text.resize(kChartTextMaxChars);
  return text;
}

// "hh:mm:ss" of hours of any sign: hours wrapped into 0..23, whole seconds
// cut, not rounded.
std::string clockText(const char* label, double hours) {
  const HoursMinutesSeconds hms = splitHours(hours);
  return formatString("%s%2.0f:%2.0f:%2.0f", label, hms.hours, hms.minutes, std::floor(hms.seconds));
}

// Brings an int conversion of a finite double into range; NaN gives 0.
int toIntClamped(double v) {
  if (!(v == v)) return 0;
  if (v > 2147483647.0) return 2147483647;
  if (v < -2147483648.0) return -2147483647 - 1;
  return static_cast<int>(v);
}

}  // namespace

PackedDateParts splitPackedDate(double packedDate) {
  const double q = std::fabs(packedDate);
  const double year = std::floor(q);
  const double month = std::floor((q - year) * 100);
  const double day = std::round(q * 10000 - year * 10000 - month * 100);
  const int y = toIntClamped(year);
  return {packedDate < 0 ? -y : y, toIntClamped(month), toIntClamped(day)};
}

double packDate(double year, double month, double day) {
  const double magnitude = std::fabs(year) + month / 100 + day / 10000;
  return year < 0 ? -magnitude : magnitude;
}

int skyChartZoneHours(double longitudeDeg) {
  return toIntClamped(standardZoneOffsetHours(longitudeDeg));
}

std::vector<SkyChartTextLine> skyChartTextLines(double packedDate, double utHours,
                                                double longitudeDeg, double latitudeDeg) {
  const PackedDateParts date = splitPackedDate(packedDate);
  const double zone = skyChartZoneHours(longitudeDeg);
  return {
      {30, " Sky at Max. Magnitude"},
      {60, formatString(" Date(LST) :%5d %2d %2d ", date.year, date.month, date.day)},
      {75, clockText("   Time(UT ): ", utHours)},
      {90, clockText("   Time(LST): ", utHours + zone)},
      {105, clockText("   Time(LMT): ", utHours + longitudeDeg / 15)},
      {135, " Location"},
      {150, clipped(formatString("   Lon(deg.):%8.2f", longitudeDeg))},
      {165, clipped(formatString("   Lat(deg.):%8.2f", latitudeDeg))},
  };
}

SkyObjectLook skyObjectLook(double centreX, double centreY, double negatedAzimuthDeg,
                            double altitudeDeg, double magnitude, double scale) {
  const double a = negatedAzimuthDeg * kChartRadiansPerDegree;
  const double d = 90 - altitudeDeg;  // zenith distance, degrees
  SkyObjectLook look{};
  look.x = toIntClamped(centreX - std::sin(a) * d * scale);
  look.y = toIntClamped(std::cos(a) * d * scale + centreY);
  look.radius = toIntClamped(magnitude < 0 ? 7 - 0.5 * magnitude : 7 * std::pow(2.0, -magnitude));
  // Exactly −5 falls between the published bands; it joins the brighter
  // planets' band.
  look.fill = magnitude < -5 ? kSkyBrightestFill : magnitude < 0 ? kSkyBrightFill : kSkyFaintFill;
  look.labelled = magnitude < 1;
  return look;
}

void drawSkyObject(DrawingSurface& surface, double centreX, double centreY,
                   double negatedAzimuthDeg, double altitudeDeg, double magnitude, double scale,
                   std::string_view name) {
  const SkyObjectLook look =
      skyObjectLook(centreX, centreY, negatedAzimuthDeg, altitudeDeg, magnitude, scale);
  const double x = look.x, y = look.y, r = look.radius;
  // The label first, so that a large dot covers the top of its own label.
  if (look.labelled) {
    surface.setTextColour(kSkyLabelColour);
    surface.textOut(x, y + kLabelOffsetY, name);
  }
  const Brush previous = surface.brush();
  surface.setBrush({BrushStyle::Solid, look.fill});
  surface.ellipse(x - r, y - r, x + r, y + r);
  surface.setBrush(previous);
}

void drawSkyChartPlaces(DrawingSurface& surface, double packedDate, double utHours,
                        double longitudeDeg, double latitudeDeg,
                        const std::vector<SkyPlace>& places, bool planetsApproximate) {
  const FontRecipe callersFont = surface.font();
  constexpr int cx = kSkyChartCentreX, cy = kSkyChartCentreY, r = kSkyChartHorizonRadius;

  // The text block, opaque or not as the caller left the surface.
  surface.setFont(FontRecipe::Text);
  surface.setTextColour(paletteColour(PaletteIndex::White));
  drawFrame(surface, 5, 15, 180, 195, kFrameColour, kFrameWidth);
  for (const SkyChartTextLine& line :
       skyChartTextLines(packedDate, utHours, longitudeDeg, latitudeDeg))
    surface.textOut(kTextLeft, line.y, line.text);
  if (planetsApproximate) surface.textOut(kTextLeft, kPlanetsApproximateY, kPlanetsApproximateText);

  // The sky disc, the altitude circles 0°, 30°, 60° and the two axes.
  surface.setFont(FontRecipe::Chart);
  surface.setBackgroundMode(BackgroundMode::Transparent);
  const Brush previous = surface.brush();
  surface.setBrush({BrushStyle::Solid, kSkyDiscColour});
  surface.ellipse(cx - r, cy - r, cx + r, cy + r);
  surface.setBrush(previous);
  for (int radius : {r, r * 2 / 3, r / 3}) drawCircle(surface, cx, cy, radius, kGridColour);
  drawLine(surface, cx, cy - r, cx, cy + r, kGridColour);
  drawLine(surface, cx - r, cy, cx + r, cy, kGridColour);

  // Objects in table order: later dots paint over earlier ones.
  for (const SkyPlace& place : places) {
    if (!place.drawn) continue;
    drawSkyObject(surface, cx, cy, -place.azimuthDeg, place.altitudeDeg, place.magnitude,
                  kSkyChartPixelsPerDegree, place.name);
  }

  surface.setTextColour(kSkyDiscColour);
  surface.textOut(cx - 15, cy - r - 15, "North");
  surface.textOut(cx - 15, cy + r, "South");
  surface.textOut(cx - r - 25, cy - 5, "East");
  surface.textOut(cx + r + 5, cy - 5, "West");
  surface.setFont(callersFont);
}

double azimuthFromNorthDeg(double azimuthFromSouthDeg) {
  const double a = std::fmod(azimuthFromSouthDeg + 180, 360.0);
  return a < 0 ? a + 360 : a;
}

std::string skyPlaceListLine(const SkyPlace& place) {
  const bool unnamed = place.name.find_first_not_of(' ') == std::string::npos;
  return formatString("%d %.3f %.3f %.2f ", place.drawn ? 1 : 0,
                      azimuthFromNorthDeg(place.azimuthDeg), place.altitudeDeg, place.magnitude) +
         (unnamed ? std::string("-") : place.name);
}

void drawSkyChart(DrawingSurface& surface, double packedDate, double utHours,
                  double longitudeDeg, double latitudeDeg, double jd, const ChartAnchors& anchors,
                  const std::optional<PlanetPlaces>& planets) {
  drawSkyChartPlaces(surface, packedDate, utHours, longitudeDeg, latitudeDeg,
                     skyChartPlaces(jd, anchors, latitudeDeg, longitudeDeg, planets),
                     !planets && planetPlacesApproximate(jd));
}

}  // namespace tarvo
