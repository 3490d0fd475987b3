// The view over the generated canon: each command's state change and repaint,
// the directly drawn displays, the mouse actions, the eclipse list window,
// printing, and the restart after a missing catalogue.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cmath>

#include "app/window/child_frame.h"
#include "app/window/display_dlg.h"
#include "app/window/field_check.h"
#include "app/window/list_dlg.h"
#include "app/window/main_frame.h"
#include "app/window/mode_dlg.h"
#include "app/window/vorn_app.h"
#include "app/window/vorn_doc.h"
#include "app/window/vorn_view.h"
#include "app/window/when_dlg.h"
#include "app/window/window_session.h"
#include "surface/drawing_surface.h"
#include "session/session_file.h"
#include "session/simulation_command.h"

using namespace tarvo;
using namespace tarvo::window;

namespace {

constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kWhite = 0xFFFFFFFF;

// Pixels of the image inside a rectangle that are not black.
int litPixels(const QImage& image, QRect r) {
  int n = 0;
  r = r.intersected(image.rect());
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) n += image.pixel(x, y) != kBlack;
  return n;
}

int pixelsOf(const QImage& image, QRect r, QRgb colour) {
  int n = 0;
  r = r.intersected(image.rect());
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x) n += image.pixel(x, y) == colour;
  return n;
}

}  // namespace

class ViewTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
  void init();
  void cleanup();
  void firstPaintShowsTheClockMonthsEclipse();
  void nextAndPreviousStep();
  void nextVisibleEclipseSkipsOnesNotSeen();
  void nextVisibleWordsAreTheCommandLines_data();
  void nextVisibleWordsAreTheCommandLines();
  void mapAndLocalSwitchTheDisplay();
  void toolBarReachesTheActiveView();
  void searchOkMovesToTheSarosStart();
  void searchOkForANegativeSeries();
  void simulationAnimatesUntilACommand();
  void simulationEndsOnItsLastFrame();
  void starMapDrawsWithoutRepaint();
  void leftClickReadsOutCoordinates();
  void rightDoubleClickPicksTheSite();
  void clicksOffTheMapDoNothing();
  void listWindowSearchDrawClose();
  void listSearchAndCancelLeaveTheViewAlone();
  void listWindowReportsMissingFiles();
  void listWindowVisibleFromSiteAndExport();
  void displayDialogSiteIsTheSiteOfEveryOutput();
  void listWindowRanges_data();
  void listWindowRanges();
  void closingTheViewPutsTheListAway();
  void printsOnePdfPage();
  void paintAtTheScreensRatioIsRender();
  void missingCatalogueOpensTimeSet();

 private:
  CVornView* view() const { return app_->mainFrame()->activeView(); }
  SessionState& state() const { return app_->activeDocument()->state(); }
  std::unique_ptr<CVornApp> app_;
};

void ViewTest::init() {
  app_ = std::make_unique<CVornApp>();
  QVERIFY(app_->initInstance());
  view()->paintPending();
}

void ViewTest::cleanup() { app_.reset(); }

void ViewTest::firstPaintShowsTheClockMonthsEclipse() {
  const QDate today = QDate::currentDate();
  QCOMPARE(view()->paintCount(), 1);
  QCOMPARE(state().pendingAction, 0);
  // The first eclipse on or after the clock's month, and within a year of it
  // (there are at least two lunar eclipses a year).
  const double shown = state().year * 12 + state().month;
  const double clock = today.year() * 12 + today.month();
  QVERIFY(shown >= clock && shown <= clock + 12);
  const QImage image = view()->shownImage();
  QCOMPARE(image.size(), view()->size());
  // The panel strip and the map both hold drawing.
  QVERIFY(litPixels(image, QRect(0, 0, 225, image.height())) > 500);
  QVERIFY(litPixels(image, QRect(state().mapFrame.left, state().mapFrame.top,
                                 state().mapFrame.right - state().mapFrame.left, 60)) > 500);
}

