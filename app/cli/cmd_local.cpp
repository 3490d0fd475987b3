// tarvo local YEAR MONTH (--city NAME | --site LON LAT HEIGHT) ...
// Applies the criteria as the Search dialog's OK does, lands on the cursor as
// a repaint does (then N Next or Previous steps) and prints the local circumstances
// report, one `y=<row> <text>` line per report line in drawing order; with
// --png also draws it on a black surface and saves it; with --sigma ends with
// `deltat_sigma S`, the uncertainty of ΔT in seconds, which every time of the
// report shares; with --topocentric the Alt. column gives the altitude an
// observer at the site sees (topocentric, refracted) and the note line says so.
#include <cinttypes>
#include <cstdio>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "app/time_zones.h"
#include "app/cli/cli_landing.h"
#include "app/cli/command_registry.h"
#include "app/cli/eclipse_options.h"
#include "catalogue/canon_reader.h"
#include "circumstances/sites.h"
#include "surface/drawing_surface.h"
#include "session/session_state.h"
#include "session/landing.h"
#include "session/local_display.h"
#include "session/observer_words.h"

namespace tarvo::cli {
namespace {

constexpr int kExitPngFailed = 1;

struct LocalArgs {
  EclipseOptions eclipse{.set = {.cursor = Need::Required, .site = Need::Required}};
  std::string pngPath;
  bool sigma = false;
  bool topocentric = false;
};

OptionParser localParser(LocalArgs& a) {
  OptionParser parser("local",
                      "Prints the local circumstances report at the site, one y=ROW TEXT line per report line.");
  addEclipseOptions(parser, a.eclipse);
  parser.add(outputFileOption("--png", "FILE", "also draw the report into a PNG file", a.pngPath));
  parser.addWithin("--png", sizeOption(a.eclipse.shared));
  parser.addWithin("--png", scaleOption(a.eclipse.shared));
  parser.addWithin("--png", timeZoneOption(a.eclipse.shared));
  parser.add(flagOption("--sigma", "end with deltat_sigma S, the uncertainty of Delta T in seconds", a.sigma));
  parser.add(flagOption("--topocentric",
                        "Alt. as an observer at the site sees it (topocentric, refracted), said on the note line",
                        a.topocentric));
  return parser;
}

int runLocal(const std::vector<std::string>& args) {
  LocalArgs a;
  OptionParser parser = localParser(a);
  if (const auto stop = parser.parse(args)) return *stop;
  const SharedOptions& options = a.eclipse.shared;
  const std::string& pngPath = a.pngPath;
  if (const std::string e = checkEclipseOptions(parser.positional(), a.eclipse); !e.empty()) {
    return parser.usageError(e);
  }
  if (options.sizeGiven && pngPath.empty()) return parser.usageError("--size goes with --png");
  if (options.scaleGiven && pngPath.empty()) return parser.usageError("--scale goes with --png");
  if (const std::string e = pictureSizeError(options); !e.empty()) return parser.usageError(e);
  if (options.timeZone && pngPath.empty()) return parser.usageError("--tz goes with --png");
  if (const std::string why = pngPath.empty() ? std::string() : refusedOutputFile(pngPath); !why.empty()) {
    std::fprintf(stderr, "tarvo local: cannot write %s: %s\n", pngPath.c_str(), why.c_str());
    return kExitPngFailed;
  }
  SessionState state;
  state.displayKind = kDisplayLocalReport;
  applyCursorAndDeltaT(options, state);
  state.altitudesAsSeen = a.topocentric;
  if (const std::string e = applyCriteria(a.eclipse.criteria, state); !e.empty()) return parser.usageError(e);

  SiteList sites;
  if (const std::string e = loadSitesAndApply(options, sites, state); !e.empty()) {
    return parser.usageError(e);
  }

  CanonReader reader;
  const SteppedLanding run = landAndStep(state, reader, options);
  reportDefects(reader);
  if (run.outcome != LandingOutcome::Shown) return reportOutcome(run.outcome, reader);

  prepareLocalReport(state);
  SessionState forLines = state;  // the drawing below sets the same outputs again
  for (const ReportLine& line : localReportLines(forLines, sites)) {
    std::printf("y=%d %s\n", line.y, line.text.c_str());
  }
  if (a.sigma) std::printf("deltat_sigma %.3f\n", state.deltaTSigma);
  if (!pngPath.empty()) {
    // A picture too large for the memory there is: said, never a crash.
    try {
      DrawingSurface surface(options.width, options.height, options.scale);
      surface.clear(paletteColour(PaletteIndex::Black));
      surface.setFont(FontRecipe::Text);
      drawLocalReport(surface, state, sites);
      drawWordsUnderLocalReport(surface, state, sites, systemZoneDatabase());
      if (const FileWrite saved = surface.savePng(pngPath); !saved.written()) {
        std::fprintf(stderr, "tarvo local: cannot write %s: %s\n", pngPath.c_str(), saved.error.c_str());
        return kExitPngFailed;
      }
    } catch (const std::bad_alloc&) {
      std::fprintf(stderr, "tarvo local: not enough memory for a %s picture\n", pictureSizeText(options).c_str());
      return kExitOutOfMemory;
    }
  }
  return run.previousMissedAFile ? kExitNoCatalogue : kExitShown;
}

const CommandRegistration kLocal{{"local", [] {
                                    LocalArgs a;
                                    return localParser(a).syntax();
                                  },
                                  runLocal}};

}  // namespace
}  // namespace tarvo::cli
