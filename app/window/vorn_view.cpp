#include "app/window/vorn_view.h"

#include <sys/statvfs.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include <QApplication>
#include <QFile>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QScopedValueRollback>

#include <algorithm>
#include <cmath>

#include "app/time_zones.h"
#include "app/window/display_dlg.h"
#include "app/window/list_dlg.h"
#include "app/window/mode_dlg.h"
#include "app/window/record_dlg.h"
#include "app/window/when_dlg.h"
#include "app/window/window_files.h"
#include "app/window/window_session.h"
#include "base/input_limits.h"
#include "map/info_panel.h"
#include "surface/drawing_surface.h"
#include "session/mouse_commands.h"
#include "session/paint.h"
#include "session/record_glue.h"
#include "session/search.h"
#include "session/simulation_command.h"
#include "session/visibility_list.h"
#include "session/horizon_command.h"
#include "session/sky_command.h"
#include "timebase/delta_t.h"

namespace tarvo::window {

struct SimulationAnimation {
  SimulationRun run;
};

namespace {
// The largest side of an exported picture, as the command line allows.
constexpr int kMaxPictureSide = 10000;

// Why a PDF the printer made is not whole: it ends with its "%%EOF" marker
// when every byte reached the file. The printer does not say why a write
// failed; a full disk is the usual reason.
std::string wholePdfReason(const std::string& path) {
  QFile file(QFile::decodeName(path.c_str()));
  if (!file.open(QIODevice::ReadOnly)) return file.errorString().toStdString();
  const qint64 size = file.size();
  if (size > 32) file.seek(size - 32);
  if (file.readAll().contains("%%EOF")) return {};
  struct statvfs disk {};
  if (::statvfs(path.c_str(), &disk) == 0 && disk.f_bavail == 0) return std::strerror(ENOSPC);
  return "the PDF was not written whole";
}
}  // namespace

QString notEnoughMemoryFor(QSize size) {
  return QStringLiteral("not enough memory for a %1\u00d7%2 picture").arg(size.width()).arg(size.height());
}

CVornView::CVornView(WindowSession& session, QWidget* parent)
    : QWidget(parent), session_(session), list_(new CListDlg(session, this)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  // The information panel is never cut: a shorter view has a smaller map.
  setMinimumSize(kInfoPanelWidth, kInfoPanelRows);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setAccessibleName(QStringLiteral("Eclipse view"));
  simulationTimer_.setInterval(kSimulationPauseMs);  // ms a paused step stays alone
  simulationTimer_.setSingleShot(true);
  connect(&simulationTimer_, &QTimer::timeout, this, &CVornView::simulationTick);
  // The list window's requests arrive after its own handling, as posted messages do.
  connect(list_, &CListDlg::drawRequested, this, &CVornView::showListPick, Qt::QueuedConnection);
  connect(list_, &CListDlg::closeRequested, this, &CVornView::destroyListWindow,
          Qt::QueuedConnection);
}

CVornView::~CVornView() { destroyListWindow(); }

// ---- Repaint ----

void CVornView::invalidate(int pendingAction) {
  stopSimulation();
  session_.state.recordZonesDeltaT.clear();  // the record's zones last until the view changes
  session_.state.nextVisibleWordsShown = false;  // so do Next Visible Eclipse's words
  session_.state.pendingAction = pendingAction;
  paintPending_ = true;
  update();
}

void CVornView::runPaint() {
  paintPending_ = false;
  PaintHooks hooks;
  // The restart after a missing catalogue opens the Time Set dialog once
  // this paint is over.
  hooks.openTimeSet = [this] { QTimer::singleShot(0, this, &CVornView::timeSet); };
  hooks.zones = &systemZoneDatabase();
  PaintResult result;
  // A picture too large for the memory there is: said, never a crash.
  try {
    surface_ = std::make_unique<DrawingSurface>(std::max(width(), 1), std::max(height(), 1), deviceScale());
    result = paintView(session_.state, session_.reader, *surface_, hooks);
  } catch (const std::bad_alloc&) {
    surface_.reset();
    emit statusMessage(notEnoughMemoryFor(size()));
    return;
  }
  answerWords_ = QString::fromStdString(result.answerWords);
  if (!result.siteListNotice.empty()) emit statusMessage(QString::fromStdString(result.siteListNotice));
  // Each problem with the data once on standard error as well, when it is new.
  for (const std::string* notice : {&result.outlineNotice, &result.catalogueDamage}) {
    if (notice->empty()) continue;
    emit statusMessage(QString::fromStdString(*notice));
    static std::string lastSaid;
    if (*notice != lastSaid) std::fprintf(stderr, "tarvowin: %s\n", notice->c_str());
    lastSaid = *notice;
  }
  paintShown_ = true;
  starMapShown_ = false;
  horizonShown_ = false;
  emit statusText(QString());  // the words for a place under the mouse may no longer hold
  setAccessibleDescription(shownText());
  // The repaint replaces what a command drew over the last one; a view's
  // first paint draws it again (a session file kept it).
  const DrawnOver restore = paintCount_ == 0 && result.outcome == LandingOutcome::Shown
                                ? session_.state.drawnOver
                                : DrawnOver::Nothing;
  session_.state.drawnOver = DrawnOver::Nothing;
  ++paintCount_;
  if (restore == DrawnOver::StarMap) starMap();
  if (restore == DrawnOver::Simulation) simulation();
  emit painted();
}

void CVornView::paintPending() {
  if (paintPending_) runPaint();
}

double CVornView::deviceScale() const {
  return std::clamp(devicePixelRatioF(), kMinSurfaceScale, kMaxSurfaceScale);
}

void CVornView::paintEvent(QPaintEvent*) {
  // On a screen of another pixel ratio the picture is painted again for it.
  if (surface_ && surface_->scale() != deviceScale()) paintPending_ = true;
  paintPending();
  QPainter p(this);
  if (!surface_) {
    p.fillRect(rect(), Qt::black);
    return;
  }
  // The picture has the screen's device pixels; its logical size is the view's.
  p.drawImage(QRect(0, 0, surface_->width(), surface_->height()), surface_->image());
  if (surface_->width() < width() || surface_->height() < height()) {
    p.fillRect(QRect(surface_->width(), 0, width(), height()), Qt::black);
    p.fillRect(QRect(0, surface_->height(), width(), height()), Qt::black);
  }
}

void CVornView::resizeEvent(QResizeEvent*) {
  stopSimulation();
  paintPending_ = true;
  update();
}

QString CVornView::deltaTStatus() const {
  const SessionState& s = session_.state;
  std::string text = deltaTUncertaintyText(s.deltaT, s.deltaTSigma);
  const double adjust = s.deltaTChoice.adjustSeconds;
  if (adjust != 0) text += "; " + deltaTAdjustmentText(adjust, s.deltaTSigma);
  return QString::fromStdString(text);
}

int CVornView::deltaTSteps() const {
  const SessionState& s = session_.state;
  return static_cast<int>(std::lround(s.deltaTChoice.adjustSeconds / (kDeltaTStepSigmas * std::max(s.deltaTSigma, 0.01))));
}

void CVornView::stepDeltaT(int steps) {
  SessionState& s = session_.state;
  double& adjust = s.deltaTChoice.adjustSeconds;
  adjust = steppedDeltaTAdjust(adjust, s.deltaTSigma, steps, limits::kDeltaTAdjustS.lo, limits::kDeltaTAdjustS.hi);
  invalidate(kLandAtCursor);
}

void CVornView::setDeltaTSteps(int steps) {
  SessionState& s = session_.state;
  s.deltaTChoice.adjustSeconds = steppedDeltaTAdjust(0, s.deltaTSigma, steps, limits::kDeltaTAdjustS.lo, limits::kDeltaTAdjustS.hi);
  invalidate(kLandAtCursor);
}

void CVornView::deltaTOfTheModel() {
  session_.state.deltaTChoice.adjustSeconds = 0;
  invalidate(kLandAtCursor);
}

void CVornView::deltaTFromRecord() {
  stopSimulation();
  paintPending();
  const SessionState& s = session_.state;
  const Site* city = chosenCity(s.site, s.sites);
  std::optional<SessionRecord> record = sessionRecordOf(s, city ? city->name : std::string());
  if (!record) {
    QMessageBox::information(this, QStringLiteral("ΔT from a Record"),
                             QStringLiteral("The eclipse shown has no computed contacts to tie statements to."));
    return;
  }
  CRecordDlg dialog(std::move(*record), this);
  connect(&dialog, &CRecordDlg::zonesRequested, this, &CVornView::showRecordZones);
  dialog.exec();
}

void CVornView::showRecordZones(const std::vector<double>& deltaTSeconds) {
  stopSimulation();
  session_.state.recordZonesDeltaT = deltaTSeconds;
  session_.state.pendingAction = kLandAtCursor;
  paintPending_ = true;
  update();
}

void CVornView::showChanged() {
  emit statusText(QString());
  paintShown_ = false;
  answerWords_.clear();
  starMapShown_ = false;
  horizonShown_ = false;
  setAccessibleDescription(shownText());
  update();
}

QString CVornView::shownText() const {
  if (!surface_) return {};
  std::vector<DrawingSurface::DrawnText> texts = surface_->drawnTexts();
  std::stable_sort(texts.begin(), texts.end(), [](const auto& a, const auto& b) {
    return a.y != b.y ? a.y < b.y : a.x < b.x;
  });
  QStringList lines;
  int row = 0;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const QString piece = QString::fromLatin1(texts[i].text.c_str()).trimmed();
    if (piece.isEmpty()) continue;
    if (lines.isEmpty() || texts[i].y != row)
      lines << piece;
    else
      lines.last() += QStringLiteral("  ") + piece;
    row = texts[i].y;
  }
  return lines.join(QLatin1Char('\n'));
}

