// Lunation numbers of full moons. Full moon n is Meeus' lunation k = n + 0.5:
// n = 0 is the full moon of 2000 January 21 (the one after the new moon of
// 2000 January 6, k = 0); n = −1 the one before, n = 1 the one after.
#pragma once

namespace tarvo::canongen {

inline constexpr double kMeanSynodicMonthDays = 29.530588853;

// TT Julian Day of the mean full moon n (Meeus' mean phase polynomial, good
// to about a day over −13000..17000, which is all a starting guess needs).
double meanFullMoonJd(long n);

// The lunation number whose mean full moon lies nearest a TT Julian Day.
long lunationNear(double jdTT);

}  // namespace tarvo::canongen
