#include "app/window/main_frame.h"

#include <QCloseEvent>
#include <QMoveEvent>
#include <QShowEvent>
#include <QWindow>
#include <QKeyEvent>
#include <QLayout>
#include <QStyle>

#include <QAction>
#include <QApplication>
#include <QScreen>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QStatusBar>
#include <QToolBar>

#include <algorithm>
#include <utility>

#include "app/window/child_frame.h"
#include "app/window/framework_texts.h"
#include "app/window/help_window.h"
#include "app/window/shrinking_label.h"
#include "app/window/toolbar_icons.h"
#include "app/window/vorn_view.h"

namespace tarvo::window {

namespace {
// The status-bar prompt and the tool tip of a command, as one resource string.
void setPrompt(QAction* a, const QString& prompt) {
  const qsizetype cut = prompt.indexOf(QLatin1Char('\n'));
  a->setStatusTip(prompt.left(cut));
  a->setToolTip(cut < 0 ? QString() : prompt.mid(cut + 1));
}
}  // namespace

CMainFrame::CMainFrame(int recentFiles) : mdi_(new QMdiArea) {
  setWindowTitle(QStringLiteral("TarvoWin"));
  setWindowIcon(applicationIcon());
  setCentralWidget(mdi_);
  createActions(recentFiles);
  createToolBar();
  createStatusBar();
  createMenus();
  connect(mdi_, &QMdiArea::subWindowActivated, this, &CMainFrame::updateMenus);
  // The first size, no larger than the screen's room for windows; the
  // frame, not known before the window is shown, is taken off when it is.
  const QRect room = screen()->availableGeometry();
  move(room.topLeft());
  resize(firstClientSize(room.size(), QMargins()));
  updateMenus();
  // The lock keys' indicators follow the keyboard; the status bar's panes
  // follow its width.
  qApp->installEventFilter(this);
  statusBar()->installEventFilter(this);
  showLockKeys(readLockKeys());
}

QSize firstClientSize(const QSize& room, const QMargins& frame) {
  return kFirstFrameSize.boundedTo(room.shrunkBy(frame));
}

void CMainFrame::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shownBefore_) return;
  shownBefore_ = true;
  frameWait_ = QDeadlineTimer(kFrameWaitMs);
  fitFirstSizeToFrame();
}

// The window manager moves the window into its frame when it puts one around.
void CMainFrame::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  if (!frameWait_.hasExpired()) fitFirstSizeToFrame();
}

void CMainFrame::fitFirstSizeToFrame() {
  const QWindow* window = windowHandle();
  const QMargins frame = window != nullptr ? window->frameMargins() : QMargins();
  if (frame.isNull()) return;
  frameWait_ = QDeadlineTimer();
  if (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) return;
  const QRect room = screen()->availableGeometry();
  resize(firstClientSize(room.size(), frame));
  move(room.topLeft());  // a window's place is its frame's
}

CMainFrame::~CMainFrame() {
  // The sub-windows close while the frame is taken down; the menus need no
  // updating then.
  disconnect(mdi_, nullptr, this, nullptr);
  for (QMdiSubWindow* child : mdi_->subWindowList()) disconnect(child, nullptr, this, nullptr);
}

QAction* CMainFrame::viewCommand(int id, const QString& text, void (CVornView::*slot)(),
                                 const QString& prompt) {
  auto* a = new QAction(text, this);
  a->setData(id);
  if (!prompt.isEmpty()) setPrompt(a, prompt);
  connect(a, &QAction::triggered, this, [this, slot] {
    if (CVornView* v = activeView()) (v->*slot)();
  });
  commands_[id] = a;
  viewCommands_ << a;
  return a;
}

