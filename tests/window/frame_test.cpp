// The shell: the main frame's tool bar, menus, keys and status bar, new and
// views opened from session files, the recent-file list, the version box, and
// Save writing the session.
#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>

#include <functional>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLayout>
#include <QSlider>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPointer>
#include <QElapsedTimer>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QToolBar>

#include "app/window/about_dlg.h"
#include "app/window/child_frame.h"
#include "app/window/framework_texts.h"
#include "app/window/main_frame.h"
#include "app/window/vorn_app.h"
#include "app/window/vorn_doc.h"
#include "app/window/vorn_view.h"
#include "app/window/list_dlg.h"
#include "app/window/display_dlg.h"
#include "app/window/mode_dlg.h"
#include "app/window/when_dlg.h"
#include "map/info_panel.h"
#include "map/zone_legend.h"
#include "app/window/window_session.h"
#include "timebase/delta_t.h"
#include "session/session_file.h"
#include "tests/window/modal_answers.h"

using namespace tarvo::window;

namespace {

QStringList menuBarTexts(const CMainFrame& frame) {
  QStringList out;
  for (QAction* a : frame.menuBar()->actions()) out << a->text();
  return out;
}

// A session file at path holding the given cursor.
void writeSession(const QString& path, int year, int month) {
  tarvo::SessionSettings settings;
  settings.year = year;
  settings.month = month;
  const std::string text = tarvo::formatSessionFile(settings);
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(text.data(), static_cast<qint64>(text.size()));
}

QByteArray fileBytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class FrameTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    QStandardPaths::setTestModeEnabled(true);
    installTranslations(*QCoreApplication::instance(), QLocale::system());
  }
  void init();
  void cleanup();
  void startShowsOneMaximisedView();
  void toolBarButtonsInOrder();
  void promptsAndToolTips_data();
  void promptsAndToolTips();
  void keys();
  void menusFollowTheOpenViews();
  void eachDocumentOwnsItsSessionAndNewWindowShowsIt();
  void recentFilesKeepFour();
  void versionBox();
  void saveWritesTheSessionAndOpenRestoresIt();
  void saveReportsTheFileAndReason();
  void sessionFilesAreWholeBeforeTheirFirstPaint();
  void changedDocumentAsksToSaveAndKeepsTheDisplayShown();
  void cityListMessageInTheStatusBarOnce();
  void statusBarShowsDeltaTAndSigma();
  void openRefusesAFileThatIsNoSession();
  void f1ShowsHelpWithTheLegend();
  void everyCommandFromTheKeyboard();
  void restoredViewKeepsAUsableSize();
  void cascadeAndAShortFrameKeepViewsWhole();
  void lockKeyIndicatorsLightWhenOn();
  void statusBarSaysWhatIsSeenUnderTheMouse();
  void exportPictureAtTheClientSizeOrATypedOne();

 private:
  std::unique_ptr<CVornApp> app_;
  QTemporaryDir dir_;
};

void FrameTest::init() {
  QSettings(QString::fromLatin1(CVornApp::kProfileKey), QStringLiteral("TarvoWin")).clear();
  app_ = std::make_unique<CVornApp>();
  QVERIFY(app_->initInstance());
}

void FrameTest::cleanup() { app_.reset(); }

void FrameTest::startShowsOneMaximisedView() {
  CMainFrame* f = app_->mainFrame();
  QCOMPARE(f->windowTitle().left(8), QStringLiteral("TarvoWin"));
  QCOMPARE(f->pos(), QPoint(0, 0));
  QCOMPARE(f->size(), QSize(700, 520));
  const auto children = f->mdiArea()->subWindowList();
  QCOMPARE(children.size(), 1);
  QVERIFY(children[0]->isMaximized());
  QCOMPARE(children[0]->windowTitle(), QStringLiteral("Tarvo1"));
  // The view fills the area.
  QCOMPARE(f->activeView()->size(), children[0]->contentsRect().size());
  // Where the screen is small, the window manager's frame (left, top,
  // right, bottom) is taken off the room too, so that all of it is seen.
  QCOMPARE(firstClientSize({1024, 600}, {1, 20, 1, 5}), QSize(700, 520));
  QCOMPARE(firstClientSize({1024, 540}, {1, 20, 1, 5}), QSize(700, 515));
  QCOMPARE(firstClientSize({690, 900}, {4, 30, 4, 4}), QSize(682, 520));
}

