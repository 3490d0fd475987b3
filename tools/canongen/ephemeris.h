// The ephemeris the canon generator reads: apparent geocentric places of the
// Sun and the Moon at a TT Julian Day, and Greenwich apparent sidereal time.
// One provider reads the long-span ephemeris files; another may model the
// dates outside them. Providers are used by one thread each (the file reader
// keeps per-thread state), so a worker creates its own instance.
#pragma once

#include <functional>
#include <memory>
#include <optional>

namespace tarvo::canongen {

// An apparent geocentric place: true equator and equinox of date, corrected
// for light-time, aberration and nutation.
struct EphemerisSample {
  double raDeg;       // right ascension, degrees, 0 <= ra < 360
  double decDeg;      // declination, degrees
  double distanceKm;  // geocentric distance, km
};

class Ephemeris {
 public:
  virtual ~Ephemeris() = default;

  // True when sun() and moon() can answer at this TT Julian Day.
  virtual bool covers(double jdTT) const = 0;

  // Apparent geocentric Sun and Moon at a TT Julian Day; nullopt outside the
  // provider's span or when its data cannot be read.
  virtual std::optional<EphemerisSample> sun(double jdTT) = 0;
  virtual std::optional<EphemerisSample> moon(double jdTT) = 0;

  // Greenwich apparent sidereal time, degrees in 0..360, at the clock reading
  // jdClock taken as UT (the canon feeds it TT clock readings on purpose: the
  // program corrects the sub-lunar point for ΔT itself).
  virtual std::optional<double> siderealDeg(double jdClock) = 0;
};

// Makes a fresh provider for one worker thread.
using EphemerisFactory = std::function<std::unique_ptr<Ephemeris>()>;

}  // namespace tarvo::canongen
