#include "catalogue/canon_cache.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>

#include "tests/catalogue/canon_test_support.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using Bytes = std::span<const unsigned char>;

Bytes bytesOf(const std::string& s) { return {reinterpret_cast<const unsigned char*>(s.data()), s.size()}; }

void expectSameParse(const ParsedCanonFile& got, const ParsedCanonFile& want, const std::string& label) {
  ASSERT_EQ(got.entries.size(), want.entries.size()) << label;
  // Bit for bit: the copy must give exactly what the parser gave.
  if (!want.entries.empty()) {
    EXPECT_EQ(std::memcmp(got.entries.data(), want.entries.data(), want.entries.size() * sizeof(EclipseRecord)), 0)
        << label;
  }
  EXPECT_EQ(got.dateOrdered, want.dateOrdered) << label;
  ASSERT_EQ(got.defect.has_value(), want.defect.has_value()) << label;
  if (want.defect) {
    EXPECT_EQ(got.defect->fileName, want.defect->fileName) << label;
    EXPECT_EQ(got.defect->entryNumber, want.defect->entryNumber) << label;
    EXPECT_EQ(got.defect->byteOffset, want.defect->byteOffset) << label;
    EXPECT_EQ(got.defect->kind, want.defect->kind) << label;
    EXPECT_EQ(got.defect->line, want.defect->line) << label;
    EXPECT_EQ(got.defect->valueNumber, want.defect->valueNumber) << label;
  }
}

CanonSourceIdentity someSource(std::uint64_t size) {
  CanonSourceIdentity id;
  id.sizeBytes = size, id.inode = 77, id.device = 3, id.mtimeSeconds = 1700000000, id.mtimeNanoseconds = 5;
  return id;
}

// Each hand-made file, a defective one of each kind, an unordered one and an
// empty one come back from their copy as the parser gave them.
TEST(CanonCache, CopyHoldsExactlyWhatTheParserGave) {
  std::vector<std::pair<std::string, std::string>> texts;
  for (const CanonFile& f : kCanonFiles) texts.emplace_back(f.name, testing::readText(testing::testCanonDir() / f.name));
  const std::string good = texts[3].second;
  const std::size_t secondEntry = good.find('\n', good.find('\n', good.find('\n') + 1) + 1) + 1;
  texts.emplace_back("cut", good.substr(0, secondEntry + 40));
  texts.emplace_back("nan", good.substr(0, secondEntry) + "nan" + good.substr(secondEntry + 1));
  texts.emplace_back("unordered", good.substr(secondEntry) + good.substr(0, secondEntry));
  texts.emplace_back("empty", "");
  for (const auto& [name, text] : texts) {
    const ParsedCanonFile parsed = parseCanonText(text, name);
    const std::string file = encodeCanonCache(parsed, someSource(text.size()));
    const CanonCacheRead back = decodeCanonCache(bytesOf(file), someSource(text.size()), name);
    ASSERT_EQ(back.verdict, CanonCacheVerdict::Usable) << name << ": " << back.reason;
    expectSameParse(*back.parsed, parsed, name);
  }
}

