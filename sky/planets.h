// Geocentric places of the five naked-eye planets for the sky chart: mean
// elements (cubics in centuries from 1900), table-driven corrections for
// Jupiter and Saturn, a three-term equation of the centre and the Sun's place
// from sunPosition. jd is a Julian Day (the chart passes Universal Time).
#pragma once

#include <array>

#include "sky/earth_orientation.h"

namespace tarvo {

// Planet codes: 1 Mercury, 2 Venus, 4 Mars, 5 Jupiter, 6 Saturn (3 is the Earth).
inline constexpr int kMercury = 1, kVenus = 2, kMars = 4, kJupiter = 5, kSaturn = 6;

// x rounded to `places` decimals, halves away from zero.
double roundHalfAway(double x, int places);

// A correction grid indexed [row][column]: the row by g2, the column by g1,
// both in steps of 10° from 0° to 360°.
using PerturbationGrid = std::array<std::array<double, 37>, 37>;

// Bilinear interpolation in a grid at g1, g2 in [0, 360) degrees.
double gridValue(const PerturbationGrid& grid, double g1Deg, double g2Deg);

// The seven grids: Jupiter's mean longitude, perihelion term and eccentricity
// angle (0.01°), Saturn's three (0.01°, with a bias of about +0.5°) and its
// semi-major axis (0.001 AU, bias about +0.05 AU).
struct PlanetCorrectionGrids {
  PerturbationGrid j1, j2, j3, s1, s2, s3, s4;
};
const PlanetCorrectionGrids& planetCorrectionGrids();

// The grid arguments at jd, degrees in [0, 360): g1 moves with Saturn's
// sidereal mean motion, g2 with the difference of Jupiter's and Saturn's.
double gridArgumentG1(double jd);
double gridArgumentG2(double jd);

// What the grids add to Jupiter's or Saturn's elements at one moment: mean
// longitude, perihelion term (before the division by sin φ) and eccentricity
// angle in degrees, semi-major axis in AU (Saturn only).
struct PlanetGridTerms {
  double meanLongitude = 0, perihelion = 0, eccentricityAngle = 0, semiMajorAxis = 0;
};
// The terms the chart uses: interpolated in the grids and rounded to 0.01° (0.001 AU).
PlanetGridTerms gridTermsAt(double jd, int code, const PlanetCorrectionGrids& grids);

// The planet's heliocentric place on the ecliptic and equinox of date, with the
// given grid terms (no grid terms for Mercury, Venus and Mars).
struct HeliocentricPlace {
  double longitude;  // l, degrees
  double x, y, z;    // AU
  double radius;     // r, AU
};
HeliocentricPlace heliocentricPlanet(double jd, int code, const PlanetGridTerms& terms);

// Fills every field of BodyPosition: ecliptic longitude and latitude of date,
// semi-diameter, heliocentric x, y, z (AU), geocentric distance (AU),
// magnitude, and ra, dec with the true obliquity. code must be 1, 2, 4, 5 or 6.
BodyPosition planetPosition(double jd, int code);
// The same with other correction grids (for measuring what the grids buy).
BodyPosition planetPositionWithGrids(double jd, int code, const PlanetCorrectionGrids& grids);

// Whether the planets' places at jd (UT) may be more than 2° off: their
// theories stay within 2° of the Swiss Ephemeris from kPlanetsWithin2DegFromYear
// to kPlanetsWithin2DegToYear (measured by era in sky_reference_tests).
inline constexpr double kPlanetsWithin2DegFromYear = -2300;
inline constexpr double kPlanetsWithin2DegToYear = 6900;
bool planetPlacesApproximate(double jd);

}  // namespace tarvo
