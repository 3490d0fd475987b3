#include "circumstances/local_report.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <optional>
#include <utility>

#include "circumstances/geometry.h"
#include "timebase/time_scales.h"

namespace tarvo {

namespace {

constexpr int kLinePitch = 15;  // pixels from one report line to the next

// Report line numbers; a line's row is kLinePitch × its number.
constexpr int kDateLine = 2;
constexpr int kLocationLine = 3;
constexpr int kFirstHeadLine = 5;
constexpr int kFirstEventLine = 8;
constexpr int kNoEclipseLine = 16;
constexpr int kMoonSetLine = 17;
constexpr int kMoonRiseLine = 18;
constexpr int kNoteLine = 24;

constexpr const char* kHeads[3] = {
    "                          Universal   Local                  Mag.     Alt.    Az   ",
    "                          Time(UT)    STD Time   LMT                               ",
    "                          ---------   --------   --------   ------   ------  ----- ",
};

// The row layout shared by the contact rows and the horizon rows: a 26-column
// label, then UT, STD and LMT times and magnitude, altitude, azimuth.
constexpr const char* kRowTail =
    "%2.0f:%2.0f:%2.0f   %2.0f:%2.0f:%2.0f   %2.0f:%2.0f:%2.0f    %6.3f   %5.1f  %6.1f";

std::string format(const char* fmt, ...) {
  char buffer[512];
  va_list args;
  va_start(args, fmt);
  const int n = std::vsnprintf(buffer, sizeof buffer, fmt, args);
  va_end(args);
  if (n < 0) return {};
  if (static_cast<std::size_t>(n) < sizeof buffer) return std::string(buffer, static_cast<std::size_t>(n));
  std::string out(static_cast<std::size_t>(n), '\0');
  va_start(args, fmt);
  std::vsnprintf(out.data(), out.size() + 1, fmt, args);
  va_end(args);
  return out;
}

const char* typeWord(double eclipseType) {
  if (!(eclipseType >= 0 && eclipseType < 7)) return "";
  switch (static_cast<int>(eclipseType)) {
    case 0: return " ";
    case 1: return "TOTAL ECLIPSE";
    case 2: return "PARTIAL ECLIPSE";
    case 3: return "PENUMBRA ECLIPSE";
    default: return "";
  }
}

// Everything the report needs to turn an event time into a row.
struct Context {
  const EclipseRecord* record;
  SiteValues site;
  double epochHour;
  double deltaTSeconds;
  double deltaTHours;
  double standardOffsetHours;  // λ/15 rounded half away from zero
  double meanLocalOffsetHours; // λ/15
};

bool finite(const SiteCircumstances& c) {
  return std::isfinite(c.umbralMagnitude) && std::isfinite(c.altitudeDeg) &&
         std::isfinite(c.azimuthDeg);
}

// label is 26 columns wide; t in hours from epochHour.
std::string eventRow(const Context& k, const char* label, double t, const SiteCircumstances& c) {
  const double ut = k.epochHour + t - k.deltaTHours;
  const HoursMinutesSeconds u = splitHours(ut);
  const HoursMinutesSeconds s = splitHours(ut + k.standardOffsetHours);
  const HoursMinutesSeconds l = splitHours(ut + k.meanLocalOffsetHours);
  return label + format(kRowTail, u.hours, u.minutes, std::trunc(u.seconds), s.hours, s.minutes,
                        std::trunc(s.seconds), l.hours, l.minutes, std::trunc(l.seconds),
                        c.umbralMagnitude, c.altitudeDeg, c.azimuthDeg);
}

SiteCircumstances at(const Context& k, double t) {
  return siteCircumstances(*k.record, k.site, t, k.deltaTSeconds);
}

struct HorizonCross {
  double t;
  SiteCircumstances c;
};

// From a first estimate, two secant steps each through greatest eclipse
// (tG, aG), then the circumstances at the final time.
HorizonCross refineHorizonCross(const Context& k, double t, double tG, double aG) {
  for (int i = 0; i < 2; ++i) {
    const double a = at(k, t).altitudeDeg;
    t = horizonSecantStep(t, a, tG, aG);
  }
  return {t, at(k, t)};
}

}  // namespace

double horizonSecantStep(double t, double a, double t2, double a2) {
  const double next = t + (t2 - t) / (a2 - a) * (0 - a);
  return std::isfinite(next) ? next : t;
}

LocalReport localReport(const LocalReportInputs& in, const ReportCity* city) {
  LocalReport report;
  std::vector<ReportLine>& lines = report.lines;
  const auto add = [&lines](int lineNumber, std::string text) {
    lines.push_back({kLinePitch * lineNumber, std::move(text)});
  };

  const double lambda = in.site.longitudeDeg;
  Context k{in.record,
            in.site,
            in.epochHour,
            in.deltaTSeconds,
            in.deltaTSeconds / 3600.0,
            standardZoneOffsetHours(lambda),
            lambda / 15.0};

  const ContactTimes& ct = in.contacts;
  const double tG = in.greatestOffsetHours;
  const JulianDay localJd = in.dayStartJd + (in.epochHour + tG - k.deltaTHours) / 24.0;
  const bool usable = in.converged && in.record != nullptr && std::isfinite(localJd);

  if (usable) {
    const CalendarDate d = jdToCalendar(localJd, ZoneMode::StandardZone, lambda);
    report.localEclipseDate = {d.year, d.month, d.day};
    add(kDateLine, format(" Date :%5.0f/%2.0f/%2.0f %4.2fh(LST) : %s ", d.year, d.month, d.day,
                          d.hour, typeWord(in.eclipseType)));
  } else {
    // Only the catalogue's own time of greatest eclipse is trustworthy.
    const CalendarDate d = jdToCalendar(in.greatestJd, ZoneMode::StandardZone, lambda);
    report.localEclipseDate = {d.year, d.month, d.day};
  }

  if (city != nullptr) {
    add(kLocationLine, format(" Location : %.*s Lon:%7.2fd Lat:%7.2fd Height:%5.1f",
                              static_cast<int>(city->name.size()), city->name.data(),
                              city->longitudeDeg, city->latitudeDeg, city->heightM));
  } else if (in.typedSite) {
    add(kLocationLine,
        format(" Location : Selected City       Lon:%7.2fd Lat:%7.2fd Height:%6.1f",
               in.site.longitudeDeg, in.site.latitudeDeg, in.site.heightM));
  }
  for (int i = 0; i < 3; ++i) add(kFirstHeadLine + i, kHeads[i]);
  if (!usable) return report;

  const double type = std::trunc(in.eclipseType);
  const bool partialOrTotal = type == 1 || type == 2;
  const bool total = type == 1;
  struct Event {
    const char* label;
    std::optional<double> t;  // absent for a contact the type lacks
    bool shown;
  };
  const Event events[7] = {
      {" First Penumbra Contact   ", ct.p1, true},
      {" First Umbra    Contact   ", ct.u1, partialOrTotal},
      {" Start Total Eclipse      ", ct.u2, total},
      {" Maximum Luner Eclipse    ", tG, true},
      {" End Total Eclipse        ", ct.u3, total},
      {" Last  Umbra    Contact   ", ct.u4, partialOrTotal},
      {" Last  Penumbra Contact   ", ct.p4, true},
  };
  double a1 = 0, aG = 0, a4 = 0;
  for (int i = 0; i < 7; ++i) {
    const Event& e = events[i];
    // P1, greatest eclipse and P4 exist for every type, so a1, aG and a4
    // are always evaluated, printed or not.
    if (!e.shown || !e.t) continue;
    const SiteCircumstances c = at(k, *e.t);
    if (i == 0) a1 = c.altitudeDeg;
    if (i == 3) aG = c.altitudeDeg;
    if (i == 6) a4 = c.altitudeDeg;
    if (c.altitudeDeg > 0 && finite(c)) add(kFirstEventLine + i, eventRow(k, e.label, *e.t, c));
  }

  if (a1 > 0 && a4 < 0) {
    const double t0 = horizonSecantStep(ct.p1, a1, ct.p4, a4);
    const HorizonCross h = refineHorizonCross(k, t0, tG, aG);
    if (finite(h.c)) {
      report.horizonCrossHours = h.t;
      add(kMoonSetLine, eventRow(k, " Magnitude at Moon Set    ", h.t, h.c));
    }
  } else if (a1 < 0 && a4 > 0) {
    const double t0 = horizonSecantStep(ct.p4, a4, ct.p1, a1);
    const HorizonCross h = refineHorizonCross(k, t0, tG, aG);
    if (finite(h.c)) {
      report.horizonCrossHours = h.t;
      add(kMoonRiseLine, eventRow(k, " Magnitude at Moon Rise   ", h.t, h.c));
    }
  }
  if (a1 < 0 && a4 < 0) add(kNoEclipseLine, " =====    No eclipse Visible        ===== ");
  add(kNoteLine, " Note:  Local Time = UT + Longitude/15.0     ");
  return report;
}

}  // namespace tarvo
