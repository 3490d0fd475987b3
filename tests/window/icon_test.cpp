// The installed icon (drawn by tools/make_icon.py) and the window's own icon
// (applicationIcon) are one design: the same colours at the same places of
// the 18-unit grid, probed in both pictures.
#include <QIcon>
#include <QImage>
#include <QTest>

#include "app/window/toolbar_icons.h"

class IconTest : public QObject {
  Q_OBJECT

 private slots:
  void installedIconIsTheWindowsDesign() {
    const QImage installed(QStringLiteral(TARVO_ICON_PNG));
    QVERIFY2(!installed.isNull(), TARVO_ICON_PNG);
    const int windowSide = 2 * tarvo::window::kToolIconSize;  // the icon's largest pixmap
    const QImage window = tarvo::window::applicationIcon().pixmap(windowSide, windowSide).toImage();
    QCOMPARE(window.width(), windowSide);
    const struct {
      const char* what;
      double x, y;  // grid units
    } probes[] = {
        {"corner outside the rounded square", 0.2, 0.2},
        {"night sky", 1.5, 1.5},
        {"night sky below the Moon", 9, 16.5},
        {"the Moon's lit western limb", 4, 9},
        {"the umbra on the Moon", 13, 9},
    };
    for (const auto& p : probes) {
      const QColor a = installed.pixelColor(int(p.x * installed.width() / 18), int(p.y * installed.height() / 18));
      const QColor b = window.pixelColor(int(p.x * windowSide / 18), int(p.y * windowSide / 18));
      // Antialiasing differs between the two renderers only at edges, which
      // the probes avoid: allow a few units per channel.
      const int worst = std::max({std::abs(a.red() - b.red()), std::abs(a.green() - b.green()),
                                  std::abs(a.blue() - b.blue()), std::abs(a.alpha() - b.alpha())});
      QVERIFY2(worst <= 8, qPrintable(QStringLiteral("%1: installed %2 alpha %3, window %4 alpha %5")
                                          .arg(QLatin1String(p.what), a.name())
                                          .arg(a.alpha())
                                          .arg(b.name())
                                          .arg(b.alpha())));
    }
  }
};

QTEST_MAIN(IconTest)
#include "icon_test.moc"
