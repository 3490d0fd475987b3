// Tolerances the tests share, each with the reason for its size.
#pragma once

namespace tarvo::testing {

// A Julian Day of the catalogue's span (|JD| < 1e7) holds an instant to
// about 2e-9 d, 0.2 ms: a millisecond covers it and the sums made of it.
inline constexpr double kJulianDayRoundingS = 1e-3;

// A time written to the nearest second is at most half a second from the
// instant it names.
inline constexpr double kNearestSecondS = 0.5 + kJulianDayRoundingS;

// A time written to a tenth of a second ("hh:mm:ss.s").
inline constexpr double kNearestTenthSecondS = 0.05 + kJulianDayRoundingS;

// A time whose seconds are cut, not rounded ("%2.0f" of trunc(s)): it is up
// to a second before the instant, never after it.
inline constexpr double kTruncatedSecondS = 1.0;

}  // namespace tarvo::testing
