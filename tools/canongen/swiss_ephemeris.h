// The long-span ephemeris files read through the Swiss Ephemeris library
// (AGPL-3.0: only the generator and its tests link it, never the program).
#pragma once

#include <string>

#include "tools/canongen/ephemeris.h"

namespace tarvo::canongen {

// Where the Debian packages put the ephemeris files.
inline constexpr const char* kSwissEphemerisPath = "/usr/share/libswe/ephe";

// The span of the files, TT Julian Days: −12999 August 11.0 to 16800
// January 2.0 (a day inside each end, so that light-time never reaches out).
inline constexpr double kSwissFirstJd = -3026604.5;
inline constexpr double kSwissLastJd = 7857134.5;

// Reads the files only (never the library's analytical fallback): a date the
// files do not cover gives nullopt. The library keeps per-thread state; make
// one instance per thread. The constructor resets that thread's state.
//
// Each file holds 600 years and overlaps its neighbours a little; the
// library keeps reading an open file into the overlap, so a date there would
// get values (differing by ~1e-4") that depend on which dates were asked
// before. To make every answer a function of its date alone, the state is
// reset whenever a request changes 600-year segment or comes within a few
// days of a segment boundary, so that the library opens the file it would
// open afresh.
class SwissEphemeris final : public Ephemeris {
 public:
  SwissEphemeris();
  ~SwissEphemeris() override;
  SwissEphemeris(const SwissEphemeris&) = delete;
  SwissEphemeris& operator=(const SwissEphemeris&) = delete;

  bool covers(double jdTT) const override;
  std::optional<EphemerisSample> sun(double jdTT) override;
  std::optional<EphemerisSample> moon(double jdTT) override;
  std::optional<double> siderealDeg(double jdClock) override;

  // A planet's apparent place (as sun() and moon()) and its visual magnitude
  // at a TT Julian Day; body is the library's planet number (SE_MERCURY ...).
  struct PlanetSample {
    EphemerisSample place;
    double magnitude;
  };
  std::optional<PlanetSample> planet(int body, double jdTT);

 private:
  // Resets the library's state where the request needs it (see above).
  bool prepareFor(double jdTT);
  std::optional<EphemerisSample> apparentPlace(int body, double jdTT);
  void reset();

  long lastSegment_ = 0;
  bool fresh_ = true;  // no file opened since the last reset
  bool resetBeforeNext_ = false;
};

std::unique_ptr<Ephemeris> makeSwissEphemeris();

// The library's version, e.g. "2.10.03".
std::string swissEphemerisVersion();

}  // namespace tarvo::canongen
