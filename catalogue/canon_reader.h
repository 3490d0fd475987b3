// The reader of the eclipse canon: seven text files in a data directory, each
// covering a range of years, 31 numbers per entry (see EclipseRecord).
//
// Each file is parsed once into memory and kept with an index on its stored
// (TT) date; every open re-checks the file's size and modification time, so an
// edited file is read again. Entries come back with their date and greatestJd
// converted from TT to UT with the ΔT choice passed with each call, and with
// the stored TT Julian Day beside them.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/canon_entries.h"
#include "catalogue/eclipse_record.h"
#include "timebase/delta_t.h"

namespace tarvo {

struct CanonFile {
  const char* name;
  int firstYear;  // astronomical years, inclusive
  int lastYear;
};

inline constexpr std::array<CanonFile, 7> kCanonFiles = {{
    {"mcm13000m08000.prn", -13000, -8000},
    {"mcm07999m03000.prn", -7999, -3000},
    {"mcm02999m00000.prn", -2999, 0},
    {"mcp00001p03000.prn", 1, 3000},
    {"mcp03001p08000.prn", 3001, 8000},
    {"mcp08001p13000.prn", 8001, 13000},
    {"mcp13001p16999.prn", 13001, 16999},
}};

// The first year past the catalogue: a walk that reaches it has ended.
inline constexpr int kCanonEndYear = 17000;

// Index into kCanonFiles of the file opened for a requested year, compared as
// given against the bounds in the files' names: each file takes the years
// above the previous file's last year up to its own last year, so −8000.5
// opens the first file and −7999.5 the second. nullopt outside
// −13000 … 16999 and for a non-finite year.
std::optional<std::size_t> canonFileIndexForYear(double year);

// The first year of the file that follows the one holding year y = trunc(year)
// in a sequential walk; kCanonEndYear (or more) means the catalogue has ended.
// Years before −13000 count as the first file; non-finite years end the walk.
int nextCanonFileFirstYear(double year);

// Why an entry was rejected; its file is read as ending before it, and a
// walk through the catalogue ends there.
enum class CanonDefectKind {
  NotAFiniteDecimal,  // one of the 31 numbers
  YearOutOfRange,     // outside −13001 … 17000
  MonthOutOfRange,    // outside 1 … 12
  DayOutOfRange,      // outside 1 … 31
  JulianDayOutOfRange,  // more than 2 days outside the years −13001 … 17000
  FileEndsInsideEntry,
  FileTooLarge,  // only the first kMaxCanonFileBytes were read
  TypeOutOfRange,      // the type outside 0 … 6
  SarosOutOfRange,     // the Saros series outside −1000 … 1000
  ValueTooLarge,       // a number beyond ±1e9
  OutOfOrder,          // dated before the entry above it
  EndsBeforeLastYear,  // the last entry lies before the file's last year
  BeginsAfterFirstYear,  // the first entry lies after the file's first year
};

const char* describe(CanonDefectKind kind);

struct CanonDefect {
  std::string fileName;
  std::size_t entryNumber = 0;      // 1-based, in file order
  std::uint64_t byteOffset = 0;     // of the entry's first character
  CanonDefectKind kind = CanonDefectKind::NotAFiniteDecimal;
  int valueNumber = 0;              // 1-based number within the entry; 0 if none
  std::size_t line = 0;             // 1-based text line of the bad number (or of the entry)
};

// One line naming the file, its first bad line and what is wrong:
// "mcp00001p03000.prn line 7: number 4 of entry 3: type outside 0 .. 6".
std::string describeDefect(const CanonDefect& defect);

// Largest file the reader loads; the canon files are about 5 MB each.
inline constexpr std::uint64_t kMaxCanonFileBytes = 64ull << 20;

// The valid entries of one file, as stored (TT), plus the first defect: the
// entries before an entry that is out of order, or a file of the catalogue
// (named by fileName) that ends before its last year, are kept, the rest is
// the defect.
struct ParsedCanonFile {
  CanonEntries entries;
  bool dateOrdered = true;  // stored (year, month, day) never decreases
  std::optional<CanonDefect> defect;
};

// Why an entry would be rejected for its date or Julian Day; nullopt when
// the parser keeps it.
std::optional<CanonDefectKind> checkCanonEntryRanges(const EclipseRecord& r);

// The landing rule for a request (year, month) on an entry's date (the UT
// date of an entry read): true for a date in that month or later. A month
// with a fraction above 0.05 asks for its second half: in that month, only
// days after 15. Entries in date order make it false, then true.
bool landsOnMonth(double entryYear, double entryMonth, double entryDay, double year, double month);

// Parses canon text. Stops at the first rejected entry; never throws.
// fileName is only used to label the defect. truncatedAtLimit says the text
// is a prefix of a larger file.
ParsedCanonFile parseCanonText(std::string_view text, std::string_view fileName = {},
                               bool truncatedAtLimit = false);

// The entry of a stored (TT) record: greatestJd converted from TT to UT with
// the chosen ΔT (the model at the TT instant, plus the adjustment), year,
// month and eclipseDay replaced by the UT calendar date, and greatestJdTt the
// stored Julian Day.
EclipseEntry convertToUniversalTime(const EclipseRecord& stored, const DeltaTChoice& deltaT);
// The same entry converted to UT with another ΔT choice.
EclipseEntry reconvertedEntry(const EclipseEntry& entry, const DeltaTChoice& deltaT);

// Result of a reader call. On anything but Read the output record is left
// unchanged.
enum class ReadStatus {
  Read,       // a record was returned
  NoFile,     // no file covers the year, or it cannot be opened
  NoEntry,    // the file opens but holds no valid entry
  EndOfFile,  // readNext past the last entry, or no file is open
};

inline bool succeeded(ReadStatus s) { return s == ReadStatus::Read; }

// A catalogue file an open looked for and could not read.
struct MissingCanonFile {
  std::string fileName;              // e.g. "mcp00001p03000.prn"
  std::filesystem::path directory;   // where it was looked for, absolute
  bool absent = true;                // false: it exists but is no readable regular file
  bool empty = false;                // it was read and holds no entry at all
};

class CanonReader {
 public:
  // Files are looked up in directory; "." is the working directory.
  explicit CanonReader(std::filesystem::path directory = ".");

