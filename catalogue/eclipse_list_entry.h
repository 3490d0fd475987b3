// One line of the eclipse list produced by the list search.
#pragma once

namespace tarvo {

struct EclipseListEntry {
  double year = 0;
  double month = 0;
  double day = 0;
  double type = 0;   // type code as in EclipseRecord
  double saros = 0;
};

}  // namespace tarvo
