// Runs the built tarvo binary's `local` command: its options and errors on
// the hand-made canon, and the 2025 March 14 eclipse from Tokyo on the
// generated canon when one is at hand.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "tests/catalogue/canon_test_support.h"
#include "tests/cli_runner.h"
#include "tests/tolerances.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

using testing::CliRun;
using testing::runTarvo;

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) out.push_back(line);
  return out;
}

// The text of the report line at row y, or empty.
std::string rowText(const std::string& out, int y) {
  const std::string prefix = "y=" + std::to_string(y) + " ";
  for (const std::string& l : lines(out)) {
    if (l.rfind(prefix, 0) == 0) return l.substr(prefix.size());
  }
  return {};
}

// The magnitude, altitude and azimuth that end an event row.
struct RowValues {
  double magnitude = 0, altitude = 0, azimuth = 0;
};

RowValues lastFields(const std::string& row) {
  std::istringstream in(row);
  std::vector<std::string> words;
  std::string w;
  while (in >> w) words.push_back(w);
  if (words.size() < 3) return {};
  const std::size_t n = words.size();
  return {std::stod(words[n - 3]), std::stod(words[n - 2]), std::stod(words[n - 1])};
}

const char* const kCities =
    "; test cities\n"
    "Tokyo,139.77,35.68,40,9\n"
    "  Sao Paulo  ,-46.63,-23.55,760,-3\n";

// A data directory with the hand-made canon and, optionally, a city list.
struct DataDir {
  testing::ScratchDir dir;
  explicit DataDir(bool withCities) {
    for (const auto& f : fs::directory_iterator(testing::testCanonDir())) {
      fs::copy_file(f.path(), dir.path() / f.path().filename());
    }
    if (withCities) std::ofstream(dir.path() / "location.new") << kCities;
  }
  const fs::path& path() const { return dir.path(); }
};

// Width and height from a PNG file's IHDR chunk.
bool pngSize(const fs::path& file, int& width, int& height) {
  std::ifstream in(file, std::ios::binary);
  unsigned char h[24] = {};
  if (!in.read(reinterpret_cast<char*>(h), sizeof h)) return false;
  const unsigned char sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  if (!std::equal(sig, sig + 8, h) || std::string(reinterpret_cast<char*>(h + 12), 4) != "IHDR") return false;
  width = (h[16] << 24) | (h[17] << 16) | (h[18] << 8) | h[19];
  height = (h[20] << 24) | (h[21] << 16) | (h[22] << 8) | h[23];
  return true;
}

TEST(LocalCommand, PrintsTheReportLinesWithTheirRows) {
  DataDir data(true);
  const CliRun r = runTarvo(data.path(), "local 2025 4 --city 'Sao Paulo'");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "");
  const std::vector<std::string> out = lines(r.out);
  ASSERT_GE(out.size(), 6u);
  // Every line is y=<row> <text>, the row unpadded, rows in drawing order.
  int lastRow = 0;
  for (const std::string& l : out) {
    const std::size_t space = l.find(' ');
    ASSERT_TRUE(l.rfind("y=", 0) == 0 && space != std::string::npos && space > 2) << l;
    const std::string row = l.substr(2, space - 2);
    EXPECT_EQ(row.find_first_not_of("0123456789"), std::string::npos) << l;
    EXPECT_NE(row[0], '0') << l;
    EXPECT_GT(std::stoi(row), lastRow) << l;
    lastRow = std::stoi(row);
  }
  EXPECT_EQ(out[0].substr(0, 5), "y=30 ");
  // The name is matched trimmed and printed as written; trailing blanks of
  // the column heads are kept.
  EXPECT_EQ(rowText(r.out, 45), " Location :   Sao Paulo   Lon: -46.63d Lat: -23.55d Height:760.0");
  EXPECT_EQ(rowText(r.out, 75),
            "                          Universal   Local                  Mag.     Alt.    Az   ");
  EXPECT_EQ(rowText(r.out, 360), " Note:  Local Time = UT + Longitude/15.0     ");
}