void ViewTest::nextAndPreviousStep() {
  // Time Set: the total eclipse of 2025 March 14 (Saros 123).
  view()->applyTimeSet(2025, 3);
  QCOMPARE(state().pendingAction, 0);
  view()->paintPending();
  QCOMPARE(state().current.eclipseDay, 14.0);
  QCOMPARE(state().current.saros, 123.0);
  QCOMPARE(int(state().current.eclipseType), 1);
  const double first = state().current.greatestJd;
  view()->nextEclipse();
  QCOMPARE(state().pendingAction, 7);
  view()->paintPending();
  // 2025 September 7, the next lunar eclipse.
  QCOMPARE(state().month, 9.0);
  QCOMPARE(state().current.eclipseDay, 7.0);
  QVERIFY(state().current.greatestJd > first + 170 && state().current.greatestJd < first + 180);
  view()->previousEclipse();
  QCOMPARE(state().pendingAction, 0);
  view()->paintPending();
  QCOMPARE(state().current.greatestJd, first);
  QCOMPARE(view()->paintCount(), 4);
}

void ViewTest::nextVisibleEclipseSkipsOnesNotSeen() {
  // At 10° E, 60° N the eclipse of 2026 March 3 happens at local noon (the
  // Moon 24° below the horizon); the one after it is seen at moonset.
  state().site = typedChoice(10, 60, 0);
  view()->applyTimeSet(2025, 9);
  view()->paintPending();
  QCOMPARE(state().current.eclipseDay, 7.0);
  app_->mainFrame()->action(kCmdNextVisibleEclipse)->trigger();
  QCoreApplication::processEvents();
  view()->paintPending();
  QCOMPARE(state().year, 2026.0);
  QCOMPARE(state().month, 8.0);
  QCOMPARE(state().current.eclipseDay, 28.0);
}

void ViewTest::nextVisibleWordsAreTheCommandLines_data() {
  QTest::addColumn<int>("city");  // the number in the city list, 0 for the typed site
  QTest::addColumn<QStringList>("siteArgs");
  QTest::newRow("Tokyo") << 1 << QStringList{"--city", "Tokyo"};
  QTest::newRow("typed site near Delhi, Asia/Kolkata")
      << 0 << QStringList{"--site", "77.2", "28.6", "200", "--tz", "Asia/Kolkata"};
}

// The words the map shows after Next Visible Eclipse, and the local report
// under its lines, are the sentences of `tarvo next` for that month.
void ViewTest::nextVisibleWordsAreTheCommandLines() {
  QFETCH(int, city);
  QFETCH(QStringList, siteArgs);
  if (city > 0) {
    state().site = *cityChoice(state().sites, city);
  } else {
    state().site = typedChoice(77.2, 28.6, 200);
    state().site.timeZone = "Asia/Kolkata";
  }
  view()->applyTimeSet(2025, 1);
  view()->paintPending();
  QVERIFY(view()->answerWords().isEmpty());  // the map shows none before the command
  app_->mainFrame()->action(kCmdNextVisibleEclipse)->trigger();
  QCoreApplication::processEvents();
  view()->paintPending();
  const QString words = view()->answerWords();
  QProcess p;
  p.start(QStringLiteral(TARVO_CLI_PATH),
          QStringList{"next", QString::number(state().year), QString::number(std::trunc(state().month))} + siteArgs);
  QVERIFY(p.waitForFinished(60000));
  QCOMPARE(p.exitCode(), 0);
  QCOMPARE(words + QLatin1Char('\n'), QString::fromUtf8(p.readAllStandardOutput()));
  QVERIFY2(view()->shownText().contains(QStringLiteral("lunar eclipse, night of")), qPrintable(view()->shownText()));
  if (city == 0) QVERIFY(words.contains(QStringLiteral("(IST +05:30)")));
  view()->localInformation();
  view()->paintPending();
  QCOMPARE(view()->answerWords(), words);
  view()->mapDisplay();
  view()->paintPending();
  QVERIFY(view()->answerWords().isEmpty());  // until the view changes
}

void ViewTest::mapAndLocalSwitchTheDisplay() {
  view()->localInformation();
  QCOMPARE(state().displayKind, 2);
  view()->paintPending();
  const QImage local = view()->shownImage();
  view()->mapDisplay();
  QCOMPARE(state().displayKind, 0);
  view()->paintPending();
  QCOMPARE(view()->paintCount(), 3);
  QVERIFY(view()->shownImage() != local);
}

