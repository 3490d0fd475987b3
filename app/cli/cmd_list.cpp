// tarvo list START PERIOD [criteria] [--city NAME | --site LON LAT HEIGHT] ...
// The eclipse list's Search: the eclipses of years START..START+PERIOD that
// meet the criteria (at most 100), under the list's header, as the list shows
// them after a search. A Saros search (--saros S) lists series S. With a
// site, --visible keeps the eclipses seen from it (each line then ends with
// its class; with --min-phase, those whose deepest phase seen is at least
// that); csv, json and ics write the list for other programs, up to --max
// eclipses, with the site's clock (--tz, the city's zone or the nearest
// city's) for the civil times.
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "app/cli/cli_args.h"
#include "app/cli/cli_landing.h"
#include "app/cli/command_registry.h"
#include "app/cli/eclipse_options.h"
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

// The text list, or an export format of the table.
struct ExportOptions {
  bool visible = false;
  std::optional<EclipsePhase> minPhase;  // with visible
  const ExportFormat* format = nullptr;  // the text list when null
  std::optional<double> maxEntries;
  bool given() const { return visible || format != nullptr || maxEntries; }
};

constexpr const char* kTextFormat = "text";

void addExportOptions(OptionParser& parser, ExportOptions& out) {
  parser.add(flagOption("--visible", "with a site: only the eclipses seen from it, each line ending with its class",
                        out.visible));
  std::vector<std::string> names = {kTextFormat};
  for (const ExportFormat& f : exportFormats()) names.emplace_back(f.name);
  std::string choice, either;
  for (std::size_t i = 0; i < names.size(); ++i) {
    choice += (i == 0 ? "" : "|") + names[i];
    either += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i];
  }
  parser.add({.name = "--format",
              .argument = choice,
              .help = "the list as text (the default) or written for other programs",
              .apply = [&out, either](const std::vector<std::string>& v) {
                if (v[0] == kTextFormat) {
                  out.format = nullptr;
                } else if (const ExportFormat* f = exportFormatNamed(v[0])) {
                  out.format = f;
                } else {
                  return "--format must be " + either;
                }
                return std::string();
              },
              .valueError = "--format needs " + either,
              .completion = ValueCompletion::Words,
              .words = names});
  const std::string maxError = "--max must be a whole number " + formatString("%.0f..%.0f", limits::kExportEntries.lo,
                                                                                limits::kExportEntries.hi);
  parser.add({.name = "--max",
              .argument = "N",
              .help = formatString("at most N eclipses in an export format (default %d)", kMaxListEntries),
              .apply = [&out, maxError](const std::vector<std::string>& v) {
                double n = 0;
                if (!parseWholeNumber(v[0], limits::kExportEntries, n)) return maxError;
                out.maxEntries = n;
                return std::string();
              },
              .valueError = "--max needs a number"});
}

struct ListArgs {
  EclipseOptions eclipse{.set = {.cursor = Need::No, .site = Need::Optional, .steps = Steps::None}};
  ExportOptions exportOptions;
};

