// The local circumstances report: the current eclipse as seen from the
// observing site, as text lines at fixed rows of the view.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "catalogue/eclipse_record.h"
#include "circumstances/geometry.h"

namespace tarvo {

// One line of the report: the pixel row of its text (x is always 10) and the
// text, trailing blanks included.
struct ReportLine {
  int y;
  std::string text;
};

// The city named on the location line (displaySiteIndex 1..count).
struct ReportCity {
  std::string_view name;
  double longitudeDeg;
  double latitudeDeg;
  double heightM;
};

// One secant step towards altitude 0 through (t, a) and (t2, a2), hours and
// degrees. When the step cannot be taken (equal altitudes, or a result that
// is not finite) t is returned unchanged: the best estimate so far.
double horizonSecantStep(double t, double a, double t2, double a2);

// What the report is made from: the current eclipse, its greatest eclipse
// and contacts as found for the report, and the observing site.
struct LocalReportInputs {
  const EclipseRecord* record = nullptr;  // the elements (hours of TT from epochHour)
  double eclipseType = 0;                 // the catalogue's type code
  double epochHour = 0;                   // TT hour of t = 0
  double greatestJd = 0;                  // the catalogue's UT Julian Day of greatest eclipse
  double deltaTSeconds = 0;               // ΔT as shown (model + adjustment)
  double greatestOffsetHours = 0;         // greatest eclipse found, hours from epochHour
  ContactTimes contacts;                  // from greatestOffsetHours
  bool converged = false;                 // greatest eclipse and every contact converged
  double dayStartJd = 0;                  // UT Julian Day of 0 h UT of the eclipse's date
  SiteValues site;                        // degrees east, north; metres
  bool typedSite = false;                 // a site given by coordinates, not a city
};

struct LocalCalendarDay {
  double year = 0, month = 0, day = 0;  // local standard date
};

struct LocalReport {
  std::vector<ReportLine> lines;  // in drawing order
  // 1000 when the Moon neither sets nor rises during the eclipse, else the
  // moonset/moonrise time in hours from epochHour.
  double horizonCrossHours = 1000;
  LocalCalendarDay localEclipseDate;  // of greatest eclipse, at the site's standard zone
};

// The report's lines. city is the list entry named on the location line, or
// null: then a typed site gets the "Selected City" line and anything else no
// location line. An eclipse whose greatest eclipse or contacts did not
// converge gets only its heading: the location line and the three column
// heads (its date then comes from the catalogue's greatestJd).
LocalReport localReport(const LocalReportInputs& in, const ReportCity* city);

}  // namespace tarvo
