// The local circumstances report: the current eclipse as seen from the
// observing site, as text lines at fixed rows of the view.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "circumstances/eclipse_circumstances.h"

namespace tarvo {

// One line of the report: the pixel row of its text (x is always 10) and the
// text, trailing blanks included.
struct ReportLine {
  int y;
  std::string text;
};

// The city of the list named on the location line.
struct ReportCity {
  std::string_view name;
  double longitudeDeg;
  double latitudeDeg;
  double heightM;
};

struct LocalCalendarDay {
  double year = 0, month = 0, day = 0;  // local standard date
};

struct LocalReport {
  std::vector<ReportLine> lines;  // in drawing order
  // The moonset or moonrise during the eclipse, hours from epochHour; none
  // when the Moon neither sets nor rises then.
  std::optional<double> horizonCrossHours;
  LocalCalendarDay localEclipseDate;  // of greatest eclipse, at the site's standard zone
};

// The report's lines, formatted from the eclipse and its local
// circumstances at local.site. city is the list entry named on the location
// line, or null: then a typed site (typedSite) gets the "Selected City" line
// and anything else no location line. An eclipse whose greatest eclipse or
// contacts did not converge gets only its heading: the location line and the
// three column heads (its date then comes from the catalogue's greatestJd).
//
// The Alt. column gives the Moon's geocentric geometric altitude (no
// refraction, no parallax). Given seenAltitudeDeg (the altitude an observer
// at the site sees at t hours of TT from epochHour: topocentric, refracted),
// the column prints that instead and the note line says so; which rows are
// shown stays the same.
using SeenAltitude = std::function<double(double tHours)>;
LocalReport localReport(const EclipseCircumstances& eclipse, const LocalCircumstances& local,
                        const ReportCity* city, bool typedSite, const SeenAltitude& seenAltitudeDeg = {});

// The note line's text with seen altitudes.
inline constexpr const char* kSeenAltitudeNote =
    " Note:  Local Time = UT + Longitude/15.0     Alt. as seen (topocentric, refracted)";

}  // namespace tarvo
