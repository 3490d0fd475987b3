#include "catalogue/canon_reader.h"

#include <erfa.h>
#include <gtest/gtest.h>

#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>

#include "tests/catalogue/canon_test_support.h"
#include "timebase/time_scales.h"
#include "tests/tolerances.h"

namespace tarvo {
namespace {

using testing::StoredEntry;
namespace fs = std::filesystem;

constexpr std::size_t kYear = 0, kMonth = 1, kDay = 2, kJd = 7;

// UT Julian Day expected for a stored TT Julian Day.
double expectedUtJd(double ttJd) { return ttJd - deltaTModel((ttJd - 2451545.0) / 36525.0) / 86400.0; }

// Each requested year opens the file whose name covers it; the bounds are the
// file names' years, with −8000 and −3000 kept by the earlier file.
TEST(CanonFileChoice, YearsOpenTheFileNamedForThem) {
  struct Case {
    double year;
    int file;  // −1: none
  };
  const Case cases[] = {{-13001, -1}, {-13000, 0}, {-8000, 0},  {-7999.5, 1}, {-7999, 1},  {-3000, 1},
                        {-2999, 2},   {0, 2},      {0.5, 3},    {1, 3},       {3000, 3},   {3000.5, 4},
                        {3001, 4},    {8000, 4},   {8001, 5},   {13000, 5},   {13001, 6},  {16999, 6},
                        {16999.5, -1}, {17000, -1}, {NAN, -1},  {INFINITY, -1}};
  for (const Case& c : cases) {
    const auto index = canonFileIndexForYear(c.year);
    if (c.file < 0) {
      EXPECT_FALSE(index.has_value()) << c.year;
    } else {
      ASSERT_TRUE(index.has_value()) << c.year;
      EXPECT_EQ(*index, static_cast<std::size_t>(c.file)) << c.year;
    }
  }
}

// From any year of a file, the walk goes on at the first year of the file
// after it; from the last file it ends.
TEST(CanonFileChoice, NextFileFirstYearFollowsTheFileTable) {
  for (std::size_t i = 0; i < kCanonFiles.size(); ++i) {
    const int expected = i + 1 < kCanonFiles.size() ? kCanonFiles[i + 1].firstYear : kCanonEndYear;
    for (int y : {kCanonFiles[i].firstYear, kCanonFiles[i].firstYear + 1, kCanonFiles[i].lastYear - 1,
                  kCanonFiles[i].lastYear}) {
      EXPECT_EQ(nextCanonFileFirstYear(y), expected) << y;
    }
    EXPECT_EQ(canonFileIndexForYear(expected).value_or(kCanonFiles.size()), i + 1);
  }
  // A UT year just before the catalogue's first year still belongs to the first file.
  EXPECT_EQ(nextCanonFileFirstYear(-13001), -7999);
  EXPECT_EQ(nextCanonFileFirstYear(-2999.7), 1);  // trunc, not floor
  EXPECT_EQ(nextCanonFileFirstYear(17000), kCanonEndYear);
  EXPECT_EQ(nextCanonFileFirstYear(NAN), kCanonEndYear);
}

// The conversion example: 2000-01-01 12 h TT is 63.8285 s later than UT.
TEST(CanonConversion, TerrestrialTimeBecomesUniversalTime) {
  EclipseEntry r;
  r.year = 2000, r.month = 1, r.eclipseDay = 1, r.greatestJd = 2451545.0;
  const EclipseEntry u = convertToUniversalTime(r, DeltaTChoice{});
  EXPECT_NEAR(u.greatestJd, 2451544.999261244, testing::kJulianDayRoundingD);  // 1e-9 d ≈ 0.1 ms
  EXPECT_EQ(u.year, 2000);
  EXPECT_EQ(u.month, 1);
  EXPECT_EQ(u.eclipseDay, 1);
}

class HandMadeCanon : public ::testing::Test {
 protected:
  void SetUp() override { reader_ = std::make_unique<CanonReader>(testing::testCanonDir()); }
  std::unique_ptr<CanonReader> reader_;
  std::vector<StoredEntry> stored(std::size_t file) const {
    return testing::readStoredEntries(testing::testCanonDir() / kCanonFiles[file].name);
  }
};

// The entry found carries the file's values with the date and Julian Day in
// UT; the UT date is ERFA's calendar date of the UT Julian Day.
TEST_F(HandMadeCanon, OpenAtLandsOnFirstEntryOfTheMonthOrLater) {
  const auto entries = stored(3);
  ASSERT_EQ(entries.size(), 6u);
  EclipseEntry r;
  ASSERT_EQ(reader_->openAt(2025, 1, DeltaTChoice{}, r), ReadStatus::Read);
  const StoredEntry& march = entries[1];  // 2025-03-14 TT
  EXPECT_EQ(march[kMonth], 3);
  EXPECT_NEAR(r.greatestJd, expectedUtJd(march[kJd]), testing::kJulianDayRoundingD);
  int y = 0, m = 0, d = 0;
  double fraction = 0;
  ASSERT_EQ(eraJd2cal(r.greatestJd, 0.0, &y, &m, &d, &fraction), 0);
  EXPECT_EQ(r.year, y);
  EXPECT_EQ(r.month, m);
  EXPECT_EQ(r.eclipseDay, d);
  const auto values = r.values();
  for (std::size_t i = 3; i < 31; ++i) {
    if (i != kJd) {
      EXPECT_EQ(values[i], march[i]) << "value " << i + 1;
    }
  }
  // April and later: the September entry.
  ASSERT_EQ(reader_->openAt(2025, 4, DeltaTChoice{}, r), ReadStatus::Read);
  EXPECT_EQ(r.month, 9);
  ASSERT_EQ(reader_->openAt(2025, 9, DeltaTChoice{}, r), ReadStatus::Read);
  EXPECT_EQ(r.month, 9);
  // readNext continues with the entry after the one landed on.
  ASSERT_EQ(reader_->readNext(DeltaTChoice{}, r), ReadStatus::Read);
  EXPECT_EQ(r.year, 2026);
  EXPECT_EQ(r.month, 3);
}

// Nothing at or after 3000-12 in the file: its last entry, and the file is at
// its end; the failed readNext leaves the record alone.
TEST_F(HandMadeCanon, OpenAtPastTheLastEntryGivesTheLastEntryAtTheEnd) {
  EclipseEntry r;
  ASSERT_EQ(reader_->openAt(3000, 12, DeltaTChoice{}, r), ReadStatus::Read);
  const StoredEntry last = stored(3).back();
  EXPECT_NEAR(r.greatestJd, expectedUtJd(last[kJd]), testing::kJulianDayRoundingD);
  EXPECT_EQ(r.month, 8);
  const EclipseRecord before = r;
  EXPECT_EQ(reader_->readNext(DeltaTChoice{}, r), ReadStatus::EndOfFile);
  EXPECT_EQ(r.values(), before.values());
  EXPECT_EQ(reader_->readNext(DeltaTChoice{}, r), ReadStatus::EndOfFile);
}

// In the remote past ΔT is days: an entry stored in March lies in February UT,
// and one stored on January 4 falls in the previous year. openAt lands by
// the UT date, so the entry found is in the month asked for or later.
TEST_F(HandMadeCanon, RemotePastLandsByTheUniversalDate) {
  EclipseEntry r;
  const struct {
    double month, expectYear, expectMonth;
  } cases[] = {{1, -10000, 2}, {2, -10000, 2}, {3, -10000, 8}};
  for (const auto& c : cases) {
    ASSERT_EQ(reader_->openAt(-10000, c.month, DeltaTChoice{}, r), ReadStatus::Read);
    EXPECT_EQ(r.year, c.expectYear) << c.month;
    EXPECT_EQ(r.month, c.expectMonth) << c.month;
  }
  // Julian calendar at −10000: checked against the day count of JD 0 = −4712 January 1.
  const CalendarDate c = jdToCalendar(r.greatestJd, ZoneMode::StandardZone, 0);
  EXPECT_EQ(c.day, r.eclipseDay);
}

// Each read converts with the ΔT choice passed with it, whatever the calls
// before asked for: two choices taking turns on one reader (two documents)
// each get the stored TT and UT = TT − (model at TT + adjustment).
TEST_F(HandMadeCanon, EachReadConvertsWithItsOwnDeltaTChoice) {
  const auto entries = stored(3);
  const DeltaTChoice choices[] = {{DeltaTModel::kBuiltin, 0}, {DeltaTModel::kSmh2020, -600}};
  const auto utJd = [](double ttJd, const DeltaTChoice& c) {
    return ttJd - c.secondsAt((ttJd - 2451545.0) / 36525.0) / 86400.0;
  };
  EclipseEntry r;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const DeltaTChoice& c = choices[i % 2];
    ASSERT_EQ(i == 0 ? reader_->openFirst(2025, c, r) : reader_->readNext(c, r), ReadStatus::Read);
    EXPECT_EQ(r.greatestJdTt, entries[i][kJd]) << i;
    EXPECT_NEAR(r.greatestJd, utJd(entries[i][kJd], c), testing::kJulianDayRoundingD) << i;
    const EclipseEntry other = reconvertedEntry(r, choices[(i + 1) % 2]);
    EXPECT_NEAR(other.greatestJd, utJd(entries[i][kJd], choices[(i + 1) % 2]), testing::kJulianDayRoundingD) << i;
    EXPECT_GT(std::fabs(other.greatestJd - r.greatestJd), 1e-5) << i;  // the choices differ
  }
  // A position taken under one choice and restored reads under another.
  ASSERT_EQ(reader_->openFirst(2025, choices[1], r), ReadStatus::Read);
  const CanonReader::Position p = reader_->position();
  ASSERT_EQ(reader_->readNext(choices[1], r), ReadStatus::Read);
  reader_->restore(p);
  ASSERT_EQ(reader_->readNext(choices[0], r), ReadStatus::Read);
  EXPECT_EQ(r.greatestJd, convertToUniversalTime(EclipseRecord::fromValues(entries[1]), choices[0]).greatestJd);
}

// openFirst and readNext give every entry of each file in file order.
TEST_F(HandMadeCanon, EachFileReadsCompletelyFromItsFirstEntry) {
  for (std::size_t f = 0; f < kCanonFiles.size(); ++f) {
    const auto entries = stored(f);
    ASSERT_FALSE(entries.empty());
    EclipseEntry r;
    ASSERT_EQ(reader_->openFirst(kCanonFiles[f].firstYear, DeltaTChoice{}, r), ReadStatus::Read) << kCanonFiles[f].name;
    EXPECT_EQ(reader_->openFileIndex().value_or(99), f);
    std::size_t count = 1;
    EXPECT_NEAR(r.greatestJd, expectedUtJd(entries[0][kJd]), testing::kJulianDayRoundingD);
    while (reader_->readNext(DeltaTChoice{}, r) == ReadStatus::Read) {
      ASSERT_LT(count, entries.size());
      EXPECT_NEAR(r.greatestJd, expectedUtJd(entries[count][kJd]), testing::kJulianDayRoundingD);
      ++count;
    }
    EXPECT_EQ(count, entries.size()) << kCanonFiles[f].name;
  }
  EXPECT_TRUE(reader_->defectsSeen().empty());
}

TEST_F(HandMadeCanon, BoundaryYearsOpenTheirFiles) {
  EclipseEntry r;
  const std::pair<double, std::size_t> cases[] = {{-8000, 0}, {-7999, 1}, {-3000, 1}, {-2999, 2}, {0, 2}, {1, 3}};
  for (const auto& [year, file] : cases) {
    ASSERT_EQ(reader_->openAt(year, 1, DeltaTChoice{}, r), ReadStatus::Read) << year;
    EXPECT_EQ(reader_->openFileIndex().value_or(99), file) << year;
  }
  EXPECT_EQ(reader_->openAt(-13001, 1, DeltaTChoice{}, r), ReadStatus::NoFile);
  EXPECT_EQ(reader_->openAt(17000, 1, DeltaTChoice{}, r), ReadStatus::NoFile);
  EXPECT_FALSE(reader_->isOpen());
}

// A file of entries on days 10 and 20 of each month of two years: a whole
// month lands on day 10, a month with a fraction above 0.05 on day 20.
class MonthHalves : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string text;
    for (int year : {2100, 2101}) {
      for (int month = 1; month <= 12; ++month) {
        for (int day : {10, 20}) {
          double y0 = 0, jd = 0;
          eraCal2jd(year, month, day, &y0, &jd);
          StoredEntry e{};
          e[kYear] = year, e[kMonth] = month, e[kDay] = day, e[3] = 2, e[kJd] = y0 + jd + 0.5;
          e[10] = 12;
          text += testing::entryText(e);
        }
      }
    }
    testing::writeText(dir_.path() / kCanonFiles[3].name, testing::firstYearEntryText(3) + text);
  }
  testing::ScratchDir dir_;
};

