// Shared set-ups of the session tests: a fixed clock, a session at a cursor,
// and a canon file with one entry whose elements do not move.
#pragma once

#include <cstddef>
#include <filesystem>

#include "catalogue/canon_reader.h"
#include "session/session_state.h"
#include "session/landing.h"
#include "tests/catalogue/canon_test_support.h"

namespace tarvo::testing {

inline ClockSource fixedClock(double year, double month) {
  return [=] { return ClockMonth{year, month}; };
}

// A session at a cursor, as a repaint with pendingAction 0 sees it.
inline SessionState atCursor(double year, double month) {
  SessionState s;
  s.year = year;
  s.month = month;
  s.pendingAction = kLandAtCursor;
  return s;
}

// The test canon's 2001..3000 file cut to three entries (2025 March, a copy
// of the next one whose x and y do not move, so greatest eclipse cannot
// converge, and the one after), with the Moon 60° up at the north pole.
inline void writeCanonWithStillEntry(const std::filesystem::path& dir) {
  auto entries = readStoredEntries(testCanonDir() / kCanonFiles[3].name);
  for (auto& e : entries) e[29] = 60;  // dec0
  auto still = entries[2];
  for (std::size_t i : {12u, 13u, 14u, 16u, 17u, 18u}) still[i] = 0;  // x1..x3, y1..y3
  writeText(dir / kCanonFiles[3].name,
            entryText(entries[0]) + entryText(entries[1]) + entryText(still) + entryText(entries[3]));
}

}  // namespace tarvo::testing