void CMainFrame::createActions(int recentFiles) {
  viewCommand(kCmdTimeSet, QStringLiteral("Time Set(&N)"), &CVornView::timeSet);
  viewCommand(kCmdDisplay, QStringLiteral("Display(&D)"), &CVornView::display);
  viewCommand(kCmdSearch, QStringLiteral("Search(&M)"), &CVornView::search);
  viewCommand(kCmdPreviousEclipse, QStringLiteral("Previous Eclipse"),
              &CVornView::previousEclipse, QStringLiteral("Previous Eclipse\nPrevious Eclipse"));
  viewCommand(kCmdNextEclipse, QStringLiteral("Next Eclipse"), &CVornView::nextEclipse,
              QStringLiteral("Display Next Eclipse\nNext Eclipse"));
  viewCommand(kCmdEclipseList, QStringLiteral("Eclipse List"), &CVornView::eclipseList,
              QStringLiteral("Eclipse Search List\nEclipse List"));
  viewCommand(kCmdMapDisplay, QStringLiteral("Map Display"), &CVornView::mapDisplay,
              QStringLiteral("Map Display Mode\nMap Display"));
  viewCommand(kCmdLocalInformation, QStringLiteral("Local Information"),
              &CVornView::localInformation,
              QStringLiteral("Display Loacal Information\nLocal Information"));
  viewCommand(kCmdSimulation, QStringLiteral("Simulation"), &CVornView::simulation,
              QStringLiteral("Simulation Display\nSimulation"));
  viewCommand(kCmdStarMap, QStringLiteral("StarMap"), &CVornView::starMap,
              QStringLiteral("Display StarMap\nStarMap"));
  viewCommand(kCmdHorizon, QStringLiteral("Horizon"), &CVornView::horizon,
              QStringLiteral("The horizon toward the Moon during the eclipse\nHorizon"));
  viewCommand(kCmdNextVisibleEclipse, QStringLiteral("Next Visible Eclipse"), &CVornView::nextVisibleEclipse,
              QStringLiteral("Display the next eclipse seen from the site\nNext Visible Eclipse"));
  commands_[kCmdNextVisibleEclipse]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageDown));
  commands_[kCmdPreviousEclipse]->setIcon(toolIcon(ToolIcon::PreviousEclipse));
  commands_[kCmdNextEclipse]->setIcon(toolIcon(ToolIcon::NextEclipse));
  commands_[kCmdEclipseList]->setIcon(toolIcon(ToolIcon::EclipseList));
  commands_[kCmdMapDisplay]->setIcon(toolIcon(ToolIcon::MapDisplay));
  commands_[kCmdLocalInformation]->setIcon(toolIcon(ToolIcon::LocalInformation));
  commands_[kCmdSimulation]->setIcon(toolIcon(ToolIcon::Simulation));
  commands_[kCmdStarMap]->setIcon(toolIcon(ToolIcon::StarMap));

  auto* version = new QAction(toolIcon(ToolIcon::Version), QStringLiteral("Tarvowin Version(&A)..."),
                              this);
  version->setData(kCmdVersion);
  setPrompt(version, QStringLiteral("Program Version Information\nVersion"));
  connect(version, &QAction::triggered, this, &CMainFrame::aboutRequested);
  commands_[kCmdVersion] = version;

  auto* exit = new QAction(QStringLiteral("Application Exit(&X)"), this);
  exit->setData(kCmdExit);
  setPrompt(exit, QStringLiteral("Quit Application\nQuit"));
  connect(exit, &QAction::triggered, this, &QWidget::close);
  commands_[kCmdExit] = exit;

  // The frame's own menu, in the framework's words (translated by locale).
  newAct_ = new QAction(frameworkText("New(&N)"), this);
  newAct_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
  connect(newAct_, &QAction::triggered, this, &CMainFrame::newRequested);
  openAct_ = new QAction(frameworkText("Open(&O)..."), this);
  openAct_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  connect(openAct_, &QAction::triggered, this, &CMainFrame::openRequested);
  saveAct_ = new QAction(frameworkText("Save(&S)"), this);
  saveAct_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  connect(saveAct_, &QAction::triggered, this, &CMainFrame::saveRequested);
  printAct_ = new QAction(frameworkText("Print(&P)..."), this);
  printAct_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
  printAct_->setData(kCmdPrint);
  connect(printAct_, &QAction::triggered, this, &CMainFrame::printRequested);
  commands_[kCmdPrint] = printAct_;
  saveAsAct_ = new QAction(frameworkText("Save As(&A)..."), this);
  connect(saveAsAct_, &QAction::triggered, this, &CMainFrame::saveAsRequested);
  // The four keys work whichever menu is shown.
  addActions({newAct_, openAct_, saveAct_, printAct_});

  printSetupAct_ = new QAction(frameworkText("Print Setup(&R)..."), this);
  connect(printSetupAct_, &QAction::triggered, this, &CMainFrame::printSetupRequested);
  frameVersionAct_ = new QAction(frameworkText("About Tarvowin(&A)..."), this);
  setPrompt(frameVersionAct_, QStringLiteral("Program Version Information\nVersion"));
  connect(frameVersionAct_, &QAction::triggered, this, &CMainFrame::aboutRequested);
  frameExitAct_ = new QAction(frameworkText("Exit(&X)"), this);
  frameExitAct_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
  setPrompt(frameExitAct_, QStringLiteral("Quit Application\nQuit"));
  connect(frameExitAct_, &QAction::triggered, this, &QWidget::close);
  addAction(frameExitAct_);

  helpContentsAct_ = new QAction(QStringLiteral("Contents(&C)"), this);
  helpContentsAct_->setShortcut(QKeySequence::HelpContents);
  setPrompt(helpContentsAct_, QStringLiteral("Help on the displays, the map's zones and the keys\nHelp"));
  connect(helpContentsAct_, &QAction::triggered, this, &CMainFrame::showHelp);
  addAction(helpContentsAct_);

  noRecentAct_ = new QAction(frameworkText("Recent File"), this);
  noRecentAct_->setEnabled(false);
  for (int i = 0; i < recentFiles; ++i) {
    auto* a = new QAction(this);
    a->setVisible(false);
    connect(a, &QAction::triggered, this, [this, a] { emit recentFileChosen(a->data().toString()); });
    recentActs_ << a;
  }
}

