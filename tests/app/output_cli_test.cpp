// What the command line writes is whole or not at all: pictures replace a
// file only once complete (a full disk keeps the old one byte for byte), the
// program's own data files are never written over, and standard output that
// cannot be written makes the command fail with the system's reason.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <stdlib.h>

#include <QImage>
#include <QString>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/catalogue/canon_test_support.h"
#include "tests/cli_runner.h"
#include "tests/slow_tests.h"
#include "tests/small_disk.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using testing::CliRun;
using testing::runTarvo;

struct Data {
  testing::ScratchDir dir;
  Data() {
    testing::copyTestCanon(dir.path());
    testing::writeText(dir.path() / "location.new", "Tokyo,139.74,35.65,0,9\n");
  }
};

std::vector<std::string> filesIn(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(OutputFiles, AFullDiskKeepsTheOldPictureAndSaysWhy) {
  testing::SmallDisk disk;
  if (!disk.mounted()) GTEST_SKIP() << disk.whyNot();
  Data data;
  const std::string old = "an older picture, kept byte for byte";
  const fs::path png = disk.path() / "map.png";
  testing::writeText(png, old);
  disk.fill();
  const std::vector<std::string> before = filesIn(disk.path());
  for (const std::string& command : {"render --out '" + png.string() + "' 2025 3",
                                    "local 2025 3 --city Tokyo --png '" + png.string() + "'"}) {
    const CliRun r = runTarvo(data.dir.path(), command);
    EXPECT_EQ(r.exitCode, 1) << command;
    const std::string name = command.substr(0, command.find(' '));
    EXPECT_EQ(r.err, "tarvo " + name + ": cannot write " + png.string() + ": No space left on device\n");
    EXPECT_EQ(testing::readText(png), old) << command;
    EXPECT_EQ(filesIn(disk.path()), before) << command;  // no temporary file left behind
  }
}

TEST(OutputFiles, StandardOutputCutByAFullDiskFails) {
  testing::SmallDisk disk("64k");
  if (!disk.mounted()) GTEST_SKIP() << disk.whyNot();
  Data data;
  const fs::path csv = disk.path() / "list.csv";
  disk.fill();
  const CliRun r = runTarvo(data.dir.path(), "list 1 5000 --format csv --max 100000 >'" + csv.string() + "'");
  EXPECT_EQ(r.exitCode, 74);
  EXPECT_EQ(r.err, "tarvo: cannot write standard output: No space left on device\n");
}

TEST(OutputFiles, StandardOutputThatCannotBeWrittenFails) {
  Data data;
  const struct {
    const char* redirect;
    const char* reason;
  } cases[] = {{">/dev/full", "No space left on device"}, {">&-", "Bad file descriptor"}};
  for (const auto& c : cases) {
    for (const char* command : {"show 2025 3", "list 2025 10", "deltat 2025", "--version", "--help"}) {
      const CliRun r = runTarvo(data.dir.path(), std::string(command) + " " + c.redirect);
      EXPECT_EQ(r.exitCode, 74) << command << c.redirect;
      EXPECT_EQ(r.err, std::string("tarvo: cannot write standard output: ") + c.reason + "\n")
          << command << c.redirect;
    }
  }
  // A closed standard output is no file to write pictures into either.
  const fs::path png = data.dir.path() / "x.png";
  EXPECT_EQ(runTarvo(data.dir.path(), "render --out '" + png.string() + "' 2025 3 >&-").exitCode, 0);
  EXPECT_FALSE(QImage(QString::fromStdString(png.string())).isNull());
}

TEST(OutputFiles, TheProgramsOwnDataIsNeverWrittenOver) {
  Data data;
  fs::create_symlink(data.dir.path() / "location.new", data.dir.path() / "cities-link.png");
  const std::string cities = testing::readText(data.dir.path() / "location.new");
  const struct {
    std::string out, what;
  } cases[] = {
      {"location.new", "city list location.new"},
      {(data.dir.path() / "cities-link.png").string(), "city list location.new"},
      {"./mcp00001p03000.prn", "catalogue file mcp00001p03000.prn"},
      {"as_cil.cbd", "coastline file as_cil.cbd"},
  };
  for (const auto& c : cases) {
    for (const std::string& command : {"render 2025 3 --out " + c.out, "local 2025 3 --city Tokyo --png " + c.out}) {
      const CliRun r = runTarvo(data.dir.path(), command);
      EXPECT_EQ(r.exitCode, 1) << command;
      EXPECT_EQ(r.err, "tarvo " + command.substr(0, command.find(' ')) + ": cannot write " + c.out +
                           ": it is the program's " + c.what + "\n");
    }
  }
  EXPECT_EQ(testing::readText(data.dir.path() / "location.new"), cities);
  EXPECT_FALSE(fs::exists(data.dir.path() / "as_cil.cbd"));
}

TEST(OutputFiles, RendersAtOnceToOnePathLeaveOneWholePicture) {
  Data data;
  const fs::path png = data.dir.path() / "same.png";
  std::string many = "sh -c 'for i in 1 2 3 4 5 6; do \"$0\" --data \"$1\" render --out \"$2\" 2025 3 & done; wait' '" +
                     std::string(TARVO_CLI_PATH) + "' '" + data.dir.path().string() + "' '" + png.string() + "'";
  ASSERT_EQ(std::system(many.c_str()), 0);
  const QImage image(QString::fromStdString(png.string()));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.width(), 692);
  for (const std::string& name : filesIn(data.dir.path())) EXPECT_NE(name.rfind(".same.png", 0), 0u) << name;
}

// A picture larger than the memory there is (an address space of 300 MB) is
// refused with its size, never a crash.
TEST(OutputFiles, APictureTooLargeForTheMemoryIsSaid) {
  if (TARVO_SLOW_TESTS_SKIPPED) GTEST_SKIP() << "the sanitizer's shadow memory does not fit in a 300 MB address space";
  Data data;
  const fs::path png = data.dir.path() / "big.png";
  for (const std::string& command : {"render --out '" + png.string() + "' 2025 3 --size 10000x10000",
                                    "local 2025 3 --city Tokyo --png '" + png.string() + "' --size 10000x10000"}) {
    testing::ScratchDir scratch;
    const fs::path err = scratch.path() / "err";
    const std::string run = "sh -c 'ulimit -v 300000; exec \"$0\" --data \"$1\" " + command + " >/dev/null 2>\"$2\"' '" +
                            std::string(TARVO_CLI_PATH) + "' '" + data.dir.path().string() + "' '" + err.string() + "'";
    const int status = std::system(run.c_str());
    ASSERT_TRUE(WIFEXITED(status)) << command;
    EXPECT_EQ(WEXITSTATUS(status), 70) << command;
    EXPECT_EQ(testing::readText(err), "tarvo " + command.substr(0, command.find(' ')) +
                                          ": not enough memory for a 10000\u00d710000 picture\n");
  }
  EXPECT_FALSE(fs::exists(png));
}

}  // namespace
}  // namespace tarvo
