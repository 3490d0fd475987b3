// Probing a drawn picture: how many pixels of a colour lie in a box.
#pragma once

#include "surface/drawing_surface.h"

namespace tarvo::testing {

// Pixels of exactly colour c in the inclusive box.
inline int countInBox(const DrawingSurface& s, int x0, int y0, int x1, int y1, Rgb c) {
  int n = 0;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) n += s.pixel(x, y) == c;
  return n;
}

}  // namespace tarvo::testing
