// Standard output, checked: every write goes through one function that keeps
// the system's reason for the first failure, so that a command whose output
// was cut (a full disk, a closed descriptor) can say why and exit non-zero
// instead of reporting success.
#pragma once

#include <string>

namespace tarvo::cli {

// The exit code of a command whose output could not be written (EX_IOERR).
inline constexpr int kExitOutputFailed = 74;

// Routes stdout through the checked writer. Call once, before anything is
// written. A standard output that is closed at start is kept occupied (so no
// file the program opens takes its descriptor) and every write to it fails.
void checkStandardOutput();

// Flushes stdout; empty when everything written reached it, else the reason
// of the first failure ("No space left on device").
std::string finishStandardOutput();

}  // namespace tarvo::cli