QImage CVornView::shownImage() const { return surface_ ? surface_->image().copy() : QImage(); }

DrawingSurface& CVornView::directSurface() {
  if (!surface_ || surface_->width() != width() || surface_->height() != height() ||
      surface_->scale() != deviceScale())
    surface_ = std::make_unique<DrawingSurface>(std::max(width(), 1), std::max(height(), 1), deviceScale());
  return *surface_;
}

// ---- Commands that change the state and repaint ----

void CVornView::timeSet() {
  // A repaint while the dialog is open may ask for it again; one is enough.
  if (timeSetOpen_) return;
  const QScopedValueRollback<bool> open(timeSetOpen_, true);
  const SessionState& s = session_.state;
  CWhenDlg dialog(static_cast<int>(std::trunc(s.year)), static_cast<int>(std::trunc(s.month)),
                  this);
  if (dialog.exec() == QDialog::Accepted && dialog.accepted())
    applyTimeSet(dialog.accepted()->year, dialog.accepted()->month);
}

void CVornView::applyTimeSet(int year, int month) {
  session_.state.year = year;
  session_.state.month = month;
  invalidate(kLandAtCursor);
}

void CVornView::display() {
  CDisplayDlg dialog(session_.state, session_.state.sites, this);
  if (dialog.exec() == QDialog::Accepted) applyDisplay(dialog);
}

