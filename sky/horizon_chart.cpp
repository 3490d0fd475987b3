#include "sky/horizon_chart.h"

#include <algorithm>
#include <cmath>

#include "base/angles.h"
#include "surface/drawing_surface.h"

namespace tarvo {

namespace {

constexpr int kMarginPx = 10;
constexpr int kAltitudeLabelWidthPx = 34;  // "-10°" and a gap
constexpr double kAzimuthPaddingDeg = 15;
constexpr double kLeastAzimuthSpanDeg = 60;
constexpr double kAltitudeHeadroomDeg = 8;
constexpr double kLeastTopAltitudeDeg = 20;
constexpr double kZenithDeg = 90;
constexpr int kLargestMoonRadiusPx = 10;
constexpr int kSmallestMoonRadiusPx = 5;
constexpr Rgb kGridColour = rgb(150, 160, 180);
constexpr Rgb kTextColour = rgb(255, 255, 255);
constexpr Rgb kBelowTextColour = rgb(160, 160, 160);
constexpr Rgb kMoonOutlineColour = rgb(210, 210, 200);

Rgb dimmed(Rgb c) { return rgb(redOf(c) / 2, greenOf(c) / 2, blueOf(c) / 2); }

void penLine(DrawingSurface& s, double x1, double y1, double x2, double y2, Rgb colour, int width) {
  s.setPen(Pen{colour, width});
  s.moveTo(x1, y1);
  s.lineTo(x2, y2);
  s.setPixel(x2, y2, colour);  // lineTo leaves the last pixel out
}

void dottedLine(DrawingSurface& s, double x1, double y1, double x2, double y2, Rgb colour, double stepPx) {
  const double length = std::hypot(x2 - x1, y2 - y1);
  const int steps = static_cast<int>(std::min(length / stepPx, 1e5));
  for (int i = 0; i <= steps; ++i) {
    const double f = steps ? static_cast<double>(i) / steps : 0;
    s.setPixel(x1 + f * (x2 - x1), y1 + f * (y2 - y1), colour);
  }
}

// Cuts the segment to the rectangle (Liang–Barsky); false when nothing is left.
bool clipToPlot(const HorizonChartLayout& l, double& x1, double& y1, double& x2, double& y2) {
  const double dx = x2 - x1, dy = y2 - y1;
  double t0 = 0, t1 = 1;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x1 - l.left, l.right - 1 - x1, y1 - l.top, l.bottom - 1 - y1};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) t0 = std::max(t0, t);
    else t1 = std::min(t1, t);
  }
  if (t0 > t1) return false;
  x2 = x1 + t1 * dx, y2 = y1 + t1 * dy;
  x1 = x1 + t0 * dx, y1 = y1 + t0 * dy;
  return true;
}

bool insidePlot(const HorizonChartLayout& l, double x, double y) {
  return x >= l.left && x < l.right && y >= l.top && y < l.bottom;
}

// The path samples and Moons the range is fitted to: those within the
// altitudes shown, or all when none is.
struct RangePoint {
  double azimuthDeg, altitudeDeg;
};
std::vector<RangePoint> rangePoints(const HorizonChartValues& v) {
  std::vector<RangePoint> shown, all;
  for (const HorizonPathPoint& p : v.path) {
    all.push_back({p.azimuthDeg, p.altitudeDeg});
    if (p.altitudeDeg >= kHorizonChartLowestAltitudeDeg) shown.push_back(all.back());
  }
  for (const HorizonMoon& m : v.moons) {
    all.push_back({m.azimuthDeg, m.altitudeDeg});
    if (m.altitudeDeg >= kHorizonChartLowestAltitudeDeg) shown.push_back(all.back());
  }
  return shown.empty() ? all : shown;
}

// The Sun's altitude where the Moon's path is nearest in azimuth to column x.
double sunAltitudeForColumn(const HorizonChartValues& v, double azimuthDeg) {
  double best = 1e9, sun = -90;
  for (const HorizonPathPoint& p : v.path) {
    if (p.altitudeDeg < kHorizonChartLowestAltitudeDeg) continue;
    const double d = std::fabs(angleDiffDeg(p.azimuthDeg, azimuthDeg));
    if (d < best) best = d, sun = p.sunAltitudeDeg;
  }
  if (best == 1e9 && !v.path.empty()) sun = v.path[v.path.size() / 2].sunAltitudeDeg;
  return sun;
}

// "N", "NNE", … for a multiple of 22.5°.
const char* compassPoint(int sixteenth) {
  static const char* const names[16] = {"N", "NNE", "NE", "ENE", "E", "ESE", "SE", "SSE",
                                        "S", "SSW", "SW", "WSW", "W", "WNW", "NW", "NNW"};
  return names[((sixteenth % 16) + 16) % 16];
}