TEST(LocalCommand, TypedSiteAndPng) {
  DataDir data(true);
  const fs::path png = data.path() / "report.png";
  CliRun r = runTarvo(data.path(), "local 2025 4 --site -7.5 40 120 --png '" + png.string() + "'");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(rowText(r.out, 45), " Location : Selected City       Lon:  -7.50d Lat:  40.00d Height: 120.0");
  int w = 0, h = 0;
  ASSERT_TRUE(pngSize(png, w, h));
  EXPECT_EQ(w, 692);
  EXPECT_EQ(h, 453);

  r = runTarvo(data.path(), "local 2025 4 --site 10 20 0 --png '" + png.string() + "' --size 300x200");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  ASSERT_TRUE(pngSize(png, w, h));
  EXPECT_EQ(w, 300);
  EXPECT_EQ(h, 200);

  // At pixel ratio 2 the report is the window's at that ratio, the picture
  // of render's local display.
  const fs::path rendered = data.path() / "rendered.png";
  r = runTarvo(data.path(), "local 2025 4 --site 10 20 0 --png '" + png.string() + "' --size 300x200 --scale 2");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  ASSERT_TRUE(pngSize(png, w, h));
  EXPECT_EQ(w, 600);
  EXPECT_EQ(h, 400);
  r = runTarvo(data.path(), "render 2025 4 --site 10 20 0 --display local --size 300x200 --scale 2 --out '" +
                                rendered.string() + "'");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  auto bytes = [](const fs::path& f) {
    std::ifstream in(f, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  };
  EXPECT_EQ(bytes(png), bytes(rendered));
}

TEST(LocalCommand, UsageErrorsAndMissingFiles) {
  DataDir data(true);
  for (const char* args :
       {"local 2025 4", "local 2025 4 --city Tokyo --site 0 0 0", "local 2025 4 --city Osaka",
        "local 2025 4 --city", "local 2025 4 --site 0 0", "local 2025 4 --site 400 0 0",
        "local 2025 4 --site 0 91 0", "local 2025 4 --city Tokyo --size 10x10",
        "local 2025 4 --city Tokyo --png x.png --size 0x10", "local 2025 4 --city Tokyo --scale 2",
        "local 2025 4 --city Tokyo --png x.png --scale 5",
        "local 2025 4 --city Tokyo --png x.png --size 5001x10 --scale 2", "local 2025 --city Tokyo",
        "local 2025 4 --city Tokyo --dt-adjust 20000", "local 2025 4 --city Tokyo --frobnicate"}) {
    const CliRun r = runTarvo(data.path(), args);
    EXPECT_EQ(r.exitCode, 64) << args;
    EXPECT_EQ(r.out, "") << args;
  }

  // No city list: its two texts on standard error, then the file, the reason
  // and the places looked in; typed sites still work.
  DataDir noCities(false);
  CliRun r = runTarvo(noCities.path(), "local 2025 4 --site 0 0 0 ");
  EXPECT_EQ(r.exitCode, 0);
  const std::string dir = std::filesystem::canonical(noCities.path()).string();
  EXPECT_EQ(r.err, "NO LOCATION.ENG FILE!!\nPLEASE CHECK DIRECTORY!!\ntarvo: cannot read the city list " + dir +
                       "/location.new: No such file or directory (looked in " +
                       (std::getenv("XDG_CONFIG_HOME") ? std::string(std::getenv("XDG_CONFIG_HOME"))
                                                       : std::string(std::getenv("HOME")) + "/.config") +
                       "/tarvowin and " + dir + ")\n");
  // A folder or a pipe in its place: refused with the reason, never waited on.
  std::filesystem::create_directory(noCities.path() / "location.new");
  EXPECT_NE(runTarvo(noCities.path(), "local 2025 4 --site 0 0 0").err.find("location.new: Is a directory ("),
            std::string::npos);
  std::filesystem::remove(noCities.path() / "location.new");
  ASSERT_EQ(::mkfifo((noCities.path() / "location.new").c_str(), 0600), 0);
  EXPECT_NE(runTarvo(noCities.path(), "local 2025 4 --site 0 0 0").err.find("location.new: not a regular file ("),
            std::string::npos);
  std::filesystem::remove(noCities.path() / "location.new");
  r = runTarvo(noCities.path(), "local 2025 4 --city Tokyo");
  EXPECT_EQ(r.exitCode, 64);

  // No canon: the no-catalogue texts and exit code 2.
  testing::ScratchDir empty;
  std::ofstream(empty.path() / "location.new") << kCities;
  r = runTarvo(empty.path(), "local 2025 4 --city Tokyo");
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "  No bessel file! \n  Please start at directory which EC****.prn available.\n" +
                       testing::missingFileLine("mcp00001p03000.prn", empty.path()));
}

