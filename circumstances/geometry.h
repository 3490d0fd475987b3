// Moon and shadow geometry from an eclipse's polynomial elements: pure
// functions of a record, a site and times.
//
// Times t are hours of TT counted from the entry's epochHour; ΔT is in
// seconds; angles are degrees. Every iteration is capped and says whether it
// converged; nothing here throws or reads the session.
#pragma once

#include <array>
#include <optional>

#include "catalogue/eclipse_record.h"

namespace tarvo {

// The elements evaluated at one time t.
struct EclipseElements {
  double x, y;        // arcsec, Moon's centre from the shadow axis (east, north)
  double xDot, yDot;  // arcsec per hour
  double gst;         // Greenwich sidereal angle, degrees
  double lp, lu, lt;  // arcsec, centre distances at penumbral, umbral, internal contact
  double ra, dec;     // Moon's right ascension and declination, degrees
};

// The record's polynomials at tHours (hours of TT from epochHour). Any finite
// or non-finite t is accepted; non-finite inputs give non-finite elements.
EclipseElements elementsAt(const EclipseRecord& r, double tHours);

struct GeoPoint {
  double longitudeDeg;  // east positive, −180 < λ ≤ 180
  double latitudeDeg;   // north positive
};

// Where the Moon stands in the zenith at tHours (TT from epochHour), the
// Earth's rotation taken back by deltaTSeconds. Non-finite inputs give a
// non-finite point.
GeoPoint subLunarPoint(const EclipseRecord& r, double tHours, double deltaTSeconds);

// Newton iterations stop after this many steps; a result counts as converged
// only when its last step was below kStepToleranceHours and t is finite.
inline constexpr int kMaxNewtonSteps = 50;
inline constexpr double kStepToleranceHours = 1e-6;

struct GreatestEclipse {
  double tHours;       // time of least distance from the shadow axis (TT from epochHour)
  GeoPoint subLunar;   // sub-lunar point at tHours
  bool converged;      // false: tHours and subLunar are not to be shown
};

// Greatest eclipse by Newton's method on the distance from the shadow axis,
// starting at tStartHours; the sub-lunar point uses deltaTSeconds.
GreatestEclipse findGreatest(const EclipseRecord& r, double tStartHours, double deltaTSeconds);

// The six contacts in hours of TT from epochHour. P1 and P4 exist for every
// eclipse; an umbral or internal contact the type lacks is absent (nullopt),
// never a time, so t = 0 always means the reference hour itself.
struct ContactTimes {
  double p1 = 0, p4 = 0;                  // penumbral contacts
  std::optional<double> u1, u4;           // umbral contacts (partial and total eclipses)
  std::optional<double> u2, u3;           // internal contacts (total eclipses)
  bool converged = false;                 // every computed contact converged
};

// The contacts on either side of tGreatestHours, each by Newton's method.
// A contact whose Newton loop gives up, or stops off its circle, is found by
// bisection between greatest eclipse and a time outside the circle (converged
// once the bracket is below kStepToleranceHours); a Moon that misses the
// circle by at most half an arcsecond at greatest eclipse touches it there,
// both contacts at tGreatestHours. Which contacts are computed follows
// contactKindsOf; for a blank type code (0, 4–6) an umbral or internal circle
// the Moon misses at greatest eclipse has none (nullopt). converged is false when any computed contact could not be
// found; the times are then not to be shown.
ContactTimes findContacts(const EclipseRecord& r, double tGreatestHours);

// Which contacts an eclipse type code has: every type the penumbral ones;
// all but penumbral eclipses (3) the umbral ones U1, U4; all but partial (2)
// and penumbral eclipses the internal ones U2, U3 (blank codes 0, 4–6 have all).
struct ContactKinds {
  bool umbral;
  bool total;
};
ContactKinds contactKindsOf(double eclipseType);

// The contacts in time order with their names: the one table every list of
// contacts follows. label as texts write it ("P1"), key as keys and columns
// do ("p1", "p1_ut", "alt_p1").
inline constexpr int kContactCount = 6;
enum class ContactCircle { Penumbral, Umbral, Internal };
struct ContactName {
  const char* label;
  const char* key;
  ContactCircle circle;
};
inline constexpr std::array<ContactName, kContactCount> kContactNames = {{
    {"P1", "p1", ContactCircle::Penumbral},
    {"U1", "u1", ContactCircle::Umbral},
    {"U2", "u2", ContactCircle::Internal},
    {"U3", "u3", ContactCircle::Internal},
    {"U4", "u4", ContactCircle::Umbral},
    {"P4", "p4", ContactCircle::Penumbral},
}};
// The contact times in that order (hours of the elements; absent where the
// eclipse has no such contact).
std::array<std::optional<double>, kContactCount> contactTimesInOrder(const ContactTimes& c);
// Whether an eclipse of these kinds has contacts on that circle.
bool hasContactsOn(const ContactKinds& kinds, ContactCircle circle);

// The observing site as the geometry uses it (height carried, unused:
// altitudes are geocentric).
struct SiteValues {
  double longitudeDeg = 0;  // east positive
  double latitudeDeg = 0;   // north positive
  double heightM = 0;
};

struct SiteCircumstances {
  double umbralMagnitude;  // negative outside the umbral phase
  double altitudeDeg;      // geocentric, no refraction
  double azimuthDeg;       // from the south through the west, 0..360
};

// Umbral magnitude and the Moon's place in the site's sky at tHours (TT from
// epochHour), the Earth's rotation taken back by deltaTSeconds. Non-finite
// inputs give non-finite values.
SiteCircumstances siteCircumstances(const EclipseRecord& r, const SiteValues& site, double tHours,
                                    double deltaTSeconds);

// The Moon's local hour angle, degrees (not wrapped), at a site of longitude
// longitudeDeg (east positive) for the elements e, the Earth's rotation taken
// back by deltaTSeconds.
double moonHourAngleDeg(const EclipseElements& e, double longitudeDeg, double deltaTSeconds);

struct SiteAtGreatest {
  double umbralMagnitude;
  double altitudeDeg;
  bool converged;  // the greatest-eclipse iteration converged
};

// Greatest eclipse from tStartHours, then the site's magnitude and altitude
// there. No allocation: the site searches call it once per catalogue entry.
SiteAtGreatest greatestAtSite(const EclipseRecord& r, const SiteValues& site, double tStartHours,
                              double deltaTSeconds);

}  // namespace tarvo