void drawSky(DrawingSurface& s, const HorizonChartLayout& l, const HorizonChartValues& v) {
  const double horizonY = std::clamp(l.y(0), double(l.top), double(l.bottom));
  int runStart = l.left;
  Rgb runColour = 0;
  for (int x = l.left; x <= l.right; ++x) {
    const Rgb c = x < l.right ? skyLightColour(skyLightFor(sunAltitudeForColumn(v, l.azimuthAt(x + 0.5))))
                              : ~runColour;
    if (x > l.left && c != runColour) {
      s.fillSolidRect(runStart, l.top, x, horizonY, runColour);
      runStart = x;
    }
    runColour = c;
  }
  s.fillSolidRect(l.left, horizonY, l.right, l.bottom, kHorizonGroundColour);
}

void drawGrid(DrawingSurface& s, const HorizonChartLayout& l) {
  const int lineHeight = s.textHeight();
  const double altitudeStep = l.pixelsPerDegreeY * 10 >= lineHeight + 4 ? 10 : 30;
  for (double a = altitudeStep; a < l.topAltitudeDeg; a += altitudeStep) {
    const double y = l.y(a);
    dottedLine(s, l.left, y, l.right - 1, y, kGridColour, 4);
  }
  s.setTextColour(kTextColour);
  for (double a = -10; a <= l.topAltitudeDeg; a += altitudeStep == 10 ? 10 : 30) {
    const std::string label = std::to_string(static_cast<int>(a)) + "\xB0";
    const double y = l.y(a) - lineHeight / 2.0;
    if (y < l.top - lineHeight / 2.0 || y > l.bottom - lineHeight / 2.0) continue;
    s.textOut(l.left - 4 - s.textWidth(label), y, label);
  }
  // Compass points: sixteen when there is room for their names, else eight.
  const int every = l.pixelsPerDegreeX * 22.5 >= s.textWidth("WSW") + 8 ? 1 : 2;
  const double firstAzimuth = l.azimuthAt(l.left);
  const double spanDeg = (l.right - l.left) / l.pixelsPerDegreeX;
  const int first = static_cast<int>(std::ceil(firstAzimuth / 22.5));
  const double horizonY = l.y(0);
  for (int k = first; (k - first) * 22.5 <= spanDeg + 22.5; ++k) {
    if (k % every != 0) continue;
    const double x = l.x(k * 22.5);
    if (x < l.left || x >= l.right) continue;
    if (k % 2 == 0) dottedLine(s, x, l.top, x, horizonY, kGridColour, 6);
    penLine(s, x, horizonY, x, horizonY + 5, kHorizonLineColour, 1);
    const char* name = compassPoint(k);
    s.textOut(x - s.textWidth(name) / 2.0, l.bottom + 3, name);
  }
}

void drawPath(DrawingSurface& s, const HorizonChartLayout& l, const std::vector<HorizonPathPoint>& path) {
  for (std::size_t i = 1; i < path.size(); ++i) {
    double x1 = l.x(path[i - 1].azimuthDeg), y1 = l.y(path[i - 1].altitudeDeg);
    double x2 = l.x(path[i].azimuthDeg), y2 = l.y(path[i].altitudeDeg);
    if (std::fabs(x2 - x1) > (l.right - l.left) / 2.0) continue;  // across the chart's back
    if (!clipToPlot(l, x1, y1, x2, y2)) continue;
    if (path[i - 1].moonUp && path[i].moonUp) {
      penLine(s, x1, y1, x2, y2, kHorizonPathColour, 2);
    } else {
      dottedLine(s, x1, y1, x2, y2, kMoonBelowColour, 3);
    }
  }
}

// The Moon's disc, each pixel lit, in the penumbra or in the umbra as the
// shadow-plane point under it lies; celestial north turned by the parallactic
// angle from up, east a quarter turn from north to the left.
void drawMoon(DrawingSurface& s, const HorizonChartLayout& l, const HorizonMoon& m, int cx, int cy, int radius) {
  const double q = degToRad(m.parallacticAngleDeg);
  const double northX = std::sin(q), northY = -std::cos(q);
  const double eastX = -std::cos(q), eastY = -std::sin(q);
  const double arcsecPerPixel = m.moonRadiusArcsec / radius;
  const double reach = (radius + 0.3) * (radius + 0.3);
  for (int dy = -radius; dy <= radius; ++dy) {
    for (int dx = -radius; dx <= radius; ++dx) {
      if (dx * dx + dy * dy > reach || !insidePlot(l, cx + dx, cy + dy)) continue;
      const double east = (dx * eastX + dy * eastY) * arcsecPerPixel;
      const double north = (dx * northX + dy * northY) * arcsecPerPixel;
      const double fromAxis = std::hypot(m.xArcsec + east, m.yArcsec + north);
      Rgb c = fromAxis < m.umbraRadiusArcsec     ? kMoonUmbraColour
              : fromAxis < m.penumbraRadiusArcsec ? kMoonPenumbraColour
                                                  : kMoonLitColour;
      s.setPixel(cx + dx, cy + dy, m.up ? c : dimmed(c));
    }
  }
  const Rgb outline = m.up ? kMoonOutlineColour : kMoonBelowColour;
  for (int i = 0; i < 8 * radius; ++i) {
    const double a = i * 2 * std::numbers::pi / (8 * radius);
    const double x = cx + (radius + 1) * std::cos(a), y = cy + (radius + 1) * std::sin(a);
    if (insidePlot(l, x, y)) s.setPixel(x, y, outline);
  }
}

