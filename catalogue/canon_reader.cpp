#include "catalogue/canon_reader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <system_error>

#include <sys/stat.h>

#include "catalogue/canon_cache.h"
#include "timebase/time_scales.h"

namespace tarvo {

namespace {

// Julian Days bounding the accepted years −13001 … 17000: 0 h of −13001
// January 1 (Julian calendar) and 0 h of 17001 January 1 (Gregorian), widened
// by the 2 days of slack an entry's greatestJd may have.
constexpr double kFirstAcceptedDayJd = -3027557.5;
constexpr double kPastLastAcceptedDayJd = 7930547.5;
constexpr double kJdSlackDays = 2.0;

constexpr double kFirstAcceptedYear = -13001;
constexpr double kLastAcceptedYear = 17000;

// The bytes "%lf" skips as white space in the C locale.
bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Rough decimal exponent of a token that from_chars found out of range: the
// position of its first significant digit plus any written exponent. Negative
// means the value underflows (a finite decimal, read as a signed zero).
long long decimalExponent(std::string_view token) {
  std::size_t end = token.find_first_of("eE");
  if (end == std::string_view::npos) end = token.size();
  const std::string_view mantissa = token.substr(0, end);
  std::size_t point = mantissa.find('.');
  if (point == std::string_view::npos) point = mantissa.size();
  const std::size_t first = mantissa.find_first_of("123456789");
  if (first == std::string_view::npos) return -1;  // all zeros
  // Value ≈ 0.d… × 10^position.
  const long long position = first < point ? static_cast<long long>(point - first)
                                           : -static_cast<long long>(first - point - 1);
  long long exponent = 0;
  if (end + 1 < token.size()) {
    const char* p = token.data() + end + 1;
    const char* last = token.data() + token.size();
    if (*p == '+') ++p;
    const auto r = std::from_chars(p, last, exponent);
    // Any written exponent beyond ±2^40 decides the sign alone; clamping keeps
    // the sum below from overflowing.
    constexpr long long kExponentCap = 1LL << 40;
    if (r.ec == std::errc::result_out_of_range) exponent = (*p == '-') ? -kExponentCap : kExponentCap;
    exponent = std::clamp(exponent, -kExponentCap, kExponentCap);
  }
  return position + exponent;
}

// A whole token as a finite decimal number ("1.5", "-2e-3", "+7"); nullopt for
// anything else, including inf, nan, hexadecimal and overflowing values.
std::optional<double> parseDecimal(std::string_view token) {
  const char* first = token.data();
  const char* last = token.data() + token.size();
  if (first != last && *first == '+') {
    ++first;
    if (first != last && (*first == '-' || *first == '+')) return std::nullopt;
  }
  if (first == last) return std::nullopt;
  double value = 0;
  const auto r = std::from_chars(first, last, value, std::chars_format::general);
  if (r.ptr != last) return std::nullopt;
  if (r.ec == std::errc::result_out_of_range) {
    if (decimalExponent(token) >= 0) return std::nullopt;
    return token.front() == '-' ? -0.0 : 0.0;
  }
  if (r.ec != std::errc() || !std::isfinite(value)) return std::nullopt;
  return value;
}

// Bounds of the fields a display turns into whole numbers, and of every
// number: the canon's largest values are Julian Days below 8e6.
constexpr double kMaxEclipseType = 6;
constexpr double kMaxSarosMagnitude = 1000;
constexpr double kMaxValueMagnitude = 1e9;

std::optional<CanonDefectKind> checkRanges(const EclipseRecord& r) {
  if (!(r.year >= kFirstAcceptedYear && r.year <= kLastAcceptedYear)) return CanonDefectKind::YearOutOfRange;
  if (!(r.month >= 1 && r.month <= 12)) return CanonDefectKind::MonthOutOfRange;
  if (!(r.eclipseDay >= 1 && r.eclipseDay <= 31)) return CanonDefectKind::DayOutOfRange;
  if (!(r.greatestJd >= kFirstAcceptedDayJd - kJdSlackDays &&
        r.greatestJd <= kPastLastAcceptedDayJd + kJdSlackDays)) {
    return CanonDefectKind::JulianDayOutOfRange;
  }
  if (!(r.eclipseType >= 0 && r.eclipseType <= kMaxEclipseType)) return CanonDefectKind::TypeOutOfRange;
  if (!(std::fabs(r.saros) <= kMaxSarosMagnitude)) return CanonDefectKind::SarosOutOfRange;
  for (double v : r.values()) {
    if (!(std::fabs(v) <= kMaxValueMagnitude)) return CanonDefectKind::ValueTooLarge;
  }
  return std::nullopt;
}

// The number (from 1) of the value a range defect is about; 0 for the entry.
int valueNumberOf(CanonDefectKind kind, const EclipseRecord& r) {
  switch (kind) {
    case CanonDefectKind::YearOutOfRange: return 1;
    case CanonDefectKind::MonthOutOfRange: return 2;
    case CanonDefectKind::DayOutOfRange: return 3;
    case CanonDefectKind::TypeOutOfRange: return 4;
    case CanonDefectKind::JulianDayOutOfRange: return 8;
    case CanonDefectKind::SarosOutOfRange: return 10;
    case CanonDefectKind::ValueTooLarge: {
      const auto v = r.values();
      for (std::size_t i = 0; i < v.size(); ++i)
        if (!(std::fabs(v[i]) <= kMaxValueMagnitude)) return static_cast<int>(i + 1);
      return 0;
    }
    default: return 0;
  }
}

// Byte offset of the start of token number `valueNumber` (from 1) of the
// entry that starts at entryStart.
std::size_t tokenOffset(std::string_view text, std::size_t entryStart, int valueNumber) {
  std::size_t pos = entryStart;
  for (int i = 1; i < valueNumber && pos < text.size(); ++i) {
    while (pos < text.size() && !isSpace(text[pos])) ++pos;
    while (pos < text.size() && isSpace(text[pos])) ++pos;
  }
  return pos;
}

std::size_t lineAt(std::string_view text, std::size_t offset) {
  offset = std::min(offset, text.size());
  return 1 + static_cast<std::size_t>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(offset), '\n'));
}

