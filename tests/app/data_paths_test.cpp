// Where the programs find their data: the lookup order over temporary
// directories standing for the working directory, $XDG_DATA_HOME, $HOME, the
// installed prefix and $XDG_CONFIG_HOME; and the tarvo binary started far
// from its data.
#include "app/data_paths.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "catalogue/canon_reader.h"
#include "tests/catalogue/canon_test_support.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using testing::ScratchDir;

// Folders under one scratch directory, each with or without the catalogue.
struct Places {
  ScratchDir root;
  fs::path dir(const std::string& name) const { return root.path() / name; }
  void make(const std::string& name, bool withCatalogue) const {
    fs::create_directories(dir(name));
    if (withCatalogue) std::ofstream(dir(name) / kCanonFiles[3].name) << "x";
  }
};

struct LookupCase {
  const char* what;
  std::vector<std::string> withCatalogue;  // folders holding a catalogue file
  std::vector<std::string> empty;          // folders that exist without one
  bool dataOption;                         // --data names the folder "given"
  const char* xdgDataHome;                 // relative to the scratch root; "" unset, "rel:" relative
  bool home;                               // $HOME is the folder "home"
  const char* expected;                    // the folder found; nullptr: none
  int placesLooked;
};

const LookupCase kLookupCases[] = {
    {"--data is taken whatever it holds", {"cwd", "xdg/tarvowin"}, {"given"}, true, "xdg", true, "given", 1},
    {"working directory with the catalogue first", {"cwd", "xdg/tarvowin", "prefix/share/tarvowin"}, {}, false,
     "xdg", true, "cwd", 1},
    {"then $XDG_DATA_HOME/tarvowin", {"xdg/tarvowin", "prefix/share/tarvowin"}, {"cwd"}, false, "xdg", true,
     "xdg/tarvowin", 2},
    {"$XDG_DATA_HOME unset: ~/.local/share/tarvowin", {"home/.local/share/tarvowin"}, {"cwd"}, false, "", true,
     "home/.local/share/tarvowin", 2},
    {"a relative $XDG_DATA_HOME is ignored", {"home/.local/share/tarvowin"}, {"cwd", "rel/tarvowin"}, false,
     "rel:rel", true, "home/.local/share/tarvowin", 2},
    {"then the installed share/tarvowin beside bin/", {"prefix/share/tarvowin"}, {"cwd", "xdg/tarvowin"}, false,
     "xdg", true, "prefix/share/tarvowin", 3},
    {"no $HOME and no $XDG_DATA_HOME: cwd and installed", {"prefix/share/tarvowin"}, {"cwd"}, false, "", false,
     "prefix/share/tarvowin", 2},
    {"found nowhere", {}, {"cwd", "xdg/tarvowin", "prefix/share/tarvowin"}, false, "xdg", true, nullptr, 3},
};

TEST(DataLookupTest, OrderOfPlaces) {
  for (const LookupCase& c : kLookupCases) {
    SCOPED_TRACE(c.what);
    Places p;
    for (const std::string& d : c.withCatalogue) p.make(d, true);
    for (const std::string& d : c.empty) p.make(d, false);
    DataLookupInputs in;
    if (c.dataOption) in.dataOption = p.dir("given");
    in.workingDirectory = p.dir("cwd");
    const std::string xdg = c.xdgDataHome;
    if (xdg.rfind("rel:", 0) == 0)
      in.xdgDataHome = xdg.substr(4);
    else if (!xdg.empty())
      in.xdgDataHome = p.dir(xdg).string();
    if (c.home) in.home = p.dir("home").string();
    in.executable = p.dir("prefix/bin/tarvo");

    const DataLookup found = findDataDirectory(in);
    if (c.expected == nullptr) {
      EXPECT_FALSE(found.directory);
      const std::string message = describeNotFound(found);
      for (const fs::path& place : found.placesLooked) EXPECT_NE(message.find(place.string()), std::string::npos);
    } else {
      ASSERT_TRUE(found.directory);
      EXPECT_EQ(fs::canonical(*found.directory), fs::canonical(p.dir(c.expected)));
    }
    EXPECT_EQ(static_cast<int>(found.placesLooked.size()), c.placesLooked);
  }
}

