#include "circumstances/eclipse_circumstances.h"

#include <cmath>

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
  c.dayStartJd =
      c.greatestJd - (c.greatestHours + record.epochHour - c.deltaTHours()) / 24.0;
  return c;
}

double horizonSecantStep(double t, double a, double t2, double a2) {
  const double next = t + (t2 - t) / (a2 - a) * (0 - a);
  return std::isfinite(next) ? next : t;
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
  const double tG = e.greatestHours;
  const double aG = local.greatest.altitudeDeg;
  const bool sets = a1 > 0 && a4 < 0;
  const bool rises = a1 < 0 && a4 > 0;
  if (sets || rises) {
    // From the secant between the penumbral contacts, two secant steps each
    // through greatest eclipse.
    double t = sets ? horizonSecantStep(ct.p1, a1, ct.p4, a4) : horizonSecantStep(ct.p4, a4, ct.p1, a1);
    for (int i = 0; i < 2; ++i) t = horizonSecantStep(t, at(t).altitudeDeg, tG, aG);
    const SiteCircumstances c = at(t);
    if (finite(c)) local.horizon = HorizonCrossing{sets, t, c};
  }
  return local;
}

}  // namespace tarvo
