#include "circumstances/eclipse_circumstances.h"

#include <cmath>
#include <span>
#include <vector>

#include "circumstances/horizon_crossing.h"

namespace tarvo {

namespace {

// Longer than any eclipse from P1 to P4 (about 6 h): a longer span is no
// eclipse to sample.
constexpr double kMaxEclipseHours = 12;

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
  // date of t = 0 (epochHour + greatestHours − ΔT/3600) is that midnight, to
  // within the seconds by which the catalogue's ΔT and greatest eclipse
  // differ from these: rounded to the midnight (JD ending in .5), so that
  // dayStartJd + utHours(t)/24 is the very instant utHours(t) names. The UT
  // date of greatest eclipse is whole days from it.
  const double ttDateStartJd =
      std::round(c.greatestJd - (c.greatestHours + record.epochHour - c.deltaTHours()) / 24.0 - 0.5) + 0.5;
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
  std::vector<double> events{ct.p1};
  for (const std::optional<double>& t : {ct.u1, ct.u2}) if (t) events.push_back(*t);
  events.push_back(e.greatestHours);
  for (const std::optional<double>& t : {ct.u3, ct.u4}) if (t) events.push_back(*t);
  events.push_back(ct.p4);
  const auto crossing = [&](std::span<const double> times, HorizonDirection direction) {
    const auto found = findHorizonCrossing(e.record, site, e.deltaTSeconds, times, direction);
    return found && finite(found->at)
               ? std::optional<HorizonCrossing>(HorizonCrossing{direction == HorizonDirection::Set, found->tHours, found->at})
               : std::nullopt;
  };
  if (sets || rises) {
    if (auto h = crossing(events, sets ? HorizonDirection::Set : HorizonDirection::Rise)) local.horizons.push_back(*h);
  } else if (std::isfinite(a1) && std::isfinite(a4) && ct.p4 - ct.p1 < kMaxEclipseHours) {
    // Up (or down) at both ends: a set and a rise again lie between two
    // samples where the altitude changes side. The first crossing away from
    // P1's side comes first, the one back after it.
    std::vector<double> samples;
    for (std::size_t i = 0; i + 1 < events.size(); ++i) {
      const double span = events[i + 1] - events[i];
      const int steps = span > 0 ? static_cast<int>(std::ceil(span / kHorizonSampleHours)) : 0;
      for (int k = 0; k < steps; ++k) samples.push_back(events[i] + span * k / steps);
    }
    samples.push_back(ct.p4);
    const bool upAtStart = a1 > 0;
    const auto away = crossing(samples, upAtStart ? HorizonDirection::Set : HorizonDirection::Rise);
    const auto back = crossing(samples, upAtStart ? HorizonDirection::Rise : HorizonDirection::Set);
    if (away && back && away->tHours < back->tHours) local.horizons = {*away, *back};
  }
  return local;
}

}  // namespace tarvo