void FrameTest::toolBarButtonsInOrder() {
  const QList<int> expected = {32782, 32777, 32783, -1, 32784, 32785, 32780, 32787, -1,
                               57664, 32790, 32794, 32792, 32791, 32793, 32795};
  QList<int> ids;
  QList<int> disabled;
  for (QAction* a : app_->mainFrame()->toolBar()->actions()) {
    ids << (a->isSeparator() ? -1 : a->data().toInt());
    if (!a->isSeparator() && !a->isEnabled()) disabled << a->data().toInt();
  }
  QCOMPARE(ids, expected);
  QCOMPARE(disabled, (QList<int>{32790, 32794, 32792, 32791, 32793, 32795}));
  QCOMPARE(app_->mainFrame()->toolBar()->iconSize(), QSize(18, 18));
  for (QAction* a : app_->mainFrame()->toolBar()->actions())
    if (!a->isSeparator()) QVERIFY(!a->icon().pixmap(18, 18).isNull());
}

void FrameTest::promptsAndToolTips_data() {
  QTest::addColumn<int>("id");
  QTest::addColumn<QString>("prompt");
  QTest::addColumn<QString>("tip");
  QTest::newRow("next") << 32777 << "Display Next Eclipse" << "Next Eclipse";
  QTest::newRow("previous") << 32782 << "Previous Eclipse" << "Previous Eclipse";
  QTest::newRow("list") << 32783 << "Eclipse Search List" << "Eclipse List";
  QTest::newRow("map") << 32784 << "Map Display Mode" << "Map Display";
  QTest::newRow("local") << 32785 << "Display Loacal Information" << "Local Information";
  QTest::newRow("simulation") << 32780 << "Simulation Display" << "Simulation";
  QTest::newRow("star map") << 32787 << "Display StarMap" << "StarMap";
  QTest::newRow("version") << 57664 << "Program Version Information" << "Version";
  QTest::newRow("exit") << 57665 << "Quit Application" << "Quit";
}

void FrameTest::promptsAndToolTips() {
  QFETCH(int, id);
  QAction* a = app_->mainFrame()->action(id);
  QVERIFY(a);
  QTEST(a->statusTip(), "prompt");
  QTEST(a->toolTip(), "tip");
}

void FrameTest::keys() {
  CMainFrame* f = app_->mainFrame();
  QMap<QString, QString> byKey;
  for (QAction* a : f->actions()) byKey[a->shortcut().toString()] = a->text();
  QVERIFY(byKey.contains("Ctrl+N"));
  QVERIFY(byKey.contains("Ctrl+O"));
  QVERIFY(byKey.contains("Ctrl+S"));
  QCOMPARE(f->action(kCmdPrint)->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
  // Ctrl+N through the keyboard opens a second view.
  f->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(f));
  QTest::keyClick(f, Qt::Key_N, Qt::ControlModifier);
  QCOMPARE(f->mdiArea()->subWindowList().size(), 2);
}

void FrameTest::menusFollowTheOpenViews() {
  CMainFrame* f = app_->mainFrame();
  const bool ja = QLocale::system().language() == QLocale::Japanese;
  QCOMPARE(menuBarTexts(*f), (QStringList{ja ? "ﾌｧｲﾙ(&F)" : "File(&F)", "Time Set(&N)", "Display(&D)",
                                          "Search(&M)", "Eclipse(&E)", "Bar(&V)", "Window(&W)", "Help(&H)"}));
  // The document's commands in front: Open, Save, Save As, Export Picture,
  // Print, Print Setup, the recent files and Exit, with their keys.
  QStringList fileKeys;
  for (QAction* a : f->menuBar()->actions()[0]->menu()->actions())
    if (!a->isSeparator() && a->isVisible()) fileKeys << a->shortcut().toString();
  QCOMPARE(fileKeys, (QStringList{"Ctrl+O", "Ctrl+S", "", "Ctrl+E", "Ctrl+P", "", "", "Ctrl+Q"}));
  QAction* eclipse = f->menuBar()->actions()[4];
  QVERIFY(eclipse->menu()->actions().contains(f->action(kCmdNextVisibleEclipse)));
  QCOMPARE(f->action(kCmdNextVisibleEclipse)->text(), QStringLiteral("Next Visible Eclipse"));
  QCOMPARE(f->action(kCmdNextVisibleEclipse)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_PageDown));
  QAction* bar = f->menuBar()->actions()[5];
  QStringList barItems;
  for (QAction* a : bar->menu()->actions()) barItems << a->text();
  QCOMPARE(barItems, (QStringList{"Tool Bar(&T)", "Status Bar(&S)"}));
  QAction* help = f->menuBar()->actions()[7];
  QCOMPARE(help->menu()->actions()[0]->text(), QStringLiteral("Tarvowin Version(&A)..."));
  QCOMPARE(help->menu()->actions()[1]->text(), QStringLiteral("Application Exit(&X)"));
  bar->menu()->actions()[0]->trigger();
  QVERIFY(!f->toolBar()->isVisibleTo(f));

  f->mdiArea()->closeAllSubWindows();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents();
  // The framework's menu: English, or Japanese in a Japanese locale.
  QCOMPARE(menuBarTexts(*f), ja ? (QStringList{"ﾌｧｲﾙ(&F)", "表示(&V)", "ﾍﾙﾌﾟ(&H)"})
                                : (QStringList{"File(&F)", "View(&V)", "Help(&H)"}));
  QAction* frameHelp = f->menuBar()->actions()[2];
  QCOMPARE(frameHelp->menu()->actions()[0]->text(),
           ja ? QStringLiteral("Tarvowin のﾊﾞｰｼﾞｮﾝ情報(&A)...") : QStringLiteral("About Tarvowin(&A)..."));
  QVERIFY(!f->action(kCmdNextEclipse)->isEnabled());
  QVERIFY(!f->action(kCmdPrint)->isEnabled());
}

