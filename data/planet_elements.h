// Mean orbital elements of the planets for the sky chart: for planet codes 1 to
// 6 (Mercury, Venus, Earth, Mars, Jupiter, Saturn; the Earth's row is unused and
// zero) the cubic c0 + c1·T + c2·T² + c3·T³ of each element, T in Julian
// centuries from 1900 January 1, 12h. Angles in degrees (mean equinox and
// ecliptic of date), the semi-major axis in AU (constant).
#pragma once

#include <array>

namespace tarvo::data {

using ElementCubic = std::array<double, 4>;

struct PlanetElementRow {
  ElementCubic meanLongitude;
  ElementCubic perihelion;  // longitude of perihelion
  ElementCubic eccentricity;
  ElementCubic semiMajorAxis;
  ElementCubic node;  // longitude of the ascending node
  ElementCubic inclination;
};

// Indexed by planet code − 1.
inline constexpr std::array<PlanetElementRow, 6> kPlanetElements = {{
    // Mercury
    {{182.27175, 149474.07244, 0.00201944, 0},
     {75.89717, 1.553469, 0.000308639, 0},
     {0.20561494, 2.03e-5, -4e-8, 0},
     {0.3870984, 0, 0, 0},
     {47.144736, 1.18476, 0.000223194, 0},
     {7.003014, 0.00173833, -1.55555e-5, 0}},
    // Venus
    {{344.36936, 58519.2126, 0.00098055, 0},
     {130.14057, 1.3723, -0.0016472, 0},
     {0.00681636, -5.384e-5, 1.26e-7, 0},
     {0.72333015, 0, 0, 0},
     {75.7881, 0.91403, 0.0004189, 0},
     {3.3936, 0.0012522, -4.333e-6, 0}},
    // Earth: never requested
    {},
    // Mars
    {{294.26478, 19141.69625, 0.000315028, 0},
     {334.21833, 1.840394, 0.000335917, 0},
     {0.0933088, 9.5284e-5, -1.22e-7, 0},
     {1.5236781, 0, 0, 0},
     {48.7867, 0.776944, -0.000602778, 0},
     {1.8503, -0.000649028, 2.65e-5, 0}},
    // Jupiter
    {{238.132386, 3036.301986, 0.000334683, -1.64889e-6},
     {12.720972, 1.6099617, 0.00105627, -3.4333e-6},
     {0.0483348, 0.00016418, -4.676e-7, -1.7e-9},
     {5.202805, 0, 0, 0},
     {99.443414, 1.01053, 0.000352222, -8.51111e-6},
     {1.308736, -0.00569611, 3.88889e-6, 0}},
    // Saturn
    {{266.597875, 1223.50988, 0.000324542, -5.83333e-7},
     {91.09821, 1.958416, 0.000826361, 4.61111e-6},
     {0.05589231, -0.0003455, -7.28e-7, 7.4e-10},
     {9.554747, 0, 0, 0},
     {112.790414, 0.873195, -0.000152181, -5.30555e-6},
     {2.4925194, -0.00391889, -1.54889e-5, 4.44444e-8}},
}};

}  // namespace tarvo::data
