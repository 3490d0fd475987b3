// tarvowin --screenshot: the program starts, paints its view once, writes the
// main window as a PNG and ends by itself.
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>

class ScreenshotTest : public QObject {
  Q_OBJECT

 private slots:
  void writesTheFirstPaintedWindow() {
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("start.png"));
    QProcess p;
    p.start(QStringLiteral(TARVOWIN_PATH), {QStringLiteral("--screenshot"), png});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 0);
    QImage shot(png);
    QVERIFY(!shot.isNull());
    // The main window at its start size.
    QCOMPARE(shot.size() / shot.devicePixelRatio(), QSize(700, 520));
    // The view's black background with drawing on it fills the middle.
    int black = 0, lit = 0;
    for (int y = shot.height() / 3; y < shot.height() * 2 / 3; ++y)
      for (int x = 0; x < shot.width(); ++x) (shot.pixel(x, y) == 0xFF000000 ? black : lit)++;
    QVERIFY2(black > lit / 4, qPrintable(QStringLiteral("%1 black, %2 lit").arg(black).arg(lit)));
  }

  void refusesAnUnwritableFile() {
    QProcess p;
    p.start(QStringLiteral(TARVOWIN_PATH),
            {QStringLiteral("--screenshot"), QStringLiteral("/nonexistent/dir/x.png")});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 1);
    QVERIFY(p.readAllStandardError().contains(
        QByteArray("cannot write /nonexistent/dir/x.png: ") + std::strerror(ENOENT)));
  }
};

QTEST_MAIN(ScreenshotTest)
#include "screenshot_test.moc"