// --city: an exact name first, else one differing only in case; no match
// lists the cities. A damaged list's message goes to standard error.
TEST(LocalCommand, CityNamesAndTheCityListMessage) {
  DataDir data(false);
  std::ofstream(data.path() / "location.new") << "PARIS,2.35,48.86,35,1\n"
                                                 "Far,0,999,0,9\n"
                                                 "Paris,-95.56,33.66,180,-6\n";
  const std::string notice = "location.new line 2: latitude 999 outside \u2212" "90..90 (1 line skipped)\n";
  struct Case {
    const char* city;
    const char* lonText;  // as the report's location line prints it
  };
  for (const Case& c : {Case{"Paris", "-95.56d"}, Case{"paris", "2.35d"}, Case{"' pARIs '", "2.35d"}}) {
    const CliRun r = runTarvo(data.path(), std::string("local 2025 4 --city ") + c.city);
    ASSERT_EQ(r.exitCode, 0) << c.city << ": " << r.err;
    EXPECT_NE(rowText(r.out, 45).find(c.lonText), std::string::npos) << c.city << ": " << rowText(r.out, 45);
    EXPECT_EQ(r.err, notice) << c.city;
  }
  const CliRun r = runTarvo(data.path(), "local 2025 4 --city Atlantis");
  EXPECT_EQ(r.exitCode, 64);
  EXPECT_EQ(r.err.substr(0, r.err.find("\nusage")),
            notice + "tarvo local: no city named 'Atlantis' in location.new; the cities are: PARIS, Paris");
}

std::vector<std::pair<std::string, std::string>> keyValues(const std::string& out) {
  std::vector<std::pair<std::string, std::string>> kv;
  for (const std::string& l : lines(out)) {
    const std::size_t space = l.find(' ');
    kv.emplace_back(l.substr(0, space), space == std::string::npos ? "" : l.substr(space + 1));
  }
  return kv;
}

const char* const kGeometryKeys[] = {"converged", "day_start_jd", "greatest_ut", "p1", "u1", "u2",
                                     "u3", "u4", "p4", "sublunar_lon", "sublunar_lat"};

// The geometry keys that follow gamma, as a map; empty when out of order.
std::vector<std::string> geometryValues(const std::string& out) {
  const auto kv = keyValues(out);
  std::size_t i = 0;
  while (i < kv.size() && kv[i].first != "gamma") ++i;
  std::vector<std::string> values;
  for (const char* key : kGeometryKeys) {
    if (++i >= kv.size() || kv[i].first != key) return {};
    values.push_back(kv[i].second);
  }
  return values;
}

bool hasDecimals(const std::string& v, std::size_t decimals) {
  const std::size_t dot = v.find('.');
  return dot != std::string::npos && v.size() - dot - 1 == decimals &&
         v.find_first_not_of("-0123456789.") == std::string::npos;
}

