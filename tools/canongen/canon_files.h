// The seven canon files: which years each holds, the text of an entry, the
// atomic write, and a plain read-back.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "catalogue/canon_reader.h"
#include "catalogue/eclipse_record.h"

namespace tarvo::canongen {

// The seven files and their TT years are the reader's own list.
using CanonFileSpan = tarvo::CanonFile;
using tarvo::kCanonFiles;

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
