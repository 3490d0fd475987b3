// Helpers for the catalogue tests: scratch directories, the hand-made canon
// under tests/catalogue/data/canon, and an independent reading of its entries
// with the stream extractor (not the reader's own parser).
#pragma once

#include <stdlib.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "catalogue/canon_reader.h"

namespace tarvo::testing {

inline std::filesystem::path testCanonDir() {
  return std::filesystem::path(TARVO_TEST_DATA_DIR) / "catalogue" / "data" / "canon";
}

// A fresh directory, removed with its contents at scope exit.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvo-canon-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~ScratchDir() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline void writeText(const std::filesystem::path& file, const std::string& text) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << text;
}

inline std::string readText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Copies the hand-made canon files whose indices into kCanonFiles are given.
inline void copyTestCanon(const std::filesystem::path& dir, std::vector<std::size_t> files = {0, 1, 2, 3, 4, 5, 6}) {
  for (std::size_t i : files) {
    std::filesystem::copy_file(testCanonDir() / kCanonFiles[i].name, dir / kCanonFiles[i].name,
                               std::filesystem::copy_options::overwrite_existing);
  }
}

using StoredEntry = std::array<double, 31>;

// The entries of a canon file, read with the stream extractor.
inline std::vector<StoredEntry> readStoredEntries(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::vector<StoredEntry> out;
  StoredEntry e{};
  for (;;) {
    for (double& v : e) {
      if (!(in >> v)) return out;
    }
    out.push_back(e);
  }
}

// One entry as canon text, 11/10/10 numbers per line.
inline std::string entryText(const StoredEntry& e) {
  std::ostringstream s;
  s.precision(12);
  for (std::size_t i = 0; i < e.size(); ++i) {
    s << e[i] << ((i == 10 || i == 20 || i == 30) ? "\n" : " ");
  }
  return s.str();
}

// The first entry of the test canon's file kCanonFiles[fileIndex], in that
// file's first year: a file made for a test begins with it, as a whole
// catalogue file does (one that begins later has lost its beginning).
inline std::string firstYearEntryText(std::size_t fileIndex) {
  return entryText(readStoredEntries(testCanonDir() / kCanonFiles[fileIndex].name).front());
}

}  // namespace tarvo::testing