void CMainFrame::createToolBar() {
  toolBar_ = new QToolBar(QStringLiteral("Tool Bar"), this);
  toolBar_->setObjectName(QStringLiteral("toolBar"));
  toolBar_->setIconSize(QSize(kToolIconSize, kToolIconSize));
  toolBar_->setMovable(true);
  toolBar_->setFloatable(true);
  toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
  toolBar_->addAction(commands_[kCmdPreviousEclipse]);
  toolBar_->addAction(commands_[kCmdNextEclipse]);
  toolBar_->addAction(commands_[kCmdEclipseList]);
  toolBar_->addSeparator();
  toolBar_->addAction(commands_[kCmdMapDisplay]);
  toolBar_->addAction(commands_[kCmdLocalInformation]);
  toolBar_->addAction(commands_[kCmdSimulation]);
  toolBar_->addAction(commands_[kCmdStarMap]);
  toolBar_->addSeparator();
  toolBar_->addAction(commands_[kCmdVersion]);
  for (int id : kUnusedButtonIds) {
    auto* a = toolBar_->addAction(toolIcon(ToolIcon::Unused), QString());
    a->setData(id);
    a->setEnabled(false);
  }
  addToolBar(Qt::TopToolBarArea, toolBar_);
}

void CMainFrame::createStatusBar() {
  message_ = new QLabel(QStringLiteral("Ready"));
  statusBar()->addWidget(message_, 1);
  connect(statusBar(), &QStatusBar::messageChanged, this, &CMainFrame::fitStatusPanes);
  // The ΔT drag: ±10 σ in steps of σ/10, the model in the middle.
  deltaTSlider_ = new QSlider(Qt::Horizontal);
  deltaTSlider_->setRange(-100, 100);
  deltaTSlider_->setPageStep(10);
  deltaTSlider_->setMinimumWidth(kSliderLeastWidth);
  deltaTSlider_->setMaximumWidth(kSliderWidth);
  deltaTSlider_->setAccessibleName(QStringLiteral("ΔT adjustment"));
  deltaTSlider_->setToolTip(QStringLiteral("ΔT: drag in steps of σ/10 (Ctrl+Left, Ctrl+Right; Ctrl+Home: the model)"));
  statusBar()->addPermanentWidget(deltaTSlider_);
  connect(deltaTSlider_, &QSlider::valueChanged, this, [this](int steps) {
    if (CVornView* v = activeView()) v->setDeltaTSteps(steps);
  });
  deltaT_ = new CShrinkingLabel;
  statusBar()->addPermanentWidget(deltaT_);
  // The keyboard indicators, narrow boxes greyed while their key is off.
  for (const char* text : {"KANA", "CAP", "NUM", "SCRL"}) {
    auto* label = new QLabel(QString::fromLatin1(text));
    label->setEnabled(false);
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setContentsMargins(1, 0, 1, 0);
    label->setAlignment(Qt::AlignCenter);
    label->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    statusBar()->addPermanentWidget(label);
    indicators_ << label;
  }
}

