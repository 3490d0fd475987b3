// A binary copy of one parsed canon text file, kept in the user's cache so
// that a later run maps it in one piece instead of parsing the text.
//
// The text file stays the source and the reader of record: a copy is used
// only when it was made from a file of the same identity (size, modification
// and change times, inode, device) and passes every check of its own (size,
// format version, byte order, checksum, each entry inside the ranges the text
// parser accepts). Anything else is ignored and made again from the text; a
// damaged or foreign copy is named on standard error first.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "catalogue/canon_reader.h"

namespace tarvo {

// Who a text file is, as stat sees it: a change to the file changes one of these.
struct CanonSourceIdentity {
  std::uint64_t sizeBytes = 0;
  std::uint64_t inode = 0;
  std::uint64_t device = 0;
  std::int64_t mtimeSeconds = 0, mtimeNanoseconds = 0;
  std::int64_t ctimeSeconds = 0, ctimeNanoseconds = 0;
  bool operator==(const CanonSourceIdentity&) const = default;
};

CanonSourceIdentity canonSourceIdentity(const struct stat& st);

// The file's layout: this header, then the entries as EclipseRecord (31
// doubles each) in file order, in the byte order of the machine that wrote it.
// All integers are of that byte order too; byteOrderMark tells a foreign one.
struct CanonCacheHeader {
  char magic[8];
  std::uint32_t formatVersion;
  std::uint32_t headerBytes;
  std::uint64_t checksum;  // XXH3-64 of every byte after this field
  std::uint64_t byteOrderMark;
  std::uint32_t recordBytes;
  std::uint32_t valueCount;
  CanonSourceIdentity source;
  std::uint64_t entryCount;
  std::uint32_t flags;  // kCanonCacheDateOrdered | kCanonCacheHasDefect
  std::uint32_t defectKind;
  std::uint64_t defectEntryNumber;
  std::uint64_t defectByteOffset;
  std::int64_t defectValueNumber;
  std::uint64_t defectLine;
};

inline constexpr char kCanonCacheMagic[8] = {'T', 'A', 'R', 'V', 'O', 'C', 'A', 'T'};
// Raised whenever the layout or what the parser gives changes.
inline constexpr std::uint32_t kCanonCacheFormatVersion = 3;
inline constexpr std::uint64_t kCanonCacheByteOrderMark = 0x0102030405060708ull;
inline constexpr std::uint32_t kCanonCacheDateOrdered = 1;
inline constexpr std::uint32_t kCanonCacheHasDefect = 2;
inline constexpr std::size_t kCanonCacheChecksumEnd = offsetof(CanonCacheHeader, checksum) + sizeof(std::uint64_t);

enum class CanonCacheVerdict {
  Usable,
  Absent,   // no such file
  Stale,    // a good copy of another state of the text file
  Foreign,  // not a cache file of this version and machine
  Damaged,  // size, checksum or contents wrong
};

struct CanonCacheRead {
  CanonCacheVerdict verdict = CanonCacheVerdict::Absent;
  std::string reason;  // for Foreign and Damaged, e.g. "checksum mismatch"
  std::shared_ptr<ParsedCanonFile> parsed;  // set when Usable
};

// The checksum of bytes[kCanonCacheChecksumEnd, end) of a cache file.
std::uint64_t canonCacheChecksum(std::span<const unsigned char> file);

// The cache file's bytes for a parsed text file.
std::string encodeCanonCache(const ParsedCanonFile& parsed, const CanonSourceIdentity& source);

// Checks a cache file's bytes against the text file they should stand for;
// fileName labels a defect as the parser would. With a keeper (something that
// keeps the bytes where they are while it lives) the entries are read where
// they lie; without one they are copied.
CanonCacheRead decodeCanonCache(std::span<const unsigned char> file, const CanonSourceIdentity& source,
                                std::string_view fileName, std::shared_ptr<const void> keeper = nullptr);

// Where the copy of the text file textPath lives in cacheDirectory: its name
// and a hash of its absolute path, so each data directory has its own.
std::filesystem::path canonCachePath(const std::filesystem::path& cacheDirectory,
                                     const std::filesystem::path& textPath);

// Maps and decodes a cache file; the entries read stay in the mapping. Cache
// files are replaced by renaming, never rewritten in place, so a mapped copy
// does not change under its reader.
CanonCacheRead readCanonCacheFile(const std::filesystem::path& cacheFile, const CanonSourceIdentity& source,
                                  std::string_view fileName);

// Writes a cache file whole or not at all (a temporary file beside it,
// renamed); an empty string on success, else the reason.
std::string writeCanonCacheFile(const std::filesystem::path& cacheFile, const ParsedCanonFile& parsed,
                                const CanonSourceIdentity& source);

// The cache directory readers use unless told otherwise: none (no cache)
// until the program sets one.
void setDefaultCanonCacheDirectory(std::optional<std::filesystem::path> directory);
std::optional<std::filesystem::path> defaultCanonCacheDirectory();

// The reader's way in: the usable copy of textPath, or nullptr (after a word
// on standard error for a damaged or foreign copy).
std::shared_ptr<ParsedCanonFile> loadCanonCache(const std::optional<std::filesystem::path>& cacheDirectory,
                                                const std::filesystem::path& textPath, std::string_view fileName,
                                                const struct stat& textStat);
// Keeps a copy of a freshly parsed text file; a cache that cannot be written
// is silently left out.
void storeCanonCache(const std::optional<std::filesystem::path>& cacheDirectory,
                     const std::filesystem::path& textPath, const struct stat& textStat,
                     const ParsedCanonFile& parsed);

}  // namespace tarvo