void FrameTest::eachDocumentOwnsItsSessionAndNewWindowShowsIt() {
  CChildFrame* first = app_->mainFrame()->activeChild();
  CChildFrame* second = app_->newWindow();
  QVERIFY(second->isMaximized());
  QCOMPARE(second->document(), first->document());
  const QString picked = dir_.filePath(QStringLiteral("picked.tarvo"));
  writeSession(picked, 1997, 9);
  CChildFrame* third = app_->openDocument(picked);
  QVERIFY(third);
  QCOMPARE(third->windowTitle(), QStringLiteral("picked.tarvo"));
  QVERIFY(third->document() != first->document());
  QCOMPARE(app_->mainFrame()->mdiArea()->subWindowList().size(), 3);
  QCOMPARE(app_->mainFrame()->activeView(), third->view());
  // Opening a file changes no other document; a command changes the views
  // of its own document only.
  QCOMPARE(third->document()->state().year, 1997.0);
  QVERIFY(first->document()->state().year != 1997.0);
  third->view()->localInformation();
  QCOMPARE(third->document()->state().displayKind, 2);
  QCOMPARE(first->document()->state().displayKind, 0);
  first->view()->localInformation();
  QCOMPARE(&second->document()->state(), &first->document()->state());
  QCOMPARE(second->document()->state().displayKind, 2);
}

void FrameTest::recentFilesKeepFour() {
  QStringList made;
  for (int i = 0; i < 5; ++i) {
    const QString p = dir_.filePath(QStringLiteral("f%1.tarvo").arg(i));
    writeSession(p, 2000 + i, 1);
    made.prepend(p);
  }
  for (int i = 4; i >= 0; --i) QVERIFY(app_->openDocument(made[i]));
  QCOMPARE(app_->recentFiles(), made.mid(0, 4));
  // A file opened again moves to the top.
  QVERIFY(app_->openDocument(made[2]));
  QCOMPARE(app_->recentFiles()[0], made[2]);
  QCOMPARE(app_->recentFiles().size(), 4);
  // Kept under the profile key.
  QSettings profile(QString::fromLatin1(CVornApp::kProfileKey), QStringLiteral("TarvoWin"));
  QCOMPARE(profile.value(QStringLiteral("Recent File List/File1")).toString(), made[2]);
}

void FrameTest::versionBox() {
  CAboutDlg box;
  QCOMPARE(box.windowTitle(), QStringLiteral("Tarvowin version"));
  QStringList texts;
  for (QLabel* l : box.findChildren<QLabel*>()) texts << l->text();
  QVERIFY(texts.contains(QStringLiteral("TarvoWin Version 2.20  October 13, 2016")));
}

void FrameTest::saveWritesTheSessionAndOpenRestoresIt() {
  const QString path = dir_.filePath(QStringLiteral("saved.tarvo"));
  QFile::remove(path);
  CVornDoc* doc = app_->mainFrame()->activeChild()->document();
  tarvo::SessionState& state = doc->state();
  state.year = 1910;
  state.month = 5;
  state.gridMode = tarvo::kGridShown;
  QVERIFY(!doc->saveTo(path));
  QCOMPARE(fileBytes(path).toStdString(), tarvo::formatSessionFile(tarvo::sessionSettingsOf(state)));
  QCOMPARE(app_->mainFrame()->activeChild()->windowTitle(), QStringLiteral("saved.tarvo"));
  // A saved document saves again to its file without asking.
  state.month = 6;
  app_->saveActive();
  QVERIFY(fileBytes(path).contains("month = 6\n"));

  state.year = 2400;
  state.gridMode = tarvo::kGridHidden;
  CChildFrame* opened = app_->openDocument(path);
  QVERIFY(opened);
  const tarvo::SessionState& reopened = opened->document()->state();
  QCOMPARE(reopened.year, 1910.0);
  QCOMPARE(reopened.month, 6.0);
  QCOMPARE(reopened.gridMode, tarvo::kGridShown);
  QCOMPARE(state.year, 2400.0);  // the first document keeps its own
  QCOMPARE(app_->recentFiles().value(0), QFileInfo(path).absoluteFilePath());
}

