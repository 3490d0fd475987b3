// The seven canon files: which years each holds, the text of an entry, the
// atomic write, and a plain read-back.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/eclipse_record.h"

namespace tarvo::canongen {

struct CanonFileSpan {
  const char* name;
  int firstYear;  // TT years, inclusive
  int lastYear;
};

inline constexpr std::array<CanonFileSpan, 7> kCanonFiles = {{
    {"mcm13000m08000.prn", -13000, -8000},
    {"mcm07999m03000.prn", -7999, -3000},
    {"mcm02999m00000.prn", -2999, 0},
    {"mcp00001p03000.prn", 1, 3000},
    {"mcp03001p08000.prn", 3001, 8000},
    {"mcp08001p13000.prn", 8001, 13000},
    {"mcp13001p16999.prn", 13001, 16999},
}};

// Index into kCanonFiles of the file for a TT year; nullopt outside −13000..16999.
std::optional<std::size_t> canonFileFor(double year);

// One entry as three lines of 11, 10 and 10 numbers, each "%.12g", single blanks.
std::string formatEntry(const EclipseRecord& entry);

// Writes `text` to dir/name through a temporary file and a rename, so that a
// reader never sees half a file. Returns an error text, empty on success.
std::string writeFileAtomically(const std::filesystem::path& dir, const std::string& name,
                                const std::string& text);

struct CanonReadBack {
  std::vector<EclipseRecord> entries;
  std::string error;  // empty when every entry had its 31 numbers
};

// Reads a canon file as written: groups of 31 numbers. A trailing partial
// entry or text that is not a number is an error (entries before it are kept).
CanonReadBack readCanonFile(const std::filesystem::path& path);

}  // namespace tarvo::canongen