void ViewTest::toolBarReachesTheActiveView() {
  CMainFrame* f = app_->mainFrame();
  f->action(kCmdLocalInformation)->trigger();
  QCOMPARE(state().displayKind, 2);
  f->action(kCmdMapDisplay)->trigger();
  QCOMPARE(state().displayKind, 0);
  f->action(kCmdNextEclipse)->trigger();
  QCOMPARE(state().pendingAction, 7);
  f->action(kCmdEclipseList)->trigger();
  QVERIFY(view()->listDialog()->isVisible());
  // The Display dialog's OK: the grid on, then a repaint that lands.
  CDisplayDlg display(state(), state().sites);
  display.gridBox()->setChecked(true);
  display.accept();
  view()->applyDisplay(display);
  QCOMPARE(state().gridMode, 0);
  QCOMPARE(state().pendingAction, 0);
  view()->paintPending();
  QCOMPARE(view()->paintCount(), 2);
}

void ViewTest::searchOkMovesToTheSarosStart() {
  // Saros 145 begins in 1832: from year 3100 OK moves the cursor to 1831,
  // whatever the search type, and the paint lands from there.
  view()->applyTimeSet(3100, 1);
  view()->paintPending();
  state().sarosCriterion = 145;
  CModeDlg dialog(state(), state().sites);
  dialog.searchTypeButton(3)->setChecked(true);
  dialog.sarosEdit()->setText(QStringLiteral("145"));
  dialog.accept();
  view()->applySearch(dialog);
  QCOMPARE(state().searchType, 3);
  QCOMPARE(state().year, 1831.0);
  view()->paintPending();
  QCOMPARE(state().current.saros, 145.0);
  QVERIFY(state().year >= 1831 && state().year < 1850);
}

void ViewTest::searchOkForANegativeSeries() {
  // A negative series starts where the second column of row n says; from far
  // later the cursor moves to one year before it and the paint finds a member.
  view()->applyTimeSet(16000, 1);
  view()->paintPending();
  CModeDlg dialog(state(), state().sites);
  dialog.searchTypeButton(3)->setChecked(true);
  dialog.sarosEdit()->setText(QStringLiteral("-3"));
  dialog.accept();
  view()->applySearch(dialog);
  QCOMPARE(state().sarosCriterion, -3.0);
  QVERIFY(state().year < 16000);
  view()->paintPending();
  QCOMPARE(state().current.saros, -3.0);
}

void ViewTest::simulationAnimatesUntilACommand() {
  const QImage map = view()->shownImage();
  view()->simulation();
  QVERIFY(view()->shownImage() != map);
  QCOMPARE(view()->paintCount(), 1);  // drawn directly, no repaint
  QVERIFY(view()->simulationRunning());
  // A few steps of the animation pass by the timer.
  QTest::qWait(1200);
  const QImage later = view()->shownImage();
  QVERIFY(view()->simulationRunning() || later != map);
  // Any command stops it and the normal display comes back.
  view()->mapDisplay();
  QVERIFY(!view()->simulationRunning());
  view()->paintPending();
  QCOMPARE(view()->shownImage(), map);
  // A resize stops it too.
  view()->simulation();
  view()->parentWidget()->resize(view()->parentWidget()->size() + QSize(10, 10));
  app_->mainFrame()->resize(app_->mainFrame()->size() + QSize(40, 40));
  QCoreApplication::processEvents();
  QVERIFY(!view()->simulationRunning());
}

void ViewTest::simulationEndsOnItsLastFrame() {
  // 2025 March 14, a total eclipse: every contact is a step.
  view()->applyTimeSet(2025, 3);
  view()->paintPending();
  QElapsedTimer clock;
  clock.start();
  view()->simulation();
  QTRY_VERIFY_WITH_TIMEOUT(!view()->simulationRunning(), 30000);
  // Paced by the pauses of half a second, not drawn at once.
  QVERIFY(clock.elapsed() >= 1000);
  // The headless renderer's last frame, all steps drawn at once.
  DrawingSurface expected(view()->width(), view()->height());
  drawSimulationFinal(state(), expected);
  QCOMPARE(view()->shownImage(), expected.image());
  QCOMPARE(view()->paintCount(), 2);
}

void ViewTest::starMapDrawsWithoutRepaint() {
  const QImage map = view()->shownImage();
  view()->starMap();
  QCOMPARE(view()->paintCount(), 1);
  QVERIFY(view()->shownImage() != map);
  view()->nextEclipse();
  view()->paintPending();
  QCOMPARE(view()->paintCount(), 2);
}

