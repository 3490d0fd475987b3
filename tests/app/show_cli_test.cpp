// Runs the built tarvo binary on the hand-made canon and checks `show`.
#include <erfa.h>
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "tests/catalogue/canon_test_support.h"
#include "tests/cli_runner.h"
#include "timebase/time_scales.h"
#include "tests/tolerances.h"

namespace tarvo {
namespace {

using testing::CliRun;
using testing::runTarvo;

std::vector<std::pair<std::string, std::string>> keyValues(const std::string& out) {
  std::vector<std::pair<std::string, std::string>> kv;
  std::istringstream in(out);
  std::string line;
  while (std::getline(in, line)) {
    const auto space = line.find(' ');
    kv.emplace_back(line.substr(0, space), space == std::string::npos ? "" : line.substr(space + 1));
  }
  return kv;
}

// "-?digits" followed, when decimals > 0, by a point and exactly that many digits.
bool isFixedPoint(const std::string& s, int decimals) {
  std::size_t i = s.size() > 0 && s[0] == '-' ? 1 : 0;
  const std::size_t digitsStart = i;
  while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i]))) ++i;
  if (i == digitsStart) return false;
  if (decimals == 0) return i == s.size();
  if (i >= s.size() || s[i] != '.') return false;
  const std::size_t fraction = s.size() - i - 1;
  for (std::size_t k = i + 1; k < s.size(); ++k) {
    if (!std::isdigit(static_cast<unsigned char>(s[k]))) return false;
  }
  return fraction == static_cast<std::size_t>(decimals);
}

const std::string kNoCatalogueText = "  No bessel file! \n  Please start at directory which EC****.prn available.\n";

// Keys in order with their formats; values from the file, the UT date from ERFA.
TEST(ShowCommand, PrintsTheKeysOfTheEclipseInOrder) {
  const CliRun r = runTarvo(testing::testCanonDir(), "show 2025 4 --dt-adjust 10");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "");
  const auto kv = keyValues(r.out);
  const char* keys[] = {"year", "month", "day", "type", "saros", "member", "epoch_hour",
                        "jd_ut", "deltat", "penumbral", "umbral", "gamma"};
  ASSERT_GE(kv.size(), std::size(keys));
  for (std::size_t i = 0; i < std::size(keys); ++i) {
    EXPECT_EQ(kv[i].first, keys[i]);
    const int decimals = i < 7 ? 0 : i == 7 ? 6 : i == 8 ? 3 : 4;
    EXPECT_TRUE(isFixedPoint(kv[i].second, decimals)) << kv[i].first << " " << kv[i].second;
  }
  const auto stored = testing::readStoredEntries(testing::testCanonDir() / "mcp00001p03000.prn")[2];  // 2025-09-07
  // UT for the ΔT asked for: the model at the TT instant plus the 10 s.
  const double jdUt = stored[7] - (deltaTModel((stored[7] - 2451545.0) / 36525.0) + 10) / 86400.0;
  int y = 0, m = 0, d = 0;
  double f = 0;
  ASSERT_EQ(eraJd2cal(jdUt, 0, &y, &m, &d, &f), 0);
  EXPECT_EQ(kv[0].second, std::to_string(y));
  EXPECT_EQ(kv[1].second, std::to_string(m));
  EXPECT_EQ(kv[2].second, std::to_string(d));
  EXPECT_EQ(kv[3].second, "1");
  EXPECT_EQ(kv[4].second, "128");
  EXPECT_EQ(kv[5].second, "41");  // published: member 41 of 71 of Saros 128
  EXPECT_EQ(kv[6].second, "18");
  EXPECT_NEAR(std::stod(kv[7].second), jdUt, testing::kSixDecimals);
  EXPECT_NEAR(std::stod(kv[8].second), deltaTModel((jdUt - 2451545.0) / 36525.0) + 10, testing::kThreeDecimals);
  EXPECT_EQ(kv[9].second, "2.3451");
  EXPECT_EQ(kv[10].second, "1.3638");
  EXPECT_EQ(kv[11].second, "-0.2752");
}

