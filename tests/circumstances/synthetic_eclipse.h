// A synthetic total eclipse with curved elements, for geometry tests that need
// an entry whose answers are known without a catalogue file.
#pragma once

#include "catalogue/eclipse_record.h"

namespace tarvo::testing {

// Elements in arcsec, degrees and hours of TT from epochHour 12.
inline EclipseRecord totalEclipse() {
  EclipseRecord r;
  r.eclipseType = 1;
  r.epochHour = 12;
  r.greatestJd = 2460000.0;
  r.x0 = -300; r.x1 = 1800; r.x2 = 2.0; r.x3 = 0.1;
  r.y0 = 500; r.y1 = -150; r.y2 = -1.0; r.y3 = 0.05;
  r.gst0 = 100; r.gst1 = 15.0410686;
  r.lp0 = 5500; r.lp1 = 0.1;
  r.lu0 = 3500; r.lu1 = -0.05;
  r.lt0 = 1700; r.lt1 = 0.02;
  r.ra0 = 180; r.ra1 = 0.55;
  r.dec0 = 5; r.dec1 = -0.25;
  return r;
}

}  // namespace tarvo::testing