void ViewTest::leftClickReadsOutCoordinates() {
  const QImage before = view()->shownImage();
  const QRect readout(state().mapFrame.right - 85, 15, 80, 30);
  const QPoint centre(state().mapFrame.centreX, state().mapFrame.centreY);
  QTest::mouseClick(view(), Qt::LeftButton, {}, centre);
  const QImage after = view()->shownImage();
  QCOMPARE(view()->paintCount(), 1);
  QVERIFY(pixelsOf(after, readout, kWhite) > 40);
  QVERIFY(after != before);
  // Nothing is stored: the state is as before.
  QCOMPARE(state().displayKind, 0);
  QCOMPARE(state().site.cityNumber, 1);
}

void ViewTest::rightDoubleClickPicksTheSite() {
  // The map's centre is the central meridian on the equator.
  const double centralMeridian = -state().mapFrame.longitudeOffsetDeg;
  const QPoint centre(state().mapFrame.centreX, state().mapFrame.centreY);
  const double degreesPerPixel = 57.29577951 / state().mapFrame.scale;
  QTest::mouseDClick(view(), Qt::RightButton, {}, centre);
  QCOMPARE(state().displayKind, 2);
  QVERIFY(state().site.typed());
  const SiteValues& picked = state().site.where;
  QCOMPARE(picked.heightM, 0.0);
  double lonDiff = std::remainder(picked.longitudeDeg - centralMeridian, 360.0);
  QVERIFY2(std::fabs(lonDiff) <= degreesPerPixel, qPrintable(QString::number(lonDiff)));
  QVERIFY(std::fabs(picked.latitudeDeg) <= degreesPerPixel);
  QVERIFY(picked.longitudeDeg >= -180 && picked.longitudeDeg <= 180);
  view()->paintPending();
  QCOMPARE(view()->paintCount(), 2);
  // Picking again while the report is shown picks a new site.
  QTest::mouseDClick(view(), Qt::RightButton, {}, centre + QPoint(40, -30));
  QVERIFY(state().site.where.latitudeDeg > 0);
  // A left click on the report draws nothing.
  view()->paintPending();
  const QImage report = view()->shownImage();
  QTest::mouseClick(view(), Qt::LeftButton, {}, centre);
  QCOMPARE(view()->shownImage(), report);
}

void ViewTest::clicksOffTheMapDoNothing() {
  const QImage before = view()->shownImage();
  const QPoint panel(100, 100);  // the information panel, left of the map
  QTest::mouseClick(view(), Qt::LeftButton, {}, panel);
  QTest::mouseDClick(view(), Qt::RightButton, {}, panel);
  QCOMPARE(view()->shownImage(), before);
  QCOMPARE(state().displayKind, 0);
  QCOMPARE(state().pendingAction, 0);
}

