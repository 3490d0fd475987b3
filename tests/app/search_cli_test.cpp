// tarvo list, show --prev and the criteria options, run as a user runs them.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "catalogue/eclipse_list_format.h"
#include "catalogue/saros_table.h"
#include "tests/catalogue/canon_test_support.h"
#include "tests/cli_runner.h"
#include "tests/session/plain_canon_scan.h"

namespace tarvo {
namespace {

using testing::CliRun;
using testing::PlainEntry;
using testing::runTarvo;

const std::string kNoCatalogueText = "  No bessel file! \n  Please start at directory which EC****.prn available.\n";

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) out.push_back(l);
  return out;
}

// The value of `key value` in show's output, "" when absent.
std::string valueOf(const std::string& out, const std::string& key) {
  for (const std::string& l : lines(out))
    if (l.rfind(key + " ", 0) == 0) return l.substr(key.size() + 1);
  return "";
}

std::string dateOf(const CliRun& r) {
  return valueOf(r.out, "year") + "-" + valueOf(r.out, "month") + "-" + valueOf(r.out, "day");
}

std::string dateOf(const PlainEntry& p) {
  return std::to_string(p.year) + "-" + std::to_string(p.month) + "-" + std::to_string(p.day);
}

std::string listLine(const PlainEntry& p) {
  return eclipseListLine({double(p.year), double(p.month), double(p.day), p.type, p.saros},
                         EclipseListLayout::AfterSearch);
}

#define REQUIRE_GENERATED_CANON()        \
  if (!testing::generatedCanonPresent()) \
  GTEST_SKIP() << "no generated canon in " << testing::rundataDir()

// The ten total lunar eclipses of 2025–2035, against the plain scan and the
// published dates (NASA's Five Millennium Canon of Lunar Eclipses).
TEST(ListCommand, TheTenTotalEclipsesOf2025To2035) {
  REQUIRE_GENERATED_CANON();
  const CliRun r = runTarvo(testing::rundataDir(), "list 2025 10 --type 1");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::vector<std::string> got = lines(r.out);
  std::vector<std::string> want{"   Date         Type     Saros#/No."};
  for (const PlainEntry& p : testing::plainCommonEra())
    if (p.year >= 2025 && p.year <= 2035 && p.type == 1) want.push_back(listLine(p));
  EXPECT_EQ(got, want);
  const char* const published[] = {"2025.0314", "2025.0907", "2026.0303", "2028.1231", "2029.0626",
                                   "2029.1220", "2032.0425", "2032.1018", "2033.0414", "2033.1008"};
  ASSERT_EQ(got.size(), 11u);
  for (std::size_t i = 0; i < 10; ++i) EXPECT_EQ(got[i + 1].substr(2, 9), published[i]) << got[i + 1];
}

// A Saros series listed whole: its members numbered 1, 2, 3, … in order.
TEST(ListCommand, SarosSeriesListsItsMembersInOrder) {
  REQUIRE_GENERATED_CANON();
  const CliRun r = runTarvo(testing::rundataDir(), "list 1832 2000 --saros 145");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  std::vector<std::string> want{"   Date         Type     Saros#/No."};
  for (const PlainEntry& p : testing::plainCommonEra())
    if (p.saros == 145 && p.year <= 3832) want.push_back(listLine(p));
  const std::vector<std::string> got = lines(r.out);
  EXPECT_EQ(got, want);
  ASSERT_GT(got.size(), 60u);
  for (std::size_t i = 1; i < got.size(); ++i) EXPECT_EQ(std::stoi(got[i].substr(got[i].find('/') + 1)), int(i));
}

TEST(ListCommand, MissingFiles) {
  testing::ScratchDir empty;
  CliRun r = runTarvo(empty.path(), "list 2025 10");
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, kNoCatalogueText + testing::missingFileLine("mcp00001p03000.prn", empty.path()));
  // Year 17000 is in the dialog's range but past the catalogue: no file is
  // missing, no eclipse lies in the period, which is said.
  r = runTarvo(testing::testCanonDir(), "list 17000 10");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "   Date         Type     Saros#/No.\n");
  EXPECT_EQ(r.err, "tarvo list: no eclipse lies in the years 17000..17010: the catalogue ends with the year 16999\n");

  // The next file missing: the lines found so far, then the texts.
  testing::ScratchDir one;
  testing::copyTestCanon(one.path(), {3});
  r = runTarvo(one.path(), "list 2990 100");
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_EQ(r.err, kNoCatalogueText + testing::missingFileLine("mcp03001p08000.prn", one.path()));
  const std::vector<std::string> got = lines(r.out);
  ASSERT_EQ(got.size(), 3u) << r.out;
  EXPECT_EQ(got[1].substr(0, 11), "  3000.0210");
  EXPECT_EQ(got[2].substr(0, 11), "  3000.0805");
}