void drawLegend(DrawingSurface& s, int x, int y, const std::string& footnote) {
  const int h = s.textHeight();
  s.setTextColour(kTextColour);
  for (SkyLight light : {SkyLight::Day, SkyLight::CivilTwilight, SkyLight::DeepTwilight, SkyLight::Night}) {
    s.fillSolidRect(x, y + 2, x + 12, y + h - 2, skyLightColour(light));
    drawFrame(s, x, y + 2, x + 12, y + h - 2, PaletteIndex::DarkGrey, 1);
    s.textOut(x + 16, y, skyLightName(light));
    x += 16 + s.textWidth(skyLightName(light)) + 14;
  }
  s.textOut(kMarginPx, y + h + 2, footnote);
}

}  // namespace

SkyLight skyLightFor(double sunAltitudeDeg) {
  if (sunAltitudeDeg >= -0.833) return SkyLight::Day;
  if (sunAltitudeDeg >= -6) return SkyLight::CivilTwilight;
  if (sunAltitudeDeg >= -18) return SkyLight::DeepTwilight;
  return SkyLight::Night;
}

Rgb skyLightColour(SkyLight light) {
  switch (light) {
    case SkyLight::Day: return rgb(140, 184, 232);
    case SkyLight::CivilTwilight: return rgb(70, 96, 156);
    case SkyLight::DeepTwilight: return rgb(30, 40, 88);
    case SkyLight::Night: return rgb(6, 8, 26);
  }
  return 0;
}

const char* skyLightName(SkyLight light) {
  switch (light) {
    case SkyLight::Day: return "day";
    case SkyLight::CivilTwilight: return "civil twilight";
    case SkyLight::DeepTwilight: return "twilight";
    case SkyLight::Night: return "dark";
  }
  return "";
}

double HorizonChartLayout::x(double azimuthDeg) const {
  return (left + right) / 2.0 + angleDiffDeg(azimuthDeg, centreAzimuthDeg) * pixelsPerDegreeX;
}

double HorizonChartLayout::y(double altitudeDeg) const {
  return bottom - (altitudeDeg - bottomAltitudeDeg) * pixelsPerDegreeY;
}

double HorizonChartLayout::azimuthAt(double px) const {
  const double a = std::fmod(centreAzimuthDeg + (px - (left + right) / 2.0) / pixelsPerDegreeX, 360.0);
  return a < 0 ? a + 360 : a;
}

double HorizonChartLayout::altitudeAt(double py) const { return bottomAltitudeDeg + (bottom - py) / pixelsPerDegreeY; }

HorizonChartLayout horizonChartLayout(const HorizonChartValues& v, int width, int height) {
  HorizonChartLayout l;
  // Text rows: the heading above; compass names, legend and footnote below.
  constexpr int kLineHeightPx = 16;
  l.left = kMarginPx + kAltitudeLabelWidthPx;
  l.right = std::max(l.left + 1, width - kMarginPx);
  l.top = kMarginPx + static_cast<int>(v.heading.size()) * kLineHeightPx + kMarginPx;
  l.bottom = std::max(l.top + 1, height - 3 * kLineHeightPx - kMarginPx);

  const std::vector<RangePoint> points = rangePoints(v);
  double reference = 180, lowest = 0, highest = 0, maxAltitude = 0;
  if (!points.empty()) {
    const auto top = std::max_element(points.begin(), points.end(),
                                      [](const RangePoint& a, const RangePoint& b) { return a.altitudeDeg < b.altitudeDeg; });
    reference = top->azimuthDeg;
    maxAltitude = top->altitudeDeg;
    for (const RangePoint& p : points) {
      const double d = angleDiffDeg(p.azimuthDeg, reference);
      lowest = std::min(lowest, d), highest = std::max(highest, d);
    }
  }
  l.centreAzimuthDeg = angleDiffDeg(reference + (lowest + highest) / 2, 0);
  if (l.centreAzimuthDeg < 0) l.centreAzimuthDeg += 360;
  const double azimuthSpan = std::min(360.0, std::max(highest - lowest + 2 * kAzimuthPaddingDeg, kLeastAzimuthSpanDeg));
  l.topAltitudeDeg =
      std::clamp(std::ceil((maxAltitude + kAltitudeHeadroomDeg) / 10) * 10, kLeastTopAltitudeDeg, kZenithDeg);
  const double plotWidth = l.right - l.left, plotHeight = l.bottom - l.top;
  const double scale = std::min(plotWidth / azimuthSpan, plotHeight / (l.topAltitudeDeg - l.bottomAltitudeDeg));
  // The same scale both ways: the spare room widens the azimuths or raises
  // the top, up to the zenith (and no more than all round the horizon).
  l.pixelsPerDegreeX = std::max(scale, plotWidth / 360);
  l.topAltitudeDeg = std::min(kZenithDeg, l.bottomAltitudeDeg + plotHeight / scale);
  l.pixelsPerDegreeY = plotHeight / (l.topAltitudeDeg - l.bottomAltitudeDeg);
  return l;
}

