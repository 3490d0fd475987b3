#include "base/text_format.h"

#include <cstdio>

namespace tarvo {

std::string formatStringV(const char* fmt, std::va_list args) {
  std::va_list copy;
  va_copy(copy, args);
  char buffer[256];
  const int n = std::vsnprintf(buffer, sizeof buffer, fmt, copy);
  va_end(copy);
  if (n < 0) return {};
  if (static_cast<std::size_t>(n) < sizeof buffer) return std::string(buffer, static_cast<std::size_t>(n));
  std::string out(static_cast<std::size_t>(n), '\0');
  std::vsnprintf(out.data(), out.size() + 1, fmt, args);
  return out;
}

std::string formatString(const char* fmt, ...) {
  std::va_list args;
  va_start(args, fmt);
  std::string out = formatStringV(fmt, args);
  va_end(args);
  return out;
}

}  // namespace tarvo
