// Moon and shadow geometry from an eclipse's polynomial elements.
// Times t are hours of TT from the entry's epochHour; ΔT is in seconds;
// angles are degrees. Every iteration is capped and says whether it converged.
#pragma once

#include "catalogue/eclipse_record.h"

namespace tarvo {

struct SessionState;

// The elements evaluated at one time t.
struct EclipseElements {
  double x, y;        // arcsec, Moon's centre from the shadow axis (east, north)
  double xDot, yDot;  // arcsec per hour
  double gst;         // Greenwich sidereal angle, degrees
  double lp, lu, lt;  // arcsec, centre distances at penumbral, umbral, internal contact
  double ra, dec;     // Moon's right ascension and declination, degrees
};

EclipseElements elementsAt(const EclipseRecord& r, double tHours);

struct GeoPoint {
  double longitudeDeg;  // east positive, −180 < λ ≤ 180
  double latitudeDeg;   // north positive
};

// Where the Moon stands in the zenith at time t.
GeoPoint subLunarPoint(const EclipseRecord& r, double tHours, double deltaTSeconds);

// Newton iterations stop after this many steps; a result counts as converged
// only when its last step was below kStepToleranceHours and t is finite.
inline constexpr int kMaxNewtonSteps = 50;
inline constexpr double kStepToleranceHours = 1e-6;

struct GreatestEclipse {
  double tHours;       // time of least distance from the shadow axis
  GeoPoint subLunar;   // sub-lunar point at tHours
  bool converged;
};

GreatestEclipse findGreatest(const EclipseRecord& r, double tStartHours, double deltaTSeconds);

// The six contacts in hours from epochHour; 0 for a contact the type lacks
// (U2, U3 for a partial eclipse; U1 to U4 for a penumbral eclipse).
struct ContactTimes {
  double p1 = 0, u1 = 0, u2 = 0, u3 = 0, u4 = 0, p4 = 0;
  bool converged = false;  // every computed contact converged
};

ContactTimes findContacts(const EclipseRecord& r, double tGreatestHours);

// Which contacts an eclipse type code has: every type the penumbral ones;
// all but penumbral eclipses (3) the umbral ones U1, U4; all but partial (2)
// and penumbral eclipses the internal ones U2, U3 (blank codes 0, 4–6 have all).
struct ContactKinds {
  bool umbral;
  bool total;
};
ContactKinds contactKindsOf(double eclipseType);

// The observing site as the geometry uses it (height carried, unused:
// altitudes are geocentric).
struct SiteValues {
  double longitudeDeg = 0;  // east positive
  double latitudeDeg = 0;   // north positive
  double heightM = 0;
};

// The observing site of the session (siteLongitude, siteLatitude,
// siteHeight), taken before every site evaluation.
SiteValues prepareSite(const SessionState& state);

struct SiteCircumstances {
  double umbralMagnitude;  // negative outside the umbral phase
  double altitudeDeg;      // geocentric, no refraction
  double azimuthDeg;       // from the south through the west, 0..360
};

SiteCircumstances siteCircumstances(const EclipseRecord& r, const SiteValues& site, double tHours,
                                    double deltaTSeconds);

struct SiteAtGreatest {
  double umbralMagnitude;
  double altitudeDeg;
  bool converged;  // the greatest-eclipse iteration converged
};

// Greatest eclipse from tStart, then the site's magnitude and altitude there.
// No allocation: the site searches call it once per catalogue entry.
SiteAtGreatest greatestAtSite(const EclipseRecord& r, const SiteValues& site, double tStartHours,
                              double deltaTSeconds);

// Brings the values kept for the current eclipse up to date, as the map
// pipeline and the local report need them: deltaTHours; greatest eclipse from
// greatestGuessHours with deltaT (greatestOffsetHours, the signed sub-lunar
// point in greatestLongitude/greatestLatitude and greatestSubLunar,
// greatestConverged, greatestDeltaTSeconds), then greatestGuessHours =
// greatestOffsetHours; the contacts; horizonCrossHours = 10000 (none); and
// dayStartJd, the UT Julian Day of 0 h UT of the eclipse's date. Uses
// state.current for the elements and greatestJd, epochHour of the state.
void updateGreatestEclipse(SessionState& state);

// True when greatest eclipse and every contact of the current eclipse
// converged; otherwise only the catalogue's own values may be shown.
bool currentEclipseConverged(const SessionState& state);

}  // namespace tarvo
