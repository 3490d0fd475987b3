// The city list: format edge cases, the line checks, the observing site,
// the missing and the refused file, and the shipped list.
#include "circumstances/sites.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>
#include <unistd.h>

#include "surface/drawing_surface.h"
#include "base/text_format.h"
#include "session/session_state.h"
#include "session/site_glue.h"
#include "tests/tolerances.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;

class SitesFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("sites_test_" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string write(const std::string& bytes) {
    const fs::path p = dir_ / "location.new";
    std::ofstream(p, std::ios::binary) << bytes;
    return p.string();
  }
  fs::path dir_;
};

TEST_F(SitesFile, FirstCityBecomesTheObservingSite) {
  SessionState state;
  state.site = typedChoice(1, 2, 123);
  SiteList list;
  const SiteLoadResult r =
      loadSites(state, list, write("; city list\nTokyo,139.77,35.68,40,9\n"));
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.errorTexts.empty());
  EXPECT_EQ(r.notice, "");
  ASSERT_EQ(list.count(), 1);
  const Site& tokyo = *list.byNumber(1);
  EXPECT_EQ(tokyo.name, "Tokyo");
  EXPECT_DOUBLE_EQ(tokyo.longitude, 139.77);
  EXPECT_DOUBLE_EQ(tokyo.latitude, 35.68);
  EXPECT_DOUBLE_EQ(tokyo.height, 40);
  EXPECT_DOUBLE_EQ(tokyo.extra, 9);
  // The city whole: its name and its own coordinates, height included.
  EXPECT_EQ(state.site.cityNumber, 1);
  EXPECT_DOUBLE_EQ(state.site.where.longitudeDeg, 139.77);
  EXPECT_DOUBLE_EQ(state.site.where.latitudeDeg, 35.68);
  EXPECT_DOUBLE_EQ(state.site.where.heightM, 40);
  EXPECT_EQ(list.byNumber(0), nullptr);
  EXPECT_EQ(list.byNumber(2), nullptr);

  // An empty file is read: no cities, the site stays where it was.
  state.site = typedChoice(5, 0, 0);
  EXPECT_EQ(loadSites(state, list, write("")).status, 1);
  EXPECT_EQ(list.count(), 0);
  EXPECT_DOUBLE_EQ(state.site.where.longitudeDeg, 5);
}

TEST_F(SitesFile, MissingFileGivesTheTwoWhiteTextsAndKeepsTheSite) {
  SessionState state;
  state.site = typedChoice(11, 0, 0);
  SiteList list;
  list.sites.push_back({"stale", 1, 2, 3, 4, ""});
  const SiteLoadResult r = loadSites(state, list, (dir_ / "absent.new").string());
  EXPECT_EQ(r.status, -1);
  EXPECT_EQ(list.count(), 0);
  EXPECT_DOUBLE_EQ(state.site.where.longitudeDeg, 11);
  ASSERT_EQ(r.errorTexts.size(), 2u);
  EXPECT_STREQ(r.errorTexts[0].text, "NO LOCATION.ENG FILE!!");
  EXPECT_EQ(r.errorTexts[0].x, 50);
  EXPECT_EQ(r.errorTexts[0].y, 16);
  EXPECT_STREQ(r.errorTexts[1].text, "PLEASE CHECK DIRECTORY!!");
  EXPECT_EQ(r.errorTexts[1].x, 50);
  EXPECT_EQ(r.errorTexts[1].y, 32);
  EXPECT_EQ(loadSites(state, list, dir_.string()).status, -1);  // a directory

  // Drawn after the paint's clear to black: white text on black, from x = 50.
  DrawingSurface s(300, 60);
  s.clear(colorTable[0]);
  drawSiteLoadErrors(s, r);
  int whiteFirst = 0, whiteSecond = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 300; ++x) {
      if (s.pixel(x, y) != colorTable[15]) continue;
      EXPECT_GE(x, 50);
      (y < 32 ? whiteFirst : whiteSecond) += 1;
      EXPECT_GE(y, 16);
    }
  EXPECT_GT(whiteFirst, 50);
  EXPECT_GT(whiteSecond, 50);
}