// Every way a copy can be wrong is told apart; none is used.
TEST(CanonCache, DamagedForeignAndStaleCopiesAreRefused) {
  const std::string text = testing::readText(testing::testCanonDir() / kCanonFiles[3].name);
  const ParsedCanonFile parsed = parseCanonText(text, "t");
  ASSERT_GE(parsed.entries.size(), 2u);
  const CanonSourceIdentity source = someSource(text.size());
  const std::string good = encodeCanonCache(parsed, source);
  const std::size_t payload = sizeof(CanonCacheHeader);
  auto reseal = [](std::string& f) {
    const std::uint64_t sum = canonCacheChecksum(bytesOf(f));
    std::memcpy(f.data() + offsetof(CanonCacheHeader, checksum), &sum, sizeof sum);
  };
  auto setDouble = [&](std::string& f, std::size_t entry, std::size_t value, double v) {
    std::memcpy(f.data() + payload + entry * sizeof(EclipseRecord) + value * sizeof(double), &v, sizeof v);
  };
  struct Case {
    const char* what;
    std::function<void(std::string&, CanonSourceIdentity&)> change;
    CanonCacheVerdict verdict;
  };
  const Case cases[] = {
      {"empty", [](std::string& f, auto&) { f.clear(); }, CanonCacheVerdict::Damaged},
      {"cut inside the header", [](std::string& f, auto&) { f.resize(100); }, CanonCacheVerdict::Damaged},
      {"one byte short", [](std::string& f, auto&) { f.pop_back(); }, CanonCacheVerdict::Damaged},
      {"one byte more", [](std::string& f, auto&) { f.push_back('\0'); }, CanonCacheVerdict::Damaged},
      {"entry count too large", [&](std::string& f, auto&) { f[offsetof(CanonCacheHeader, entryCount) + 7] = 1; },
       CanonCacheVerdict::Damaged},
      {"a bit flipped in an entry", [&](std::string& f, auto&) { f[payload + 300] ^= 4; }, CanonCacheVerdict::Damaged},
      {"a bit flipped in the header", [&](std::string& f, auto&) { f[offsetof(CanonCacheHeader, flags)] ^= 1; },
       CanonCacheVerdict::Damaged},
      {"resealed NaN", [&](std::string& f, auto&) { setDouble(f, 1, 12, NAN); reseal(f); }, CanonCacheVerdict::Damaged},
      {"resealed month 13", [&](std::string& f, auto&) { setDouble(f, 0, 1, 13); reseal(f); },
       CanonCacheVerdict::Damaged},
      {"resealed unordered flag",
       [&](std::string& f, auto&) { f[offsetof(CanonCacheHeader, flags)] ^= kCanonCacheDateOrdered; reseal(f); },
       CanonCacheVerdict::Damaged},
      {"resealed defect", [&](std::string& f, auto&) { f[offsetof(CanonCacheHeader, flags)] |= kCanonCacheHasDefect; reseal(f); },
       CanonCacheVerdict::Damaged},
      {"text, not a cache", [](std::string& f, auto&) { f = std::string(400, '1'); }, CanonCacheVerdict::Foreign},
      {"short text", [](std::string& f, auto&) { f = "2025 3 14\n"; }, CanonCacheVerdict::Foreign},
      {"another version", [](std::string& f, auto&) { f[offsetof(CanonCacheHeader, formatVersion)] += 1; },
       CanonCacheVerdict::Foreign},
      {"other byte order", [](std::string& f, auto&) { std::swap(f[24], f[31]); }, CanonCacheVerdict::Foreign},
      {"text file edited", [](std::string&, CanonSourceIdentity& s) { s.mtimeNanoseconds += 1; },
       CanonCacheVerdict::Stale},
      {"text file replaced", [](std::string&, CanonSourceIdentity& s) { s.inode += 1; }, CanonCacheVerdict::Stale},
  };
  for (const Case& c : cases) {
    std::string file = good;
    CanonSourceIdentity expected = source;
    c.change(file, expected);
    const CanonCacheRead r = decodeCanonCache(bytesOf(file), expected, "t");
    EXPECT_EQ(r.verdict, c.verdict) << c.what << ": " << r.reason;
    EXPECT_EQ(r.parsed, nullptr) << c.what;
  }
}

// The reader keeps a copy on first use, reads it next time, and makes it
// again from the text when it is damaged (with a word) or the text changed.
TEST(CanonCache, ReaderKeepsUsesAndRepairsItsCopy) {
  testing::ScratchDir data, cache;
  testing::copyTestCanon(data.path(), {3});
  const fs::path text = data.path() / kCanonFiles[3].name;
  const fs::path copy = canonCachePath(cache.path(), text);
  EclipseEntry first, r;
  auto firstEntry = [&] {
    CanonReader reader(data.path());
    reader.setCacheDirectory(cache.path());
    EXPECT_EQ(reader.openFirst(1, DeltaTChoice{}, r), ReadStatus::Read);
    return r;
  };
  ::testing::internal::CaptureStderr();
  first = firstEntry();
  ASSERT_TRUE(fs::exists(copy));

  // A well-made copy is read instead of the text: make one whose entry differs.
  struct stat st {};
  ASSERT_EQ(::stat(text.c_str(), &st), 0);
  ParsedCanonFile altered = parseCanonText(testing::readText(text));
  altered.entries.held()[0].gamma = 0.125;
  ASSERT_EQ(writeCanonCacheFile(copy, altered, canonSourceIdentity(st)), "");
  EXPECT_EQ(firstEntry().gamma, 0.125);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");

  // Damaged: named on standard error, the text read, the copy made again.
  std::string bytes = testing::readText(copy);
  bytes[bytes.size() / 2] ^= 1;
  testing::writeText(copy, bytes);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(firstEntry().gamma, first.gamma);
  const std::string word = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(word.find(copy.string() + ": checksum mismatch"), std::string::npos) << word;
  ASSERT_EQ(::stat(text.c_str(), &st), 0);
  EXPECT_EQ(readCanonCacheFile(copy, canonSourceIdentity(st), "t").verdict, CanonCacheVerdict::Usable);

  // The text edited (its first entry's gamma): read again, silently.
  std::vector<testing::StoredEntry> entries = testing::readStoredEntries(text);
  entries[0][6] = -0.5;
  std::string edited;
  for (const testing::StoredEntry& e : entries) edited += testing::entryText(e);
  testing::writeText(text, edited);
  ::testing::internal::CaptureStderr();
  EXPECT_EQ(firstEntry().gamma, -0.5);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

}  // namespace
}  // namespace tarvo
