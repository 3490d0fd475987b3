// Small text checks every layer uses: blanks around a field, well-formed
// UTF-8.
#pragma once

#include <string_view>

namespace tarvo {

// s without the blanks (space, tab, CR, LF) at either end.
std::string_view trimmed(std::string_view s);

// UTF-8 checked one byte at a time, so a sequence may run across pieces of
// a line: no overlong forms, no surrogates, nothing above U+10FFFF.
class Utf8Check {
 public:
  // False when c cannot continue valid UTF-8.
  bool take(unsigned char c);
  // Inside a character: continuation bytes are still expected.
  bool midCharacter() const { return pending_ > 0; }
  // At the end of a line or a text: false when a sequence was left unfinished.
  bool endLine();

 private:
  int pending_ = 0;                      // continuation bytes still expected
  unsigned char lo_ = 0x80, hi_ = 0xBF;  // range of the next continuation byte
};

// True when bytes are well-formed UTF-8 without NUL bytes.
bool isUtf8Text(std::string_view bytes);

}  // namespace tarvo