TEST_F(MonthHalves, FractionalMonthAsksForTheSecondHalf) {
  CanonReader reader(dir_.path());
  EclipseEntry r;
  struct Case {
    double year, month;
    double expectYear, expectMonth, expectDay;
  } cases[] = {
      {2100, 5, 2100, 5, 10},    {2100, 5.04, 2100, 5, 10},  {2100, 5.5, 2100, 5, 20},
      {2100, 5.9, 2100, 5, 20},  {2100, 12.5, 2100, 12, 20}, {2100, 13, 2101, 1, 10},
      {2101, 13, 2101, 12, 20},  // nothing later: the last entry
      {2101, 12.5, 2101, 12, 20}, {2099, 7, 2100, 1, 10},
  };
  for (const Case& c : cases) {
    ASSERT_EQ(reader.openAt(c.year, c.month, DeltaTChoice{}, r), ReadStatus::Read);
    EXPECT_EQ(r.year, c.expectYear) << c.year << " " << c.month;
    EXPECT_EQ(r.month, c.expectMonth) << c.month;
    EXPECT_EQ(r.eclipseDay, c.expectDay) << c.month;
  }
  // A fractional month past its last entry goes on to the next month.
  ASSERT_EQ(reader.openAt(2100, 12.5, DeltaTChoice{}, r), ReadStatus::Read);
  ASSERT_EQ(reader.readNext(DeltaTChoice{}, r), ReadStatus::Read);
  EXPECT_EQ(r.year, 2101);
  EXPECT_EQ(r.month, 1);
  EXPECT_EQ(r.eclipseDay, 10);
}

