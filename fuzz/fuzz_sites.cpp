// Any bytes as a city list: no crash, no read outside the input, and a list
// that keeps its limits.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "circumstances/sites.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const tarvo::SiteList list =
      tarvo::parseSites(std::string_view(reinterpret_cast<const char*>(data), size));
  if (list.sites.size() > tarvo::kMaxSites) __builtin_trap();
  for (const tarvo::Site& s : list.sites) {
    if (s.name.size() > tarvo::kSitePieceLength) __builtin_trap();
    if (s.name.find('\0') != std::string::npos || s.name.find('\n') != std::string::npos)
      __builtin_trap();
    for (double v : {s.longitude, s.latitude, s.height, s.extra})
      if (!std::isfinite(v)) __builtin_trap();
  }
  return 0;
}
