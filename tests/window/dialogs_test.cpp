// The dialogs' fields: the range messages in the order the dialog checks its
// edits, and what OK stores into the session state.
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

#include "app/window/display_dlg.h"
#include "app/window/field_check.h"
#include "app/window/framework_texts.h"
#include "app/window/mode_dlg.h"
#include "app/window/when_dlg.h"
#include "circumstances/sites.h"
#include "session/session_state.h"

using namespace tarvo;
using namespace tarvo::window;

namespace {

// The messages as the user reads them: English, or Japanese when the test
// runs in a Japanese locale (ctest runs it in both).
bool japanese() { return QLocale::system().language() == QLocale::Japanese; }
QString integerRange(const char* lo, const char* hi) {
  return (japanese() ? QStringLiteral("%1 から %2 までの整数を入力してください。")
                     : QStringLiteral("Please enter an integer between %1 and %2."))
      .arg(QLatin1String(lo), QLatin1String(hi));
}
QString numberRange(const char* lo, const char* hi) {
  return (japanese() ? QStringLiteral("%1 から %2 までの数字を入力してください。")
                     : QStringLiteral("Please enter a number between %1 and %2."))
      .arg(QLatin1String(lo), QLatin1String(hi));
}
const QString kInt1to12 = integerRange("1", "12");
// A year field's range message adds the range as historians write it.
const QString kIntYear = integerRange("-13000", "16999") +
                         (japanese() ? QStringLiteral("\n（13001 BC から AD 16999 まで）")
                                     : QStringLiteral("\nThat is 13001 BC to AD 16999."));
const QString kIntSaros = integerRange("-400", "400");
const QString kNumHeight = numberRange("0", "4000");
const QString kNumLon = numberRange("-360", "360");
const QString kNumLat = numberRange("-90", "90");
const QString kNumDeltaT = numberRange("-10000", "10000");
const QString kNumMag = numberRange("0", "1.5");
const QString kNumLookBack = numberRange("0", "1000");
const QString kNotInteger =
    japanese() ? QStringLiteral("整数を入力してください。") : QStringLiteral("Please enter an integer.");
const QString kNotNumber =
    japanese() ? QStringLiteral("数値を入力してください。") : QStringLiteral("Please enter a number.");

SiteList threeCities() {
  SiteList l;
  l.sites = {{"Tokyo", 139.69167, 35.68944, 40, 9, ""},
             {"Paris", 2.35, 48.85, 35, 1, ""},
             {"Quito", -78.5, -0.22, 2850, -5, ""}};
  return l;
}

QString messageOf(const std::optional<FieldError>& e) { return e ? e->message : QString(); }

}  // namespace

class DialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { installTranslations(*QCoreApplication::instance(), QLocale::system()); }
  void rangeMessagesInOrder_data();
  void rangeMessagesInOrder();
  void focusChainReachesEveryFieldWithAName();
  void timeSetOpensWithWholeCursor();
  void timeSetHistoricalYearAndJulianDay();
  void refusedOkKeepsDialogOpen();
  void displayOpening();
  void displayOk_data();
  void displayOk();
  void displayCityChoiceShowsItsPlaceAndCancelKeepsTheSite();
  void displayDeltaTModelAndBands();
  void searchOpening();
  void searchTimeSetStoresAtOnce();
  void searchOk_data();
  void searchOk();
};

// ---- Range messages: the first refused edit in each dialog's order ----

