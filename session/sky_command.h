// The StarMap command: the chart of the sky above the observing site at
// greatest eclipse of the current eclipse, drawn directly on the view.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "circumstances/eclipse_circumstances.h"
#include "session/session_state.h"
#include "sky/sky_places.h"

namespace tarvo {

class DrawingSurface;

// What the chart is drawn from.
struct SkyChartRequest {
  double packedDate;    // local standard date of greatest eclipse, ±(|Y| + M/100 + D/10000)
  double utHours;       // UT of greatest eclipse, hours of the day (epochHour + offset − ΔT)
  double longitudeDeg;  // site, east positive
  double latitudeDeg;   // site, north positive
  double jd;            // Julian Day (UT) of greatest eclipse, for the planets and stars
  ChartAnchors anchors; // the Moon, the Sun and sidereal time from the eclipse's elements
  // The planets from the planet file; nullopt: from their theories.
  std::optional<PlanetPlaces> planets;
  // Why the planet file was not used when it is damaged (file, entry, reason).
  std::string planetFileNotice;
};

// The planet file's places for the eclipse of lunation `lunation` whose
// greatest eclipse is at jdTT (TT Julian Day, within a quarter of an hour),
// read from kPlanetFileName in dataDirectory (kept while the file is
// unchanged). notice gets the file's fault when it is damaged.
std::optional<PlanetPlaces> eclipsePlanetPlaces(const std::filesystem::path& dataDirectory, double lunation,
                                                double jdTT, std::string& notice);

// The chart's places for a request: the Moon, the Sun and the Earth's
// rotation as the map and the local report have them.
std::vector<SkyPlace> skyChartPlacesFor(const SkyChartRequest& request);

// The chart's inputs for an eclipse seen from a site (degrees east, north):
// the UT of greatest eclipse, its local standard date at the site, the
// catalogue's UT Julian Day, and the Moon, the Sun and sidereal time from the
// eclipse's elements at greatest eclipse.
SkyChartRequest skyChartRequest(const EclipseCircumstances& eclipse, double longitudeDeg,
                                double latitudeDeg);

// Why the planet file in dataDirectory cannot be used when it is damaged
// (file, entry, reason); empty when it is sound or missing.
std::string planetFileNotice(const std::filesystem::path& dataDirectory = ".");

// Refreshes siteMoonMagnitude and siteMoonAltitude (greatest eclipse at the
// site, iterated from epochHour), then gives the chart's inputs for the
// circumstances the last paint found, at the observing site. The date is the
// current eclipse's own local standard date, not one left by an earlier report.
// The planets come from the planet file in dataDirectory where it has the eclipse.
SkyChartRequest prepareSkyChart(SessionState& state, const std::filesystem::path& dataDirectory = ".");

// The whole command: prepares, clears the surface to black and draws the
// chart with the surface's drawing tools reset as on a fresh view.
void drawSkyChartCommand(SessionState& state, DrawingSurface& surface);

// The line said beside the chart of `request` when it leaves the Moon out
// (below 10°), e.g. "The Moon is not drawn: its altitude is 4.3° (below
// 10°)."; empty when the Moon is drawn. UTF-8.
std::string skyChartMoonNote(const SkyChartRequest& request);

}  // namespace tarvo
