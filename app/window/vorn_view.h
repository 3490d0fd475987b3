// The view: shows what the shared paint draws for the session state, and
// turns the user's commands and mouse clicks into state changes followed by
// a repaint. A few commands draw on the shown picture directly; the next
// repaint replaces what they drew.
#pragma once

#include <QTimer>
#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

class QPrinter;

namespace tarvo {
class DrawingSurface;
}

namespace tarvo::window {

// The scale a printed page is painted at: the printer's resolution in units
// of 100 dpi (at most 4), the printer first set to 300 dpi or more where it
// offers that.
double printScale(QPrinter& printer);

class CDisplayDlg;
class CListDlg;
class CModeDlg;
struct WindowSession;
struct SimulationAnimation;

// The view's message when a picture does not fit in the memory there is:
// "not enough memory for a W×H picture".
QString notEnoughMemoryFor(QSize size);

class CVornView : public QWidget {
  Q_OBJECT

 public:
  explicit CVornView(WindowSession& session, QWidget* parent = nullptr);
  ~CVornView() override;

  // Runs the pending repaint now, if one is pending (tests and printing).
  void paintPending();
  // The picture shown; empty before the first paint.
  QImage shownImage() const;
  bool simulationRunning() const;
  int paintCount() const { return paintCount_; }
  CListDlg* listDialog() const { return list_; }
  // The status bar's line on ΔT and its uncertainty for the eclipse shown,
  // with the adjustment from the model when there is one.
  QString deltaTStatus() const;
  // The session's ΔT adjustment in drag steps (σ/10 of the eclipse shown), rounded.
  int deltaTSteps() const;

  // The effects of the dialogs' OK, as the commands apply them: the values
  // the dialog accepted (nothing when it was not accepted).
  void applyTimeSet(int year, int month);
  void applyDisplay(const CDisplayDlg& dialog);
  void applySearch(const CModeDlg& dialog);

  // The texts the view shows, in reading order, one line per row of the
  // picture (also its accessible description).
  QString shownText() const;
  // The observer's answer in words (the sentences of `tarvo next`) as the
  // last paint drew them: under the local report, or at the map's foot
  // after Next Visible Eclipse; empty when none are shown.
  const QString& answerWords() const { return answerWords_; }

  // Writes what the view shows as a PNG at path: the shown picture itself at
  // the client size and the screen's scale, else the same paint as `tarvo
  // render --size --scale` at `size` and `scale` (the star map drawn over it
  // when the view shows one). Returns the message naming the file and the
  // reason on failure.
  std::optional<QString> exportPictureTo(const QString& path, QSize size, double scale = 1);

  // The paint at one logical pixel per 1/100 inch on one page, at the
  // printer's resolution (printScale). A PDF file is written whole or not at
  // all (the old one kept); the message naming the file and the reason on
  // failure.
  std::optional<QString> printTo(QPrinter& printer);
  // The device pixels per logical one of the view's picture: the screen's
  // pixel ratio, within the surface's scales.
  double deviceScale() const;

 public slots:
  // Commands.
  void timeSet();
  void display();
  void search();
  void nextEclipse();
  // The next eclipse after the shown one seen from the observing site.
  void nextVisibleEclipse();
  void previousEclipse();
  void eclipseList();
  void mapDisplay();
  void localInformation();
  void simulation();
  void starMap();
  // The horizon chart of the eclipse at the site, drawn over the paint.
  void horizon();
  // Escape: the simulation stops where it is.
  void stopSimulation();
  // Export Picture: asks for the size (the client size offered) and the file.
  void exportPicture();
  // ΔT from a Record: the statements dialog for the eclipse shown and the site.
  void deltaTFromRecord();
  // The ΔT drag: the adjustment moved by steps of σ/10 (Ctrl+Left, Ctrl+Right),
  // set to a number of steps (the status bar's slider), or back to the model
  // (Ctrl+Home); the view repaints.
  void stepDeltaT(int steps);
  void deltaTLess() { stepDeltaT(-1); }
  void deltaTMore() { stepDeltaT(1); }
  void setDeltaTSteps(int steps);
  void deltaTOfTheModel();
  // The map draws the zone boundaries at these ΔT (s) until the view changes.
  void showRecordZones(const std::vector<double>& deltaTSeconds);
  // The map's options, as the Display dialog sets them.
  bool gridShown() const;
  bool detailedCoastlines() const;
  void setGridShown(bool shown);
  void setDetailedCoastlines(bool detailed);
  // Mouse actions at a pixel of the client area.
  void readOutAt(QPoint pixel);
  void pickSiteAt(QPoint pixel);
  // The list window's requests.
  void showListPick();
  void destroyListWindow();

 signals:
  // After every full paint of the view.
  void painted();
  // A message for the status bar (the city list's, when its reading skipped lines).
  void statusMessage(const QString& text);
  // The status bar's line for where the mouse is or for what a command drew
  // (empty: nothing to say).
  void statusText(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  // One page on the printer (false when it cannot be used).
  bool paintPage(QPrinter& printer);
  // Sets pendingAction, stops an animation and asks for a full repaint.
  void invalidate(int pendingAction);
  void runPaint();
  // The shown picture at the client size, for the commands that draw directly.
  DrawingSurface& directSurface();
  // After the picture changed: shows it and describes it.
  void showChanged();
  void continueSimulation();
  void simulationTick();

  WindowSession& session_;
  std::unique_ptr<DrawingSurface> surface_;
  bool paintPending_ = true;
  bool timeSetOpen_ = false;
  int paintCount_ = 0;
  // The last full paint is on the screen (not a chart drawn over it).
  bool paintShown_ = false;
  QString answerWords_;
  bool starMapShown_ = false;
  bool horizonShown_ = false;
  CListDlg* list_;
  QTimer simulationTimer_;
  std::unique_ptr<SimulationAnimation> animation_;
};

}  // namespace tarvo::window