std::vector<DrawnHorizonMoon> drawHorizonChart(DrawingSurface& s, const HorizonChartValues& v) {
  s.setPen(Pen{});
  s.setBrush(Brush{});
  s.setBackgroundMode(BackgroundMode::Transparent);
  s.setFont(FontRecipe::Text);
  s.clear(paletteColour(PaletteIndex::Black));
  const HorizonChartLayout l = horizonChartLayout(v, s.width(), s.height());
  const int lineHeight = s.textHeight();

  drawSky(s, l, v);
  drawGrid(s, l);
  const double horizonY = l.y(0);
  if (horizonY >= l.top && horizonY < l.bottom) penLine(s, l.left, horizonY, l.right - 1, horizonY, kHorizonLineColour, 1);
  drawPath(s, l, v.path);

  std::vector<DrawnHorizonMoon> drawn;
  const int radius = std::clamp(static_cast<int>((l.bottom - l.top) / 28), kSmallestMoonRadiusPx, kLargestMoonRadiusPx);
  for (const HorizonMoon& m : v.moons) {
    const int cx = static_cast<int>(std::lround(l.x(m.azimuthDeg)));
    const int cy = static_cast<int>(std::lround(l.y(m.altitudeDeg)));
    drawMoon(s, l, m, cx, cy, radius);
    drawn.push_back({cx, cy, radius, m.up});
  }
  // Labels after every disc, each at the first place beside its disc that
  // overlaps no disc and no label placed before it.
  struct Box {
    double left, top, right, bottom;
    bool overlaps(const Box& o) const { return left < o.right && o.left < right && top < o.bottom && o.top < bottom; }
  };
  std::vector<Box> taken;
  for (const DrawnHorizonMoon& d : drawn) taken.push_back({double(d.x - d.radius), double(d.y - d.radius), double(d.x + d.radius + 1), double(d.y + d.radius + 1)});
  for (std::size_t i = 0; i < drawn.size(); ++i) {
    const DrawnHorizonMoon& d = drawn[i];
    if (!insidePlot(l, d.x, d.y)) continue;
    const std::string& label = v.moons[i].label;
    const double w = s.textWidth(label), h = lineHeight, gap = d.radius + 3;
    const double places[][2] = {{d.x - w / 2, d.y - gap - h}, {d.x - w / 2, d.y + gap},
                                {d.x + gap, d.y - h / 2},     {d.x - gap - w, d.y - h / 2},
                                {d.x + gap, d.y - gap - h},   {d.x - gap - w, d.y + gap},
                                {d.x + gap, d.y + gap},       {d.x - gap - w, d.y - gap - h}};
    Box chosen{};
    bool found = false;
    for (const auto& p : places) {
      const double x = std::clamp(p[0], double(l.left), std::max(double(l.left), l.right - w));
      const double y = std::clamp(p[1], double(l.top), std::max(double(l.top), l.bottom - h));
      const Box b{x, y, x + w, y + h};
      if (!found) chosen = b, found = true;  // the first place when none is free
      if (std::none_of(taken.begin(), taken.end(), [&](const Box& t) { return t.overlaps(b); })) {
        chosen = b;
        break;
      }
    }
    taken.push_back(chosen);
    s.setTextColour(d.up ? kTextColour : kBelowTextColour);
    s.textOut(chosen.left, chosen.top, label);
  }

  s.setTextColour(kTextColour);
  for (std::size_t i = 0; i < v.heading.size(); ++i) s.textOut(kMarginPx, kMarginPx + 16 * i, v.heading[i]);
  drawLegend(s, kMarginPx, l.bottom + 3 + lineHeight + 2, v.footnote);
  return drawn;
}

}  // namespace tarvo
