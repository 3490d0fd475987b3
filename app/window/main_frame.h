// The main frame: the multiple-document area with the tool bar, the status
// bar and the menus. Its commands go to the active view, or out as signals
// for the application.
#pragma once

#include <QDeadlineTimer>
#include <QMainWindow>
#include <QMargins>
#include <QSize>

#include <map>
#include <optional>

#include "app/window/lock_keys.h"

class QLabel;
class QMdiArea;
class QMenu;
class QSlider;

namespace tarvo::window {

class CChildFrame;
class CVornView;

// Command ids of the view's commands and the application's.
enum CommandId : int {
  kCmdTimeSet = 32771,
  kCmdDisplay = 32772,
  kCmdSearch = 32773,
  kCmdNextEclipse = 32777,
  kCmdSimulation = 32780,
  kCmdPreviousEclipse = 32782,
  kCmdEclipseList = 32783,
  kCmdMapDisplay = 32784,
  kCmdLocalInformation = 32785,
  kCmdStarMap = 32787,
  kCmdNextVisibleEclipse = 32800,
  kCmdStopSimulation = 32801,
  kCmdExportPicture = 32802,
  kCmdDeltaTFromRecord = 32803,
  kCmdDeltaTLess = 32804,   // ΔT − σ/10
  kCmdDeltaTMore = 32805,   // ΔT + σ/10
  kCmdDeltaTModel = 32806,  // ΔT of the model, no adjustment
  kCmdHorizon = 32807,
  kCmdPrint = 57607,
  kCmdVersion = 57664,
  kCmdExit = 57665,
};

// The main window's first size, made smaller where the screen is.
inline constexpr QSize kFirstFrameSize{700, 520};
// How long after the main window is shown the window manager's frame is
// waited for to fit the first size, ms.
inline constexpr int kFrameWaitMs = 2000;

// The main window's first size in the screen's room for windows, the window
// manager's frame around it included: kFirstFrameSize, made smaller so that
// the frame too lies within the room.
QSize firstClientSize(const QSize& room, const QMargins& frame);
// The ΔT slider's width in the status bar, and the least it gives way to a
// message, pixels.
inline constexpr int kSliderWidth = 120;
inline constexpr int kSliderLeastWidth = 40;
// The least size a restored or cascaded view's frame gets.
inline constexpr QSize kLeastViewSize{360, 270};

// The tool bar's buttons that have no command behind them, in their order.
inline constexpr int kUnusedButtonIds[] = {32790, 32794, 32792, 32791, 32793, 32795};

class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  // recentFiles: how many entries the recent-file list shows at most.
  explicit CMainFrame(int recentFiles);
  ~CMainFrame() override;

  QMdiArea* mdiArea() const { return mdi_; }
  // The tool bar's or the view menu's action with that command id.
  QAction* action(int commandId) const;
  QToolBar* toolBar() const { return toolBar_; }
  // The status bar's message pane and its four indicators.
  QLabel* messagePane() const { return message_; }
  QList<QLabel*> indicators() const { return indicators_; }
  // The pane with ΔT ± σ of the eclipse last painted.
  QLabel* deltaTPane() const { return deltaT_; }
  // The ΔT drag in the status bar: the adjustment in steps of σ/10.
  QSlider* deltaTSlider() const { return deltaTSlider_; }

  void addChildFrame(CChildFrame* child);
  CChildFrame* activeChild() const;
  CVornView* activeView() const;
  // Puts the view's menu in the menu bar while a view is open, the frame's
  // own otherwise; enables the view's commands accordingly.
  void updateMenus();
  void updateRecentFiles(const QStringList& paths);
  // Window › Cascade: the views stepped down from the top left, each of a
  // size to work in.
  void cascadeViews();
  // Lights each indicator whose lock key is on (none when the state is unknown).
  void showLockKeys(const std::optional<LockKeys>& keys);
  // Help › Contents: shows the help window (made on first use).
  void showHelp();
  QWidget* helpWindow() const { return help_; }

 signals:
  // The frame's commands that belong to the application.
  void newRequested();
  void openRequested();
  void saveRequested();
  void saveAsRequested();
  void printRequested();
  void printSetupRequested();
  void aboutRequested();
  void recentFileChosen(const QString& path);

 protected:
  // Quitting closes every view first; a changed document may stop it.
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  // The first size is fitted again once the window manager's frame is known.
  void showEvent(QShowEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  void createActions(int recentFiles);
  void createMenus();
  // The Eclipse menu: the view's commands by key, and the map's options.
  QMenu* createEclipseMenu();
  // The Window menu: new view, arrangement, the open views.
  QMenu* createWindowMenu();
  void fillWindowMenu(QMenu* menu);
  void createToolBar();
  void createStatusBar();
  void setDeltaTText(const QString& text);
  void fitStatusPanes();
  // The first size and place with the frame known: the frame's corner at the
  // room's, the whole frame within it where the least size allows. Once.
  void fitFirstSizeToFrame();
  QAction* viewCommand(int id, const QString& text, void (CVornView::*slot)(),
                       const QString& prompt = {});
  QAction* barToggle(const QString& text, QWidget* bar);

  QMdiArea* mdi_;
  QToolBar* toolBar_ = nullptr;
  QLabel* message_ = nullptr;
  QLabel* deltaT_ = nullptr;
  QSlider* deltaTSlider_ = nullptr;
  QList<QLabel*> indicators_;
  std::map<int, QAction*> commands_;
  QList<QAction*> viewCommands_;
  QAction* newAct_ = nullptr;
  QAction* openAct_ = nullptr;
  QAction* saveAct_ = nullptr;
  QAction* saveAsAct_ = nullptr;
  QAction* printAct_ = nullptr;
  QAction* printSetupAct_ = nullptr;
  QAction* frameVersionAct_ = nullptr;
  QAction* frameExitAct_ = nullptr;
  QList<QAction*> recentActs_;
  QAction* noRecentAct_ = nullptr;
  QAction* helpContentsAct_ = nullptr;
  QAction* gridAct_ = nullptr;
  QAction* coastlinesAct_ = nullptr;
  QWidget* help_ = nullptr;
  QList<QAction*> viewMenuBar_;
  QList<QAction*> frameMenuBar_;
  QDeadlineTimer frameWait_;  // expired: the first size is settled
  bool shownBefore_ = false;
};

}  // namespace tarvo::window
