// Civil (clock) time: what a zone's clocks read at an instant, behind a small
// interface the program fills from the system's time zone database, and the
// fixed offsets used where no zone of the database applies.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/constants.h"
#include "timebase/time_scales.h"

namespace tarvo {

// The clocks of a zone at one instant.
struct ZoneOffset {
  int offsetSeconds = 0;     // clock reading minus UT, seconds
  std::string abbreviation;  // "JST", "CEST"; "LMT" before standard time; "UTC+05:45" where the zone has none
};

// A time zone database keyed by zone names ("Asia/Kolkata"). The program
// gives the lower layers one backed by the system's tz database; tests give
// them tables.
class ZoneDatabase {
 public:
  virtual ~ZoneDatabase() = default;
  virtual bool hasZone(std::string_view zoneName) const = 0;
  // The clocks of the zone at the UT Julian Day jdUt (any finite date: the
  // database's earliest rule, local mean time, before its first change, its
  // last rule after its last); nullopt for a zone it does not know.
  virtual std::optional<ZoneOffset> offsetAt(std::string_view zoneName, JulianDay jdUt) const = 0;
};

// A fixed offset of fractional hours as whole seconds, abbreviated by its
// offset ("UTC+05:30").
ZoneOffset fixedZoneOffset(double offsetHours);

// "+09:00", "-03:30", "+05:53:28" (seconds only when not whole minutes).
std::string utcOffsetText(int offsetSeconds);

// "JST +09:00"; "UTC+05:45" for a zone abbreviated by its offset.
std::string zoneLabel(const ZoneOffset& zone);

// A UT Julian Day on the zone's clock: the Julian Day whose calendar date
// and hour (jdToCalendar, no longitude) are the clock's.
inline JulianDay clockJd(JulianDay jdUt, const ZoneOffset& zone) { return jdUt + zone.offsetSeconds / kSecondsPerDay; }

}  // namespace tarvo