bool dateBefore(const EclipseRecord& a, const EclipseRecord& b) {
  if (a.year != b.year) return a.year < b.year;
  if (a.month != b.month) return a.month < b.month;
  return a.eclipseDay < b.eclipseDay;
}

}  // namespace

std::optional<CanonDefectKind> checkCanonEntryRanges(const EclipseRecord& r) { return checkRanges(r); }

bool landsOnMonth(double entryYear, double entryMonth, double entryDay, double year, double month) {
  const double y = std::trunc(year);
  const double m = std::trunc(month);
  const double fraction = month - m;
  if (entryYear == y && entryMonth == m && fraction < 0.05) return true;
  if (entryYear == y && entryMonth == m && fraction > 0.05 && entryDay > 15) return true;
  return (entryYear == y && m < entryMonth) || y < entryYear;
}

std::optional<std::size_t> canonFileIndexForYear(double year) {
  if (!std::isfinite(year)) return std::nullopt;
  // The bounds as the files are named: each test excludes the previous file.
  if (-13000 <= year && year <= -8000) return 0;
  if (-8000 < year && year <= -3000) return 1;
  if (-3000 < year && year <= 0) return 2;
  if (0 < year && year <= 3000) return 3;
  if (3000 < year && year <= 8000) return 4;
  if (8000 < year && year <= 13000) return 5;
  if (13000 < year && year <= 16999) return 6;
  return std::nullopt;
}

