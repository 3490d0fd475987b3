#include "circumstances/local_report.h"

#include <cmath>
#include <optional>
#include <utility>

#include "base/text_format.h"
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

bool finite(const SiteCircumstances& c) {
  return std::isfinite(c.umbralMagnitude) && std::isfinite(c.altitudeDeg) &&
         std::isfinite(c.azimuthDeg);
}

// Collects the lines at their rows, in drawing order.
class Lines {
 public:
  explicit Lines(std::vector<ReportLine>& lines) : lines_(lines) {}
  void add(int lineNumber, std::string text) { lines_.push_back({kLinePitch * lineNumber, std::move(text)}); }

 private:
  std::vector<ReportLine>& lines_;
};

// The row layout shared by the contact rows and the horizon rows: a 26-column
// label, then UT, STD and LMT times and magnitude, altitude, azimuth. t in
// hours from epochHour; the standard zone is λ/15 rounded half away from
// zero, local mean time λ/15.
std::string eventRow(const EclipseCircumstances& e, double longitudeDeg, const char* label, double t,
                     const SiteCircumstances& c, const SeenAltitude& seen) {
  const double ut = e.record.epochHour + t - e.deltaTHours();
  const HoursMinutesSeconds u = splitHours(ut);
  const HoursMinutesSeconds s = splitHours(ut + standardZoneOffsetHours(longitudeDeg));
  const HoursMinutesSeconds l = splitHours(ut + longitudeDeg / 15.0);
  return label + formatString("%2.0f:%2.0f:%2.0f   %2.0f:%2.0f:%2.0f   %2.0f:%2.0f:%2.0f    %6.3f   %5.1f  %6.1f",
                              u.hours, u.minutes, std::trunc(u.seconds), s.hours,
                              s.minutes, std::trunc(s.seconds), l.hours, l.minutes,
                              std::trunc(l.seconds), c.umbralMagnitude, seen ? seen(t) : c.altitudeDeg,
                              c.azimuthDeg);
}

// The location line for a city of the list or a typed site.
void addLocation(Lines& out, const SiteValues& site, const ReportCity* city, bool typedSite) {
  if (city != nullptr) {
    out.add(kLocationLine, formatString(" Location : %.*s Lon:%7.2fd Lat:%7.2fd Height:%5.1f",
                                        static_cast<int>(city->name.size()), city->name.data(),
                                        city->longitudeDeg, city->latitudeDeg, city->heightM));
  } else if (typedSite) {
    out.add(kLocationLine,
            formatString(" Location : Selected City       Lon:%7.2fd Lat:%7.2fd Height:%6.1f",
                         site.longitudeDeg, site.latitudeDeg, site.heightM));
  }
}

// The contact rows and greatest eclipse, each where the type has it and the
// Moon is up.
void addEventRows(Lines& out, const EclipseCircumstances& e, const LocalCircumstances& local,
                  const SeenAltitude& seen) {
  const double type = std::trunc(e.record.eclipseType);
  const bool partialOrTotal = type == 1 || type == 2;
  const bool total = type == 1;
  const ContactTimes& ct = e.contacts;
  struct Event {
    const char* label;
    std::optional<double> t;  // absent for a contact the type lacks
    std::optional<SiteCircumstances> at;
    bool shown;
  };
  const Event events[7] = {
      {" First Penumbra Contact   ", ct.p1, local.p1, true},
      {" First Umbra    Contact   ", ct.u1, local.u1, partialOrTotal},
      {" Start Total Eclipse      ", ct.u2, local.u2, total},
      {" Maximum Luner Eclipse    ", e.greatestHours, local.greatest, true},
      {" End Total Eclipse        ", ct.u3, local.u3, total},
      {" Last  Umbra    Contact   ", ct.u4, local.u4, partialOrTotal},
      {" Last  Penumbra Contact   ", ct.p4, local.p4, true},
  };
  for (int i = 0; i < 7; ++i) {
    const Event& ev = events[i];
    if (!ev.shown || !ev.t || !ev.at) continue;
    if (ev.at->altitudeDeg > 0 && finite(*ev.at)) {
      out.add(kFirstEventLine + i, eventRow(e, local.site.longitudeDeg, ev.label, *ev.t, *ev.at, seen));
    }
  }
}

}  // namespace

LocalReport localReport(const EclipseCircumstances& e, const LocalCircumstances& local,
                        const ReportCity* city, bool typedSite, const SeenAltitude& seen) {
  LocalReport report;
  Lines out(report.lines);
  const double lambda = local.site.longitudeDeg;
  const JulianDay localJd = e.dayStartJd + e.utHours(e.greatestHours) / 24.0;
  const bool usable = e.converged() && std::isfinite(localJd);

  if (usable) {
    const CalendarDate d = jdToCalendar(localJd, ZoneMode::StandardZone, lambda);
    report.localEclipseDate = {d.year, d.month, d.day};
    out.add(kDateLine, formatString(" Date :%5.0f/%2.0f/%2.0f %4.2fh(LST) : %s ", d.year, d.month,
                                    d.day, d.hour, typeWord(e.record.eclipseType)));
  } else {
    // Only the catalogue's own time of greatest eclipse is trustworthy.
    const CalendarDate d = jdToCalendar(e.greatestJd, ZoneMode::StandardZone, lambda);
    report.localEclipseDate = {d.year, d.month, d.day};
  }
  addLocation(out, local.site, city, typedSite);
  for (int i = 0; i < 3; ++i) out.add(kFirstHeadLine + i, kHeads[i]);
  if (!usable) return report;

  addEventRows(out, e, local, seen);
  if (!local.horizons.empty()) report.horizonCrossHours = local.horizons.front().tHours;
  for (std::size_t i = 0; i < local.horizons.size(); ++i) {
    const HorizonCrossing& h = local.horizons[i];
    // One crossing has its row by kind; a set and a rise take both rows in
    // time order.
    const int line = local.horizons.size() == 1 ? (h.moonSets ? kMoonSetLine : kMoonRiseLine)
                                                 : kMoonSetLine + static_cast<int>(i);
    out.add(line, eventRow(e, lambda, h.moonSets ? " Magnitude at Moon Set    " : " Magnitude at Moon Rise   ",
                           h.tHours, h.at, seen));
  }
  if (local.p1.altitudeDeg < 0 && local.p4.altitudeDeg < 0 && local.horizons.empty()) {
    out.add(kNoEclipseLine, " =====    No eclipse Visible        ===== ");
  }
  out.add(kNoteLine, seen ? kSeenAltitudeNote : " Note:  Local Time = UT + Longitude/15.0     ");
  return report;
}

}  // namespace tarvo
