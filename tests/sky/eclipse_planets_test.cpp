// The planet file: written and read back, and each kind of damage refused
// with the file, the entry and the reason.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "sky/eclipse_planets.h"
#include "tests/tolerances.h"

namespace tarvo {
namespace {

std::vector<EclipsePlanets> twoRecords() {
  EclipsePlanets a{-24719, 1721598.0059, {}};
  a.planets = {{{359.9999996, -23.5, -1.23}, {0.0, 89.999999, -4.6}, {12.345678, -0.000001, 1.5},
                {200.0, 5.0, -2.9}, {300.5, -20.25, 0.75}}};
  EclipsePlanets b = a;
  b.lunation = -24713;
  b.jdTT = 1721775.25;
  return {a, b};
}

const std::string kGood = formatEclipsePlanets({"source: test"}, twoRecords());
const std::size_t kBodyStart = kGood.find("\n\n") + 2;

TEST(EclipsePlanetFile, ReadsBackWhatWasWritten) {
  const PlanetFileReading r = parseEclipsePlanets(kGood, "p.dat");
  ASSERT_EQ(r.status, PlanetFileStatus::Read) << r.error;
  EXPECT_EQ(r.file.source, "test");
  ASSERT_EQ(r.file.records.size(), 2u);
  const EclipsePlanets& a = r.file.records[0];
  EXPECT_EQ(a.lunation, -24719);
  EXPECT_EQ(a.jdTT, 1721598.0059);
  // Stored to a micro-degree; 359.9999996 rounds up to 360 and wraps to 0.
  EXPECT_EQ(a.planets[0].raDeg, 0.0);
  EXPECT_NEAR(a.planets[2].raDeg, 12.345678, testing::kLongChainRounding);
  EXPECT_NEAR(a.planets[2].decDeg, -0.000001, testing::kFewOperationsRounding);
  EXPECT_NEAR(a.planets[1].decDeg, 89.999999, testing::kLongChainRounding);
  EXPECT_NEAR(a.planets[4].magnitude, 0.75, testing::kFewOperationsRounding);
  EXPECT_NEAR(a.planets[0].magnitude, -1.23, testing::kFewOperationsRounding);
  const auto found = findEclipsePlanets(r.file, -24713, 1721775.26, 0.02);
  ASSERT_TRUE(found.has_value());
  EXPECT_EQ(found->jdTT, 1721775.25);
  EXPECT_FALSE(findEclipsePlanets(r.file, -24713, 1721775.30, 0.02).has_value());  // another instant
  EXPECT_FALSE(findEclipsePlanets(r.file, -24714, 1721775.25, 0.02).has_value());  // no such lunation
}

std::string withByte(std::string s, std::size_t at, unsigned char value) {
  s[at] = char(value);
  return s;
}

std::string withInt32(std::string s, std::size_t at, std::int32_t value) {
  for (int i = 0; i < 4; ++i) s[at + i] = char((std::uint32_t(value) >> (8 * i)) & 0xFF);
  return s;
}

struct Damage {
  const char* what;
  std::string bytes;
  const char* expected;  // the part of the message after the file's name
};

TEST(EclipsePlanetFile, RefusesDamageNamingFileEntryAndReason) {
  const std::size_t second = kBodyStart + kPlanetRecordBytes;  // the second record
  const Damage cases[] = {
      {"empty", "", ": not a planet file"},
      {"another first line", "TarvoWin eclipse planets 2\nrecords: 0\n\n", ": not a planet file"},
      {"header never ends", std::string(kPlanetFileFirstLine) + "\n" + std::string(5000, 'a'),
       ": the header does not end with an empty line within 4096 bytes"},
      {"header line without key", std::string(kPlanetFileFirstLine) + "\nno colon\nrecords: 0\n\n",
       " header line 2: not \"key: value\""},
      {"control byte in header", std::string(kPlanetFileFirstLine) + "\nsource: a\tb\nrecords: 0\n\n",
       " header line 2: not \"key: value\""},
      {"no records line", std::string(kPlanetFileFirstLine) + "\nsource: x\n\n",
       ": the header has no \"records\" line"},
      {"records not a count", std::string(kPlanetFileFirstLine) + "\nrecords: 2x\n\n",
       " header line 2: records \"2x\" is no count 0..1000000"},
      {"too many records", std::string(kPlanetFileFirstLine) + "\nrecords: 99999999\n\n",
       " header line 2: records \"99999999\" is no count 0..1000000"},
      {"cut short", kGood.substr(0, kGood.size() - 1), ": 123 bytes of records where 2 records take 124"},
      {"trailing byte", kGood + "x", ": 125 bytes of records where 2 records take 124"},
      {"lunations not ascending", withInt32(kGood, second, -24719),
       " entry 2 (lunation -24719): not after lunation -24719"},
      {"Julian Day not a number", withByte(withByte(kGood, second + 11, 0x7F), second + 10, 0xF8),
       " entry 2 (lunation -24713): Julian Day nan outside the canon's span"},
      {"right ascension 360", withInt32(kGood, second + 12, 360000000),
       " entry 2 (lunation -24713): right ascension of Mercury 360.000000 outside 0..360"},
      {"declination beyond the pole", withInt32(kGood, second + 12 + 10 * 3 + 4, -90000001),
       " entry 2 (lunation -24713): declination of Jupiter -90.000001 outside -90..90"},
      {"magnitude", withByte(withByte(kGood, second + 12 + 10 * 4 + 8, 0x00), second + 12 + 10 * 4 + 9, 0x80),
       " entry 2 (lunation -24713): magnitude of Saturn -327.680000 outside -10..10"},
  };
  for (const Damage& d : cases) {
    SCOPED_TRACE(d.what);
    const PlanetFileReading r = parseEclipsePlanets(d.bytes, "dir/p.dat");
    EXPECT_EQ(r.status, PlanetFileStatus::Damaged);
    EXPECT_TRUE(r.file.records.empty() || r.status != PlanetFileStatus::Read);
    EXPECT_EQ(r.error.rfind(std::string("dir/p.dat") + d.expected, 0), 0u) << r.error;
  }
}

TEST(EclipsePlanetFile, MissingFileIsNoDamage) {
  const PlanetFileReading r = readEclipsePlanets("/nonexistent/eclipse_planets.dat");
  EXPECT_EQ(r.status, PlanetFileStatus::Missing);
  EXPECT_EQ(r.error, "/nonexistent/eclipse_planets.dat: not found");
}

}  // namespace
}  // namespace tarvo
