#include "sky/earth_orientation.h"

#include <cmath>

#include "base/angles.h"
#include "data/nutation_2000a_tables.h"

namespace tarvo {

namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kArcsecToRad = 4.84813681109536e-6;
constexpr double kArcsecPerTurn = 1296000.0;
// 0.1 microarcsecond in radians: the unit of the nutation coefficients.
constexpr double kNutationUnitRad = 4.848136811095359e-13;

// A luni-solar fundamental argument: polynomial in arcseconds, reduced to one turn, radians.
double delaunayArgument(double c0, double c1, double c2, double c3, double c4, double t) {
  const double arcsec = c0 + c1 * t + c2 * t * t + c3 * t * t * t + c4 * t * t * t * t;
  return reduceAngle(arcsec, kArcsecPerTurn) * kArcsecToRad;
}

}  // namespace

double asinDeg(double x) {
  // Rounding can carry a sine a few ulps past ±1 (a body at the zenith or a pole).
  return std::asin(std::fmax(-1.0, std::fmin(1.0, x))) / kDegToRad;
}

double centuriesJ2000(double jd) { return (jd - kJ2000) / kDaysPerJulianCentury; }
double centuries1900(double jd) { return (jd - 2415021.0) / kDaysPerJulianCentury; }
double centuries1800(double jd) { return (jd - 2378496.0) / kDaysPerJulianCentury; }

double reduceAngle(double value, double modulus) {
  return value - modulus * std::floor(value / modulus);
}

NutationAngles nutationAngles(double jd) {
  const double t = centuriesJ2000(jd);

  // Luni-solar series: Delaunay arguments l, l', F, D, Omega.
  const double ls[5] = {
      delaunayArgument(485868.249036, 1717915923.2178, 31.8792, 0.051635, -0.0002447, t),
      delaunayArgument(1287104.79305, 129596581.0481, -0.5532, 0.000136, -0.00001149, t),
      delaunayArgument(335779.526232, 1739527262.8478, -12.7512, -0.001037, 0.00000417, t),
      delaunayArgument(1072260.70369, 1602961601.209, -6.3706, 0.006593, -0.00003169, t),
      delaunayArgument(450160.398036, -6962890.5431, 7.4722, 0.007702, -0.00005939, t),
  };
  double dPsiLs = 0, dEpsLs = 0;
  const auto& lsRows = data::kLuniSolarNutation;
  for (auto row = lsRows.rbegin(); row != lsRows.rend(); ++row) {
    double sum = 0;
    for (int k = 0; k < 5; ++k) sum += row->multipliers[k] * ls[k];
    const double a = reduceAngle(sum, kTwoPi);
    const double s = std::sin(a), c = std::cos(a);
    dPsiLs += (row->ps + row->pst * t) * s + row->pc * c;
    dEpsLs += (row->ec + row->ect * t) * c + row->es * s;
  }

  // Planetary series: l, F, D, Omega, the eight planets' mean longitudes and
  // the general precession in longitude pA, radians.
  const double pl[13] = {
      reduceAngle(2.35555598 + 8328.6914269554 * t, kTwoPi),
      reduceAngle(1.627905234 + 8433.466158131 * t, kTwoPi),
      reduceAngle(5.198466741 + 7771.3771468121 * t, kTwoPi),
      reduceAngle(2.1824392 - 33.757045 * t, kTwoPi),
      reduceAngle(4.402608842 + 2608.7903141574 * t, kTwoPi),
      reduceAngle(3.176146697 + 1021.3285546211 * t, kTwoPi),
      reduceAngle(1.753470314 + 628.3075849991 * t, kTwoPi),
      reduceAngle(6.203480913 + 334.06124267 * t, kTwoPi),
      reduceAngle(0.599546497 + 52.9690962641 * t, kTwoPi),
      reduceAngle(0.874016757 + 21.329910496 * t, kTwoPi),
      reduceAngle(5.481293872 + 7.4781598567 * t, kTwoPi),
      reduceAngle(5.321159 + 3.8127774 * t, kTwoPi),
      0.02438175 * t + 0.00000538691 * t * t,
  };
  double dPsiPl = 0, dEpsPl = 0;
  const auto& plRows = data::kPlanetaryNutation;
  for (auto row = plRows.rbegin(); row != plRows.rend(); ++row) {
    double sum = 0;
    for (int k = 0; k < 13; ++k) sum += row->multipliers[k] * pl[k];
    const double a = reduceAngle(sum, kTwoPi);
    const double s = std::sin(a), c = std::cos(a);
    dPsiPl += row->ps * s + row->pc * c;
    dEpsPl += row->es * s + row->ec * c;
  }

  return {dPsiLs * kNutationUnitRad + dPsiPl * kNutationUnitRad,
          dEpsLs * kNutationUnitRad + dEpsPl * kNutationUnitRad};
}