int nextCanonFileFirstYear(double year) {
  if (!(year < kCanonEndYear)) return kCanonEndYear;  // also NaN
  const double y = std::trunc(year);
  if (y < -7999) return -7999;
  if (y < -2999) return -2999;
  if (y <= 0) return 1;
  if (y <= 3000) return 3001;
  if (y <= 8000) return 8001;
  if (y <= 13000) return 13001;
  return kCanonEndYear;
}

const char* describe(CanonDefectKind kind) {
  switch (kind) {
    case CanonDefectKind::NotAFiniteDecimal: return "a number is not a finite decimal";
    case CanonDefectKind::YearOutOfRange: return "year outside -13001 .. 17000";
    case CanonDefectKind::MonthOutOfRange: return "month outside 1 .. 12";
    case CanonDefectKind::DayOutOfRange: return "day outside 1 .. 31";
    case CanonDefectKind::JulianDayOutOfRange: return "Julian day more than 2 days outside the years -13001 .. 17000";
    case CanonDefectKind::FileEndsInsideEntry: return "the file ends inside the entry";
    case CanonDefectKind::FileTooLarge: return "the file is larger than the reader loads";
    case CanonDefectKind::TypeOutOfRange: return "type outside 0 .. 6";
    case CanonDefectKind::SarosOutOfRange: return "Saros series outside -1000 .. 1000";
    case CanonDefectKind::ValueTooLarge: return "a number beyond 1e9";
    case CanonDefectKind::OutOfOrder: return "the entry is dated before the one above it";
    case CanonDefectKind::EndsBeforeLastYear: return "the file ends before its last year";
    case CanonDefectKind::BeginsAfterFirstYear: return "the file begins after its first year";
  }
  return "unknown defect";
}

std::string describeDefect(const CanonDefect& d) {
  std::string out = d.fileName + " line " + std::to_string(d.line) + ": ";
  if (d.valueNumber > 0) out += "number " + std::to_string(d.valueNumber) + " of ";
  out += "entry " + std::to_string(d.entryNumber) + ": " + describe(d.kind);
  return out;
}

ParsedCanonFile parseCanonText(std::string_view text, std::string_view fileName, bool truncatedAtLimit) {
  ParsedCanonFile out;
  // A prefix of a larger file: drop a token the cut may have split.
  if (truncatedAtLimit) {
    while (!text.empty() && !isSpace(text.back())) text.remove_suffix(1);
  }
  const std::size_t n = text.size();
  std::size_t pos = 0;
  std::array<double, EclipseRecord::kValueCount> values{};
  auto reject = [&](CanonDefectKind kind, std::size_t entryStart, int valueNumber) {
    const std::size_t at = valueNumber > 0 ? tokenOffset(text, entryStart, valueNumber) : entryStart;
    out.defect = CanonDefect{std::string(fileName), out.entries.size() + 1, entryStart, kind, valueNumber,
                             lineAt(text, at)};
  };
  for (;;) {
    while (pos < n && isSpace(text[pos])) ++pos;
    if (pos >= n) break;  // clean end between entries
    const std::size_t entryStart = pos;
    std::size_t count = 0;
    bool bad = false;
    for (; count < values.size(); ++count) {
      while (pos < n && isSpace(text[pos])) ++pos;
      if (pos >= n) break;
      const std::size_t tokenStart = pos;
      while (pos < n && !isSpace(text[pos])) ++pos;
      const auto v = parseDecimal(text.substr(tokenStart, pos - tokenStart));
      if (!v) {
        reject(CanonDefectKind::NotAFiniteDecimal, entryStart, static_cast<int>(count + 1));
        bad = true;
        break;
      }
      values[count] = *v;
    }
    if (bad) break;
    if (count < values.size()) {
      reject(CanonDefectKind::FileEndsInsideEntry, entryStart, static_cast<int>(count + 1));
      break;
    }
    const EclipseRecord r = EclipseRecord::fromValues(values);
    if (const auto kind = checkRanges(r)) {
      reject(*kind, entryStart, valueNumberOf(*kind, r));
      break;
    }
    // The reader positions by binary search and walks on into the next file:
    // an entry out of order would hide the entries after it.
    if (!out.entries.empty() && dateBefore(r, out.entries.back())) {
      reject(CanonDefectKind::OutOfOrder, entryStart, 0);
      break;
    }
    out.entries.push_back(r);
  }
  if (truncatedAtLimit && !out.defect) {
    out.defect = CanonDefect{std::string(fileName), out.entries.size() + 1, n, CanonDefectKind::FileTooLarge, 0,
                             lineAt(text, n)};
  }
  // A catalogue file cut short between two entries: its last entry lies
  // before the file's last year (every year holds eclipses).
  if (!out.defect && !out.entries.empty()) {
    for (const CanonFile& f : kCanonFiles) {
      if (fileName == f.name && out.entries.back().year < f.lastYear) {
        out.defect = CanonDefect{std::string(fileName), out.entries.size() + 1, n,
                                 CanonDefectKind::EndsBeforeLastYear, 0, lineAt(text, n)};
      }
    }
  }
  // A catalogue file that lost its beginning between two entries: its first
  // entry lies after the file's first year. Nothing before the damage is
  // left, so none of it is believed.
  if (!out.entries.empty()) {
    for (const CanonFile& f : kCanonFiles) {
      if (fileName == f.name && out.entries.front().year > f.firstYear) {
        out.entries = CanonEntries();
        out.dateOrdered = true;
        out.defect = CanonDefect{std::string(fileName), 1, 0, CanonDefectKind::BeginsAfterFirstYear, 0, 1};
      }
    }
  }
  return out;
}

