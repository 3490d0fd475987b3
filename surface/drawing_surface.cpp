#include "surface/drawing_surface.h"

#include <algorithm>
#include <cmath>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "surface/text_raster.h"

// Fontconfig, loaded for the text fonts, keeps its configuration until the
// process ends; the leak checker of sanitizer builds is told so. Weak, so
// that a program with its own suppressions keeps them.
#if defined(__SANITIZE_ADDRESS__)
#define TARVO_LEAK_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TARVO_LEAK_CHECKED 1
#endif
#endif
#ifdef TARVO_LEAK_CHECKED
extern "C" __attribute__((weak, used)) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
// Without its report of the suppressions used, a command-line run of a
// sanitizer build prints on standard error what the optimised build prints.
extern "C" __attribute__((weak, used)) const char* __lsan_default_options() {
  return "print_suppressions=0";
}
#endif

namespace tarvo {

namespace {

constexpr std::uint32_t kOpaque = 0xFF000000u;
constexpr std::uint32_t kRgbMask = 0x00FFFFFFu;
constexpr int kTextPitch = 7;  // pixels per character of the text font
// Cell height of the text font, used only when no text module is loaded.
constexpr int kTextLineHeight = 14;
constexpr int kMaxPenWidth = 256;  // wider pens are drawn this wide

int strokeWidth(const Pen& pen) { return std::clamp(pen.width, 1, kMaxPenWidth); }

// Truncates toward zero; empty for NaN, infinities and magnitudes beyond
// kMaxCoordinate, which no drawing can use.
std::optional<std::int64_t> toPixel(double v) {
  if (!(std::fabs(v) <= kMaxCoordinate)) return std::nullopt;
  return static_cast<std::int64_t>(v);
}

std::optional<PixelPoint> toPixelPoint(double x, double y) {
  auto px = toPixel(x);
  auto py = toPixel(y);
  if (!px || !py) return std::nullopt;
  return PixelPoint{*px, *py};
}

// The pixel box of a rectangle or ellipse given by two corners in any order;
// empty when a corner is unusable or the box has no width or height.
struct PixelBox {
  std::int64_t l, t, r, b;  // r and b are excluded
};

std::optional<PixelBox> toPixelBox(double left, double top, double right, double bottom) {
  auto a = toPixelPoint(left, top);
  auto c = toPixelPoint(right, bottom);
  if (!a || !c) return std::nullopt;
  const PixelBox box{std::min(a->x, c->x), std::min(a->y, c->y), std::max(a->x, c->x),
                     std::max(a->y, c->y)};
  if (box.l == box.r || box.t == box.b) return std::nullopt;
  return box;
}

struct Span {
  std::int64_t lo = 1, hi = 0;  // inclusive; empty when lo > hi
  bool empty() const { return lo > hi; }
};

// Row y of the ellipse inscribed in [l, r) × [t, b): the pixels whose
// centres lie inside it.
Span ellipseRow(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b, std::int64_t y) {
  if (y < t || y >= b) return {};
  const double cx = (static_cast<double>(l) + static_cast<double>(r)) / 2;
  const double cy = (static_cast<double>(t) + static_cast<double>(b)) / 2;
  const double a = (static_cast<double>(r) - static_cast<double>(l)) / 2;
  const double bb = (static_cast<double>(b) - static_cast<double>(t)) / 2;
  const double dy = (static_cast<double>(y) + 0.5 - cy) / bb;
  const double q = 1 - dy * dy;
  if (q < 0) return {};
  const double hw = a * std::sqrt(q);
  return {static_cast<std::int64_t>(std::ceil(cx - hw - 0.5)),
          static_cast<std::int64_t>(std::floor(cx + hw - 0.5))};
}

}  // namespace

namespace {
double clampedScale(double scale) {
  return std::isfinite(scale) ? std::clamp(scale, kMinSurfaceScale, kMaxSurfaceScale) : kMinSurfaceScale;
}
int deviceSide(int logical, double scale) {
  return static_cast<int>(std::lround(std::max(logical, 0) * scale));
}
}  // namespace

DrawingSurface::DrawingSurface(int width, int height, double scale)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      scale_(clampedScale(scale)),
      wholeScale_(scale_ == std::floor(scale_) ? static_cast<int>(scale_) : 0),
      deviceWidth_(deviceSide(width_, scale_)),
      deviceHeight_(deviceSide(height_, scale_)),
      pixels_(static_cast<std::size_t>(deviceWidth_) * static_cast<std::size_t>(deviceHeight_), kOpaque) {}

Rgb DrawingSurface::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= deviceWidth_ || y >= deviceHeight_) return paletteColour(PaletteIndex::Black);
  return pixels_[static_cast<std::size_t>(y) * deviceWidth_ + x] & kRgbMask;
}

