// What the map's zones mean at one place, in words: which phase of the
// eclipse the Moon rises or sets in there. The same geometry the map's zones
// are drawn from: at a contact the Moon is up where the place lies within 90°
// of the contact's sub-lunar point (the centre's geocentric horizon).
#pragma once

#include <string>

#include "circumstances/geometry.h"

namespace tarvo {

// The sub-lunar points at the contacts, degrees; the umbral ones are read
// for partial and total eclipses, the internal ones for total eclipses.
struct ContactSubLunarPoints {
  GeoPoint p1{0, 0}, u1{0, 0}, u2{0, 0}, u3{0, 0}, u4{0, 0}, p4{0, 0};
};

// True when the Moon is above the geocentric horizon of (lon, lat) while in
// the zenith of subLunar (degrees).
bool moonUpAt(const GeoPoint& subLunar, double longitudeDeg, double latitudeDeg);

// One sentence, e.g. "the Moon rises during the partial phase", "the whole
// eclipse is seen", "the Moon is below the horizon throughout". eclipseType
// 1 total, 2 partial, anything else penumbral.
std::string zoneInWords(int eclipseType, const ContactSubLunarPoints& contacts, double longitudeDeg,
                        double latitudeDeg);

}  // namespace tarvo