void ViewTest::listWindowSearchDrawClose() {
  CListDlg* list = view()->listDialog();
  view()->eclipseList();
  view()->eclipseList();  // a second time: still the one window
  QVERIFY(list->isVisible());
  QCOMPARE(list->windowTitle(), QStringLiteral("Eclipse Serch List"));
  int shown = 0;
  for (QWidget* w : QApplication::topLevelWidgets())
    shown += qobject_cast<CListDlg*>(w) != nullptr && w->isVisible();
  QCOMPARE(shown, 1);
  QCOMPARE(list->periodEdit()->text(), QStringLiteral("10"));

  // The total eclipses of 2025 to 2035, as published (NASA five-millennium
  // canon): their dates as the list's date key YYYY.MMDD.
  state().searchType = 1;
  state().typeCriterion = 1;
  list->startYearEdit()->setText(QStringLiteral("2025"));
  list->periodEdit()->setText(QStringLiteral("10"));
  QTest::mouseClick(list->searchButton(), Qt::LeftButton);
  const QStringList lines = list->lines();
  const QStringList dates = {"2025.0314", "2025.0907", "2026.0303", "2028.1231", "2029.0626",
                             "2029.1220", "2032.0425", "2032.1018", "2033.0414", "2033.1008"};
  QCOMPARE(lines.size(), dates.size() + 1);
  QCOMPARE(lines[0], QStringLiteral("   Date       Type        Saros#/No."));
  for (int i = 0; i < dates.size(); ++i) {
    QVERIFY2(lines[i + 1].trimmed().startsWith(dates[i]), qPrintable(lines[i + 1]));
    QVERIFY(lines[i + 1].contains(QStringLiteral("Total")));
  }
  QCOMPARE(view()->paintCount(), 1);  // the search does not repaint

  // Choose the second eclipse and Draw: the view shows it.
  list->listBox()->setCurrentRow(2);
  QCOMPARE(state().eclipseListPick, 1);
  QTest::mouseClick(list->drawButton(), Qt::LeftButton);
  QCoreApplication::processEvents();
  view()->paintPending();
  QCOMPARE(state().year, 2025.0);
  QCOMPARE(state().month, 9.0);
  QCOMPARE(state().current.eclipseDay, 7.0);
  // A double-click on the third eclipse's line draws it.
  emit list->listBox()->itemDoubleClicked(list->listBox()->item(3));
  QCoreApplication::processEvents();
  view()->paintPending();
  QCOMPARE(state().year, 2026.0);
  QCOMPARE(state().month, 3.0);
  // Enter on the second eclipse's line draws it too.
  list->listBox()->setCurrentRow(2);
  QTest::keyClick(list->listBox(), Qt::Key_Return);
  QCoreApplication::processEvents();
  view()->paintPending();
  QCOMPARE(state().month, 9.0);
  QVERIFY(list->isVisible());
  QVERIFY(list->fullNote()->isHidden());
  // Choosing the header picks entry 0.
  list->listBox()->setCurrentRow(0);
  QCOMPARE(state().eclipseListPick, 0);

  // OK puts the window away; the list is kept for the next opening.
  list->accept();
  QCoreApplication::processEvents();
  QVERIFY(!list->isVisible());
  view()->eclipseList();
  QVERIFY(list->isVisible());
  QCOMPARE(list->lines().size(), dates.size() + 1);
  QCOMPARE(list->lines()[0], QStringLiteral("   Date       Type        Saros#/No."));
  // With the fields that produced it.
  QCOMPARE(list->startYearEdit()->text(), QStringLiteral("2025"));
  QCOMPARE(list->periodEdit()->text(), QStringLiteral("10"));

  // A search that fills the list's 100 entries says where it stopped.
  state().searchType = 0;
  list->startYearEdit()->setText(QStringLiteral("2000"));
  list->periodEdit()->setText(QStringLiteral("100"));
  QTest::mouseClick(list->searchButton(), Qt::LeftButton);
  QCOMPARE(list->lines().size(), 101);
  QVERIFY(list->fullNote()->isVisibleTo(list));
  const QString lastKey = list->lines().last().trimmed().left(9);  // YYYY.MMDD
  const QString note = list->fullNote()->text();
  QVERIFY2(note.contains(QStringLiteral("%1/%2/%3").arg(lastKey.left(4)).arg(lastKey.mid(5, 2).toInt()).arg(lastKey.mid(7, 2).toInt())),
           qPrintable(note + QStringLiteral(" / ") + lastKey));
  list->reject();
  QCoreApplication::processEvents();
  QVERIFY(!list->isVisible());
}

// Only Draw changes the eclipse shown: Search and Cancel, then a repaint
// (Map), show the same eclipse, and Next steps on from it.
void ViewTest::listSearchAndCancelLeaveTheViewAlone() {
  view()->applyTimeSet(2025, 3);
  view()->paintPending();
  const double shownJd = state().current.greatestJd;
  const QImage before = view()->shownImage();
  CListDlg* list = view()->listDialog();
  view()->eclipseList();
  list->startYearEdit()->setText(QStringLiteral("2040"));
  list->periodEdit()->setText(QStringLiteral("10"));
  QTest::mouseClick(list->searchButton(), Qt::LeftButton);
  QVERIFY(list->lines().size() > 10);
  list->reject();
  QCoreApplication::processEvents();
  view()->mapDisplay();
  view()->paintPending();
  QCOMPARE(state().current.greatestJd, shownJd);
  QCOMPARE(state().year, 2025.0);
  QCOMPARE(state().month, 3.0);
  QCOMPARE(view()->shownImage(), before);
  // Next steps on from the eclipse shown, not from where the search stopped.
  view()->nextEclipse();
  view()->paintPending();
  QCOMPARE(state().year, 2025.0);
  QCOMPARE(state().month, 9.0);
}