std::optional<std::int64_t> DrawingSurface::toDevice(double v) const { return toPixel(v * scale_); }

std::int64_t DrawingSurface::deviceEdge(std::int64_t logical) const {
  if (scale_ == 1) return logical;
  return static_cast<std::int64_t>(std::floor(static_cast<double>(logical) * scale_));
}

int DrawingSurface::devicePenWidth() const {
  const int w = strokeWidth(pen_);
  return scale_ == 1 ? w : std::max(1, static_cast<int>(std::lround(w * scale_)));
}

void DrawingSurface::putPixel(std::int64_t x, std::int64_t y, Rgb colour) {
  if (x < 0 || y < 0 || x >= deviceWidth_ || y >= deviceHeight_) return;
  pixels_[static_cast<std::size_t>(y) * deviceWidth_ + static_cast<std::size_t>(x)] = kOpaque | colour;
}

// Inclusive box, clipped.
void DrawingSurface::fillBand(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                              Rgb colour) {
  x0 = std::max<std::int64_t>(x0, 0);
  y0 = std::max<std::int64_t>(y0, 0);
  x1 = std::min<std::int64_t>(x1, deviceWidth_ - 1);
  y1 = std::min<std::int64_t>(y1, deviceHeight_ - 1);
  if (x0 > x1 || y0 > y1) return;
  for (std::int64_t y = y0; y <= y1; ++y) {
    auto row = pixels_.begin() + static_cast<std::ptrdiff_t>(y * deviceWidth_);
    std::fill(row + x0, row + x1 + 1, kOpaque | colour);
  }
}

void DrawingSurface::fillLogicalBand(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                                     Rgb colour) {
  fillBand(deviceEdge(x0), deviceEdge(y0), deviceEdge(x1 + 1) - 1, deviceEdge(y1 + 1) - 1, colour);
}

namespace {

// The diagonal-cross lines of device row y over [x0, x1] (x0 ≥ 0) at a whole
// scale K: lines K pixels wide every 8K pixels.
template <int K>
void hatchRowAtWholeScale(std::uint32_t* row, std::int64_t y, std::int64_t x0, std::int64_t x1,
                          std::uint32_t ink) {
  constexpr std::int64_t period = 8 * K;
  const std::int64_t ly = y / K;
  for (const std::int64_t first : {ly & 7, (7 - ly) & 7}) {
    const std::int64_t offset = K * first;
    // The line at or before x0; the dividend is positive.
    std::int64_t x = x0 - (x0 - offset + period) % period;
    if (x < x0) {  // cut by x0
      for (std::int64_t i = x0; i <= std::min(x + K - 1, x1); ++i) row[i] = ink;
      x += period;
    }
    for (; x + K - 1 <= x1; x += period)
      for (int i = 0; i < K; ++i) row[x + i] = ink;
    for (std::int64_t i = x; i <= x1; ++i) row[i] = ink;  // cut by x1
  }
}

}  // namespace

