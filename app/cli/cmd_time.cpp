// tarvo deltat YEAR, tarvo calendar JD: the time-scale services.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "app/cli/cli_args.h"
#include "app/cli/command_registry.h"
#include "core/input_limits.h"
#include "core/text_format.h"
#include "timebase/time_scales.h"

namespace tarvo::cli {
namespace {

// A usage error naming what is wrong, then the usage line.
int usageError(const char* command, const std::string& what, const char* usage) {
  std::fprintf(stderr, "tarvo %s: %s\nusage: tarvo %s\n", command, what.c_str(), usage);
  return kExitUsage;
}

std::string notANumber(const char* name, const std::string& arg) {
  return std::string(name) + " '" + arg + "' is not a number";
}

int runDeltaT(const std::vector<std::string>& args) {
  double year = 0;
  if (args.size() != 1) {
    std::fprintf(stderr, "usage: tarvo deltat YEAR\n");
    return kExitUsage;
  }
  if (!parseNumber(args[0], year)) return usageError("deltat", notANumber("YEAR", args[0]), "deltat YEAR");
  if (!limits::kDeltaTYear.contains(year)) {
    return usageError("deltat", formatString("YEAR must lie within %.0f..%.0f", limits::kDeltaTYear.lo,
                                             limits::kDeltaTYear.hi),
                      "deltat YEAR");
  }
  std::printf("%.3f\n", deltaTModel((year + 0.5 - 2000.0) / 100.0));
  return 0;
}

// Julian Days beyond this (about ±2.7 million years) are refused: the
// catalogue spans 30,000 years, and farther dates print as absurd years.
constexpr double kCalendarJdLimitDays = 1e9;

int runCalendar(const std::vector<std::string>& args) {
  double jd = 0;
  if (args.size() != 1) {
    std::fprintf(stderr, "usage: tarvo calendar JD\n");
    return kExitUsage;
  }
  if (!parseNumber(args[0], jd)) return usageError("calendar", notANumber("JD", args[0]), "calendar JD");
  if (!(std::fabs(jd) <= kCalendarJdLimitDays)) {
    std::fprintf(stderr, "tarvo calendar: JD must lie within -1e9..1e9 days\nusage: tarvo calendar JD\n");
    return kExitUsage;
  }
  const CalendarDate c = jdToCalendar(jd, ZoneMode::StandardZone, 0);
  std::printf("%.0f %.0f %.0f %.6f\n", c.year, c.month, c.day, c.hour);
  return 0;
}

const CommandRegistration kDeltaT{{"deltat", "deltat YEAR", runDeltaT}};
const CommandRegistration kCalendar{{"calendar", "calendar JD", runCalendar}};

}  // namespace
}  // namespace tarvo::cli
