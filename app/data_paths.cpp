#include "app/data_paths.h"

#include <sys/stat.h>

#include <cstdlib>
#include <system_error>
#include <utility>

#include "catalogue/canon_reader.h"
#include "circumstances/sites.h"
#include "map/coastline_format.h"

namespace tarvo {

namespace fs = std::filesystem;

namespace {

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}

// $XDG_..._HOME, or its default under $HOME; empty when neither is set. A
// relative value is ignored, as the XDG base directory rules say.
fs::path xdgHome(const std::string& variable, const std::string& home, const char* homeDefault) {
  if (!variable.empty() && fs::path(variable).is_absolute()) return variable;
  if (home.empty()) return {};
  return fs::path(home) / homeDefault;
}

}  // namespace

DataLookupInputs dataLookupInputsOfThisProcess(std::optional<fs::path> dataOption) {
  DataLookupInputs in;
  in.dataOption = std::move(dataOption);
  std::error_code ec;
  in.workingDirectory = fs::current_path(ec);
  in.xdgDataHome = environment("XDG_DATA_HOME");
  in.xdgConfigHome = environment("XDG_CONFIG_HOME");
  in.xdgCacheHome = environment("XDG_CACHE_HOME");
  in.home = environment("HOME");
  in.executable = fs::read_symlink("/proc/self/exe", ec);
  if (ec) in.executable.clear();
  return in;
}

bool holdsCatalogue(const fs::path& dir) {
  for (const CanonFile& f : kCanonFiles) {
    std::error_code ec;
    if (fs::is_regular_file(dir / f.name, ec)) return true;
  }
  return false;
}

DataLookup findDataDirectory(const DataLookupInputs& in) {
  DataLookup out;
  if (in.dataOption) {
    out.placesLooked.push_back(*in.dataOption);
    out.directory = in.dataOption;
    return out;
  }
  std::vector<fs::path> candidates{in.workingDirectory};
  if (const fs::path user = xdgHome(in.xdgDataHome, in.home, ".local/share"); !user.empty())
    candidates.push_back(user / kDataFolderName);
  // TARVO_INSTALLED_DATA_FROM_BIN: share/tarvowin relative to the installed bin/.
  if (!in.executable.empty())
    candidates.push_back((in.executable.parent_path() / TARVO_INSTALLED_DATA_FROM_BIN).lexically_normal());
  for (const fs::path& place : candidates) {
    out.placesLooked.push_back(place);
    if (holdsCatalogue(place)) {
      out.directory = place;
      break;
    }
  }
  return out;
}

fs::path findSiteFile(const DataLookupInputs& in, const fs::path& dataDirectory) {
  if (const fs::path config = xdgHome(in.xdgConfigHome, in.home, ".config"); !config.empty()) {
    const fs::path own = config / kDataFolderName / kSiteFileName;
    std::error_code ec;
    if (fs::exists(own, ec)) return own;
  }
  return dataDirectory / kSiteFileName;
}

std::vector<fs::path> siteFilePlaces(const DataLookupInputs& in, const fs::path& dataDirectory) {
  std::vector<fs::path> places;
  if (const fs::path config = xdgHome(in.xdgConfigHome, in.home, ".config"); !config.empty())
    places.push_back(config / kDataFolderName);
  places.push_back(dataDirectory);
  return places;
}

std::optional<fs::path> findCacheDirectory(const DataLookupInputs& in) {
  const fs::path cache = xdgHome(in.xdgCacheHome, in.home, ".cache");
  if (cache.empty()) return std::nullopt;
  return cache / kDataFolderName;
}

std::string describeNotFound(const DataLookup& lookup) {
  std::string line = "no eclipse catalogue found; looked in";
  for (std::size_t i = 0; i < lookup.placesLooked.size(); ++i)
    line += (i == 0 ? " " : ", ") + lookup.placesLooked[i].string();
  return line + " (give the data directory with --data DIR)";
}

namespace {

bool sameFile(const fs::path& a, const fs::path& b) {
  struct stat sa {}, sb {};
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

}  // namespace

std::string programDataFileAt(const fs::path& path, const fs::path& dataDirectory, const fs::path& siteFile) {
  struct Named {
    std::string what;
    fs::path file;
  };
  std::vector<Named> files;
  for (const CanonFile& c : kCanonFiles) files.push_back({std::string("the catalogue file ") + c.name, dataDirectory / c.name});
  for (std::string_view name : kCoastlineFileNames)
    files.push_back({"the coastline file " + std::string(name), dataDirectory / name});
  files.push_back({std::string("the city list ") + kSiteFileName, dataDirectory / kSiteFileName});
  if (!siteFile.empty()) files.push_back({std::string("the city list ") + kSiteFileName, siteFile});
  std::error_code ec;
  const fs::path where = fs::weakly_canonical(fs::absolute(path, ec), ec);
  for (const Named& f : files) {
    if (sameFile(path, f.file)) return f.what;
    std::error_code ec2;
    const fs::path known = fs::weakly_canonical(fs::absolute(f.file, ec2), ec2);
    if (!ec && !ec2 && where == known) return f.what;
  }
  return {};
}

}  // namespace tarvo