void FrameTest::saveReportsTheFileAndReason() {
  const QString path = dir_.filePath(QStringLiteral("no/such/dir/x.tarvo"));
  CVornDoc doc(QStringLiteral("Tarvo1"), QString(), ".");
  const auto error = doc.saveTo(path);
  QVERIFY(error);
  QVERIFY(error->contains(path));
  QCOMPARE(doc.title(), QStringLiteral("Tarvo1"));
}

// Session files given at start-up or opened later: each its own document,
// its site resolved before any paint and kept by it, saved back as it was;
// no extra empty view. A city the list lacks is refused with its line.
void FrameTest::sessionFilesAreWholeBeforeTheirFirstPaint() {
  const QByteArray typedSite =
      "TarvoWin session 1\nyear = -2000\nmonth = 1\nsite = typed\nlongitude = 10\nlatitude = 20\n"
      "height = 0\ngrid = on\ndelta_t_model = smh2020\ndt_bands = on\n";
  const QByteArray citySite = "\xEF\xBB\xBFTarvoWin session 1\nyear = 1066\nmonth = 3\ndisplay = local\n"
                              "site = city\ncity = New York\n";
  const QStringList paths = {dir_.filePath(QStringLiteral("a.tarvo")), dir_.filePath(QStringLiteral("b.tarvo")),
                             dir_.filePath(QStringLiteral("bad.tarvo"))};
  const QByteArray bytes[] = {typedSite, citySite, "TarvoWin session 1\nyear = 1\nmonth = 1\n\ncity = Atlantis\n"};
  for (int i = 0; i < 3; ++i) {
    QFile f(paths[i]);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes[i]);
  }
  const auto siteOf = [](CChildFrame* child) { return child->document()->state().site; };
  app_ = std::make_unique<CVornApp>();
  QVERIFY(app_->initInstance(paths.mid(0, 2)));
  const QList<QMdiSubWindow*> children = app_->mainFrame()->mdiArea()->subWindowList();
  QCOMPARE(children.size(), 2);
  auto* a = static_cast<CChildFrame*>(children[0]);
  auto* b = static_cast<CChildFrame*>(children[1]);
  QCOMPARE(a->view()->paintCount() + b->view()->paintCount(), 0);
  QVERIFY(siteOf(a).typed());
  QCOMPARE(siteOf(a).where.longitudeDeg, 10.0);
  QCOMPARE(QString::fromStdString(a->document()->state().sites.byNumber(siteOf(b).cityNumber)->name),
           QStringLiteral("New York"));
  QCOMPARE(siteOf(b).where.longitudeDeg, -74.0064);
  for (CChildFrame* child : {a, b}) {
    app_->mainFrame()->mdiArea()->setActiveSubWindow(child);
    child->view()->paintPending();
  }
  QCOMPARE(siteOf(a).where.latitudeDeg, 20.0);
  QCOMPARE(siteOf(b).where.latitudeDeg, 40.7142);
  QCOMPARE(b->document()->state().year, 1066.0);
  QCOMPARE(a->document()->state().year, -2000.0);
  QVERIFY(b->view()->shownText().contains(QStringLiteral("New York")));
  // Each saved: each file holds its own values, as they were opened.
  for (CChildFrame* child : {a, b}) {
    app_->mainFrame()->mdiArea()->setActiveSubWindow(child);
    app_->saveActive();
  }
  const QByteArray savedA = fileBytes(paths[0]), savedB = fileBytes(paths[1]);
  for (const char* line : {"year = -2000\n", "site = typed\n", "longitude = 10\n", "latitude = 20\n",
                           "grid = on\n", "delta_t_model = smh2020\n", "dt_bands = on\n"})
    QVERIFY2(savedA.contains(line), line);
  for (const char* line : {"year = 1066\n", "month = 3\n", "display = local\n", "city = New York\n",
                           "grid = off\n", "delta_t_model = builtin\n"})
    QVERIFY2(savedB.contains(line), line);
  // Opened by Ctrl+O: the same document as at start-up.
  CChildFrame* again = app_->openDocument(paths[1]);
  QVERIFY(again && again->document() != b->document());
  QCOMPARE(siteOf(again).cityNumber, siteOf(b).cityNumber);
  QCOMPARE(again->view()->paintCount(), 0);
  // An unknown city: refused, naming the file, the line and the city.
  QString message;
  {
    ModalAnswers answers({[&](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      QVERIFY(box);
      message = box->text();
      box->accept();
    }});
    QVERIFY(!app_->openDocument(paths[2]));
    QTRY_VERIFY_WITH_TIMEOUT(answers.done(), kModalWaitMs);
  }
  QCOMPARE(message, QStringLiteral("Cannot open %1: line 5: no city named \"Atlantis\" in location.new").arg(paths[2]));
  QCOMPARE(app_->mainFrame()->mdiArea()->subWindowList().size(), 3);
  QCOMPARE(fileBytes(paths[2]), bytes[2]);
}

