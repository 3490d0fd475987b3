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
  if (!succeeded(reader.openFirst(nextYear, deltaT, first))) return {WalkStatus::NextFileMissing, nextYear};
  out = first;
  return {WalkStatus::Read, nextYear};
}

LandStatus landOnMonth(CanonReader& reader, double year, double month, const DeltaTChoice& deltaT, EclipseEntry& out) {
  reader.close();
  EclipseEntry landed;
  if (!succeeded(reader.openAt(year, month, deltaT, landed))) return LandStatus::NoFile;
  if (!reader.landedBeforeDateAsked()) {
    out = landed;
    return LandStatus::Read;
  }
  // The file ends before the month: its last entry stays the reader's place
  // when the catalogue ends there.
  const auto open = reader.openFileIndex();
  if (!open || *open + 1 >= kCanonFiles.size() || reader.openFileDamaged()) {
    out = landed;
    return LandStatus::EndOfCatalogue;
  }
  // The following file's entries are all later than this file's, so its
  // first entry is the one at or after the month.
  EclipseEntry first;
  if (!succeeded(reader.openFirst(kCanonFiles[*open + 1].firstYear, deltaT, first))) return LandStatus::NextFileMissing;
  out = first;
  return LandStatus::Read;
}

double landingMonthOf(CanonReader& reader, const EclipseEntry& e, const DeltaTChoice& deltaT) {
  EclipseEntry first;
  if (landOnMonth(reader, e.year, e.month, deltaT, first) == LandStatus::Read &&
      first.greatestJdTt != e.greatestJdTt) {
    return e.month + 0.5;
  }
  return e.month;
}

}  // namespace tarvo
