#include "sky/eclipse_planets.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <system_error>

namespace tarvo {

namespace {

constexpr double kMicroDegrees = 1e6;   // stored units per degree
constexpr double kMagnitudeUnits = 100;  // stored units per magnitude
constexpr double kMagnitudeLimit = 10;   // |magnitude| beyond this is damage
// TT Julian Days a canon entry may have (years −13001 to 17001).
constexpr double kFirstJdTT = -3027558.5, kLastJdTT = 7930916.5;
constexpr const char* kPlanetNames[kPlanetCount] = {"Mercury", "Venus", "Mars", "Jupiter", "Saturn"};

std::int64_t readLittle(const unsigned char* p, int bytes) {
  std::uint64_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
  // Sign-extend from the stored width.
  const int shift = 64 - 8 * bytes;
  return shift == 0 ? std::int64_t(v) : std::int64_t(v << shift) >> shift;
}

void writeLittle(std::string& out, std::uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) out += char((v >> (8 * i)) & 0xFF);
}

double readDouble(const unsigned char* p) {
  const std::uint64_t bits = std::uint64_t(readLittle(p, 8));
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

std::string number(double v) {
  char text[64];
  std::snprintf(text, sizeof text, "%.6f", v);
  return text;
}

PlanetFileReading damaged(std::string text) {
  PlanetFileReading r;
  r.status = PlanetFileStatus::Damaged;
  r.error = std::move(text);
  return r;
}

bool printableLine(std::string_view line) {
  return std::all_of(line.begin(), line.end(), [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 0x20 && u != 0x7F;
  });
}

// Decodes record i at p; an empty text when it is sound, else the reason.
std::string decodeRecord(const unsigned char* p, EclipsePlanets& out) {
  out.lunation = std::int32_t(readLittle(p, 4));
  out.jdTT = readDouble(p + 4);
  if (!(out.jdTT >= kFirstJdTT && out.jdTT <= kLastJdTT))
    return "Julian Day " + number(out.jdTT) + " outside the canon's span";
  const unsigned char* q = p + 12;
  for (std::size_t k = 0; k < kPlanetCount; ++k, q += 10) {
    PlanetPlaceOfDate& place = out.planets[k];
    place.raDeg = double(readLittle(q, 4)) / kMicroDegrees;
    place.decDeg = double(readLittle(q + 4, 4)) / kMicroDegrees;
    place.magnitude = double(readLittle(q + 8, 2)) / kMagnitudeUnits;
    const std::string name = kPlanetNames[k];
    if (!(place.raDeg >= 0 && place.raDeg < 360))
      return "right ascension of " + name + " " + number(place.raDeg) + " outside 0..360";
    if (!(place.decDeg >= -90 && place.decDeg <= 90))
      return "declination of " + name + " " + number(place.decDeg) + " outside -90..90";
    if (!(std::fabs(place.magnitude) <= kMagnitudeLimit))
      return "magnitude of " + name + " " + number(place.magnitude) + " outside -10..10";
  }
  return {};
}

}  // namespace

PlanetFileReading parseEclipsePlanets(std::string_view bytes, std::string_view fileName) {
  const std::string file(fileName);
  const std::size_t end = bytes.substr(0, kPlanetHeaderMaxBytes).find("\n\n");
  if (end == std::string_view::npos) {
    if (bytes.substr(0, bytes.find('\n')) != kPlanetFileFirstLine)
      return damaged(file + ": not a planet file (the first line is not \"" + kPlanetFileFirstLine + "\")");
    return damaged(file + ": the header does not end with an empty line within " +
                   std::to_string(kPlanetHeaderMaxBytes) + " bytes");
  }
  const std::string_view header = bytes.substr(0, end + 1);
  PlanetFileReading reading;
  long records = -1;
  std::size_t lineNumber = 0;
  for (std::size_t at = 0; at < header.size();) {
    const std::size_t next = header.find('\n', at);
    const std::string_view line = header.substr(at, next - at);
    at = next + 1;
    ++lineNumber;
    if (lineNumber == 1) {
      if (line != kPlanetFileFirstLine)
        return damaged(file + ": not a planet file (the first line is not \"" + kPlanetFileFirstLine + "\")");
      continue;
    }
    const std::size_t colon = line.find(": ");
    if (colon == std::string_view::npos || colon == 0 || !printableLine(line))
      return damaged(file + " header line " + std::to_string(lineNumber) + ": not \"key: value\"");
    const std::string_view key = line.substr(0, colon), value = line.substr(colon + 2);
    if (key == "source") reading.file.source = std::string(value);
    if (key == "records") {
      long n = -1;
      const auto [ptr, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
      if (ec != std::errc() || ptr != value.data() + value.size() || n < 0 || n > kPlanetRecordsMax)
        return damaged(file + " header line " + std::to_string(lineNumber) + ": records \"" +
                       std::string(value) + "\" is no count 0.." + std::to_string(kPlanetRecordsMax));
      records = n;
    }
  }
  if (records < 0) return damaged(file + ": the header has no \"records\" line");

  const std::string_view body = bytes.substr(end + 2);
  const std::size_t expected = std::size_t(records) * kPlanetRecordBytes;
  if (body.size() != expected)
    return damaged(file + ": " + std::to_string(body.size()) + " bytes of records where " +
                   std::to_string(records) + " records take " + std::to_string(expected));

  reading.file.records.resize(std::size_t(records));
  const auto* p = reinterpret_cast<const unsigned char*>(body.data());
  for (std::size_t i = 0; i < std::size_t(records); ++i, p += kPlanetRecordBytes) {
    EclipsePlanets& r = reading.file.records[i];
    const std::string reason = decodeRecord(p, r);
    const std::string entry = file + " entry " + std::to_string(i + 1) + " (lunation " +
                              std::to_string(r.lunation) + "): ";
    if (!reason.empty()) return damaged(entry + reason);
    if (i > 0 && r.lunation <= reading.file.records[i - 1].lunation)
      return damaged(entry + "not after lunation " + std::to_string(reading.file.records[i - 1].lunation));
  }
  reading.status = PlanetFileStatus::Read;
  return reading;
}

PlanetFileReading readEclipsePlanets(const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) {
    PlanetFileReading r;
    r.status = std::filesystem::exists(path, ec) ? PlanetFileStatus::Damaged : PlanetFileStatus::Missing;
    r.error = path.string() + (r.status == PlanetFileStatus::Missing ? ": not found" : ": not a regular file");
    return r;
  }
  std::ifstream in(path, std::ios::binary);
  std::string bytes;
  char buffer[1 << 16];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) bytes.append(buffer, std::size_t(in.gcount()));
  if (in.bad() || !in.eof()) return damaged(path.string() + ": cannot be read");
  return parseEclipsePlanets(bytes, path.string());
}

