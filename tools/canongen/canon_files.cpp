#include "tools/canongen/canon_files.h"

#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace tarvo::canongen {

std::optional<std::size_t> canonFileFor(double year) {
  for (std::size_t i = 0; i < kCanonFiles.size(); ++i)
    if (year >= kCanonFiles[i].firstYear && year <= kCanonFiles[i].lastYear) return i;
  return std::nullopt;
}

std::string formatEntry(const EclipseRecord& entry) {
  const auto values = entry.values();
  std::string text;
  std::size_t index = 0;
  char buffer[64];
  for (std::size_t count : EclipseRecord::kLineLengths) {
    for (std::size_t i = 0; i < count; ++i, ++index) {
      std::snprintf(buffer, sizeof buffer, "%.12g", values[index]);
      if (i > 0) text += ' ';
      text += buffer;
    }
    text += '\n';
  }
  return text;
}

std::string writeFileAtomically(const std::filesystem::path& dir, const std::string& name,
                                const std::string& text) {
  const std::filesystem::path target = dir / name;
  const std::filesystem::path temporary = dir / (name + ".tmp." + std::to_string(::getpid()));
  std::FILE* f = std::fopen(temporary.c_str(), "wb");
  if (!f) return "cannot create " + temporary.string() + ": " + std::strerror(errno);
  const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  const bool flushed = std::fflush(f) == 0 && ::fsync(::fileno(f)) == 0;
  const bool closed = std::fclose(f) == 0;
  if (!written || !flushed || !closed) {
    std::remove(temporary.c_str());
    return "cannot write " + temporary.string();
  }
  std::error_code ec;
  std::filesystem::rename(temporary, target, ec);
  if (ec) {
    std::remove(temporary.c_str());
    return "cannot rename to " + target.string() + ": " + ec.message();
  }
  return {};
}

CanonReadBack readCanonFile(const std::filesystem::path& path) {
  CanonReadBack out;
  std::ifstream in(path);
  if (!in) {
    out.error = "cannot open " + path.string();
    return out;
  }
  std::array<double, EclipseRecord::kValueCount> values{};
  std::size_t filled = 0;
  std::string word;
  while (in >> word) {
    char* end = nullptr;
    const double v = std::strtod(word.c_str(), &end);
    if (end == word.c_str() || *end != '\0' || !std::isfinite(v)) {
      out.error = "not a number: " + word;
      return out;
    }
    values[filled++] = v;
    if (filled == values.size()) {
      out.entries.push_back(EclipseRecord::fromValues(values));
      filled = 0;
    }
  }
  if (filled != 0) out.error = "last entry cut short after " + std::to_string(filled) + " numbers";
  return out;
}

}  // namespace tarvo::canongen
