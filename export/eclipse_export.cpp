#include "export/eclipse_export.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "timebase/time_scales.h"

namespace tarvo {

namespace {

// Fixed-point text of v with `decimals` decimals, locale-free, never "-0.0";
// empty for a value that is not finite (an empty CSV field, JSON null).
std::string fixed(double v, int decimals) {
  if (!std::isfinite(v)) return "";
  char buffer[64];
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, decimals);
  std::string s(buffer, r.ptr);
  if (s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
  return s;
}

std::string whole(double v) { return fixed(std::trunc(v), 0); }

std::string pad2(int v) { return std::string(v < 10 ? 1 : 0, '0').append(std::to_string(v)); }

// ISO 8601 year: four digits for 1–9999, otherwise signed (expanded form).
std::string isoYear(double year) {
  const long long y = static_cast<long long>(year);
  if (y >= 1 && y <= 9999) {
    std::string s = std::to_string(y);
    return std::string(4 - s.size(), '0') + s;
  }
  std::string digits = std::to_string(y < 0 ? -y : y);
  if (digits.size() < 4) digits = std::string(4 - digits.size(), '0') + digits;
  return (y < 0 ? "-" : "+") + digits;
}

std::string isoDate(double year, double month, double day) {
  return isoYear(year) + "-" + pad2(static_cast<int>(month)) + "-" + pad2(static_cast<int>(day));
}

// The site's clock at an instant, the longitude's zone when none was given.
ZoneOffset clockAt(const ExportList& list, const std::optional<ZoneOffset>& zone) {
  if (zone) return *zone;
  return fixedZoneOffset(list.site ? standardZoneOffsetHours(list.site->longitudeDeg) : 0);
}

std::optional<double> minutesBetween(const std::optional<double>& a, const std::optional<double>& b) {
  if (!a || !b) return std::nullopt;
  return (*b - *a) * 1440.0;
}

// One eclipse as named fields, each a text (for CSV) and whether JSON writes
// it as a number, a string, a boolean or null.
enum class Kind { Number, String, Boolean, Null };
struct Field {
  const char* name;
  std::string text;
  Kind kind;
};

// The contacts' keys with a prefix and a suffix: "alt_p1", "p1_ut".
std::array<std::string, kContactCount> contactKeys(const char* prefix, const char* suffix) {
  std::array<std::string, kContactCount> keys;
  for (std::size_t i = 0; i < keys.size(); ++i) keys[i] = std::string(prefix) + kContactNames[i].key + suffix;
  return keys;
}

std::string siteName(const ExportSite& s) {
  std::string n = s.name;
  n.erase(n.find_last_not_of(' ') + 1);
  return n;
}

std::vector<Field> fieldsOf(const ExportList& list, const ExportEclipse& e) {
  std::vector<Field> f;
  const auto number = [&](const char* name, std::string text) {
    const Kind kind = text.empty() ? Kind::Null : Kind::Number;
    f.push_back({name, std::move(text), kind});
  };
  const auto text = [&](const char* name, std::string t) { f.push_back({name, std::move(t), Kind::String}); };
  const auto optionalNumber = [&](const char* name, const std::optional<double>& v, int decimals) {
    if (v) {
      number(name, fixed(*v, decimals));
    } else {
      f.push_back({name, "", Kind::Null});
    }
  };
  const auto flag = [&](const char* name, bool b) { f.push_back({name, b ? "true" : "false", Kind::Boolean}); };
  const bool ok = e.converged;
  const auto when = [&](const std::optional<double>& jd) -> std::string {
    return ok && jd ? isoDateTime(*jd, 0) + "Z" : "";
  };

  text("date_tt", isoDate(e.year, e.month, e.day));
  text("calendar", e.julianCalendar ? "J" : "G");
  number("jd_tt", fixed(e.jdTt, 6));
  if (ok) {
    text("greatest_ut", when(e.greatestJd));
  } else {
    f.push_back({"greatest_ut", "", Kind::Null});
  }
  number("deltat_s", fixed(e.deltaTSeconds, 1));
  number("deltat_sigma_s", fixed(e.deltaTSigmaSeconds, 1));
  text("deltat_model", list.deltaTModel);
  number("lunation", whole(e.lunation));
  number("saros", whole(e.saros));
  number("member", std::to_string(e.member));
  text("type", exportTypeName(e.type));
  number("gamma", fixed(e.gamma, 4));
  number("pen_mag", fixed(e.penumbralMagnitude, 4));
  number("umb_mag", fixed(e.umbralMagnitude, 4));
  const auto& c = e.contactJd;
  const auto okOnly = [&](std::optional<double> v) { return ok ? v : std::nullopt; };
  optionalNumber("pen_duration_min", okOnly(minutesBetween(c[0], c[5])), 1);
  optionalNumber("par_duration_min", okOnly(minutesBetween(c[1], c[4])), 1);
  optionalNumber("tot_duration_min", okOnly(minutesBetween(c[2], c[3])), 1);
  optionalNumber("sublunar_lat", okOnly(e.subLunarLatDeg), 4);
  optionalNumber("sublunar_lon", okOnly(e.subLunarLonDeg), 4);
  static const auto kTimeNames = contactKeys("", "_ut");
  for (std::size_t i = 0; i < c.size(); ++i) {
    const std::string t = when(c[i]);
    f.push_back({kTimeNames[i].c_str(), t, t.empty() ? Kind::Null : Kind::String});
  }
  if (!list.site) return f;

  text("site", siteName(*list.site));
  const Visibility* v = e.visibility && e.visibility->converged && ok ? &*e.visibility : nullptr;
  if (v) {
    text("class", visibilityClassName(v->visibilityClass));
  } else {
    f.push_back({"class", "", Kind::Null});
  }
  flag("uncertain", v && v->uncertain);
  flag("faint", e.visibility && e.visibility->faint);
  const ZoneOffset greatestZone = clockAt(list, e.greatestZone);
  if (v) {
    text("greatest_local", isoClockTime(e.greatestJd, greatestZone));
  } else {
    f.push_back({"greatest_local", "", Kind::Null});
  }
  static const auto kAltNames = contactKeys("alt_", "");
  for (std::size_t i = 0; i < kAltNames.size(); ++i) {
    optionalNumber(kAltNames[i].c_str(), v ? v->contactAltitudeDeg[i] : std::nullopt, 2);
  }
  optionalNumber("alt_greatest", v ? std::optional<double>(v->greatestAltitudeDeg) : std::nullopt, 2);
  optionalNumber("sun_alt_greatest", v ? std::optional<double>(v->sunAltitudeDeg) : std::nullopt, 2);
  text("zone", list.site->zone);
  if (v) {
    text("greatest_zone", greatestZone.abbreviation);
    text("deepest_seen", eclipsePhaseName(v->seen.deepest));
  } else {
    f.push_back({"greatest_zone", "", Kind::Null});
    f.push_back({"deepest_seen", "", Kind::Null});
  }
  if (v && e.contactJd[2] && e.contactJd[3]) {
    text("totality_seen", phaseCoverageName(v->seen.totality));
  } else {
    f.push_back({"totality_seen", "", Kind::Null});
  }
  // The Sun's altitude at each contact seen (the Moon's centre up).
  static constexpr const char* kSunNames[kContactCount] = {"sun_alt_p1", "sun_alt_u1", "sun_alt_u2",
                                                           "sun_alt_u3", "sun_alt_u4", "sun_alt_p4"};
  for (std::size_t i = 0; i < kContactCount; ++i) {
    const std::optional<SiteInstant>& at = v ? v->seen.contacts[i] : std::nullopt;
    optionalNumber(kSunNames[i], at && at->moonUp() ? std::optional<double>(at->sunAltitudeDeg) : std::nullopt, 2);
  }
  return f;
}

// A whole cell that is a decimal number ("-0.2752", "+3").
bool isNumber(const std::string& s) {
  const char* first = s.data() + (!s.empty() && s[0] == '+' ? 1 : 0);
  double v = 0;
  const auto r = std::from_chars(first, s.data() + s.size(), v);
  return r.ec == std::errc() && r.ptr == s.data() + s.size();
}

// A cell a spreadsheet would run as a formula: one beginning with "=", "@",
// a tab or a carriage return, or with "+" or "-" when it is not a number.
bool readAsFormula(const std::string& s) {
  if (s.empty()) return false;
  const char c = s.front();
  if (c == '=' || c == '@' || c == '\t' || c == '\r') return true;
  return (c == '+' || c == '-') && !isNumber(s);
}

// RFC 4180: a field with a comma, a quote or a line break is quoted, its
// quotes doubled. A cell that would be run as a formula gets a leading "'",
// the common practice, so that it is shown as the text it is.
std::string csvField(const std::string& text) {
  const std::string s = readAsFormula(text) ? "'" + text : text;
  if (s.find_first_of(",\"\r\n") == std::string::npos) return s;
  std::string out = "\"";
  for (char ch : s) {
    if (ch == '"') out += '"';
    out += ch;
  }
  return out + "\"";
}

std::string jsonString(const std::string& s) {
  std::string out = "\"";
  for (unsigned char ch : s) {
    switch (ch) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (ch < 0x20) {
          static constexpr char kHex[] = "0123456789abcdef";
          out += "\\u00";
          out += kHex[ch >> 4];
          out += kHex[ch & 15];
        } else {
          out += static_cast<char>(ch);
        }
    }
  }
  return out + "\"";
}

std::string jsonValue(const Field& f) {
  switch (f.kind) {
    case Kind::Number:
    case Kind::Boolean: return f.text;
    case Kind::Null: return "null";
    case Kind::String: return jsonString(f.text);
  }
  return "null";
}

// iCalendar TEXT escaping.
std::string icsText(const std::string& s) {
  std::string out;
  for (char ch : s) {
    switch (ch) {
      case '\\': out += "\\\\"; break;
      case ';': out += "\\;"; break;
      case ',': out += "\\,"; break;
      case '\n': out += "\\n"; break;
      case '\r': break;
      default: out += ch;
    }
  }
  return out;
}

// A content line folded at 75 octets (never inside a UTF-8 sequence), each
// continuation starting with a blank, CRLF after each piece.
std::string icsLine(const std::string& line) {
  constexpr std::size_t kMaxOctets = 75;
  std::string out;
  std::size_t start = 0;
  std::size_t room = kMaxOctets;
  while (line.size() - start > room) {
    std::size_t cut = start + room;
    while (cut > start && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
    out.append(line, start, cut - start);
    out += "\r\n ";
    start = cut;
    room = kMaxOctets - 1;
  }
  out.append(line, start, std::string::npos);
  return out + "\r\n";
}

struct GregorianTime {
  long long year;
  int month, day, seconds;  // seconds of the day
};

// Proleptic Gregorian date and second of a Julian Day, to the nearest second.
GregorianTime gregorianOf(double jd) {
  const double totalSeconds = std::floor((jd + 0.5) * kSecondsPerDay + 0.5);
  const long long dayNumber = static_cast<long long>(std::floor(totalSeconds / kSecondsPerDay));
  const int seconds = static_cast<int>(totalSeconds - static_cast<double>(dayNumber) * kSecondsPerDay);
  // Days from 0000-03-01 (Gregorian), as in the civil-from-days algorithm.
  const long long z = dayNumber - 1721120;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  const int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  const long long year = yoe + era * 400 + (month <= 2 ? 1 : 0);
  return {year, month, day, seconds};
}

std::string icsStamp(const GregorianTime& g) {
  std::string y = std::to_string(g.year);
  y = std::string(4 - std::min<std::size_t>(4, y.size()), '0') + y;
  return y + pad2(g.month) + pad2(g.day) + "T" + pad2(g.seconds / 3600) + pad2(g.seconds / 60 % 60) +
         pad2(g.seconds % 60) + "Z";
}

bool inCalendarYears(const GregorianTime& g) { return g.year >= 1 && g.year <= 9999; }

std::string summaryOf(double type) {
  switch (static_cast<int>(std::trunc(type))) {
    case 1: return "Total lunar eclipse";
    case 2: return "Partial lunar eclipse";
    case 3: return "Penumbral lunar eclipse";
    default: return "Lunar eclipse";
  }
}

std::string classWords(VisibilityClass c) {
  switch (c) {
    case VisibilityClass::Visible: return "visible";
    case VisibilityClass::AtMoonrise: return "at moonrise";
    case VisibilityClass::AtMoonset: return "at moonset";
    case VisibilityClass::Partly: return "partly visible";
    case VisibilityClass::None: return "not visible";
  }
  return "";
}

}  // namespace

std::string isoDateTime(double jd, double offsetHours) {
  const GregorianTime g = gregorianOf(jd + offsetHours / 24.0);
  return isoDate(static_cast<double>(g.year), g.month, g.day) + "T" + pad2(g.seconds / 3600) + ":" +
         pad2(g.seconds / 60 % 60) + ":" + pad2(g.seconds % 60);
}

std::string catalogueDateTime(double jd, double offsetHours) {
  const CalendarDate d = jdToCalendar(jd + offsetHours / 24.0 + 0.5 / kSecondsPerDay, ZoneMode::StandardZone, 0);
  const int seconds = std::clamp(static_cast<int>(std::floor(d.hour * 3600.0)), 0, 86399);
  return isoDate(d.year, d.month, d.day) + "T" + pad2(seconds / 3600) + ":" + pad2(seconds / 60 % 60) + ":" +
         pad2(seconds % 60);
}

std::string isoClockTime(double jdUt, const ZoneOffset& zone) {
  return isoDateTime(jdUt, zone.offsetSeconds / 3600.0) + utcOffsetText(zone.offsetSeconds);
}

const char* exportTypeName(double type) {
  switch (static_cast<int>(std::trunc(type))) {
    case 1: return "total";
    case 2: return "partial";
    case 3: return "penumbral";
    default: return "";
  }
}

std::string exportCsv(const ExportList& list) {
  std::string out;
  const ExportEclipse blank;
  const std::vector<Field> head = fieldsOf(list, blank);
  for (std::size_t i = 0; i < head.size(); ++i) {
    if (i) out += ',';
    out += head[i].name;
  }
  out += "\r\n";
  for (const ExportEclipse& e : list.eclipses) {
    const std::vector<Field> f = fieldsOf(list, e);
    for (std::size_t i = 0; i < f.size(); ++i) {
      if (i) out += ',';
      out += csvField(f[i].text);
    }
    out += "\r\n";
  }
  return out;
}

std::string exportJson(const ExportList& list) {
  std::string out = "{\n  \"site\": ";
  if (list.site) {
    const ExportSite& s = *list.site;
    out += "{\"name\": " + jsonString(siteName(s)) + ", \"longitude\": " + fixed(s.longitudeDeg, 4) +
           ", \"latitude\": " + fixed(s.latitudeDeg, 4) + ", \"height\": " + fixed(s.heightM, 1) +
           (s.zone.empty() ? "" : ", \"zone\": " + jsonString(s.zone)) + "}";
  } else {
    out += "null";
  }
  out += ",\n  \"deltat_model\": " + jsonString(list.deltaTModel) + ",\n  \"eclipses\": [";
  for (std::size_t k = 0; k < list.eclipses.size(); ++k) {
    out += k ? ",\n    {" : "\n    {";
    const std::vector<Field> f = fieldsOf(list, list.eclipses[k]);
    for (std::size_t i = 0; i < f.size(); ++i) {
      if (i) out += ", ";
      out += jsonString(f[i].name) + ": " + jsonValue(f[i]);
    }
    out += "}";
  }
  out += list.eclipses.empty() ? "]\n}\n" : "\n  ]\n}\n";
  return out;
}

ExportText exportICalendar(const ExportList& list, double dtstampJd) {
  ExportText result;
  const GregorianTime stamp = gregorianOf(dtstampJd);
  std::string out = icsLine("BEGIN:VCALENDAR") + icsLine("VERSION:2.0") +
                    icsLine("PRODID:-//TarvoWin//Lunar eclipses//EN") + icsLine("CALSCALE:GREGORIAN");
  for (const ExportEclipse& e : list.eclipses) {
    const std::string date = isoDate(e.year, e.month, e.day);
    if (!e.converged || !e.contactJd[0] || !e.contactJd[5]) {
      result.error = "the eclipse of " + date + " has no contact times";
      return result;
    }
    const GregorianTime start = gregorianOf(*e.contactJd[0]);
    const GregorianTime end = gregorianOf(*e.contactJd[5]);
    if (!inCalendarYears(start) || !inCalendarYears(end)) {
      result.error = "the eclipse of " + date +
                     " lies outside the years 1-9999 that iCalendar can hold; nothing was written";
      return result;
    }
    std::string summary = summaryOf(e.type);
    const Visibility* v = list.site && e.visibility && e.visibility->converged ? &*e.visibility : nullptr;
    if (v) summary += ", " + classWords(v->visibilityClass);
    std::string description;
    for (std::size_t i = 0; i < kContactNames.size(); ++i) {
      const auto& jd = e.contactJd[i];
      if (!jd) continue;
      if (!description.empty()) description += "\n";
      description += std::string(kContactNames[i].label) + " " + isoDateTime(*jd, 0) + "Z";
      if (list.site) {
        const ZoneOffset zone = clockAt(list, e.contactZone[i]);
        description += " (local " + isoClockTime(*jd, zone) + ", " + zone.abbreviation + ")";
      }
      if (v && v->contactAltitudeDeg[static_cast<std::size_t>(i)]) {
        description += " Moon altitude " + fixed(*v->contactAltitudeDeg[static_cast<std::size_t>(i)], 1) + " deg";
      }
    }
    description += "\nGreatest " + isoDateTime(e.greatestJd, 0) + "Z";
    if (v) {
      description += " Moon altitude " + fixed(v->greatestAltitudeDeg, 1) + " deg, Sun altitude " +
                     fixed(v->sunAltitudeDeg, 1) + " deg";
      if (v->uncertain) description += "\nVisibility uncertain (Delta T)";
    }
    if (e.visibility && e.visibility->faint) description += "\nFaint: penumbral magnitude below 0.7";
    description += "\nSaros " + whole(e.saros) + "/" + std::to_string(e.member) + ", umbral magnitude " +
                   fixed(e.umbralMagnitude, 4) + ", penumbral magnitude " + fixed(e.penumbralMagnitude, 4);
    out += icsLine("BEGIN:VEVENT");
    // One eclipse seen from two sites is two events: the site is in the UID.
    std::string uid = "lunar-eclipse-" + fixed(e.jdTt, 5);
    if (list.site) uid += "-lon" + fixed(list.site->longitudeDeg, 4) + "-lat" + fixed(list.site->latitudeDeg, 4);
    out += icsLine("UID:" + uid + "@tarvowin");
    out += icsLine("DTSTAMP:" + icsStamp(stamp));
    out += icsLine("DTSTART:" + icsStamp(start));
    out += icsLine("DTEND:" + icsStamp(end));
    out += icsLine("SUMMARY:" + icsText(summary));
    out += icsLine("DESCRIPTION:" + icsText(description));
    if (list.site) {
      const ExportSite& s = *list.site;
      out += icsLine("GEO:" + fixed(s.latitudeDeg, 6) + ";" + fixed(s.longitudeDeg, 6));
      const std::string name = siteName(s);
      out += icsLine("LOCATION:" + icsText(name.empty() ? "Lon " + fixed(s.longitudeDeg, 4) + " Lat " +
                                                              fixed(s.latitudeDeg, 4)
                                                        : name));
    }
    out += icsLine("END:VEVENT");
  }
  out += icsLine("END:VCALENDAR");
  result.ok = true;
  result.text = std::move(out);
  return result;
}

std::string exportAnswerJson(const ObserverAnswer& a, const ExportEclipse& e, const std::string& words) {
  const auto number = [](double v, int decimals) { return fixed(v, decimals); };
  std::string out = "{\n";
  out += "  \"date_tt\": " + jsonString(isoDate(e.year, e.month, e.day)) + ",\n";
  out += "  \"calendar\": " + jsonString(e.julianCalendar ? "J" : "G") + ",\n";
  out += "  \"type\": " + jsonString(exportTypeName(e.type)) + ",\n";
  out += "  \"saros\": " + whole(e.saros) + ", \"member\": " + std::to_string(e.member) + ",\n";
  out += "  \"pen_mag\": " + number(e.penumbralMagnitude, 4) + ", \"umb_mag\": " + number(e.umbralMagnitude, 4) + ",\n";
  out += "  \"site\": " + jsonString(a.place) + ",\n";
  out += "  \"zone\": {\"name\": " + jsonString(a.zone.zoneName.empty() ? "" : a.zone.zoneName) +
         ", \"source\": " + jsonString(zoneSourceText(a.zone)) + ", \"abbreviation\": " +
         jsonString(a.zoneAtGreatest.abbreviation) + ", \"offset\": " +
         jsonString(utcOffsetText(a.zoneAtGreatest.offsetSeconds)) + "},\n";
  out += "  \"deepest_seen\": " + jsonString(eclipsePhaseName(a.deepest)) + ",\n";
  out += "  \"eclipse_seen\": " + jsonString(phaseCoverageName(a.eclipse)) + ",\n";
  out += "  \"partial_seen\": " + (e.contactJd[1] ? jsonString(phaseCoverageName(a.partial)) : "null") + ",\n";
  out += "  \"totality_seen\": " + (e.contactJd[2] ? jsonString(phaseCoverageName(a.totality)) : "null") + ",\n";
  out += "  \"uncertain\": " + std::string(a.uncertain ? "true" : "false") + ", \"faint\": " +
         (a.faint ? "true" : "false") + ",\n";
  out += "  \"deltat_sigma_s\": " + number(a.deltaTSigmaSeconds, 1) + ",\n";
  out += "  \"events\": [";
  for (std::size_t i = 0; i < a.events.size(); ++i) {
    const AnswerEvent& ev = a.events[i];
    out += i ? ",\n    {" : "\n    {";
    out += "\"event\": " + jsonString(answerEventName(ev.kind)) + ", \"ut\": " +
           jsonString(isoDateTime(ev.at.jdUt, 0) + "Z") + ", \"local\": " + jsonString(isoClockTime(ev.at.jdUt, ev.zone)) +
           ", \"zone\": " + jsonString(ev.zone.abbreviation) + ", \"seen\": " + (ev.seen ? "true" : "false") +
           ", \"moon_alt\": " + number(ev.at.moonAltitudeDeg, 2) + ", \"moon_az\": " + number(ev.at.moonAzimuthDeg, 2) +
           ", \"moon_direction\": " + jsonString(compassPoint(ev.at.moonAzimuthDeg)) + ", \"sun_alt\": " +
           number(ev.at.sunAltitudeDeg, 2) + ", \"sky\": " + jsonString(skyBrightnessName(skyBrightnessOf(ev.at.sunAltitudeDeg))) +
           "}";
  }
  out += a.events.empty() ? "],\n" : "\n  ],\n";
  out += "  \"words\": " + jsonString(words) + "\n}\n";
  return out;
}

namespace {

ExportText writtenWhole(std::string text) { return {true, std::move(text), {}}; }

}  // namespace

const std::vector<ExportFormat>& exportFormats() {
  static const std::vector<ExportFormat> formats = {
      {"csv", "csv", "CSV", [](const ExportList& l, double) { return writtenWhole(exportCsv(l)); }},
      {"json", "json", "JSON", [](const ExportList& l, double) { return writtenWhole(exportJson(l)); }},
      {"ics", "ics", "iCalendar", exportICalendar},
  };
  return formats;
}

const ExportFormat* exportFormatNamed(std::string_view name) {
  for (const ExportFormat& f : exportFormats()) {
    if (name == f.name) return &f;
  }
  return nullptr;
}

const ExportFormat* exportFormatOfFile(std::string_view fileName) {
  const std::size_t dot = fileName.rfind('.');
  if (dot == std::string_view::npos) return nullptr;
  std::string ext(fileName.substr(dot + 1));
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
  for (const ExportFormat& f : exportFormats()) {
    if (ext == f.extension) return &f;
  }
  return nullptr;
}

ExportText exportByExtension(const ExportList& list, const std::string& fileName, double dtstampJd) {
  if (const ExportFormat* format = exportFormatOfFile(fileName)) return format->write(list, dtstampJd);
  std::string names;
  const auto& formats = exportFormats();
  for (std::size_t i = 0; i < formats.size(); ++i) {
    names += std::string(i == 0 ? "" : i + 1 == formats.size() ? " or " : ", ") + "." + formats[i].extension;
  }
  ExportText out;
  out.error = "the file name must end in " + names;
  return out;
}

}  // namespace tarvo
