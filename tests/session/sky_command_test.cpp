// The StarMap command on the total eclipse of 2025 March 14 (greatest at
// 06:58:43 UT by the published catalogue): the chart's date, time and site,
// and what the chart shows above a few sites.
#include "session/sky_command.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "core/drawing_surface.h"
#include "session/greatest_eclipse.h"
#include "session/landing.h"
#include "sky/sky_chart.h"

namespace tarvo {
namespace {

constexpr double kPublishedGreatestUtHours = 6 + 58.0 / 60 + 43.0 / 3600;
constexpr double kOneMinuteHours = 1.0 / 60;

std::filesystem::path canonDirectory() {
  if (const char* dir = std::getenv("TARVO_CANON_DIR")) return dir;
  return TARVO_RUNDATA_DIR;
}

// The session after a paint landed on 2025 March in the generated canon.
class SkyChartCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::filesystem::exists(canonDirectory() / "mcp00001p03000.prn"))
      GTEST_SKIP() << "no generated canon in " << canonDirectory();
    CanonReader reader(canonDirectory());
    landed_.year = 2025;
    landed_.month = 3;
    landed_.pendingAction = kLandAtCursor;
    ASSERT_EQ(positionForPaint(landed_, reader), LandingOutcome::Shown);
    updateGreatestEclipse(landed_);
  }

  SessionState at(double longitudeDeg, double latitudeDeg) const {
    SessionState s = landed_;
    s.siteLongitude = longitudeDeg;
    s.siteLatitude = latitudeDeg;
    s.displaySiteIndex = 99;
    return s;
  }

  SessionState landed_;
};

const SkyPlace* findPlace(const std::vector<SkyPlace>& places, const std::string& name) {
  for (const SkyPlace& p : places)
    if (p.name == name) return &p;
  return nullptr;
}

int countInBox(const DrawingSurface& s, int x0, int y0, int x1, int y1, Rgb c) {
  int n = 0;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) n += s.pixel(x, y) == c;
  return n;
}

// Yellow (magnitude −6) pixels around where the chart puts a place.
int yellowAround(const DrawingSurface& s, const SkyPlace& p) {
  const SkyObjectLook look = skyObjectLook(kSkyChartCentreX, kSkyChartCentreY, -p.azimuthDeg,
                                           p.altitudeDeg, p.magnitude, kSkyChartPixelsPerDegree);
  return countInBox(s, look.x - 5, look.y - 5, look.x + 5, look.y + 5, kSkyBrightestFill);
}

TEST_F(SkyChartCommand, DateAndTimeOfGreatestEclipseInTheSitesZone) {
  struct Case {
    double longitudeDeg;
    double packedDate;  // local standard date: UT 06:58 falls on the 13th from zone −7 westwards
  };
  for (const Case& c : {Case{-74.006, 2025.0314}, Case{-150, 2025.0313}, Case{-105, 2025.0313},
                        Case{-97.4, 2025.0314}, Case{150, 2025.0314}}) {
    SessionState s = at(c.longitudeDeg, 40.713);
    s.localEclipseDate = {2024, 9, 18};  // left by a report of an earlier eclipse
    const SkyChartRequest r = prepareSkyChart(s);
    EXPECT_DOUBLE_EQ(r.packedDate, c.packedDate) << c.longitudeDeg;
    EXPECT_NEAR(r.utHours, kPublishedGreatestUtHours, kOneMinuteHours);
    EXPECT_EQ(r.longitudeDeg, c.longitudeDeg);
    EXPECT_EQ(r.latitudeDeg, 40.713);
    EXPECT_EQ(r.jd, s.greatestJd);
    EXPECT_EQ(s.deltaTHours, s.deltaT / 3600);
  }
}

// Two independent computations of the Moon's altitude over New York: the
// eclipse elements (site magnitude and altitude) and the lunar theory of the
// chart. Both are geocentric; they agree to the theories' and the elements'
// fit, well within a degree.
TEST_F(SkyChartCommand, MoonOverNewYorkFromTheElementsAndFromTheLunarTheory) {
  SessionState s = at(-74.006, 40.713);
  const SkyChartRequest r = prepareSkyChart(s);
  const auto places = skyChartPlaces(r.jd, r.latitudeDeg, r.longitudeDeg);
  const SkyPlace* moon = findPlace(places, "Moon");
  ASSERT_NE(moon, nullptr);
  EXPECT_NEAR(moon->altitudeDeg, s.siteMoonAltitude, 0.5);
  EXPECT_NEAR(moon->altitudeDeg, 44, 1);
  EXPECT_GT(s.siteMoonMagnitude, 1.1);  // total: umbral magnitude 1.178 everywhere

  DrawingSurface surface(692, 453);
  drawSkyChartCommand(s, surface);
  EXPECT_GT(yellowAround(surface, *moon), 50);
  const SkyObjectLook look = skyObjectLook(430, 200, -moon->azimuthDeg, moon->altitudeDeg, -6, 2);
  EXPECT_GT(look.x, 430);  // west of the meridian
  EXPECT_GT(look.y, 200);  // south of the zenith
}

// Along New York's parallel the Moon stands low somewhere: between 2° and 8°
// it is above the horizon but not drawn, while stars at that altitude are;
// half a world away the Sun is up and the Moon is not.
TEST_F(SkyChartCommand, LowMoonAndDaylightSites) {
  std::optional<double> lowMoonLongitude, sunUpLongitude;
  for (double longitude = -180; longitude < 180; longitude += 3) {
    SessionState s = at(longitude, 40.713);
    const SkyChartRequest r = prepareSkyChart(s);
    const auto places = skyChartPlaces(r.jd, r.latitudeDeg, r.longitudeDeg);
    const SkyPlace& moon = places[0];
    const SkyPlace& sun = places[1];
    if (!lowMoonLongitude && moon.altitudeDeg > 2 && moon.altitudeDeg < 8) lowMoonLongitude = longitude;
    if (!sunUpLongitude && sun.altitudeDeg > 10) sunUpLongitude = longitude;
  }
  ASSERT_TRUE(lowMoonLongitude);
  ASSERT_TRUE(sunUpLongitude);

  SessionState low = at(*lowMoonLongitude, 40.713);
  DrawingSurface lowChart(692, 453);
  drawSkyChartCommand(low, lowChart);
  const auto lowPlaces = skyChartPlaces(low.greatestJd, 40.713, *lowMoonLongitude);
  EXPECT_FALSE(lowPlaces[0].drawn);
  EXPECT_EQ(yellowAround(lowChart, lowPlaces[0]), 0);
  for (std::size_t n = 7; n < lowPlaces.size(); ++n)
    EXPECT_EQ(lowPlaces[n].drawn, lowPlaces[n].altitudeDeg > 0) << lowPlaces[n].name;

  SessionState day = at(*sunUpLongitude, 40.713);
  DrawingSurface dayChart(692, 453);
  drawSkyChartCommand(day, dayChart);
  const auto dayPlaces = skyChartPlaces(day.greatestJd, 40.713, *sunUpLongitude);
  EXPECT_FALSE(dayPlaces[0].drawn);
  EXPECT_TRUE(dayPlaces[1].drawn);
  EXPECT_GT(yellowAround(dayChart, dayPlaces[1]), 50);
}

}  // namespace
}  // namespace tarvo