void CMainFrame::showLockKeys(const std::optional<LockKeys>& keys) {
  const bool on[] = {keys && keys->kana, keys && keys->caps, keys && keys->num, keys && keys->scroll};
  for (int i = 0; i < indicators_.size(); ++i) indicators_[i]->setEnabled(on[i]);
}

void CMainFrame::setDeltaTText(const QString& text) {
  deltaT_->setText(text);
  fitStatusPanes();
}

// The message shown for a while (the words for the place under the mouse)
// comes first: the ΔT pane gives it the room it needs, down to nothing, and
// then the ΔT slider, down to its least width.
void CMainFrame::fitStatusPanes() {
  QStatusBar* bar = statusBar();
  deltaT_->setMaximumWidth(QWIDGETSIZE_MAX);
  deltaTSlider_->setMaximumWidth(kSliderWidth);
  const QString said = bar->currentMessage();
  if (said.isEmpty() || bar->layout() == nullptr) return;
  // The message is drawn from x = 6 up to 2 pixels before the first permanent pane.
  constexpr int kMessageLeft = 6, kMessageGap = 2;
  const int need = kMessageLeft + bar->fontMetrics().horizontalAdvance(said) + kMessageGap;
  // The layout may hand what one pane gives up to another squeezed one, so
  // the panes give way until the message has its room or they have no more.
  for (int round = 0; round < 8; ++round) {
    bar->layout()->activate();
    const int shortfall = need - deltaTSlider_->x();
    if (shortfall <= 0) return;
    if (deltaT_->width() > 0)
      deltaT_->setMaximumWidth(std::max(deltaT_->width() - shortfall, 0));
    else if (deltaTSlider_->width() > kSliderLeastWidth)
      deltaTSlider_->setMaximumWidth(std::max(deltaTSlider_->width() - shortfall, kSliderLeastWidth));
    else
      return;
  }
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyRelease || event->type() == QEvent::ApplicationActivate)
    showLockKeys(readLockKeys());
  if (watched == statusBar() && event->type() == QEvent::Resize)
    QMetaObject::invokeMethod(this, &CMainFrame::fitStatusPanes, Qt::QueuedConnection);
  return QMainWindow::eventFilter(watched, event);
}

QAction* CMainFrame::barToggle(const QString& text, QWidget* bar) {
  auto* a = new QAction(text, this);
  a->setCheckable(true);
  a->setChecked(true);
  connect(a, &QAction::toggled, bar, &QWidget::setVisible);
  return a;
}

