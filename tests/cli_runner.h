// Runs the built tarvo binary (TARVO_CLI_PATH) on a data directory and keeps
// its exit code, standard output and standard error.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "tests/catalogue/canon_test_support.h"

namespace tarvo::testing {

struct CliRun {
  int exitCode = -1;
  std::string out, err;
};

// args are passed through the shell as written (quote names with blanks).
inline CliRun runTarvo(const std::filesystem::path& dataDir, const std::string& args) {
  ScratchDir scratch;
  const std::filesystem::path errFile = scratch.path() / "stderr";
  const std::string cmd = std::string("'") + TARVO_CLI_PATH + "' --data '" + dataDir.string() + "' " +
                          args + " 2>'" + errFile.string() + "'";
  CliRun r;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return r;
  char buf[4096];
  std::size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
  const int status = pclose(p);
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.err = readText(errFile);
  return r;
}

// The line under the no-catalogue texts for a file missing from dir.
inline std::string missingFileLine(const char* fileName, const std::filesystem::path& dir) {
  return std::string(fileName) + " not found in " + std::filesystem::canonical(dir).string() + "\n";
}

}  // namespace tarvo::testing