void CVornView::applyDisplay(const CDisplayDlg& dialog) {
  if (!dialog.accepted()) return;
  dialog.applyTo(session_.state, *dialog.accepted());
  invalidate(kLandAtCursor);
}

void CVornView::search() {
  CModeDlg dialog(session_.state, session_.state.sites, this);
  if (dialog.exec() == QDialog::Accepted) applySearch(dialog);
}

void CVornView::applySearch(const CModeDlg& dialog) {
  if (!dialog.accepted()) return;
  dialog.applyTo(session_.state, *dialog.accepted());
  applySarosRestart(session_.state);
  invalidate(kLandAtCursor);
}

void CVornView::nextEclipse() { invalidate(kSearchForward); }

void CVornView::nextVisibleEclipse() {
  stopSimulation();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const NextVisible found = nextVisibleEclipseCommand(session_.state, session_.reader);
  QApplication::restoreOverrideCursor();
  if (!found.record) {
    QMessageBox::information(this, QStringLiteral("Next Visible Eclipse"),
                             found.end == SearchEnd::EndOfCatalogue
                                 ? QStringLiteral("No eclipse is seen from the site before the end of the catalogue.")
                                 : QStringLiteral("A catalogue file could not be opened."));
    return;
  }
  invalidate(kLandAtCursor);
  // The answer in words, on the map until the view changes (the local report has them anyway).
  session_.state.nextVisibleWordsShown = true;
}

