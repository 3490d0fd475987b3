#include "base/text.h"

namespace tarvo {

std::string_view trimmed(std::string_view s) {
  constexpr std::string_view kBlanks = " \t\r\n";
  const std::size_t first = s.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

bool Utf8Check::take(unsigned char c) {
  if (pending_ > 0) {
    if (c < lo_ || c > hi_) {
      pending_ = 0;
      return false;
    }
    --pending_;
    lo_ = 0x80;
    hi_ = 0xBF;
    return true;
  }
  if (c < 0x80) return true;
  lo_ = 0x80;
  hi_ = 0xBF;
  if (c >= 0xC2 && c <= 0xDF) {
    pending_ = 1;
  } else if (c >= 0xE0 && c <= 0xEF) {
    pending_ = 2;
    if (c == 0xE0) lo_ = 0xA0;  // no overlong forms
    if (c == 0xED) hi_ = 0x9F;  // no surrogates
  } else if (c >= 0xF0 && c <= 0xF4) {
    pending_ = 3;
    if (c == 0xF0) lo_ = 0x90;
    if (c == 0xF4) hi_ = 0x8F;  // nothing above U+10FFFF
  } else {
    return false;
  }
  return true;
}

bool Utf8Check::endLine() {
  const bool complete = pending_ == 0;
  pending_ = 0;
  return complete;
}

bool isUtf8Text(std::string_view bytes) {
  Utf8Check check;
  for (const char c : bytes) {
    if (c == '\0' || !check.take(static_cast<unsigned char>(c))) return false;
  }
  return check.endLine();
}

}  // namespace tarvo