TEST(ShowCommand, NextStepsForwardAndMemberIsNumbered) {
  const CliRun first = runTarvo(testing::testCanonDir(), "show 2025 3");
  ASSERT_EQ(first.exitCode, 0) << first.err;
  const auto shown = keyValues(first.out);
  ASSERT_GE(shown.size(), 6u);
  EXPECT_EQ(shown[2].second, "14");
  EXPECT_EQ(shown[4].second, "123");
  EXPECT_EQ(shown[5].second, "53");  // published: member 53 of 72 of Saros 123
  const CliRun r = runTarvo(testing::testCanonDir(), "show 2025 3 --next 3");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const auto kv = keyValues(r.out);
  ASSERT_GE(kv.size(), 6u);
  EXPECT_EQ(kv[0].second, "3000");
  EXPECT_EQ(kv[1].second, "2");
  EXPECT_EQ(kv[4].second, "145");
}

// A partial eclipse of umbral magnitude 0.000003 in the generated canon: its
// umbral contacts lie seconds from greatest eclipse and still converge.
TEST(ShowCommand, TheBarelyUmbralEclipseOf154Converges) {
  const std::filesystem::path rundata = TARVO_RUNDATA_DIR;
  if (!std::filesystem::exists(rundata / "mcp00001p03000.prn")) GTEST_SKIP() << "no canon in " << rundata;
  const CliRun r = runTarvo(rundata, "show 154 9");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const auto kv = keyValues(r.out);
  std::map<std::string, std::string> value(kv.begin(), kv.end());
  EXPECT_EQ(value["day"], "9");
  EXPECT_EQ(value["type"], "2");
  EXPECT_EQ(value["converged"], "1");
  for (const char* key : {"greatest_ut", "p1", "u1", "u4", "p4"}) {
    EXPECT_TRUE(isFixedPoint(value[key], 6)) << key << " " << value[key];
  }
  EXPECT_EQ(value["u2"], "none");
  // The umbral phase lasts well under a minute.
  const double u1 = std::stod(value["u1"]), u4 = std::stod(value["u4"]);
  const double greatest = std::stod(value["greatest_ut"]);
  EXPECT_LT(u1, greatest);
  EXPECT_LT(greatest, u4);
  EXPECT_LT((u4 - u1) * 3600, 60);
}

TEST(ShowCommand, ExitCodesAndStandardErrorTexts) {
  testing::ScratchDir empty;
  CliRun r = runTarvo(empty.path(), "show 2025 3");
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, kNoCatalogueText + testing::missingFileLine("mcp00001p03000.prn", empty.path()));

  for (const char* args : {"show 16999 12 --next 1", "show 16999 12"}) {
    r = runTarvo(testing::testCanonDir(), args);
    EXPECT_EQ(r.exitCode, 3) << args;
    EXPECT_EQ(r.out, "") << args;
    EXPECT_EQ(r.err, "The end of the Bessel file\n") << args;
  }
  r = runTarvo(testing::testCanonDir(), "show -13000 1 --prev 1");
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "No earlier eclipse in the Bessel file\n");

  r = runTarvo(testing::testCanonDir(), "show 2025 3 --search-type 3 --saros 100");
  EXPECT_EQ(r.exitCode, 4);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "This SAROS series is not available within 400 years.\n");

  // A search running into a missing next file shows the same two texts.
  testing::ScratchDir one;
  testing::copyTestCanon(one.path(), {3});
  r = runTarvo(one.path(), "show 3000 12 --next 1");
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(r.err, kNoCatalogueText + testing::missingFileLine("mcp03001p08000.prn", one.path()));
  // Outside the catalogue's years: refused as the Time Set dialog refuses it.
  EXPECT_EQ(runTarvo(testing::testCanonDir(), "show 17000 1").exitCode, 64);
}

// Previous from after the catalogue's last eclipse (16999 October 14) goes
// back to it, as the window's Previous does.
TEST(ShowCommand, PreviousFromAfterTheLastEclipseShowsIt) {
  const std::filesystem::path rundata = TARVO_RUNDATA_DIR;
  if (!std::filesystem::exists(rundata / "mcp13001p16999.prn")) GTEST_SKIP() << "no canon in " << rundata;
  const CliRun r = runTarvo(rundata, "show 16999 12 --prev 1");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out.rfind("year 16999\nmonth 10\nday 14\n", 0), 0u) << r.out;
  EXPECT_EQ(r.out, runTarvo(rundata, "show 16999 10").out);
}