void CMainFrame::createMenus() {
  // The view's menu.
  auto* bars = new QMenu(QStringLiteral("Bar(&V)"), this);
  QAction* toolToggle = barToggle(QStringLiteral("Tool Bar(&T)"), toolBar_);
  QAction* statusToggle = barToggle(QStringLiteral("Status Bar(&S)"), statusBar());
  bars->addActions({toolToggle, statusToggle});
  auto* help = new QMenu(QStringLiteral("Help(&H)"), this);
  help->addAction(commands_[kCmdVersion]);
  help->addAction(commands_[kCmdExit]);
  help->addSeparator();
  help->addAction(helpContentsAct_);
  QMenu* eclipse = createEclipseMenu();
  // The document's commands, in front of the view's own menu.
  auto* viewFile = new QMenu(frameworkText("File(&F)"), this);
  viewFile->addActions({openAct_, saveAct_, saveAsAct_});
  viewFile->addSeparator();
  viewFile->addAction(commands_[kCmdExportPicture]);
  viewFile->addActions({printAct_, printSetupAct_});
  viewFile->addSeparator();
  viewFile->addAction(noRecentAct_);
  viewFile->addActions(recentActs_);
  viewFile->addSeparator();
  viewFile->addAction(frameExitAct_);
  viewMenuBar_ = {viewFile->menuAction(), commands_[kCmdTimeSet], commands_[kCmdDisplay],
                  commands_[kCmdSearch], eclipse->menuAction(), bars->menuAction(),
                  createWindowMenu()->menuAction(), help->menuAction()};

  // The frame's own menu.
  auto* file = new QMenu(frameworkText("File(&F)"), this);
  file->addAction(newAct_);
  file->addAction(openAct_);
  file->addSeparator();
  file->addAction(printSetupAct_);
  file->addSeparator();
  file->addAction(noRecentAct_);
  file->addActions(recentActs_);
  file->addSeparator();
  file->addAction(frameExitAct_);
  auto* show = new QMenu(frameworkText("View(&V)"), this);
  QAction* frameToolToggle = barToggle(frameworkText("Toolbar(&T)"), toolBar_);
  QAction* frameStatusToggle = barToggle(frameworkText("Status Bar(&S)"), statusBar());
  show->addActions({frameToolToggle, frameStatusToggle});
  auto* frameHelp = new QMenu(frameworkText("Help(&H)"), this);
  frameHelp->addAction(frameVersionAct_);
  frameHelp->addSeparator();
  frameHelp->addAction(helpContentsAct_);
  frameMenuBar_ = {file->menuAction(), show->menuAction(), frameHelp->menuAction()};

  // The two menus' toggles of a bar stay in step.
  auto pair = [](QAction* a, QAction* b) {
    QObject::connect(a, &QAction::toggled, b, &QAction::setChecked);
    QObject::connect(b, &QAction::toggled, a, &QAction::setChecked);
  };
  pair(toolToggle, frameToolToggle);
  pair(statusToggle, frameStatusToggle);
}

