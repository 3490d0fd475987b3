// Small helpers for parsing sub-command arguments.
#pragma once

#include <charconv>
#include <cmath>
#include <string>

#include "base/input_limits.h"
#include "base/text_format.h"

namespace tarvo::cli {

// A finite decimal number filling the whole argument.
inline bool parseNumber(const std::string& s, double& out) {
  if (s.empty()) return false;
  const char* first = s.data();
  if (*first == '+') ++first;
  const auto [ptr, ec] = std::from_chars(first, s.data() + s.size(), out);
  return ec == std::errc() && ptr == s.data() + s.size() && std::isfinite(out);
}


}  // namespace tarvo::cli
