#include "catalogue/canon_walk.h"

#include <algorithm>

namespace tarvo {

WalkStep readOnward(CanonReader& reader, double lastYearRead, const DeltaTChoice& deltaT, EclipseEntry& out) {
  if (succeeded(reader.readNext(deltaT, out))) return {};
  // A damaged file ends the walk: the entries after its damage are unknown,
  // and the next file's would be taken for them.
  if (reader.openFileDamaged()) return {WalkStatus::EndOfCatalogue, kCanonEndYear};
  int nextYear = nextCanonFileFirstYear(lastYearRead);
  // A file whose last entry is dated before its own years must not send the
  // walk back into it.
  if (const auto open = reader.openFileIndex()) {
    nextYear = std::max(nextYear, kCanonFiles[*open].lastYear + 1);
  }
  // Past the last file the reader stays at its end, as the walk left it.
  if (nextYear >= kCanonEndYear) return {WalkStatus::EndOfCatalogue, nextYear};
  reader.close();
  EclipseEntry first;
  if (!succeeded(reader.openAt(nextYear, 1, deltaT, first))) return {WalkStatus::NextFileMissing, nextYear};
  out = first;
  return {WalkStatus::Read, nextYear};
}

}  // namespace tarvo
