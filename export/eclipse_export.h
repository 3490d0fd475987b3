// Lists of eclipses written for other programs: CSV (RFC 4180), JSON and
// iCalendar (RFC 5545), and the observer's answer as JSON. Pure functions
// from values to text; numbers always with "." as the decimal point,
// whatever the locale. The Moon's altitudes written are those of
// the visibility (an observer's: topocentric, refracted), not the local
// report's geocentric geometric ones; the Sun's is true.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "circumstances/observer_answer.h"
#include "circumstances/visibility.h"
#include "timebase/civil_time.h"

namespace tarvo {

// One eclipse as exported. Julian Days are UT unless named TT.
struct ExportEclipse {
  double year = 0, month = 0, day = 0;  // the catalogue's TT date, in its calendar
  bool julianCalendar = false;          // that date is Julian (before 1582 October 15)
  double jdTt = 0;                      // the catalogue's Julian Day of greatest eclipse (TT)
  double deltaTSeconds = 0;
  double deltaTSigmaSeconds = 0;
  double lunation = 0;
  double saros = 0;
  int member = 0;
  double type = 0;  // 1 total, 2 partial, 3 penumbral
  double gamma = 0;
  double penumbralMagnitude = 0;
  double umbralMagnitude = 0;
  bool converged = false;  // greatest eclipse and contacts below are usable
  double greatestJd = 0;   // computed greatest eclipse
  double subLunarLatDeg = 0, subLunarLonDeg = 0;
  std::array<std::optional<double>, kContactCount> contactJd;  // P1, U1, U2, U3, U4, P4
  std::optional<Visibility> visibility;                       // with a site
  // With a site: its clock at greatest eclipse and at each contact.
  std::optional<ZoneOffset> greatestZone;
  std::array<std::optional<ZoneOffset>, kContactCount> contactZone;
};

struct ExportSite {
  std::string name;  // the city's name, or empty for typed coordinates
  double longitudeDeg = 0, latitudeDeg = 0, heightM = 0;
  std::string zone;  // the site's clock: "Asia/Tokyo", or a fixed "UTC+09:00"
};

struct ExportList {
  std::optional<ExportSite> site;
  std::string deltaTModel;  // the ΔT model's name
  std::vector<ExportEclipse> eclipses;
};

// The date and time of a Julian Day shifted by offsetHours, to the nearest
// second, in the proleptic Gregorian calendar as ISO 8601 has it at every
// date: "YYYY-MM-DDThh:mm:ss" (years outside 1–9999 signed, as ISO 8601's
// expanded form).
std::string isoDateTime(double jd, double offsetHours);
// The same in the catalogue's calendars (Julian before 1582 October 15), as
// the key lines that go with the catalogue's dates write it.
std::string catalogueDateTime(double jd, double offsetHours);

// "total", "partial", "penumbral" (empty for another code).
const char* exportTypeName(double type);

// A header line and one record per eclipse, CRLF line ends.
std::string exportCsv(const ExportList& list);

// {"site": {...} | null, "deltat_model": ..., "eclipses": [{...}, ...]}.
std::string exportJson(const ExportList& list);

struct ExportText {
  bool ok = false;
  std::string text;   // the whole calendar when ok
  std::string error;  // why it was refused otherwise
};

// One VEVENT per eclipse, stamped dtstampJd (UT). Refused, with nothing
// written, when an eclipse has no contact times or reaches outside the
// Gregorian years 1–9999.
ExportText exportICalendar(const ExportList& list, double dtstampJd);

// The observer's answer as one JSON object: the eclipse, the site's clock,
// the phases seen, each instant (UT, the clock's time with its zone, the
// Moon's altitude and direction, the Sun's altitude and the sky) and the
// words.
std::string exportAnswerJson(const ObserverAnswer& answer, const ExportEclipse& eclipse, const std::string& words);

// "2025-09-08T03:11:42+09:00": the instant on a zone's clock with its offset.
std::string isoClockTime(double jdUt, const ZoneOffset& zone);
// The export formats: the command line's --format names, the list window's
// file filter and the extension a file name is guessed by all come from here.
struct ExportFormat {
  const char* name;       // as --format takes it: "csv"
  const char* extension;  // without the dot: "csv"
  const char* label;      // as a file dialog lists it: "CSV"
  ExportText (*write)(const ExportList& list, double dtstampJd);
};
const std::vector<ExportFormat>& exportFormats();
// The format of that --format name, or nullptr.
const ExportFormat* exportFormatNamed(std::string_view name);
// The format a file name's extension names (any case), or nullptr.
const ExportFormat* exportFormatOfFile(std::string_view fileName);

// The text of the list in the format named by a file name's extension
// (".csv", ".json", ".ics", any case); error set for another extension or a
// refused calendar.
ExportText exportByExtension(const ExportList& list, const std::string& fileName, double dtstampJd);

}  // namespace tarvo