namespace {

// UT Julian Day and date of a stored entry under the model alone; the
// adjustment is applied on top by adjusted(), so that a memo of these and a
// direct conversion agree to the bit.
struct ModelUniversal {
  double jd;
  CalendarDate date;
};

ModelUniversal underModel(const EclipseRecord& stored, DeltaTModel model) {
  const double jd = stored.greatestJd - deltaTSeconds(model, centuriesFromJ2000(stored.greatestJd)) / kSecondsPerDay;
  return {jd, jdToCalendar(jd, ZoneMode::StandardZone, 0)};
}

EclipseEntry adjusted(const EclipseRecord& stored, double modelJd, const CalendarDate& modelDate,
                      double adjustSeconds) {
  EclipseEntry e;
  static_cast<EclipseRecord&>(e) = stored;
  e.greatestJdTt = stored.greatestJd;
  e.greatestJd = modelJd;
  CalendarDate c = modelDate;
  if (adjustSeconds != 0) {
    e.greatestJd = modelJd - adjustSeconds / kSecondsPerDay;
    c = jdToCalendar(e.greatestJd, ZoneMode::StandardZone, 0);
  }
  e.year = c.year;
  e.month = c.month;
  e.eclipseDay = c.day;
  return e;
}

}  // namespace

EclipseEntry convertToUniversalTime(const EclipseRecord& stored, const DeltaTChoice& deltaT) {
  const ModelUniversal u = underModel(stored, deltaT.model);
  return adjusted(stored, u.jd, u.date, deltaT.adjustSeconds);
}

EclipseEntry reconvertedEntry(const EclipseEntry& entry, const DeltaTChoice& deltaT) {
  EclipseRecord stored = entry;
  stored.greatestJd = entry.greatestJdTt;
  return convertToUniversalTime(stored, deltaT);
}

const CanonReader::UniversalDates& CanonReader::LoadedFile::universalUnder(DeltaTModel model) const {
  auto& slot = universal[static_cast<std::size_t>(deltaTModelRow(model).model)];
  if (!slot) {
    auto dates = std::make_shared<UniversalDates>();
    dates->entries.reserve(parsed->entries.size());
    for (const EclipseRecord& e : parsed->entries) {
      const ModelUniversal u = underModel(e, model);
      if (!dates->entries.empty() && u.jd < dates->entries.back().greatestJd) dates->ordered = false;
      dates->entries.push_back({u.date.year, u.date.month, u.date.day, u.jd});
    }
    slot = std::move(dates);
  }
  return *slot;
}