// A document is changed when it differs from what was opened, saved or
// first shown. Closing its last view or quitting asks; Cancel keeps it, Save
// writes it. The star map on show is kept and drawn again on reopening.
void FrameTest::changedDocumentAsksToSaveAndKeepsTheDisplayShown() {
  CMainFrame* f = app_->mainFrame();
  CChildFrame* child = f->activeChild();
  child->view()->paintPending();
  CVornDoc* doc = child->document();
  const QString path = dir_.filePath(QStringLiteral("sky.tarvo"));
  QVERIFY(!doc->isModified());
  QVERIFY(!doc->saveTo(path));
  child->view()->starMap();
  QVERIFY(doc->isModified());
  const auto answer = [](QMessageBox::StandardButton button) {
    return [button](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      QVERIFY(box && box->text().contains(QStringLiteral("sky.tarvo")));
      box->button(button)->click();
    };
  };
  {
    ModalAnswers answers({answer(QMessageBox::Cancel), answer(QMessageBox::Cancel)});
    QVERIFY(!child->close());
    QVERIFY(!f->close());
    QTRY_VERIFY_WITH_TIMEOUT(answers.done(), kModalWaitMs);
  }
  QCOMPARE(f->mdiArea()->subWindowList().size(), 1);
  QVERIFY(!fileBytes(path).contains("display = sky\n"));
  {
    ModalAnswers answers({answer(QMessageBox::Save)});
    QVERIFY(f->close());
    QTRY_VERIFY_WITH_TIMEOUT(answers.done(), kModalWaitMs);
  }
  QVERIFY(fileBytes(path).contains("display = sky\n"));
  app_ = std::make_unique<CVornApp>();
  QVERIFY(app_->initInstance({path}));
  app_->mainFrame()->activeView()->paintPending();
  QCOMPARE(app_->activeDocument()->state().drawnOver, tarvo::DrawnOver::StarMap);
  QVERIFY(!app_->activeDocument()->isModified());
}

// A city list with a bad line: its message in the status bar after the
// first paint, and not sent again by later paints or other views.
void FrameTest::cityListMessageInTheStatusBarOnce() {
  QTemporaryDir data;
  QFile list(data.filePath(QStringLiteral("location.new")));
  QVERIFY(list.open(QIODevice::WriteOnly));
  list.write("Tokyo,139.77,35.68,40,9\nFar,0,999,0,9\n");
  list.close();
  const QString previous = QDir::currentPath();
  QDir::setCurrent(data.path());
  app_ = std::make_unique<CVornApp>();
  QVERIFY(app_->initInstance());
  CVornView* view = app_->mainFrame()->activeView();
  QSignalSpy messages(view, &CVornView::statusMessage);
  view->paintPending();
  view->nextEclipse();
  view->paintPending();
  app_->newDocument()->view()->paintPending();
  QDir::setCurrent(previous);
  QCOMPARE(messages.count(), 1);
  QCOMPARE(app_->mainFrame()->messagePane()->text(),
           QStringLiteral("location.new line 2: latitude 999 outside \u2212" "90..90 (1 line skipped)"));
}

// After each paint the status bar shows ΔT ± σ of the session's eclipse.
void FrameTest::statusBarShowsDeltaTAndSigma() {
  CVornView* view = app_->mainFrame()->activeView();
  auto& state = app_->activeDocument()->state();
  state.deltaTChoice.model = tarvo::DeltaTModel::kSmh2020;
  view->mapDisplay();
  view->paintPending();
  const QString text = app_->mainFrame()->deltaTPane()->text();
  QVERIFY(text.startsWith(QStringLiteral("ΔT ")));
  QCOMPARE(text, QString::fromStdString(tarvo::deltaTUncertaintyText(state.deltaT, state.deltaTSigma)));
  QCOMPARE(state.deltaT, tarvo::deltaTSeconds(tarvo::DeltaTModel::kSmh2020,
                                              (state.current.greatestJdTt - 2451545.0) / 36525.0));
}

