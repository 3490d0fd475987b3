// Every output of one eclipse names the same instants, over every 50th
// eclipse of the generated canon: `show` (the UT date and UT hours after
// day_start_jd), the information panel, the local report, and the CSV, JSON
// and iCalendar exports. Each is held to the resolution it is written with.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/canon_reader.h"
#include "circumstances/local_report.h"
#include "export/eclipse_export.h"
#include "map/info_panel.h"
#include "session/current_eclipse.h"
#include "session/visibility_list.h"
#include "tests/error_stats.h"
#include "tests/slow_tests.h"
#include "tests/tolerances.h"
#include "timebase/time_scales.h"

namespace tarvo {
namespace {

using testing::ErrorStats;

constexpr long kEveryNth = 50;

// Seconds of the day of a clock text "hh:mm:ss" or "hh:mm:ss.s" (fields may
// be blank-padded); NaN when it is none.
double clockSeconds(const std::string& text) {
  double h = 0, m = 0, s = 0;
  if (std::sscanf(text.c_str(), "%lf:%lf:%lf", &h, &m, &s) != 3) return NAN;
  return h * 3600 + m * 60 + s;
}

// Signed seconds from b to a, both seconds of a day, taken the short way
// round midnight.
double daySecondsApart(double a, double b) {
  return std::remainder(a - b, kSecondsPerDay);
}

// Julian Day (UT) of an ISO 8601 "±YYYY-MM-DDThh:mm:ss" text, proleptic
// Gregorian (days from civil, counted independently of the program's
// calendar code); NaN when it is none.
double jdOfIso(const std::string& text) {
  long long y = 0;
  int m = 0, d = 0, hh = 0, mm = 0, ss = 0;
  if (std::sscanf(text.c_str(), "%lld-%d-%dT%d:%d:%d", &y, &m, &d, &hh, &mm, &ss) != 6) return NAN;
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const long long daysFrom1970 = era * 146097 + doe - 719468;
  return kUnixEpochJd + static_cast<double>(daysFrom1970) + (hh * 3600 + mm * 60 + ss) / kSecondsPerDay;
}

// Julian Day of 0 h UT of a date of the catalogue's calendars (Julian before
// 1582 October 15, Gregorian from then on), by the day-number formulas with
// the years moved by 20000 (a whole number of both calendars' cycles) so
// that every division is of positive numbers.
double midnightJd(double year, double month, double day) {
  const bool gregorian = year > 1582 || (year == 1582 && (month > 10 || (month == 10 && day >= 15)));
  const long long a = (14 - static_cast<long long>(month)) / 12;
  const long long y = static_cast<long long>(year) + 20000 + 4800 - a;
  const long long m = static_cast<long long>(month) + 12 * a - 3;
  const long long base = static_cast<long long>(day) + (153 * m + 2) / 5 + 365 * y + y / 4;
  const long long jdn = gregorian ? base - y / 100 + y / 400 - 32045 - 20000 / 400 * 146097
                                  : base - 32083 - 20000 / 4 * 1461;
  return static_cast<double>(jdn) - 0.5;
}

// The CSV's one record as name → text (a cell guarded against spreadsheet
// formulas without its leading "'").
std::vector<std::pair<std::string, std::string>> csvRecord(const std::string& csv) {
  const auto split = [](const std::string& line) {
    std::vector<std::string> cells(1);
    for (char c : line) {
      if (c == ',') {
        cells.emplace_back();
      } else {
        cells.back() += c;
      }
    }
    return cells;
  };
  const std::size_t headEnd = csv.find("\r\n");
  const std::vector<std::string> names = split(csv.substr(0, headEnd));
  const std::vector<std::string> values = split(csv.substr(headEnd + 2, csv.find("\r\n", headEnd + 2) - headEnd - 2));
  std::vector<std::pair<std::string, std::string>> out;
  for (std::size_t i = 0; i < names.size() && i < values.size(); ++i) {
    out.emplace_back(names[i], values[i].rfind('\'', 0) == 0 ? values[i].substr(1) : values[i]);
  }
  return out;
}

std::string field(const std::vector<std::pair<std::string, std::string>>& record, const std::string& name) {
  for (const auto& [n, v] : record) {
    if (n == name) return v;
  }
  return {};
}

// The text after `key` up to the next `end`, or empty.
std::string after(const std::string& text, const std::string& key, char end) {
  const std::size_t at = text.find(key);
  if (at == std::string::npos) return {};
  const std::size_t from = at + key.size();
  return text.substr(from, text.find(end, from) - from);
}

TEST(EveryOutputAgrees, OnEveryInstantOfEvery50thEclipse) {
  if (TARVO_SLOW_TESTS_SKIPPED) GTEST_SKIP() << "the canon is walked in the optimised build only";
  const std::filesystem::path dir = TARVO_RUNDATA_DIR;
  for (const CanonFile& f : kCanonFiles) {
    if (!std::filesystem::exists(dir / f.name)) GTEST_SKIP() << "no canon in " << dir;
  }
  CanonReader reader(dir);
  ErrorStats exports(testing::kNearestSecondS), calendar(testing::kNearestSecondS),
      panel(testing::kNearestTenthSecondS), report(testing::kTruncatedSecondS / 2),
      showDay(testing::kJulianDayRoundingS);
  long entries = 0, checked = 0, dateMisses = 0, deltaTMisses = 0;
  for (const CanonFile& f : kCanonFiles) {
    EclipseEntry r;
    for (ReadStatus st = reader.openFirst(f.firstYear, DeltaTChoice{}, r); succeeded(st);
         st = reader.readNext(DeltaTChoice{}, r)) {
      if (entries++ % kEveryNth != 0) continue;
      ++checked;
      const std::string where = std::to_string(static_cast<long>(r.year)) + "/" +
                                std::to_string(static_cast<int>(r.month)) + "/" +
                                std::to_string(static_cast<int>(r.eclipseDay));
      SessionState s;
      takeCurrentEclipse(s, r);
      const EclipseCircumstances& e = updateCurrentEclipse(s);
      ASSERT_TRUE(e.converged()) << where;
      // The one instant of each event as show names it: its UT hours after
      // 0 h UT of its date; day_start_jd is that midnight.
      const double showDayJd = midnightJd(s.year, s.month, s.current.eclipseDay);
      const auto instantJd = [&](double t) { return showDayJd + e.utHours(t) / 24.0; };
      const double greatestUt = e.utHours(e.greatestHours);
      showDay.add((e.dayStartJd - showDayJd) * kSecondsPerDay, where);
      if (!(greatestUt >= 0 && greatestUt < 24)) {
        if (++dateMisses <= 5) ADD_FAILURE() << where << ": greatest eclipse is not on show's date";
      }
      const std::array<std::optional<double>, kContactCount> contacts = contactTimesInOrder(e.contacts);

      // The panel: greatest eclipse and P1 to a tenth of a second.
      const double utSecondsOfDay = std::fmod(greatestUt * 3600, kSecondsPerDay);
      for (const PanelLine& line : infoPanelLines(infoPanelValues(e))) {
        if (line.text.rfind("Time     : ", 0) == 0) {
          panel.add(daySecondsApart(clockSeconds(line.text.substr(11)), utSecondsOfDay), where);
        } else if (line.y == 272) {  // the first contact's penumbra line
          panel.add(daySecondsApart(clockSeconds(line.text.substr(11)), e.utHours(e.contacts.p1) * 3600), where);
        }
      }

      // The local report at the sub-lunar point, where the Moon is up at
      // greatest eclipse: its UT column, seconds cut.
      const SiteValues site{e.subLunar.longitudeDeg, e.subLunar.latitudeDeg, 0};
      bool maximumRow = false;
      for (const ReportLine& line : localReport(e, localCircumstances(e, site), nullptr, true).lines) {
        if (line.text.rfind(" Maximum Luner Eclipse", 0) != 0) continue;
        maximumRow = true;
        // Cut seconds lie in [instant − 1 s, instant]: centred on −0.5 s.
        report.add(daySecondsApart(clockSeconds(line.text.substr(26, 8)), utSecondsOfDay) + 0.5, where);
      }
      EXPECT_TRUE(maximumRow) << where;

      // The exports, with the same site.
      ExportList list;
      list.site = ExportSite{"", site.longitudeDeg, site.latitudeDeg, 0, ""};
      list.deltaTModel = deltaTModelName(kDefaultDeltaTModel);
      list.eclipses.push_back(exportEclipseOf(r, DeltaTChoice{}, site));
      if (list.eclipses[0].deltaTSeconds != s.deltaT) ++deltaTMisses;
      const auto row = csvRecord(exportCsv(list));
      const std::string json = exportJson(list);
      const auto compare = [&](const std::string& name, const std::optional<double>& t) {
        const std::string text = field(row, name);
        ASSERT_EQ(text.empty(), !t) << where << " " << name;
        if (!t) return;
        exports.add((jdOfIso(text) - instantJd(*t)) * kSecondsPerDay, where + " " + name);
        EXPECT_EQ(after(json, "\"" + name + "\": \"", '"'), text) << where;
      };
      compare("greatest_ut", e.greatestHours);
      for (std::size_t i = 0; i < kContactCount; ++i) compare(std::string(kContactNames[i].key) + "_ut", contacts[i]);
      const std::string local = field(row, "greatest_local");
      const double offsetHours = standardZoneOffsetHours(site.longitudeDeg);
      exports.add((jdOfIso(local) - offsetHours / 24 - instantJd(e.greatestHours)) * kSecondsPerDay, where + " local");

      // The calendar, for the years it can hold: DTSTART and DTEND (basic
      // format) and greatest eclipse in the DESCRIPTION.
      const ExportText ics = exportICalendar(list, 0);
      if (!ics.ok) continue;
      const auto basic = [](const std::string& v) {
        return v.substr(0, 4) + "-" + v.substr(4, 2) + "-" + v.substr(6, 2) + "T" + v.substr(9, 2) + ":" +
               v.substr(11, 2) + ":" + v.substr(13, 2);
      };
      calendar.add((jdOfIso(basic(after(ics.text, "\r\nDTSTART:", '\r'))) - instantJd(e.contacts.p1)) * kSecondsPerDay,
                   where + " DTSTART");
      calendar.add((jdOfIso(basic(after(ics.text, "\r\nDTEND:", '\r'))) - instantJd(e.contacts.p4)) * kSecondsPerDay,
                   where + " DTEND");
      std::string unfolded;
      const std::string tail = ics.text.substr(ics.text.find("\r\nDESCRIPTION:") + 14);
      for (std::size_t i = 0; i < tail.size(); ++i) {
        if (tail.compare(i, 3, "\r\n ") == 0) {
          i += 2;
        } else if (tail.compare(i, 2, "\r\n") == 0) {
          break;
        } else {
          unfolded += tail[i];
        }
      }
      calendar.add((jdOfIso(after(unfolded, "\\nGreatest ", 'Z')) - instantJd(e.greatestHours)) * kSecondsPerDay,
                   where + " Greatest");
    }
  }
  std::printf("[ measured ] %ld of %ld entries checked\n", checked, entries);
  testing::expectNoMisses(showDay, "day_start_jd from 0 h UT of show's date", "s");
  testing::expectNoMisses(panel, "panel from show", "s");
  testing::expectNoMisses(report, "local report (cut seconds, centred) from show", "s");
  testing::expectNoMisses(exports, "CSV/JSON from show", "s");
  testing::expectNoMisses(calendar, "iCalendar from show", "s");
  EXPECT_EQ(dateMisses, 0);
  EXPECT_EQ(deltaTMisses, 0) << "the exports' ΔT is not the one shown";
  EXPECT_EQ(entries, 72840);
  EXPECT_GT(calendar.count, 100);
}

}  // namespace
}  // namespace tarvo
