// The sky chart's drawing, probed at known pixels: dot sizes, colours and
// labels by magnitude, the polar projection, the text block and the frame.
#include "sky/sky_chart.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/drawing_surface.h"

namespace tarvo {
namespace {

constexpr Rgb kBlack = colorTable[0];
constexpr Rgb kWhite = colorTable[15];
constexpr Rgb kPenProbe = colorTable[4];  // red outline, to tell a dot's edge from its fill

int countInBox(const DrawingSurface& s, int x0, int y0, int x1, int y1, Rgb c) {
  int n = 0;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) n += s.pixel(x, y) == c;
  return n;
}

// Pixels of row y that are not black: a dot's width on its centre row.
int inkedWidth(const DrawingSurface& s, int y) {
  int n = 0;
  for (int x = 0; x < s.width(); ++x) n += s.pixel(x, y) != kBlack;
  return n;
}

// Radius, fill band and label by magnitude; the examples of the brightness
// scale (radius 7 − m/2 when brighter than 0, 7·2^−m otherwise, truncated).
struct MagnitudeCase {
  double magnitude;
  int radius;
  Rgb fill;
  bool labelled;
};

TEST(SkyObjectLook, RadiusColourAndLabelFollowTheMagnitude) {
  const std::vector<MagnitudeCase> cases = {
      {-6, 10, kSkyBrightestFill, true},  {-5.01, 9, kSkyBrightestFill, true},
      {-4.99, 9, kSkyBrightFill, true},   {-1.47, 7, kSkyBrightFill, true},
      {0, 7, kSkyFaintFill, true},        {0.5, 4, kSkyFaintFill, true},
      {0.99, 3, kSkyFaintFill, true},     {1, 3, kSkyFaintFill, false},
      {1.5, 2, kSkyFaintFill, false},     {2, 1, kSkyFaintFill, false},
      {2.5, 1, kSkyFaintFill, false},     {2.9, 0, kSkyFaintFill, false},
  };
  for (const auto& c : cases) {
    const SkyObjectLook look = skyObjectLook(100, 100, 0, 90, c.magnitude, 2);
    EXPECT_EQ(look.radius, c.radius) << c.magnitude;
    EXPECT_EQ(look.fill, c.fill) << c.magnitude;
    EXPECT_EQ(look.labelled, c.labelled) << c.magnitude;
  }
}

TEST(SkyObjectDrawing, DotWidthFillAndLabelOnThePicture) {
  const std::vector<MagnitudeCase> cases = {
      {-6, 10, kSkyBrightestFill, true}, {-1.47, 7, kSkyBrightFill, true},
      {0, 7, kSkyFaintFill, true},       {0.5, 4, kSkyFaintFill, true},
      {1, 3, kSkyFaintFill, false},      {2.9, 0, kSkyFaintFill, false},
  };
  for (const auto& c : cases) {
    DrawingSurface s(200, 200);
    s.setPen({kPenProbe, 1});
    s.setBackgroundMode(BackgroundMode::Transparent);
    drawSkyObject(s, 100, 100, 0, 90, c.magnitude, 2, "MMMM");
    // The box (x − ρ, y − ρ)–(x + ρ, y + ρ) with its right edge excluded.
    EXPECT_EQ(inkedWidth(s, 100), 2 * c.radius) << c.magnitude;
    if (c.radius >= 2) {
      EXPECT_EQ(s.pixel(100, 100), c.fill) << c.magnitude;
      EXPECT_EQ(s.pixel(100 - c.radius, 100), kPenProbe) << c.magnitude;
    }
    // The label's ink below the dot, and none of it inside the dot, which
    // was drawn after it.
    const int labelInk = countInBox(s, 95, 100 + c.radius + 1, 140, 125, kSkyLabelColour);
    EXPECT_EQ(labelInk > 0, c.labelled) << c.magnitude;
    if (c.radius > 7) {
      EXPECT_EQ(countInBox(s, 100 - c.radius + 2, 107, 100 + c.radius - 2, 100 + c.radius - 2,
                           kSkyLabelColour),
                0)
          << c.magnitude;
    }
    EXPECT_EQ(s.textColour(), c.labelled ? kSkyLabelColour : kBlack) << c.magnitude;
    EXPECT_EQ(s.brush().colour, colorTable[15]) << "brush put back";
  }
}

// The polar projection: zenith at the centre, 2 px per degree of zenith
// distance, south down, west right, east left, north up.
TEST(SkyObjectLook, PolarProjectionPutsTheCompassPointsInPlace) {
  struct Case {
    double azimuthFromSouthDeg, altitudeDeg;
    int x, y;
  };
  const std::vector<Case> cases = {
      {0, 90, 430, 200},    // zenith
      {123, 90, 430, 200},  // zenith whatever the azimuth
      {0, 0, 430, 380},     // south point
      {90, 0, 610, 200},    // west point
      {-90, 0, 250, 200},   // east point
      {180, 0, 430, 20},    // north point
      {0, 60, 430, 260},    // 30° from the zenith towards the south
      {45, 45, 493, 263},   // south-west: 90 px at 45°, 63.6 px each way
      {135, 30, 514, 115},  // north-west: 120 px, 84.9 px each way
  };
  for (const auto& c : cases) {
    const SkyObjectLook look = skyObjectLook(430, 200, -c.azimuthFromSouthDeg, c.altitudeDeg, 3, 2);
    EXPECT_EQ(look.x, c.x) << c.azimuthFromSouthDeg << " " << c.altitudeDeg;
    EXPECT_EQ(look.y, c.y) << c.azimuthFromSouthDeg << " " << c.altitudeDeg;
  }
}

TEST(SkyChartText, PackedDatesSplitWithTheSignOfTheYear) {
  const PackedDateParts bc = splitPackedDate(-500.0315);
  EXPECT_EQ(bc.year, -500);
  EXPECT_EQ(bc.month, 3);
  EXPECT_EQ(bc.day, 15);
  // Every month and day of years across the span survives packing.
  for (double year : {-13000.0, -500.0, -1.0, 0.0, 1.0, 2025.0, 16999.0})
    for (int month = 1; month <= 12; ++month)
      for (int day = 1; day <= 31; ++day) {
        const PackedDateParts p = splitPackedDate(packDate(year, month, day));
        ASSERT_EQ(p.year, year) << year << " " << month << " " << day;
        ASSERT_EQ(p.month, month) << year << " " << month << " " << day;
        ASSERT_EQ(p.day, day) << year << " " << month << " " << day;
      }
}

TEST(SkyChartText, ZoneRoundsHalvesAwayFromZero) {
  const std::vector<std::pair<double, int>> cases = {
      {-7.5, -1}, {7.5, 1}, {7.4, 0}, {-7.4, 0}, {0, 0}, {-74.006, -5}, {180, 12}, {-180, -12}};
  for (const auto& [longitude, zone] : cases) EXPECT_EQ(skyChartZoneHours(longitude), zone) << longitude;
}

TEST(SkyChartText, BlockLinesAsPrinted) {
  // 6.9847 h UT = 6:59:04.9; New York's zone −5; mean time 74.006/15 h behind.
  const auto lines = skyChartTextLines(2025.0314, 6.9847, -74.006, 40.713);
  const std::vector<SkyChartTextLine> expected = {
      {30, " Sky at Max. Magnitude"},        {60, " Date(LST) : 2025  3 14 "},
      {75, "   Time(UT ):  6:59: 4"},         {90, "   Time(LST):  1:59: 4"},
      {105, "   Time(LMT):  2: 3: 3"},        {135, " Location"},
      {150, "   Lon(deg.):  -74.01"},         {165, "   Lat(deg.):   40.71"},
  };
  ASSERT_EQ(lines.size(), expected.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].y, expected[i].y);
    EXPECT_EQ(lines[i].text, expected[i].text);
  }
  // A negative year right-aligned in five; hours before 0 UT wrap to the
  // previous day's clock; the date is not shifted by the zone.
  const auto early = skyChartTextLines(-500.0315, -1.5, 7.5, -33.9);
  EXPECT_EQ(early[1].text, " Date(LST) : -500  3 15 ");
  EXPECT_EQ(early[2].text, "   Time(UT ): 22:30: 0");
  EXPECT_EQ(early[3].text, "   Time(LST): 23:30: 0");
  EXPECT_EQ(early[4].text, "   Time(LMT): 23: 0: 0");
}

