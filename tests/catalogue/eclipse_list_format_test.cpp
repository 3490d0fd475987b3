#include "catalogue/eclipse_list_format.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvo {
namespace {

// Date keys: the decimals read MMDD, the sign rule puts year 0 with the
// negative years.
TEST(EclipseListFormat, DateKeyDigitsAndSign) {
  const struct {
    double year, month, day;
    const char* printed;  // "%11.4f"
  } rows[] = {
      {2025, 3, 14, "  2025.0314"}, {1, 1, 1, "     1.0101"},     {-500, 3, 15, "  -500.0315"},
      {-500, 3, 7, "  -500.0307"},  {0, 11, 2, "    -0.1102"},    {-13001, 12, 31, "-13001.1231"},
      {16999, 12, 31, " 16999.1231"}, {-1, 1, 9, "    -1.0109"},
  };
  for (const auto& r : rows) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%11.4f", eclipseListDateKey(r.year, r.month, r.day));
    EXPECT_STREQ(buf, r.printed) << r.year << "-" << r.month << "-" << r.day;
  }
}

TEST(EclipseListFormat, TypeWordsKeepTheirBlanks) {
  const struct {
    double code;
    std::string word;
  } rows[] = {{0, ""},          {1, "Total      "}, {2, "Partial   "}, {3, "Penumbra "},
              {4, "Ann-Tot "},  {5, "To w/oLn"},    {6, "An w/oLn"},   {2.7, "Partial   "},
              {7, ""},          {-1, ""},           {1e300, ""}};
  for (const auto& r : rows) EXPECT_EQ(eclipseListTypeWord(r.code), r.word) << r.code;
}

// Whole lines in both layouts, written out by hand from the Saros table's
// known rows (series 100 begins in 403, series −5 in −2852).
TEST(EclipseListFormat, LinesInBothLayouts) {
  EXPECT_STREQ(eclipseListHeader(EclipseListLayout::AfterSearch), "   Date         Type     Saros#/No.");
  EXPECT_STREQ(eclipseListHeader(EclipseListLayout::AtOpening), " Date            Type        Saros#/No.");
  const struct {
    EclipseListEntry entry;
    const char* afterSearch;
    const char* atOpening;
    const char* aligned;  // the list window's: the Saros numbers in one column
  } rows[] = {
      // (2000 − 403)/18.03 + 1.5 = 90.07: member 90.
      {{2000, 1, 1, 1, 100}, "  2000.0101   Total          100/90", "  2000.0101    Total            100/90",
       "  2000.0101   Total          100/90"},
      // (−2800 + 2852)/18.03 + 1.5 = 4.38: member 4.
      {{-2800, 12, 31, 3, -5}, " -2800.1231   Penumbra      -5/ 4", " -2800.1231    Penumbra        -5/ 4",
       " -2800.1231   Penumbra        -5/ 4"},
      // Series 693 has no first year: member 0. Blank type 0.
      {{2500, 6, 20, 0, 693}, "  2500.0620       693/ 0", "  2500.0620          693/ 0",
       "  2500.0620                  693/ 0"},
      {{0, 11, 2, 5, 0}, "    -0.1102   To w/oLn      0/148", "    -0.1102    To w/oLn        0/148",
       "    -0.1102   To w/oLn         0/148"},
  };
  for (const auto& r : rows) {
    EXPECT_EQ(eclipseListLine(r.entry, EclipseListLayout::AfterSearch), r.afterSearch);
    EXPECT_EQ(eclipseListLine(r.entry, EclipseListLayout::AtOpening), r.atOpening);
    EXPECT_EQ(eclipseListLine(r.entry, EclipseListLayout::Aligned), r.aligned);
  }
}

}  // namespace
}  // namespace tarvo
