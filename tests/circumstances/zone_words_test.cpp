// The map's zones in words, on a synthetic eclipse whose sub-lunar point runs
// west along the equator at 15° an hour: a place on the equator has the Moon
// up while it lies within 90° of it, so the phase of moonrise or moonset
// follows from the contacts' times alone.
#include <gtest/gtest.h>

#include "circumstances/zone_words.h"

namespace tarvo {
namespace {

// Contact times in hours from greatest eclipse.
constexpr double kP1 = -3, kU1 = -2, kU2 = -0.5, kU3 = 0.5, kU4 = 2, kP4 = 3;

GeoPoint at(double hours) { return {-15.0 * hours, 0}; }

ContactSubLunarPoints synthetic() { return {at(kP1), at(kU1), at(kU2), at(kU3), at(kU4), at(kP4)}; }

// The longitude on the equator where the Moon rises (west side) or sets
// (east side) `hours` after greatest eclipse.
double risesAt(double hours) { return -90.0 - 15.0 * hours; }
double setsAt(double hours) { return 90.0 - 15.0 * hours; }

TEST(ZoneWords, PhaseOfMoonriseAndMoonsetFollowsTheContacts) {
  struct Case {
    int type;
    double longitudeDeg;
    const char* words;
  };
  const Case cases[] = {
      {1, 0, "the whole eclipse is seen"},
      {1, 180, "the Moon is below the horizon throughout"},
      {1, risesAt(-2.5), "the Moon rises during the penumbral phase"},
      {1, risesAt(-1), "the Moon rises during the partial phase"},
      {1, risesAt(0), "the Moon rises during totality"},
      {1, risesAt(1), "the Moon rises during the partial phase"},
      {1, risesAt(2.5), "the Moon rises during the penumbral phase"},
      {1, risesAt(3.5), "the Moon is below the horizon throughout"},
      {1, setsAt(-2.5), "the Moon sets during the penumbral phase"},
      {1, setsAt(0), "the Moon sets during totality"},
      {1, setsAt(1), "the Moon sets during the partial phase"},
      {2, risesAt(0), "the Moon rises during the partial phase"},
      {2, setsAt(2.5), "the Moon sets during the penumbral phase"},
      {3, risesAt(0), "the Moon rises during the eclipse"},
      {3, setsAt(-2.9), "the Moon sets during the eclipse"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(zoneInWords(c.type, synthetic(), c.longitudeDeg, 0), c.words)
        << "type " << c.type << " at " << c.longitudeDeg;
}

TEST(ZoneWords, NearThePoleTheMoonCanRiseAndSetWithinOneEclipse) {
  // The sub-lunar point swings from 60° E of the place to 60° W, far south:
  // up only in the middle (its horizon circle passes just south of the place).
  ContactSubLunarPoints c;
  c.p1 = {150, -5};
  c.u1 = {100, -5};
  c.u2 = {20, -5};
  c.u3 = {-20, -5};
  c.u4 = {-100, -5};
  c.p4 = {-150, -5};
  EXPECT_EQ(zoneInWords(1, c, 0, 80), "the Moon rises during the partial phase and sets during the partial phase");
}

}  // namespace
}  // namespace tarvo
