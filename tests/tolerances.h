// Tolerances the tests share, each with the reason for its size.
#pragma once

namespace tarvo::testing {

// A Julian Day of the catalogue's span (|JD| < 1e7) holds an instant to
// about 2e-9 d, 0.2 ms: a millisecond covers it and the sums made of it.
inline constexpr double kJulianDayRoundingS = 1e-3;

// The same, in days: two ulps of a Julian Day of the span, 0.1 ms.
inline constexpr double kJulianDayRoundingD = 1e-9;

// Seconds from the difference of two Julian Days near 2.46e6 (each holds
// 4.7e-10 d, 40 µs).
inline constexpr double kJulianDayDifferenceS = 1e-4;

// A time written to the nearest second is at most half a second from the
// instant it names.
inline constexpr double kNearestSecondS = 0.5 + kJulianDayRoundingS;

// A time written to a tenth of a second ("hh:mm:ss.s").
inline constexpr double kNearestTenthSecondS = 0.05 + kJulianDayRoundingS;

// A time whose seconds are cut, not rounded ("%2.0f" of trunc(s)): it is up
// to a second before the instant, never after it.
inline constexpr double kTruncatedSecondS = 1.0;

// --- The same quantity by two routes in doubles -----------------------------

// A value of order 1..100 by another order of a few operations: thousands of
// ulps, far below any digit shown.
inline constexpr double kFewOperationsRounding = 1e-12;

// A value of order 1e-3 (a semi-diameter in degrees) by one division.
inline constexpr double kSmallValueRounding = 1e-15;

// A value up to ~1e4 (degrees, seconds, arcseconds, pixels per degree)
// through trigonometry, tables or interpolation: far above its rounding
// (~1e-12), far below any digit shown.
inline constexpr double kLongChainRounding = 1e-9;

// A value of order 1e4..1e6 (ΔT in seconds in the remote past, kilometres,
// arcseconds) by another route: about 1e-11 of it.
inline constexpr double kLargeValueRounding = 1e-6;

// Hours of the day split from a Julian Day: the day's fraction holds
// 2e-9 d (5e-8 h) at the span's largest Julian Days; 1e-6 h is 3.6 ms.
inline constexpr double kHourOfJulianDayH = 1e-6;

// The hour of JD 2451545 (an ulp of 4.7e-10 d, 1.1e-8 h) moved by a zone.
inline constexpr double kZoneHourRoundingH = 1e-7;

// An altitude at the zenith from an arcsine near 1 keeps half the digits:
// about 1e-8 rad, 6e-7°.
inline constexpr double kZenithAltitudeDeg = 1e-6;

// An azimuth from atan2 beside ERFA's, away from the zenith (below 89.9°),
// where a small error of the horizontal components turns it most.
inline constexpr double kAzimuthBesideErfaDeg = 1e-7;

// A value a hair (1e-9 year) across a table's seam: the model's slope, below
// 1e3 s a year, moves it by less than 1e-6 s.
inline constexpr double kAcrossSeamS = 1e-6;

// A value 1e-6 year past a table node: slopes below 100 s a year move it by
// less than 1e-4 s.
inline constexpr double kNearNodeS = 1e-4;

// A value 1e-3 year before a node, quoted to the table's 0.001 s.
inline constexpr double kMilliYearFromNodeS = 1e-3;

// A number written with twelve significant digits and read back, relative.
inline constexpr double kTwelveDigitsRelative = 1e-10;

// --- Iterations and fits -----------------------------------------------------

// An instant found by Newton's method, which stops at a step below 1e-8 h.
inline constexpr double kNewtonInstantH = 1e-6;

// An altitude at such an instant: 1e-8 h of the Moon's diurnal motion is
// below 2e-7°.
inline constexpr double kNewtonAltitudeDeg = 1e-6;

// The umbral magnitude at a contact found by Newton's method: 0 or 1 to the
// contact's convergence.
inline constexpr double kContactMagnitude = 1e-5;

// The axis distance at a contact against the contact's radius, arcseconds:
// the Moon moves 0.5" a minute and the contact stops below 1e-8 h.
inline constexpr double kContactRadiusArcsec = 0.01;

// Kepler's equation solved by the solver's iteration (stops below 1e-9 rad).
inline constexpr double kKeplerResidualRad = 1e-8;

// The least-squares coefficients of exact cubic data (coefficients up to
// 2e3): the normal equations lose digits, but not below 1e-9.
inline constexpr double kExactFitCoefficient = 1e-9;

// The largest residual of a straight line fitted to known points.
inline constexpr double kFitResidual = 1e-3;

// The altitude at the sub-lunar point against 90°: the two formulas round
// the sidereal rate differently, 5.6e-5° at ΔT = 12000 s.
inline constexpr double kSubLunarZenithDeg = 1e-4;

// A moonrise's altitude against the rising altitude of the Moon's parallax:
// 0.002° is 0.5 s of the Moon's rising.
inline constexpr double kRiseAltitudeDeg = 0.002;

// The sub-lunar longitude moved by a ΔT shift, relative to the shift in
// seconds: the sidereal rate's digits.
inline constexpr double kSiderealShiftRelative = 1e-8;

// --- Printed and published values -------------------------------------------

// A value printed with six decimals ("%.6f").
inline constexpr double kSixDecimals = 1e-6;

// A value printed with three decimals ("%.3f").
inline constexpr double kThreeDecimals = 1e-3;

// A value published to four decimals: half a unit of the last place, and a
// little for our own rounding.
inline constexpr double kPublishedFourDecimals = 0.00051;

// A value printed to one decimal beside the same one printed to two.
inline constexpr double kTenthBesideHundredth = 0.051;

// A value quoted to two decimals (a city's coordinates in the list).
inline constexpr double kQuotedHundredth = 0.01;

// A value quoted to one decimal (a published figure, a comment's "about").
inline constexpr double kQuotedTenth = 0.1;

// A published σ of ΔT, read off its table to 10 % of itself.
inline constexpr double kPublishedSigmaRelative = 0.1;

// A value of a table 1e-6 year past its seam, quoted to 0.01 s.
inline constexpr double kSeamValueS = 0.01;

// --- Models against models --------------------------------------------------

// Two implementations of one apparent-place chain, arcseconds (0.1 mas).
inline constexpr double kApparentPlaceArcsec = 1e-4;

// The Moon's distance by the same two chains, kilometres (a metre).
inline constexpr double kApparentDistanceKm = 1e-3;

// The generator's penumbral magnitude against a brute-force evaluation.
inline constexpr double kMagnitudeBesideBruteForce = 1e-4;

// The frame bias between the catalogue's place at J2000 and the place of
// date, below 0.03".
inline constexpr double kFrameBiasDeg = 0.03 / 3600;

// The published ΔT spline's pieces at a knot: its values are given to 0.1 s.
inline constexpr double kSplineKnotS = 0.1;

// A year's change of ΔT either side of a blend's end: the blend differs from
// the joined piece by second-order terms, below 0.05 s.
inline constexpr double kBlendSlopeS = 0.05;

// σ of ΔT sampled every 0.1 year changes by less than this: no step.
inline constexpr double kSigmaStepS = 0.5;

// The builtin model's σ in 2025.5 against its distance from the observed ΔT
// (75.4 − 69.1 s, each quoted to 0.1 s).
inline constexpr double kSigmaBesideObservedS = 0.2;

// The same eclipse under smh2020 + 3000 s and the builtin model: the models
// differ by a few seconds in 2025.
inline constexpr double kModelsApartIn2025S = 5;

// ΔT fitted from a recorded time against the Sun's theory's 0.01° (2.4 s).
inline constexpr double kSunTheoryDeltaTS = 3.0;

// Greenwich sidereal time of the sky chart's anchors against the theory's.
inline constexpr double kSiderealTheoryDeg = 0.01;

// A moonrise or moonset found by the crossing search lies on the horizon to
// 0.01° inside the eclipse.
inline constexpr double kHorizonEventDeg = 0.01;

// The horizon crossing's altitude: its search stops within 0.05° (12 s of
// the Moon's rise).
inline constexpr double kHorizonCrossingDeg = 0.05;

// The horizon crossing's time against a known crossing.
inline constexpr double kHorizonCrossingH = 10.0 / 3600;

// The geocentric altitude at a site against 90° less its distance from the
// sub-lunar point: the Moon moves during the search.
inline constexpr double kSubLunarAltitudeDeg = 0.1;

// The Sun's altitude against minus the Moon's at greatest eclipse: the Sun is
// opposite the Moon within the shadow's size and the Sun's parallax.
inline constexpr double kSunOppositeMoonDeg = 2.5;

// A sky chart's altitude or azimuth against the local report's at greatest
// eclipse, read off the chart to half a degree.
inline constexpr double kChartBesideReportDeg = 0.5;

// The sky chart's note on the Moon's altitude, from a site moved a given
// number of degrees from the sub-lunar point.
inline constexpr double kMovedSiteAltitudeDeg = 1.5;

// The chart's UT hours against the panel's minute.
inline constexpr double kPanelMinuteH = 1.0 / 60;

// A local report's altitude against a published one, degrees.
inline constexpr double kReportAltitudeDeg = 0.2;

// A local report's moonrise against a published minute: the report's minute
// and the publication's.
inline constexpr double kReportRiseMinutes = 1.5;

// The antipode of the sub-lunar point sees the Moon at −90° within the
// shadow axis's distance from the Moon plus this.
inline constexpr double kNadirDeg = 0.01;

// The almanac's shadow radii against their formulas with mean distances,
// arcseconds; the Moon's semi-diameter to half an arcsecond.
inline constexpr double kShadowRadiusArcsec = 1.0;
inline constexpr double kSemiDiameterArcsec = 0.5;

// The mean lunation against the mean synodic month (its t² term moves it).
inline constexpr double kMeanLunationD = 0.01;

// The mean full moon of 2000 January 21 against the date's noon, days.
inline constexpr double kMeanFullMoonD = 0.5;

// ΔT sampled every 0.01 year moves by less than this: the parabola's 95 s a
// year at −13000 and the seams at −800 and 3190 (below 1.1 s), no step.
inline constexpr double kDeltaTHundredthYearStepS = 1.2;

// The planets' theory against the Swiss Ephemeris, worst of a year, degrees.
inline constexpr double kPlanetTheoryDeg = 2.0;

// The fitted extension of the ephemeris against the files, over 400 days next
// to them: the Moon − Sun longitude and latitude sum, arcseconds, and the
// Moon's distance, kilometres.
inline constexpr double kExtensionLongitudeArcsec = 15.0;
inline constexpr double kExtensionLatitudeArcsec = 4.0;
inline constexpr double kExtensionDistanceKm = 10.0;

// The Sun the sky chart takes from the elements against the Sun's theory
// (within 0.03° near 2000).
inline constexpr double kSunFromElementsDeg = 0.05;

// --- Pictures ----------------------------------------------------------------

// A point picked on the map lands within a pixel of where it was drawn, and
// 1 % for the pixel's own rounding (a factor on the pixel's size).
inline constexpr double kWithinOnePixel = 1.01;

// Pixels of a filled circle against πr²: the rim's pixels, relative.
inline constexpr double kDiscAreaRelative = 0.1;

// Rows of a text twice as large against twice the rows: each side rounds.
inline constexpr double kScaledTextRows = 3;

}  // namespace tarvo::testing
