// tarvo deltat YEAR, tarvo calendar JD: the time-scale services.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "app/cli/cli_args.h"
#include "app/cli/command_registry.h"
#include "app/cli/shared_options.h"
#include "base/input_limits.h"
#include "base/text_format.h"
#include "timebase/delta_t.h"
#include "timebase/historical_dates.h"
#include "timebase/time_scales.h"

namespace tarvo::cli {
namespace {

struct DeltaTArgs {
  DeltaTModel model = kDefaultDeltaTModel;
  bool sigma = false;
};

OptionParser deltaTParser(DeltaTArgs& a) {
  OptionParser parser("deltat", "Prints Delta T = TT - UT in seconds at the middle of the year.");
  parser.addPositional("YEAR", "an astronomical year " + rangeText(limits::kDeltaTYear) +
                                   " or as historians write it (585BC)");
  parser.add(deltaTModelOption(a.model));
  parser.add(flagOption("--sigma", "print Delta T and its uncertainty sigma, both in seconds", a.sigma));
  return parser;
}

int runDeltaT(const std::vector<std::string>& args) {
  DeltaTArgs a;
  OptionParser parser = deltaTParser(a);
  if (const auto stop = parser.parse(args)) return *stop;
  const DeltaTModel model = a.model;
  const bool sigma = a.sigma;
  const std::vector<std::string>& p = parser.positional();
  double year = 0;
  if (p.size() != 1) {
    std::fprintf(stderr, "usage: tarvo %s\n", parser.usage().c_str());
    return kExitUsage;
  }
  const auto historical = historicalYear(p[0]);
  if (historical) {
    year = *historical;
  } else if (!parseNumber(p[0], year)) {
    return parser.usageError("YEAR '" + p[0] + "' is not a number");
  }
  if (!limits::kDeltaTYear.contains(year)) {
    return parser.usageError(formatString("YEAR must lie within %.0f..%.0f, that is ", limits::kDeltaTYear.lo,
                                          limits::kDeltaTYear.hi) +
                             historicalRangeText(limits::kDeltaTYear.lo, limits::kDeltaTYear.hi));
  }
  const double t = (year + 0.5 - 2000.0) / 100.0;
  if (sigma) {
    std::printf("%.3f %.3f\n", deltaTSeconds(model, t), deltaTSigmaSeconds(model, t));
  } else {
    std::printf("%.3f\n", deltaTSeconds(model, t));
  }
  return 0;
}

// Julian Days beyond this (about ±2.7 million years) are refused: the
// catalogue spans 30,000 years, and farther dates print as absurd years.
constexpr double kCalendarJdLimitDays = 1e9;

struct CalendarArgs {
  bool historical = false, gregorian = false;
};

OptionParser calendarParser(CalendarArgs& a) {
  OptionParser parser("calendar",
                      "Prints year month day hour of a Julian Day (the Julian calendar before 1582 October 15).");
  parser.addPositional("JD", "a Julian Day within -1e9..1e9");
  parser.add(flagOption("--historical", "as historians write it: 585 BC May 28 12:00 UT, Julian calendar",
                        a.historical));
  parser.add(flagOption("--gregorian", "in the proleptic Gregorian calendar throughout", a.gregorian));
  return parser;
}

int runCalendar(const std::vector<std::string>& args) {
  CalendarArgs a;
  OptionParser parser = calendarParser(a);
  if (const auto stop = parser.parse(args)) return *stop;
  const bool historical = a.historical, gregorian = a.gregorian;
  const std::vector<std::string>& p = parser.positional();
  double jd = 0;
  if (p.size() != 1) {
    std::fprintf(stderr, "usage: tarvo %s\n", parser.usage().c_str());
    return kExitUsage;
  }
  if (!parseNumber(p[0], jd)) return parser.usageError("JD '" + p[0] + "' is not a number");
  if (!(std::fabs(jd) <= kCalendarJdLimitDays)) {
    return parser.usageError("JD must lie within -1e9..1e9 days");
  }
  const CalendarRule rule = gregorian ? CalendarRule::kProlepticGregorian : CalendarRule::kJulianThenGregorian;
  if (historical) {
    std::printf("%s\n", historicalDateText(jd, rule).c_str());
    return 0;
  }
  const CalendarDate c = jdToCalendarDate(jd, rule);
  std::printf("%.0f %.0f %.0f %.6f\n", c.year, c.month, c.day, c.hour);
  return 0;
}

const CommandRegistration kDeltaT{{"deltat", [] {
                                     DeltaTArgs a;
                                     return deltaTParser(a).syntax();
                                   },
                                   runDeltaT}};
const CommandRegistration kCalendar{{"calendar", [] {
                                       CalendarArgs a;
                                       return calendarParser(a).syntax();
                                     },
                                     runCalendar}};

}  // namespace
}  // namespace tarvo::cli
