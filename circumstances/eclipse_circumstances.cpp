#include "circumstances/eclipse_circumstances.h"

#include <cmath>
#include <vector>

#include "circumstances/horizon_crossing.h"

namespace tarvo {

namespace {

bool finite(const SiteCircumstances& c) {
  return std::isfinite(c.umbralMagnitude) && std::isfinite(c.altitudeDeg) &&
         std::isfinite(c.azimuthDeg);
}

}  // namespace

int eclipseTypeCode(double eclipseType) {
  const double type = std::trunc(eclipseType);
  return type >= 0 && type <= 9 ? static_cast<int>(type) : 0;
}

EclipseCircumstances eclipseCircumstances(const EclipseRecord& record, double deltaTSeconds,
                                          double guessHours) {
  EclipseCircumstances c;
  c.record = record;
  c.deltaTSeconds = deltaTSeconds;
  c.greatestJd = record.greatestJd;
  const GreatestEclipse g = findGreatest(record, guessHours, deltaTSeconds);
  c.greatestConverged = g.converged && std::isfinite(g.subLunar.longitudeDeg) &&
                        std::isfinite(g.subLunar.latitudeDeg);
  if (c.greatestConverged) {
    c.greatestHours = g.tHours;
    c.subLunar = g.subLunar;
    c.contacts = findContacts(record, g.tHours);
  }
  // Without a greatest eclipse the placeholders stay finite (the reference
  // hour, no contacts); converged() tells readers not to show them.
  // greatestJd less the hours of greatest eclipse counted from 0 h of the TT
  // date of t = 0 (epochHour + greatestHours − ΔT/3600) is that midnight;
  // the UT date of greatest eclipse is whole days from it.
  const double ttDateStartJd =
      c.greatestJd - (c.greatestHours + record.epochHour - c.deltaTHours()) / 24.0;
  c.utDayShiftHours = 24.0 * std::floor(c.utHours(c.greatestHours) / 24.0);
  c.dayStartJd = ttDateStartJd + c.utDayShiftHours / 24.0;
  return c;
}

LocalCircumstances localCircumstances(const EclipseCircumstances& e, const SiteValues& site) {
  LocalCircumstances local;
  local.site = site;
  const auto at = [&](double t) { return siteCircumstances(e.record, site, t, e.deltaTSeconds); };
  const auto atContact = [&](const std::optional<double>& t) -> std::optional<SiteCircumstances> {
    if (!t) return std::nullopt;
    return at(*t);
  };
  const ContactTimes& ct = e.contacts;
  local.p1 = at(ct.p1);
  local.u1 = atContact(ct.u1);
  local.u2 = atContact(ct.u2);
  local.greatest = at(e.greatestHours);
  local.u3 = atContact(ct.u3);
  local.u4 = atContact(ct.u4);
  local.p4 = at(ct.p4);

  const double a1 = local.p1.altitudeDeg;
  const double a4 = local.p4.altitudeDeg;
  const bool sets = a1 > 0 && a4 < 0;
  const bool rises = a1 < 0 && a4 > 0;
  if (sets || rises) {
    std::vector<double> events{ct.p1};
    for (const std::optional<double>& t : {ct.u1, ct.u2}) if (t) events.push_back(*t);
    events.push_back(e.greatestHours);
    for (const std::optional<double>& t : {ct.u3, ct.u4}) if (t) events.push_back(*t);
    events.push_back(ct.p4);
    const auto found = findHorizonCrossing(e.record, site, e.deltaTSeconds, events,
                                           sets ? HorizonDirection::Set : HorizonDirection::Rise);
    if (found && finite(found->at)) local.horizon = HorizonCrossing{sets, found->tHours, found->at};
  }
  return local;
}

}  // namespace tarvo
