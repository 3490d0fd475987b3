// Any bytes as a canon file: the parser and the reader never crash, never
// read outside the input, keep only entries inside the accepted ranges, and
// every walk through the file ends.
#include <stdlib.h>
#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>

#include "catalogue/canon_reader.h"
#include "session/landing.h"

namespace {

void check(bool ok) {
  if (!ok) __builtin_trap();
}

const std::filesystem::path& scratchDir() {
  static const std::filesystem::path dir = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvo-fuzz-canon-XXXXXX").string();
    check(mkdtemp(pattern.data()) != nullptr);
    return std::filesystem::path(pattern);
  }();
  return dir;
}

void checkParsed(const tarvo::ParsedCanonFile& p, std::size_t size) {
  for (const tarvo::EclipseRecord& r : p.entries) {
    for (double v : r.values()) check(std::isfinite(v));
    check(r.year >= -13001 && r.year <= 17000);
    check(r.month >= 1 && r.month <= 12);
    check(r.eclipseDay >= 1 && r.eclipseDay <= 31);
  }
  if (p.defect) {
    check(p.defect->entryNumber == p.entries.size() + 1);
    check(p.defect->byteOffset <= size);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const tarvo::ParsedCanonFile anyName = tarvo::parseCanonText(text, "fuzz.prn");
  checkParsed(anyName, size);

  // The same bytes as the file for the year of its first entry, parsed again
  // under that file's name (which adds the checks of its span).
  std::size_t fileIndex = 3;
  if (!anyName.entries.empty()) {
    fileIndex = tarvo::canonFileIndexForYear(anyName.entries.front().year).value_or(3);
  }
  const tarvo::ParsedCanonFile parsed = tarvo::parseCanonText(text, tarvo::kCanonFiles[fileIndex].name);
  checkParsed(parsed, size);
  const auto path = scratchDir() / tarvo::kCanonFiles[fileIndex].name;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  check(f != nullptr);
  if (size) check(std::fwrite(data, 1, size, f) == size);
  std::fclose(f);

  tarvo::CanonReader reader(scratchDir());
  tarvo::EclipseEntry r;
  const double year = tarvo::kCanonFiles[fileIndex].firstYear;
  const double lastYear = tarvo::kCanonFiles[fileIndex].lastYear;
  for (const auto& [y, month] : {std::pair{year, 1.0}, std::pair{year, 6.5}, std::pair{lastYear, 13.0}}) {
    const tarvo::ReadStatus s = reader.openAt(y, month, tarvo::DeltaTChoice{}, r);
    check(parsed.entries.empty() ? s != tarvo::ReadStatus::Read : s == tarvo::ReadStatus::Read);
    std::size_t reads = 0;
    while (reader.readNext(tarvo::DeltaTChoice{}, r) == tarvo::ReadStatus::Read) check(++reads <= parsed.entries.size());
  }
  if (tarvo::succeeded(reader.openFirst(year, tarvo::DeltaTChoice{}, r))) {
    check(std::isfinite(r.greatestJd));
    std::size_t reads = 1;
    while (reader.readNext(tarvo::DeltaTChoice{}, r) == tarvo::ReadStatus::Read) ++reads;
    check(reads == parsed.entries.size());
  }

  // Next eclipse through the whole file; the other files are missing.
  tarvo::SessionState state;
  state.year = year;
  state.month = 1;
  state.pendingAction = tarvo::kLandAtCursor;
  std::size_t steps = 0;
  while (tarvo::positionForPaint(state, reader) == tarvo::LandingOutcome::Shown) {
    check(++steps <= parsed.entries.size() + 1);
    state.pendingAction = tarvo::kSearchForward;
  }
  std::filesystem::remove(path);
  return 0;
}
