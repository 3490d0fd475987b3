#include "circumstances/sites.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <memory>

#include "base/text.h"
#include "base/text_format.h"

namespace tarvo {

namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view trimmedBlanks(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

enum class FieldStatus { Number, Missing, NotANumber, Overflow };

// The decimal number at the start of a field, after leading blanks, read as
// far as it goes: [sign] digits [. digits] [e [sign] digits]; what follows it
// in the field is ignored. Independent of the locale.
FieldStatus fieldNumber(std::string_view field, double& value) {
  const std::string_view text = trimmedBlanks(field);
  if (text.empty()) return FieldStatus::Missing;
  std::size_t i = 0;
  if (text[i] == '+' || text[i] == '-') ++i;
  const std::size_t mantissa = i;
  while (i < text.size() && isDigit(text[i])) ++i;
  std::size_t digits = i - mantissa;
  if (i < text.size() && text[i] == '.') {
    const std::size_t afterPoint = ++i;
    while (i < text.size() && isDigit(text[i])) ++i;
    digits += i - afterPoint;
  }
  if (digits == 0) return FieldStatus::NotANumber;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    const std::size_t expDigits = j;
    while (j < text.size() && isDigit(text[j])) ++j;
    if (j > expDigits) i = j;
  }
  const auto [end, ec] = std::from_chars(text.data() + mantissa, text.data() + i, value);
  if (ec == std::errc::result_out_of_range) return FieldStatus::Overflow;
  if (ec != std::errc() || end != text.data() + i) return FieldStatus::NotANumber;
  if (text[0] == '-') value = -value;
  return FieldStatus::Number;
}

// Text from the file for a message: control characters shown as '?'.
std::string quoted(std::string_view text) {
  std::string out(trimmedBlanks(text));
  for (char& c : out)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  return out;
}

// A range bound as the messages write it, with a minus sign (U+2212).
std::string bound(double v) {
  const std::string digits = formatString("%g", v < 0 ? -v : v);
  return v < 0 ? "\u2212" + digits : digits;
}

// The first control character of a name (C0, DEL, or C1 as UTF-8), or −1.
int controlCharacter(std::string_view name) {
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (c < 0x20 || c == 0x7F) return c;
    if (c == 0xC2 && i + 1 < name.size()) {
      const auto next = static_cast<unsigned char>(name[i + 1]);
      if (next >= 0x80 && next <= 0x9F) return next;
    }
  }
  return -1;
}

// One piece of a line as a city, or the reason it is not one.
std::optional<std::string> parsePiece(std::string_view piece, Site& site) {
  const std::size_t comma = piece.find(',');
  const std::string_view name = piece.substr(0, comma);
  if (const int c = controlCharacter(name); c >= 0)
    return formatString("name has a control character (0x%02X)", c);
  if (trimmedBlanks(name).empty()) return std::string("name empty");
  site.name = std::string(name);
  std::string_view rest =
      comma == std::string_view::npos ? std::string_view() : piece.substr(comma + 1);
  bool fieldsLeft = comma != std::string_view::npos;
  for (const CityField& f : kCityFields) {
    const std::size_t delimiter = rest.find_first_of(",;");
    const std::string_view text = fieldsLeft ? rest.substr(0, delimiter) : std::string_view();
    fieldsLeft = delimiter != std::string_view::npos;
    rest = fieldsLeft ? rest.substr(delimiter + 1) : std::string_view();
    double value = 0;
    switch (fieldNumber(text, value)) {
      case FieldStatus::Missing: return std::string(f.name) + " missing";
      case FieldStatus::NotANumber: return formatString("%s '%s' not a number", f.name, quoted(text).c_str());
      case FieldStatus::Overflow: value = HUGE_VAL; break;
      case FieldStatus::Number: break;
    }
    if (!f.range.contains(value)) {
      return formatString("%s %s outside %s..%s", f.name, quoted(text).c_str(),
                          bound(f.range.lo).c_str(), bound(f.range.hi).c_str());
    }
    site.*f.member = value;
  }
  site.zoneName = zoneNameOfRemark(rest);
  return std::nullopt;
}


// Bytes in memory, read one at a time.
class MemorySource {
 public:
  explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
  int get() { return pos_ < bytes_.size() ? static_cast<unsigned char>(bytes_[pos_++]) : -1; }
  int peek() const { return pos_ < bytes_.size() ? static_cast<unsigned char>(bytes_[pos_]) : -1; }

 private:
  std::string_view bytes_;
  std::size_t pos_ = 0;
};

class FileSource {
 public:
  explicit FileSource(std::FILE* f) : f_(f) {}
  int get() {
    const int c = std::getc(f_);
    return c == EOF ? -1 : c;
  }
  int peek() {
    const int c = std::getc(f_);
    if (c == EOF) return -1;
    std::ungetc(c, f_);
    return c;
  }

 private:
  std::FILE* f_;
};

