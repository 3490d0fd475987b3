// Any bytes as a planet file: no crash, no read outside the input; a file
// read whole has sound records in lunation order, and a refusal says why.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "sky/eclipse_planets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const tarvo::PlanetFileReading r =
      tarvo::parseEclipsePlanets(std::string_view(reinterpret_cast<const char*>(data), size), "f");
  if (r.status == tarvo::PlanetFileStatus::Missing) __builtin_trap();
  if ((r.status == tarvo::PlanetFileStatus::Damaged) == r.error.empty()) __builtin_trap();
  for (std::size_t i = 0; i < r.file.records.size(); ++i) {
    const tarvo::EclipsePlanets& e = r.file.records[i];
    if (i > 0 && e.lunation <= r.file.records[i - 1].lunation) __builtin_trap();
    if (!std::isfinite(e.jdTT)) __builtin_trap();
    for (const tarvo::PlanetPlaceOfDate& p : e.planets)
      if (!(p.raDeg >= 0 && p.raDeg < 360 && std::fabs(p.decDeg) <= 90 && std::fabs(p.magnitude) <= 10))
        __builtin_trap();
  }
  return 0;
}
