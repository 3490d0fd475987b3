// The planets at every eclipse of the canon: for each eclipse (keyed by the
// lunation number of its full moon) the geocentric apparent right ascension
// and declination (true equator and equinox of date) and the visual magnitude
// of Mercury, Venus, Mars, Jupiter and Saturn at greatest eclipse (TT), as
// the canon generator computed them from the long-span ephemeris files.
//
// The file "eclipse_planets.dat" beside the catalogue: a text header of
// "key: value" lines ended by an empty line (at most kPlanetHeaderMaxBytes),
// its first line kPlanetFileFirstLine and one line "records: N", then N
// records of kPlanetRecordBytes bytes, little-endian, lunations ascending:
//   int32 lunation, float64 TT Julian Day of greatest eclipse, then for each
//   planet int32 right ascension and int32 declination in micro-degrees and
//   int16 magnitude in hundredths.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

inline constexpr const char* kPlanetFileName = "eclipse_planets.dat";
inline constexpr const char* kPlanetFileFirstLine = "TarvoWin eclipse planets 1";
inline constexpr std::size_t kPlanetHeaderMaxBytes = 4096;
inline constexpr std::size_t kPlanetCount = 5;  // Mercury, Venus, Mars, Jupiter, Saturn
inline constexpr std::size_t kPlanetRecordBytes = 4 + 8 + kPlanetCount * (4 + 4 + 2);
// More records than any canon holds is damage, not data.
inline constexpr long kPlanetRecordsMax = 1000000;

// One planet's place of date.
struct PlanetPlaceOfDate {
  double raDeg = 0;      // [0, 360)
  double decDeg = 0;     // [−90, 90]
  double magnitude = 0;  // visual, [−10, 10]
};

struct EclipsePlanets {
  std::int32_t lunation = 0;
  double jdTT = 0;  // greatest eclipse, TT Julian Day
  std::array<PlanetPlaceOfDate, kPlanetCount> planets{};
};

struct EclipsePlanetFile {
  std::string source;  // the header's "source" line, empty when it has none
  std::vector<EclipsePlanets> records;  // lunations ascending
};

enum class PlanetFileStatus { Read, Missing, Damaged };

// What reading the file gave: the records, or why not. `error` names the
// file, the entry where there is one, and the reason.
struct PlanetFileReading {
  PlanetFileStatus status = PlanetFileStatus::Missing;
  EclipsePlanetFile file;
  std::string error;
};

// The file's bytes read as above; fileName only names it in the error.
PlanetFileReading parseEclipsePlanets(std::string_view bytes, std::string_view fileName);
// The file at path: Missing when there is none (error names it all the same).
PlanetFileReading readEclipsePlanets(const std::filesystem::path& path);

// The bytes of a file with these header lines ("key: value", without the
// first line and the records line) and records (lunations ascending).
std::string formatEclipsePlanets(const std::vector<std::string>& headerLines,
                                 const std::vector<EclipsePlanets>& records);

// The record of a lunation whose TT Julian Day lies within toleranceDays of
// jdTT; nullopt when the file has none.
std::optional<EclipsePlanets> findEclipsePlanets(const EclipsePlanetFile& file, long lunation,
                                                 double jdTT, double toleranceDays);

}  // namespace tarvo