TEST(ShowGeometryKeys, ContactsByTypeAndTheirFormats) {
  struct Case {
    const char* cursor;
    std::vector<bool> present;  // greatest, P1, U1, U2, U3, U4, P4
    double midnightToleranceSeconds;
  };
  // The hand-made elements of 2025 put greatest eclipse within seconds of the
  // stored Julian Day, those of year 3000 only within minutes.
  for (const Case& c : {Case{"2025 4", {true, true, true, true, true, true, true}, 60},     // total
                        Case{"3000 3", {true, true, true, false, false, true, true}, 600},  // partial
                        Case{"3000 1", {true, true, false, false, false, false, true}, 600}}) {  // penumbral
    const CliRun r = runTarvo(testing::testCanonDir(), std::string("show ") + c.cursor);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::vector<std::string> v = geometryValues(r.out);
    ASSERT_EQ(v.size(), std::size(kGeometryKeys)) << r.out;
    EXPECT_EQ(v[0], "1");
    ASSERT_TRUE(hasDecimals(v[1], 6)) << v[1];
    // 0 h UT: a Julian Day's .5, as far as the elements and the stored
    // Julian Day agree on the time of greatest eclipse (a ΔT taken with the
    // wrong sign would move it by 2ΔT, 150 s in 2025).
    const double dayStart = std::stod(v[1]);
    EXPECT_NEAR(dayStart - std::floor(dayStart), 0.5, c.midnightToleranceSeconds / 86400) << c.cursor;
    double previous = -1e9;
    for (std::size_t k = 0; k < 7; ++k) {
      const std::string& value = v[2 + k];
      if (!c.present[k]) {
        EXPECT_EQ(value, "none") << c.cursor << " " << kGeometryKeys[2 + k];
        continue;
      }
      ASSERT_TRUE(hasDecimals(value, 6)) << value;
      // Contacts ascend from P1 to P4 (greatest is checked against U1..U4 below).
      if (k > 0) {
        EXPECT_GT(std::stod(value), previous) << c.cursor << " " << kGeometryKeys[2 + k];
        previous = std::stod(value);
      }
    }
    const double greatest = std::stod(v[2]);
    EXPECT_GT(greatest, std::stod(v[3]));
    EXPECT_LT(greatest, std::stod(v[8]));
    ASSERT_TRUE(hasDecimals(v[9], 4)) << v[9];
    ASSERT_TRUE(hasDecimals(v[10], 4)) << v[10];
    EXPECT_GT(std::stod(v[9]), -180);
    EXPECT_LE(std::stod(v[9]), 180);
  }
}

TEST(ShowGeometryKeys, UnconvergedEntryPrintsNoneAndNoNaN) {
  // One entry of the hand-made canon with the Moon standing still against
  // the shadow: greatest eclipse cannot be found.
  testing::ScratchDir dir;
  auto entries = testing::readStoredEntries(testing::testCanonDir() / "mcp00001p03000.prn");
  ASSERT_GE(entries.size(), 2u);
  testing::StoredEntry still = entries[1];  // 2025 March 14
  for (std::size_t i : {12, 13, 14, 16, 17, 18}) still[i] = 0;  // x1..x3, y1..y3
  testing::writeText(dir.path() / "mcp00001p03000.prn",
                     testing::entryText(entries[0]) + testing::entryText(still) + testing::entryText(entries.back()));
  const CliRun r = runTarvo(dir.path(), "show 2025 3");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::vector<std::string> v = geometryValues(r.out);
  ASSERT_EQ(v.size(), std::size(kGeometryKeys)) << r.out;
  EXPECT_EQ(v[0], "0");
  for (std::size_t k = 1; k < v.size(); ++k) EXPECT_EQ(v[k], "none") << kGeometryKeys[k];
  EXPECT_EQ(r.out.find("nan"), std::string::npos);
  EXPECT_EQ(r.out.find("inf"), std::string::npos);

  // The report of that entry: only the heading.
  std::ofstream(dir.path() / "location.new") << kCities;
  const CliRun local = runTarvo(dir.path(), "local 2025 3 --city Tokyo");
  ASSERT_EQ(local.exitCode, 0) << local.err;
  std::vector<std::string> rows;
  for (const std::string& l : lines(local.out)) rows.push_back(l.substr(0, l.find(' ')));
  EXPECT_EQ(rows, (std::vector<std::string>{"y=45", "y=75", "y=90", "y=105"}));
}

