#include <dlfcn.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <mutex>
#include <string>
#include <vector>

#include "surface/text_raster.h"

namespace tarvo {

namespace {

// The directory of the running program, from /proc; empty when unknown.
std::string programDirectory() {
  std::array<char, 4096> buffer{};
  const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (n <= 0) return {};
  std::string path(buffer.data(), static_cast<std::size_t>(n));
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

struct Loaded {
  const TextRaster* raster = nullptr;
  std::string whyNot;
};

// The installed module beside the program first (bin/../lib/…), then the
// one in the build tree the program was built in.
Loaded load() {
  std::vector<std::string> candidates;
  if (const std::string dir = programDirectory(); !dir.empty())
    candidates.push_back(dir + "/" TARVO_TEXT_MODULE_FROM_PROGRAM);
  candidates.emplace_back(TARVO_TEXT_MODULE_IN_BUILD);
  Loaded loaded;
  for (const std::string& candidate : candidates) {
    char* resolved = ::realpath(candidate.c_str(), nullptr);
    if (resolved == nullptr) continue;
    const std::string path(resolved);
    std::free(resolved);
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
      const char* reason = ::dlerror();
      loaded.whyNot = reason != nullptr ? reason : "cannot load " + path;
      continue;
    }
    using Entry = const TextRaster* (*)();
    auto entry = reinterpret_cast<Entry>(::dlsym(handle, "tarvo_text_raster"));
    if (entry == nullptr || entry() == nullptr) {
      loaded.whyNot = path + " is not the text module";
      continue;
    }
    loaded.raster = entry();  // the module stays loaded to the end
    return loaded;
  }
  if (loaded.whyNot.empty()) loaded.whyNot = "the text module " TARVO_TEXT_MODULE_NAME " is not installed";
  return loaded;
}

}  // namespace

const TextRaster* textRaster(std::string* whyNot) {
  static const Loaded loaded = load();
  if (loaded.raster == nullptr && whyNot != nullptr) *whyNot = loaded.whyNot;
  return loaded.raster;
}

}  // namespace tarvo
