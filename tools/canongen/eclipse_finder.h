// One full moon at a time: is it a lunar eclipse, and if so its catalogue
// entry (date, type, magnitudes, gamma, Saros, and the fitted polynomial
// elements) from apparent geocentric places of the Sun and the Moon.
#pragma once

#include <string>

#include "catalogue/eclipse_record.h"
#include "tools/canongen/ephemeris.h"
#include "tools/canongen/shadow_geometry.h"

namespace tarvo::canongen {

// Largest |fit − computed value| over an entry's samples.
struct FitResiduals {
  double xArcsec = 0, yArcsec = 0;
  double lpArcsec = 0, luArcsec = 0, ltArcsec = 0;
  double gstDeg = 0, raDeg = 0, decDeg = 0;
};

enum class LunationOutcome {
  Eclipse,           // entry filled
  NoEclipse,         // the Moon misses the penumbra
  OutsideEphemeris,  // the ephemeris cannot answer near this full moon
  Failed,            // an iteration or a fit did not converge (a fault)
};

struct LunationResult {
  LunationOutcome outcome = LunationOutcome::NoEclipse;
  EclipseRecord entry;     // TT date and TT greatestJd, as written to the canon
  FitResiduals residuals;  // of this entry's fits
  std::string failure;     // what went wrong, for Failed
};

// The full moon with lunation number n (see lunation.h), its shadow radii by
// `rule`. The elements are fitted from P1 − 30 min to P4 + 30 min.
LunationResult examineLunation(Ephemeris& ephemeris, long lunation, RadiusRule rule);

}  // namespace tarvo::canongen
