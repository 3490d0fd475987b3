#include "circumstances/sites.h"

#include <charconv>
#include <cstdio>
#include <memory>


namespace tarvo {

namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The decimal number at the start of a field, after leading blanks, read as
// far as it goes: [sign] digits [. digits] [e [sign] digits]. No number, or
// one out of the double range, gives 0. Independent of the locale.
double fieldNumber(std::string_view field) {
  std::size_t i = 0;
  while (i < field.size() && isBlank(field[i])) ++i;
  const std::size_t start = i;
  if (i < field.size() && (field[i] == '+' || field[i] == '-')) ++i;
  const std::size_t mantissa = i;
  while (i < field.size() && isDigit(field[i])) ++i;
  std::size_t digits = i - mantissa;
  if (i < field.size() && field[i] == '.') {
    const std::size_t afterPoint = ++i;
    while (i < field.size() && isDigit(field[i])) ++i;
    digits += i - afterPoint;
  }
  if (digits == 0) return 0;
  if (i < field.size() && (field[i] == 'e' || field[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < field.size() && (field[j] == '+' || field[j] == '-')) ++j;
    const std::size_t expDigits = j;
    while (j < field.size() && isDigit(field[j])) ++j;
    if (j > expDigits) i = j;
  }
  const bool negative = field[start] == '-';
  double value = 0;
  const auto [end, ec] = std::from_chars(field.data() + mantissa, field.data() + i, value);
  if (ec != std::errc() || end != field.data() + i) return 0;
  return negative ? -value : value;
}

// One piece of a line: the city fields, or nothing for a comment.
void parsePiece(std::string_view piece, SiteList& list) {
  Site site;
  const std::size_t comma = piece.find(',');
  if (comma == std::string_view::npos) {
    site.name = std::string(piece);
  } else {
    site.name = std::string(piece.substr(0, comma));
    std::string_view rest = piece.substr(comma + 1);
    double* fields[] = {&site.longitude, &site.latitude, &site.height, &site.extra};
    for (double* field : fields) {
      const std::size_t delimiter = rest.find_first_of(",;");
      *field = fieldNumber(rest.substr(0, delimiter));
      rest = delimiter == std::string_view::npos ? std::string_view() : rest.substr(delimiter + 1);
    }
  }
  list.sites.push_back(std::move(site));
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

// Splits the bytes into pieces of at most kSitePieceLength characters (a
// line end, LF or CR LF, is not part of a piece) and parses them until the
// list is full. A piece is read only as far as its first NUL. Empty and
// blank pieces (an empty line, the end of a line that filled the previous
// piece exactly) are not cities.
template <class Source>
SiteList parseFrom(Source& source) {
  SiteList list;
  std::string piece;
  piece.reserve(kSitePieceLength);
  bool atEnd = false;
  while (!atEnd && list.sites.size() < kMaxSites) {
    piece.clear();
    while (piece.size() < kSitePieceLength) {
      const int c = source.get();
      if (c < 0) {
        atEnd = true;
        break;
      }
      if (c == '\n' || (c == '\r' && source.peek() == '\n')) {
        if (c == '\r') source.get();
        break;
      }
      piece.push_back(static_cast<char>(c));
    }
    std::string_view text(piece);
    text = text.substr(0, text.find('\0'));
    if (text.find_first_not_of(" \t\r") == std::string_view::npos) continue;
    if (text.front() == ';') continue;
    parsePiece(text, list);
  }
  return list;
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

const Site* SiteList::byNumber(int n) const {
  if (n < 1 || n > count()) return nullptr;
  return &sites[static_cast<std::size_t>(n - 1)];
}

SiteList parseSites(std::string_view bytes) {
  MemorySource source(bytes);
  return parseFrom(source);
}

std::optional<SiteList> readSitesFile(const std::string& path) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) return std::nullopt;
  FileSource source(file.get());
  SiteList read = parseFrom(source);
  if (std::ferror(file.get())) return std::nullopt;  // e.g. a directory of that name
  return read;
}

}  // namespace tarvo
