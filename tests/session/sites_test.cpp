// The city list: format edge cases, the observing site, the missing file,
// and the shipped list.
#include "circumstances/sites.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "core/drawing_surface.h"
#include "core/session_state.h"
#include "session/site_glue.h"

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

TEST_F(SitesFile, FirstCityBecomesTheObservingSiteHeightUnchanged) {
  SessionState state;
  state.siteHeight = 123;
  SiteList list;
  const SiteLoadResult r =
      loadSites(state, list, write("; city list\nTokyo,139.77,35.68,40,9\n"));
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(r.errorTexts.empty());
  ASSERT_EQ(list.count(), 1);
  const Site& tokyo = *list.byNumber(1);
  EXPECT_EQ(tokyo.name, "Tokyo");
  EXPECT_DOUBLE_EQ(tokyo.longitude, 139.77);
  EXPECT_DOUBLE_EQ(tokyo.latitude, 35.68);
  EXPECT_DOUBLE_EQ(tokyo.height, 40);
  EXPECT_DOUBLE_EQ(tokyo.extra, 9);
  EXPECT_DOUBLE_EQ(state.siteLongitude, 139.77);
  EXPECT_DOUBLE_EQ(state.siteLatitude, 35.68);
  EXPECT_DOUBLE_EQ(state.siteHeight, 123);
  EXPECT_EQ(list.byNumber(0), nullptr);
  EXPECT_EQ(list.byNumber(2), nullptr);

  // An empty file is read: no cities, the site stays where it was.
  state.siteLongitude = 5;
  EXPECT_EQ(loadSites(state, list, write("")).status, 1);
  EXPECT_EQ(list.count(), 0);
  EXPECT_DOUBLE_EQ(state.siteLongitude, 5);
}

TEST_F(SitesFile, MissingFileGivesTheTwoWhiteTextsAndKeepsTheSite) {
  SessionState state;
  state.siteLongitude = 11;
  SiteList list;
  list.sites.push_back({"stale", 1, 2, 3, 4});
  const SiteLoadResult r = loadSites(state, list, (dir_ / "absent.new").string());
  EXPECT_EQ(r.status, -1);
  EXPECT_EQ(list.count(), 0);
  EXPECT_DOUBLE_EQ(state.siteLongitude, 11);
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
  const SiteList list = parseSites(
      "Lima,-77.05,-12.05,154,-5 ; remark, with 1,2 commas\n"
      "Semi,1;2,3;4\n"
      "  Blank Name ,  +7.5,\t-0.25, 1e2 ,.5\n"
      "Junk,12abc,1e,-,x9\n"
      "Nowhere\n"
      "Short,3\n");
  ASSERT_EQ(list.count(), 6);
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
  const Site& junk = list.sites[3];  // conversion stops where the number does
  EXPECT_DOUBLE_EQ(junk.longitude, 12);
  EXPECT_DOUBLE_EQ(junk.latitude, 1);
  EXPECT_DOUBLE_EQ(junk.height, 0);
  EXPECT_DOUBLE_EQ(junk.extra, 0);
  const Site& nowhere = list.sites[4];
  EXPECT_EQ(nowhere.name, "Nowhere");
  EXPECT_EQ(nowhere.longitude, 0);
  EXPECT_EQ(nowhere.latitude, 0);
  const Site& shortLine = list.sites[5];
  EXPECT_DOUBLE_EQ(shortLine.longitude, 3);
  EXPECT_EQ(shortLine.latitude, 0);

  // Out-of-range numbers and words a C library would read give 0.
  const SiteList odd = parseSites("Odd,1e999,-1e999,inf,nan\n");
  ASSERT_EQ(odd.count(), 1);
  EXPECT_EQ(odd.sites[0].longitude, 0);
  EXPECT_EQ(odd.sites[0].latitude, 0);
  EXPECT_EQ(odd.sites[0].height, 0);
  EXPECT_EQ(odd.sites[0].extra, 0);
}

TEST(SitesFormat, CommentsCountAndEightyCities) {
  std::string text = "; header\n";
  for (int i = 1; i <= 85; ++i) {
    text += "City" + std::to_string(i) + "," + std::to_string(i) + ",-" + std::to_string(i) +
            ",0,0\n";
    if (i % 20 == 0) text += ";comment " + std::to_string(i) + "\n";
  }
  const SiteList list = parseSites(text);
  ASSERT_EQ(list.count(), 80);
  EXPECT_EQ(list.sites[0].name, "City1");
  EXPECT_EQ(list.sites[79].name, "City80");
  EXPECT_DOUBLE_EQ(list.sites[79].latitude, -80);
}

TEST(SitesFormat, LinesAreReadInPiecesOf79Characters) {
  const std::string name100(100, 'A');
  const SiteList list = parseSites(name100 + ",1,2,3,4\n");
  ASSERT_EQ(list.count(), 2);
  EXPECT_EQ(list.sites[0].name, std::string(79, 'A'));
  EXPECT_EQ(list.sites[0].longitude, 0);
  EXPECT_EQ(list.sites[1].name, std::string(21, 'A'));
  EXPECT_DOUBLE_EQ(list.sites[1].longitude, 1);
  EXPECT_DOUBLE_EQ(list.sites[1].extra, 4);

  // A line of exactly 79 characters is one city; so is a long comment's
  // first piece a comment, while its continuation is read as a line.
  const std::string exact = "X," + std::string(77, '1');
  const SiteList one = parseSites(exact + "\nNext,2,3,4,5\n");
  ASSERT_EQ(one.count(), 2);
  EXPECT_EQ(one.sites[1].name, "Next");
  const SiteList comment = parseSites(";" + std::string(99, 'c') + "\n");
  ASSERT_EQ(comment.count(), 1);
  EXPECT_EQ(comment.sites[0].name, std::string(21, 'c'));
}

TEST(SitesFormat, LineEndsNulBytesAndBlankLines) {
  static const char raw[] = "Tokyo,139.77,35.68,40,9\r\n\r\n\n   \nOs\0lo,1,2,3,4\nOslo\r\n";
  const std::string bytes(raw, sizeof raw - 1);
  const SiteList list = parseSites(bytes);
  ASSERT_EQ(list.count(), 3);
  EXPECT_EQ(list.sites[0].name, "Tokyo");
  EXPECT_DOUBLE_EQ(list.sites[0].extra, 9);
  EXPECT_EQ(list.sites[1].name, "Os");  // read up to the NUL
  EXPECT_EQ(list.sites[1].longitude, 0);
  EXPECT_EQ(list.sites[2].name, "Oslo");
  EXPECT_EQ(parseSites("").count(), 0);
  EXPECT_EQ(parseSites(std::string(1000, '\0')).count(), 0);
}

TEST(SitesShipped, EightyCitiesTokyoFirst) {
  SessionState state;
  SiteList list;
  ASSERT_EQ(loadSites(state, list, TARVO_TEST_DATA_DIR "/../data/location.new").status, 1);
  ASSERT_EQ(list.count(), 80);
  EXPECT_EQ(list.sites[0].name, "Tokyo");
  EXPECT_NEAR(state.siteLongitude, 139.74, 0.01);
  EXPECT_NEAR(state.siteLatitude, 35.65, 0.01);
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
