// The historian's instruments in the window: the ΔT drag (keys and the
// status bar's slider move the session's ΔT adjustment by σ/10 and the map
// follows) and ΔT from a Record (the statements dialog, the zones drawn at the
// ΔT found until the view changes).
#include <cmath>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSettings>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

#include "app/window/main_frame.h"
#include "app/window/record_dlg.h"
#include "app/window/vorn_app.h"
#include "app/window/vorn_doc.h"
#include "app/window/vorn_view.h"
#include "app/window/window_session.h"
#include "session/record_glue.h"
#include "timebase/delta_t.h"

using namespace tarvo::window;

class DeltaTDragTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();
  void keysAndSliderMoveTheAdjustmentBySigmaTenths();
  void recordDialogSolvesAndDrawsTheZonesUntilTheViewChanges();

 private:
  // The view on the total eclipse of −500 January (σ about 430 s), painted.
  CVornView* viewOnMinus500();
  std::unique_ptr<CVornApp> app_;
};

void DeltaTDragTest::init() {
  QSettings(QString::fromLatin1(CVornApp::kProfileKey), QStringLiteral("TarvoWin")).clear();
  app_ = std::make_unique<CVornApp>();
  QVERIFY(app_->initInstance());
}

void DeltaTDragTest::cleanup() { app_.reset(); }

CVornView* DeltaTDragTest::viewOnMinus500() {
  CVornView* view = app_->mainFrame()->activeView();
  view->paintPending();
  view->applyTimeSet(-500, 1);
  view->paintPending();
  return view;
}

void DeltaTDragTest::keysAndSliderMoveTheAdjustmentBySigmaTenths() {
  CMainFrame* f = app_->mainFrame();
  CVornView* view = viewOnMinus500();
  const tarvo::SessionState& state = app_->activeDocument()->state();
  const double sigma = state.deltaTSigma, model = state.deltaT;
  QVERIFY(sigma > 100);
  const QImage atModel = view->shownImage();
  f->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(f));
  const auto key = [&](Qt::Key k) {
    QTest::keyClick(f, k, Qt::ControlModifier);
    view->paintPending();
  };
  key(Qt::Key_Right);
  key(Qt::Key_Right);
  // Each step is a tenth of σ at the eclipse's UT, which the adjustment
  // itself moves by seconds: σ there differs by less than 1e-6 s.
  constexpr double kSigmaDriftSeconds = 1e-6;
  QVERIFY(std::fabs(state.deltaTChoice.adjustSeconds - 2 * sigma / 10) < kSigmaDriftSeconds);
  // The model's ΔT, about 15 s a year at −500, moves by 4e-5 s over those seconds.
  constexpr double kModelDriftSeconds = 1e-3;
  QVERIFY(std::fabs(state.deltaT - (model + 2 * sigma / 10)) < kModelDriftSeconds);
  QVERIFY(view->shownImage() != atModel);  // the zones moved east
  QCOMPARE(f->deltaTSlider()->value(), 2);
  QVERIFY(f->deltaTPane()->text().endsWith(QString::fromStdString("; " + tarvo::deltaTAdjustmentText(
                                                                              2 * sigma / 10, sigma))));
  key(Qt::Key_Left);
  QVERIFY(std::fabs(state.deltaTChoice.adjustSeconds - sigma / 10) < kSigmaDriftSeconds);
  key(Qt::Key_Home);
  QCOMPARE(state.deltaTChoice.adjustSeconds, 0.0);
  QCOMPARE(view->shownImage(), atModel);
  QCOMPARE(f->deltaTPane()->text(), QString::fromStdString(tarvo::deltaTUncertaintyText(model, sigma)));
  // The slider: five steps back.
  f->deltaTSlider()->setValue(-5);
  view->paintPending();
  QCOMPARE(state.deltaTChoice.adjustSeconds, -5 * sigma / 10);
  QCOMPARE(f->deltaTSlider()->value(), -5);
}

void DeltaTDragTest::recordDialogSolvesAndDrawsTheZonesUntilTheViewChanges() {
  CVornView* view = viewOnMinus500();
  tarvo::SessionState& state = app_->activeDocument()->state();
  const QImage plain = view->shownImage();
  std::optional<tarvo::SessionRecord> record = tarvo::sessionRecordOf(state, "");
  QVERIFY(record);
  // A site where the Moon stands 85° west of the meridian at greatest eclipse:
  // it sets within the ΔT searched.
  record->site = {record->eclipse.subLunar.longitudeDeg + 85, 0, 0};
  CRecordDlg dialog(*record, view);
  dialog.statementsEdit()->setPlainText(QStringLiteral("G = midnight\nU5 = moonrise"));
  const auto refused = dialog.validate();
  QVERIFY(std::holds_alternative<QString>(refused));
  QCOMPARE(std::get<QString>(refused), QStringLiteral("line 2: unknown instant 'U5'"));
  // Greatest eclipse seen before the Moon set: ΔT from a bound up.
  dialog.statementsEdit()->setPlainText(QStringLiteral("G < moonset\n"));
  QSignalSpy zones(&dialog, &CRecordDlg::zonesRequested);
  connect(&dialog, &CRecordDlg::zonesRequested, view, &CVornView::showRecordZones);
  dialog.solve();
  QCOMPARE(zones.count(), 1);
  const auto found = zones[0][0].value<std::vector<double>>();
  QVERIFY(dialog.resultView()->toPlainText().contains(QStringLiteral("holds for ΔT from ")));
  QCOMPARE(found.size(), std::size_t{1});
  QVERIFY(found[0] > record->context.search.fromSeconds() && found[0] < record->context.search.modelSeconds);
  view->paintPending();
  QCOMPARE(state.recordZonesDeltaT, found);
  QVERIFY(view->shownImage() != plain);
  // Any command changes the view: the zones go.
  view->nextEclipse();
  view->paintPending();
  QVERIFY(state.recordZonesDeltaT.empty());
}

QTEST_MAIN(DeltaTDragTest)
#include "deltat_drag_test.moc"