// Previous from January 2026 (landing on 2026 March 3) steps back to the
// total eclipse of 2025 September 7; twice, to 2025 March 14.
TEST(ShowCommand, PreviousStepsBack) {
  REQUIRE_GENERATED_CANON();
  CliRun r = runTarvo(testing::rundataDir(), "show 2026 1 --prev 1");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(dateOf(r), "2025-9-7");
  r = runTarvo(testing::rundataDir(), "show 2026 1 --prev 2");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(dateOf(r), "2025-3-14");
}

// tarvo render takes the same steps: Previous from 3001 January crosses back
// into the file for 1..3000.
TEST(RenderCommand, PreviousAndCriteria) {
  testing::ScratchDir dir;
  const std::string png = (dir.path() / "p.png").string();
  EXPECT_EQ(runTarvo(testing::testCanonDir(), "render --out '" + png + "' 3001 1 --prev 1").exitCode, 0);
  EXPECT_TRUE(std::filesystem::exists(png));
  const CliRun r = runTarvo(testing::testCanonDir(), "render --out '" + png + "' 2025 1 --type 5");
  EXPECT_EQ(r.exitCode, 3);
  // The canon's folder has no city list: it is named first.
  EXPECT_EQ(r.err.substr(r.err.find('\n') + 1), "The end of the Bessel file\n");
  EXPECT_EQ(r.err.rfind("tarvo: cannot read the city list ", 0), 0u) << r.err;
}

// On the hand-made canon nothing lies in the two years before 2025 September
// but the window's untested start: the eclipse stays shown.
TEST(ShowCommand, PreviousFindingNothingKeepsTheEclipse) {
  const CliRun r = runTarvo(testing::testCanonDir(), "show 2025 9 --prev 3");
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(dateOf(r), "2025-9-7");
}

// The Search dialog's OK moves the cursor before the series start when the
// criterion's series began more than 1262.1 years earlier, whatever the type.
TEST(ShowCommand, SarosRestartBeforeLanding) {
  REQUIRE_GENERATED_CANON();
  CliRun r = runTarvo(testing::rundataDir(), "show 3100 1 --saros 145");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(valueOf(r.out, "saros"), "145");
  EXPECT_EQ(valueOf(r.out, "member"), "1");

  const PlainEntry* firstTotal = nullptr;
  for (const PlainEntry& p : testing::plainCommonEra())
    if (p.year >= 1831 && p.type == 1) {
      firstTotal = &p;
      break;
    }
  ASSERT_NE(firstTotal, nullptr);
  r = runTarvo(testing::rundataDir(), "show 3100 1 --type 1");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(dateOf(r), dateOf(*firstTotal));
}

// A series that begins more than 400 years after the cursor: the Saros
// message, exit 4.
TEST(ShowCommand, SarosSeriesNotWithin400Years) {
  REQUIRE_GENERATED_CANON();
  int series = 0;
  for (int s = 1; s < SarosStartTable::kRows && series == 0; ++s) {
    const auto first = SarosStartTable::firstYear(s);
    if (first && *first > 2500 && *first < 3000) series = s;
  }
  ASSERT_NE(series, 0);
  const CliRun r = runTarvo(testing::rundataDir(), "show 2025 1 --saros " + std::to_string(series));
  EXPECT_EQ(r.exitCode, 4);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "This SAROS series is not available within 400 years.\n");
}

