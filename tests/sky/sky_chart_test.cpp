// The sky chart's drawing, probed at known pixels: dot sizes, colours and
// labels by magnitude, the polar projection, the text block and the frame.
#include "sky/sky_chart.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "surface/drawing_surface.h"
#include "tests/pixel_probe.h"

namespace tarvo {
namespace {

using testing::countInBox;
constexpr Rgb kBlack = colorTable[0];
constexpr Rgb kWhite = colorTable[15];
constexpr Rgb kPenProbe = colorTable[4];  // red outline, to tell a dot's edge from its fill

// The brightness scale's examples: radius 7 − m/2 brighter than 0, else
// 7·2^−m, truncated; a label below magnitude 1.
TEST(SkyObject, RadiusColourAndLabelByMagnitudeOnThePicture) {
  struct Case {
    double magnitude;
    int radius;
    Rgb fill;
    bool labelled;
  };
  const std::vector<Case> cases = {
      {-6, 10, kSkyBrightestFill, true}, {-5.01, 9, kSkyBrightestFill, true},
      {-4.99, 9, kSkyBrightFill, true},  {-1.47, 7, kSkyBrightFill, true},
      {0, 7, kSkyFaintFill, true},       {0.5, 4, kSkyFaintFill, true},
      {1, 3, kSkyFaintFill, false},      {1.5, 2, kSkyFaintFill, false},
      {2.5, 1, kSkyFaintFill, false},    {2.9, 0, kSkyFaintFill, false}};
  for (const auto& c : cases) {
    DrawingSurface s(200, 200);
    s.setPen({kPenProbe, 1});
    s.setBackgroundMode(BackgroundMode::Transparent);
    drawSkyObject(s, 100, 100, 0, 90, c.magnitude, 2, "MMMM");
    // The box (x − ρ, y − ρ)–(x + ρ, y + ρ), its right edge excluded.
    int width = 0;
    for (int x = 0; x < 200; ++x) width += s.pixel(x, 100) != kBlack;
    EXPECT_EQ(width, 2 * c.radius) << c.magnitude;
    if (c.radius >= 2) {
      EXPECT_EQ(s.pixel(100, 100), c.fill) << c.magnitude;
      EXPECT_EQ(s.pixel(100 - c.radius, 100), kPenProbe) << c.magnitude;
    }
    // The label's ink below the dot; none inside a large dot drawn over it.
    EXPECT_EQ(countInBox(s, 95, 100 + c.radius + 1, 140, 125, kSkyLabelColour) > 0, c.labelled)
        << c.magnitude;
    if (c.radius > 7) {
      EXPECT_EQ(countInBox(s, 92, 107, 108, 108, kSkyLabelColour), 0) << c.magnitude;
    }
    EXPECT_EQ(s.brush().colour, kWhite) << "brush put back";
  }
}

// Zenith at the centre, 2 px per degree of zenith distance, south down,
// west right, east left, north up (azimuths from the south through the west).
TEST(SkyObject, PolarProjection) {
  struct Case {
    double azimuthFromSouthDeg, altitudeDeg;
    int x, y;
  };
  for (const Case& c : std::vector<Case>{{0, 90, 430, 200}, {123, 90, 430, 200}, {0, 0, 430, 380},
                                         {90, 0, 610, 200}, {-90, 0, 250, 200}, {180, 0, 430, 20},
                                         {45, 45, 493, 263}, {135, 30, 514, 115}}) {
    const SkyObjectLook look = skyObjectLook(430, 200, -c.azimuthFromSouthDeg, c.altitudeDeg, 3, 2);
    EXPECT_EQ(look.x, c.x) << c.azimuthFromSouthDeg << " " << c.altitudeDeg;
    EXPECT_EQ(look.y, c.y) << c.azimuthFromSouthDeg << " " << c.altitudeDeg;
  }
}

TEST(SkyChartText, PackedDatesZonesAndLines) {
  const PackedDateParts bc = splitPackedDate(-500.0315);
  EXPECT_EQ(bc.year, -500);
  EXPECT_EQ(bc.month, 3);
  EXPECT_EQ(bc.day, 15);
  for (double year : {-13000.0, -1.0, 0.0, 2025.0, 16999.0})
    for (int month = 1; month <= 12; ++month)
      for (int day = 1; day <= 31; ++day) {
        const PackedDateParts p = splitPackedDate(packDate(year, month, day));
        ASSERT_TRUE(p.year == year && p.month == month && p.day == day) << year << " " << month << " " << day;
      }
  for (const auto& [longitude, zone] : std::vector<std::pair<double, int>>{
           {-7.5, -1}, {7.5, 1}, {7.4, 0}, {-7.4, 0}, {0, 0}, {-74.006, -5}, {180, 12}})
    EXPECT_EQ(skyChartZoneHours(longitude), zone) << longitude;

  // 6.9847 h UT = 6:59:04.9; New York's zone −5; mean time 74.006/15 h behind.
  const auto lines = skyChartTextLines(2025.0314, 6.9847, -74.006, 40.713);
  const std::vector<SkyChartTextLine> expected = {
      {30, " Sky at Max. Magnitude"}, {60, " Date(LST) : 2025  3 14 "},
      {75, "   Time(UT ):  6:59: 4"},  {90, "   Time(LST):  1:59: 4"},
      {105, "   Time(LMT):  2: 3: 3"}, {135, " Location"},
      {150, "   Lon(deg.):  -74.01"},  {165, "   Lat(deg.):   40.71"}};
  ASSERT_EQ(lines.size(), expected.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].y, expected[i].y);
    EXPECT_EQ(lines[i].text, expected[i].text);
  }
  // Hours before 0 UT wrap; the date is not shifted by the zone.
  const auto early = skyChartTextLines(-500.0315, -1.5, 7.5, -33.9);
  EXPECT_EQ(early[1].text, " Date(LST) : -500  3 15 ");
  EXPECT_EQ(early[2].text, "   Time(UT ): 22:30: 0");
  EXPECT_EQ(early[3].text, "   Time(LST): 23:30: 0");
  EXPECT_EQ(early[4].text, "   Time(LMT): 23: 0: 0");
  // A city at an absurd longitude: its line is cut at 127 characters.
  EXPECT_EQ(skyChartTextLines(2025.0314, 6.9847, 1e300, 40.713)[6].text.size(), 127u);

