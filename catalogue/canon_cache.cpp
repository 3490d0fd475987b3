#include "catalogue/canon_cache.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <type_traits>

#define XXH_INLINE_ALL
#include <xxhash.h>

namespace tarvo {

namespace {

static_assert(std::is_trivially_copyable_v<EclipseRecord> &&
              sizeof(EclipseRecord) == EclipseRecord::kValueCount * sizeof(double));
static_assert(std::is_trivially_copyable_v<CanonCacheHeader> && sizeof(CanonCacheHeader) == 144);
// Everything the parser gives is kept: a new field of its result must be
// written and checked here too, and kCanonCacheFormatVersion raised.
static_assert(sizeof(CanonDefect) == sizeof(std::string) + 32 && sizeof(ParsedCanonFile) == 136,
              "the parser's result changed: keep the cache in step");

constexpr std::size_t kRecordBytes = sizeof(EclipseRecord);
// The largest file the reader accepts as text, as entries (no text entry is
// shorter than 62 bytes: 31 numbers and their separators).
constexpr std::uint64_t kMaxEntries = kMaxCanonFileBytes / 62 + 1;

CanonCacheRead refuse(CanonCacheVerdict verdict, std::string reason) {
  CanonCacheRead r;
  r.verdict = verdict;
  r.reason = std::move(reason);
  return r;
}

bool validDefectKind(std::uint32_t kind) {
  return kind <= static_cast<std::uint32_t>(CanonDefectKind::BeginsAfterFirstYear);
}

bool dateBefore(const EclipseRecord& a, const EclipseRecord& b) {
  if (a.year != b.year) return a.year < b.year;
  if (a.month != b.month) return a.month < b.month;
  return a.eclipseDay < b.eclipseDay;
}

std::mutex& defaultDirectoryMutex() {
  static std::mutex m;
  return m;
}
std::optional<std::filesystem::path>& defaultDirectory() {
  static std::optional<std::filesystem::path> d;
  return d;
}

}  // namespace

CanonSourceIdentity canonSourceIdentity(const struct stat& st) {
  CanonSourceIdentity id;
  id.sizeBytes = static_cast<std::uint64_t>(st.st_size);
  id.inode = static_cast<std::uint64_t>(st.st_ino);
  id.device = static_cast<std::uint64_t>(st.st_dev);
  id.mtimeSeconds = st.st_mtim.tv_sec;
  id.mtimeNanoseconds = st.st_mtim.tv_nsec;
  id.ctimeSeconds = st.st_ctim.tv_sec;
  id.ctimeNanoseconds = st.st_ctim.tv_nsec;
  return id;
}

std::uint64_t canonCacheChecksum(std::span<const unsigned char> file) {
  if (file.size() < kCanonCacheChecksumEnd) return 0;
  return XXH3_64bits(file.data() + kCanonCacheChecksumEnd, file.size() - kCanonCacheChecksumEnd);
}

std::string encodeCanonCache(const ParsedCanonFile& parsed, const CanonSourceIdentity& source) {
  CanonCacheHeader h{};
  std::memcpy(h.magic, kCanonCacheMagic, sizeof h.magic);
  h.formatVersion = kCanonCacheFormatVersion;
  h.headerBytes = sizeof(CanonCacheHeader);
  h.byteOrderMark = kCanonCacheByteOrderMark;
  h.recordBytes = kRecordBytes;
  h.valueCount = EclipseRecord::kValueCount;
  h.source = source;
  h.entryCount = parsed.entries.size();
  h.flags = (parsed.dateOrdered ? kCanonCacheDateOrdered : 0) | (parsed.defect ? kCanonCacheHasDefect : 0);
  if (parsed.defect) {
    h.defectKind = static_cast<std::uint32_t>(parsed.defect->kind);
    h.defectEntryNumber = parsed.defect->entryNumber;
    h.defectByteOffset = parsed.defect->byteOffset;
    h.defectValueNumber = parsed.defect->valueNumber;
    h.defectLine = parsed.defect->line;
  }
  std::string out(sizeof h + parsed.entries.size() * kRecordBytes, '\0');
  if (!parsed.entries.empty()) std::memcpy(out.data() + sizeof h, parsed.entries.data(), out.size() - sizeof h);
  std::memcpy(out.data(), &h, sizeof h);
  h.checksum = canonCacheChecksum({reinterpret_cast<const unsigned char*>(out.data()), out.size()});
  std::memcpy(out.data(), &h, sizeof h);
  return out;
}

CanonCacheRead decodeCanonCache(std::span<const unsigned char> file, const CanonSourceIdentity& source,
                                std::string_view fileName, std::shared_ptr<const void> keeper) {
  if (file.size() < sizeof(CanonCacheHeader)) {
    if (file.size() >= sizeof kCanonCacheMagic && std::memcmp(file.data(), kCanonCacheMagic, sizeof kCanonCacheMagic) != 0) {
      return refuse(CanonCacheVerdict::Foreign, "not a catalogue cache file");
    }
    return refuse(CanonCacheVerdict::Damaged, "shorter than its header");
  }
  CanonCacheHeader h;
  std::memcpy(&h, file.data(), sizeof h);
  if (std::memcmp(h.magic, kCanonCacheMagic, sizeof h.magic) != 0) {
    return refuse(CanonCacheVerdict::Foreign, "not a catalogue cache file");
  }
  if (h.byteOrderMark != kCanonCacheByteOrderMark || h.formatVersion != kCanonCacheFormatVersion ||
      h.headerBytes != sizeof(CanonCacheHeader) || h.recordBytes != kRecordBytes ||
      h.valueCount != EclipseRecord::kValueCount) {
    return refuse(CanonCacheVerdict::Foreign, "made by another version or machine");
  }
  const std::uint64_t payload = file.size() - sizeof h;
  if (h.entryCount > kMaxEntries || payload != h.entryCount * kRecordBytes) {
    return refuse(CanonCacheVerdict::Damaged, "size " + std::to_string(file.size()) + " bytes does not fit " +
                                                  std::to_string(h.entryCount) + " entries");
  }
  if (h.checksum != canonCacheChecksum(file)) return refuse(CanonCacheVerdict::Damaged, "checksum mismatch");
  if (!(h.source == source)) return refuse(CanonCacheVerdict::Stale, {});

  // Never trusted: the entries must be what the parser could have given.
  auto parsed = std::make_shared<ParsedCanonFile>();
  const unsigned char* first = file.data() + sizeof h;
  if (keeper && reinterpret_cast<std::uintptr_t>(first) % alignof(EclipseRecord) == 0) {
    parsed->entries = CanonEntries(std::move(keeper), reinterpret_cast<const EclipseRecord*>(first), h.entryCount);
  } else {
    std::vector<EclipseRecord> copy(h.entryCount);
    if (h.entryCount) std::memcpy(copy.data(), first, payload);
    parsed->entries = CanonEntries(std::move(copy));
  }
  for (std::size_t i = 0; i < parsed->entries.size(); ++i) {
    const EclipseRecord& e = parsed->entries[i];
    bool finite = true;
    for (double v : e.values()) finite = finite && std::isfinite(v);
    if (!finite || checkCanonEntryRanges(e)) {
      return refuse(CanonCacheVerdict::Damaged, "entry " + std::to_string(i + 1) + " is not a valid entry");
    }
    if (i > 0 && dateBefore(e, parsed->entries[i - 1])) parsed->dateOrdered = false;
  }
  const bool hasDefect = h.flags & kCanonCacheHasDefect;
  if ((h.flags & ~(kCanonCacheDateOrdered | kCanonCacheHasDefect)) != 0 ||
      bool(h.flags & kCanonCacheDateOrdered) != parsed->dateOrdered) {
    return refuse(CanonCacheVerdict::Damaged, "flags do not fit the entries");
  }
  if (hasDefect) {
    if (!validDefectKind(h.defectKind) || h.defectEntryNumber != h.entryCount + 1 ||
        h.defectValueNumber < 0 || h.defectValueNumber > static_cast<std::int64_t>(EclipseRecord::kValueCount) ||
        h.defectByteOffset > source.sizeBytes || h.defectLine == 0 || h.defectLine > source.sizeBytes + 1) {
      return refuse(CanonCacheVerdict::Damaged, "the defect does not fit the entries");
    }
    parsed->defect = CanonDefect{std::string(fileName), static_cast<std::size_t>(h.defectEntryNumber),
                                 h.defectByteOffset, static_cast<CanonDefectKind>(h.defectKind),
                                 static_cast<int>(h.defectValueNumber), static_cast<std::size_t>(h.defectLine)};
  }
  CanonCacheRead r;
  r.verdict = CanonCacheVerdict::Usable;
  r.parsed = std::move(parsed);
  return r;
}

std::filesystem::path canonCachePath(const std::filesystem::path& cacheDirectory,
                                     const std::filesystem::path& textPath) {
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(textPath, ec);
  if (ec) absolute = textPath;
  const std::string where = absolute.lexically_normal().string();
  char hash[17];
  std::snprintf(hash, sizeof hash, "%016llx",
                static_cast<unsigned long long>(XXH3_64bits(where.data(), where.size())));
  return cacheDirectory / (textPath.filename().string() + "-" + hash + ".cache");
}

CanonCacheRead readCanonCacheFile(const std::filesystem::path& cacheFile, const CanonSourceIdentity& source,
                                  std::string_view fileName) {
  const int fd = ::open(cacheFile.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return refuse(CanonCacheVerdict::Absent, {});
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return refuse(CanonCacheVerdict::Foreign, "not a regular file");
  }
  const auto size = static_cast<std::uint64_t>(st.st_size);
  if (size < sizeof(CanonCacheHeader) || size > sizeof(CanonCacheHeader) + kMaxEntries * kRecordBytes) {
    ::close(fd);
    return refuse(CanonCacheVerdict::Damaged, "size " + std::to_string(size) + " bytes");
  }
  void* map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
  ::close(fd);
  if (map == MAP_FAILED) return refuse(CanonCacheVerdict::Absent, {});
  // Unmapped when the last entries viewing it go (at once when refused).
  struct Mapping {
    Mapping(void* a, std::size_t n) : at(a), size(n) {}
    Mapping(const Mapping&) = delete;
    Mapping& operator=(const Mapping&) = delete;
    ~Mapping() { ::munmap(at, size); }
    void* at;
    std::size_t size;
  };
  auto mapping = std::make_shared<const Mapping>(map, static_cast<std::size_t>(size));
  return decodeCanonCache({static_cast<const unsigned char*>(map), static_cast<std::size_t>(size)}, source, fileName,
                          mapping);
}

std::string writeCanonCacheFile(const std::filesystem::path& cacheFile, const ParsedCanonFile& parsed,
                                const CanonSourceIdentity& source) {
  std::error_code ec;
  std::filesystem::create_directories(cacheFile.parent_path(), ec);
  if (ec) return ec.message();
  std::string temporary = cacheFile.string() + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  if (fd < 0) return std::strerror(errno);
  const std::string bytes = encodeCanonCache(parsed, source);
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  const int writeErrno = errno;
  if (::close(fd) != 0 || done != bytes.size() || std::rename(temporary.c_str(), cacheFile.c_str()) != 0) {
    const std::string reason = std::strerror(done != bytes.size() ? writeErrno : errno);
    ::unlink(temporary.c_str());
    return reason;
  }
  return {};
}

void setDefaultCanonCacheDirectory(std::optional<std::filesystem::path> directory) {
  std::lock_guard lock(defaultDirectoryMutex());
  defaultDirectory() = std::move(directory);
}

std::optional<std::filesystem::path> defaultCanonCacheDirectory() {
  std::lock_guard lock(defaultDirectoryMutex());
  return defaultDirectory();
}

std::shared_ptr<ParsedCanonFile> loadCanonCache(const std::optional<std::filesystem::path>& cacheDirectory,
                                                const std::filesystem::path& textPath, std::string_view fileName,
                                                const struct stat& textStat) {
  if (!cacheDirectory) return nullptr;
  const std::filesystem::path cacheFile = canonCachePath(*cacheDirectory, textPath);
  CanonCacheRead r = readCanonCacheFile(cacheFile, canonSourceIdentity(textStat), fileName);
  if (r.verdict == CanonCacheVerdict::Foreign || r.verdict == CanonCacheVerdict::Damaged) {
    std::fprintf(stderr, "catalogue cache %s: %s; ignored, made again from %s\n", cacheFile.c_str(),
                 r.reason.c_str(), std::string(fileName).c_str());
  }
  return r.verdict == CanonCacheVerdict::Usable ? std::move(r.parsed) : nullptr;
}

void storeCanonCache(const std::optional<std::filesystem::path>& cacheDirectory,
                     const std::filesystem::path& textPath, const struct stat& textStat,
                     const ParsedCanonFile& parsed) {
  if (!cacheDirectory) return;
  writeCanonCacheFile(canonCachePath(*cacheDirectory, textPath), parsed, canonSourceIdentity(textStat));
}

}  // namespace tarvo