// Splits the bytes into pieces of at most kSitePieceLength bytes, or up to
// three more to finish a character the limit falls inside (a line end, LF or
// CR LF, is not part of a piece) and checks and parses them
// until the list is full. Empty and blank pieces (an empty line, the end of
// a line that filled the previous piece exactly) are not cities.
template <class Source>
SiteReading parseFrom(Source& source) {
  SiteReading reading;
  std::string piece;
  piece.reserve(kSitePieceLength);
  Utf8Check utf8;
  long long lineNumber = 1;
  long long lastSkippedLine = 0;
  bool atEnd = false;
  bool lineStart = true;      // the next piece begins a line
  bool inCommentLine = false;  // the line being read began with ";"
  while (!atEnd && reading.list.sites.size() < kMaxSites) {
    piece.clear();
    const long long pieceLine = lineNumber;
    const bool firstPiece = lineStart;
    bool hasNul = false, validUtf8 = true, endsLine = false;
    // A piece is never cut inside a character: its last one is completed.
    while (piece.size() < kSitePieceLength || utf8.midCharacter()) {
      const int c = source.get();
      if (c < 0) {
        atEnd = endsLine = true;
        break;
      }
      if (c == '\n' || (c == '\r' && source.peek() == '\n')) {
        if (c == '\r') source.get();
        endsLine = true;
        break;
      }
      hasNul |= c == 0;
      validUtf8 &= utf8.take(static_cast<unsigned char>(c));
      piece.push_back(static_cast<char>(c));
    }
    if (endsLine) {
      validUtf8 &= utf8.endLine();
      ++lineNumber;
    }
    lineStart = endsLine;
    const std::string_view text(piece);
    if (firstPiece) inCommentLine = !text.empty() && text.front() == ';';
    // A comment runs to the end of its line, whatever its length.
    const bool blankOrComment =
        text.find_first_not_of(" \t\r") == std::string_view::npos || inCommentLine;
    if (blankOrComment && !hasNul) continue;
    const bool notText = hasNul || !validUtf8;
    Site site;
    const std::optional<std::string> problem =
        hasNul      ? std::string("not text (a NUL byte)")
        : notText   ? std::string("not text (invalid UTF-8)")
                    : parsePiece(text, site);
    if (!problem) {
      reading.list.sites.push_back(std::move(site));
      continue;
    }
    if (notText && reading.list.sites.empty()) {
      reading.notText = true;
      reading.firstProblem = SiteLineProblem{pieceLine, *problem};
      reading.skippedLines = 0;
      return reading;
    }
    if (!reading.firstProblem) reading.firstProblem = SiteLineProblem{pieceLine, *problem};
    if (pieceLine != lastSkippedLine) ++reading.skippedLines;
    lastSkippedLine = pieceLine;
  }
  return reading;
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

std::string zoneNameOfRemark(std::string_view remark) {
  constexpr std::string_view kKey = "tz=";
  constexpr std::size_t kMaxZoneName = 64;
  while (!remark.empty() && isBlank(remark.front())) remark.remove_prefix(1);
  if (remark.substr(0, kKey.size()) != kKey) return {};
  remark.remove_prefix(kKey.size());
  std::size_t n = 0;
  while (n < remark.size() && !isBlank(remark[n])) ++n;
  const std::string_view name = remark.substr(0, n);
  if (name.empty() || name.size() > kMaxZoneName) return {};
  for (char c : name) {
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (!letter && !isDigit(c) && c != '/' && c != '_' && c != '+' && c != '-') return {};
  }
  return std::string(name);
}

const Site* SiteList::byNumber(int n) const {
  if (n < 1 || n > count()) return nullptr;
  return &sites[static_cast<std::size_t>(n - 1)];
}

std::string siteReadingNotice(const SiteReading& reading, std::string_view fileName) {
  if (!reading.firstProblem) return {};
  const SiteLineProblem& p = *reading.firstProblem;
  std::string notice = formatString("%.*s line %lld: %s", static_cast<int>(fileName.size()),
                                    fileName.data(), p.lineNumber, p.reason.c_str());
  if (reading.notText) return notice + "; no city is read";
  return notice + formatString(" (%lld line%s skipped)", reading.skippedLines,
                               reading.skippedLines == 1 ? "" : "s");
}

SiteReading parseSites(std::string_view bytes) {
  MemorySource source(bytes);
  return parseFrom(source);
}

std::optional<SiteReading> readSitesFile(const std::string& path, std::string* whyNot) {
  auto fail = [&](std::string why) -> std::optional<SiteReading> {
    if (whyNot != nullptr) *whyNot = std::move(why);
    return std::nullopt;
  };
  // Opened without waiting (a pipe would block until a writer came), and
  // read only when it is a regular file.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return fail(std::strerror(errno));
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const bool folder = S_ISDIR(st.st_mode);
    ::close(fd);
    return fail(folder ? std::strerror(EISDIR) : "not a regular file");
  }
  std::unique_ptr<std::FILE, FileCloser> file(::fdopen(fd, "rb"));
  if (!file) {
    ::close(fd);
    return fail(std::strerror(errno));
  }
  FileSource source(file.get());
  errno = 0;
  SiteReading read = parseFrom(source);
  if (std::ferror(file.get())) return fail(std::strerror(errno != 0 ? errno : EIO));
  return read;
}

}  // namespace tarvo