// The total eclipse of 2025 March 14 from Tokyo: the Moon rises during the
// last umbral phase, so only the end of the eclipse is seen.
TEST(LocalCommand, TokyoSeesTheMoonRiseDuringThe2025MarchEclipse) {
  fs::path dir = TARVO_RUNDATA_DIR;
  if (const char* d = std::getenv("TARVO_CANON_DIR")) dir = d;
  if (!fs::exists(dir / "mcp00001p03000.prn") || !fs::exists(dir / "location.new")) {
    GTEST_SKIP() << "no generated canon and city list in " << dir;
  }
  const CliRun r = runTarvo(dir, "local 2025 3 --city Tokyo");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::string date = rowText(r.out, 30);
  EXPECT_NE(date.find("2025/ 3/14"), std::string::npos) << date;
  EXPECT_NE(date.find("TOTAL ECLIPSE"), std::string::npos) << date;
  for (int y : {120, 135, 150, 165, 180}) EXPECT_EQ(rowText(r.out, y), "") << y;

  const std::string p4 = rowText(r.out, 210);
  ASSERT_EQ(p4.rfind(" Last  Penumbra Contact", 0), 0u) << p4;
  EXPECT_NEAR(lastFields(p4).altitude, 14.5, testing::kReportAltitudeDeg) << p4;

  const std::string rise = rowText(r.out, 270);
  ASSERT_EQ(rise.rfind(" Magnitude at Moon Rise", 0), 0u) << rise;
  // UT hours and minutes stand in columns 26-27 and 29-30.
  const double utMinutes = std::stod(rise.substr(26, 2)) * 60 + std::stod(rise.substr(29, 2));
  EXPECT_NEAR(utMinutes, 8 * 60 + 47, testing::kReportRiseMinutes) << rise;
  EXPECT_GT(lastFields(rise).magnitude, 0) << rise;
  EXPECT_LT(lastFields(rise).magnitude, 0.05) << rise;
  EXPECT_EQ(rowText(r.out, 255), "");
}

// 1953 January 29 near 71° N: the Moon sets after P1 and rises again before
// greatest eclipse; both rows are printed, the set first, and the eclipse is
// not called invisible.
TEST(LocalCommand, AMoonThatSetsAndRisesAgainHasBothRowsInTimeOrder) {
  fs::path dir = TARVO_RUNDATA_DIR;
  if (const char* d = std::getenv("TARVO_CANON_DIR")) dir = d;
  if (!fs::exists(dir / "mcp00001p03000.prn")) GTEST_SKIP() << "no generated canon in " << dir;
  const CliRun r = runTarvo(dir, "local 1953 1 --site -156.79 71.29 10");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::string set = rowText(r.out, 255), rise = rowText(r.out, 270);
  ASSERT_EQ(set.rfind(" Magnitude at Moon Set", 0), 0u) << r.out;
  ASSERT_EQ(rise.rfind(" Magnitude at Moon Rise", 0), 0u) << r.out;
  EXPECT_LT(set.substr(26, 8), rise.substr(26, 8));  // UT "hh:mm:ss", the same day
  EXPECT_EQ(rowText(r.out, 240), "");
}