TEST(SitesFormat, FieldsDelimitersAndNumbers) {
  const SiteReading reading = parseSites(
      "Lima,-77.05,-12.05,154,-5 ; remark, with 1,2 commas\n"
      "Semi,1;2,3;4\n"
      "  Blank Name ,  +7.5,\t-0.25, 1e2 ,.5\n"
      "Low,-360,90,-500,14\n"
      "High,360,-90,9000,-14,extra fields ignored\n"
      "Z\xC3\xBCrich,8.54,47.37,408,1\n"
      "East,139.77E,35.68N,40m,9h\n");
  EXPECT_EQ(siteReadingNotice(reading), "");
  const SiteList& list = reading.list;
  ASSERT_EQ(list.count(), 7);
  const Site& lima = list.sites[0];
  EXPECT_EQ(lima.name, "Lima");
  EXPECT_DOUBLE_EQ(lima.longitude, -77.05);
  EXPECT_DOUBLE_EQ(lima.latitude, -12.05);
  EXPECT_DOUBLE_EQ(lima.height, 154);
  EXPECT_DOUBLE_EQ(lima.extra, -5);
  const Site& semi = list.sites[1];  // ";" ends a field as "," does
  EXPECT_DOUBLE_EQ(semi.longitude, 1);
  EXPECT_DOUBLE_EQ(semi.latitude, 2);
  EXPECT_DOUBLE_EQ(semi.height, 3);
  EXPECT_DOUBLE_EQ(semi.extra, 4);
  const Site& blank = list.sites[2];
  EXPECT_EQ(blank.name, "  Blank Name ");
  EXPECT_DOUBLE_EQ(blank.longitude, 7.5);
  EXPECT_DOUBLE_EQ(blank.latitude, -0.25);
  EXPECT_DOUBLE_EQ(blank.height, 100);
  EXPECT_DOUBLE_EQ(blank.extra, 0.5);
  // The ranges' ends are inside.
  EXPECT_DOUBLE_EQ(list.sites[3].longitude, -360);
  EXPECT_DOUBLE_EQ(list.sites[4].extra, -14);
  EXPECT_EQ(list.sites[5].name, "Z\xC3\xBCrich");
  // Conversion stops where the number does.
  EXPECT_DOUBLE_EQ(list.sites[6].longitude, 139.77);
  EXPECT_DOUBLE_EQ(list.sites[6].latitude, 35.68);
  EXPECT_DOUBLE_EQ(list.sites[6].height, 40);
  EXPECT_DOUBLE_EQ(list.sites[6].extra, 9);
}

