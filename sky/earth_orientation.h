// The astronomical base of the sky chart: time arguments, angle reduction,
// IAU 2000A nutation, the true obliquity, local apparent sidereal time and the
// two coordinate conversions. Every jd is a Julian Day used both as Universal
// Time (the Earth's rotation) and as dynamical time: no ΔT is applied here.
// Angles are degrees at every interface, radians only inside the formulas.
#pragma once

namespace tarvo {

// A Sun, Moon or planet place. Producers fill only the fields they name;
// the others keep their initial values.
struct BodyPosition {
  double longitude = 0, latitude = 0;  // geocentric ecliptic of date, degrees
  double semiDiameter = 0;             // apparent, degrees
  double x = 0, y = 0, z = 0;          // ecliptic, AU: heliocentric planet, geocentric Sun
  double distance = 0;                 // from the Earth, AU
  double magnitude = 0;                // visual
  double ra = 0, dec = 0;              // geocentric, equator and equinox of date, degrees
};

// asin in degrees, its argument clamped to [−1, 1] first.
double asinDeg(double x);

// Julian centuries of 36525 days from J2000.0 (JD 2451545.0).
double centuriesJ2000(double jd);
// Julian centuries from 1900 January 1, 12h (JD 2415021.0).
double centuries1900(double jd);
// Julian centuries from 1799 December 31, 12h (JD 2378496.0).
double centuries1800(double jd);

// value − modulus·floor(value/modulus): in [0, modulus) for a positive modulus.
double reduceAngle(double value, double modulus);

// Nutation in longitude and in obliquity, radians (IAU 2000A: 678 luni-solar
// and 687 planetary terms, each series summed from its last row to its first).
struct NutationAngles {
  double dPsi;
  double dEps;
};
NutationAngles nutationAngles(double jd);

// Mean obliquity of the ecliptic (IAU 2006 polynomial in centuries from J2000), degrees.
double meanObliquityDeg(double jd);
// Mean obliquity plus the nutation in obliquity, degrees.
double trueObliquity(double jd);

// Greenwich apparent sidereal time plus longitude/15, hours: the Earth rotation
// angle, the IAU 2006 polynomial and the equation of the equinoxes
// dPsi·cos(true obliquity). 24 is added to a negative result; a result above
// 24 (eastern longitudes) is left as it is. longitudeDeg east positive.
double localSiderealTime(double jd, double longitudeDeg);

struct EquatorialPlace {
  double ra;   // degrees, [0, 360)
  double dec;  // degrees
};
// Ecliptic longitude and latitude of date (degrees) to right ascension and
// declination with the true obliquity of date.
EquatorialPlace eclipticToEquatorial(double jd, double lambdaDeg, double betaDeg);

struct HorizontalPlace {
  double azimuth;   // degrees from the south through the west, (−180, 180]
  double altitude;  // degrees; no refraction, no parallax
};
// Right ascension and declination of date (degrees) to the horizon of a site
// (latitude north positive, longitude east positive, degrees).
HorizontalPlace equatorialToHorizontal(double jd, double raDeg, double decDeg, double latitudeDeg,
                                       double longitudeDeg);
// The same from the local hour angle (degrees, west positive) and declination.
HorizontalPlace horizontalFromHourAngle(double hourAngleDeg, double decDeg, double latitudeDeg);

}  // namespace tarvo
