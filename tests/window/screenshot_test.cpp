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

  // With no display at all the program says why and ends with 69, instead
  // of the platform's abort.
  void withoutADisplaySaysWhy() {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(QString::fromLatin1(name));
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(TARVOWIN_PATH), {});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 69);
    QVERIFY(p.readAllStandardError().startsWith("tarvowin: no display"));
  }

  // With a session file: only its view, painted at the file's eclipse and
  // site. The report's top lines are found in the shot as the command line
  // draws them for the same eclipse and site.
  void showsTheSessionFileGiven() {
    QTemporaryDir dir;
    const QString session = dir.filePath(QStringLiteral("munich.tarvo"));
    QFile f(session);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("TarvoWin session 1\nyear = 2027\nmonth = 7\ndisplay = local\nsite = typed\n"
            "longitude = 11.5755\nlatitude = 48.1374\nheight = 0\n");
    f.close();
    const QString png = dir.filePath(QStringLiteral("shot.png"));
    QProcess p;
    p.start(QStringLiteral(TARVOWIN_PATH), {QStringLiteral("--screenshot"), png, session});
    QVERIFY(p.waitForFinished(60000));
    QCOMPARE(p.exitCode(), 0);
    const QImage shot = QImage(png).convertToFormat(QImage::Format_RGB32);
    const QString expectedPng = dir.filePath(QStringLiteral("cli.png"));
    QProcess cli;
    cli.start(QStringLiteral(TARVO_CLI_PATH), {"local", "2027", "7", "--site", "11.5755", "48.1374", "0",
                                               "--png", expectedPng});
    QVERIFY(cli.waitForFinished(60000));
    QCOMPARE(cli.exitCode(), 0);
    const QImage top = QImage(expectedPng).convertToFormat(QImage::Format_RGB32).copy(0, 0, 400, 120);
    bool found = false;
    for (int y = 0; y + top.height() <= shot.height() && !found; ++y)
      for (int x = 0; x < 40 && !found; ++x) found = shot.copy(x, y, top.width(), top.height()) == top;
    QVERIFY(found);
  }

  // An option without its value: said so (not "unknown option"), exit 64.
  void optionsWithoutTheirValueAreSaid() {
    const std::pair<QStringList, QByteArray> cases[] = {
        {{"--screenshot"}, "tarvowin: option --screenshot needs a value (a file)\n"},
        {{"--data"}, "tarvowin: option --data needs a value (a folder)\n"},
        {{"--data", ""}, "tarvowin: option --data needs a value (a folder)\n"},
    };
    for (const auto& [args, said] : cases) {
      QProcess p;
      p.start(QStringLiteral(TARVOWIN_PATH), args);
      QVERIFY(p.waitForFinished(60000));
      QCOMPARE(p.exitCode(), 64);
      QVERIFY2(p.readAllStandardError().contains(said), said.constData());
    }
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