// A catalogue file that is there but empty is named with its reason, as a
// missing one is; one that lost its beginning is damage at its first line.
TEST(ShowCommand, AnEmptyOrBeheadedCatalogueFileIsNamed) {
  testing::ScratchDir dir;
  const auto entries = testing::readStoredEntries(testing::testCanonDir() / "mcp00001p03000.prn");
  const std::string empty =
      kNoCatalogueText + "mcp00001p03000.prn is empty in " + std::filesystem::canonical(dir.path()).string() + "\n";
  const std::pair<std::string, std::string> files[] = {
      {"", empty},
      {" \n\n", empty},
      {testing::entryText(entries[1]) + testing::entryText(entries.back()),
       "tarvo: mcp00001p03000.prn line 1: entry 1: the file begins after its first year; the catalogue is damaged "
       "there and read only up to it\n" + kNoCatalogueText},
  };
  for (const auto& [text, err] : files) {
    testing::writeText(dir.path() / "mcp00001p03000.prn", text);
    const CliRun r = runTarvo(dir.path(), "show 2025 3");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, err);
  }
}

TEST(ShowCommand, UsageErrors) {
  for (const char* args : {"show", "show 2025", "show 2025 x", "show abc 3", "show 2025 3 4",
                           "show 2025 3 --next", "show 2025 3 --next -1", "show 2025 3 --next 1.5",
                           "show 2025 3 --dt-adjust 10000.5", "show 2025 3 --dt-adjust -10001",
                           "show 2025 3 --dt-adjust nan", "show 2025 3 --search-type 4", "show 2025 3 --type 0",
                           "show 2025 3 --saros 401", "show 2025 3 --bogus"}) {
    const CliRun r = runTarvo(testing::testCanonDir(), args);
    EXPECT_EQ(r.exitCode, 64) << args;
    EXPECT_EQ(r.out, "") << args;
  }
  // The first bad argument is the one named.
  for (const auto& [args, message] : std::vector<std::pair<std::string, std::string>>{
           {"show x y", "YEAR must be an integer -13000..16999"},
           {"show 2025 y", "MONTH must be an integer 1..12"},
           {"show 17000 13", "YEAR must be an integer -13000..16999, that is 13001 BC to AD 16999"}}) {
    const CliRun r = runTarvo(testing::testCanonDir(), args);
    EXPECT_EQ(r.exitCode, 64) << args;
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')), "tarvo show: " + message) << args;
  }
  EXPECT_EQ(runTarvo(testing::testCanonDir(), "show 2025 3 --dt-adjust -10000").exitCode, 0);
  EXPECT_EQ(runTarvo(testing::testCanonDir(), "show -10000 3").exitCode, 0);
}

// A damaged file is named on standard error with its first bad line; what
// lies before the damage is shown with that warning, and the command fails.
TEST(ShowCommand, NamesTheDamagedFileAndFails) {
  testing::ScratchDir dir;
  const std::string good = testing::readText(testing::testCanonDir() / "mcp00001p03000.prn");
  // Six entries of three lines, then a bad fourth number on line 19.
  testing::writeText(dir.path() / "mcp00001p03000.prn", good + "3001 1 1 nonsense\n");
  const CliRun r = runTarvo(dir.path(), "show 2025 3");
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_NE(r.out.find("year 2025\nmonth 3\n"), std::string::npos) << r.out;
  EXPECT_EQ(r.err, "tarvo: mcp00001p03000.prn line 19: number 4 of entry 7: a number is not a finite decimal; "
                   "the catalogue is damaged there and read only up to it\n");
  // Past the damage nothing is taken from the next file: the end.
  testing::writeText(dir.path() / "mcp00001p03000.prn", good.substr(0, good.size() / 2));
  const CliRun cut = runTarvo(dir.path(), "show 2026 5");
  EXPECT_EQ(cut.exitCode, 3);
  EXPECT_EQ(cut.out, "");
  EXPECT_NE(cut.err.find("The end of the Bessel file\n"), std::string::npos) << cut.err;
}

}  // namespace
}  // namespace tarvo