void CVornView::previousEclipse() {
  stopSimulation();
  DrawingSurface& surface = directSurface();
  surface.clear(paletteColour(PaletteIndex::Black));
  // The search draws its error texts, if any, on the cleared view.
  const PreviousSearch found = previousEclipseCommand(session_.state, session_.reader, surface);
  // With nothing earlier in the catalogue its text stays until the next repaint.
  if (found.end == SearchEnd::NothingEarlier) drawLandingFailure(surface, LandingOutcome::NoEarlierEclipse);
  showChanged();
  invalidate(kLandAtCursor);
}

void CVornView::mapDisplay() {
  session_.state.displayKind = kDisplayWorldMap;
  invalidate(kLandAtCursor);
}

void CVornView::localInformation() {
  session_.state.displayKind = kDisplayLocalReport;
  invalidate(kLandAtCursor);
}

bool CVornView::gridShown() const { return session_.state.gridMode == kGridShown; }

bool CVornView::detailedCoastlines() const {
  return session_.state.outlineChoice == kOutlineCoastlineFiles;
}

void CVornView::setGridShown(bool shown) {
  session_.state.gridMode = shown ? kGridShown : kGridHidden;
  invalidate(kLandAtCursor);
}

void CVornView::setDetailedCoastlines(bool detailed) {
  session_.state.outlineChoice = detailed ? kOutlineCoastlineFiles : kOutlineBuiltIn;
  invalidate(kLandAtCursor);
}

// ---- The eclipse list ----

void CVornView::eclipseList() {
  if (list_->isVisible()) {
    list_->raise();
    list_->activateWindow();
    return;
  }
  list_->prepareToOpen();
  list_->show();
}

void CVornView::showListPick() {
  SessionState& s = session_.state;
  // An empty list has nothing to show.
  if (s.eclipseListPick < 0 || s.eclipseListPick >= s.eclipseListCount) return;
  s.year = s.eclipseList[s.eclipseListPick].year;
  s.month = s.eclipseList[s.eclipseListPick].month;
  invalidate(kLandAtCursor);
}

void CVornView::destroyListWindow() {
  if (list_->isVisible()) list_->hide();
}

// ---- Commands that draw directly ----

void CVornView::simulation() {
  stopSimulation();
  animation_ = std::make_unique<SimulationAnimation>(
      SimulationAnimation{startSimulation(session_.state, directSurface())});
  session_.state.drawnOver = DrawnOver::Simulation;
  continueSimulation();
}

void CVornView::continueSimulation() {
  // Steps follow one another at once until one is to stay on the screen for
  // a while; the timer then brings the next.
  for (;;) {
    if (simulationPauses(animation_->run)) {
      simulationTimer_.start();
      showChanged();
      return;
    }
    if (!simulationStep(animation_->run, *surface_)) {
      animation_.reset();
      showChanged();
      return;
    }
  }
}

void CVornView::simulationTick() {
  if (!animation_ || !surface_) return;
  if (!simulationStep(animation_->run, *surface_)) {
    animation_.reset();
    update();
    return;
  }
  continueSimulation();
}

void CVornView::stopSimulation() {
  simulationTimer_.stop();
  animation_.reset();
}

bool CVornView::simulationRunning() const { return animation_ != nullptr; }

