// Any bytes as a city list: no crash, no read outside the input, a list that
// keeps its limits, and every accepted city a clean name with its numbers in
// their ranges.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "circumstances/sites.h"

namespace {

bool cleanName(const std::string& name) {
  if (name.empty() || name.size() > tarvo::kSitePieceLength) return false;
  if (name.find_first_not_of(" \t") == std::string::npos) return false;
  for (unsigned char c : name)
    if (c < 0x20 || c == 0x7F) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const tarvo::SiteReading reading =
      tarvo::parseSites(std::string_view(reinterpret_cast<const char*>(data), size));
  const tarvo::SiteList& list = reading.list;
  if (list.sites.size() > tarvo::kMaxSites) __builtin_trap();
  if (reading.notText && !list.sites.empty()) __builtin_trap();
  if (reading.firstProblem.has_value() == tarvo::siteReadingNotice(reading).empty()) __builtin_trap();
  for (const tarvo::Site& s : list.sites) {
    if (!cleanName(s.name)) __builtin_trap();
    for (const tarvo::CityField& f : tarvo::kCityFields)
      if (!f.range.contains(s.*f.member)) __builtin_trap();
  }
  return 0;
}
