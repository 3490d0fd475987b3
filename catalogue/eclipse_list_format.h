// The lines of the eclipse list: a date key whose decimals read MMDD, the
// type word, the Saros number and the member number within the series.
#pragma once

#include <string>

#include "catalogue/eclipse_list_entry.h"

namespace tarvo {

// The list has two layouts: the one shown after a list search and the wider
// one shown when the list is first opened. The list window shows a third,
// whose type words are padded to one width so that the Saros numbers stand
// in one column.
enum class EclipseListLayout { AfterSearch, AtOpening, Aligned };

// year + month/100 + day/10000 for a year above 0; for year 0 and before the
// same digits with a minus sign: −(month/100 − year + day/10000), so
// (−500, 3, 15) gives −500.0315 and (0, 11, 2) gives −0.1102.
double eclipseListDateKey(double year, double month, double day);

// The type word of a type code (trailing blanks are part of the column):
// 1 "Total      ", 2 "Partial   ", 3 "Penumbra ", 4 "Ann-Tot ",
// 5 "To w/oLn", 6 "An w/oLn"; "" for 0 and for any other code.
const char* eclipseListTypeWord(double typeCode);

// The header line over the entries.
const char* eclipseListHeader(EclipseListLayout layout);

// One entry as a line: the date key "%11.4f", the type word, the Saros number
// "%4.0f", "/" and the member number "%2d" (0 when the series has no first
// year in the Saros table).
std::string eclipseListLine(const EclipseListEntry& entry, EclipseListLayout layout);

}  // namespace tarvo
