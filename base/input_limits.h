// The ranges the user's input must lie in: one table that the dialogs and the
// command line both check against. Bounds are inclusive.
#pragma once

#include <string>

#include "base/text_format.h"

namespace tarvo {

struct InputRange {
  double lo, hi;
  constexpr bool contains(double v) const { return v >= lo && v <= hi; }
};

namespace limits {
inline constexpr InputRange kYear{-13000, 16999};            // astronomical year of the cursor
inline constexpr InputRange kMonth{1, 12};
inline constexpr InputRange kListStartYear{-13000, 17000};   // eclipse list: first year
inline constexpr InputRange kListPeriodYears{1, 5000};       // eclipse list: years searched
inline constexpr InputRange kLongitudeDeg{-360, 360};        // typed site, east positive
inline constexpr InputRange kLatitudeDeg{-90, 90};           // typed site, north positive
inline constexpr InputRange kHeightM{0, 4000};               // typed site, metres
inline constexpr InputRange kCityHeightM{-500, 9000};        // city list: metres above sea level
inline constexpr InputRange kCityUtcOffsetH{-14, 14};        // city list: hours east of UTC
inline constexpr InputRange kDeltaTYear{-1000000, 1000000};  // tarvo deltat: astronomical year
inline constexpr InputRange kDeltaTAdjustS{-10000, 10000};   // user's ΔT correction, seconds
inline constexpr InputRange kMagnitude{0, 1.5};              // site search: umbral magnitude
inline constexpr InputRange kSaros{-400, 400};               // Saros series
inline constexpr InputRange kLookBackYears{0, 1000};         // how far Previous looks back
inline constexpr InputRange kSearchType{0, 3};
inline constexpr InputRange kTypeCode{1, 6};                 // 4..6: the list's blank entries
inline constexpr InputRange kExportEntries{1, 100000};       // eclipses an exported list may hold
inline constexpr InputRange kMinAltitudeDeg{-90, 90};        // next visible eclipse: Moon's altitude
}  // namespace limits

// An input range as messages and usage lines write it: "-400..400", "0..1.5".
inline std::string rangeText(const InputRange& range) { return formatString("%g..%g", range.lo, range.hi); }

}  // namespace tarvo
