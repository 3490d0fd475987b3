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

const char* const kDeltaTUsage = "deltat YEAR [--delta-t-model builtin|smh2020] [--sigma]";

int runDeltaT(const std::vector<std::string>& args) {
  DeltaTModel model = kDefaultDeltaTModel;
  bool sigma = false;
  OptionParser parser("deltat", kDeltaTUsage);
  addDeltaTModelOption(parser, model);
  parser.add({"--sigma", 0, [&sigma](const std::vector<std::string>&) {
                sigma = true;
                return std::string();
              }, ""});
  if (!parser.parse(args)) return kExitUsage;
  const std::vector<std::string>& p = parser.positional();
  double year = 0;
  if (p.size() != 1) {
    std::fprintf(stderr, "usage: tarvo %s\n", kDeltaTUsage);
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
    std::printf("%.3f %.3f\n", deltaTSeconds(model, t), deltaTSigmaSeconds(t));
  } else {
    std::printf("%.3f\n", deltaTSeconds(model, t));
  }
  return 0;
}

// Julian Days beyond this (about ±2.7 million years) are refused: the
// catalogue spans 30,000 years, and farther dates print as absurd years.
constexpr double kCalendarJdLimitDays = 1e9;

const char* const kCalendarUsage = "calendar JD [--historical] [--gregorian]";

int runCalendar(const std::vector<std::string>& args) {
  bool historical = false, gregorian = false;
  OptionParser parser("calendar", kCalendarUsage);
  const auto flag = [](bool& on) {
    return [&on](const std::vector<std::string>&) {
      on = true;
      return std::string();
    };
  };
  parser.add({"--historical", 0, flag(historical), ""});
  parser.add({"--gregorian", 0, flag(gregorian), ""});
  if (!parser.parse(args)) return kExitUsage;
  const std::vector<std::string>& p = parser.positional();
  double jd = 0;
  if (p.size() != 1) {
    std::fprintf(stderr, "usage: tarvo calendar JD\n");
    return kExitUsage;
  }
  if (!parseNumber(p[0], jd)) return parser.usageError("JD '" + p[0] + "' is not a number");
  if (!(std::fabs(jd) <= kCalendarJdLimitDays)) {
    std::fprintf(stderr, "tarvo calendar: JD must lie within -1e9..1e9 days\nusage: tarvo calendar JD\n");
    return kExitUsage;
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

const CommandRegistration kDeltaT{{"deltat", kDeltaTUsage, runDeltaT}};
const CommandRegistration kCalendar{{"calendar", kCalendarUsage, runCalendar}};

}  // namespace
}  // namespace tarvo::cli
