// The circumstances of one catalogue entry for one ΔT, and from them the
// local circumstances at one site: pure functions of their inputs, cheap to
// evaluate again at another ΔT or another site.
//
// Times t are hours of TT counted from the entry's epochHour; ΔT is in
// seconds; angles are degrees.
#pragma once

#include <optional>
#include <vector>

#include "catalogue/eclipse_record.h"
#include "circumstances/geometry.h"

namespace tarvo {

// The eclipse type as a whole number 0..9 (1 total, 2 partial, 3 penumbral);
// anything else counts as 0.
int eclipseTypeCode(double eclipseType);

struct EclipseCircumstances {
  EclipseRecord record;          // the entry as read (UT date), its elements
  double deltaTSeconds = 0;      // ΔT the values below were found with
  // Greatest eclipse, hours of TT from epochHour, and the sub-lunar point
  // there; 0 and (0, 0) when the iteration did not converge.
  double greatestHours = 0;
  GeoPoint subLunar{0, 0};
  bool greatestConverged = false;  // greatest eclipse and its sub-lunar point are finite
  ContactTimes contacts;           // from greatestHours; empty when it did not converge
  double greatestJd = 0;           // the catalogue's UT Julian Day of greatest eclipse
  // UT Julian Day of 0 h UT of the UT date of greatest eclipse, so that
  // 0 ≤ utHours(greatestHours) < 24 at every ΔT (it is days away from the
  // TT date when ΔT is large).
  double dayStartJd = 0;
  // Whole days from the TT date of t = 0 to that UT date, in hours (0 unless
  // ΔT moves greatest eclipse to another day).
  double utDayShiftHours = 0;

  // Greatest eclipse and every contact converged: only then are the computed
  // values to be shown.
  bool converged() const { return greatestConverged && contacts.converged; }
  double deltaTHours() const { return deltaTSeconds / 3600.0; }
  // The instant tHours (TT from epochHour) as hours of UT after dayStartJd;
  // below 0 for an instant on the day before (a contact before midnight).
  double utHours(double tHours) const {
    return record.epochHour + tHours - deltaTHours() - utDayShiftHours;
  }
};

// Greatest eclipse by Newton's method from guessHours (TT from epochHour),
// its sub-lunar point with deltaTSeconds, the contacts and dayStartJd.
EclipseCircumstances eclipseCircumstances(const EclipseRecord& record, double deltaTSeconds,
                                          double guessHours);

// A moonset or moonrise during the eclipse at the site.
struct HorizonCrossing {
  bool moonSets;          // true: the Moon sets (up at P1, down at P4); false: it rises
  double tHours;          // TT from epochHour
  SiteCircumstances at;   // magnitude and the Moon's place there
};

// The eclipse seen from one site: magnitude, altitude and azimuth at greatest
// eclipse and at each contact the eclipse has (geocentric, no refraction).
struct LocalCircumstances {
  SiteValues site;
  SiteCircumstances p1{}, greatest{}, p4{};
  std::optional<SiteCircumstances> u1, u2, u3, u4;  // where the contact exists
  // The Moon's crossings of the horizon between P1 and P4, in time order,
  // those whose circumstances are finite: one when the Moon is up at one
  // penumbral contact and down at the other; two when it is up (or down) at
  // both and sets and rises again (or rises and sets) between them.
  std::vector<HorizonCrossing> horizons;
};

// The local circumstances of an eclipse whose greatest eclipse and contacts
// converged (otherwise the values are not meaningful). A single horizon
// crossing is searched between the two events (contacts, greatest eclipse)
// on either side of it; with the Moon on the same side of the horizon at P1
// and P4, the altitude is sampled every kHorizonSampleHours between the
// events for a set and a rise. Each crossing to a second (findHorizonCrossing).
inline constexpr double kHorizonSampleHours = 0.05;  // 3 minutes

LocalCircumstances localCircumstances(const EclipseCircumstances& eclipse, const SiteValues& site);

}  // namespace tarvo