// 2028 January 12 at Berlin: --topocentric prints the altitudes an observer
// sees, the export's (to its 0.01°), and says so on the note line; every
// other character of the report stays; without it the report is unchanged.
TEST(LocalCommand, TopocentricAltitudesAreTheExportsAndTheNoteSaysSo) {
  fs::path dir = TARVO_RUNDATA_DIR;
  if (const char* d = std::getenv("TARVO_CANON_DIR")) dir = d;
  if (!fs::exists(dir / "mcp00001p03000.prn") || !fs::exists(dir / "location.new")) {
    GTEST_SKIP() << "no generated canon and city list in " << dir;
  }
  const CliRun plain = runTarvo(dir, "local 2028 1 --city Berlin");
  const CliRun seen = runTarvo(dir, "local 2028 1 --city Berlin --topocentric");
  const CliRun csv = runTarvo(dir, "list 2028 1 --city Berlin --format csv --max 1");
  ASSERT_EQ(seen.exitCode, 0) << seen.err;
  ASSERT_EQ(csv.exitCode, 0) << csv.err;
  EXPECT_EQ(rowText(plain.out, 360), " Note:  Local Time = UT + Longitude/15.0     ");
  EXPECT_EQ(rowText(seen.out, 360), " Note:  Local Time = UT + Longitude/15.0     Alt. as seen (topocentric, refracted)");
  // The CSV's header names the columns; its second line is the eclipse.
  const std::vector<std::string> table = lines(csv.out);
  ASSERT_GE(table.size(), 2u);
  auto column = [&](const std::string& name) {
    std::vector<std::string> heads, values;
    for (auto [text, out] : {std::pair{table[0], &heads}, std::pair{table[1], &values}}) {
      std::istringstream in(text);
      for (std::string f; std::getline(in, f, ',');) out->push_back(f.erase(f.find_last_not_of("\r") + 1));
    }
    for (std::size_t i = 0; i < heads.size() && i < values.size(); ++i)
      if (heads[i] == name) return values[i];
    return std::string();
  };
  const struct {
    int y;
    const char* csvColumn;
  } rows[] = {{120, "alt_p1"}, {135, "alt_u1"}, {165, "alt_greatest"}, {195, "alt_u4"}, {210, "alt_p4"}};
  int compared = 0;
  for (const auto& r : rows) {
    const std::string a = rowText(plain.out, r.y), b = rowText(seen.out, r.y);
    if (a.empty()) continue;
    ++compared;
    EXPECT_EQ(a.substr(0, a.size() - 13), b.substr(0, b.size() - 13)) << r.y;
    EXPECT_EQ(a.substr(a.size() - 6), b.substr(b.size() - 6)) << r.y;  // the azimuth
    EXPECT_NEAR(lastFields(b).altitude, std::stod(column(r.csvColumn)), testing::kTenthBesideHundredth) << r.csvColumn;
    EXPECT_GT(lastFields(a).altitude - lastFields(b).altitude, 0.1) << r.y;  // parallax outweighs refraction
  }
  EXPECT_GE(compared, 3);
}

// ΔT from a record: greatest eclipse of 2025 September 7 put 3.5 h after
// local apparent midnight at Tokyo. The reference, 242.07 s, solves the same
// statement with the NOAA solar formulas (mean sidereal time, apparent Sun).
TEST(RecordCommand, SolvesAStatementAndNamesBadRecords) {
  fs::path dir = TARVO_RUNDATA_DIR;
  if (!fs::exists(dir / "mcp00001p03000.prn") || !fs::exists(dir / "location.new")) {
    GTEST_SKIP() << "no generated canon and city list in " << dir;
  }
  const CliRun r = runTarvo(dir, "record 2025 9 --site 139.745 35.654 0 'G = midnight + 3.5 h' 'U1 > moonrise' --format keys");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::vector<std::string> keys = lines(r.out);
  ASSERT_EQ(keys.size(), 5u) << r.out;
  EXPECT_EQ(keys[0].rfind("deltat ", 0), 0u);
  EXPECT_NEAR(std::stod(keys[0].substr(7)), 242.07, testing::kSunTheoryDeltaTS);  // the Sun's theory: ~0.01° ≈ 2.4 s
  EXPECT_EQ(keys[1], "model_deltat 75.60");
  EXPECT_EQ(keys[3].rfind("z ", 0), 0u);
  EXPECT_EQ(keys[4].rfind("sensitivity ", 0), 0u);

  testing::ScratchDir scratch;
  std::ofstream(scratch.path() / "r.csv") << "year,month,longitude,latitude,height,statement\n"
                                             "2025,9,139.745,35.654,0,G = midnight + 3.5 h\n"
                                             "2025,13,0,0,0,G = midnight\n";
  const CliRun file = runTarvo(dir, "record --file '" + (scratch.path() / "r.csv").string() + "' --format csv");
  EXPECT_EQ(file.exitCode, 1);
  EXPECT_NE(file.err.find("r.csv line 3: MONTH must be an integer 1..12"), std::string::npos) << file.err;
  EXPECT_EQ(lines(file.out).size(), 3u) << file.out;
  for (const char* bad : {"record 2025 9 --city Tokyo", "record 2025 9 --city Tokyo 'U5 = moonrise'",
                          "record 2025 9 'G = midnight'", "record 2025 9 --city Tokyo 'G = midnight' --format csv"}) {
    EXPECT_EQ(runTarvo(dir, bad).exitCode, 64) << bad;
  }
}

}  // namespace
}  // namespace tarvo