SkyPlace place(std::string name, double azimuthFromSouth, double altitude, double magnitude,
               bool drawn) {
  return {std::move(name), azimuthFromSouth, altitude, magnitude, drawn};
}

TEST(SkyChartDrawing, FrameDiscGridLabelsAndOnlyTheDrawnPlaces) {
  DrawingSurface s(692, 453);
  s.clear(kBlack);
  const std::vector<SkyPlace> places = {
      place("Moon", 0, 90, -6, false),   // below its 10° limit: not drawn
      place("Mars", 45, 45, 0.5, true),  // south-west
      place(" ", -90, 45, 2, true),      // east, unnamed
      place("Vega", 45, 45, -1, true),   // paints over Mars
  };
  drawSkyChartPlaces(s, 2025.0314, 6.9847, -74.006, 40.713, places);

  // The brown frame, two pixels wide, and white text in the block.
  EXPECT_EQ(s.pixel(5, 100), colorTable[6]);
  EXPECT_EQ(s.pixel(6, 100), colorTable[6]);
  EXPECT_EQ(s.pixel(4, 100), kBlack);
  EXPECT_GT(countInBox(s, 10, 30, 170, 45, kWhite), 20);
  EXPECT_GT(countInBox(s, 10, 165, 170, 180, kWhite), 20);
  // The sky disc between the grid circles, the white circles and axes.
  EXPECT_EQ(s.pixel(350, 150), kSkyDiscColour);
  EXPECT_EQ(s.pixel(430 + 90, 200 + 1), kSkyDiscColour);
  EXPECT_EQ(s.pixel(430, 100), kWhite);  // meridian
  EXPECT_EQ(s.pixel(300, 200), kWhite);  // east-west line
  EXPECT_EQ(s.pixel(430 - 120, 200 - 1), kWhite);  // 30° circle
  EXPECT_EQ(s.pixel(430 - 60, 200 - 1), kWhite);   // 60° circle
  EXPECT_EQ(s.pixel(249, 150), kBlack);            // outside the horizon
  // The zenith keeps the grid: the undrawn Moon left nothing there.
  EXPECT_EQ(countInBox(s, 420, 190, 440, 210, kSkyBrightestFill), 0);
  // Vega over Mars at (493, 263); the unnamed star east at 90 px.
  EXPECT_EQ(s.pixel(493, 263), kSkyBrightFill);
  EXPECT_EQ(countInBox(s, 485, 255, 501, 271, kSkyFaintFill), 0);
  EXPECT_EQ(s.pixel(340, 200), kBlack);  // radius 1: the pen's black 2×2 dot
  EXPECT_GT(countInBox(s, 493, 270, 530, 285, kSkyLabelColour), 0);
  // The compass words in the sky's colour on the black around the disc.
  EXPECT_GT(countInBox(s, 415, 5, 450, 18, kSkyDiscColour), 5);   // North
  EXPECT_GT(countInBox(s, 415, 381, 450, 394, kSkyDiscColour), 5);  // South
  EXPECT_GT(countInBox(s, 225, 195, 249, 207, kSkyDiscColour), 5);  // East
  EXPECT_GT(countInBox(s, 615, 195, 645, 207, kSkyDiscColour), 5);  // West
  EXPECT_EQ(s.font(), FontRecipe::Text);
}

}  // namespace
}  // namespace tarvo