// Each bad line after a good one: skipped with its reason, the good city kept.
TEST(SitesChecks, BadLinesAreSkippedWithTheirReason) {
  struct Case {
    std::string line;
    const char* reason;
  };
  const Case cases[] = {
      {"Tokyo,abc,35.68,40,9", "longitude 'abc' not a number"},
      {"Sign,-,1,2,3", "longitude '-' not a number"},
      {"Point,0,.,2,3", "latitude '.' not a number"},
      {"Word,nan,1,2,3", "longitude 'nan' not a number"},
      {"Far,999,35,0,9", "longitude 999 outside \u2212" "360..360"},
      {"Huge,1e999,0,0,0", "longitude 1e999 outside \u2212" "360..360"},
      {"Pole,0, 90.001 ,0,9", "latitude 90.001 outside \u2212" "90..90"},
      {"Far,999,999,0,99", "longitude 999 outside \u2212" "360..360"},  // the first bad field
      {"Deep,0,0,-501,0", "height -501 outside \u2212" "500..9000"},
      {"Peak,0,0,9000.5,0", "height 9000.5 outside \u2212" "500..9000"},
      {"Zone,0,0,0,99", "offset 99 outside \u2212" "14..14"},
      {"Nowhere", "longitude missing"},
      {"Short,3", "latitude missing"},
      {"Gap,1,,3,4", "latitude missing"},
      {"Three,1,2,3", "offset missing"},
      {",1,2,3,4", "name empty"},
      {"   ,1,2,3,4", "name empty"},
      {"Bell\a,1,2,3,4", "name has a control character (0x07)"},
      {"Tab\tName,1,2,3,4", "name has a control character (0x09)"},
      {"Next\xC2\x85Line,1,2,3,4", "name has a control character (0x85)"},
      {std::string("Os\0lo,1,2,3,4", 12), "not text (a NUL byte)"},
      {"Z\xFCrich,8.54,47.37,408,1", "not text (invalid UTF-8)"},
      {"Over\xC0\xAFlong,1,2,3,4", "not text (invalid UTF-8)"},
      {"Surrogate\xED\xA0\x80,1,2,3,4", "not text (invalid UTF-8)"},
      {"Cut\xE2\x82", "not text (invalid UTF-8)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    std::string text = "Tokyo,139.77,35.68,40,9\n";
    text.append(c.line).append("\nOslo,10.75,59.91,0,1\n");
    const SiteReading reading = parseSites(text);
    EXPECT_FALSE(reading.notText);
    ASSERT_EQ(reading.list.count(), 2);
    EXPECT_EQ(reading.list.sites[0].name, "Tokyo");
    EXPECT_EQ(reading.list.sites[1].name, "Oslo");
    EXPECT_EQ(siteReadingNotice(reading), formatString("location.new line 2: %s (1 line skipped)", c.reason));
  }
}

// Good cities among random bytes, out-of-range lines and a binary tail: the
// good ones in order, one message naming the first bad line.
TEST(SitesChecks, DamagedFileKeepsTheGoodCities) {
  std::mt19937 random(21);
  auto randomBytes = [&](std::size_t n) {
    std::string bytes;
    for (std::size_t i = 0; i < n; ++i) {
      const char c = static_cast<char>(random() & 0xFF);
      bytes.push_back(c == '\n' ? 'x' : c);  // one line each
    }
    return bytes;
  };
  const std::string text = "; damaged list\n"
                           "Tokyo,139.77,35.68,40,9\n"
                           "\n"
                           "Osaka,135.50,34.69,0,9\n"
                           "; comment\n"
                           "Seoul,126.97,37.55,0,9\n"
                           "Nowhere,999,999,0,99\n" +           // line 7: longitude first
                           randomBytes(300) + "\n" +          // line 8
                           "Lima,-77.05,-12.05,154,-5\n"
                           "Moon,0,0,0,99\n" +                // line 10
                           "Oslo,10.75,59.91,0,1\n" +
                           std::string(40, '\0') + randomBytes(500);  // line 12, no line end
  const SiteReading reading = parseSites(text);
  std::vector<std::string> names;
  for (const Site& s : reading.list.sites) names.push_back(s.name);
  EXPECT_EQ(names, (std::vector<std::string>{"Tokyo", "Osaka", "Seoul", "Lima", "Oslo"}));
  EXPECT_EQ(siteReadingNotice(reading),
            "location.new line 7: longitude 999 outside \u2212" "360..360 (4 lines skipped)");
}

// A file that is not text before its first city is refused whole.
TEST_F(SitesFile, NotTextIsRefusedWholeAndKeepsTheSite) {
  struct Case {
    std::string bytes;
    const char* notice;
  };
  const Case cases[] = {
      {std::string("\xFF\xFE;\0 \0c\0i\0t\0i\0e\0s\0\n\0", 20),
       "location.new line 1: not text (a NUL byte); no city is read"},
      {"; list\nFar,999,0,0,0\nZ\xFCrich,8.54,47.37,408,1\nTokyo,139.77,35.68,40,9\n",
       "location.new line 3: not text (invalid UTF-8); no city is read"},
      {std::string(1000, '\0'), "location.new line 1: not text (a NUL byte); no city is read"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.notice);
    SessionState state;
    state.site = typedChoice(11, 0, 0);
    SiteList list;
    list.sites.push_back({"stale", 1, 2, 3, 4, ""});
    const SiteLoadResult r = loadSites(state, list, write(c.bytes));
    EXPECT_EQ(r.status, -1);
    EXPECT_TRUE(r.errorTexts.empty());
    EXPECT_EQ(r.notice, c.notice);
    EXPECT_EQ(list.count(), 0);
    EXPECT_DOUBLE_EQ(state.site.where.longitudeDeg, 11);
  }
  // After a good city the same bytes are a skipped line.
  SessionState state;
  SiteList list;
  const SiteLoadResult r = loadSites(state, list, write("Tokyo,139.77,35.68,40,9\nZ\xFCrich,8.54,47.37,408,1\n"));
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.notice, "location.new line 2: not text (invalid UTF-8) (1 line skipped)");
  EXPECT_EQ(list.count(), 1);
}

TEST(SitesFormat, CommentsCountAndEightyCities) {
  std::string text = "; header\n";
  for (int i = 1; i <= 85; ++i) {
    text += "City" + std::to_string(i) + "," + std::to_string(i) + ",-" + std::to_string(i) +
            ",0,0\n";
    if (i % 20 == 0) text += ";comment " + std::to_string(i) + "\n";
  }
  const SiteList list = parseSites(text).list;
  ASSERT_EQ(list.count(), 80);
  EXPECT_EQ(list.sites[0].name, "City1");
  EXPECT_EQ(list.sites[79].name, "City80");
  EXPECT_DOUBLE_EQ(list.sites[79].latitude, -80);
}

