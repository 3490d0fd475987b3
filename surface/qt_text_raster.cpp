// The text module: glyphs and PNG encoding with Qt's fonts and codecs.
#include <QBuffer>
#include <QByteArray>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QString>

#include <cmath>

#include "surface/text_raster.h"

namespace tarvo {

namespace {

// Text needs a GUI application for the font database. A program with none
// (tests, the command line) gets one on the offscreen platform, kept to the
// end of the process.
void ensureGuiApplication() {
  if (QCoreApplication::instance() != nullptr) return;
  static int argc = 3;
  static char arg0[] = "tarvo";
  static char arg1[] = "-platform";
  static char arg2[] = "offscreen";
  static char* argv[] = {arg0, arg1, arg2, nullptr};
  static QGuiApplication* app = new QGuiApplication(argc, argv);
  (void)app;
}

// The text fonts at `scale` device pixels per logical one.
QFont makeFont(FontRecipe recipe, double scale = 1) {
  ensureGuiApplication();
  // "Courier New" and "Times Roman" are served by their metric-compatible
  // Liberation faces, named explicitly so that no sans face is substituted.
  QFont f(recipe == FontRecipe::Text ? QStringLiteral("Liberation Mono")
                                     : QStringLiteral("Liberation Serif"));
  f.setPixelSize(static_cast<int>(std::lround((recipe == FontRecipe::Text ? 12 : 11) * scale)));
  f.setWeight(QFont::Medium);  // 500
  f.setFixedPitch(recipe == FontRecipe::Text);
  f.setStyleStrategy(QFont::StyleStrategy(QFont::NoAntialias | QFont::NoSubpixelAntialias));
  f.setHintingPreference(QFont::PreferFullHinting);
  f.setKerning(false);
  return f;
}

QString latin1(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

class QtTextRaster final : public TextRaster {
 public:
  int width(FontRecipe font, std::string_view text) const override {
    return QFontMetrics(makeFont(font)).horizontalAdvance(latin1(text));
  }
  int height(FontRecipe font) const override { return QFontMetrics(makeFont(font)).height(); }

  void draw(std::uint32_t* pixels, int w, int h, FontRecipe font, double scale, Rgb colour, int deviceTop,
            const PlacedText* pieces, std::size_t count) const override {
    if (pixels == nullptr || w <= 0 || h <= 0 || count == 0) return;
    const QFont f = makeFont(font, scale);
    QImage target(reinterpret_cast<uchar*>(pixels), w, h, w * 4, QImage::Format_RGB32);
    QPainter painter(&target);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setFont(f);
    painter.setPen(QColor::fromRgb(0xFF000000u | colour));
    const int baseline = deviceTop + QFontMetrics(f).ascent();
    for (std::size_t i = 0; i < count; ++i)
      painter.drawText(QPoint(pieces[i].deviceX, baseline), latin1(pieces[i].text));
  }

  bool encodePng(const std::uint32_t* pixels, int w, int h, std::string& png, std::string& error) const override {
    if (pixels == nullptr || w <= 0 || h <= 0) {
      error = "the picture is empty";
      return false;
    }
    // No application is made for the encoding: the picture's recorded
    // density is Qt's default when no text was drawn, as it always was.
    const QImage picture(reinterpret_cast<const uchar*>(pixels), w, h, w * 4, QImage::Format_RGB32);
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "PNG");
    if (!writer.write(picture)) {
      error = writer.errorString().toStdString();
      return false;
    }
    png.assign(encoded.constData(), static_cast<std::size_t>(encoded.size()));
    return true;
  }
};

}  // namespace

}  // namespace tarvo

extern "C" __attribute__((visibility("default"))) const tarvo::TextRaster* tarvo_text_raster() {
  static const tarvo::QtTextRaster raster;
  return &raster;
}