void DialogsTest::rangeMessagesInOrder_data() {
  QTest::addColumn<QString>("dialog");
  QTest::addColumn<QStringList>("fields");  // the edits in the order the dialog checks them
  QTest::addColumn<QString>("message");
  QTest::addColumn<int>("refused");  // index of the edit reported
  const QString when = "Time Set", display = "Display Mode", search = "Search";
  // Time Set: month, year.
  QTest::newRow("last month of the catalogue") << when << QStringList{"12", "16999"} << "" << -1;
  QTest::newRow("first month, blanks") << when << QStringList{" 1 ", "-13000"} << "" << -1;
  QTest::newRow("year past the end") << when << QStringList{"12", "17000"} << kIntYear << 1;
  QTest::newRow("year before the start") << when << QStringList{"1", "-13001"} << kIntYear << 1;
  QTest::newRow("both refused: month first") << when << QStringList{"0", "20000"} << kInt1to12 << 0;
  QTest::newRow("month 13") << when << QStringList{"13", "2025"} << kInt1to12 << 0;
  QTest::newRow("fraction") << when << QStringList{"1.5", "2025"} << kNotInteger << 0;
  QTest::newRow("letters") << when << QStringList{"5", "20x5"} << kNotInteger << 1;
  QTest::newRow("historians' year") << when << QStringList{"5", "13001 BC"} << "" << -1;
  QTest::newRow("historians' year past the start") << when << QStringList{"5", "13002 BC"} << kIntYear << 1;
  QTest::newRow("no year 0 BC") << when << QStringList{"5", "0 BC"} << kNotInteger << 1;
  QTest::newRow("historians' year, dotted, any case") << when << QStringList{"5", "585 b.c."} << "" << -1;
  QTest::newRow("historians' year past the end") << when << QStringList{"5", "A.D. 17000"} << kIntYear << 1;
  // Display Mode: Alt., Lon., Lat., DeltaT Adj.
  QTest::newRow("display limits") << display << QStringList{"4000", "-360", "90", "-10000"} << ""
                                  << -1;
  QTest::newRow("all refused: height first")
      << display << QStringList{"4001", "361", "91", "10001"} << kNumHeight << 0;
  QTest::newRow("then the longitude")
      << display << QStringList{"0", "361", "91", "10001"} << kNumLon << 1;
  QTest::newRow("then the latitude")
      << display << QStringList{"0", "0", "-90.5", "10001"} << kNumLat << 2;
  QTest::newRow("then the correction")
      << display << QStringList{"0", "0", "0", "-10000.1"} << kNumDeltaT << 3;
  QTest::newRow("infinity") << display << QStringList{"0", "0", "0", "inf"} << kNotNumber << 3;
  // Search: Saros#, Log., Mag., Alt., Lat., Search from(Year), Serch Period(Years).
  const QStringList ok{"0", "0", "0", "0", "0", "0", "0"};
  QTest::newRow("search limits")
      << search << QStringList{"-400", "360", "1.5", "4000", "-90", "1000", "0"} << "" << -1;
  const QStringList bad{"401", "361", "1.6", "4001", "91", "1001", "-1"};
  const QString messages[] = {kIntSaros, kNumLon,   kNumMag,     kNumHeight,
                              kNumLat,   kNumLookBack, kNumLookBack};
  for (int first = 0; first < 7; ++first)
    QTest::addRow("search refused from edit %d", first)
        << search << ok.mid(0, first) + bad.mid(first) << messages[first] << first;
  QTest::newRow("Saros with a fraction")
      << search << QStringList{"145.5", "0", "0", "0", "0", "0", "0"} << kNotInteger << 0;
}

void DialogsTest::rangeMessagesInOrder() {
  QFETCH(QString, dialog);
  QFETCH(QStringList, fields);
  QFETCH(int, refused);
  SessionState s;
  SiteList sites = threeCities();
  std::unique_ptr<QDialog> d;
  QList<QLineEdit*> edits;
  std::function<std::optional<FieldError>()> validate;
  if (dialog == "Time Set") {
    auto* w = new CWhenDlg(2025, 3);
    edits = {w->monthEdit(), w->yearEdit()};
    validate = [w] { return w->validate().error(); };
    d.reset(w);
  } else if (dialog == "Display Mode") {
    auto* w = new CDisplayDlg(s, sites);
    edits = {w->heightEdit(), w->longitudeEdit(), w->latitudeEdit(), w->deltaTEdit()};
    validate = [w] { return w->validate().error(); };
    d.reset(w);
  } else {
    auto* w = new CModeDlg(s, sites);
    edits = {w->sarosEdit(),  w->longitudeEdit(),    w->magnitudeEdit(),    w->heightEdit(),
             w->latitudeEdit(), w->typeLookBackEdit(), w->siteLookBackEdit()};
    validate = [w] { return w->validate().error(); };
    d.reset(w);
  }
  for (int i = 0; i < edits.size(); ++i) edits[i]->setText(fields[i]);
  const auto error = validate();
  QTEST(messageOf(error), "message");
  QCOMPARE(error ? edits.indexOf(error->field) : -1, refused);
}