// The indexed landing agrees with a plain scan in file order of the same
// entries for every month (whole and halves) of a span around the file.
TEST_F(MonthHalves, IndexedLandingMatchesASequentialScan) {
  CanonReader reader(dir_.path());
  const auto entries = testing::readStoredEntries(dir_.path() / kCanonFiles[3].name);
  long misses = 0;
  for (double year = 2099; year <= 2102; ++year) {
    for (double month = 0; month <= 13; month += 0.25) {
      std::size_t expected = entries.size() - 1;
      for (std::size_t i = 0; i < entries.size(); ++i) {
        const StoredEntry& e = entries[i];
        const double y = std::trunc(year), m = std::trunc(month), f = month - m;
        if ((e[kYear] == y && e[kMonth] == m && f < 0.05) ||
            (e[kYear] == y && e[kMonth] == m && f > 0.05 && e[kDay] > 15) || (e[kYear] == y && m < e[kMonth]) ||
            y < e[kYear]) {
          expected = i;
          break;
        }
      }
      EclipseEntry r;
      const ReadStatus s = reader.openAt(year, month, DeltaTChoice{}, r);
      if (s != ReadStatus::Read || std::fabs(r.greatestJd - expectedUtJd(entries[expected][kJd])) > 1e-9) ++misses;
    }
  }
  EXPECT_EQ(misses, 0);
}

