// The horizon chart: the site's horizon toward the Moon during an eclipse,
// for planning where to stand and look. Azimuth across (compass points
// marked), altitude up on the same scale, the sky shaded by the Sun's
// altitude (day, twilight, dark), the horizon line, the Moon's path over the
// eclipse and the Moon at each contact with the Earth's shadow on it as it is
// then, each labelled with its clock time. Pure drawing from values.
#pragma once

#include <string>
#include <vector>

#include "surface/palette.h"

namespace tarvo {

class DrawingSurface;

// One sample of the Moon's path, in time order.
struct HorizonPathPoint {
  double azimuthDeg;      // from the north through the east
  double altitudeDeg;     // apparent (topocentric, refracted)
  double sunAltitudeDeg;  // true, of the Sun's centre
  bool moonUp;            // the upper limb above the horizon
};

// The Moon at one instant (a contact or greatest eclipse).
struct HorizonMoon {
  std::string label;  // e.g. "U1 01:27": the contact and the clock time, Latin-1
  double azimuthDeg, altitudeDeg;
  double parallacticAngleDeg;  // celestial north at the Moon, from the zenith's direction toward the west
  bool up;
  // The shadow plane (arcsec): the Moon's centre east and north of the
  // shadow axis, the Moon's radius, the umbra's and the penumbra's radii.
  double xArcsec, yArcsec;
  double moonRadiusArcsec, umbraRadiusArcsec, penumbraRadiusArcsec;
};

struct HorizonChartValues {
  std::vector<std::string> heading;  // lines above the chart, Latin-1
  std::vector<HorizonPathPoint> path;
  std::vector<HorizonMoon> moons;
  std::string footnote;  // the line under the legend, Latin-1
};

// The sky's light by the Sun's true altitude: day above −0.833° (the upper
// limb up), civil twilight down to −6°, nautical and astronomical twilight
// down to −18°, dark night below.
enum class SkyLight { Day, CivilTwilight, DeepTwilight, Night };
SkyLight skyLightFor(double sunAltitudeDeg);
Rgb skyLightColour(SkyLight light);
const char* skyLightName(SkyLight light);

inline constexpr Rgb kHorizonGroundColour = rgb(44, 40, 28);
inline constexpr Rgb kHorizonLineColour = rgb(230, 230, 230);
inline constexpr Rgb kHorizonPathColour = rgb(255, 255, 0);
inline constexpr Rgb kMoonLitColour = rgb(250, 246, 226);
inline constexpr Rgb kMoonPenumbraColour = rgb(176, 168, 140);
inline constexpr Rgb kMoonUmbraColour = rgb(150, 40, 24);
inline constexpr Rgb kMoonBelowColour = rgb(128, 128, 128);
// The lowest altitude shown: a band of ground below the horizon.
inline constexpr double kHorizonChartLowestAltitudeDeg = -10;

// Where the chart lies on a surface and its scale: x grows with azimuth
// (east to the left of south, as one sees it), y down.
struct HorizonChartLayout {
  int left = 0, top = 0, right = 0, bottom = 0;  // the plot, pixels: [left, right) × [top, bottom)
  double centreAzimuthDeg = 180;  // azimuth at the plot's middle column
  double bottomAltitudeDeg = kHorizonChartLowestAltitudeDeg;
  double topAltitudeDeg = 30;
  double pixelsPerDegreeX = 1, pixelsPerDegreeY = 1;

  double x(double azimuthDeg) const;   // the azimuth nearest the middle
  double y(double altitudeDeg) const;
  double azimuthAt(double x) const;    // 0 ≤ A < 360
  double altitudeAt(double y) const;
};

// The plot's place on a surface of that size and its range: the Moon's path
// where it is within the altitudes shown (all of it when none is) and the
// contacts, with room around; the same scale across and up unless the
// altitude would pass the zenith.
HorizonChartLayout horizonChartLayout(const HorizonChartValues& values, int width, int height);

// Where a Moon was drawn.
struct DrawnHorizonMoon {
  int x, y, radius;
  bool up;
};

// Clears the surface and draws the chart; the Moons in the order of
// values.moons.
std::vector<DrawnHorizonMoon> drawHorizonChart(DrawingSurface& surface, const HorizonChartValues& values);

}  // namespace tarvo