// Brush pixels of row y from x0 to x1 inclusive, clipped.
void DrawingSurface::brushSpan(std::int64_t y, std::int64_t x0, std::int64_t x1) {
  if (brush_.style == BrushStyle::Hollow || y < 0 || y >= deviceHeight_) return;
  x0 = std::max<std::int64_t>(x0, 0);
  x1 = std::min<std::int64_t>(x1, deviceWidth_ - 1);
  if (x0 > x1) return;
  std::uint32_t* row = pixels_.data() + y * deviceWidth_;
  const std::uint32_t ink = kOpaque | brush_.colour;
  if (brush_.style == BrushStyle::Solid) {
    std::fill(row + x0, row + x1 + 1, ink);
    return;
  }
  if (backgroundMode_ == BackgroundMode::Opaque)
    std::fill(row + x0, row + x1 + 1, kOpaque | backgroundColour_);
  // The diagonal-cross pattern has its lines where x ≡ y and x + y ≡ 7
  // (mod 8), counted in logical pixels from the surface origin; at a larger
  // scale each of its pixels is the device pixels of a logical one.
  if (scale_ == 1) {
    for (std::int64_t first : {y & 7, (7 - y) & 7}) {
      std::int64_t x = x0 + ((first - x0) & 7);
      for (; x <= x1; x += 8) row[x] = ink;
    }
    return;
  }
  switch (wholeScale_) {
    case 2: return hatchRowAtWholeScale<2>(row, y, x0, x1, ink);
    case 3: return hatchRowAtWholeScale<3>(row, y, x0, x1, ink);
    case 4: return hatchRowAtWholeScale<4>(row, y, x0, x1, ink);
    default: break;
  }
  const auto ly = static_cast<std::int64_t>(static_cast<double>(y) / scale_);
  const auto lx0 = static_cast<std::int64_t>(static_cast<double>(x0) / scale_);
  for (std::int64_t first : {ly & 7, (7 - ly) & 7}) {
    for (std::int64_t lx = lx0 + ((first - lx0) & 7);; lx += 8) {
      const std::int64_t from = std::max(deviceEdge(lx), x0);
      const std::int64_t to = std::min(deviceEdge(lx + 1) - 1, x1);
      if (from > x1) break;
      if (from <= to) std::fill(row + from, row + to + 1, ink);
    }
  }
}

void DrawingSurface::fillSolidRect(double left, double top, double right, double bottom,
                                   Rgb colour) {
  backgroundColour_ = colour;
  auto a = toPixelPoint(left, top);
  auto b = toPixelPoint(right, bottom);
  if (!a || !b) return;
  fillLogicalBand(a->x, a->y, b->x - 1, b->y - 1, colour);
  std::erase_if(drawnTexts_, [&](const DrawnText& t) {
    return t.x >= a->x && t.x < b->x && t.y >= a->y && t.y < b->y;
  });
}

void DrawingSurface::clear(Rgb colour) { fillSolidRect(0, 0, width_, height_, colour); }

void DrawingSurface::moveTo(double x, double y) {
  currentLogical_ = toPixelPoint(x, y);
  current_ = currentLogical_ ? toPixelPoint(x * scale_, y * scale_) : std::nullopt;
}

void DrawingSurface::lineTo(double x, double y) {
  auto to = toPixelPoint(x * scale_, y * scale_);
  auto toLogical = toPixelPoint(x, y);
  if (!toLogical) to.reset();
  if (current_ && to) thinOrWideLine(*current_, *to);
  current_ = to;
  currentLogical_ = toLogical;
}