TEST(SearchOptions, RangesAsTheDialogs) {
  const struct {
    const char* args;
    const char* message;  // part of the usage error
  } refused[] = {
      {"show 2025 13", "MONTH must be an integer 1..12"},
      {"show 2025 0", "MONTH must be an integer 1..12"},
      {"show 2025 3.5", "MONTH must be an integer 1..12"},
      {"show 17000 1", "YEAR must be an integer -13000..16999, that is 13001 BC to AD 16999"},
      {"show -13001 1", "YEAR must be an integer -13000..16999"},
      {"show 2025.5 1", "YEAR must be an integer -13000..16999"},
      {"show 2025 3 --mag 1.6", "--mag needs a number 0..1.5"},
      {"show 2025 3 --mag -0.01", "--mag needs a number 0..1.5"},
      {"show 2025 3 --saros 401", "--saros needs an integer -400..400"},
      {"show 2025 3 --saros 1.5", "--saros needs an integer -400..400"},
      {"show 2025 3 --type 7", "--type needs an integer 1..6"},
      {"show 2025 3 --type 1 --lookback 1001", "--lookback needs a number 0..1000"},
      {"show 2025 3 --site 0 0 4001 --mag 1", "--site needs"},
      {"show 2025 3 --type 1 --saros 3", "give one of --type, --mag and --saros"},
      {"show 2025 3 --lookback 5", "--lookback applies to"},
      {"show 2025 3 --next 1 --prev 1", "give either --next N or --prev N"},
      {"show 2025 3 --prev -1", "--prev needs a count"},
      {"local 2025 3 --site 0 0 0 --mag 2", "--mag needs a number 0..1.5"},
      {"render --out x.png 2025 3 --saros -401", "--saros needs an integer -400..400"},
      {"render --out x.png 2025 3 --next 2 --prev 1", "give either --next N or --prev N"},
      {"list 2025 0", "PERIOD must be 1..5000 years"},
      {"list 2025 5001", "PERIOD must be 1..5000 years"},
      {"list -13001 10", "START must be a year -13000..17000"},
      {"list 17001 10", "START must be a year -13000..17000, that is 13001 BC to AD 17000"},
      {"list 13002bc 10", "START must be a year -13000..17000, that is 13001 BC to AD 17000"},
      {"list 2025", "START and PERIOD are needed"},
      {"list 2025 10 --type 0", "--type needs an integer 1..6"},
      {"calendar 1e10", "JD must lie within -1e9..1e9 days"},
      {"calendar -1.5e9", "JD must lie within -1e9..1e9 days"},
      {"calendar nan", "tarvo calendar: JD 'nan' is not a number"},
      {"deltat nan", "tarvo deltat: YEAR 'nan' is not a number"},
      {"deltat 1e308", "tarvo deltat: YEAR must lie within -1000000..1000000, that is 1000001 BC to AD 1000000"},
      {"deltat -1000000.5", "tarvo deltat: YEAR must lie within -1000000..1000000"},
  };
  for (const auto& r : refused) {
    const CliRun run = runTarvo(testing::testCanonDir(), r.args);
    EXPECT_EQ(run.exitCode, 64) << r.args;
    EXPECT_EQ(run.out, "") << r.args;
    EXPECT_NE(run.err.find(r.message), std::string::npos) << r.args << ": " << run.err;
  }
  // The bounds themselves are taken (the search may then find nothing).
  for (const char* args : {"show 16999 12", "show -13000 1", "show 2025 3 --mag 1.5 --site 0 0 4000 --lookback 1000",
                           "show 2025 3 --saros -400 --search-type 0", "calendar 1e9", "calendar -1e9",
                           "deltat 1000000", "deltat -1000000",
                           "list -13000 5000 --type 4", "show 2025 3 --type 1 --saros 3 --search-type 3",
                           "show '13001 b.c.' 1", "list 'A.D. 16999' 1", "deltat '585 B.C.E.'"}) {
    const CliRun run = runTarvo(testing::testCanonDir(), args);
    EXPECT_NE(run.exitCode, 64) << args << ": " << run.err;
    EXPECT_EQ(run.err.find("usage"), std::string::npos) << args << ": " << run.err;
  }
}

// A blank type matches nothing: the forward search reads to the end.
TEST(SearchOptions, BlankTypeRunsToTheEnd) {
  const CliRun r = runTarvo(testing::testCanonDir(), "show 2025 1 --type 5");
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_EQ(r.err, "The end of the Bessel file\n");
}

}  // namespace
}  // namespace tarvo
