// Where the two programs find their data (the eclipse catalogue, the coastline
// files, the city list) wherever they are started: from the source tree, from
// an installed prefix, or from the application menu in the user's home.
// No Qt: the rules are plain functions of the inputs gathered from the process.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tarvo {

// The folder name under share/, $XDG_DATA_HOME and $XDG_CONFIG_HOME.
inline constexpr const char* kDataFolderName = "tarvowin";

// What the lookup depends on. Empty strings stand for unset variables.
struct DataLookupInputs {
  std::optional<std::filesystem::path> dataOption;  // --data DIR
  std::filesystem::path workingDirectory;
  std::string xdgDataHome;    // $XDG_DATA_HOME
  std::string xdgConfigHome;  // $XDG_CONFIG_HOME
  std::string xdgCacheHome;   // $XDG_CACHE_HOME
  std::string home;           // $HOME
  std::filesystem::path executable;  // this program's file; empty when unknown
};

// The inputs of this process: the environment, the working directory and
// /proc/self/exe.
DataLookupInputs dataLookupInputsOfThisProcess(std::optional<std::filesystem::path> dataOption);

// Whether dir holds at least one of the seven catalogue files.
bool holdsCatalogue(const std::filesystem::path& dir);

struct DataLookup {
  std::optional<std::filesystem::path> directory;  // nullopt: found nowhere
  std::vector<std::filesystem::path> placesLooked;  // in the order looked in
};

// The data directory, in this order: --data DIR (taken as given, whatever it
// holds); the working directory when it holds the catalogue;
// $XDG_DATA_HOME/tarvowin (default ~/.local/share/tarvowin); the installed
// share/tarvowin beside the executable's bin/.
DataLookup findDataDirectory(const DataLookupInputs& in);

// The city list: the user's own $XDG_CONFIG_HOME/tarvowin/location.new
// (default ~/.config/tarvowin) when it exists, else the data directory's.
std::filesystem::path findSiteFile(const DataLookupInputs& in, const std::filesystem::path& dataDirectory);

// The places the city list is looked for, in order: the user's own
// configuration folder, then the data directory.
std::vector<std::filesystem::path> siteFilePlaces(const DataLookupInputs& in,
                                                  const std::filesystem::path& dataDirectory);

// Where the catalogue's binary copies are kept: $XDG_CACHE_HOME/tarvowin
// (default ~/.cache/tarvowin); nullopt when neither variable is set.
std::optional<std::filesystem::path> findCacheDirectory(const DataLookupInputs& in);

// One line naming every place a failed lookup looked in.
std::string describeNotFound(const DataLookup& lookup);

}  // namespace tarvo

namespace tarvo {

// What writing to path would overwrite of the program's own data: "the
// catalogue file mcp00001p03000.prn", "the coastline file as_cil.cbd" or "the
// city list location.new" (in dataDirectory, or siteFile, the city list in
// use); empty when it is none of them. A file is recognised by its identity
// (a link or another spelling of the same file counts), a file not yet there
// by its name in the data directory.
std::string programDataFileAt(const std::filesystem::path& path, const std::filesystem::path& dataDirectory,
                              const std::filesystem::path& siteFile);

}  // namespace tarvo