void CVornView::starMap() {
  stopSimulation();
  drawSkyChartCommand(session_.state, directSurface());
  showChanged();
  starMapShown_ = true;
  session_.state.drawnOver = DrawnOver::StarMap;
  // The chart leaves a low Moon out; say so beside it.
  const QString note = QString::fromStdString(
      skyChartMoonNote(skyChartRequest(session_.state.circumstances, session_.state.site.where.longitudeDeg,
                                       session_.state.site.where.latitudeDeg)));
  if (!note.isEmpty()) setAccessibleDescription(accessibleDescription() + QLatin1Char('\n') + note);
  // A damaged planet file is named; the planets then come from their theories.
  const QString planets = QString::fromStdString(planetFileNotice());
  emit statusText(planets.isEmpty() ? note
                                    : planets + QStringLiteral("; the planets from their theories") +
                                          (note.isEmpty() ? QString() : QStringLiteral(". ") + note));
}

void CVornView::horizon() {
  stopSimulation();
  drawHorizonChartCommand(session_.state, directSurface(), &systemZoneDatabase());
  showChanged();
  horizonShown_ = true;
}

// ---- Mouse ----

void CVornView::readOutAt(QPoint pixel) {
  if (session_.state.displayKind != kDisplayWorldMap) return;
  if (drawMapReadout(session_.state, directSurface(), pixel.x(), pixel.y())) {
    showChanged();
    paintShown_ = true;  // the map is still what is seen
  }
}

void CVornView::pickSiteAt(QPoint pixel) {
  if (pickSiteOnMap(session_.state, pixel.x(), pixel.y())) invalidate(kLandAtCursor);
}

void CVornView::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) readOutAt(event->position().toPoint());
}

void CVornView::mouseMoveEvent(QMouseEvent* event) {
  // Only over the map as painted; a chart drawn over it has no such places.
  if (!paintShown_ || paintPending_) return;
  const QPoint p = event->position().toPoint();
  emit statusText(QString::fromStdString(mapStatusLine(session_.state, p.x(), p.y())));
}

void CVornView::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::RightButton) pickSiteAt(event->position().toPoint());
}

// ---- Export ----

void CVornView::exportPicture() {
  paintPending();
  bool ok = false;
  // The scale, after an @, is the device pixels per pixel of the layout;
  // the view's own is offered where it is not 1.
  const double shownScale = deviceScale();
  const QString offered = QStringLiteral("%1x%2").arg(width()).arg(height()) +
                          (shownScale == 1 ? QString() : QStringLiteral("@%1").arg(shownScale));
  const QString typed = QInputDialog::getText(
      this, QStringLiteral("Export Picture"),
      QStringLiteral("Size in pixels (width x height, each 1 to %1), and a scale after @ (1 to 4):")
          .arg(kMaxPictureSide),
      QLineEdit::Normal, offered, &ok);
  if (!ok) return;
  const QStringList sizeAndScale = typed.trimmed().split(QLatin1Char('@'));
  const QStringList sides = sizeAndScale[0].trimmed().split(QLatin1Char('x'));
  const int w = sides.size() == 2 ? sides[0].trimmed().toInt() : 0;
  const int h = sides.size() == 2 ? sides[1].trimmed().toInt() : 0;
  bool scaleOk = sizeAndScale.size() == 1;
  const double scale = scaleOk ? 1 : sizeAndScale[1].trimmed().toDouble(&scaleOk);
  if (w < 1 || h < 1 || w > kMaxPictureSide || h > kMaxPictureSide || sizeAndScale.size() > 2 || !scaleOk ||
      !(scale >= kMinSurfaceScale && scale <= kMaxSurfaceScale) || w * scale > kMaxPictureSide ||
      h * scale > kMaxPictureSide) {
    QMessageBox::warning(this, QStringLiteral("Export Picture"),
                         QStringLiteral("%1 is not a size: give width x height, each 1 to %2, and a scale "
                                        "after @ from 1 to 4 that keeps each side of the picture within %2.")
                             .arg(typed)
                             .arg(kMaxPictureSide));
    return;
  }
  const QString path = askFileToWrite(this, QStringLiteral("Export Picture"), QStringLiteral("tarvo.png"),
                                      {QStringLiteral("PNG picture (*.png)")}, [](const QString& chosen, int) {
                                        return chosen.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)
                                                   ? chosen
                                                   : chosen + QStringLiteral(".png");
                                      });
  if (path.isEmpty()) return;
  if (auto error = exportPictureTo(path, QSize(w, h), scale))
    QMessageBox::warning(this, QStringLiteral("Export Picture"), *error);
}

