// A sequential walk through the whole canon: the entry after the one last
// read, continuing at a file's end with the first entry of the next file.
#pragma once

#include "catalogue/canon_reader.h"

namespace tarvo {

enum class WalkStatus {
  Read,             // the next entry was returned
  EndOfCatalogue,   // the last file is exhausted
  NextFileMissing,  // the next file cannot be opened (or holds no entry)
};

struct WalkStep {
  WalkStatus status = WalkStatus::Read;
  // First year of the file the walk tried to open at a file's end; 0 while
  // the walk stayed in one file.
  int crossedToYear = 0;
};

// Reads the entry after the reader's position into out. At the end of the
// open file it closes it and opens the file that follows the one holding
// lastYearRead (the UT year of the last entry read), at that file's first
// entry (which may lie in the year before the file's first year in UT). Never goes back to the file just read, so a walk always
// ends. Past the last file the reader is left at its end. out is left
// unchanged unless the status is Read. Entries are converted to UT with deltaT.
WalkStep readOnward(CanonReader& reader, double lastYearRead, const DeltaTChoice& deltaT, EclipseEntry& out);

// How landOnMonth ended.
enum class LandStatus {
  Read,            // out is the first entry at or after the month
  NoFile,          // the file for the year cannot be opened or holds no entry
  EndOfCatalogue,  // no entry at or after the month: out is the last entry
                   // before it (in the last file, or in a damaged one)
  NextFileMissing,  // the file for the year had none; the next cannot be opened
};

// Lands on the first entry of the catalogue whose UT date under deltaT is at
// or after (year, month), by openAt's rule: in the file for year, or, when
// that file ends before the month, at the first entry of the file after it
// (a damaged file ends the catalogue there, as in readOnward). The reader
// then stands on the entry returned, so that readOnward goes on after it.
LandStatus landOnMonth(CanonReader& reader, double year, double month, const DeltaTChoice& deltaT, EclipseEntry& out);

// The cursor month that lands on entry e (read under deltaT): its UT month,
// or that month + 0.5 when an earlier eclipse of the same month comes first
// (of two eclipses in one month the second lies after day 15). Moves the
// reader.
double landingMonthOf(CanonReader& reader, const EclipseEntry& e, const DeltaTChoice& deltaT);

}  // namespace tarvo
