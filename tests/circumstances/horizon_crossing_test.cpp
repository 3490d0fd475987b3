// The moonrise and moonset search against dense sampling of the same
// altitude function: sites from 85° S to 85° N, eclipses of several eras of
// the generated canon.
#include "circumstances/horizon_crossing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <vector>

#include "catalogue/canon_reader.h"
#include "tests/slow_tests.h"
#include "timebase/time_scales.h"
#include "tests/tolerances.h"

namespace tarvo {
namespace {

constexpr double kSampleHours = 1.0 / 3600.0;  // dense sampling every second
// The search's tolerance (half a second) plus one sample step.
constexpr double kAgreementHours = 1.5 / 3600.0;

// The event times of an entry in time order: P1, U1, U2, greatest, U3, U4, P4.
std::vector<double> eventHoursOf(const EclipseRecord& r, double deltaTSeconds) {
  const GreatestEclipse g = findGreatest(r, 0, deltaTSeconds);
  const ContactTimes c = findContacts(r, g.tHours);
  std::vector<double> t{c.p1};
  for (const std::optional<double>& u : {c.u1, c.u2}) if (u) t.push_back(*u);
  t.push_back(g.tHours);
  for (const std::optional<double>& u : {c.u3, c.u4}) if (u) t.push_back(*u);
  t.push_back(c.p4);
  return t;
}

struct DenseCrossing {
  double tHours;
  bool betweenSameSideEvents;  // its event interval starts and ends on one side
};

// The first crossing of the direction found by sampling every second from
// the first event to the last (the midpoint of the sample pair).
std::optional<DenseCrossing> firstDenseCrossing(const EclipseRecord& r, const SiteValues& site,
                                                double deltaT, const std::vector<double>& events,
                                                HorizonDirection direction) {
  const auto alt = [&](double t) { return siteCircumstances(r, site, t, deltaT).altitudeDeg; };
  const auto above = [](double a) { return a > 0; };
  const bool startAbove = direction == HorizonDirection::Set;
  double previous = alt(events.front());
  for (double t = events.front() + kSampleHours; t <= events.back(); t += kSampleHours) {
    const double a = alt(t);
    if (above(previous) == startAbove && above(a) != startAbove) {
      std::size_t i = 0;
      while (i + 2 < events.size() && events[i + 1] < t) ++i;
      const bool sameSide = above(alt(events[i])) == above(alt(events[i + 1]));
      return DenseCrossing{t - kSampleHours / 2, sameSide};
    }
    previous = a;
  }
  return std::nullopt;
}

TEST(HorizonCrossing, MatchesDenseSamplingFromEightyFiveSouthToEightyFiveNorth) {
  if (TARVO_SLOW_TESTS_SKIPPED) GTEST_SKIP() << "dense sampling runs in the optimised build only";
  const std::filesystem::path dir = TARVO_RUNDATA_DIR;
  if (!std::filesystem::exists(dir / kCanonFiles[3].name)) GTEST_SKIP() << "no canon in " << dir;
  CanonReader reader(dir);
  int compared = 0, doubleCrossings = 0;
  double worstSeconds = 0;
  for (const auto& [year, month] : std::vector<std::pair<double, double>>{
           {-3000, 1}, {-500, 6}, {1000, 1}, {2022, 11}, {2025, 3}, {5000, 1}, {12000, 1}, {16500, 1}}) {
    EclipseEntry r;
    ASSERT_TRUE(succeeded(reader.openAt(year, month, DeltaTChoice{}, r))) << year;
    const double deltaT = deltaTModel(centuriesFromJ2000(r.greatestJd));
    const std::vector<double> events = eventHoursOf(r, deltaT);
    for (double lat = -85; lat <= 85; lat += 10)
      for (double lon = -180; lon < 180; lon += 30) {
        const SiteValues site{lon, lat, 0};
        for (HorizonDirection direction : {HorizonDirection::Set, HorizonDirection::Rise}) {
          const auto dense = firstDenseCrossing(r, site, deltaT, events, direction);
          const auto found = findHorizonCrossing(r, site, deltaT, events, direction);
          if (dense && dense->betweenSameSideEvents) {
            ++doubleCrossings;  // set and rise between two events: not bracketed
            continue;
          }
          ASSERT_EQ(dense.has_value(), found.has_value()) << year << " " << lon << " " << lat;
          if (!dense) continue;
          const double seconds = std::fabs(found->tHours - dense->tHours) * 3600;
          worstSeconds = std::fmax(worstSeconds, seconds);
          EXPECT_LE(seconds, kAgreementHours * 3600) << year << " " << lon << " " << lat;
          EXPECT_LT(std::fabs(found->at.altitudeDeg), testing::kHorizonCrossingDeg) << year << " " << lon << " " << lat;
          ++compared;
        }
      }
  }
  std::printf("[ measured ] %d crossings: worst %.2f s from dense sampling; %d double crossings left out\n",
              compared, worstSeconds, doubleCrossings);
  EXPECT_GT(compared, 300);
}

}  // namespace
}  // namespace tarvo