void FrameTest::openRefusesAFileThatIsNoSession() {
  // Ctrl+O on a copy of the city list, then Ctrl+S: a message, the file unchanged.
  const QString path = dir_.filePath(QStringLiteral("location.new"));
  QFile::remove(path);
  QVERIFY(QFile::copy(QStringLiteral("location.new"), path));
  const QByteArray before = fileBytes(path);
  QVERIFY(!before.isEmpty());
  CMainFrame* f = app_->mainFrame();
  f->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(f));
  QString message;
  bool saveAsked = false;
  {
    // What Ctrl+O does with the file chosen in its dialog.
    ModalAnswers answers({[&](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      QVERIFY(box);
      message = box->text();
      box->accept();
    }});
    QVERIFY(!app_->openDocument(path));
    QTRY_VERIFY_WITH_TIMEOUT(answers.done(), kModalWaitMs);
  }
  QVERIFY(message.contains(path));
  QVERIFY(message.contains(QStringLiteral("session")));
  QCOMPARE(f->mdiArea()->subWindowList().size(), 1);
  QVERIFY(app_->recentFiles().isEmpty());
  f->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(f));
  {
    // The view on top was never opened from a file: Save asks for a name.
    ModalAnswers answers({[&](QWidget* w) {
      auto* save = qobject_cast<QFileDialog*>(w);
      QVERIFY(save);
      saveAsked = save->acceptMode() == QFileDialog::AcceptSave &&
                  save->nameFilters().join(QString()).contains(QStringLiteral("*.tarvo"));
      static_cast<QDialog*>(save)->reject();
    }});
    QTest::keyClick(f, Qt::Key_S, Qt::ControlModifier);
    QTRY_VERIFY_WITH_TIMEOUT(answers.done(), kModalWaitMs);
  }
  QVERIFY(saveAsked);
  QCOMPARE(fileBytes(path), before);
}

void FrameTest::f1ShowsHelpWithTheLegend() {
  CMainFrame* f = app_->mainFrame();
  f->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(f));
  QTest::keyClick(f, Qt::Key_F1);
  auto* help = qobject_cast<QTextBrowser*>(f->helpWindow());
  QVERIFY(help != nullptr);
  QVERIFY(help->isVisible());
  const QString text = help->toPlainText();
  QVERIFY(text.contains(QStringLiteral("counted from the south")));
  QVERIFY(text.contains(QStringLiteral("UD")));
  const QImage legend = help->document()
                            ->resource(QTextDocument::ImageResource, QUrl(QStringLiteral("legend.png")))
                            .value<QImage>();
  QCOMPARE(legend.width(), tarvo::kZoneLegendWidth);
  // The brown swatch of the first row.
  bool brown = false;
  for (int x = 9; x < 47 && !brown; ++x)
    for (int y = 5; y < 19 && !brown; ++y) brown = legend.pixel(x, y) == qRgb(170, 68, 0);
  QVERIFY(brown);
  // Escape closes it, as it closes a dialog.
  help->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(help));
  QTest::keyClick(help, Qt::Key_Escape);
  QTRY_VERIFY(!help->isVisible());
}

