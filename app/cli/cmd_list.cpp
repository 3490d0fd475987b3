// tarvo list START PERIOD [criteria]
// The eclipse list's Search: the eclipses of years START..START+PERIOD that
// meet the criteria (at most 100), under the list's header, as the list shows
// them after a search. A Saros search (--saros S) lists series S.
#include <cstdio>
#include <string>
#include <vector>

#include "app/cli/cli_args.h"
#include "app/cli/cli_landing.h"
#include "app/cli/command_registry.h"
#include "app/cli/criteria_options.h"
#include "catalogue/canon_reader.h"
#include "core/session_state.h"
#include "session/search.h"

namespace tarvo::cli {
namespace {

constexpr const char* kUsage =
    "list START PERIOD [--type 1..6 | --mag 0..1.5 [--site LON LAT HEIGHT] | --saros -400..400] "
    "[--dt-adjust SECONDS]";

int usageError(const std::string& why) {
  std::fprintf(stderr, "tarvo list: %s\nusage: tarvo %s\n", why.c_str(), kUsage);
  return kExitUsage;
}

void printNoFileTexts() {
  for (const ScreenText& t : kSearchNoFileTexts) std::fprintf(stderr, "%s\n", t.text);
}

int runList(const std::vector<std::string>& args) {
  SessionState state;
  CriteriaOptions criteria;
  std::vector<std::string> positional;
  std::string error;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    double v = 0;
    const OptionMatch m = takeCriteriaOption(args, i, criteria, error);
    if (m == OptionMatch::Bad) return usageError(error);
    if (m == OptionMatch::Taken) continue;
    if (a == "--dt-adjust") {
      if (i + 1 >= args.size() || !parseNumber(args[++i], v) || v < -10000 || v > 10000) {
        return usageError("--dt-adjust needs seconds in -10000..10000");
      }
      state.deltaTAdjust = v;
    } else if (a == "--site") {
      double lon = 0, lat = 0, height = 0;
      if (i + 3 >= args.size() || !parseNumber(args[i + 1], lon) || !parseNumber(args[i + 2], lat) ||
          !parseNumber(args[i + 3], height) || lon < -360 || lon > 360 || lat < -90 || lat > 90 || height < 0 ||
          height > 4000) {
        return usageError("--site needs LON -360..360, LAT -90..90 and HEIGHT 0..4000");
      }
      i += 3;
      state.siteLongitude = lon;
      state.siteLatitude = lat;
      state.siteHeight = height;
    } else if (a.size() > 1 && a[0] == '-' && !(a[1] >= '0' && a[1] <= '9') && a[1] != '.') {
      return usageError("unknown option " + a);
    } else {
      positional.push_back(a);
    }
  }
  if (positional.size() != 2) return usageError("START and PERIOD are needed");
  double start = 0, period = 0;
  if (!parseNumber(positional[0], start) || start < -13000 || start > 17000) {
    return usageError("START must be a year -13000..17000");
  }
  if (!parseNumber(positional[1], period) || period < 1 || period > 5000) {
    return usageError("PERIOD must be 1..5000 years");
  }
  const std::optional<int> searchType = criteriaSearchType(criteria, error);
  if (!searchType) return usageError(error);
  applyCriteria(criteria, *searchType, state);
  // The dialog lists the series of the eclipse shown; here, series S.
  if (criteria.saros) state.saros = *criteria.saros;

  CanonReader reader;
  const ListSearch found = runListSearch(state, reader, start, period);
  reportDefects(reader);
  if (found.end == SearchEnd::StartFileMissing) {
    printNoFileTexts();
    return kExitNoCatalogue;
  }
  for (const std::string& line : eclipseListLines(state, true)) std::printf("%s\n", line.c_str());
  if (found.end == SearchEnd::NextFileMissing) {
    std::fflush(stdout);
    printNoFileTexts();
    return kExitNoCatalogue;
  }
  return 0;
}

const CommandRegistration kList{{"list", kUsage, runList}};

}  // namespace
}  // namespace tarvo::cli
