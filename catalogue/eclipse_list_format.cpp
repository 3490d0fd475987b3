#include "catalogue/eclipse_list_format.h"

#include <cmath>
#include <cstdio>

#include "catalogue/saros_table.h"

namespace tarvo {

double eclipseListDateKey(double year, double month, double day) {
  if (year > 0) return year + month / 100 + day / 10000;
  return -(month / 100 - year + day / 10000);
}

const char* eclipseListTypeWord(double typeCode) {
  static const char* const kWords[] = {"",         "Total      ", "Partial   ", "Penumbra ",
                                       "Ann-Tot ", "To w/oLn",    "An w/oLn"};
  const double code = std::trunc(typeCode);
  if (!(code >= 0 && code <= 6)) return "";
  return kWords[static_cast<int>(code)];
}

const char* eclipseListHeader(EclipseListLayout layout) {
  switch (layout) {
    case EclipseListLayout::AfterSearch: return "   Date         Type     Saros#/No.";
    case EclipseListLayout::AtOpening: return " Date            Type        Saros#/No.";
    case EclipseListLayout::Aligned: return "   Date       Type        Saros#/No.";
  }
  return "";
}

std::string eclipseListLine(const EclipseListEntry& e, EclipseListLayout layout) {
  // The longest type word, "Total      ", is 11 wide.
  const char* format = layout == EclipseListLayout::AfterSearch ? "%11.4f   %s   %4.0f/%2d"
                       : layout == EclipseListLayout::AtOpening ? "%11.4f    %s     %4.0f/%2d"
                                                                : "%11.4f   %-11s   %4.0f/%2d";
  const double key = eclipseListDateKey(e.year, e.month, e.day);
  const char* word = eclipseListTypeWord(e.type);
  const int member = SarosStartTable::memberNumber(e.saros, e.year);
  const int size = std::snprintf(nullptr, 0, format, key, word, e.saros, member);
  if (size <= 0) return {};
  std::string line(static_cast<std::size_t>(size) + 1, '\0');
  std::snprintf(line.data(), line.size(), format, key, word, e.saros, member);
  line.resize(static_cast<std::size_t>(size));
  return line;
}

}  // namespace tarvo