void FrameTest::everyCommandFromTheKeyboard() {
  CMainFrame* f = app_->mainFrame();
  CVornView* view = f->activeView();
  tarvo::SessionState& state = app_->activeDocument()->state();
  f->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(f));
  view->paintPending();
  auto key = [&](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
    QTest::keyClick(f, k, m);
    view->paintPending();
  };
  // Page Down / Page Up: the next eclipse and back.
  const double first = state.year * 12 + state.month;
  key(Qt::Key_PageDown);
  const double next = state.year * 12 + state.month;
  QVERIFY(next > first);
  key(Qt::Key_PageUp);
  QVERIFY(state.year * 12 + state.month < next);
  // Ctrl+2, Ctrl+1: the displays; the view describes what it shows.
  key(Qt::Key_2, Qt::ControlModifier);
  QCOMPARE(state.displayKind, tarvo::kDisplayLocalReport);
  QCOMPARE(view->accessibleDescription(), view->shownText());
  const QString report = view->shownText();
  key(Qt::Key_1, Qt::ControlModifier);
  QCOMPARE(state.displayKind, tarvo::kDisplayWorldMap);
  QVERIFY(!view->shownText().isEmpty());
  QVERIFY(view->shownText() != report);
  QVERIFY(!view->accessibleName().isEmpty());
  // Ctrl+3 runs the simulation, Escape stops it; Ctrl+4 draws the star map,
  // Ctrl+5 the horizon chart.
  key(Qt::Key_3, Qt::ControlModifier);
  QVERIFY(view->simulationRunning());
  key(Qt::Key_Escape);
  QVERIFY(!view->simulationRunning());
  const QImage beforeSky = view->shownImage();
  key(Qt::Key_4, Qt::ControlModifier);
  QVERIFY(view->shownImage() != beforeSky);
  QVERIFY(view->shownText().contains(QStringLiteral("Sky at Max. Magnitude")));
  QVERIFY(view->accessibleDescription().startsWith(view->shownText()));
  key(Qt::Key_5, Qt::ControlModifier);
  QVERIFY(view->shownImage() != beforeSky);
  QVERIFY(view->shownText().contains(QStringLiteral("Horizon from")));
  // Ctrl+L: the list window.
  key(Qt::Key_L, Qt::ControlModifier);
  QVERIFY(view->listDialog()->isVisible());
  view->destroyListWindow();
  f->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(f));

  // The menus by their letters: Alt+E, the last two items are the map's options.
  const int gridBefore = state.gridMode;
  QTest::keyClick(f, Qt::Key_E, Qt::AltModifier);
  QMenu* eclipse = f->menuBar()->actions()[4]->menu();
  QTRY_VERIFY(eclipse->isVisible());
  QTest::keyClick(eclipse, Qt::Key_Up);
  QTest::keyClick(eclipse, Qt::Key_Up);
  QTest::keyClick(eclipse, Qt::Key_Return);
  QTRY_COMPARE(state.gridMode, gridBefore == tarvo::kGridShown ? tarvo::kGridHidden : tarvo::kGridShown);
  const int outlineBefore = state.outlineChoice;
  QTest::keyClick(f, Qt::Key_E, Qt::AltModifier);
  QTRY_VERIFY(eclipse->isVisible());
  QTest::keyClick(eclipse, Qt::Key_Up);
  QTest::keyClick(eclipse, Qt::Key_Return);
  QTRY_VERIFY(state.outlineChoice != outlineBefore);
  // Alt+W, N: a new window; Alt+W, T: tiled.
  QTest::keyClick(f, Qt::Key_W, Qt::AltModifier);
  QMenu* window = f->menuBar()->actions()[6]->menu();
  QTRY_VERIFY(window->isVisible());
  QTest::keyClick(window, Qt::Key_N);
  QTRY_COMPARE(f->mdiArea()->subWindowList().size(), 2);
  QTest::keyClick(f, Qt::Key_W, Qt::AltModifier);
  QTRY_VERIFY(window->isVisible());
  QTest::keyClick(window, Qt::Key_T);
  QTRY_VERIFY(!f->mdiArea()->subWindowList()[0]->isMaximized());

  // Alt+N, Alt+D, Alt+M: the three dialogs, each closed by Escape.
  const std::pair<Qt::Key, const char*> dialogs[] = {
      {Qt::Key_N, "tarvo::window::CWhenDlg"},
      {Qt::Key_D, "tarvo::window::CDisplayDlg"},
      {Qt::Key_M, "tarvo::window::CModeDlg"}};
  for (const auto& [letter, className] : dialogs) {
    QString opened;
    ModalAnswers answers({[&](QWidget* w) {
      opened = QString::fromLatin1(w->metaObject()->className());
      QTest::keyClick(w, Qt::Key_Escape);
    }});
    f->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f));
    QTest::keyClick(f, letter, Qt::AltModifier);
    QTRY_VERIFY_WITH_TIMEOUT(answers.done(), kModalWaitMs);
    QCOMPARE(opened, QString::fromLatin1(className));
  }
}

void FrameTest::restoredViewKeepsAUsableSize() {
  QMdiSubWindow* child = app_->mainFrame()->mdiArea()->subWindowList()[0];
  child->showNormal();
  QVERIFY(!child->isMaximized());
  const QSize view = app_->mainFrame()->activeView()->size();
  QVERIFY2(view.width() >= 300 && view.height() >= 200, qPrintable(QStringLiteral("%1x%2").arg(view.width()).arg(view.height())));
}

// Cascade steps the views with a usable size each; a frame made too short
// for the information panel keeps it whole (the view does not shrink below it).
void FrameTest::cascadeAndAShortFrameKeepViewsWhole() {
  CMainFrame* f = app_->mainFrame();
  f->resize(1400, 300);
  QApplication::processEvents();
  QVERIFY(f->activeView()->height() >= tarvo::kInfoPanelRows);
  f->resize(1000, 800);
  QApplication::processEvents();
  app_->newWindow();
  app_->newWindow();
  f->cascadeViews();
  QSet<int> lefts;
  for (QMdiSubWindow* child : f->mdiArea()->subWindowList()) {
    QVERIFY(!child->isMaximized());
    QVERIFY2(child->width() >= kLeastViewSize.width() && child->height() >= kLeastViewSize.height(),
             qPrintable(QStringLiteral("%1x%2").arg(child->width()).arg(child->height())));
    QVERIFY(f->mdiArea()->viewport()->rect().contains(child->geometry()));
    lefts << child->x();
  }
  QCOMPARE(lefts.size(), 3);
}

