// Any bytes as a session file: no crash, no read outside the input, and what
// is accepted is within the ranges and survives a round trip.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <variant>

#include "base/input_limits.h"
#include "session/session_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const tarvo::SessionFileResult r =
      tarvo::parseSessionFile(std::string_view(reinterpret_cast<const char*>(data), size));
  const auto* s = std::get_if<tarvo::SessionSettings>(&r);
  if (s == nullptr) return 0;
  if (!tarvo::limits::kYear.contains(s->year) || !tarvo::limits::kMonth.contains(s->month) ||
      !tarvo::limits::kLatitudeDeg.contains(s->siteLatitude) ||
      !tarvo::limits::kDeltaTAdjustS.contains(s->deltaT.adjustSeconds))
    __builtin_trap();
  const tarvo::SessionFileResult again = tarvo::parseSessionFile(tarvo::formatSessionFile(*s));
  const auto* t = std::get_if<tarvo::SessionSettings>(&again);
  if (t == nullptr || t->year != s->year || t->siteLongitude != s->siteLongitude ||
      t->cityName != (s->typedSite ? std::string() : s->cityName))
    __builtin_trap();
  return 0;
}
