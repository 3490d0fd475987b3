#include "session/sky_command.h"

#include <memory>
#include <mutex>
#include <system_error>

#include "circumstances/elements_sky.h"
#include "circumstances/geometry.h"
#include "surface/drawing_surface.h"
#include "session/site_glue.h"
#include "sky/sky_chart.h"
#include "sky/sky_places.h"
#include "base/text_format.h"
#include "timebase/delta_t.h"
#include "timebase/time_scales.h"

namespace tarvo {

SkyChartRequest skyChartRequest(const EclipseCircumstances& eclipse, double longitudeDeg,
                                double latitudeDeg) {
  SkyChartRequest request{};
  request.utHours = eclipse.utHours(eclipse.greatestHours);
  request.longitudeDeg = longitudeDeg;
  request.latitudeDeg = latitudeDeg;
  request.jd = eclipse.greatestJd;
  const ElementsSky sky = skyFromElements(eclipse.record, eclipse.greatestHours, eclipse.deltaTSeconds);
  request.anchors = {sky.moonRaDeg, sky.moonDecDeg, sky.sunRaDeg, sky.sunDecDeg,
                     sky.greenwichSiderealDeg};
  // The local standard date of greatest eclipse, as the local report finds it.
  const CalendarDate local =
      jdToCalendar(eclipse.dayStartJd + request.utHours / 24, ZoneMode::StandardZone, longitudeDeg);
  request.packedDate = packDate(local.year, local.month, local.day);
  return request;
}

namespace {

// The planet file as last read, kept while its size and time stay the same.
struct PlanetFileCache {
  std::mutex mutex;
  std::filesystem::path path;
  std::uintmax_t size = 0;
  std::filesystem::file_time_type time{};
  std::shared_ptr<const PlanetFileReading> reading;
};

std::shared_ptr<const PlanetFileReading> planetFileIn(const std::filesystem::path& dataDirectory) {
  static PlanetFileCache cache;
  const std::filesystem::path path = dataDirectory / kPlanetFileName;
  std::error_code sizeError, timeError;
  const std::uintmax_t size = std::filesystem::file_size(path, sizeError);
  const auto time = std::filesystem::last_write_time(path, timeError);
  const std::lock_guard<std::mutex> lock(cache.mutex);
  const bool known = !sizeError && !timeError;
  if (!known || !cache.reading || cache.path != path || cache.size != size || cache.time != time) {
    cache.reading = std::make_shared<const PlanetFileReading>(readEclipsePlanets(path));
    cache.path = path;
    cache.size = known ? size : 0;
    cache.time = known ? time : std::filesystem::file_time_type{};
  }
  return cache.reading;
}

// How far the file's instant of greatest eclipse may lie from the one the
// catalogue's entry gives back through the ΔT model (seconds apart at most).
constexpr double kPlanetInstantToleranceDays = 0.01;

}  // namespace

std::optional<PlanetPlaces> eclipsePlanetPlaces(const std::filesystem::path& dataDirectory, double lunation,
                                                double jdTT, std::string& notice) {
  const std::shared_ptr<const PlanetFileReading> reading = planetFileIn(dataDirectory);
  if (reading->status == PlanetFileStatus::Damaged) notice = reading->error;
  if (reading->status != PlanetFileStatus::Read) return std::nullopt;
  const auto found = findEclipsePlanets(reading->file, long(lunation), jdTT, kPlanetInstantToleranceDays);
  if (!found) return std::nullopt;
  return found->planets;
}

std::string planetFileNotice(const std::filesystem::path& dataDirectory) {
  const std::shared_ptr<const PlanetFileReading> reading = planetFileIn(dataDirectory);
  return reading->status == PlanetFileStatus::Damaged ? reading->error : std::string();
}

SkyChartRequest prepareSkyChart(SessionState& state, const std::filesystem::path& dataDirectory) {
  const EclipseCircumstances& eclipse = state.circumstances;
  // Greatest eclipse at the site, the iteration started from the reference
  // hour as a number of hours; its values feed the panel's site result.
  const SiteAtGreatest atSite = greatestAtSite(eclipse.record, prepareSite(state),
                                               eclipse.record.epochHour, eclipse.deltaTSeconds);
  if (atSite.converged) {
    state.siteMoonMagnitude = atSite.umbralMagnitude;
    state.siteMoonAltitude = atSite.altitudeDeg;
  }
  SkyChartRequest request = skyChartRequest(eclipse, state.site.where.longitudeDeg, state.site.where.latitudeDeg);
  // The catalogue's TT instant of greatest eclipse.
  request.planets = eclipsePlanetPlaces(dataDirectory, eclipse.record.ninthValue, state.current.greatestJdTt,
                                        request.planetFileNotice);
  return request;
}

std::vector<SkyPlace> skyChartPlacesFor(const SkyChartRequest& request) {
  return skyChartPlaces(request.jd, request.anchors, request.latitudeDeg, request.longitudeDeg,
                        request.planets);
}

void drawSkyChartCommand(SessionState& state, DrawingSurface& surface) {
  const SkyChartRequest request = prepareSkyChart(state);
  // A view's device context as the command takes it: default pen and brush,
  // opaque text; the clear leaves black as the background colour.
  surface.setPen(Pen{});
  surface.setBrush(Brush{});
  surface.setBackgroundMode(BackgroundMode::Opaque);
  surface.clear(paletteColour(PaletteIndex::Black));
  drawSkyChart(surface, request.packedDate, request.utHours, request.longitudeDeg,
               request.latitudeDeg, request.jd, request.anchors, request.planets);
}

std::string skyChartMoonNote(const SkyChartRequest& request) {
  // The chart's first place is the Moon.
  const std::vector<SkyPlace> places =
      skyChartPlaces(request.jd, request.latitudeDeg, request.longitudeDeg);
  if (places.empty() || places[0].drawn) return {};
  return formatString("The Moon is not drawn: its altitude is %.1f\u00b0 (below 10\u00b0).",
                      places[0].altitudeDeg);
}

}  // namespace tarvo
