#include "app/window/help_window.h"

#include <QFile>
#include <QImage>
#include <QUrl>

#include <algorithm>

#include "surface/drawing_surface.h"
#include "map/zone_legend.h"

namespace tarvo::window {

CHelpWindow::CHelpWindow(QWidget* parent) : QTextBrowser(parent) {
  setWindowTitle(QStringLiteral("TarvoWin Help"));
  setObjectName(QStringLiteral("helpWindow"));
  setAccessibleName(QStringLiteral("Help"));
  setOpenExternalLinks(false);
  // The legend at the screen's device pixels, shown at its logical size.
  const double scale = std::clamp(devicePixelRatioF(), kMinSurfaceScale, kMaxSurfaceScale);
  DrawingSurface legend(kZoneLegendWidth, kZoneLegendHeight, scale);
  drawZoneLegend(legend);
  QImage picture = legend.image().copy();  // the surface owns the pixels
  picture.setDevicePixelRatio(scale);
  document()->addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("legend.png")), picture);
  QFile file(QStringLiteral(":/help/tarvowin_help.html"));
  if (file.open(QIODevice::ReadOnly)) {
    setHtml(QString::fromUtf8(file.readAll()));
  } else {
    setPlainText(QStringLiteral("The help text is missing from this build."));
  }
  resize(640, 560);
}

}  // namespace tarvo::window