// Entries out of date order: the file is damaged at the first entry dated
// before the one above it, and read only up to it.
TEST(CanonReaderOrder, AnEntryOutOfOrderIsDamageAtItsLine) {
  testing::ScratchDir dir;
  const auto entries = testing::readStoredEntries(testing::testCanonDir() / kCanonFiles[3].name);
  // 0001-02, 2026-03, 2025-03, 2025-09
  testing::writeText(dir.path() / kCanonFiles[3].name, testing::entryText(entries[0]) + testing::entryText(entries[3]) +
                                                           testing::entryText(entries[1]) + testing::entryText(entries[2]));
  CanonReader reader(dir.path());
  EclipseEntry r;
  ASSERT_EQ(reader.openAt(2025, 5, DeltaTChoice{}, r), ReadStatus::Read);
  EXPECT_EQ(r.year, 2026);
  EXPECT_TRUE(reader.openFileDamaged());
  EXPECT_EQ(reader.readNext(DeltaTChoice{}, r), ReadStatus::EndOfFile);
  ASSERT_EQ(reader.defectsSeen().size(), 1u);
  EXPECT_EQ(describeDefect(reader.defectsSeen()[0]),
            "mcp00001p03000.prn line 7: entry 3: the entry is dated before the one above it");
}

// A catalogue file cut between two entries: its last entry lies before its
// last year (named at the line after it), or its first entry after its first
// year (then nothing in it is believed).
TEST(CanonReaderOrder, AFileMissingItsEndOrItsBeginningIsDamage) {
  const auto entries = testing::readStoredEntries(testing::testCanonDir() / kCanonFiles[3].name);
  const auto text = [&](std::initializer_list<std::size_t> which) {
    std::string out;
    for (std::size_t i : which) out += testing::entryText(entries[i]);
    return out;
  };
  const struct {
    std::string text;
    std::size_t kept;
    const char* defect;
  } cases[] = {
      {text({0, 1, 2}), 3, "mcp00001p03000.prn line 10: entry 4: the file ends before its last year"},
      {text({1, 2, entries.size() - 1}), 0, "mcp00001p03000.prn line 1: entry 1: the file begins after its first year"},
      {text({1, 2}), 0, "mcp00001p03000.prn line 1: entry 1: the file begins after its first year"},
  };
  for (const auto& c : cases) {
    const ParsedCanonFile cut = parseCanonText(c.text, kCanonFiles[3].name);
    EXPECT_EQ(cut.entries.size(), c.kept) << c.defect;
    ASSERT_TRUE(cut.defect.has_value());
    EXPECT_EQ(describeDefect(*cut.defect), c.defect);
  }
  // Whole: its first entry is in 1, its last in 3000.
  EXPECT_FALSE(parseCanonText(text({0, 1, 2, entries.size() - 1}), kCanonFiles[3].name).defect);
}