// Bresenham from `from` towards `to`, the last pixel left out. Step i along
// the major axis puts the minor coordinate at round-half-up(i·dMinor/dMajor).
// Only the steps whose major coordinate lies on the image are visited, so a
// line to ±1e9 costs no more than one across the image. A pen of width w
// stamps w pixels across the major axis, centred, the extra one right/down.
void DrawingSurface::thinOrWideLine(PixelPoint from, PixelPoint to) {
  const std::int64_t dx = to.x - from.x;
  const std::int64_t dy = to.y - from.y;
  if (dx == 0 && dy == 0) return;
  const bool xMajor = std::llabs(dx) >= std::llabs(dy);
  const std::int64_t major0 = xMajor ? from.x : from.y;
  const std::int64_t minor0 = xMajor ? from.y : from.x;
  const std::int64_t dMajor = std::llabs(xMajor ? dx : dy);
  const std::int64_t dMinor = std::llabs(xMajor ? dy : dx);
  const int majorSign = (xMajor ? dx : dy) > 0 ? 1 : -1;
  const int minorSign = (xMajor ? dy : dx) >= 0 ? 1 : -1;
  const std::int64_t majorLimit = xMajor ? deviceWidth_ : deviceHeight_;

  std::int64_t lo, hi;  // steps [lo, hi)
  if (majorSign > 0) {
    lo = std::max<std::int64_t>(0, -major0);
    hi = std::min<std::int64_t>(dMajor, majorLimit - major0);
  } else {
    lo = std::max<std::int64_t>(0, major0 - majorLimit + 1);
    hi = std::min<std::int64_t>(dMajor, major0 + 1);
  }
  if (lo >= hi) return;

  const std::int64_t twoMajor = 2 * dMajor;
  const __int128 num = static_cast<__int128>(2) * lo * dMinor + dMajor;
  std::int64_t m = static_cast<std::int64_t>(num / twoMajor);
  std::int64_t rem = static_cast<std::int64_t>(num % twoMajor);
  const int w = devicePenWidth();
  const std::int64_t before = (w - 1) / 2;
  const std::int64_t after = w / 2;
  // The steps that share a minor coordinate form one straight stretch, drawn
  // as one band of the pen's width.
  std::int64_t stretchFrom = major0 + majorSign * lo;
  auto drawStretch = [&](std::int64_t lastA, std::int64_t b) {
    const std::int64_t a0 = std::min(stretchFrom, lastA), a1 = std::max(stretchFrom, lastA);
    if (xMajor) fillBand(a0, b - before, a1, b + after, pen_.colour);
    else fillBand(b - before, a0, b + after, a1, pen_.colour);
  };
  for (std::int64_t i = lo; i < hi; ++i) {
    const std::int64_t a = major0 + majorSign * i;
    const std::int64_t b = minor0 + minorSign * m;
    rem += 2 * dMinor;
    const bool minorSteps = rem >= twoMajor;
    if (minorSteps) {
      rem -= twoMajor;
      ++m;
    }
    if (minorSteps || i + 1 == hi) {
      drawStretch(a, b);
      stretchFrom = a + majorSign;
    }
  }
}

void DrawingSurface::rectangle(double left, double top, double right, double bottom) {
  const auto box = toPixelBox(left, top, right, bottom);
  if (!box) return;
  const auto [l, t, r, b] = *box;
  const std::int64_t y0 = std::max<std::int64_t>(t + 1, 0);
  const std::int64_t y1 = std::min<std::int64_t>(b - 2, height_ - 1);
  const std::int64_t dx0 = deviceEdge(l + 1), dx1 = deviceEdge(r - 1) - 1;
  for (std::int64_t y = deviceEdge(y0); y < deviceEdge(y1 + 1); ++y) brushSpan(y, dx0, dx1);
  // The outline runs through the pixel centres of columns l and r − 1 and
  // rows t and b − 1; a wide pen widens it about that path.
  const int w = strokeWidth(pen_);
  const std::int64_t before = (w - 1) / 2, after = w / 2;
  const std::int64_t xl = l, xr = r - 1, yt = t, yb = b - 1;
  fillLogicalBand(xl - before, yt - before, xr + after, yt + after, pen_.colour);
  fillLogicalBand(xl - before, yb - before, xr + after, yb + after, pen_.colour);
  fillLogicalBand(xl - before, yt - before, xl + after, yb + after, pen_.colour);
  fillLogicalBand(xr - before, yt - before, xr + after, yb + after, pen_.colour);
}

// At a larger scale the outline is the ring of device pixels inside the
// ellipse of the box and outside the one inset by the pen's device width.
void DrawingSurface::scaledEllipse(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b) {
  const std::int64_t dl = deviceEdge(l), dt = deviceEdge(t), dr = deviceEdge(r), db = deviceEdge(b);
  const int w = devicePenWidth();
  const bool hollowInside = dr - dl <= 2 * w || db - dt <= 2 * w;
  const std::int64_t y0 = std::max<std::int64_t>(dt, 0), y1 = std::min<std::int64_t>(db - 1, deviceHeight_ - 1);
  for (std::int64_t y = y0; y <= y1; ++y) {
    const Span outer = ellipseRow(dl, dt, dr, db, y);
    if (outer.empty()) continue;
    const Span inner = hollowInside ? Span{} : ellipseRow(dl + w, dt + w, dr - w, db - w, y);
    if (inner.empty()) {
      fillBand(outer.lo, y, outer.hi, y, pen_.colour);
      continue;
    }
    brushSpan(y, inner.lo, inner.hi);
    fillBand(outer.lo, y, inner.lo - 1, y, pen_.colour);
    fillBand(inner.hi + 1, y, outer.hi, y, pen_.colour);
  }
}

