// The hatched zones of every 50th eclipse of the generated canon, at three
// map sizes and one at pixel ratio 2, against the geometry the status bar's words use: at a lattice
// of pixels away from every boundary, the colour drawn is the last zone
// (in drawing order) whose contact has the Moon below the horizon there.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>

#include "catalogue/canon_reader.h"
#include "circumstances/eclipse_circumstances.h"
#include "circumstances/zone_words.h"
#include "base/text_format.h"
#include "map/projection.h"
#include "map/visibility.h"
#include "timebase/delta_t.h"

// Reading the whole canon is for the optimised build.
#include "tests/slow_tests.h"

namespace tarvo {
namespace {

constexpr int kEveryNth = 50;
constexpr double kRpd = kMapRadiansPerDegree;
// Pixels a probe keeps from any boundary.
constexpr double kBoundaryMarginPx = 2;
// The arcs are chords between samples half a degree of longitude apart.
constexpr double kArcSampleDeg = 0.5;
// The west and east arcs both run this far past the centre; between them the
// fill follows whichever it meets, so either contact's answer is right there.
constexpr double kArcOverlapDeg = 7;

// Logical sizes and the surface's scale (device pixels per logical one): a
// probe reads the first device pixel of its logical one.
struct Size {
  int width, height, scale;
};
constexpr std::array<Size, 4> kSizes{{{692, 453, 1}, {1400, 900, 1}, {2500, 1400, 1}, {692, 453, 2}}};

// The zones in drawing order: palette colour, west contact, east contact,
// and whether only umbral (partial and total) or only total eclipses have it.
struct ZoneRule {
  int colour;
  GeoPoint VisibilityInputs::*west;
  GeoPoint VisibilityInputs::*east;
  bool umbral, total;
};
constexpr std::array<ZoneRule, 6> kZones{{
    {6, &VisibilityInputs::p1, &VisibilityInputs::p4, false, false},
    {5, &VisibilityInputs::u1, &VisibilityInputs::u4, true, false},
    {4, &VisibilityInputs::u2, &VisibilityInputs::u3, true, true},
    {3, &VisibilityInputs::u3, &VisibilityInputs::u2, true, true},
    {2, &VisibilityInputs::u4, &VisibilityInputs::u1, true, false},
    {1, &VisibilityInputs::p4, &VisibilityInputs::p1, false, false},
}};

// The palette colour the geometry gives at a map point, 0 for none: the last
// zone with the Moon below the horizon at its west contact (west of the
// centre) or its east contact (east). `west` chooses the half.
int zoneAt(const VisibilityInputs& in, double lonDeg, double latDeg, bool west) {
  int colour = 0;
  for (const ZoneRule& z : kZones) {
    if ((z.umbral && in.eclipseType != 1 && in.eclipseType != 2) || (z.total && in.eclipseType != 1)) continue;
    if (!moonUpAt(in.*(west ? z.west : z.east), lonDeg, latDeg)) colour = z.colour;
  }
  return colour;
}

struct Probe {
  const MapFrame& f;
  const VisibilityInputs& in;
  double centralMeridianDeg() const { return -f.longitudeOffsetDeg; }
  double offsetDeg(double x) const { return (x - f.centreX) / f.scale / kRpd; }
  double latitudeDeg(double y) const {
    return (2 * std::atan(std::exp((f.centreY - y) / f.scale)) - kMapPi / 2) / kRpd;
  }
  // Zone 6 is also closed by a line between the far-side horizon points on
  // the meridians of P4 and P1 (latitude φ ∓ 90° there): between that line
  // and the equator, inside those meridians, the blue fill stops at the line.
  bool inClosingPocket(double x, double y, double mx, double my) const {
    const auto farSide = [](double lat) { return lat > 0 ? lat - 90 : lat + 90; };
    const double h = farSide(in.p4.latitudeDeg), j = farSide(in.p1.latitudeDeg);
    if (h * j <= 0) return false;
    const auto column = [&](double lon) {
      double d = lon + f.longitudeOffsetDeg;
      if (d > 180) d -= 360;
      if (d < -180) d += 360;
      return f.centreX + f.scale * d * kRpd;
    };
    const double x1 = column(in.p4.longitudeDeg), x2 = column(in.p1.longitudeDeg);
    if (x < std::min(x1, x2) - mx || x > std::max(x1, x2) + mx) return false;
    const double y1 = f.centreY - mercatorY(f, h * kRpd), y2 = f.centreY - mercatorY(f, j * kRpd);
    const double lineY = x2 == x1 ? y1 : y1 + (y2 - y1) * (x - x1) / (x2 - x1);
    return h > 0 ? y > lineY - my - 3 : y < lineY + my + 3;
  }
  // The expected colour at pixel (x, y), or −1 when it is not decided there:
  // near a boundary (the answer changes within the margin), near the frames
  // or the 79.8° line the arcs are held at, or within the arcs' overlap
  // where the two halves disagree.
  int expected(int x, int y) const {
    const double sampleX = f.scale * kArcSampleDeg * kRpd;
    const double mx = kBoundaryMarginPx + sampleX, my = kBoundaryMarginPx;
    const double top = f.centreY - mercatorY(f, 79.8 * kRpd) + my;
    const double bottom = f.centreY - mercatorY(f, -80 * kRpd) - my - 1;
    if (y < top || y > bottom) return -1;
    if (std::fabs(offsetDeg(x)) > 179 - (mx + 1) / f.scale / kRpd) return -1;
    if (inClosingPocket(x, y, mx, my)) return -1;
    int answer = -2;
    for (const auto& [dx, dy] : {std::pair{0.0, 0.0}, {-mx, 0.0}, {mx, 0.0}, {0.0, -my}, {0.0, my}}) {
      const double off = offsetDeg(x + dx);
      const double lon = centralMeridianDeg() + off, lat = latitudeDeg(y + dy);
      const int here = zoneAt(in, lon, lat, off < 0);
      if (std::fabs(off) < kArcOverlapDeg + sampleX / f.scale / kRpd && zoneAt(in, lon, lat, off >= 0) != here)
        return -1;
      if (answer == -2) answer = here;
      if (here != answer) return -1;
    }
    return answer;
  }
};

// Whether (x, y) lies on the lines of the surface's diagonal-cross hatching,
// where the last zone's colour shows.
bool onHatchLine(int x, int y) { return ((x - y) & 7) == 0 || ((x + y) & 7) == 7; }

TEST(ZoneCatalogue, EveryFiftiethEclipseIsHatchedAsTheGeometryGives) {
  if (TARVO_SLOW_TESTS_SKIPPED) GTEST_SKIP() << "the whole canon runs in the optimised build only";
  const std::filesystem::path dir = TARVO_RUNDATA_DIR;
  for (const CanonFile& file : kCanonFiles)
    if (!std::filesystem::exists(dir / file.name)) GTEST_SKIP() << "no canon in " << dir;
  CanonReader reader(dir);
  long index = 0, drawn = 0, probes = 0, wrong = 0;
  for (const CanonFile& file : kCanonFiles) {
    EclipseEntry r;
    for (ReadStatus s = reader.openFirst(file.firstYear, DeltaTChoice{}, r); succeeded(s); s = reader.readNext(DeltaTChoice{}, r)) {
      if (index++ % kEveryNth != 0) continue;
      const double t = (r.greatestJd - 2451545.0) / 36525;
      const EclipseCircumstances e = eclipseCircumstances(r, deltaTSeconds(DeltaTModel::kBuiltin, t), 0);
      if (!e.converged()) continue;
      const VisibilityInputs in = visibilityInputsOf(e);
      ++drawn;
      for (const Size& size : kSizes) {
        MapFrame f = layoutMap(0, 0, size.width, size.height);
        centreMapOn(f, splitGreatestLongitude(in.greatest.longitudeDeg));
        DrawingSurface surface(size.width, size.height, size.scale);
        surface.clear(colorTable[0]);
        MapPen pen;
        drawVisibilityZones(surface, f, pen, in);
        const Probe probe{f, in};
        long wrongHere = 0;
        std::string first;
        for (int y = f.top + 4; y < std::min(f.bottom, size.height); y += 24) {
          for (int x = f.left + 4 + ((y - f.left - 4) & 7); x < f.right; x += 24) {
            if (!onHatchLine(x, y)) continue;
            const int want = probe.expected(x, y);
            const Rgb got = surface.pixel(x * size.scale, y * size.scale);
            if (want < 0 || got == colorTable[14]) continue;  // undecided, or the marker
            ++probes;
            if (got != (want == 0 ? colorTable[0] : colorTable[static_cast<std::size_t>(want)])) {
              if (wrongHere++ == 0)
                first = formatString("(%d, %d) wants palette colour %d", x, y, want);
            }
          }
        }
        if (wrongHere > 0) {
          ++wrong;
          ADD_FAILURE() << static_cast<int>(r.year) << "/" << static_cast<int>(r.month) << "/"
                        << static_cast<int>(r.eclipseDay) << " at " << size.width << "x" << size.height << "@" << size.scale << ": "
                        << wrongHere << " probes wrong, first " << first;
        }
      }
    }
  }
  std::printf("[ measured ] %ld eclipses drawn at %zu sizes, %ld probes, %ld pictures wrong\n", drawn, kSizes.size(),
              probes, wrong);
  EXPECT_GT(drawn, 1400);
}

}  // namespace
}  // namespace tarvo