TEST(CanonReaderFiles, MissingFilesAreReportedNotFatal) {
  testing::ScratchDir dir;
  CanonReader reader(dir.path());
  EclipseEntry r;
  r.year = 1234;
  EXPECT_EQ(reader.openAt(2025, 1, DeltaTChoice{}, r), ReadStatus::NoFile);
  EXPECT_EQ(reader.openFirst(2025, DeltaTChoice{}, r), ReadStatus::NoFile);
  EXPECT_EQ(reader.readNext(DeltaTChoice{}, r), ReadStatus::EndOfFile);
  EXPECT_EQ(r.year, 1234);
  // A directory with the file's name is no file.
  fs::create_directory(dir.path() / kCanonFiles[3].name);
  EXPECT_EQ(reader.openAt(2025, 1, DeltaTChoice{}, r), ReadStatus::NoFile);
  // An empty file opens but holds nothing.
  testing::writeText(dir.path() / kCanonFiles[4].name, " \n\t\n");
  EXPECT_EQ(reader.openAt(4000, 1, DeltaTChoice{}, r), ReadStatus::NoEntry);
  EXPECT_EQ(reader.openFirst(4000, DeltaTChoice{}, r), ReadStatus::NoEntry);
  EXPECT_EQ(reader.readNext(DeltaTChoice{}, r), ReadStatus::EndOfFile);
  EXPECT_EQ(r.year, 1234);
}

