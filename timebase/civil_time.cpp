#include "timebase/civil_time.h"

#include <cmath>
#include <cstdlib>

#include "base/text_format.h"

namespace tarvo {

ZoneOffset fixedZoneOffset(double offsetHours) {
  const int seconds = static_cast<int>(std::lround(offsetHours * 3600.0));
  return {seconds, "UTC" + utcOffsetText(seconds)};
}

std::string utcOffsetText(int offsetSeconds) {
  const int s = std::abs(offsetSeconds);
  const char sign = offsetSeconds < 0 ? '-' : '+';
  if (s % 60 != 0) return formatString("%c%02d:%02d:%02d", sign, s / 3600, s / 60 % 60, s % 60);
  return formatString("%c%02d:%02d", sign, s / 3600, s / 60 % 60);
}

std::string zoneLabel(const ZoneOffset& zone) {
  const std::string_view a = zone.abbreviation;
  if (a.substr(0, 4) == "UTC+" || a.substr(0, 4) == "UTC-") return zone.abbreviation;  // already holds the offset
  return zone.abbreviation + " " + utcOffsetText(zone.offsetSeconds);
}

}  // namespace tarvo