// The filled ellipse is the set of pixels whose centres lie inside the
// ellipse inscribed in the box; its outline is those of them with a
// 4-neighbour outside, which closes it against a 4-connected flood fill.
void DrawingSurface::ellipse(double left, double top, double right, double bottom) {
  const auto box = toPixelBox(left, top, right, bottom);
  if (!box) return;
  const auto [l, t, r, b] = *box;
  if (scale_ != 1) {
    scaledEllipse(l, t, r, b);
    return;
  }
  const int w = strokeWidth(pen_);
  const std::int64_t before = (w - 1) / 2, after = w / 2;
  const std::int64_t y0 = std::max<std::int64_t>(t, -after);
  const std::int64_t y1 = std::min<std::int64_t>(b - 1, height_ - 1 + before);
  const std::int64_t xMin = -after - 1, xMax = width_ + before;
  auto clampX = [&](std::int64_t x) { return std::clamp(x, xMin, xMax); };
  for (std::int64_t y = y0; y <= y1; ++y) {
    const Span row = ellipseRow(l, t, r, b, y);
    if (row.empty()) continue;
    const Span up = ellipseRow(l, t, r, b, y - 1);
    const Span down = ellipseRow(l, t, r, b, y + 1);
    Span inner;
    if (!up.empty() && !down.empty())
      inner = {std::max({row.lo + 1, up.lo, down.lo}), std::min({row.hi - 1, up.hi, down.hi})};
    Span outlineRuns[2] = {row, {}};
    if (!inner.empty()) {
      brushSpan(y, inner.lo, inner.hi);
      outlineRuns[0] = {row.lo, inner.lo - 1};
      outlineRuns[1] = {inner.hi + 1, row.hi};
    }
    for (const Span& run : outlineRuns) {
      if (run.empty()) continue;
      const std::int64_t x0 = clampX(run.lo), x1 = clampX(run.hi);
      if (w == 1) {
        fillBand(x0, y, x1, y, pen_.colour);
      } else {
        for (std::int64_t x = x0; x <= x1; ++x)
          fillBand(x - before, y - before, x + after, y + after, pen_.colour);
      }
    }
  }
}

// A dot is one logical pixel: a square of R × R device pixels from the
// coordinate's device pixel.
void DrawingSurface::setPixel(double x, double y, Rgb colour) {
  if (!toPixelPoint(x, y)) return;
  auto p = toPixelPoint(x * scale_, y * scale_);
  if (!p) return;
  if (scale_ == 1) {
    putPixel(p->x, p->y, colour);
    return;
  }
  const std::int64_t side = std::max<std::int64_t>(1, std::lround(scale_));
  fillBand(p->x, p->y, p->x + side - 1, p->y + side - 1, colour);
}

namespace {

// Border tests on a row of 0xFFRRGGBB pixels, four pixels at a time where
// the processor has SSE2.
inline bool isBorder(std::uint32_t pixel, std::uint32_t border) { return (pixel & kRgbMask) == border; }

// The first x in [x, hi] whose pixel is the border colour, or hi + 1.
std::int64_t nextBorder(const std::uint32_t* row, std::int64_t x, std::int64_t hi, std::uint32_t border) {
#if defined(__SSE2__)
  const __m128i mask = _mm_set1_epi32(static_cast<int>(kRgbMask));
  const __m128i want = _mm_set1_epi32(static_cast<int>(border));
  auto hits = [&](std::int64_t at) {
    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + at));
    return _mm_cmpeq_epi32(_mm_and_si128(p, mask), want);
  };
  // Sixteen pixels a step while none is the border, then four.
  for (; x + 15 <= hi; x += 16) {
    const __m128i any = _mm_or_si128(_mm_or_si128(hits(x), hits(x + 4)), _mm_or_si128(hits(x + 8), hits(x + 12)));
    if (_mm_movemask_epi8(any) != 0) break;
  }
  for (; x + 3 <= hi; x += 4) {
    const int hit = _mm_movemask_ps(_mm_castsi128_ps(hits(x)));
    if (hit != 0) return x + __builtin_ctz(static_cast<unsigned>(hit));
  }
#endif
  for (; x <= hi; ++x)
    if (isBorder(row[x], border)) return x;
  return hi + 1;
}