void ViewTest::listWindowVisibleFromSiteAndExport() {
  // Tokyo, the first city, as the observing site.
  state().site = *cityChoice(state().sites, 1);
  CListDlg* list = view()->listDialog();
  view()->eclipseList();
  list->startYearEdit()->setText(QStringLiteral("2025"));
  list->periodEdit()->setText(QStringLiteral("20"));
  QTemporaryDir dir;
  const auto cli = [](const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(TARVO_CLI_PATH), args);
    p.waitForFinished(60000);
    return p.readAllStandardOutput();
  };
  const auto written = [](const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  };
  struct Case {
    bool visible;
    QStringList cliArgs;
  };
  const Case cases[] = {
      {false, {"list", "2025", "20", "--format", "csv"}},
      {true, {"list", "2025", "20", "--city", "Tokyo", "--visible", "--format", "csv"}},
  };
  for (const Case& c : cases) {
    list->visibleCheck()->setChecked(c.visible);
    QTest::mouseClick(list->searchButton(), Qt::LeftButton);
    const QByteArray text = cli(QStringList(c.cliArgs).replaceInStrings("csv", "text").mid(0, c.cliArgs.size() - 2));
    // The lines shown are the command line's text list, in aligned columns
    // and, for a visible list, with the clock time after the class.
    const QStringList cliLines = QString::fromLatin1(text).trimmed().split(QLatin1Char('\n'));
    QCOMPARE(list->lines().size(), cliLines.size());
    for (int i = 1; i < cliLines.size(); ++i)
      QVERIFY2(list->lines()[i].simplified().startsWith(cliLines[i].simplified()), qPrintable(list->lines()[i]));
    const QString path = dir.filePath(QStringLiteral("list.csv"));
    QCOMPARE(list->exportTo(path), std::nullopt);
    QCOMPARE(written(path), cli(c.cliArgs));
  }
  // Every line of the visible list ends with a class other than none.
  const QStringList lines = list->lines();
  QVERIFY(lines.size() > 20);
  for (int i = 1; i < lines.size(); ++i) {
    QVERIFY2(!lines[i].endsWith(QStringLiteral("none")), qPrintable(lines[i]));
    // Saros numbers in one column, then the class and greatest eclipse on Tokyo's clock.
    QCOMPARE(lines[i].indexOf(QLatin1Char('/')), lines[0].indexOf(QLatin1Char('/')));
    QVERIFY2(lines[i].contains(QRegularExpression(QStringLiteral(
                 "   (visible |at-moonrise|at-moonset |partly |none )\\s+\\d+ [A-Z][a-z]+ 20\\d\\d \\d\\d:\\d\\d (JST \\+09:00|UTC\\+09:00)$"))),
             qPrintable(lines[i]));
  }
  // An extension the export does not know writes nothing.
  QVERIFY(list->exportTo(dir.filePath(QStringLiteral("list.txt"))).has_value());
  QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("list.txt"))));
  list->reject();
}