std::optional<QString> CVornView::exportPictureTo(const QString& path, QSize size, double scale) {
  paintPending();
  QImage picture;
  try {
    if (surface_ && size == QSize(surface_->width(), surface_->height()) && scale == surface_->scale()) {
      picture = shownImage();
    } else {
      // The paint on a copy of the session: the view's own layout stays.
      SessionState copy = session_.state;
      DrawingSurface page(size.width(), size.height(), scale);
      PaintHooks hooks;
      hooks.zones = &systemZoneDatabase();
      paintView(copy, session_.reader, page, hooks);
      if (starMapShown_) drawSkyChartCommand(copy, page);
      if (horizonShown_) drawHorizonChartCommand(copy, page, &systemZoneDatabase());
      picture = page.image().copy();
    }
  } catch (const std::bad_alloc&) {
    return QStringLiteral("Cannot export %1: %2").arg(path, notEnoughMemoryFor(size));
  }
  if (picture.isNull()) return QStringLiteral("Cannot export %1: %2").arg(path, notEnoughMemoryFor(size));
  if (const QString why = refusedWindowFile(path); !why.isEmpty())
    return QStringLiteral("Cannot export %1: %2").arg(path, why);
  const FileWrite written = writePng(picture, std::string(QFile::encodeName(path).constData()));
  if (!written.written()) return QStringLiteral("Cannot export %1: %2").arg(path, QString::fromStdString(written.error));
  return std::nullopt;
}

// ---- Printing ----

double printScale(QPrinter& printer) {
  // A printer that offers 300 dpi or more is asked for the least such.
  constexpr int kLeastPrintDpi = 300;
  if (printer.resolution() < kLeastPrintDpi) {
    QList<int> offered = printer.supportedResolutions();
    std::sort(offered.begin(), offered.end());
    for (const int dpi : offered) {
      if (dpi < kLeastPrintDpi) continue;
      printer.setResolution(dpi);
      break;
    }
  }
  return std::clamp(printer.resolution() / 100.0, kMinSurfaceScale, kMaxSurfaceScale);
}

bool CVornView::paintPage(QPrinter& printer) {
  // A pending step (Next) is taken on screen first, so the page shows what
  // the view shows.
  paintPending();
  stopSimulation();
  DrawingSurface page(std::max(width(), 1), std::max(height(), 1), printScale(printer));
  PaintHooks hooks;
  hooks.zones = &systemZoneDatabase();
  paintView(session_.state, session_.reader, page, hooks);
  QPainter p;
  if (!p.begin(&printer)) return false;
  // The page's pixels as they are: no lossy compression in a PDF file.
  p.setRenderHint(QPainter::LosslessImageRendering);
  // One logical pixel becomes 1/100 inch on paper, drawn with the page's
  // device pixels: printScale × 100 dots per inch.
  const QRectF target(0, 0, page.width() * printer.logicalDpiX() / 100.0,
                      page.height() * printer.logicalDpiY() / 100.0);
  p.drawImage(target, page.image());
  return p.end();
}

std::optional<QString> CVornView::printTo(QPrinter& printer) {
  const QString pdf = printer.outputFormat() == QPrinter::PdfFormat ? printer.outputFileName() : QString();
  if (pdf.isEmpty()) {
    if (!paintPage(printer)) return QStringLiteral("Cannot print: the printer cannot be used");
    return std::nullopt;
  }
  // A PDF file is written whole or not at all: to a temporary file beside
  // it, then renamed.
  const std::optional<QString> error = writeWindowFileWith(pdf, [&](const std::string& temporary) -> std::string {
    printer.setOutputFileName(QFile::decodeName(temporary.c_str()));
    const bool painted = paintPage(printer);
    printer.setOutputFileName(pdf);
    if (!painted) return "cannot be written";
    return wholePdfReason(temporary);
  });
  if (error) return QStringLiteral("Cannot print to %1: %2").arg(pdf, *error);
  return std::nullopt;
}

}  // namespace tarvo::window