std::string formatEclipsePlanets(const std::vector<std::string>& headerLines,
                                 const std::vector<EclipsePlanets>& records) {
  std::string out = std::string(kPlanetFileFirstLine) + "\n";
  for (const std::string& line : headerLines) out += line + "\n";
  out += "records: " + std::to_string(records.size()) + "\n\n";
  for (const EclipsePlanets& r : records) {
    writeLittle(out, std::uint32_t(r.lunation), 4);
    std::uint64_t bits;
    std::memcpy(&bits, &r.jdTT, sizeof bits);
    writeLittle(out, bits, 8);
    for (const PlanetPlaceOfDate& p : r.planets) {
      long long ra = std::llround(p.raDeg * kMicroDegrees);
      if (ra >= 360LL * 1000000) ra -= 360LL * 1000000;
      if (ra < 0) ra += 360LL * 1000000;
      writeLittle(out, std::uint64_t(ra), 4);
      writeLittle(out, std::uint64_t(std::llround(p.decDeg * kMicroDegrees)), 4);
      writeLittle(out, std::uint64_t(std::llround(p.magnitude * kMagnitudeUnits)), 2);
    }
  }
  return out;
}

std::optional<EclipsePlanets> findEclipsePlanets(const EclipsePlanetFile& file, long lunation,
                                                 double jdTT, double toleranceDays) {
  const auto it = std::lower_bound(file.records.begin(), file.records.end(), lunation,
                                   [](const EclipsePlanets& r, long n) { return r.lunation < n; });
  if (it == file.records.end() || it->lunation != lunation) return std::nullopt;
  if (!(std::fabs(it->jdTT - jdTT) <= toleranceDays)) return std::nullopt;
  return *it;
}

}  // namespace tarvo