// A city or typed site picked in the Display dialog with "Map" checked is
// the site of the local report, the visible list and its export, and the
// session file: the command line's with --city or --site.
void ViewTest::displayDialogSiteIsTheSiteOfEveryOutput() {
  const auto cli = [](const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(TARVO_CLI_PATH), args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
  };
  struct Pick {
    bool city;
    QStringList siteArgs;
    QString savedSite;
    double longitudeDeg;
  };
  const Pick picks[] = {
      {true, {"--city", "Berlin"}, "site = city\ncity = Berlin\n", 13.3667},
      {false, {"--site", "11.5755", "48.1374", "0"}, "site = typed\n", 11.5755},
  };
  QTemporaryDir dir;
  for (const Pick& pick : picks) {
    view()->mapDisplay();
    view()->applyTimeSet(2027, 7);
    CDisplayDlg display(state(), state().sites);
    QVERIFY(display.mapButton()->isChecked());
    if (pick.city) {
      display.cityBox()->setCurrentIndex(display.cityBox()->findText(pick.siteArgs[1]));
      display.selectionButton()->setChecked(true);
    } else {
      display.longitudeEdit()->setText(pick.siteArgs[1]);
      display.latitudeEdit()->setText(pick.siteArgs[2]);
      display.heightEdit()->setText(pick.siteArgs[3]);
      display.dataButton()->setChecked(true);
    }
    display.accept();
    view()->applyDisplay(display);
    view()->localInformation();
    view()->paintPending();
    // The report: the command line's lines without their rows.
    QStringList expected;
    for (const QString& line : cli(QStringList{"local", "2027", "7"} + pick.siteArgs).split('\n'))
      if (const QString text = line.section(' ', 1).trimmed(); !text.isEmpty()) expected << text;
    // The report's lines, then the answer in words under them.
    QCOMPARE(view()->shownText().section('\n', 0, expected.size() - 1), expected.join('\n'));
    QVERIFY(view()->shownText().section('\n', expected.size()).startsWith(view()->answerWords().left(40)));
    // The visible list and its export.
    CListDlg* list = view()->listDialog();
    view()->eclipseList();
    list->startYearEdit()->setText(QStringLiteral("2025"));
    list->periodEdit()->setText(QStringLiteral("10"));
    list->visibleCheck()->setChecked(true);
    QTest::mouseClick(list->searchButton(), Qt::LeftButton);
    const QString json = dir.filePath(QStringLiteral("list.json"));
    QCOMPARE(list->exportTo(json), std::nullopt);
    QFile written(json);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(written.readAll()),
             cli(QStringList{"list", "2025", "10", "--visible", "--format", "json"} + pick.siteArgs));
    list->reject();
    // The session file.
    const QString saved = dir.filePath(QStringLiteral("site.tarvo"));
    QVERIFY(!app_->activeDocument()->saveTo(saved));
    QFile file(saved);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY2(file.readAll().contains(pick.savedSite.toUtf8()), qPrintable(pick.savedSite));
    const SessionFileResult read = readSessionFile(saved.toStdString());
    QCOMPARE(std::get<SessionSettings>(read).siteLongitude, pick.longitudeDeg);
  }
}

void ViewTest::listWindowReportsMissingFiles() {
  // Only the file of the years 1 to 3000 is there.
  QTemporaryDir dir;
  const QString home = QDir::currentPath();
  QVERIFY(QFile::link(QDir(home).absoluteFilePath(QStringLiteral("mcp00001p03000.prn")),
                      dir.filePath(QStringLiteral("mcp00001p03000.prn"))));
  QVERIFY(QDir::setCurrent(dir.path()));
  CListDlg* list = view()->listDialog();
  view()->eclipseList();
  // A walk into the missing next file: the eclipses found so far and the texts.
  list->startYearEdit()->setText(QStringLiteral("2990"));
  list->periodEdit()->setText(QStringLiteral("20"));
  list->search();
  const int linesFound = list->lines().size();
  const bool shownWalking = list->errorTexts()->isVisibleTo(list);
  const QString textsWalking = list->errorTexts()->text();
  // A start year whose file is missing: an empty list and the texts.
  list->startYearEdit()->setText(QStringLiteral("501 BC"));  // year -500
  list->search();
  const int linesMissing = list->lines().size();
  const bool shownMissing = list->errorTexts()->isVisibleTo(list);
  // A search that reads only the present file shows no texts.
  list->startYearEdit()->setText(QStringLiteral("2000"));
  list->periodEdit()->setText(QStringLiteral("5"));
  list->search();
  const bool shownPresent = list->errorTexts()->isVisibleTo(list);
  QDir::setCurrent(home);
  QVERIFY(linesFound > 10);
  QVERIFY(shownWalking);
  QCOMPARE(textsWalking, QStringLiteral("  No bessel file! \n"
                                        "  Please start at directory which EC****.prn available."));
  QCOMPARE(linesMissing, 1);
  QVERIFY(shownMissing);
  QVERIFY(!shownPresent);
}

void ViewTest::listWindowRanges_data() {
  QTest::addColumn<QString>("start");
  QTest::addColumn<QString>("period");
  QTest::addColumn<QString>("message");
  QTest::newRow("limits") << "-13000" << "5000" << QString();
  QTest::newRow("start past the end") << "17000.5" << "0"
                                      << "Please enter a number between -13000 and 17000.\n"
                                         "That is 13001 BC to AD 17000.";
  QTest::newRow("period 0") << "2000" << "0" << "Please enter a number between 1 and 5000.";
  QTest::newRow("period too long") << "2000" << "5001"
                                   << "Please enter a number between 1 and 5000.";
}