// Tab walks every dialog's fields and buttons once round, and each control it
// stops at has a name a screen reader can say (its own text or its label's).
void DialogsTest::focusChainReachesEveryFieldWithAName() {
  SessionState s;
  SiteList sites = threeCities();
  std::vector<std::unique_ptr<QDialog>> dialogs;
  dialogs.emplace_back(new CWhenDlg(2025, 3));
  dialogs.emplace_back(new CDisplayDlg(s, sites));
  dialogs.emplace_back(new CModeDlg(s, sites));
  for (const auto& d : dialogs) {
    d->show();
    QVERIFY(QTest::qWaitForWindowExposed(d.get()));
    QList<QWidget*> stops;
    for (QWidget* w = d->nextInFocusChain(); w != d.get(); w = w->nextInFocusChain()) {
      if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus)) stops << w;
    }
    QVERIFY2(!stops.isEmpty(), qPrintable(d->windowTitle()));
    for (QLineEdit* edit : d->findChildren<QLineEdit*>()) {
      // A disabled field (the time zone of a city site) is skipped until it is enabled.
      if (edit->isVisible() && edit->isEnabled()) QVERIFY2(stops.contains(edit), qPrintable(d->windowTitle()));
    }
    for (QWidget* w : stops) {
      QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
      QVERIFY(a != nullptr);
      QVERIFY2(!a->text(QAccessible::Name).trimmed().isEmpty(),
               qPrintable(d->windowTitle() + QStringLiteral(": ") + w->metaObject()->className() +
                          QStringLiteral(" ") + w->objectName()));
    }
    d->hide();
  }
}

// ---- Time Set ----

void DialogsTest::timeSetOpensWithWholeCursor() {
  CWhenDlg d(-501, 7);
  QCOMPARE(d.windowTitle(), QStringLiteral("Time Set Menu"));
  QCOMPARE(d.yearEdit()->text(), QStringLiteral("-501"));
  QCOMPARE(d.monthEdit()->text(), QStringLiteral("7"));
}

// The hint follows the typing; a Julian Day, when given, decides the cursor.
void DialogsTest::timeSetHistoricalYearAndJulianDay() {
  CWhenDlg d(2025, 3);
  QCOMPARE(d.yearHintLabel()->text(), QStringLiteral("= AD 2025, Gregorian calendar"));
  d.yearEdit()->setText(QStringLiteral("585 BC"));
  d.monthEdit()->setText(QStringLiteral("5"));
  QCOMPARE(d.yearHintLabel()->text(), QStringLiteral("= 585 BC, Julian calendar"));
  auto checked = d.validate();
  QVERIFY(checked.ok());
  QCOMPARE(checked.values().year, -584);
  QCOMPARE(checked.values().month, 5);
  d.yearEdit()->setText(QStringLiteral("BC"));
  QCOMPARE(d.yearHintLabel()->text(), QString());
  d.julianDayEdit()->setText(QStringLiteral("2299160.5"));  // 1582 October 15
  checked = d.validate();
  QVERIFY(checked.ok());
  QCOMPARE(checked.values().year, 1582);
  QCOMPARE(checked.values().month, 10);
  d.julianDayEdit()->setText(QStringLiteral("-4000000"));  // before −13000
  QCOMPARE(d.validate().error().value_or(FieldError{}).field, d.julianDayEdit());
  QCOMPARE(messageOf(d.validate().error()),
           japanese() ? QStringLiteral("-13000 年から 16999 年までに入るユリウス日を入力してください。")
                      : QStringLiteral("Please enter a Julian Day within the years -13000 to 16999."));
  d.julianDayEdit()->setText(QStringLiteral("x"));
  QCOMPARE(messageOf(d.validate().error()), kNotNumber);
}

void DialogsTest::refusedOkKeepsDialogOpen() {
  CWhenDlg d(2025, 3);
  d.show();
  d.yearEdit()->setText(QStringLiteral("17000"));
  QString shown;
  QTimer::singleShot(0, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      shown = box->text();
      box->accept();
    }
  });
  d.accept();
  QCOMPARE(shown, kIntYear);
  QVERIFY(d.isVisible());
  QCOMPARE(d.result(), int(QDialog::Rejected));
  QCOMPARE(d.focusWidget(), d.yearEdit());
}

// ---- Display Mode ----

