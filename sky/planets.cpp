#include "sky/planets.h"

#include <algorithm>
#include <cmath>

#include "base/angles.h"
#include "data/planet_correction_grids.h"
#include "data/planet_elements.h"
#include "sky/sun_moon.h"

namespace tarvo {

namespace {

double sinDeg(double x) { return std::sin(x * kDegToRad); }
double cosDeg(double x) { return std::cos(x * kDegToRad); }

double cubic(const data::ElementCubic& c, double t) { return c[0] + c[1] * t + c[2] * t * t + c[3] * t * t * t; }

struct Elements {
  double meanLongitude, perihelion, eccentricity, semiMajorAxis, node, inclination;  // degrees, AU
};

// Jupiter's and Saturn's corrections: long-period terms (the great inequality,
// periods of 925 and 950 years, each rounded to 0.01° or 0.001 AU) plus the grid terms.
void applyCorrections(Elements& el, double jd, int code, const PlanetGridTerms& grid) {
  const double s = (centuries1900(jd) + 19.0) / 10.0;  // millennia from year 0
  double dL1, dP1, dF1, phi;
  if (code == kJupiter) {
    dL1 = (0.42 - 0.075 * s + 0.015 * s * s - 0.003 * s * s * s) * sinDeg(360.0 * (s - 0.62) / 0.925);
    dP1 = 0.02 * sinDeg(360.0 * (s + 0.1) / 0.925);
    dF1 = 0.03 * sinDeg(360.0 * (s + 0.36) / 0.925);
    phi = 2.58 + 0.1 * s;
  } else {
    dL1 = (0.88 - 0.0633 * s + 0.03 * s * s - 0.0006 * s * s * s) * sinDeg(360.0 * (s - 0.145) / 0.95) - 0.5;
    dP1 = (0.1 - 0.005 * s) * sinDeg(360.0 * (s - 0.54) / 0.95) - 0.5;
    dF1 = (0.1 - 0.005 * s) * sinDeg(360.0 * (s - 0.32) / 0.95) - 0.5;
    phi = 3.56 - 0.175 * s - 0.005 * s * s;
    const double dA1 = roundHalfAway((0.004 - 0.0005 * s) * sinDeg(360.0 * (s - 0.35) / 0.95) - 0.05, 3);
    el.semiMajorAxis += dA1 + grid.semiMajorAxis;
  }
  el.meanLongitude += roundHalfAway(dL1, 2) + grid.meanLongitude;  // not reduced again
  el.perihelion += (roundHalfAway(dP1, 2) + grid.perihelion) / sinDeg(phi);
  el.eccentricity = sinDeg(phi + roundHalfAway(dF1, 2) + grid.eccentricityAngle);
}

// Visual magnitude and semi-diameter (degrees) from the heliocentric distance r,
// the distance in the ecliptic plane dPlane, the phase angle p (degrees), the
// geocentric distance delta and, for Saturn, the heliocentric longitude l.
void magnitudeAndSize(int code, double r, double dPlane, double p, double delta, double l, double t,
                      BodyPosition& out) {
  const double m0 = 5.0 * std::log10(r * dPlane);
  switch (code) {
    case kMercury:
      out.magnitude = m0 - 0.42 + 0.038 * p - 0.000273 * p * p + 0.000002 * p * p * p;
      out.semiDiameter = 0.0009333333333333333 / delta;
      break;
    case kVenus:
      out.magnitude = m0 - 4.4 + 0.0009 * p + 0.000239 * p * p - 0.00000065 * p * p * p;
      out.semiDiameter = 0.0023166666666666665 / delta;
      break;
    case kMars:
      out.magnitude = m0 - 1.52 + 0.016 * p;
      out.semiDiameter = 0.001288888888888889 / delta;
      break;
    case kJupiter:
      out.magnitude = m0 - 9.4 + 0.005 * p;
      out.semiDiameter = 0.027344444444444446 / delta;
      break;
    default: {
      // The ring term: its argument, a number of degrees, goes to the sine as radians.
      const double s = (t + 19.0) / 10.0;
      out.magnitude = m0 - 8.68 - 1.1 * std::fabs(std::sin(l + 38.0 - 1000.0 * s));
      out.semiDiameter = 0.022980555555555556 / delta;
      break;
    }
  }
}

}  // namespace

double roundHalfAway(double x, int places) {
  const double scale = std::pow(10.0, places);
  const double magnitude = std::trunc(std::fabs(x) * scale + 0.5) / scale;
  return x < 0 ? -magnitude : magnitude;
}

double gridValue(const PerturbationGrid& grid, double g1Deg, double g2Deg) {
  // Arguments outside [0, 360) (not produced by the callers) are clamped to the grid.
  const int k = int(std::fmin(std::fmax(std::trunc(g1Deg / 10.0), 0.0), 35.0));
  const int j = int(std::fmin(std::fmax(std::trunc(g2Deg / 10.0), 0.0), 35.0));
  const double fk = g1Deg - 10.0 * k, fj = g2Deg - 10.0 * j;
  const double p = grid[j][k] + (grid[j][k + 1] - grid[j][k]) * fk / 10.0;
  const double q = grid[j + 1][k] + (grid[j + 1][k + 1] - grid[j + 1][k]) * fk / 10.0;
  return p + (q - p) * fj / 10.0;
}

const PlanetCorrectionGrids& planetCorrectionGrids() {
  static const PlanetCorrectionGrids grids = [] {
    PlanetCorrectionGrids g;
    PerturbationGrid* targets[7] = {&g.j1, &g.j2, &g.j3, &g.s1, &g.s2, &g.s3, &g.s4};
    for (int n = 0; n < 7; ++n)
      for (int row = 0; row < 37; ++row)
        for (int col = 0; col < 37; ++col) (*targets[n])[row][col] = data::kPlanetCorrectionGrids[n][row][col];
    return g;
  }();
  return grids;
}

double gridArgumentG1(double jd) { return reduceAngle((jd - 1721057.0) * 0.033459 + 86.1, 360.0); }
double gridArgumentG2(double jd) { return reduceAngle((jd - 1721057.0) * 0.04963 + 89.1, 360.0); }

HeliocentricPlace heliocentricPlanet(double jd, int code, const PlanetGridTerms& terms) {
  const double t = centuries1900(jd);
  const data::PlanetElementRow& row = data::kPlanetElements[code - 1];
  Elements el{reduceAngle(cubic(row.meanLongitude, t), 360.0), reduceAngle(cubic(row.perihelion, t), 360.0),
              cubic(row.eccentricity, t), row.semiMajorAxis[0], reduceAngle(cubic(row.node, t), 360.0),
              cubic(row.inclination, t)};
  if (code == kJupiter || code == kSaturn) applyCorrections(el, jd, code, terms);

  double m = el.meanLongitude - el.perihelion;
  if (m < 0) m += 360.0;
  const double e = el.eccentricity;
  const double centre = ((2 * e - e * e * e / 4) * sinDeg(m) + 1.25 * e * e * sinDeg(2 * m) +
                         13.0 / 12.0 * e * e * e * sinDeg(3 * m)) /
                        kDegToRad;
  const double v = m + centre;
  double u = v + el.perihelion - el.node;
  if (u > 360.0) u -= 360.0;
  if (u < 0) u += 360.0;
  double w = std::atan(std::tan(u * kDegToRad) * cosDeg(el.inclination)) / kDegToRad;
  if (u > 90.0 && u < 270.0) w += 180.0;
  if (u >= 270.0) w += 360.0;
  double l = w + el.node;
  if (l > 360.0) l -= 360.0;
  const double r = el.semiMajorAxis * (1 - e * e) / (1 + e * cosDeg(v));

  const double cu = cosDeg(u), su = sinDeg(u), cn = cosDeg(el.node), sn = sinDeg(el.node);
  const double ci = cosDeg(el.inclination), si = sinDeg(el.inclination);
  return {l, r * (cu * cn - su * sn * ci), r * (cu * sn + su * cn * ci), r * su * si, r};
}

PlanetGridTerms gridTermsAt(double jd, int code, const PlanetCorrectionGrids& grids) {
  const double g1 = gridArgumentG1(jd), g2 = gridArgumentG2(jd);
  PlanetGridTerms terms;
  if (code == kJupiter) {
    terms.meanLongitude = roundHalfAway(gridValue(grids.j1, g1, g2) / 100.0, 2);
    terms.perihelion = roundHalfAway(gridValue(grids.j2, g1, g2) / 100.0, 2);
    terms.eccentricityAngle = roundHalfAway(gridValue(grids.j3, g1, g2) / 100.0, 2);
  } else if (code == kSaturn) {
    terms.meanLongitude = roundHalfAway(gridValue(grids.s1, g1, g2) / 100.0, 2);
    terms.perihelion = roundHalfAway(gridValue(grids.s2, g1, g2) / 100.0, 2);
    terms.eccentricityAngle = roundHalfAway(gridValue(grids.s3, g1, g2) / 100.0, 2);
    terms.semiMajorAxis = roundHalfAway(gridValue(grids.s4, g1, g2) / 1000.0, 3);
  }
  return terms;
}

BodyPosition planetPositionWithGrids(double jd, int code, const PlanetCorrectionGrids& grids) {
  const double t = centuries1900(jd);
  const HeliocentricPlace helio = heliocentricPlanet(jd, code, gridTermsAt(jd, code, grids));
  const double l = helio.longitude, r = helio.radius;
  BodyPosition out;
  out.x = helio.x;
  out.y = helio.y;
  out.z = helio.z;

  const BodyPosition sun = sunPosition(jd);
  const double xi = sun.x + out.x, eta = sun.y + out.y, zeta = sun.z + out.z;
  const double delta = std::sqrt(xi * xi + eta * eta + zeta * zeta);
  double lambda = std::atan2(eta, xi) / kDegToRad;
  if (lambda < 0) lambda += 360.0;
  const double beta = asinDeg(zeta / delta);

  double psi = l - sun.longitude;
  if (psi < 0) psi += 360.0;
  const double bigR = sun.distance;
  const double dPlane = std::sqrt(r * r + bigR * bigR + 2 * r * bigR * cosDeg(psi));
  const double cosPhase = (r * r + dPlane * dPlane - bigR * bigR) / (2 * r * dPlane);
  const double phase = std::acos(std::fmax(-1.0, std::fmin(1.0, cosPhase))) / kDegToRad;
  magnitudeAndSize(code, r, dPlane, phase, delta, l, t, out);

  const EquatorialPlace eq = eclipticToEquatorial(jd, lambda, beta);
  out.longitude = lambda;
  out.latitude = beta;
  out.distance = delta;
  out.ra = eq.ra;
  out.dec = eq.dec;
  return out;
}

BodyPosition planetPosition(double jd, int code) { return planetPositionWithGrids(jd, code, planetCorrectionGrids()); }

bool planetPlacesApproximate(double jd) {
  const double year = 2000.0 + centuriesJ2000(jd) * 100.0;
  return !(year >= kPlanetsWithin2DegFromYear && year <= kPlanetsWithin2DegToYear);
}

}  // namespace tarvo