CanonReader::CanonReader(std::filesystem::path directory)
    : directory_(std::move(directory)), cacheDirectory_(defaultCanonCacheDirectory()) {}

const CanonReader::Loaded* CanonReader::load(std::size_t fileIndex) {
  Loaded& slot = cache_[fileIndex];
  const std::filesystem::path path = directory_ / kCanonFiles[fileIndex].name;
  // One stat for kind, size and time stamp. Only a regular file: a
  // directory, a pipe or a device is no catalogue.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0) {
    slot = Loaded{};
    return nullptr;
  }
  const std::uintmax_t size = static_cast<std::uintmax_t>(st.st_size);
  const std::int64_t mtimeSeconds = st.st_mtim.tv_sec;
  const std::int64_t mtimeNanoseconds = st.st_mtim.tv_nsec;
  if (slot.file && slot.size == size && slot.mtimeSeconds == mtimeSeconds &&
      slot.mtimeNanoseconds == mtimeNanoseconds) {
    return &slot;
  }

  // A usable copy in the cache stands for the text; else the text is read
  // and a copy kept for the next run.
  std::shared_ptr<ParsedCanonFile> parsed = loadCanonCache(cacheDirectory_, path, kCanonFiles[fileIndex].name, st);
  if (!parsed) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
      slot = Loaded{};
      return nullptr;
    }
    const std::uint64_t wanted = std::min<std::uint64_t>(size, kMaxCanonFileBytes);
    std::string text(static_cast<std::size_t>(wanted), '\0');
    const std::size_t got = wanted ? std::fread(text.data(), 1, text.size(), f) : 0;
    // A file grown since the size was taken is read up to that size.
    const bool truncated = size > kMaxCanonFileBytes;
    std::fclose(f);
    text.resize(got);

    parsed = std::make_shared<ParsedCanonFile>(
        parseCanonText(text, kCanonFiles[fileIndex].name, truncated));
    storeCanonCache(cacheDirectory_, path, st, *parsed);
  }
  parsed->entries.shrink_to_fit();
  auto file = std::make_shared<LoadedFile>();
  file->parsed = parsed;
  slot = Loaded{size, mtimeSeconds, mtimeNanoseconds, std::move(file)};
  if (parsed->defect &&
      std::find(defectOrder_.begin(), defectOrder_.end(), fileIndex) == defectOrder_.end()) {
    defectOrder_.push_back(fileIndex);
  }
  return &slot;
}

bool CanonReader::openFileFor(double year) {
  close();
  missing_.reset();
  const auto index = canonFileIndexForYear(year);
  if (!index) return false;
  const Loaded* slot = load(*index);
  const auto said = [&](bool absent, bool empty) {
    std::error_code ec;
    std::filesystem::path where = std::filesystem::absolute(directory_, ec).lexically_normal();
    if (ec) where = directory_;
    if (where.has_parent_path() && where.filename().empty()) where = where.parent_path();
    missing_ = MissingCanonFile{kCanonFiles[*index].name, where, absent, empty};
  };
  if (!slot) {
    std::error_code ec;
    said(!std::filesystem::exists(directory_ / kCanonFiles[*index].name, ec), false);
    return false;
  }
  openFile_ = slot->file;
  open_ = openFile_->parsed.get();
  // An empty file is named as a missing one is; a damaged one has its defect.
  if (open_->entries.empty() && !open_->defect) said(false, true);
  openIndex_ = *index;
  return true;
}