void DialogsTest::displayOpening() {
  SessionState s;
  s.site = typedChoice(139.691666666, -35.123456789, 40);
  s.deltaTChoice.adjustSeconds = -12.5;
  s.displayKind = 2;
  s.gridMode = 0;
  s.outlineChoice = 2;
  SiteList sites = threeCities();
  CDisplayDlg d(s, sites);
  QCOMPARE(d.windowTitle(), QStringLiteral("Display Mode"));
  QCOMPARE(d.longitudeEdit()->text(), QStringLiteral("139.69167"));
  QCOMPARE(d.latitudeEdit()->text(), QStringLiteral("-35.12346"));
  QCOMPARE(d.heightEdit()->text(), QStringLiteral("40"));
  QCOMPARE(d.deltaTEdit()->text(), QStringLiteral("-12.5"));
  QVERIFY(d.localButton()->isChecked());
  QVERIFY(d.gridBox()->isChecked());
  QVERIFY(d.ciaBox()->isChecked());
  QVERIFY(d.dataButton()->isChecked());
  QCOMPARE(d.cityBox()->count(), 3);
  QCOMPARE(d.cityBox()->currentIndex(), -1);  // typed coordinates: no city chosen
  QCOMPARE(d.gridBox()->text(), QStringLiteral("Lon/Lat Grid"));

  // A city: its name and its own coordinates, side by side.
  s.site = *cityChoice(sites, 2);
  CDisplayDlg city(s, sites);
  QCOMPARE(city.cityBox()->currentText(), QStringLiteral("Paris"));
  QVERIFY(city.selectionButton()->isChecked());
  QCOMPARE(city.longitudeEdit()->text(), QStringLiteral("2.35"));
  QCOMPARE(city.latitudeEdit()->text(), QStringLiteral("48.85"));
  QCOMPARE(city.heightEdit()->text(), QStringLiteral("35"));
}

void DialogsTest::displayOk_data() {
  // What the user sets: display (map/local), grid, CIA, source (selection/data), city row.
  QTest::addColumn<bool>("local");
  QTest::addColumn<bool>("grid");
  QTest::addColumn<bool>("cia");
  QTest::addColumn<bool>("selection");
  QTest::addColumn<int>("cityRow");  // row chosen in the city list, −1 none
  // Expected state.
  QTest::addColumn<int>("displayKind");
  QTest::addColumn<int>("gridMode");
  QTest::addColumn<int>("outlineChoice");
  QTest::addColumn<int>("cityNumber");
  QTest::addColumn<double>("lon");
  QTest::addColumn<double>("lat");
  QTest::addColumn<double>("height");
  // The state starts with the typed site (10, 20, 30) and grid off; the
  // typed fields hold (-70.25, 12.5, 100). The site picked is the site used
  // with either display.
  QTest::newRow("map with grid, the third city")
      << false << true << false << true << 2 << 0 << 0 << 1 << 3 << -78.5 << -0.22 << 2850.0;
  QTest::newRow("map without grid, CIA map, typed data")
      << false << false << true << false << -1 << 0 << 4 << 2 << 0 << -70.25 << 12.5 << 100.0;
  QTest::newRow("local from the third city")
      << true << true << false << true << 2 << 2 << 4 << 1 << 3 << -78.5 << -0.22 << 2850.0;
  QTest::newRow("selection without a city keeps the site")
      << true << false << false << true << -1 << 2 << 4 << 1 << 0 << 10.0 << 20.0 << 30.0;
  QTest::newRow("local from typed data")
      << true << false << false << false << 1 << 2 << 4 << 1 << 0 << -70.25 << 12.5 << 100.0;
}

void DialogsTest::displayOk() {
  QFETCH(bool, local);
  QFETCH(bool, grid);
  QFETCH(bool, cia);
  QFETCH(bool, selection);
  QFETCH(int, cityRow);
  SessionState s;
  s.site = typedChoice(10, 20, 30);
  SiteList sites = threeCities();
  CDisplayDlg d(s, sites);
  (local ? d.localButton() : d.mapButton())->setChecked(true);
  d.gridBox()->setChecked(grid);
  d.ciaBox()->setChecked(cia);
  d.cityBox()->setCurrentIndex(cityRow);
  (selection ? d.selectionButton() : d.dataButton())->setChecked(true);
  d.longitudeEdit()->setText(QStringLiteral("-70.25"));
  d.latitudeEdit()->setText(QStringLiteral("12.5"));
  d.heightEdit()->setText(QStringLiteral("100"));
  d.deltaTEdit()->setText(QStringLiteral("42"));
  const auto checked = d.validate();
  QVERIFY(checked.ok());
  d.applyTo(s, checked.values());
  QTEST(s.displayKind, "displayKind");
  if (!local) QTEST(s.gridMode, "gridMode");
  QTEST(s.outlineChoice, "outlineChoice");
  QTEST(s.site.cityNumber, "cityNumber");
  QTEST(s.site.where.longitudeDeg, "lon");
  QTEST(s.site.where.latitudeDeg, "lat");
  QTEST(s.site.where.heightM, "height");
  QCOMPARE(s.deltaTChoice.adjustSeconds, 42.0);
}

