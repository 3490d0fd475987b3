#include "circumstances/observer_answer.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "base/text_format.h"
#include "timebase/historical_dates.h"

namespace tarvo {

namespace {

constexpr const char* kMonthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                                         "July",    "August",   "September", "October", "November", "December"};

struct ClockDay {
  double year, month, day;
};

ClockDay clockDay(JulianDay jdLocal) {
  const CalendarDate d = jdToCalendar(jdLocal, ZoneMode::StandardZone, 0);
  return {d.year, d.month, d.day};
}

std::string yearText(double year) { return year >= 1 ? formatString("%.0f", year) : historicalYearText(year); }

std::string dayMonth(const ClockDay& d) {
  return formatString("%.0f %s", d.day, kMonthNames[std::clamp(static_cast<int>(d.month), 1, 12) - 1]);
}

std::string dayText(const ClockDay& d) { return dayMonth(d) + " " + yearText(d.year); }

// "night of 7–8 September 2025", "night of 31 August–1 September 2025".
std::string nightText(const ClockDay& a, const ClockDay& b) {
  if (a.year != b.year) return "night of " + dayText(a) + "\u2013" + dayText(b);
  if (a.month != b.month) return "night of " + dayMonth(a) + "\u2013" + dayText(b);
  return formatString("night of %.0f\u2013", a.day) + dayText(b);
}

std::string degreesText(double deg) { return formatString("%.0f\u00B0", std::fabs(std::round(deg))); }

std::string moonPlace(const SiteInstant& s) {
  if (std::round(s.moonAltitudeDeg) < 1) {
    return std::string("the Moon on the horizon in the ") + compassPoint(s.moonAzimuthDeg);
  }
  return "the Moon " + degreesText(s.moonAltitudeDeg) + " high in the " + compassPoint(s.moonAzimuthDeg);
}

// What the sky words call an instant.
const char* instantName(AnswerEventKind k) {
  switch (k) {
    case AnswerEventKind::P1: return "the start of the penumbral phase";
    case AnswerEventKind::U1: return "the start of the partial phase";
    case AnswerEventKind::U2: return "the start of totality";
    case AnswerEventKind::Greatest: return "greatest eclipse";
    case AnswerEventKind::U3: return "the end of totality";
    case AnswerEventKind::U4: return "the end of the partial phase";
    case AnswerEventKind::P4: return "the end of the penumbral phase";
    case AnswerEventKind::Moonrise: return "moonrise";
    case AnswerEventKind::Moonset: return "moonset";
  }
  return "";
}

std::string typeWords(double type) {
  switch (static_cast<int>(std::trunc(type))) {
    case 1: return "Total lunar eclipse";
    case 2: return "Partial lunar eclipse";
    case 3: return "Penumbral lunar eclipse";
    default: return "Lunar eclipse";
  }
}

std::string coverageWords(const ObserverAnswer& a) {
  const bool total = static_cast<int>(std::trunc(a.eclipseType)) == 1;
  switch (a.deepest) {
    case EclipsePhase::None: return "not seen";
    case EclipsePhase::Total:
      if (a.eclipse == PhaseCoverage::Whole) return "seen whole";
      return a.totality == PhaseCoverage::Whole ? "totality seen whole" : "totality seen in part";
    case EclipsePhase::Partial:
      if (a.eclipse == PhaseCoverage::Whole) return "seen whole";
      return std::string(a.partial == PhaseCoverage::Whole ? "the partial phase seen whole"
                                                           : "the partial phase seen in part") +
             (total ? ", totality not" : "");
    case EclipsePhase::Penumbral:
      if (a.eclipse == PhaseCoverage::Whole) return "seen whole";
      return static_cast<int>(std::trunc(a.eclipseType)) == 3 ? "seen in part"
                                                               : "only the faint penumbral phase seen";
  }
  return "";
}

// "03:11", with the zone's abbreviation when it is not the headline's
// (the clocks changed during the eclipse).
std::string eventTime(const ObserverAnswer& a, const AnswerEvent& e) {
  std::string t = clockMinuteText(e.at.jdUt, e.zone);
  if (e.zone.abbreviation != a.zoneAtGreatest.abbreviation || e.zone.offsetSeconds != a.zoneAtGreatest.offsetSeconds) {
    t += " " + e.zone.abbreviation;
  }
  return t;
}

std::string timesWords(const ObserverAnswer& a) {
  // The instants seen, and greatest eclipse even when it is not.
  std::vector<const AnswerEvent*> seen;
  for (const AnswerEvent& e : a.events)
    if (e.seen || e.kind == AnswerEventKind::Greatest) seen.push_back(&e);
  std::size_t firstSeen = seen.size(), lastSeen = seen.size();
  for (std::size_t i = 0; i < seen.size(); ++i) {
    if (!seen[i]->seen) continue;
    if (firstSeen == seen.size()) firstSeen = i;
    lastSeen = i;
  }
  std::vector<std::string> clauses;
  bool totalMerged = false;
  for (std::size_t i = 0; i < seen.size(); ++i) {
    const AnswerEvent& e = *seen[i];
    const std::string t = eventTime(a, e);
    std::string c;
    switch (e.kind) {
      case AnswerEventKind::P1: c = "penumbral from " + t; break;
      case AnswerEventKind::U1: c = "partial from " + t; break;
      case AnswerEventKind::U2: {
        const auto u3 = std::find_if(seen.begin(), seen.end(),
                                     [](const AnswerEvent* x) { return x->kind == AnswerEventKind::U3; });
        totalMerged = u3 != seen.end();
        c = totalMerged ? "total " + t + "\u2013" + eventTime(a, **u3) : "total from " + t;
        break;
      }
      case AnswerEventKind::Greatest:
        c = "greatest " + t + " with " + (e.seen ? moonPlace(e.at) : std::string("the Moon below the horizon"));
        break;
      case AnswerEventKind::U3:
        if (totalMerged) continue;
        c = "total until " + t;
        break;
      case AnswerEventKind::U4: c = "partial until " + t; break;
      case AnswerEventKind::P4: c = "penumbral until " + t; break;
      case AnswerEventKind::Moonrise: c = "moonrise " + t + " in the " + compassPoint(e.at.moonAzimuthDeg); break;
      case AnswerEventKind::Moonset: c = "moonset " + t + " in the " + compassPoint(e.at.moonAzimuthDeg); break;
    }
    const bool contact = e.kind != AnswerEventKind::Greatest && e.kind != AnswerEventKind::Moonrise &&
                         e.kind != AnswerEventKind::Moonset;
    if (contact && (i == firstSeen || i == lastSeen)) c += " (" + moonPlace(e.at) + ")";
    clauses.push_back(std::move(c));
  }
  std::string out;
  for (const std::string& c : clauses) out += (out.empty() ? "" : ", ") + c;
  if (!out.empty()) out[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(out[0])));
  return out.empty() ? out : out + ".";
}

