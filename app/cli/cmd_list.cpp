// tarvo list START PERIOD [criteria] [--city NAME | --site LON LAT HEIGHT] [--visible]
//            [--format text|csv|json|ics] [--max N]
// The eclipse list's Search: the eclipses of years START..START+PERIOD that
// meet the criteria (at most 100), under the list's header, as the list shows
// them after a search. A Saros search (--saros S) lists series S. With a
// site, --visible keeps the eclipses seen from it (each line then ends with
// its class); csv, json and ics write the list for other programs, up to
// --max eclipses.
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "app/cli/cli_args.h"
#include "app/cli/cli_landing.h"
#include "app/cli/command_registry.h"
#include "app/cli/criteria_options.h"
#include "app/cli/shared_options.h"
#include "catalogue/canon_reader.h"
#include "catalogue/eclipse_list_format.h"
#include "base/input_limits.h"
#include "session/session_state.h"
#include "export/eclipse_export.h"
#include "session/search.h"
#include "session/site_glue.h"
#include "session/visibility_list.h"
#include "timebase/delta_t.h"
#include "timebase/historical_dates.h"

namespace tarvo::cli {
namespace {

const std::string kUsage = "list START PERIOD " + criteriaUsage() +
                           " [--city NAME | --site LON LAT HEIGHT] [--dt-adjust SECONDS]"
                           " [--visible] [--format text|csv|json|ics] [--max N]";

enum class ListFormat { Text, Csv, Json, ICalendar };
// Julian Day of the Unix epoch.
constexpr double kUnixEpochJd = 2440587.5;

struct ExportOptions {
  bool visible = false;
  ListFormat format = ListFormat::Text;
  std::optional<double> maxEntries;
  bool given() const { return visible || format != ListFormat::Text || maxEntries; }
};

void addExportOptions(OptionParser& parser, ExportOptions& out) {
  parser.add({"--visible", 0,
              [&out](const std::vector<std::string>&) {
                out.visible = true;
                return std::string();
              },
              ""});
  parser.add({"--format", 1,
              [&out](const std::vector<std::string>& v) {
                if (v[0] == "text") out.format = ListFormat::Text;
                else if (v[0] == "csv") out.format = ListFormat::Csv;
                else if (v[0] == "json") out.format = ListFormat::Json;
                else if (v[0] == "ics") out.format = ListFormat::ICalendar;
                else return std::string("--format must be text, csv, json or ics");
                return std::string();
              },
              "--format needs text, csv, json or ics"});
  parser.add({"--max", 1,
              [&out](const std::vector<std::string>& v) {
                double n = 0;
                if (!parseWholeNumber(v[0], limits::kExportEntries, n)) {
                  return std::string("--max must be a whole number 1..100000");
                }
                out.maxEntries = n;
                return std::string();
              },
              "--max needs a number"});
}

void printNoFileTexts() {
  for (const ScreenText& t : kSearchNoFileTexts) std::fprintf(stderr, "%s\n", t.text);
}

// The list with visibility or in an export format. Everything is computed
// before anything is written, so a refused calendar writes nothing.
int runVisibilityList(SessionState& state, const SharedOptions& options, const ExportOptions& exportOptions,
                      double start, double period) {
  VisibilityListOptions o;
  const bool withSite = options.cityName || options.typedSite;
  if (withSite) o.site = prepareSite(state);
  o.visibleOnly = exportOptions.visible;
  const int cap = static_cast<int>(exportOptions.maxEntries.value_or(kMaxListEntries));
  o.maxEntries = exportOptions.format == ListFormat::Text ? std::min(cap, kMaxListEntries) : cap;
  CanonReader reader;
  reader.setDeltaTModel(state.deltaTModel);
  const VisibilityListSearch found =
      visibilityListSearch(reader, searchCriteriaOf(state, state.saros), start, period, o);
  reportDefects(reader);
  if (found.end == SearchEnd::StartFileMissing) {
    printNoFileTexts();
    return kExitNoCatalogue;
  }
  ExportList list;
  if (withSite) {
    const std::optional<SiteReading> reading = readSitesFile(siteFile());
    list.site = exportSiteOf(state, reading ? reading->list : SiteList{});
  }
  list.deltaTModel = deltaTModelName(state.deltaTModel);
  list.eclipses = found.eclipses;
  std::string text;
  switch (exportOptions.format) {
    case ListFormat::Text: {
      text = std::string(eclipseListHeader(EclipseListLayout::AfterSearch)) + "\n";
      for (std::size_t i = 0; i < found.entries.size(); ++i) {
        text += eclipseListLine(found.entries[i], EclipseListLayout::AfterSearch);
        const auto& v = found.eclipses[i].visibility;
        if (exportOptions.visible && v && v->converged) {
          text += std::string("   ") + visibilityClassName(v->visibilityClass);
        }
        text += "\n";
      }
      break;
    }
    case ListFormat::Csv: text = exportCsv(list); break;
    case ListFormat::Json: text = exportJson(list); break;
    case ListFormat::ICalendar: {
      const ExportText ics = exportICalendar(list, kUnixEpochJd + static_cast<double>(std::time(nullptr)) / 86400.0);
      if (!ics.ok) {
        std::fprintf(stderr, "tarvo list: cannot write the calendar: %s\n", ics.error.c_str());
        return kExitUsage;
      }
      text = ics.text;
      break;
    }
  }
  std::fwrite(text.data(), 1, text.size(), stdout);
  if (found.end == SearchEnd::NextFileMissing) {
    std::fflush(stdout);
    printNoFileTexts();
    return kExitNoCatalogue;
  }
  return 0;
}

int runList(const std::vector<std::string>& args) {
  SessionState state;
  SharedOptions options;
  CriteriaOptions criteria;
  OptionParser parser("list", kUsage);
  addCriteriaOptions(parser, criteria);
  addSiteOptions(parser, options);
  addDeltaTAdjustOption(parser, options);
  addDeltaTModelOption(parser, options.deltaTModel);
  ExportOptions exportOptions;
  addExportOptions(parser, exportOptions);
  if (!parser.parse(args)) return kExitUsage;
  const std::vector<std::string>& positional = parser.positional();
  if (positional.size() != 2) return parser.usageError("START and PERIOD are needed");
  // The list dialog's ranges.
  double start = 0, period = 0;
  const auto historicalStart = historicalYear(positional[0]);
  if (historicalStart) start = *historicalStart;
  if ((!historicalStart && !parseNumber(positional[0], start)) || !limits::kListStartYear.contains(start)) {
    return parser.usageError("START must be a year " + rangeText(limits::kListStartYear));
  }
  if (!parseNumber(positional[1], period) || !limits::kListPeriodYears.contains(period)) {
    return parser.usageError("PERIOD must be " + rangeText(limits::kListPeriodYears) + " years");
  }
  state.deltaTAdjust = options.deltaTAdjust;
  state.deltaTModel = options.deltaTModel;
  if (const std::string e = applyCriteria(criteria, state); !e.empty()) return parser.usageError(e);
  if (const std::string e = applySearchSite(options, state); !e.empty()) return parser.usageError(e);
  // The dialog lists the series of the eclipse shown; here, the series asked for.
  if (state.searchType == kSearchBySaros) state.saros = state.sarosCriterion;

  if (exportOptions.visible && !options.cityName && !options.typedSite) {
    return parser.usageError("--visible needs --city NAME or --site LON LAT HEIGHT");
  }
  if (exportOptions.given()) return runVisibilityList(state, options, exportOptions, start, period);

  CanonReader reader;
  const ListSearchResult found = listSearchCommand(state, reader, start, period);
  reportDefects(reader);
  // Without the start year's file there is no list, not even its header.
  if (found.end != SearchEnd::StartFileMissing) {
    for (const std::string& line : eclipseListLines(state, true)) std::printf("%s\n", line.c_str());
  }
  if (found.errorTexts.empty()) return kExitShown;
  std::fflush(stdout);
  for (const ScreenText& t : found.errorTexts) std::fprintf(stderr, "%s\n", t.text);
  printMissingCatalogueLine(reader);
  return kExitNoCatalogue;
}

const CommandRegistration kList{{"list", kUsage.c_str(), runList}};

}  // namespace
}  // namespace tarvo::cli
