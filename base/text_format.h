// printf-style formatting into a std::string, with no length limit.
#pragma once

#include <cstdarg>
#include <string>

namespace tarvo {

// The C printf rules for fmt and the arguments; the result as a string of
// whatever length they need. An encoding error gives an empty string.
std::string formatString(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string formatStringV(const char* fmt, std::va_list args) __attribute__((format(printf, 1, 0)));

}  // namespace tarvo