std::string skyWords(const ObserverAnswer& a) {
  std::string daylight, twilight;
  for (const AnswerEvent& e : a.events) {
    if (!e.seen) continue;
    const SkyBrightness light = skyBrightnessOf(e.at.sunAltitudeDeg);
    if (light == SkyBrightness::Dark) continue;
    std::string& list = light == SkyBrightness::Daylight ? daylight : twilight;
    const double sun = e.at.sunAltitudeDeg;
    const std::string where = std::fabs(sun) < 1 ? "on the horizon" : degreesText(sun) + (sun > 0 ? " up" : " down");
    list += (list.empty() ? "" : ", ") + std::string(instantName(e.kind)) + " (Sun " + where + ")";
  }
  if (daylight.empty() && twilight.empty()) return "The sky is dark throughout.";
  std::string out;
  if (!daylight.empty()) out = "Daylight at " + daylight;
  if (!twilight.empty()) out += (out.empty() ? "Twilight at " : "; twilight at ") + twilight;
  return out + ".";
}

}  // namespace

const char* answerEventName(AnswerEventKind k) {
  switch (k) {
    case AnswerEventKind::P1: return "p1";
    case AnswerEventKind::U1: return "u1";
    case AnswerEventKind::U2: return "u2";
    case AnswerEventKind::Greatest: return "greatest";
    case AnswerEventKind::U3: return "u3";
    case AnswerEventKind::U4: return "u4";
    case AnswerEventKind::P4: return "p4";
    case AnswerEventKind::Moonrise: return "moonrise";
    case AnswerEventKind::Moonset: return "moonset";
  }
  return "";
}

const char* compassPoint(double azimuthDeg) {
  static constexpr const char* kPoints[16] = {
      "north", "north-north-east", "north-east", "east-north-east", "east", "east-south-east",
      "south-east", "south-south-east", "south", "south-south-west", "south-west", "west-south-west",
      "west", "west-north-west", "north-west", "north-north-west"};
  double a = std::fmod(azimuthDeg, 360.0);
  if (a < 0) a += 360.0;
  return kPoints[static_cast<int>(std::floor(a / 22.5 + 0.5)) % 16];
}

std::string clockDateText(JulianDay jdUt, const ZoneOffset& zone) { return dayText(clockDay(clockJd(jdUt, zone))); }

std::string clockMinuteText(JulianDay jdUt, const ZoneOffset& zone) {
  const double minutes = std::round((clockJd(jdUt, zone) + 0.5) * 1440.0);
  const long long m = static_cast<long long>(minutes - std::floor(minutes / 1440.0) * 1440.0);
  return formatString("%02lld:%02lld", m / 60, m % 60);
}

std::string clockDateMinuteText(JulianDay jdUt, const ZoneOffset& zone) {
  const double minutes = std::round((clockJd(jdUt, zone) + 0.5) * 1440.0);
  // A quarter of a minute into the rounded minute keeps its day whatever the rounding of the division.
  const JulianDay local = (minutes + 0.25) / 1440.0 - 0.5;
  return dayText(clockDay(local)) + " " + clockMinuteText(jdUt, zone);
}