void DialogsTest::displayDeltaTModelAndBands() {
  SessionState s;
  s.deltaTChoice.model = DeltaTModel::kSmh2020;
  s.deltaTBandsShown = true;
  SiteList sites = threeCities();
  CDisplayDlg d(s, sites);
  QCOMPARE(d.deltaTModelBox()->currentText(), QStringLiteral("smh2020"));
  QVERIFY(d.deltaTBandsBox()->isChecked());
  QCOMPARE(d.deltaTBandsBox()->text(), QStringLiteral("ΔT uncertainty"));
  d.deltaTModelBox()->setCurrentIndex(d.deltaTModelBox()->findText(QStringLiteral("builtin")));
  d.deltaTBandsBox()->setChecked(false);
  QVERIFY(!d.altitudesAsSeenBox()->isChecked());
  QCOMPARE(d.altitudesAsSeenBox()->text(), QStringLiteral("Altitudes as seen (topocentric, refracted)"));
  d.altitudesAsSeenBox()->setChecked(true);
  const auto checked = d.validate();
  QVERIFY(checked.ok());
  d.applyTo(s, checked.values());
  QCOMPARE(s.deltaTChoice.model, DeltaTModel::kBuiltin);
  QVERIFY(!s.deltaTBandsShown);
  QVERIFY(s.altitudesAsSeen);
}

void DialogsTest::displayCityChoiceShowsItsPlaceAndCancelKeepsTheSite() {
  SiteList sites = threeCities();
  SessionState s;
  s.site = *cityChoice(sites, 1);
  CDisplayDlg d(s, sites);
  d.show();
  d.dataButton()->setChecked(true);
  d.cityBox()->setFocus();
  QTest::keyClick(d.cityBox(), Qt::Key_Down);  // activates the next city
  // The fields follow the city box, and the city is the source.
  QCOMPARE(d.longitudeEdit()->text(), QStringLiteral("2.35"));
  QCOMPARE(d.latitudeEdit()->text(), QStringLiteral("48.85"));
  QCOMPARE(d.heightEdit()->text(), QStringLiteral("35"));
  QVERIFY(d.selectionButton()->isChecked());
  d.reject();
  QCOMPARE(s.site.cityNumber, 1);  // nothing reached the session
  QCOMPARE(s.site.where.longitudeDeg, 139.69167);
  QCOMPARE(s.displayKind, 0);
}

// ---- Search ----

void DialogsTest::searchOpening() {
  SessionState s;
  s.current.saros = 123;
  s.sarosCriterion = 145;
  s.typeCriterion = 3;
  s.typeChoice = 0;
  s.magnitudeCriterion = 0.456;
  s.searchType = 2;
  SiteList sites = threeCities();
  s.site = *cityChoice(sites, 3);
  CModeDlg d(s, sites);
  QCOMPARE(d.windowTitle(), QStringLiteral("Serch Mode Menu"));
  QCOMPARE(d.sarosEdit()->text(), QStringLiteral("123"));  // the eclipse shown
  QCOMPARE(s.typeChoice, 3);
  QCOMPARE(d.typeBox()->currentText(), QStringLiteral("PENUMBRA ECLIPSE"));
  QCOMPARE(d.typeBox()->count(), 6);
  QCOMPARE(d.magnitudeEdit()->text(), QStringLiteral("0.46"));
  QVERIFY(d.searchTypeButton(2)->isChecked());
  QCOMPARE(d.searchTypeButton(2)->text(), QStringLiteral("Site/Magnitude"));
  QCOMPARE(d.cityBox()->currentText(), QStringLiteral("Quito"));  // the session's site
  QCOMPARE(d.longitudeEdit()->text(), QStringLiteral("-78.5"));
  QCOMPARE(d.typeLookBackEdit()->text(), QStringLiteral("20"));
  QCOMPARE(d.siteLookBackEdit()->text(), QStringLiteral("50"));
}

