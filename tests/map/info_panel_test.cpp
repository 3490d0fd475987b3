// The information panel's lines for each eclipse type, compared as text.
#include "map/info_panel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvo {
namespace {

constexpr double kEpochHour = 7;
constexpr double kDeltaTSeconds = 69.2;

// Hours of TT after the epoch hour of an event at UT h:m:s.
double tOfUt(double h, double m, double s) {
  return h + m / 60 + s / 3600 - kEpochHour + kDeltaTSeconds / 3600;
}

// The total eclipse of 2025 March 14 (Saros 123, member 53 in published
// catalogues); contact times rounded to whole seconds, U1 moved by one second
// so that the umbral duration, 3 h 38 min 14 s, has no rounding tie.
InfoPanelValues total2025() {
  InfoPanelValues v;
  v.year = 2025;
  v.month = 3;
  v.eclipseDay = 14;
  v.eclipseType = 1;
  v.greatestJd = 2460748.5 + (6 + 58.0 / 60 + 43.0 / 3600) / 24;
  v.saros = 123;
  v.gamma = 0.3485;
  v.penumbralMagnitude = 2.2595;
  v.umbralMagnitude = 1.1784;
  v.epochHour = kEpochHour;
  v.deltaTSeconds = kDeltaTSeconds;
  v.greatestOffsetHours = tOfUt(6, 58, 43);
  v.greatestLongitude = splitGreatestLongitude(-177.16);
  v.greatestLatitude = splitGreatestLatitude(2.89);
  v.p1 = tOfUt(3, 57, 28);
  v.u1 = tOfUt(5, 9, 41);
  v.u2 = tOfUt(6, 26, 6);
  v.u3 = tOfUt(7, 31, 26);
  v.u4 = tOfUt(8, 47, 55);
  v.p4 = tOfUt(10, 0, 9);
  v.mapRight = 1275;
  v.mapBottom = 820;
  return v;
}

std::vector<std::string> asText(const std::vector<PanelLine>& lines) {
  std::vector<std::string> out;
  for (const PanelLine& l : lines)
    out.push_back(std::to_string(l.x) + "," + std::to_string(l.y) + " " + l.text);
  return out;
}

const std::vector<std::string> kHead = {
    "10,16 CANON OF LUNAR ECLIPSE",
    "10,48 DATE(UT): 2025  3 14",
};
const std::vector<std::string> kMiddle = {
    "10,96 JD/Saros: 2460748.79/123/53",
    "10,112 Delta T :   69.2 sec.",
    "20,144 GREATEST ECLIPSE",
    "30,160 Time     :  6:58:43.0 UT",
    "30,176 Location :",
    "110,176  177d  9.6'",
    "190,176  W",
    "110,192    2d 53.4'",
    "190,192  N",
    "30,208 Gamma    :    0.3485 ",
};

std::vector<std::string> join(std::vector<std::vector<std::string>> parts) {
  std::vector<std::string> out;
  for (auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

TEST(InfoPanel, LinesOfTotalPartialAndPenumbralEclipses) {
  const InfoPanelValues total = total2025();
  EXPECT_EQ(asText(infoPanelLines(total)),
            join({kHead, {"10,64 TOTAL ECLIPSE"}, kMiddle,
                  {"30,224 UD: 218.2m  PG: 2.2595", "30,240 TD:  65.3m  TG: 1.1784",
                   "20,256 FIRST CONTACT", "30,272 Penumbra :  3:57:28.0 UT",
                   "30,288 Umbra    :  5: 9:41.0 UT", "30,304 Total    :  6:26: 6.0 UT",
                   "20,320 LAST CONTACT", "30,336 Total    :  7:31:26.0 UT",
                   "30,352 Umbra    :  8:47:55.0 UT", "30,368 Penumbra : 10: 0: 9.0 UT"}}));

  InfoPanelValues partial = total;
  partial.eclipseType = 2;
  partial.u2.reset();
  partial.u3.reset();
  EXPECT_EQ(asText(infoPanelLines(partial)),
            join({kHead, {"10,64 PARTIAL ECLIPSE"}, kMiddle,
                  {"30,224 UD: 218.2m  PG: 2.2595", "30,240 TD:   0.0m  TG: 1.1784",
                   "20,256 FIRST CONTACT", "30,272 Penumbra :  3:57:28.0 UT",
                   "30,288 Umbra    :  5: 9:41.0 UT", "20,320 LAST CONTACT",
                   "30,336 Umbra    :  8:47:55.0 UT", "30,352 Penumbra : 10: 0: 9.0 UT"}}));

  InfoPanelValues penumbral = partial;
  penumbral.eclipseType = 3;
  penumbral.u1.reset();
  penumbral.u4.reset();
  EXPECT_EQ(asText(infoPanelLines(penumbral)),
            join({kHead, {"10,64 PENUMBRA ECLIPSE"}, kMiddle,
                  {"30,224 UD:   0.0m  PG: 2.2595", "20,256 FIRST CONTACT",
                   "30,272 Penumbra :  3:57:28.0 UT", "20,320 LAST CONTACT",
                   "30,336 Penumbra : 10: 0: 9.0 UT"}}));

  // A blank type code prints a blank type word and no last contact.
  InfoPanelValues blank = penumbral;
  blank.eclipseType = 5;
  const auto lines = asText(infoPanelLines(blank));
  EXPECT_EQ(lines[2], "10,64  ");
  EXPECT_EQ(lines.back(), "20,320 LAST CONTACT");
}

// Without converged elements only the catalogue's values are printed.
TEST(InfoPanel, UnconvergedEntryPrintsOnlyTheCataloguesValues) {
  InfoPanelValues total = total2025();
  total.converged = false;
  EXPECT_EQ(asText(infoPanelLines(total)),
            join({kHead, {"10,64 TOTAL ECLIPSE", "10,96 JD/Saros: 2460748.79/123/53",
                          "10,112 Delta T :   69.2 sec.", "30,208 Gamma    :    0.3485 ",
                          "30,224             PG: 2.2595", "30,240             TG: 1.1784"}}));
  InfoPanelValues penumbral = total;
  penumbral.eclipseType = 3;
  EXPECT_EQ(asText(infoPanelLines(penumbral)).back(), "30,224             PG: 2.2595");
}

std::string lineAt(const InfoPanelValues& v, int x, int y) {
  for (const PanelLine& l : infoPanelLines(v))
    if (l.x == x && l.y == y) return l.text;
  return "(none)";
}

TEST(InfoPanel, RoundingSignsAndSarosMembers) {
  InfoPanelValues v = total2025();
  // Seconds of 59.96 are rounded by the format, not carried into the minute.
  v.p1 = tOfUt(3, 57, 59.96);
  EXPECT_EQ(lineAt(v, 30, 272), "Penumbra :  3:57:60.0 UT");
  // 10.5 degrees west: 10 degrees, 30.0 minutes, " W"; 0.25 S likewise.
  v.greatestLongitude = splitGreatestLongitude(-10.5);
  v.greatestLatitude = splitGreatestLatitude(-0.25);
  EXPECT_EQ(lineAt(v, 110, 176), "  10d 30.0'");
  EXPECT_EQ(lineAt(v, 190, 176), " W");
  EXPECT_EQ(lineAt(v, 110, 192), "   0d 15.0'");
  EXPECT_EQ(lineAt(v, 190, 192), " S");
  // A longitude beyond 360 is reduced first: 370.5 is 10.5 E.
  v.greatestLongitude = splitGreatestLongitude(370.5);
  EXPECT_EQ(lineAt(v, 110, 176), "  10d 30.0'");
  EXPECT_EQ(lineAt(v, 190, 176), " E");

  // Negative series use column 2 of the start table at row −saros: series −5
  // starts in −2852 (series 5 in −2491), so in −2800 it is at member 4.
  struct Case {
    double saros, year;
    const char* text;
  } cases[] = {
      {-5, -2800, "JD/Saros: 2460748.79/ -5/ 4"},
      {5, -2400, "JD/Saros: 2460748.79/  5/ 6"},
      {0, -2600, "JD/Saros: 2460748.79/  0/ 4"},  // series 0 starts in −2653
  };
  for (const Case& c : cases) {
    v.saros = c.saros;
    v.year = c.year;
    EXPECT_EQ(lineAt(v, 10, 96), c.text) << c.saros;
  }
  // An absurd catalogue value: the line is cut at 255 characters.
  v.gamma = 1e300;
  EXPECT_EQ(lineAt(v, 30, 208).size(), 255u);
}

TEST(InfoPanel, SiteResultInTheMapCorner) {
  // Only for the site search, above the magnitude criterion and above −15°.
  struct Case {
    int searchType;
    double magnitude, altitude;
    std::vector<std::string> corner;
  } cases[] = {
      {2, 1.2345, 45.64, {"1185,790 Mag. : 1.234", "1185,804 Alt. :  45.6"}},  // binary 1.2345 < 1.2345
      {2, 0.6, -14.9, {"1185,790 Mag. : 0.600", "1185,804 Alt. : -14.9"}},
      {2, 0.5, 45, {}},  // magnitude equal to the criterion
      {2, 0.6, -15, {}},
      {1, 1.2, 45, {}},
  };
  for (const Case& c : cases) {
    InfoPanelValues v = total2025();
    v.searchType = c.searchType;
    v.magnitudeCriterion = 0.5;
    v.siteMoonMagnitude = c.magnitude;
    v.siteMoonAltitude = c.altitude;
    const auto lines = asText(infoPanelLines(v));
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 23, lines.end()), c.corner) << c.magnitude;
  }
}

TEST(InfoPanel, Drawing) {
  const InfoPanelValues v = total2025();

  DrawingSurface s(400, 420);
  s.clear(colorTable[0]);
  s.setFont(FontRecipe::Chart);
  drawInfoPanel(s, v);
  EXPECT_EQ(s.font(), FontRecipe::Chart);  // put back
  EXPECT_EQ(s.pixel(5, 200), colorTable[6]);    // brown frame, 2 pixels wide
  EXPECT_EQ(s.pixel(6, 200), colorTable[6]);
  EXPECT_EQ(s.pixel(7, 200), colorTable[0]);
  EXPECT_EQ(s.pixel(219, 388), colorTable[6]);
  EXPECT_EQ(s.pixel(221, 200), colorTable[0]);
  int white = 0;  // the last line's text, rows 368 … 380
  for (int y = 368; y < 381; ++y)
    for (int x = 30; x < 210; ++x) white += s.pixel(x, y) == colorTable[15];
  EXPECT_GT(white, 50);
}

}  // namespace
}  // namespace tarvo
