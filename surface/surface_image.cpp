// The surface's pixels as a QImage, for programs that show or print them.
#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>

#include "surface/drawing_surface.h"

namespace tarvo {

QImage DrawingSurface::image() {
  if (pixels_.empty()) return QImage();
  return QImage(reinterpret_cast<uchar*>(pixels_.data()), deviceWidth_, deviceHeight_, deviceWidth_ * 4,
                QImage::Format_RGB32);
}

FileWrite writePng(const QImage& picture, const std::string& path) {
  if (picture.isNull()) return {"the picture is empty"};
  // Encoded in memory first: the file only ever holds a whole picture.
  QByteArray encoded;
  QBuffer buffer(&encoded);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "PNG");
  if (!writer.write(picture)) return {writer.errorString().toStdString()};
  return writeFileWhole(path, std::string_view(encoded.constData(), static_cast<std::size_t>(encoded.size())));
}

}  // namespace tarvo