void DialogsTest::searchTimeSetStoresAtOnce() {
  SessionState s;
  s.year = 2025;
  s.month = 3;
  SiteList sites = threeCities();
  CModeDlg d(s, sites);
  QString opened;
  QTimer::singleShot(0, [&] {
    if (auto* when = qobject_cast<CWhenDlg*>(QApplication::activeModalWidget())) {
      opened = when->yearEdit()->text() + "/" + when->monthEdit()->text();
      when->yearEdit()->setText(QStringLiteral("-44"));
      when->monthEdit()->setText(QStringLiteral("12"));
      when->accept();
    }
  });
  d.timeSetButton()->click();
  d.reject();  // the cursor stays set even when the Search dialog is cancelled
  QCOMPARE(opened, QStringLiteral("2025/3"));
  QCOMPARE(s.year, -44.0);
  QCOMPARE(s.month, 12.0);
}

void DialogsTest::searchOk_data() {
  QTest::addColumn<int>("searchType");
  QTest::addColumn<int>("typeRow");      // row chosen in the type list
  QTest::addColumn<bool>("selection");   // site from the city list
  QTest::addColumn<int>("typeCriterion");
  QTest::addColumn<double>("typeLookBack");
  QTest::addColumn<double>("siteLookBack");
  QTest::addColumn<double>("magnitude");
  QTest::addColumn<double>("sarosCriterion");
  QTest::addColumn<double>("lon");
  QTest::addColumn<int>("cityNumber");
  // Typed fields: Saros# -12, Mag 0.8, Search from 7, Serch Period 9, site (5, 6, 7).
  // Initial state: criteria at their defaults, the site the first city.
  QTest::newRow("all eclipses stores only the type")
      << 0 << 2 << true << 1 << 20.0 << 50.0 << 0.5 << 145.0 << 139.69167 << 1;
  QTest::newRow("by type: the blank fifth entry")
      << 1 << 4 << true << 5 << 7.0 << 50.0 << 0.5 << 145.0 << 139.69167 << 1;
  QTest::newRow("by site from the second city")
      << 2 << 0 << true << 1 << 20.0 << 9.0 << 0.8 << 145.0 << 2.35 << 2;
  QTest::newRow("by site from typed values")
      << 2 << 0 << false << 1 << 20.0 << 9.0 << 0.8 << 145.0 << 5.0 << 0;
  QTest::newRow("by Saros") << 3 << 0 << true << 1 << 20.0 << 50.0 << 0.5 << -12.0 << 139.69167 << 1;
}

void DialogsTest::searchOk() {
  QFETCH(int, searchType);
  QFETCH(int, typeRow);
  QFETCH(bool, selection);
  SiteList sites = threeCities();
  SessionState s;
  s.site = *cityChoice(sites, 1);
  CModeDlg d(s, sites);
  d.show();
  // Choose in the lists as the user does: the type takes effect at once,
  // the city only with OK.
  d.typeBox()->setFocus();
  for (int i = d.typeBox()->currentIndex(); i < typeRow; ++i)
    QTest::keyClick(d.typeBox(), Qt::Key_Down);
  d.cityBox()->setFocus();
  QTest::keyClick(d.cityBox(), Qt::Key_Down);
  QCOMPARE(s.site.cityNumber, 1);
  QCOMPARE(s.typeChoice, typeRow + 1);
  d.searchTypeButton(searchType)->setChecked(true);
  (selection ? d.selectionButton() : d.setButton())->setChecked(true);
  d.sarosEdit()->setText(QStringLiteral("-12"));
  d.magnitudeEdit()->setText(QStringLiteral("0.8"));
  d.typeLookBackEdit()->setText(QStringLiteral("7"));
  d.siteLookBackEdit()->setText(QStringLiteral("9"));
  d.longitudeEdit()->setText(QStringLiteral("5"));
  d.latitudeEdit()->setText(QStringLiteral("6"));
  d.heightEdit()->setText(QStringLiteral("7"));
  const auto checked = d.validate();
  QVERIFY(checked.ok());
  d.applyTo(s, checked.values());
  QCOMPARE(s.searchType, searchType);
  QTEST(s.typeCriterion, "typeCriterion");
  QTEST(s.typeLookBackYears, "typeLookBack");
  QTEST(s.siteLookBackYears, "siteLookBack");
  QTEST(s.magnitudeCriterion, "magnitude");
  QTEST(s.sarosCriterion, "sarosCriterion");
  QTEST(s.site.where.longitudeDeg, "lon");
  QTEST(s.site.cityNumber, "cityNumber");
}

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
