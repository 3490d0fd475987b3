#include "circumstances/zone_words.h"

#include <cmath>
#include <vector>

#include "base/angles.h"

namespace tarvo {

bool moonUpAt(const GeoPoint& s, double longitudeDeg, double latitudeDeg) {
  // Cosine of the angular distance from the sub-lunar point.
  const double cosDistance =
      std::sin(degToRad(s.latitudeDeg)) * std::sin(degToRad(latitudeDeg)) +
      std::cos(degToRad(s.latitudeDeg)) * std::cos(degToRad(latitudeDeg)) *
          std::cos(degToRad(longitudeDeg - s.longitudeDeg));
  return cosDistance > 0;
}

std::string zoneInWords(int eclipseType, const ContactSubLunarPoints& c, double longitudeDeg,
                        double latitudeDeg) {
  // The contacts in time order and the phase between each and the next.
  std::vector<const GeoPoint*> points;
  std::vector<const char*> phases;
  if (eclipseType == 1) {
    points = {&c.p1, &c.u1, &c.u2, &c.u3, &c.u4, &c.p4};
    phases = {"the penumbral phase", "the partial phase", "totality", "the partial phase",
              "the penumbral phase"};
  } else if (eclipseType == 2) {
    points = {&c.p1, &c.u1, &c.u4, &c.p4};
    phases = {"the penumbral phase", "the partial phase", "the penumbral phase"};
  } else {
    points = {&c.p1, &c.p4};
    phases = {"the eclipse"};
  }
  std::vector<bool> up;
  for (const GeoPoint* p : points) up.push_back(moonUpAt(*p, longitudeDeg, latitudeDeg));

  std::string rises, sets;
  bool anyUp = false;
  for (std::size_t i = 0; i < up.size(); ++i) {
    anyUp = anyUp || up[i];
    if (i == 0) continue;
    if (up[i] && !up[i - 1] && rises.empty()) rises = phases[i - 1];
    if (!up[i] && up[i - 1] && sets.empty()) sets = phases[i - 1];
  }
  if (!anyUp) return "the Moon is below the horizon throughout";
  if (rises.empty() && sets.empty()) return "the whole eclipse is seen";
  if (sets.empty()) return "the Moon rises during " + rises;
  if (rises.empty()) return "the Moon sets during " + sets;
  return "the Moon rises during " + rises + " and sets during " + sets;
}

}  // namespace tarvo