EclipseEntry CanonReader::universalEntry(std::size_t i, const DeltaTChoice& deltaT) const {
  const UniversalDate& u = openFile_->universalUnder(deltaT.model).entries[i];
  return adjusted(open_->entries[i], u.greatestJd, CalendarDate{u.year, u.month, u.day, 0}, deltaT.adjustSeconds);
}

bool CanonReader::landsAt(std::size_t i, double year, double month, const DeltaTChoice& deltaT) const {
  const UniversalDate& u = openFile_->universalUnder(deltaT.model).entries[i];
  if (deltaT.adjustSeconds == 0) return landsOnMonth(u.year, u.month, u.day, year, month);
  const CalendarDate c = jdToCalendar(u.greatestJd - deltaT.adjustSeconds / kSecondsPerDay, ZoneMode::StandardZone, 0);
  return landsOnMonth(c.year, c.month, c.day, year, month);
}

ReadStatus CanonReader::openAt(double year, double month, const DeltaTChoice& deltaT, EclipseEntry& out) {
  landedBefore_ = false;
  if (!openFileFor(year)) return ReadStatus::NoFile;
  const ParsedCanonFile* parsed = open_;
  const auto& entries = parsed->entries;
  if (entries.empty()) {
    nextPosition_ = 0;
    return ReadStatus::NoEntry;
  }
  // By the UT date the entry is shown with, so that the date shown is in the
  // month asked for or later. UT dates in order are binary-searched (a
  // constant adjustment keeps their order); else scanned in file order.
  const std::size_t n = entries.size();
  std::size_t first = 0;
  if (openFile_->universalUnder(deltaT.model).ordered) {
    std::size_t count = n;
    while (count > 0) {
      const std::size_t half = count / 2;
      if (landsAt(first + half, year, month, deltaT)) {
        count = half;
      } else {
        first += half + 1;
        count -= half + 1;
      }
    }
  } else {
    while (first < n && !landsAt(first, year, month, deltaT)) ++first;
  }
  std::size_t landed;
  if (first == n) {
    landed = n - 1;  // the last entry; the file stays at its end
    nextPosition_ = n;
    landedBefore_ = true;
  } else {
    landed = first;
    nextPosition_ = landed + 1;
  }
  out = universalEntry(landed, deltaT);
  return ReadStatus::Read;
}

ReadStatus CanonReader::readNext(const DeltaTChoice& deltaT, EclipseEntry& out) {
  if (!open_ || nextPosition_ >= open_->entries.size()) return ReadStatus::EndOfFile;
  out = universalEntry(nextPosition_, deltaT);
  ++nextPosition_;
  return ReadStatus::Read;
}

ReadStatus CanonReader::openFirst(double year, const DeltaTChoice& deltaT, EclipseEntry& out) {
  if (!openFileFor(year)) return ReadStatus::NoFile;
  nextPosition_ = 0;
  return open_->entries.empty() ? ReadStatus::NoEntry : readNext(deltaT, out);
}

CanonReader::Position CanonReader::position() const {
  Position p;
  p.file = openFile_;
  p.fileIndex = openIndex_;
  p.next = nextPosition_;
  return p;
}

void CanonReader::restore(const Position& p) {
  openFile_ = p.file;
  open_ = openFile_ ? openFile_->parsed.get() : nullptr;
  openIndex_ = p.fileIndex;
  nextPosition_ = p.next;
}

void CanonReader::close() {
  openFile_.reset();
  open_ = nullptr;
  nextPosition_ = 0;
}

std::optional<std::size_t> CanonReader::openFileIndex() const {
  if (!open_) return std::nullopt;
  return openIndex_;
}

std::vector<CanonDefect> CanonReader::defectsSeen() const {
  std::vector<CanonDefect> out;
  for (std::size_t i : defectOrder_) {
    const auto& file = cache_[i].file;
    if (file && file->parsed->defect) out.push_back(*file->parsed->defect);
  }
  return out;
}

}  // namespace tarvo