// An edited file is read again: once with a new size, once with the same
// size and a new modification time.
TEST(CanonReaderFiles, EditedFileIsReadAgain) {
  testing::ScratchDir dir;
  const fs::path file = dir.path() / kCanonFiles[3].name;
  auto entries = testing::readStoredEntries(testing::testCanonDir() / kCanonFiles[3].name);
  testing::writeText(file, testing::entryText(entries[0]) + testing::entryText(entries[1]));
  CanonReader reader(dir.path());
  EclipseEntry r;
  ASSERT_EQ(reader.openAt(2025, 1, DeltaTChoice{}, r), ReadStatus::Read);
  EXPECT_EQ(r.saros, 123);

  testing::writeText(file, testing::entryText(entries[0]) + testing::entryText(entries[1]) + testing::entryText(entries[2]));
  ASSERT_EQ(reader.openAt(2025, 4, DeltaTChoice{}, r), ReadStatus::Read);
  EXPECT_EQ(r.saros, 128);

  // Same length: change the Saros digits only, then move the time stamp on.
  std::string text = testing::readText(file);
  const auto at = text.find(" 128 ");
  ASSERT_NE(at, std::string::npos);
  text.replace(at, 5, " 129 ");
  const auto stamp = fs::last_write_time(file);
  testing::writeText(file, text);
  fs::last_write_time(file, stamp + std::chrono::seconds(2));
  ASSERT_EQ(reader.openAt(2025, 4, DeltaTChoice{}, r), ReadStatus::Read);
  EXPECT_EQ(r.saros, 129);

  // A time stamp far in the future (year 3000) is just another time stamp.
  text.replace(at, 5, " 130 ");
  testing::writeText(file, text);
  const timespec times[2] = {{32503680000, 0}, {32503680000, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, 0), 0);
  ASSERT_EQ(reader.openAt(2025, 4, DeltaTChoice{}, r), ReadStatus::Read);
  EXPECT_EQ(r.saros, 130);

  // Removed: no file, even though it was read before.
  fs::remove(file);
  EXPECT_EQ(reader.openAt(2025, 4, DeltaTChoice{}, r), ReadStatus::NoFile);
}

// ---- Bad input ------------------------------------------------------------

StoredEntry plausibleEntry() {
  return testing::readStoredEntries(testing::testCanonDir() / kCanonFiles[3].name)[1];
}

std::string twoGoodThen(const std::string& third) {
  const auto entries = testing::readStoredEntries(testing::testCanonDir() / kCanonFiles[3].name);
  return testing::entryText(entries[1]) + testing::entryText(entries[2]) + third;
}

// Each rejection rule cuts the file before the bad entry and names it: entry
// 3, starting right after the two good ones.
TEST(CanonBadInput, EachRejectionRuleEndsTheFileBeforeTheEntry) {
  struct Case {
    const char* what;
    std::size_t index;
    std::string token;
    CanonDefectKind kind;
  };
  const Case cases[] = {
      {"word", 4, "abc", CanonDefectKind::NotAFiniteDecimal},
      {"nan", 12, "nan", CanonDefectKind::NotAFiniteDecimal},
      {"inf", 30, "-inf", CanonDefectKind::NotAFiniteDecimal},
      {"hex", 5, "0x1p3", CanonDefectKind::NotAFiniteDecimal},
      {"two points", 6, "1.5.2", CanonDefectKind::NotAFiniteDecimal},
      {"joined", 6, "1.5-2", CanonDefectKind::NotAFiniteDecimal},
      {"overflow", 20, "1e400", CanonDefectKind::NotAFiniteDecimal},
      {"long overflow", 20, "123456789012345678901234567890e300", CanonDefectKind::NotAFiniteDecimal},
      {"double sign", 20, "+-1", CanonDefectKind::NotAFiniteDecimal},
      {"bare sign", 20, "-", CanonDefectKind::NotAFiniteDecimal},
      {"NUL byte", 20, std::string("1\0", 2), CanonDefectKind::NotAFiniteDecimal},
      {"year low", kYear, "-13002", CanonDefectKind::YearOutOfRange},
      {"year high", kYear, "17000.5", CanonDefectKind::YearOutOfRange},
      {"month 0", kMonth, "0", CanonDefectKind::MonthOutOfRange},
      {"month 12.5", kMonth, "12.5", CanonDefectKind::MonthOutOfRange},
      {"day 0", kDay, "0.99", CanonDefectKind::DayOutOfRange},
      {"day 32", kDay, "32", CanonDefectKind::DayOutOfRange},
      {"type 1e300", 3, "1e300", CanonDefectKind::TypeOutOfRange},
      {"type 7", 3, "7", CanonDefectKind::TypeOutOfRange},
      {"Saros 1001", 9, "-1001", CanonDefectKind::SarosOutOfRange},
      {"huge element", 22, "1e300", CanonDefectKind::ValueTooLarge},
  };
  const std::string good = twoGoodThen("");
  for (const Case& c : cases) {
    std::string third;
    const StoredEntry e = plausibleEntry();
    for (std::size_t i = 0; i < 31; ++i) {
      std::ostringstream v;
      v.precision(12);
      v << e[i];
      third += (i == c.index ? c.token : v.str()) + (i == 10 || i == 20 || i == 30 ? "\n" : " ");
    }
    const ParsedCanonFile p = parseCanonText(good + third + testing::entryText(e), "f.prn");
    EXPECT_EQ(p.entries.size(), 2u) << c.what;
    ASSERT_TRUE(p.defect.has_value()) << c.what;
    EXPECT_EQ(p.defect->kind, c.kind) << c.what;
    EXPECT_EQ(p.defect->entryNumber, 3u) << c.what;
    EXPECT_EQ(p.defect->byteOffset, good.size()) << c.what;
    EXPECT_EQ(p.defect->fileName, "f.prn");
    EXPECT_EQ(p.defect->valueNumber, int(c.index) + 1) << c.what;
    // Two good entries fill lines 1-6; the bad number's line of the third.
    EXPECT_EQ(p.defect->line, 7u + (c.index > 10) + (c.index > 20)) << c.what;
  }
}

