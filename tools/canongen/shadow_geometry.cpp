#include "tools/canongen/shadow_geometry.h"

#include <cmath>

#include "base/angles.h"

namespace tarvo::canongen {

namespace {

double asinArcsec(double ratio) { return std::asin(ratio) * kArcsecPerRadian; }

}  // namespace

ShadowRadii shadowRadii(const EphemerisSample& sun, const EphemerisSample& moon, RadiusRule rule) {
  const double moonParallax = asinArcsec(kEarthEquatorialRadiusKm / moon.distanceKm);
  const double sunParallax = asinArcsec(kEarthEquatorialRadiusKm / sun.distanceKm);
  const double sunSemiDiameter = asinArcsec(kSunRadiusKm / sun.distanceKm);
  const double moonSemiDiameter =
      asinArcsec(kMoonRadiusEarthRadii * kEarthEquatorialRadiusKm / moon.distanceKm);
  ShadowRadii r{};
  r.moonSemiDiameterArcsec = moonSemiDiameter;
  switch (rule) {
    case RadiusRule::Almanac:
      r.penumbraArcsec = 1.02 * (0.998340 * moonParallax + sunParallax + sunSemiDiameter);
      r.umbraArcsec = 1.02 * (0.998340 * moonParallax + sunParallax - sunSemiDiameter);
      break;
    case RadiusRule::Danjon:
      r.penumbraArcsec = 1.01 * moonParallax + sunParallax + sunSemiDiameter;
      r.umbraArcsec = 1.01 * moonParallax + sunParallax - sunSemiDiameter;
      break;
    case RadiusRule::Plain:
      r.penumbraArcsec = (moonParallax + sunParallax + sunSemiDiameter) * 51.0 / 50.0;
      r.umbraArcsec = (moonParallax + sunParallax - sunSemiDiameter) * 51.0 / 50.0;
      break;
  }
  return r;
}

AxisOffset axisOffset(const EphemerisSample& sun, const EphemerisSample& moon) {
  const double axisRa = (sun.raDeg + 180.0) * kDegToRad;
  const double axisDec = -sun.decDeg * kDegToRad;
  const double moonRa = moon.raDeg * kDegToRad;
  const double moonDec = moon.decDeg * kDegToRad;
  const double dRa = moonRa - axisRa;
  // East and north components of the direction to the Moon, scaled by sin ρ.
  const double east = std::cos(moonDec) * std::sin(dRa);
  const double north =
      std::cos(axisDec) * std::sin(moonDec) - std::sin(axisDec) * std::cos(moonDec) * std::cos(dRa);
  const double cosRho =
      std::sin(axisDec) * std::sin(moonDec) + std::cos(axisDec) * std::cos(moonDec) * std::cos(dRa);
  const double sinRho = std::hypot(east, north);
  if (sinRho == 0.0) return {0.0, 0.0};
  const double rhoArcsec = std::atan2(sinRho, cosRho) * kArcsecPerRadian;
  return {rhoArcsec * east / sinRho, rhoArcsec * north / sinRho};
}

Magnitudes magnitudesAt(const ShadowRadii& radii, double m) {
  const double s = radii.moonSemiDiameterArcsec;
  return {(radii.penumbraArcsec + s - m) / (2.0 * s), (radii.umbraArcsec + s - m) / (2.0 * s)};
}

double gammaAt(const AxisOffset& offset, const EphemerisSample& moon) {
  const double m = std::hypot(offset.xArcsec, offset.yArcsec) / kArcsecPerRadian;
  const double distance = std::sin(m) * moon.distanceKm / kEarthEquatorialRadiusKm;
  return offset.yArcsec < 0 ? -distance : distance;
}

}  // namespace tarvo::canongen