double meanObliquityDeg(double jd) {
  const double t = centuriesJ2000(jd);
  return 23.439279444 - 0.01301021361 * t - 5.0861e-8 * t * t + 5.565e-7 * t * t * t -
         1.6e-10 * t * t * t * t - 1.2056e-11 * t * t * t * t * t;
}

double trueObliquity(double jd) {
  return (meanObliquityDeg(jd) * kDegToRad + nutationAngles(jd).dEps) / kDegToRad;
}

double localSiderealTime(double jd, double longitudeDeg) {
  const double t = centuriesJ2000(jd);
  // Earth rotation angle, degrees, not reduced.
  const double theta = (0.779057273264 + 1.0027378119113546 * (jd - kJ2000)) * 360.0;
  const double poly = (0.014506 + 4612.156534 * t + 1.3915817 * t * t - 4.4e-7 * t * t * t -
                       0.000029956 * t * t * t * t - 3.68e-8 * t * t * t * t * t) /
                      3600.0;
  const double equationOfEquinoxes = nutationAngles(jd).dPsi * std::cos(trueObliquity(jd) * kDegToRad);
  double g = (theta + poly) * kDegToRad + equationOfEquinoxes;
  g = g - kTwoPi * std::floor(g / kTwoPi);
  double hours = g / kDegToRad / 15.0 + longitudeDeg / 15.0;
  if (hours < 0) hours += 24.0;
  return hours;
}

EquatorialPlace eclipticToEquatorial(double jd, double lambdaDeg, double betaDeg) {
  const double eps = trueObliquity(jd) * kDegToRad;
  const double l = lambdaDeg * kDegToRad, b = betaDeg * kDegToRad;
  double ra = std::atan2(std::sin(l) * std::cos(b) * std::cos(eps) - std::sin(b) * std::sin(eps),
                         std::cos(l) * std::cos(b)) /
              kDegToRad;
  if (ra < 0) ra += 360.0;
  const double dec = asinDeg(std::sin(l) * std::cos(b) * std::sin(eps) + std::sin(b) * std::cos(eps));
  return {ra, dec};
}

HorizontalPlace horizontalFromHourAngle(double hourAngleDeg, double decDeg, double latitudeDeg) {
  const double h = hourAngleDeg * kDegToRad;
  const double phi = latitudeDeg * kDegToRad, delta = decDeg * kDegToRad;
  const double azimuth =
      std::atan2(std::sin(h), std::sin(phi) * std::cos(h) - std::cos(phi) * std::tan(delta)) / kDegToRad;
  const double altitude =
      asinDeg(std::cos(h) * std::cos(delta) * std::cos(phi) + std::sin(delta) * std::sin(phi));
  return {azimuth, altitude};
}

HorizontalPlace equatorialToHorizontal(double jd, double raDeg, double decDeg, double latitudeDeg,
                                       double longitudeDeg) {
  return horizontalFromHourAngle(15.0 * localSiderealTime(jd, longitudeDeg) - raDeg, decDeg,
                                 latitudeDeg);
}

}  // namespace tarvo