OptionParser listParser(ListArgs& a) {
  OptionParser parser("list",
                      "The eclipse list's Search: the eclipses of the years START..START+PERIOD that meet the "
                      "criteria (a Saros search lists its series), at most 100 in the text list.");
  parser.addPositional("START PERIOD", "the first year " + rangeText(limits::kListStartYear) +
                                           " and the years searched " + rangeText(limits::kListPeriodYears));
  addEclipseOptions(parser, a.eclipse);
  addExportOptions(parser, a.exportOptions);
  parser.add(minPhaseOption(a.exportOptions.minPhase));
  parser.add(timeZoneOption(a.eclipse.shared));
  return parser;
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
  const std::optional<SiteReading> reading = withSite ? readSitesFile(siteFile()) : std::nullopt;
  const SiteList cities = reading ? reading->list : SiteList{};
  if (withSite) {
    o.site = prepareSite(state);
    o.clock = siteClockOf(options, cities, state);
  }
  o.visibleOnly = exportOptions.visible;
  o.minPhase = exportOptions.minPhase;
  const int cap = static_cast<int>(exportOptions.maxEntries.value_or(kMaxListEntries));
  o.maxEntries = exportOptions.format == nullptr ? std::min(cap, kMaxListEntries) : cap;
  CanonReader reader;
  const VisibilityListSearch found =
      visibilityListSearch(reader, searchCriteriaOf(state, state.current.saros), start, period, o);
  reportDefects(reader);
  if (found.end == SearchEnd::StartFileMissing) {
    printNoFileTexts();
    return kExitNoCatalogue;
  }
  std::string text;
  if (exportOptions.format == nullptr) {
    text = std::string(eclipseListHeader(EclipseListLayout::AfterSearch)) + "\n";
    for (std::size_t i = 0; i < found.entries.size(); ++i) {
      text += eclipseListLine(found.entries[i], EclipseListLayout::AfterSearch);
      const auto& v = found.eclipses[i].visibility;
      if (exportOptions.visible && v && v->converged) {
        text += std::string("   ") + visibilityClassName(v->visibilityClass);
      }
      text += "\n";
    }
  } else {
    const ExportList list = exportListOf(state, cities, withSite, found.eclipses, o.clock ? &*o.clock : nullptr);
    const ExportText written =
        exportOptions.format->write(list, julianDayOfUnixSeconds(static_cast<double>(std::time(nullptr))));
    if (!written.ok) {
      std::fprintf(stderr, "tarvo list: cannot write the calendar: %s\n", written.error.c_str());
      return kExitUsage;
    }
    text = written.text;
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
  ListArgs a;
  OptionParser parser = listParser(a);
  if (const auto stop = parser.parse(args)) return *stop;
  const SharedOptions& options = a.eclipse.shared;
  const ExportOptions& exportOptions = a.exportOptions;
  SessionState state;
  const std::vector<std::string>& positional = parser.positional();
  if (positional.size() != 2) return parser.usageError("START and PERIOD are needed");
  // The list dialog's ranges.
  double start = 0, period = 0;
  const auto historicalStart = historicalYear(positional[0]);
  if (historicalStart) start = *historicalStart;
  if ((!historicalStart && !parseNumber(positional[0], start)) || !limits::kListStartYear.contains(start)) {
    return parser.usageError("START must be a year " + yearRangeText(positional[0], limits::kListStartYear));
  }
  if (!parseNumber(positional[1], period) || !limits::kListPeriodYears.contains(period)) {
    return parser.usageError("PERIOD must be " + rangeText(limits::kListPeriodYears) + " years");
  }
  applyCursorAndDeltaT(options, state);
  if (const std::string e = applyCriteria(a.eclipse.criteria, state); !e.empty()) return parser.usageError(e);
  if (const std::string e = applySearchSite(options, state); !e.empty()) return parser.usageError(e);
  // The dialog lists the series of the eclipse shown; here, the series asked for.
  if (state.searchType == kSearchBySaros) state.current.saros = state.sarosCriterion;

  if (exportOptions.visible && !options.cityName && !options.typedSite) {
    return parser.usageError("--visible needs --city NAME or --site LON LAT HEIGHT");
  }
  if (exportOptions.minPhase && !exportOptions.visible) return parser.usageError("--min-phase needs --visible");
  if (options.timeZone && !options.cityName && !options.typedSite) {
    return parser.usageError("--tz needs --city NAME or --site LON LAT HEIGHT");
  }
  // The list dialog takes starts up to the year after the catalogue's last:
  // no eclipse lies in such a period, and no file is missing for it.
  if (start > kCanonFiles.back().lastYear) {
    if (!exportOptions.given()) std::printf("%s\n", eclipseListHeader(EclipseListLayout::AfterSearch));
    std::fprintf(stderr, "tarvo list: no eclipse lies in the years %g..%g: the catalogue ends with the year %d\n",
                 start, start + period, kCanonFiles.back().lastYear);
    return kExitShown;
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

const CommandRegistration kList{{"list", [] {
                                   ListArgs a;
                                   return listParser(a).syntax();
                                 },
                                 runList}};

}  // namespace
}  // namespace tarvo::cli
