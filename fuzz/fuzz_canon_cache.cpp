// Any bytes as a catalogue cache file: the decoder never crashes, never reads
// outside the input, and what it accepts is what the text parser could have
// given. Inputs are tried as they are and resealed (the checksum made to fit
// and the source made the expected one), so the checks behind the checksum
// are reached too; and as canon text, whose copy must decode to its parse.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "catalogue/canon_cache.h"

namespace {

void check(bool ok) {
  if (!ok) __builtin_trap();
}

const tarvo::CanonSourceIdentity kSource{4096, 11, 2, 1700000000, 7, 1700000000, 9};

void checkAccepted(const tarvo::CanonCacheRead& r) {
  if (r.verdict != tarvo::CanonCacheVerdict::Usable) {
    check(r.parsed == nullptr);
    return;
  }
  check(r.parsed != nullptr);
  for (const tarvo::EclipseRecord& e : r.parsed->entries) {
    for (double v : e.values()) check(std::isfinite(v));
    check(!tarvo::checkCanonEntryRanges(e));
  }
  if (r.parsed->defect) check(r.parsed->defect->entryNumber == r.parsed->entries.size() + 1);
}

std::span<const unsigned char> bytesOf(const std::string& s) {
  return {reinterpret_cast<const unsigned char*>(s.data()), s.size()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  checkAccepted(tarvo::decodeCanonCache({data, size}, kSource, "fuzz.prn"));

  if (size >= sizeof(tarvo::CanonCacheHeader)) {
    std::string sealed(reinterpret_cast<const char*>(data), size);
    std::memcpy(sealed.data() + offsetof(tarvo::CanonCacheHeader, source), &kSource, sizeof kSource);
    const std::uint64_t sum = tarvo::canonCacheChecksum(bytesOf(sealed));
    std::memcpy(sealed.data() + offsetof(tarvo::CanonCacheHeader, checksum), &sum, sizeof sum);
    checkAccepted(tarvo::decodeCanonCache(bytesOf(sealed), kSource, "fuzz.prn"));
  }

  const tarvo::ParsedCanonFile parsed =
      tarvo::parseCanonText(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.prn");
  tarvo::CanonSourceIdentity text = kSource;
  text.sizeBytes = size;
  const std::string copy = tarvo::encodeCanonCache(parsed, text);
  const tarvo::CanonCacheRead back = tarvo::decodeCanonCache(bytesOf(copy), text, "fuzz.prn");
  check(back.verdict == tarvo::CanonCacheVerdict::Usable);
  check(back.parsed->entries.size() == parsed.entries.size());
  check(parsed.entries.empty() || std::memcmp(back.parsed->entries.data(), parsed.entries.data(),
                                              parsed.entries.size() * sizeof(tarvo::EclipseRecord)) == 0);
  check(back.parsed->dateOrdered == parsed.dateOrdered);
  check(back.parsed->defect.has_value() == parsed.defect.has_value());
  return 0;
}