// The last x in [lo, x] whose pixel is the border colour, or lo − 1.
std::int64_t previousBorder(const std::uint32_t* row, std::int64_t x, std::int64_t lo, std::uint32_t border) {
#if defined(__SSE2__)
  const __m128i mask = _mm_set1_epi32(static_cast<int>(kRgbMask));
  const __m128i want = _mm_set1_epi32(static_cast<int>(border));
  auto hits = [&](std::int64_t at) {
    const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + at));
    return _mm_cmpeq_epi32(_mm_and_si128(p, mask), want);
  };
  for (; x - 15 >= lo; x -= 16) {
    const __m128i any =
        _mm_or_si128(_mm_or_si128(hits(x - 15), hits(x - 11)), _mm_or_si128(hits(x - 7), hits(x - 3)));
    if (_mm_movemask_epi8(any) != 0) break;
  }
  for (; x - 3 >= lo; x -= 4) {
    const int hit = _mm_movemask_ps(_mm_castsi128_ps(hits(x - 3)));
    if (hit != 0) return x - 3 + (31 - __builtin_clz(static_cast<unsigned>(hit)));
  }
#endif
  for (; x >= lo; --x)
    if (isBorder(row[x], border)) return x;
  return lo - 1;
}

// Asks the memory for pixels [x0, x1] of a row ahead of their use. A fill
// walks row by row; the rows two away from a run are read after the next
// one, time enough for a large image's rows, seldom still in the cache, to
// arrive.
void prefetchPixels(const std::uint32_t* row, std::int64_t x0, std::int64_t x1) {
  constexpr std::int64_t kPixelsPerCacheLine = 64 / sizeof(std::uint32_t);
  for (std::int64_t x = x0; x <= x1; x += kPixelsPerCacheLine) __builtin_prefetch(row + x);
  __builtin_prefetch(row + x1);
}

}  // namespace

