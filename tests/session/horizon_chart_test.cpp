// The Horizon display: each Moon is plotted where the visibility computation
// puts it, with the shadow on it as at that time.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "app/time_zones.h"
#include "base/angles.h"
#include "base/text_format.h"
#include "circumstances/visibility.h"
#include "session/horizon_command.h"
#include "session/paint.h"
#include "surface/drawing_surface.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

fs::path canonDirectory() {
  if (const char* d = std::getenv("TARVO_CANON_DIR")) return d;
  return TARVO_RUNDATA_DIR;
}

struct Case {
  const char* what;
  double year, month, longitudeDeg, latitudeDeg;
  const char* zone;            // the town's zone of the tz database
  double clockOffsetHours;     // its clocks' offset from UT that night, from the published rules
};

// Contact name → index into Visibility::contactAltitudeDeg; −1 for greatest eclipse.
int contactIndex(const std::string& label) {
  static const char* const names[] = {"P1", "U1", "U2", "U3", "U4", "P4"};
  for (int i = 0; i < kContactCount; ++i)
    if (label.rfind(names[i], 0) == 0) return i;
  return -1;
}

TEST(HorizonChart, MoonsArePlottedAtTheVisibilityPlaces) {
  if (!fs::exists(canonDirectory() / "mcp00001p03000.prn")) GTEST_SKIP() << "no generated canon";
  const Case cases[] = {
      {"total, at moonrise in Tokyo", 2025, 3, 139.74, 35.65, "Asia/Tokyo", 9},
      // Daylight time from 2025 March 9.
      {"total, seen whole in New York", 2025, 3, -74.01, 40.71, "America/New_York", -4},
      {"total, seen whole in Tokyo", 2025, 9, 139.74, 35.65, "Asia/Tokyo", 9},
      {"total, southern sky", 2025, 9, 151.21, -33.87, "Australia/Sydney", 10},
      // Summer time only from March 31.
      {"penumbral, Berlin", 2024, 3, 13.40, 52.52, "Europe/Berlin", 1},
      // Summer time until October 29.
      {"partial, near the pole", 2023, 10, 15.6, 78.2, "Arctic/Longyearbyen", 2},
  };
  for (const Case& c : cases) {
    SessionState s;
    s.year = c.year, s.month = c.month, s.pendingAction = kLandAtCursor;
    PaintHooks hooks;
    CanonReader reader(canonDirectory());
    DrawingSurface view(692, 453);
    ASSERT_EQ(paintView(s, reader, view, hooks).outcome, LandingOutcome::Shown) << c.what;
    s.site = typedChoice(c.longitudeDeg, c.latitudeDeg, 0);
    s.site.timeZone = c.zone;
    const SiteValues site{c.longitudeDeg, c.latitudeDeg, 0};
    const Visibility seen = visibilityAt(s.circumstances, site, 0);
    ASSERT_TRUE(seen.converged) << c.what;

    const HorizonChartValues values = horizonChartValuesOf(s, &systemZoneDatabase());
    const std::vector<DrawnHorizonMoon> drawn = drawHorizonChart(view, values);
    const HorizonChartLayout layout = horizonChartLayout(values, view.width(), view.height());
    ASSERT_EQ(drawn.size(), values.moons.size()) << c.what;
    // Rounding to a whole pixel: half a pixel in each direction.
    const double altitudeToleranceDeg = 0.5 / layout.pixelsPerDegreeY + 1e-9;
    const double azimuthToleranceDeg = 0.5 / layout.pixelsPerDegreeX + 1e-9;
    int checked = 0;
    for (std::size_t i = 0; i < drawn.size(); ++i) {
      const std::string& label = values.moons[i].label;
      const int k = contactIndex(label);
      const double wantAltitude = k >= 0 ? *seen.contactAltitudeDeg[k] : seen.greatestAltitudeDeg;
      EXPECT_NEAR(layout.altitudeAt(drawn[i].y), wantAltitude, altitudeToleranceDeg) << c.what << " " << label;
      // The azimuth against the geocentric place of the site circumstances
      // (from the south through the west): the Moon's parallax moves it by
      // well under its horizontal parallax, about 1°.
      const ContactTimes& t = s.circumstances.contacts;
      const double times[] = {t.p1, t.u1.value_or(0), t.u2.value_or(0), t.u3.value_or(0), t.u4.value_or(0), t.p4};
      const double tHours = k >= 0 ? times[k] : s.circumstances.greatestHours;
      const double geocentricAzimuth =
          siteCircumstances(s.circumstances.record, site, tHours, s.circumstances.deltaTSeconds).azimuthDeg + 180;
      EXPECT_LT(std::fabs(angleDiffDeg(layout.azimuthAt(drawn[i].x), geocentricAzimuth)), 1.0 + azimuthToleranceDeg)
          << c.what << " " << label;
      const MoonAltitude place = moonAltitudeAt(s.circumstances.record, site, tHours, s.circumstances.deltaTSeconds);
      EXPECT_LT(std::fabs(angleDiffDeg(layout.azimuthAt(drawn[i].x), place.azimuthDeg)), azimuthToleranceDeg)
          << c.what << " " << label;
      EXPECT_EQ(drawn[i].up, place.geocentricDeg > place.riseLimitDeg) << c.what << " " << label;
      // The label's time is the town's clock: UT plus the night's offset, to
      // the nearest minute (a second either way for a time near a half minute).
      const double clockMinutes = (s.circumstances.utHours(tHours) + c.clockOffsetHours) * 60;
      auto hhmm = [](double minutes) {
        const long m = ((std::lround(minutes) % 1440) + 1440) % 1440;
        return formatString("%02ld:%02ld", m / 60, m % 60);
      };
      const std::string clock = label.substr(label.find(' ') + 1);
      EXPECT_TRUE(clock == hhmm(clockMinutes + 1.0 / 60) || clock == hhmm(clockMinutes - 1.0 / 60))
          << c.what << " " << label << " against " << hhmm(clockMinutes);

      // The disc's middle: in the umbra at the internal contacts, lit at the
      // penumbral ones (dimmed below the horizon).
      const bool inPlot = drawn[i].x >= layout.left && drawn[i].x < layout.right && drawn[i].y >= layout.top &&
                          drawn[i].y < layout.bottom;
      if (!inPlot) continue;
      ++checked;
      const Rgb middle = view.pixel(drawn[i].x, drawn[i].y);
      auto shown = [&](Rgb c) { return drawn[i].up ? c : rgb(redOf(c) / 2, greenOf(c) / 2, blueOf(c) / 2); };
      if (k == 2 || k == 3) {
        EXPECT_EQ(middle, shown(kMoonUmbraColour)) << c.what << " " << label;
      } else if (k == 0 || k == 5) {
        EXPECT_EQ(middle, shown(kMoonLitColour)) << c.what << " " << label;
      }
    }
    EXPECT_GT(checked, 0) << c.what;
  }
}

}  // namespace
}  // namespace tarvo