QMenu* CMainFrame::createEclipseMenu() {
  auto* menu = new QMenu(QStringLiteral("Eclipse(&E)"), this);
  // The tool bar's commands, with keys that work whichever bar is shown.
  const std::pair<int, QKeySequence> keyed[] = {
      {kCmdPreviousEclipse, QKeySequence(Qt::Key_PageUp)},
      {kCmdNextEclipse, QKeySequence(Qt::Key_PageDown)},
      {kCmdNextVisibleEclipse, QKeySequence(Qt::CTRL | Qt::Key_PageDown)},
      {kCmdEclipseList, QKeySequence(Qt::CTRL | Qt::Key_L)},
      {0, {}},
      {kCmdMapDisplay, QKeySequence(Qt::CTRL | Qt::Key_1)},
      {kCmdLocalInformation, QKeySequence(Qt::CTRL | Qt::Key_2)},
      {kCmdSimulation, QKeySequence(Qt::CTRL | Qt::Key_3)},
      {kCmdStarMap, QKeySequence(Qt::CTRL | Qt::Key_4)},
      {kCmdHorizon, QKeySequence(Qt::CTRL | Qt::Key_5)},
  };
  for (const auto& [id, key] : keyed) {
    if (id == 0) {
      menu->addSeparator();
      continue;
    }
    commands_[id]->setShortcut(key);
    menu->addAction(commands_[id]);
    addAction(commands_[id]);
  }
  QAction* stop = viewCommand(kCmdStopSimulation, QStringLiteral("Stop Simulation"),
                              &CVornView::stopSimulation);
  stop->setShortcut(QKeySequence(Qt::Key_Escape));
  menu->addAction(stop);
  addAction(stop);
  menu->addSeparator();
  QAction* exportPicture = viewCommand(kCmdExportPicture, QStringLiteral("Export Picture..."),
                                       &CVornView::exportPicture);
  exportPicture->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
  menu->addAction(exportPicture);
  addAction(exportPicture);

  menu->addSeparator();
  QAction* record = viewCommand(kCmdDeltaTFromRecord, QStringLiteral("ΔT from a Record..."),
                                &CVornView::deltaTFromRecord);
  record->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
  const std::pair<int, QKeySequence> drag[] = {
      {kCmdDeltaTLess, QKeySequence(Qt::CTRL | Qt::Key_Left)},
      {kCmdDeltaTMore, QKeySequence(Qt::CTRL | Qt::Key_Right)},
      {kCmdDeltaTModel, QKeySequence(Qt::CTRL | Qt::Key_Home)},
  };
  viewCommand(kCmdDeltaTLess, QStringLiteral("ΔT − σ/10"), &CVornView::deltaTLess);
  viewCommand(kCmdDeltaTMore, QStringLiteral("ΔT + σ/10"), &CVornView::deltaTMore);
  viewCommand(kCmdDeltaTModel, QStringLiteral("ΔT of the Model"), &CVornView::deltaTOfTheModel);
  menu->addAction(record);
  addAction(record);
  for (const auto& [id, key] : drag) {
    commands_[id]->setShortcut(key);
    menu->addAction(commands_[id]);
    addAction(commands_[id]);
  }

  menu->addSeparator();
  gridAct_ = new QAction(QStringLiteral("Lon/Lat Grid"), this);
  coastlinesAct_ = new QAction(QStringLiteral("CIA MAP"), this);
  for (QAction* a : {gridAct_, coastlinesAct_}) {
    a->setCheckable(true);
    viewCommands_ << a;
    menu->addAction(a);
  }
  connect(gridAct_, &QAction::triggered, this, [this](bool on) {
    if (CVornView* v = activeView()) v->setGridShown(on);
  });
  connect(coastlinesAct_, &QAction::triggered, this, [this](bool on) {
    if (CVornView* v = activeView()) v->setDetailedCoastlines(on);
  });
  // The check marks follow the session, which the Display dialog also sets.
  connect(menu, &QMenu::aboutToShow, this, [this] {
    if (CVornView* v = activeView()) {
      gridAct_->setChecked(v->gridShown());
      coastlinesAct_->setChecked(v->detailedCoastlines());
    }
  });
  return menu;
}

QMenu* CMainFrame::createWindowMenu() {
  auto* menu = new QMenu(QStringLiteral("Window(&W)"), this);
  connect(menu, &QMenu::aboutToShow, this, [this, menu] { fillWindowMenu(menu); });
  fillWindowMenu(menu);
  return menu;
}

void CMainFrame::fillWindowMenu(QMenu* menu) {
  menu->clear();
  menu->addAction(QStringLiteral("New Window(&N)"), this, &CMainFrame::newRequested);
  menu->addAction(QStringLiteral("Cascade(&C)"), this, &CMainFrame::cascadeViews);
  menu->addAction(QStringLiteral("Tile(&T)"), mdi_, &QMdiArea::tileSubWindows);
  menu->addSeparator();
  const auto views = mdi_->subWindowList();
  for (int i = 0; i < views.size(); ++i) {
    QMdiSubWindow* child = views[i];
    QAction* a = menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(child->windowTitle()),
                                 mdi_, [this, child] { mdi_->setActiveSubWindow(child); });
    a->setCheckable(true);
    a->setChecked(child == mdi_->activeSubWindow());
  }
}

void CMainFrame::cascadeViews() {
  const auto views = mdi_->subWindowList();
  if (views.isEmpty()) return;
  // Each view one title bar lower and to the right of the one before, all of
  // one size: the area less the steps, and never below the restored size nor
  // the view's own least size.
  const int step = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, views[0]) + 4;
  const QSize area = mdi_->viewport()->size();
  const QSize least(std::max(area.width() * 2 / 3, kLeastViewSize.width()),
                    std::max(area.height() * 2 / 3, kLeastViewSize.height()));
  const int n = static_cast<int>(views.size());
  const QSize size = QSize(area.width() - step * (n - 1), area.height() - step * (n - 1))
                         .expandedTo(least)
                         .expandedTo(views[0]->minimumSizeHint());
  // Where the steps would take a view out of the area, they start again at the top.
  const int perRound = std::max(1, std::min((area.width() - size.width()) / step,
                                            (area.height() - size.height()) / step) + 1);
  for (int i = 0; i < n; ++i) {
    QMdiSubWindow* child = views[i];
    child->showNormal();
    const int at = (i % perRound) * step;
    child->setGeometry(QRect(QPoint(at, at), size));
  }
  mdi_->setActiveSubWindow(views.last());
}