ObserverAnswer observerAnswer(double eclipseType, double penumbralMagnitude, double umbralMagnitude,
                              const Visibility& v, std::string place, SiteZone zone, double deltaTSigmaSeconds,
                              const ZoneDatabase& zones) {
  ObserverAnswer a;
  a.eclipseType = eclipseType;
  a.penumbralMagnitude = penumbralMagnitude;
  a.umbralMagnitude = umbralMagnitude;
  a.place = std::move(place);
  a.zone = std::move(zone);
  a.deltaTSigmaSeconds = deltaTSigmaSeconds;
  a.uncertain = v.uncertain;
  a.faint = v.faint;
  const PhaseSeen& s = v.seen;
  a.deepest = s.deepest;
  a.eclipse = s.eclipse;
  a.partial = s.partial;
  a.totality = s.totality;
  a.zoneAtGreatest = zoneOffsetAt(a.zone, zones, s.greatest.jdUt);
  const auto add = [&](AnswerEventKind k, const SiteInstant& at, bool seen) {
    a.events.push_back({k, at, zoneOffsetAt(a.zone, zones, at.jdUt), seen});
  };
  static constexpr AnswerEventKind kContactKinds[6] = {AnswerEventKind::P1, AnswerEventKind::U1, AnswerEventKind::U2,
                                                       AnswerEventKind::U3, AnswerEventKind::U4, AnswerEventKind::P4};
  for (std::size_t i = 0; i < 6; ++i) {
    if (s.contacts[i]) add(kContactKinds[i], *s.contacts[i], s.contacts[i]->moonUp());
  }
  if (!v.converged) return a;
  add(AnswerEventKind::Greatest, s.greatest, s.greatest.moonUp());
  for (const PhaseSeen::HorizonEvent& h : s.horizonEvents) {
    add(h.rises ? AnswerEventKind::Moonrise : AnswerEventKind::Moonset, h.at, true);
  }
  // Contacts before greatest eclipse at equal times, as the report lists them.
  std::stable_sort(a.events.begin(), a.events.end(),
                   [](const AnswerEvent& x, const AnswerEvent& y) { return x.at.tHours < y.at.tHours; });
  return a;
}

std::string answerWords(const ObserverAnswer& a) {
  const std::vector<AnswerEvent>& ev = a.events;
  const auto greatest = std::find_if(ev.begin(), ev.end(), [](const AnswerEvent& e) {
    return e.kind == AnswerEventKind::Greatest;
  });
  if (greatest == ev.end()) return typeWords(a.eclipseType) + ": its circumstances could not be computed.";
  // The night (or day) is that of the first instant seen, or of greatest
  // eclipse when nothing is seen.
  const auto first = std::find_if(ev.begin(), ev.end(), [](const AnswerEvent& e) { return e.seen; });
  const AnswerEvent& ref = first != ev.end() ? *first : *greatest;
  const JulianDay local = clockJd(ref.at.jdUt, ref.zone);
  const ClockDay day = clockDay(local);
  std::string when;
  if (skyBrightnessOf(ref.at.sunAltitudeDeg) == SkyBrightness::Daylight) {
    when = "on " + dayText(day);
  } else {
    const double hour = jdToCalendar(local, ZoneMode::StandardZone, 0).hour;
    when = hour < 12 ? nightText(clockDay(local - 1), day) : nightText(day, clockDay(local + 1));
  }
  std::string out = typeWords(a.eclipseType) + ", " + when + ", " + coverageWords(a) + " from " + a.place + " (" +
                    zoneLabel(a.zoneAtGreatest) + ")";
  if (a.deepest == EclipsePhase::None) {
    out += ": the Moon is below the horizon throughout.";
  } else {
    std::string times = timesWords(a);
    times[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(times[0])));
    out += ": " + times + " " + skyWords(a);
  }
  if (a.faint) out += formatString(" Faint: penumbral magnitude %.2f, hard to notice by eye.", a.penumbralMagnitude);
  if (a.deltaTSigmaSeconds > kWordsDeltaTSigmaSeconds) {
    out += formatString(" \u0394T is known to \u00B1%.0f s at this date, so the times may be off by %.0f minute%s",
                        a.deltaTSigmaSeconds, std::ceil(a.deltaTSigmaSeconds / 60.0),
                        std::ceil(a.deltaTSigmaSeconds / 60.0) == 1 ? "" : "s");
    out += a.uncertain ? ", and whether it is seen changes within that." : ".";
  }
  out += " Clock: " + zoneSourceText(a.zone) + ".";
  if (a.zoneAtGreatest.abbreviation == "LMT") {
    out += " LMT: local mean time of the zone's city, as the time zone database gives it before the zone kept "
           "standard time.";
  }
  return out;
}

}  // namespace tarvo