TEST(DataLookupTest, AFolderNamedLikeACatalogueFileIsNoCatalogue) {
  Places p;
  fs::create_directories(p.dir("cwd") / kCanonFiles[0].name);
  EXPECT_FALSE(holdsCatalogue(p.dir("cwd")));
}

TEST(DataLookupTest, CityListTheUsersOwnElseTheDataDirectorys) {
  struct Case {
    const char* what;
    const char* ownFile;  // where the user's location.new is made; "" none
    bool xdgConfigSet;
    const char* expected;  // relative to the scratch root
  } const cases[] = {
      {"$XDG_CONFIG_HOME/tarvowin/location.new", "config/tarvowin/location.new", true,
       "config/tarvowin/location.new"},
      {"~/.config/tarvowin/location.new without $XDG_CONFIG_HOME", "home/.config/tarvowin/location.new", false,
       "home/.config/tarvowin/location.new"},
      {"$XDG_CONFIG_HOME wins over ~/.config", "home/.config/tarvowin/location.new", true,
       "data/location.new"},
      {"none of the user's: the data directory's", "", true, "data/location.new"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Places p;
    if (*c.ownFile) {
      fs::create_directories(p.dir(c.ownFile).parent_path());
      std::ofstream(p.dir(c.ownFile)) << "Tokyo,139.7,35.7,0,9\n";
    }
    DataLookupInputs in;
    in.home = p.dir("home").string();
    if (c.xdgConfigSet) in.xdgConfigHome = p.dir("config").string();
    EXPECT_EQ(findSiteFile(in, p.dir("data")), p.dir(c.expected));
  }
}

// The built tarvo in an empty working directory: it finds the data of
// $XDG_DATA_HOME, writes a relative --out where it was started, and names
// every place looked in when there is no data anywhere.
struct TarvoRun {
  int status = -1;
  std::string err;
};

TarvoRun tarvoIn(const fs::path& cwd, const std::string& env, const std::string& args) {
  const fs::path errFile = cwd / "stderr.txt";
  const std::string cmd = "cd '" + cwd.string() + "' && env -u XDG_DATA_HOME -u XDG_CONFIG_HOME " + env + " '" +
                          TARVO_CLI_PATH + "' " + args + " >/dev/null 2>'" + errFile.string() + "'";
  const int status = std::system(cmd.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, testing::readText(errFile)};
}

TEST(DataLookupTest, TarvoStartedFarFromItsData) {
  const fs::path rundata = TARVO_RUNDATA_DIR;
  if (!fs::exists(rundata / kCanonFiles[3].name)) GTEST_SKIP() << "no generated catalogue in " << rundata;
  Places p;
  p.make("start", false);
  p.make("xdg/tarvowin", false);
  p.make("home", false);
  fs::create_symlink(rundata / kCanonFiles[3].name, p.dir("xdg/tarvowin") / kCanonFiles[3].name);
  fs::copy_file(rundata / "location.new", p.dir("xdg/tarvowin/location.new"));
  const std::string home = "HOME='" + p.dir("home").string() + "' ";

  const TarvoRun found = tarvoIn(p.dir("start"), home + "XDG_DATA_HOME='" + p.dir("xdg").string() + "'",
                            "render --out map.png 2025 3");
  EXPECT_EQ(found.status, 0) << found.err;
  EXPECT_TRUE(fs::exists(p.dir("start/map.png")));

  const TarvoRun missing = tarvoIn(p.dir("start"), home, "show 2025 3");
  EXPECT_EQ(missing.status, 2);
  for (const fs::path& place : {p.dir("start"), p.dir("home/.local/share/tarvowin")})
    EXPECT_NE(missing.err.find(place.string()), std::string::npos) << missing.err;
}

}  // namespace
}  // namespace tarvo