void CMainFrame::updateMenus() {
  const bool viewOpen = activeView() != nullptr;
  menuBar()->clear();
  menuBar()->addActions(viewOpen ? viewMenuBar_ : frameMenuBar_);
  if (CVornView* view = activeView(); view && view->paintCount() > 0) {
    setDeltaTText(view->deltaTStatus());
    const QSignalBlocker quiet(deltaTSlider_);
    deltaTSlider_->setValue(view->deltaTSteps());
  }
  deltaTSlider_->setEnabled(viewOpen);
  for (QAction* a : viewCommands_) a->setEnabled(viewOpen);
  saveAct_->setEnabled(viewOpen);
  saveAsAct_->setEnabled(viewOpen);
  printAct_->setEnabled(viewOpen);
}

void CMainFrame::showHelp() {
  if (help_ == nullptr) help_ = new CHelpWindow(this);
  help_->setWindowFlag(Qt::Window);
  help_->show();
  help_->raise();
  help_->activateWindow();
}

void CMainFrame::updateRecentFiles(const QStringList& paths) {
  for (int i = 0; i < recentActs_.size(); ++i) {
    QAction* a = recentActs_[i];
    a->setVisible(i < paths.size());
    if (i >= paths.size()) continue;
    a->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(paths[i]));
    a->setData(paths[i]);
  }
  noRecentAct_->setVisible(paths.isEmpty());
}

void CMainFrame::addChildFrame(CChildFrame* child) {
  mdi_->addSubWindow(child);
  CVornView* view = child->view();
  // The pane and the ΔT slider speak of the active view's document.
  connect(view, &CVornView::painted, this, [this, view] {
    if (view != activeView()) return;
    setDeltaTText(view->deltaTStatus());
    const QSignalBlocker quiet(deltaTSlider_);
    deltaTSlider_->setValue(view->deltaTSteps());
  });
  connect(child->view(), &CVornView::statusText, this, [this](const QString& text) {
    if (text.isEmpty())
      statusBar()->clearMessage();
    else
      statusBar()->showMessage(text);
  });
  // The size the view gets back when it is restored from maximised.
  child->resize(std::max(mdi_->width() * 2 / 3, kLeastViewSize.width()),
                std::max(mdi_->height() * 2 / 3, kLeastViewSize.height()));
  connect(child, &QObject::destroyed, this, &CMainFrame::updateMenus, Qt::QueuedConnection);
  connect(child->view(), &CVornView::statusMessage, message_, &QLabel::setText);
  child->showMaximized();
  mdi_->setActiveSubWindow(child);
  updateMenus();
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  for (QMdiSubWindow* child : mdi_->subWindowList()) {
    if (!child->close()) {
      event->ignore();
      return;
    }
  }
  QMainWindow::closeEvent(event);
}

CChildFrame* CMainFrame::activeChild() const {
  if (auto* c = qobject_cast<CChildFrame*>(mdi_->activeSubWindow())) return c;
  // With the main window inactive no sub-window is active; the view on top
  // still receives the commands.
  const auto list = mdi_->subWindowList(QMdiArea::ActivationHistoryOrder);
  return list.isEmpty() ? nullptr : qobject_cast<CChildFrame*>(list.last());
}

CVornView* CMainFrame::activeView() const {
  CChildFrame* c = activeChild();
  return c ? c->view() : nullptr;
}

QAction* CMainFrame::action(int commandId) const {
  auto it = commands_.find(commandId);
  return it == commands_.end() ? nullptr : it->second;
}

}  // namespace tarvo::window