void ViewTest::listWindowRanges() {
  QFETCH(QString, start);
  QFETCH(QString, period);
  QFETCH(QString, message);
  CListDlg* list = view()->listDialog();
  list->startYearEdit()->setText(start);
  list->periodEdit()->setText(period);
  const auto error = list->validate().error();
  QCOMPARE(error ? error->message : QString(), message);
}

void ViewTest::closingTheViewPutsTheListAway() {
  view()->eclipseList();
  QPointer<CListDlg> list = view()->listDialog();
  QVERIFY(list->isVisible());
  app_->mainFrame()->mdiArea()->closeAllSubWindows();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QVERIFY(list.isNull());
}

void ViewTest::printsOnePdfPage() {
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("view.pdf"));
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(path);
  QVERIFY(!view()->printTo(printer));
  QFile pdf(path);
  QVERIFY(pdf.open(QIODevice::ReadOnly));
  const QByteArray bytes = pdf.readAll();
  QVERIFY(bytes.startsWith("%PDF"));
  int pages = 0;
  for (qsizetype at = bytes.indexOf("/Type /Page"); at >= 0;
       at = bytes.indexOf("/Type /Page", at + 1))
    pages += bytes.mid(at, 12) != "/Type /Pages";
  QCOMPARE(pages, 1);
  // The picture is the view's size at 1/100 inch per pixel, drawn with the
  // pixels of the printer's resolution (the PDF writer's 1200 dpi: at most 4
  // device pixels a pixel, 400 dpi).
  QCOMPARE(printScale(printer), 4.0);
  QVERIFY(bytes.contains("/Width " + QByteArray::number(view()->width() * 4)));
  QVERIFY(!bytes.contains("/DCTDecode"));  // kept whole, not as a JPEG
  QCOMPARE(state().pendingAction, 0);
}

// The view paints at its screen's pixel ratio (QT_SCALE_FACTOR in a second
// run) exactly what `tarvo render --scale` paints at that ratio.
void ViewTest::paintAtTheScreensRatioIsRender() {
  const double ratio = view()->devicePixelRatioF();
  if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR"))
    QCOMPARE(ratio, qEnvironmentVariable("QT_SCALE_FACTOR").toDouble());
  view()->applyTimeSet(2025, 3);
  view()->paintPending();
  const QImage shown = view()->shownImage();
  QCOMPARE(shown.size(), view()->size() * ratio);
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("render.png"));
  QProcess p;
  p.start(QStringLiteral(TARVO_CLI_PATH),
          {"render", "--out", path, "2025", "3", "--size", QStringLiteral("%1x%2").arg(view()->width()).arg(view()->height()),
           "--scale", QString::number(ratio)});
  QVERIFY(p.waitForFinished(60000));
  QCOMPARE(p.exitCode(), 0);
  QCOMPARE(QImage(path).convertToFormat(QImage::Format_RGB32), shown);
}

void ViewTest::missingCatalogueOpensTimeSet() {
  cleanup();
  QTemporaryDir empty;
  const QString home = QDir::currentPath();
  QVERIFY(QDir::setCurrent(empty.path()));
  app_ = std::make_unique<CVornApp>();
  QVERIFY(app_->initInstance());
  view()->paintPending();
  QCOMPARE(state().restartAfterError, -1);
  // The next paint takes the clock's date and opens the Time Set dialog.
  QString title;
  int yearShown = 0;
  int dialogsOpen = 0;
  QTimer::singleShot(100, [&] {
    if (auto* when = qobject_cast<CWhenDlg*>(QApplication::activeModalWidget())) {
      title = when->windowTitle();
      yearShown = when->yearEdit()->text().toInt();
      // Two more paints meanwhile (the failure, then the restart) open no
      // second dialog.
      for (int i = 0; i < 2; ++i) {
        view()->mapDisplay();
        view()->paintPending();
      }
      QTest::qWait(100);
      for (QWidget* w : QApplication::topLevelWidgets())
        dialogsOpen += qobject_cast<CWhenDlg*>(w) && w->isVisible();
      when->reject();
    }
  });
  view()->mapDisplay();
  view()->paintPending();
  QTest::qWait(300);
  QDir::setCurrent(home);
  QCOMPARE(title, QStringLiteral("Time Set Menu"));
  QCOMPARE(dialogsOpen, 1);
  QCOMPARE(yearShown, QDate::currentDate().year());
}

QTEST_MAIN(ViewTest)
#include "view_test.moc"
