// Runs the built tarvo binary's `render` on the hand-made canon: the picture
// of each outcome with its exit status, the client size, the display, usage
// errors, and nothing on standard error but the command's own texts.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QImage>
#include <QString>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "tests/catalogue/canon_test_support.h"
#include "tests/cli_runner.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using testing::CliRun;
using testing::runTarvo;

const char* const kCities = "Tokyo,139.74,35.65,0,9\nLa Paz,-68.15,-16.50,3640,-4\n";
const QRgb kBrown = qRgb(170, 68, 0), kWhite = qRgb(255, 255, 255), kBlack = qRgb(0, 0, 0);

struct Data {
  testing::ScratchDir dir;
  explicit Data(bool canon = true) {
    if (canon) testing::copyTestCanon(dir.path());
    testing::writeText(dir.path() / "location.new", kCities);
  }
  std::string png() const { return (dir.path() / "out.png").string(); }
};

// White pixels in a band of rows, the text rows of the failure texts.
int whiteInRows(const QImage& image, int top, int bottom) {
  int n = 0;
  for (int y = top; y < bottom; ++y)
    for (int x = 0; x < image.width(); ++x) n += (image.pixel(x, y) & 0xFFFFFF) == (kWhite & 0xFFFFFF);
  return n;
}

class RenderCommand : public ::testing::Test {
 protected:
  // The command line must stay quiet on a machine without a desktop session.
  void SetUp() override { unsetenv("XDG_RUNTIME_DIR"); }
};

TEST_F(RenderCommand, MapAtTheDefaultSizeAndAnyGivenSize) {
  Data data;
  CliRun r = runTarvo(data.dir.path(), "render --out '" + data.png() + "' 2025 3");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, "");
  QImage image(QString::fromStdString(data.png()));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.width(), 692);
  EXPECT_EQ(image.height(), 453);
  EXPECT_EQ(image.pixel(5, 100), kBrown);  // the panel's frame

  for (const char* size : {"1x1", "100x40", "1280x800"}) {
    r = runTarvo(data.dir.path(), "render --out '" + data.png() + "' 2025 3 --size " + size);
    ASSERT_EQ(r.exitCode, 0) << size << r.err;
    const QImage sized(QString::fromStdString(data.png()));
    EXPECT_EQ(std::to_string(sized.width()) + "x" + std::to_string(sized.height()), size);
  }
}

TEST_F(RenderCommand, LocalReportAndNextSteps) {
  Data data;
  CliRun r = runTarvo(data.dir.path(), "render --out '" + data.png() + "' 2025 3 --display local --city 'La Paz'");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  QImage image(QString::fromStdString(data.png()));
  EXPECT_NE(image.pixel(5, 100), kBrown);
  EXPECT_GT(whiteInRows(image, 30, 58), 200);  // date and location lines

  // Three Next steps from 3000 August reach into the next file and on.
  r = runTarvo(data.dir.path(), "render --out '" + data.png() + "' 3000 8 --next 2 --grid");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  image = QImage(QString::fromStdString(data.png()));
  EXPECT_EQ(image.pixel(5, 100), kBrown);
}

TEST_F(RenderCommand, FailurePicturesAreWrittenWithTheirExitStatus) {
  struct Case {
    bool canon;
    const char* args;
    int exitCode;
    const char* err;
    const char* missingFile;  // named under the texts, on standard error and in the picture
  };
  for (const Case& k :
       {Case{false, "2025 3", 2, "  No bessel file! \n  Please start at directory which EC****.prn available.\n",
             "mcp00001p03000.prn"},
        Case{true, "16999 12 --next 1", 3, "The end of the Bessel file\n", nullptr}}) {
    Data data(k.canon);
    fs::remove(data.png());
    const CliRun r = runTarvo(data.dir.path(), "render --out '" + data.png() + "' " + k.args);
    EXPECT_EQ(r.exitCode, k.exitCode) << k.args;
    EXPECT_EQ(r.err, k.err + (k.missingFile ? testing::missingFileLine(k.missingFile, data.dir.path()) : ""))
        << k.args;
    const QImage image(QString::fromStdString(data.png()));
    ASSERT_FALSE(image.isNull()) << k.args;
    EXPECT_GT(whiteInRows(image, 16, 30), 50) << k.args;
    EXPECT_EQ(whiteInRows(image, 48, 62) > 50, k.missingFile != nullptr) << k.args;
    EXPECT_EQ(image.pixel(5, 100), kBlack) << k.args;
  }
}