  EXPECT_EQ(skyPlaceListLine({"Moon", 41.3114, 44.2404, -6, true}), "1 221.311 44.240 -6.00 Moon");
  EXPECT_EQ(skyPlaceListLine({" ", -90, -12.5, 2.27, false}), "0 90.000 -12.500 2.27 -");
  EXPECT_EQ(skyPlaceListLine({"Dubhe", 179.5, 1, 1.79, true}).substr(0, 9), "1 359.500");
}

TEST(SkyChartDrawing, FrameDiscGridLabelsAndOnlyTheDrawnPlaces) {
  DrawingSurface s(692, 453);
  s.clear(kBlack);
  const std::vector<SkyPlace> places = {
      {"Moon", 0, 90, -6, false},   // below its 10° limit: not drawn
      {"Mars", 45, 45, 0.5, true},  // south-west
      {" ", -90, 45, 2, true},      // east, unnamed
      {"Vega", 45, 45, -1, true}};  // paints over Mars
  drawSkyChartPlaces(s, 2025.0314, 6.9847, -74.006, 40.713, places);
  EXPECT_EQ(s.pixel(5, 100), colorTable[6]);  // the brown frame, two pixels wide
  EXPECT_EQ(s.pixel(6, 100), colorTable[6]);
  EXPECT_GT(countInBox(s, 10, 30, 170, 45, kWhite), 20);  // the title
  EXPECT_EQ(s.pixel(350, 150), kSkyDiscColour);
  EXPECT_EQ(s.pixel(430, 100), kWhite);            // meridian
  EXPECT_EQ(s.pixel(300, 200), kWhite);            // east-west line
  EXPECT_EQ(s.pixel(430 - 120, 200 - 1), kWhite);  // 30° circle
  EXPECT_EQ(countInBox(s, 420, 190, 440, 210, kSkyBrightestFill), 0);
  EXPECT_EQ(s.pixel(493, 263), kSkyBrightFill);
  EXPECT_EQ(s.pixel(340, 200), kBlack);  // radius 1: the pen's black 2×2 dot
  EXPECT_GT(countInBox(s, 493, 270, 530, 285, kSkyLabelColour), 0);
  // The compass words in the sky's colour around the disc.
  EXPECT_GT(countInBox(s, 415, 5, 450, 18, kSkyDiscColour), 5);     // North
  EXPECT_GT(countInBox(s, 615, 195, 645, 207, kSkyDiscColour), 5);  // West
  EXPECT_EQ(s.font(), FontRecipe::Text);
  // The planets' line below the text block only when asked for.
  EXPECT_EQ(countInBox(s, 10, kPlanetsApproximateY, 220, kPlanetsApproximateY + 14, kWhite), 0);
  drawSkyChartPlaces(s, 2025.0314, 6.9847, -74.006, 40.713, places, true);
  EXPECT_GT(countInBox(s, 10, kPlanetsApproximateY, 220, kPlanetsApproximateY + 14, kWhite), 100);
}

}  // namespace
}  // namespace tarvo