  // Opens the file for year and lands on the first entry whose UT date under
  // deltaT is at or after (year, month) by landsOnMonth, which honours a
  // fractional month (more than 0.05 past the whole month asks for its
  // second half). When no entry of the file qualifies, its last
  // entry is returned and the file is left at its end (the next file may
  // hold the entry asked for: see landOnMonth in canon_walk.h).
  // Every entry returned is converted to UT with deltaT.
  ReadStatus openAt(double year, double month, const DeltaTChoice& deltaT, EclipseEntry& out);

  // The entry after the one last returned from the open file.
  ReadStatus readNext(const DeltaTChoice& deltaT, EclipseEntry& out);

  // Opens the file for year and returns its first entry.
  ReadStatus openFirst(double year, const DeltaTChoice& deltaT, EclipseEntry& out);

  void close();

  // Where parsed files are kept in binary form between runs (see
  // canon_cache.h); nullopt: none. Starts as defaultCanonCacheDirectory().
  void setCacheDirectory(std::optional<std::filesystem::path> directory) { cacheDirectory_ = std::move(directory); }

  bool isOpen() const { return open_ != nullptr; }
  // True after an openAt that found no entry at or after the date asked for
  // (it returned the file's last entry instead).
  bool landedBeforeDateAsked() const { return landedBefore_; }
  // Index into kCanonFiles of the open file, if any.
  std::optional<std::size_t> openFileIndex() const;

  // The file the last open looked for and could not read, or read and found
  // empty; nullopt after an open that read entries from its file or that no
  // file covers.
  const std::optional<MissingCanonFile>& lastMissingFile() const { return missing_; }

  // Every file cut short by a rejected entry, in the order first met; a file
  // read again after an edit replaces its earlier report.
  std::vector<CanonDefect> defectsSeen() const;
  // The open file is damaged: it holds only the entries before its defect,
  // and nothing beyond its last entry may be taken from the catalogue.
  bool openFileDamaged() const { return open_ && open_->defect.has_value(); }
  const std::optional<CanonDefect>& openFileDefect() const {
    static const std::optional<CanonDefect> none;
    return open_ ? open_->defect : none;
  }

 private:
  // A loaded file and, per ΔT model, its entries' UT Julian Days and dates
  // under the model alone: converted when first asked for (the searches read
  // tens of thousands of entries per step), the adjustment applied per entry.
  struct UniversalDate {
    double year, month, day, greatestJd;
  };
  struct UniversalDates {
    std::vector<UniversalDate> entries;
    bool ordered = true;  // greatestJd never decreases: landing may binary-search
  };
  struct LoadedFile {
    std::shared_ptr<const ParsedCanonFile> parsed;
    mutable std::array<std::shared_ptr<const UniversalDates>, kDeltaTModelCount> universal{};
    const UniversalDates& universalUnder(DeltaTModel model) const;
  };

 public:
  // Where the reader stands (the open file as loaded, the next entry), so
  // that a search can walk the catalogue and leave the reader as it found it.
  class Position {
    friend class CanonReader;
    std::shared_ptr<const LoadedFile> file;
    std::size_t fileIndex = 0, next = 0;
  };
  Position position() const;
  void restore(const Position& p);

 private:
  struct Loaded {
    std::uintmax_t size = 0;
    std::int64_t mtimeSeconds = 0;  // modification time since the epoch
    std::int64_t mtimeNanoseconds = 0;
    std::shared_ptr<const LoadedFile> file;
  };

  // The file's slot, or nullptr when it cannot be read.
  const Loaded* load(std::size_t fileIndex);
  // Closes the open file, then opens the file holding `year`; false when
  // there is none or it cannot be read (nothing is open then).
  bool openFileFor(double year);
  // Entry i of the open file, converted to UT with deltaT.
  EclipseEntry universalEntry(std::size_t i, const DeltaTChoice& deltaT) const;
  // Whether entry i of the open file lands a request for (year, month), by
  // its UT date under deltaT.
  bool landsAt(std::size_t i, double year, double month, const DeltaTChoice& deltaT) const;

  std::filesystem::path directory_;
  std::optional<std::filesystem::path> cacheDirectory_;
  std::array<Loaded, kCanonFiles.size()> cache_{};
  bool landedBefore_ = false;
  std::vector<std::size_t> defectOrder_;  // file indices in the order first met
  std::optional<MissingCanonFile> missing_;

  std::shared_ptr<const LoadedFile> openFile_;
  const ParsedCanonFile* open_ = nullptr;  // openFile_'s entries
  std::size_t openIndex_ = 0;
  std::size_t nextPosition_ = 0;  // entry readNext returns
};

}  // namespace tarvo