TEST(SitesFormat, LinesAreReadInPiecesOf79Characters) {
  // The first 79 characters are a piece without numbers; the rest is a city.
  const std::string name100(100, 'A');
  const SiteReading split = parseSites(name100 + ",1,2,3,4\n");
  ASSERT_EQ(split.list.count(), 1);
  EXPECT_EQ(split.list.sites[0].name, std::string(21, 'A'));
  EXPECT_DOUBLE_EQ(split.list.sites[0].longitude, 1);
  EXPECT_DOUBLE_EQ(split.list.sites[0].extra, 4);
  EXPECT_EQ(siteReadingNotice(split), "location.new line 1: longitude missing (1 line skipped)");

  // A line of exactly 79 characters is one city; a long comment is a comment
  // to its end.
  const std::string exact = std::string(71, 'X') + ",1,2,3,4";
  ASSERT_EQ(exact.size(), kSitePieceLength);
  const SiteReading one = parseSites(exact + "\nNext,2,3,4,5\n");
  ASSERT_EQ(one.list.count(), 2);
  EXPECT_EQ(one.list.sites[0].name, std::string(71, 'X'));
  EXPECT_EQ(one.list.sites[1].name, "Next");
  EXPECT_EQ(siteReadingNotice(one), "");
  const SiteReading comment = parseSites(std::string(200, ';') + "\nNext,2,3,4,5\n");
  ASSERT_EQ(comment.list.count(), 1);
  EXPECT_EQ(siteReadingNotice(comment), "");

  // The 79th byte inside a character of two, three or four bytes: the piece
  // ends after the character, never inside it.
  for (const std::string ch : {"\u00e9", "\u6771", "\U0001F30D"}) {
    const std::string head(78, 'B');
    const SiteReading cut = parseSites(head + ch + "Town,1,2,3,4\n");
    ASSERT_EQ(cut.list.count(), 1) << ch.size();
    EXPECT_EQ(cut.list.sites[0].name, "Town") << ch.size();
    EXPECT_EQ(siteReadingNotice(cut), "location.new line 1: longitude missing (1 line skipped)") << ch.size();
  }
}

TEST(SitesFormat, LineEndsAndBlankLines) {
  const SiteReading reading = parseSites("Tokyo,139.77,35.68,40,9\r\n\r\n\n   \n\t\nOslo,10.75,59.91,0,1\r\n");
  ASSERT_EQ(reading.list.count(), 2);
  EXPECT_EQ(reading.list.sites[0].name, "Tokyo");
  EXPECT_DOUBLE_EQ(reading.list.sites[0].extra, 9);
  EXPECT_EQ(reading.list.sites[1].name, "Oslo");
  EXPECT_DOUBLE_EQ(reading.list.sites[1].extra, 1);
  EXPECT_EQ(siteReadingNotice(reading), "");
  EXPECT_EQ(parseSites("").list.count(), 0);
  EXPECT_EQ(siteReadingNotice(parseSites("")), "");
}

TEST(SitesShipped, EightyCitiesTokyoFirst) {
  SessionState state;
  SiteList list;
  const SiteLoadResult r = loadSites(state, list, TARVO_TEST_DATA_DIR "/../data/location.new");
  ASSERT_EQ(r.status, 1);
  EXPECT_EQ(r.notice, "");
  ASSERT_EQ(list.count(), 80);
  EXPECT_EQ(list.sites[0].name, "Tokyo");
  EXPECT_NEAR(state.site.where.longitudeDeg, 139.74, testing::kQuotedHundredth);
  EXPECT_NEAR(state.site.where.latitudeDeg, 35.65, testing::kQuotedHundredth);
  auto find = [&](const std::string& name) -> const Site* {
    for (const Site& s : list.sites)
      if (s.name == name) return &s;
    return nullptr;
  };
  for (const char* name :
       {"La Paz", "Ushuaia", "McMurdo Station", "Longyearbyen", "Kiritimati", "Chatham Islands"})
    EXPECT_NE(find(name), nullptr) << name;
  ASSERT_NE(find("La Paz"), nullptr);
  EXPECT_DOUBLE_EQ(find("La Paz")->height, 3640);
  EXPECT_LT(find("La Paz")->longitude, 0);
  EXPECT_LT(find("McMurdo Station")->latitude, -77);
  EXPECT_DOUBLE_EQ(find("Chatham Islands")->extra, 12.75);
  for (const Site& s : list.sites) {
    EXPECT_GE(s.longitude, -180) << s.name;
    EXPECT_LE(s.longitude, 180) << s.name;
    EXPECT_LE(std::abs(s.latitude), 90) << s.name;
    EXPECT_LE(std::abs(s.extra), 14) << s.name;
  }
}

}  // namespace
}  // namespace tarvo