// A picture that cannot be written: the file and the system's reason, exit 1.
TEST_F(RenderCommand, UnwritablePngSaysWhy) {
  Data data;
  const std::string png = (data.dir.path() / "no-such-dir" / "x.png").string();
  for (const std::string& command : {"render --out '" + png + "' 2025 3",
                                    "local 2025 3 --city Tokyo --png '" + png + "'"}) {
    const CliRun r = runTarvo(data.dir.path(), command);
    EXPECT_EQ(r.exitCode, 1) << command;
    const std::string name = command.substr(0, command.find(' '));
    EXPECT_EQ(r.err, "tarvo " + name + ": cannot write " + png + ": " + std::strerror(ENOENT) + "\n");
  }
}

TEST_F(RenderCommand, UsageErrors) {
  Data data;
  for (const std::string args :
       {"render 2025 3", "render --out", "render --out x.png 2025", "render --out x.png 2025 3 --display sky2",
        "render --out x.png 2025 3 --size 0x5", "render --out x.png 2025 3 --city Osaka",
        "render --out x.png 2025 3 --city Tokyo --site 0 0 0", "render --out x.png --next -1"}) {
    const CliRun r = runTarvo(data.dir.path(), args);
    EXPECT_EQ(r.exitCode, 64) << args;
    EXPECT_EQ(r.out, "") << args;
    EXPECT_FALSE(fs::exists(data.dir.path() / "x.png")) << args;
  }
}

// White pixels right of the panel strip, and those in the cell of the
// missing-coastline label at (300, 15).
struct WhiteOnMap {
  int all = 0, label = 0;
};
WhiteOnMap whiteOnMap(const QImage& image) {
  WhiteOnMap w;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 225; x < image.width(); ++x) {
      const bool white = (image.pixel(x, y) & 0xFFFFFF) == (kWhite & 0xFFFFFF);
      w.all += white;
      w.label += white && x >= 300 && x < 400 && y >= 15 && y < 28;
    }
  return w;
}

TEST_F(RenderCommand, CiaMapDrawsTheCoastlineFilesOrTheirMissingLabel) {
  Data data;
  auto render = [&](const std::string& extra, const std::string& err = "") {
    const CliRun r = runTarvo(data.dir.path(), "render --out '" + data.png() + "' 2025 3" + extra);
    EXPECT_EQ(r.exitCode, 0) << extra << r.err;
    EXPECT_EQ(r.err, err) << extra;
    return whiteOnMap(QImage(QString::fromStdString(data.png())));
  };
  // No coastline file: the label, the built-in outline instead, and the
  // first file named with the reason.
  const WhiteOnMap missing =
      render(" --cia", "tarvo render: coastline file as_cil.cbd: No such file or directory; the built-in outline "
                       "is drawn instead\n");
  EXPECT_GT(missing.label, 50);
  const WhiteOnMap builtIn = render("");
  EXPECT_GE(missing.all, builtIn.all);  // the label may cover some of the outline's pixels
  EXPECT_LE(missing.all, builtIn.all + missing.label);

  for (const char* name : {"as_cil.cbd", "eu_cil.cbd", "af_cil.cbd", "na_cil.cbd", "sa_cil.cbd"})
    fs::copy_file(fs::path(TARVO_COASTLINE_DIR) / name, data.dir.path() / name);
  const WhiteOnMap detailed = render(" --cia");
  // The detailed coasts draw far more than the built-in outline, and no label.
  EXPECT_GT(detailed.all, builtIn.all + builtIn.all / 4);
  EXPECT_LT(detailed.label, missing.label / 2);
  // Unchecked, the files change nothing.
  const WhiteOnMap unchecked = render("");
  EXPECT_EQ(unchecked.all, builtIn.all);
}

// `tarvo local --png` draws text with Qt too, and stays as quiet.
TEST_F(RenderCommand, LocalPngPrintsNothingOnStandardError) {
  Data data;
  const CliRun r = runTarvo(data.dir.path(), "local 2025 3 --city Tokyo --png '" + data.png() + "'");
  ASSERT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.err, "");
}

}  // namespace
}  // namespace tarvo
