// The calendar's line rules with a site name that needs them all: folding at
// 75 octets never inside a UTF-8 character, TEXT escaping, CRLF. (The files
// as a whole are read back by Python's parsers in export_check.py.)
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "export/eclipse_export.h"

namespace tarvo {
namespace {

ExportList oneEclipseAt(const std::string& siteName) {
  ExportEclipse e;
  e.year = 2025, e.month = 3, e.day = 14;
  e.jdTt = 2460748.79162;
  e.type = 1;
  e.converged = true;
  e.greatestJd = 2460748.7907;
  e.contactJd[0] = 2460748.66;
  e.contactJd[5] = 2460748.92;
  ExportList list;
  list.site = ExportSite{siteName, 139.7447, 35.6544, 0, ""};
  list.deltaTModel = "builtin";
  list.eclipses.push_back(e);
  return list;
}

// The content lines, unfolded (RFC 5545 §3.1).
std::vector<std::string> unfold(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "a line without CRLF";
    if (end == std::string::npos) break;
    const std::string piece = text.substr(start, end - start);
    EXPECT_LE(piece.size(), 75u) << piece;
    if (!piece.empty() && piece[0] == ' ') {
      // A continuation never starts inside a UTF-8 character.
      EXPECT_FALSE(piece.size() > 1 && (static_cast<unsigned char>(piece[1]) & 0xC0) == 0x80) << piece;
      lines.back() += piece.substr(1);
    } else {
      lines.push_back(piece);
    }
    start = end + 2;
  }
  return lines;
}

TEST(CalendarExport, FoldsAndEscapesALongUtf8SiteName) {
  // 2-, 3- and 4-octet characters and the characters TEXT escapes.
  std::string name;
  for (int i = 0; i < 12; ++i) name += "é漢𝄞, a;b\\";
  const ExportText ics = exportICalendar(oneEclipseAt(name), 2461380.5);
  ASSERT_TRUE(ics.ok) << ics.error;
  std::string location;
  for (const std::string& line : unfold(ics.text)) {
    if (line.rfind("LOCATION:", 0) == 0) location = line.substr(9);
  }
  std::string escaped;
  for (char ch : name) {
    if (ch == ',' || ch == ';' || ch == '\\') escaped += '\\';
    escaped += ch;
  }
  EXPECT_EQ(location, escaped);
}

TEST(CalendarExport, RefusesAnEclipseWithoutContacts) {
  ExportList list = oneEclipseAt("Tokyo");
  list.eclipses[0].converged = false;
  const ExportText ics = exportICalendar(list, 2461380.5);
  EXPECT_FALSE(ics.ok);
  EXPECT_TRUE(ics.text.empty());
}

// Two towns' calendars in one: the same eclipse is two events.
TEST(CalendarExport, TheUidNamesTheSite) {
  auto uid = [](ExportList list) {
    for (const std::string& line : unfold(exportICalendar(list, 2461380.5).text))
      if (line.rfind("UID:", 0) == 0) return line;
    return std::string();
  };
  ExportList tokyo = oneEclipseAt("Tokyo"), oslo = oneEclipseAt("Oslo");
  oslo.site->longitudeDeg = 10.75;
  EXPECT_EQ(uid(tokyo), "UID:lunar-eclipse-2460748.79162-lon139.7447-lat35.6544@tarvowin");
  EXPECT_NE(uid(tokyo), uid(oslo));
  tokyo.site.reset();
  EXPECT_EQ(uid(tokyo), "UID:lunar-eclipse-2460748.79162@tarvowin");
}

// Cells a spreadsheet would run as formulas start with "'"; numbers do not.
TEST(CsvExport, CellsReadAsFormulasAreWrittenAsText) {
  const struct {
    const char* name;
    const char* cell;
  } cases[] = {{"=1+2", "'=1+2"},       {"+city", "'+city"},   {"-2+3", "'-2+3"},       {"@SUM(A1)", "'@SUM(A1)"},
               {"\tTab", "'\tTab"},    {"\rCR", "\"'\rCR\""}, {"=a,b", "\"'=a,b\""}, {"Tokyo", "Tokyo"},
               {"-12.5", "-12.5"},      {"+3", "+3"},          {"a=b", "a=b"}};
  for (const auto& c : cases) {
    const std::string csv = exportCsv(oneEclipseAt(c.name));
    const std::string row = csv.substr(csv.find("\r\n") + 2);
    EXPECT_NE(row.find(std::string(",") + c.cell + ","), std::string::npos) << c.name << "\n" << row;
  }
}

// A value that is not finite is no value: an empty CSV field and JSON null,
// never a plausible "0".
TEST(ListExport, WritesANonFiniteValueAsMissing) {
  ExportList list = oneEclipseAt("");
  list.site.reset();
  list.eclipses[0].gamma = std::nan("");
  list.eclipses[0].deltaTSigmaSeconds = std::numeric_limits<double>::infinity();
  const std::string csv = exportCsv(list);
  const std::size_t split = csv.find("\r\n");
  const auto column = [&](const std::string& name) {
    const std::string header = csv.substr(0, split);
    const auto index = std::count(header.begin(), header.begin() + static_cast<long>(header.find(name)), ',');
    std::string field = csv.substr(split + 2);
    for (long i = 0; i < index; ++i) field = field.substr(field.find(',') + 1);
    return field.substr(0, field.find_first_of(",\r"));
  };
  EXPECT_EQ(column("gamma"), "");
  EXPECT_EQ(column("deltat_sigma_s"), "");
  EXPECT_EQ(column("saros"), "0");  // a real zero stays a number
  const std::string json = exportJson(list);
  EXPECT_NE(json.find("\"gamma\": null"), std::string::npos) << json;
  EXPECT_NE(json.find("\"deltat_sigma_s\": null"), std::string::npos) << json;
}

// The one table of formats names each format, its extension and its writer.
TEST(ListExport, FindsTheFormatByNameAndByExtension) {
  const ExportList list = oneEclipseAt("Tokyo");
  for (const ExportFormat& f : exportFormats()) {
    EXPECT_EQ(exportFormatNamed(f.name), &f);
    EXPECT_EQ(exportFormatOfFile(std::string("dir.x/list.") + f.extension), &f);
    const ExportText byName = exportByExtension(list, std::string("LIST.") + f.extension, 2461380.5);
    EXPECT_EQ(byName.text, f.write(list, 2461380.5).text);
  }
  EXPECT_EQ(exportFormatOfFile("list.CSV"), exportFormatNamed("csv"));
  EXPECT_EQ(exportFormatOfFile("list"), nullptr);
  EXPECT_EQ(exportFormatNamed("text"), nullptr);
  EXPECT_EQ(exportByExtension(list, "list.txt", 0).error, "the file name must end in .csv, .json or .ics");
}

}  // namespace
}  // namespace tarvo