void FrameTest::lockKeyIndicatorsLightWhenOn() {
  CMainFrame* f = app_->mainFrame();
  const auto lit = [f] {
    QList<bool> on;
    for (QLabel* box : f->indicators()) on << box->isEnabled();
    return on;
  };
  f->showLockKeys(LockKeys{.kana = false, .caps = true, .num = false, .scroll = true});
  QCOMPARE(lit(), (QList<bool>{false, true, false, true}));
  f->showLockKeys(std::nullopt);
  QCOMPARE(lit(), (QList<bool>{false, false, false, false}));
}

void FrameTest::statusBarSaysWhatIsSeenUnderTheMouse() {
  CMainFrame* f = app_->mainFrame();
  CVornView* view = f->activeView();
  view->paintPending();
  // A narrow frame: the words still come first, the ΔT pane gives way.
  f->resize(600, f->height());
  QApplication::processEvents();
  view->paintPending();
  const tarvo::SessionState& s = app_->activeDocument()->state();
  QTest::mouseMove(view, QPoint((s.mapFrame.left + s.mapFrame.right) / 2, (s.mapFrame.top + s.mapFrame.bottom) / 2));
  const QString line = f->statusBar()->currentMessage();
  QVERIFY2(line.startsWith(QStringLiteral("Lon ")) && line.contains(QStringLiteral(" Lat ")) &&
               line.contains(QStringLiteral(" \u2014 ")),
           qPrintable(line));
  QVERIFY2(f->deltaTSlider()->x() >= 8 + f->statusBar()->fontMetrics().horizontalAdvance(line),
           qPrintable(QStringLiteral("%1 px for \"%2\"").arg(f->deltaTSlider()->x()).arg(line)));
  QVERIFY(f->deltaTPane()->width() < f->deltaTPane()->sizeHint().width());
  QVERIFY(f->deltaTPane()->text().contains(QStringLiteral(" in longitude)")));
  // A repaint takes the words away: they may no longer hold.
  view->nextEclipse();
  view->paintPending();
  QCOMPARE(f->statusBar()->currentMessage(), QString());
  // Over the star map drawn on top, the map's words are not said.
  view->starMap();
  QTest::mouseMove(view, QPoint((s.mapFrame.left + s.mapFrame.right) / 2 + 3, (s.mapFrame.top + s.mapFrame.bottom) / 2));
  QVERIFY(!f->statusBar()->currentMessage().startsWith(QStringLiteral("Lon ")));
}

void FrameTest::exportPictureAtTheClientSizeOrATypedOne() {
  CMainFrame* f = app_->mainFrame();
  CVornView* view = f->activeView();
  view->paintPending();
  const QString shown = dir_.filePath(QStringLiteral("shown.png"));
  const QString large = dir_.filePath(QStringLiteral("large.png"));
  QVERIFY(!view->exportPictureTo(shown, view->size()));
  QCOMPARE(QImage(shown).convertToFormat(QImage::Format_RGB32), view->shownImage());
  // Ctrl+E: the size typed, then the file.
  f->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(f));
  {
    ModalAnswers answers({[&](QWidget* w) {
                            auto* edit = w->findChild<QLineEdit*>();
                            QVERIFY(edit);
                            QCOMPARE(edit->text(), QStringLiteral("%1x%2").arg(view->width()).arg(view->height()));
                            edit->setText(QStringLiteral("1600x1000"));
                            QTest::keyClick(edit, Qt::Key_Return);
                          },
                          [&](QWidget* w) {
                            auto* save = qobject_cast<QFileDialog*>(w);
                            QVERIFY(save);
                            static_cast<QDialog*>(save)->reject();
                          }});
    QTest::keyClick(f, Qt::Key_E, Qt::ControlModifier);
    QTRY_VERIFY_WITH_TIMEOUT(answers.done(), kModalWaitMs);
  }
  // What it then writes at the typed size.
  QVERIFY(!view->exportPictureTo(large, QSize(1600, 1000)));
  QCOMPARE(QImage(large).size(), QSize(1600, 1000));
  // The view keeps its own layout.
  QCOMPARE(app_->activeDocument()->state().mapFrame.right < 1600, true);
  // A file that cannot be written: the reason, naming the file.
  const auto error = view->exportPictureTo(dir_.filePath(QStringLiteral("no/dir/x.png")), QSize(10, 10));
  QVERIFY(error && error->contains(QStringLiteral("no/dir/x.png")));
}

QTEST_MAIN(FrameTest)
#include "frame_test.moc"
