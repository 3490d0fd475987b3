// Session files: a round trip keeps every setting, and every kind of bad file
// is refused with its reason.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "session/session_file.h"

namespace tarvo {
namespace {

SessionSettings unusualSettings() {
  SessionSettings s;
  s.year = -584;
  s.month = 5;
  s.displayKind = kDisplayLocalReport;
  s.typedSite = true;
  s.siteLongitude = -74.006;
  s.siteLatitude = 40.713;
  s.siteHeight = 10.5;
  s.searchType = 3;
  s.typeCriterion = 2;
  s.magnitudeCriterion = 0.8;
  s.sarosCriterion = -12;
  s.typeLookBackYears = 7;
  s.siteLookBackYears = 999.5;
  s.gridMode = kGridShown;
  s.outlineChoice = kOutlineCoastlineFiles;
  s.deltaT = {DeltaTModel::kSmh2020, -1234.25};
  s.deltaTBands = true;
  s.altitudesAsSeen = true;
  s.timeZone = "America/Argentina/Buenos_Aires";
  return s;
}

TEST(SessionFile, RoundTripKeepsEverySetting) {
  const SessionSettings s = unusualSettings();
  const SessionFileResult r = parseSessionFile(formatSessionFile(s));
  ASSERT_TRUE(std::holds_alternative<SessionSettings>(r)) << std::get<SessionFileError>(r).reason;
  const SessionSettings& t = std::get<SessionSettings>(r);
  EXPECT_EQ(t.year, s.year);
  EXPECT_EQ(t.month, s.month);
  EXPECT_EQ(t.displayKind, s.displayKind);
  EXPECT_EQ(t.typedSite, s.typedSite);
  EXPECT_EQ(t.siteLongitude, s.siteLongitude);
  EXPECT_EQ(t.siteLatitude, s.siteLatitude);
  EXPECT_EQ(t.siteHeight, s.siteHeight);
  EXPECT_EQ(t.searchType, s.searchType);
  EXPECT_EQ(t.typeCriterion, s.typeCriterion);
  EXPECT_EQ(t.magnitudeCriterion, s.magnitudeCriterion);
  EXPECT_EQ(t.sarosCriterion, s.sarosCriterion);
  EXPECT_EQ(t.typeLookBackYears, s.typeLookBackYears);
  EXPECT_EQ(t.siteLookBackYears, s.siteLookBackYears);
  EXPECT_EQ(t.gridMode, s.gridMode);
  EXPECT_EQ(t.outlineChoice, s.outlineChoice);
  EXPECT_EQ(t.deltaT, s.deltaT);
  EXPECT_EQ(t.deltaTBands, s.deltaTBands);
  EXPECT_EQ(t.altitudesAsSeen, s.altitudesAsSeen);
  EXPECT_EQ(t.timeZone, s.timeZone);
}

// One zone, for the check a window makes when it opens a file.
class OneZone final : public ZoneDatabase {
 public:
  bool hasZone(std::string_view name) const override { return name == "Asia/Kolkata"; }
  std::optional<ZoneOffset> offsetAt(std::string_view name, JulianDay) const override {
    if (!hasZone(name)) return std::nullopt;
    return ZoneOffset{19800, "IST"};
  }
};

TEST(SessionFile, TheTypedSitesZoneTravelsWithItAndAnUnknownOneIsRefused) {
  SessionState state;
  state.year = 2025;
  state.month = 9;
  state.site = typedChoice(77.2, 28.6, 200);
  state.site.timeZone = "Asia/Kolkata";
  const std::string text = formatSessionFile(sessionSettingsOf(state));
  EXPECT_NE(text.find("\ntime_zone = Asia/Kolkata\n"), std::string::npos);
  const OneZone zones;
  SessionState back;
  EXPECT_FALSE(applySessionSettings(std::get<SessionSettings>(parseSessionFile(text)), back, &zones));
  EXPECT_TRUE(back.site.typed());
  EXPECT_EQ(back.site.timeZone, "Asia/Kolkata");
  // A file of before the key: automatic, and none is written for it.
  state.site.timeZone.clear();
  EXPECT_EQ(formatSessionFile(sessionSettingsOf(state)).find("time_zone"), std::string::npos);
  EXPECT_FALSE(applySessionSettings(std::get<SessionSettings>(parseSessionFile(formatSessionFile(
                                        sessionSettingsOf(state)))), back, &zones));
  EXPECT_EQ(back.site.timeZone, "");
  // A zone the database lacks changes nothing.
  back.year = 1999;
  const auto refused = applySessionSettings(
      std::get<SessionSettings>(parseSessionFile("TarvoWin session 1\nyear = 2025\nmonth = 3\ntime_zone = Mars/Olympus\n")),
      back, &zones);
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->reason, "line 4: no zone named \"Mars/Olympus\" in the time zone database");
  EXPECT_EQ(back.year, 1999);
}

TEST(SessionFile, StateRoundTripFindsTheCityByName) {
  SessionState state;
  state.sites.sites = {{"Tokyo", 139.7447, 35.6544, 0, 9, ""}, {"New York", -74.006, 40.713, 10, -5, ""}};
  state.site = *cityChoice(state.sites, 2);
  state.deltaTChoice.model = DeltaTModel::kSmh2020;
  state.year = 1999;
  state.month = 8;
  SessionSettings s = sessionSettingsOf(state);
  EXPECT_EQ(s.cityName, "New York");
  state.site = *cityChoice(state.sites, 1);
  state.year = 2025;
  EXPECT_FALSE(applySessionSettings(std::get<SessionSettings>(parseSessionFile(formatSessionFile(s))), state));
  EXPECT_EQ(state.site.cityNumber, 2);
  EXPECT_EQ(state.site.where.longitudeDeg, -74.006);
  EXPECT_EQ(state.site.where.heightM, 10);
  EXPECT_EQ(state.year, 1999);
  EXPECT_EQ(state.pendingAction, kLandAtCursor);
  EXPECT_EQ(state.deltaTChoice.model, DeltaTModel::kSmh2020);
}

TEST(SessionFile, ByteOrderMarkCommentsBlankLinesCrLfAndMissingKeysAreAccepted) {
  const SessionFileResult r =
      parseSessionFile("\xEF\xBB\xBFTarvoWin session 1\r\n# saved by hand\r\n\r\n  month =  12 \r\nyear=16999\r\n");
  ASSERT_TRUE(std::holds_alternative<SessionSettings>(r));
  EXPECT_EQ(std::get<SessionSettings>(r).year, 16999);
  EXPECT_EQ(std::get<SessionSettings>(r).month, 12);
  EXPECT_EQ(std::get<SessionSettings>(r).gridMode, kGridHidden);
}

TEST(SessionFile, EachKindOfBadFileIsRefusedWithItsReason) {
  const std::string ok = "TarvoWin session 1\nyear = 2025\nmonth = 3\n";
  struct Case {
    std::string bytes;
    std::string reason;
  };
  const Case cases[] = {
      {"", "not a TarvoWin session file"},
      {"Tokyo,139.7447,35.6544,0,9\n", "not a TarvoWin session file"},
      {"TarvoWin session\nyear = 1\n", "not a TarvoWin session file"},
      {"TarvoWin session 2\nyear = 1\nmonth = 1\n", "version 2 is not known"},
      {"TarvoWin session 1.5\n", "not a TarvoWin session file"},
      {std::string("TarvoWin session 1\nyear = 20\0" "25\n", 32), "not a text file"},
      {"TarvoWin session 1\ncity = \xff\xfe\n", "not a text file"},
      {"TarvoWin session 1\ncity = \xc0\xaf\n", "not a text file"},  // overlong "/"
      {"TarvoWin session 1\ncity = \xe2\x82\n", "not a text file"},  // cut short at the end
      {std::string(kMaxSessionFileBytes + 1, '#'), "too large"},
      {ok + "month = 4\n", "line 4: \"month\" given twice"},
      {ok + "colour = red\n", "line 4: unknown key \"colour\""},
      {ok + "just words\n", "line 4: expected \"key = value\""},
      {"TarvoWin session 1\nyear = 17000\nmonth = 1\n", "line 2: year 17000 outside -13000..16999"},
      {"TarvoWin session 1\nyear = 2025\nmonth = 13\n", "line 3: month 13 outside 1..12"},
      {"TarvoWin session 1\nyear = 2025.5\nmonth = 1\n", "line 2: year 2025.5 is not a whole number"},
      {"TarvoWin session 1\nyear = nan\nmonth = 1\n", "line 2: year \"nan\" is not a number"},
      {"TarvoWin session 1\nyear = 1e999\nmonth = 1\n", "is not a number"},
      {ok + "latitude = 91\n", "latitude 91 outside -90..90"},
      {ok + "height = -1\n", "height -1 outside 0..4000"},
      {ok + "dt_adjust = 10001\n", "dt_adjust 10001 outside -10000..10000"},
      {ok + "saros = 401\n", "saros 401 outside -400..400"},
      {ok + "display = globe\n", "display \"globe\" is not map, local, sky or sim"},
      {ok + "delta_t_model = mine\n", "delta_t_model \"mine\" is not builtin or smh2020"},
      {ok + "altitudes = topocentric\n", "altitudes \"topocentric\" is not geocentric or seen"},
      {ok + "city = Tok\x01yo\n", "control character"},
      {ok + "time_zone = Asia/New Delhi\n", "line 4: time_zone \"Asia/New Delhi\" is not a zone name"},
      {ok + "time_zone =\n", "line 4: time_zone must be a zone"},
      {"TarvoWin session 1\nyear = 2025\n", "the year or the month is missing"},
  };
  for (const Case& c : cases) {
    const SessionFileResult r = parseSessionFile(c.bytes);
    ASSERT_TRUE(std::holds_alternative<SessionFileError>(r)) << c.reason;
    EXPECT_NE(std::get<SessionFileError>(r).reason.find(c.reason), std::string::npos)
        << "expected \"" << c.reason << "\", got \"" << std::get<SessionFileError>(r).reason << "\"";
  }
}

// A file that cannot be opened or is not a regular file is refused with the
// system's reason, and a pipe in its place never makes the reader wait.
TEST(SessionFile, AFileThatCannotBeReadIsRefusedWithTheReason) {
  const std::string dir = ::testing::TempDir() + "session_file_test_" + std::to_string(::getpid());
  ASSERT_EQ(::mkdir(dir.c_str(), 0700), 0);
  const std::string pipe = dir + "/pipe.tarvo", loop = dir + "/loop.tarvo", locked = dir + "/locked.tarvo";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  ASSERT_EQ(::symlink("loop.tarvo", loop.c_str()), 0);
  std::ofstream(locked) << formatSessionFile(unusualSettings());
  ::chmod(locked.c_str(), 0);
  struct Case {
    std::string path, reason;
  };
  std::vector<Case> cases = {
      {dir + "/missing.tarvo", "cannot be opened: No such file or directory"},
      {dir, "cannot be opened: it is a folder"},
      {pipe, "cannot be opened: not a regular file"},
      {loop, "cannot be opened: Too many levels of symbolic links"},
  };
  // Permissions do not hold back the superuser.
  if (::geteuid() != 0) cases.push_back({locked, "cannot be opened: Permission denied"});
  for (const Case& c : cases) {
    const SessionFileResult r = readSessionFile(c.path);
    ASSERT_TRUE(std::holds_alternative<SessionFileError>(r)) << c.path;
    EXPECT_EQ(std::get<SessionFileError>(r).reason.rfind(c.reason, 0), 0u) << std::get<SessionFileError>(r).reason;
  }
  ::chmod(locked.c_str(), 0600);
  const std::string good = dir + "/good.tarvo";
  std::ofstream(good) << formatSessionFile(unusualSettings());
  EXPECT_TRUE(std::holds_alternative<SessionSettings>(readSessionFile(good)));
  for (const std::string& p : {pipe, loop, locked, good}) std::remove(p.c_str());
  ::rmdir(dir.c_str());
}

}  // namespace
}  // namespace tarvo