// greatestJd may lie up to 2 days outside the years −13001 … 17000. The day
// counts: −13000 January 1 is 2072 Julian four-year cycles before JD 0's year
// (−4712), −13001 has 365 days; 17001 January 1 comes from ERFA.
TEST(CanonBadInput, JulianDayBoundsAreTwoDaysOutsideTheYears) {
  const double firstDay = -2072.0 * 1461.0 - 0.5 - 365.0;
  double djm0 = 0, djm = 0;
  ASSERT_EQ(eraCal2jd(17001, 1, 1, &djm0, &djm), 0);
  const double pastLastDay = djm0 + djm;
  const struct {
    double jd;
    bool accepted;
  } cases[] = {{firstDay - 2.0, true},      {firstDay - 2.001, false}, {pastLastDay + 2.0, true},
               {pastLastDay + 2.001, false}, {2451545.0, true}};
  for (const auto& c : cases) {
    StoredEntry e = plausibleEntry();
    e[kJd] = c.jd;
    const ParsedCanonFile p = parseCanonText(testing::entryText(e));
    EXPECT_EQ(p.entries.size(), c.accepted ? 1u : 0u) << std::fixed << c.jd;
    if (!c.accepted) {
      ASSERT_TRUE(p.defect.has_value());
      EXPECT_EQ(p.defect->kind, CanonDefectKind::JulianDayOutOfRange);
    }
  }
}

TEST(CanonBadInput, FileEndingInsideAnEntryIsCutBeforeIt) {
  const std::string good = twoGoodThen("");
  for (std::size_t keep : {1u, 11u, 30u}) {
    const StoredEntry e = plausibleEntry();
    std::string partial;
    for (std::size_t i = 0; i < keep; ++i) partial += std::to_string(e[i]) + " ";
    const ParsedCanonFile p = parseCanonText(good + partial);
    EXPECT_EQ(p.entries.size(), 2u);
    ASSERT_TRUE(p.defect.has_value());
    EXPECT_EQ(p.defect->kind, CanonDefectKind::FileEndsInsideEntry);
    EXPECT_EQ(p.defect->entryNumber, 3u);
    EXPECT_EQ(p.defect->valueNumber, int(keep) + 1);
  }
  // Trailing white space only is a clean end.
  const ParsedCanonFile clean = parseCanonText(good + " \n\r\n\t  ");
  EXPECT_EQ(clean.entries.size(), 2u);
  EXPECT_FALSE(clean.defect.has_value());
  // Prefix of a file larger than the reader loads: the split number is dropped.
  const ParsedCanonFile cut = parseCanonText(good + "2025 3 14.", "", true);
  EXPECT_EQ(cut.entries.size(), 2u);
  ASSERT_TRUE(cut.defect.has_value());
  EXPECT_EQ(cut.defect->kind, CanonDefectKind::FileEndsInsideEntry);
}