// Span fill. The region (pixels 4-connected to the seed that are not the
// border colour nor in a barrier) is found on the image as it stands, as
// maximal runs per row, each brushed as soon as it is found, while it is in
// the cache. Each row keeps the runs found in it, so a run is taken once and
// the fill ends whatever the brush leaves behind. A run found later in a row
// is parted from the kept ones by pixels that were border before the fill,
// and its search stops there, so the brush's pixels never change which runs
// are found: the region is the one the image held.
void DrawingSurface::floodFill(double xd, double yd, Rgb borderColour,
                               const std::vector<FillBarrier>& barriers) {
  const auto logicalSeed = toPixelPoint(xd, yd);
  if (!logicalSeed || logicalSeed->x < 0 || logicalSeed->y < 0 || logicalSeed->x >= width_ ||
      logicalSeed->y >= height_)
    return;
  if (brush_.style == BrushStyle::Hollow) return;
  const std::uint32_t border = borderColour & kRgbMask;
  std::vector<PixelBox> walls;
  for (const FillBarrier& b : barriers)
    if (auto box = toPixelBox(b.left * scale_, b.top * scale_, b.right * scale_, b.bottom * scale_))
      walls.push_back(*box);
  auto inWall = [&](std::int64_t x, std::int64_t y) {
    for (const PixelBox& w : walls)
      if (x >= w.l && x < w.r && y >= w.t && y < w.b) return true;
    return false;
  };
  auto fillable = [&](std::int64_t x, std::int64_t y) {
    return x >= 0 && y >= 0 && x < deviceWidth_ && y < deviceHeight_ &&
           !isBorder(pixels_[static_cast<std::size_t>(y * deviceWidth_ + x)], border) && !inWall(x, y);
  };
  // The seed's device pixel, or where a finer line covers it another device
  // pixel of the seed's logical one.
  std::optional<PixelPoint> seed;
  if (auto p = toPixelPoint(xd * scale_, yd * scale_); p && fillable(p->x, p->y)) seed = p;
  for (std::int64_t y = deviceEdge(logicalSeed->y); !seed && y < deviceEdge(logicalSeed->y + 1); ++y)
    for (std::int64_t x = deviceEdge(logicalSeed->x); !seed && x < deviceEdge(logicalSeed->x + 1); ++x)
      if (fillable(x, y)) seed = PixelPoint{x, y};
  if (!seed) return;

  if (fillRows_.size() != static_cast<std::size_t>(deviceHeight_))
    fillRows_.assign(static_cast<std::size_t>(deviceHeight_), {});
  std::vector<std::int64_t> touched;
  std::vector<FillRun> stack;
  // The maximal run through the fillable pixel x of row y, kept and stacked;
  // its last x.
  auto takeRun = [&](std::int64_t x, std::int64_t y) {
    const std::uint32_t* row = pixels_.data() + y * deviceWidth_;
    std::int64_t lo = 0, hi = deviceWidth_ - 1;
    for (const PixelBox& w : walls) {
      if (y < w.t || y >= w.b) continue;
      if (w.r <= x) lo = std::max(lo, w.r);
      if (w.l > x) hi = std::min(hi, w.l - 1);
    }
    const FillRun run{y, previousBorder(row, x, lo, border) + 1, nextBorder(row, x, hi, border) - 1};
    auto& kept = fillRows_[static_cast<std::size_t>(y)];
    if (kept.empty()) touched.push_back(y);
    kept.push_back({run.x0, run.x1});
    stack.push_back(run);
    for (const std::int64_t ny : {y - 2, y + 2})
      if (ny >= 0 && ny < deviceHeight_) prefetchPixels(pixels_.data() + ny * deviceWidth_, run.x0, run.x1);
    brushSpan(y, run.x0, run.x1);
    return run.x1;
  };
  // The kept run of row y holding x, if any: its last x, else −1.
  auto keptRunEnd = [&](std::int64_t x, std::int64_t y) -> std::int64_t {
    for (const auto& [x0, x1] : fillRows_[static_cast<std::size_t>(y)])
      if (x >= x0 && x <= x1) return x1;
    return -1;
  };
  takeRun(seed->x, seed->y);
  while (!stack.empty()) {
    const FillRun run = stack.back();
    stack.pop_back();
    for (const std::int64_t ny : {run.y - 1, run.y + 1}) {
      if (ny < 0 || ny >= deviceHeight_) continue;
      const std::uint32_t* row = pixels_.data() + ny * deviceWidth_;
      for (std::int64_t x = run.x0; x <= run.x1;) {
        if (isBorder(row[x], border)) {
          ++x;
        } else if (const std::int64_t end = keptRunEnd(x, ny); end >= 0) {
          x = end + 2;
        } else if (inWall(x, ny)) {
          ++x;
        } else {
          x = takeRun(x, ny) + 2;
        }
      }
    }
  }
  for (const std::int64_t y : touched) fillRows_[static_cast<std::size_t>(y)].clear();
}

int DrawingSurface::textWidth(std::string_view text) const {
  if (font_ == FontRecipe::Text) return kTextPitch * static_cast<int>(text.size());
  const TextRaster* raster = textRaster();
  return raster != nullptr ? raster->width(font_, text) : kTextPitch * static_cast<int>(text.size());
}

int DrawingSurface::textHeight() const {
  const TextRaster* raster = textRaster();
  return raster != nullptr ? raster->height(font_) : kTextLineHeight;
}

void DrawingSurface::textOut(double xd, double yd, std::string_view text) {
  auto p = toPixelPoint(xd, yd);
  if (!p || text.empty() || pixels_.empty()) return;
  // Anything starting farther out than this cannot reach the image; the
  // bound also keeps the painter's int coordinates in range.
  constexpr std::int64_t kReach = 1 << 20;
  if (text.size() > static_cast<std::size_t>(kReach)) text = text.substr(0, kReach);
  if (p->x < -kTextPitch * static_cast<std::int64_t>(text.size()) || p->x > width_ ||
      p->y < -kReach || p->y > height_)
    return;
  const int x = static_cast<int>(p->x), y = static_cast<int>(p->y);
  // A text drawn at the same corner takes the earlier one's place.
  std::erase_if(drawnTexts_, [&](const DrawnText& t) { return t.x == x && t.y == y; });
  drawnTexts_.push_back(DrawnText{x, y, std::string(text)});
  if (backgroundMode_ == BackgroundMode::Opaque)
    fillLogicalBand(x, y, static_cast<std::int64_t>(x) + textWidth(text) - 1,
                    static_cast<std::int64_t>(y) + textHeight() - 1, backgroundColour_);
  const TextRaster* raster = textRaster();
  if (raster == nullptr) return;
  // The glyphs at the device size, from the device pixel of the cell's corner.
  std::vector<PlacedText> pieces;
  if (font_ == FontRecipe::Text) {
    // Each glyph on the whole-pixel pitch.
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == ' ') continue;
      const int gx = x + kTextPitch * static_cast<int>(i);
      if (gx > width_) break;
      pieces.push_back({static_cast<int>(deviceEdge(gx)), text.substr(i, 1)});
    }
  } else {
    pieces.push_back({static_cast<int>(deviceEdge(x)), text});
  }
  raster->draw(pixels_.data(), deviceWidth_, deviceHeight_, font_, scale_, textColour_,
               static_cast<int>(deviceEdge(y)), pieces.data(), pieces.size());
}

