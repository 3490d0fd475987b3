// The observing site a session uses, as one value: a city of the session's
// city list, or coordinates typed in a dialog, given on the command line or
// picked on the map. Every display, search, list, export and session file
// takes the site from here.
#pragma once

#include <optional>
#include <string>

#include "circumstances/geometry.h"
#include "circumstances/sites.h"

namespace tarvo {

struct SiteChoice {
  static constexpr int kTyped = 0;
  // Number of the city in the session's list (from 1); kTyped for typed
  // coordinates.
  int cityNumber = 1;
  // The coordinates used: the city's own for a city (deg east, deg north, m).
  SiteValues where;
  // The site's clock as a zone of the tz database ("Asia/Kolkata"), given
  // with typed coordinates; empty: the city's zone, else the nearest listed
  // city's within 300 km, else the longitude's.
  std::string timeZone;

  bool typed() const { return cityNumber == kTyped; }
};

// City `number` of the list (from 1) with its coordinates; nothing when the
// list has no such city.
inline std::optional<SiteChoice> cityChoice(const SiteList& list, int number) {
  const Site* city = list.byNumber(number);
  if (city == nullptr) return std::nullopt;
  return SiteChoice{number, {city->longitude, city->latitude, city->height}, {}};
}

// Typed coordinates: degrees east, degrees north, metres.
inline SiteChoice typedChoice(double longitudeDeg, double latitudeDeg, double heightM) {
  return SiteChoice{SiteChoice::kTyped, {longitudeDeg, latitudeDeg, heightM}, {}};
}

// The city chosen, or null for typed coordinates (or a number the list lacks).
inline const Site* chosenCity(const SiteChoice& choice, const SiteList& list) {
  return choice.typed() ? nullptr : list.byNumber(choice.cityNumber);
}

}  // namespace tarvo