// Everything else is accepted as it stands.
TEST(CanonBadInput, OddButFiniteValuesAreAccepted) {
  struct Case {
    std::size_t index;
    const char* token;
    double value;
  } cases[] = {
      {3, "0", 0},        {3, "4", 4},          {3, "6", 6},          {4, "-0.5", -0.5},      {5, "-3", -3},
      {9, "999", 999},    {9, "-650", -650},    {10, "24", 24},       {11, "1e9", 1e9},       {12, "+1.5", 1.5},
      {13, "2E3", 2000},  {14, "-0", -0.0},     {15, "1e-400", 0.0},  {16, "-1e-400", -0.0},
      {17, "0.000000000000000000000000000000000000001e-300", 0.0},  {kYear, "-13001", -13001},
      {kMonth, "12", 12}, {kMonth, "1", 1},     {kDay, "31", 31},     {kDay, "1", 1},         {kMonth, "3.7", 3.7},
      {8, "1.5", 1.5},    {18, ".5", 0.5},      {19, "5.", 5.0},
  };
  for (const auto& c : cases) {
    StoredEntry e = plausibleEntry();
    std::string text;
    for (std::size_t i = 0; i < 31; ++i) {
      std::ostringstream v;
      v.precision(17);
      v << e[i];
      text += (i == c.index ? std::string(c.token) : v.str()) + (i == 10 || i == 20 ? "\r\n" : "\t");
    }
    const ParsedCanonFile p = parseCanonText(text);
    ASSERT_EQ(p.entries.size(), 1u) << c.token;
    EXPECT_FALSE(p.defect.has_value()) << c.token;
    const double got = p.entries[0].values()[c.index];
    EXPECT_EQ(got, c.value) << c.token;
    EXPECT_EQ(std::signbit(got), std::signbit(c.value)) << c.token;
  }
  // Year 17000 with a Julian Day inside the accepted span.
  StoredEntry e = plausibleEntry();
  e[kYear] = 17000;
  e[kJd] = 7930000;
  EXPECT_EQ(parseCanonText(testing::entryText(e)).entries.size(), 1u);
}

// Through the reader: the good entries are used, the cut is reported with the
// file's name, and positioning past the cut lands on the last good entry.
TEST(CanonBadInput, ReaderUsesTheEntriesBeforeTheCutAndReportsIt) {
  testing::ScratchDir dir;
  const std::string good = testing::firstYearEntryText(3) + twoGoodThen("");
  testing::writeText(dir.path() / kCanonFiles[3].name, good + "2026 3 3 1 garbage follows\n");
  CanonReader reader(dir.path());
  EclipseEntry r;
  ASSERT_EQ(reader.openAt(2026, 1, DeltaTChoice{}, r), ReadStatus::Read);
  EXPECT_EQ(r.month, 9);  // 2025-09, the last good entry
  EXPECT_EQ(reader.readNext(DeltaTChoice{}, r), ReadStatus::EndOfFile);
  const auto defects = reader.defectsSeen();
  ASSERT_EQ(defects.size(), 1u);
  EXPECT_EQ(defects[0].fileName, kCanonFiles[3].name);
  EXPECT_EQ(defects[0].entryNumber, 4u);
  EXPECT_EQ(defects[0].byteOffset, good.size());
  EXPECT_EQ(defects[0].valueNumber, 5);
  // Repaired: the report goes.
  const auto entries = testing::readStoredEntries(testing::testCanonDir() / kCanonFiles[3].name);
  testing::writeText(dir.path() / kCanonFiles[3].name, good + testing::entryText(entries.back()));
  fs::last_write_time(dir.path() / kCanonFiles[3].name, fs::file_time_type::clock::now() + std::chrono::seconds(5));
  ASSERT_EQ(reader.openAt(2026, 1, DeltaTChoice{}, r), ReadStatus::Read);
  EXPECT_TRUE(reader.defectsSeen().empty());
}

}  // namespace
}  // namespace tarvo