FileWrite DrawingSurface::savePng(const std::string& path) {
  std::string why;
  const TextRaster* raster = textRaster(&why);
  if (raster == nullptr) return {why};
  std::string png;
  if (!raster->encodePng(pixels_.data(), deviceWidth_, deviceHeight_, png, why)) return {why};
  return writeFileWhole(path, png);
}

// Primitives.

namespace {

// Puts the surface's pen and brush back when a primitive is done.
class SavedTools {
 public:
  explicit SavedTools(DrawingSurface& s) : s_(s), pen_(s.pen()), brush_(s.brush()) {}
  ~SavedTools() {
    s_.setPen(pen_);
    s_.setBrush(brush_);
  }
  SavedTools(const SavedTools&) = delete;
  SavedTools& operator=(const SavedTools&) = delete;

 private:
  DrawingSurface& s_;
  Pen pen_;
  Brush brush_;
};

// The box (cx − r, cy − r, cx + r, cy + r) from whole-pixel arguments.
void circleBox(DrawingSurface& s, double cx, double cy, double r) {
  auto c = toPixelPoint(cx, cy);
  auto radius = toPixel(r);
  if (!c || !radius) return;
  s.ellipse(static_cast<double>(c->x - *radius), static_cast<double>(c->y - *radius),
            static_cast<double>(c->x + *radius), static_cast<double>(c->y + *radius));
}

}  // namespace

void drawLine(DrawingSurface& s, double x1, double y1, double x2, double y2, PaletteIndex colour) {
  SavedTools saved(s);
  s.setPen({paletteColour(colour), 1});
  s.moveTo(x1, y1);
  s.lineTo(x2, y2);
}

void lineToColour(DrawingSurface& s, double x, double y, PaletteIndex colour) {
  SavedTools saved(s);
  s.setPen({paletteColour(colour), 1});
  s.lineTo(x, y);
}

void moveTo(DrawingSurface& s, double x, double y) { s.moveTo(x, y); }

void drawFrame(DrawingSurface& s, double left, double top, double right, double bottom, PaletteIndex colour,
               int width) {
  SavedTools saved(s);
  s.setPen({paletteColour(colour), width});
  s.setBrush({BrushStyle::Hollow, 0});
  s.rectangle(left, top, right, bottom);
}

void drawCircle(DrawingSurface& s, double cx, double cy, double r, PaletteIndex colour) {
  SavedTools saved(s);
  s.setPen({paletteColour(colour), 1});
  s.setBrush({BrushStyle::Hollow, 0});
  circleBox(s, cx, cy, r);
}

void fillCircle(DrawingSurface& s, double cx, double cy, double r, PaletteIndex colour) {
  SavedTools saved(s);
  s.setPen({paletteColour(colour), 1});
  s.setBrush({BrushStyle::Solid, paletteColour(colour)});
  circleBox(s, cx, cy, r);
}

void fillBox(DrawingSurface& s, double left, double top, double right, double bottom, PaletteIndex colour) {
  SavedTools saved(s);
  s.setPen({paletteColour(colour), 1});
  s.setBrush({BrushStyle::Solid, paletteColour(colour)});
  s.rectangle(left, top, right, bottom);
}

void plot(DrawingSurface& s, double x, double y, PaletteIndex colour) {
  s.setPixel(x, y, paletteColour(colour));
}

void drawText(DrawingSurface& s, double x, double y, std::string_view text) {
  s.textOut(x, y, text);
}

}  // namespace tarvo
