#include "app/window/mode_dlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <cmath>

#include "app/window/dialog_support.h"
#include "app/window/field_check.h"
#include "app/window/when_dlg.h"
#include "circumstances/sites.h"
#include "core/session_state.h"

namespace tarvo::window {

namespace {
constexpr int kSarosLo = -400, kSarosHi = 400;
constexpr double kLongitudeLoDeg = -360, kLongitudeHiDeg = 360;
constexpr double kMagnitudeLo = 0, kMagnitudeHi = 1.5;
constexpr double kHeightLoM = 0, kHeightHiM = 4000;
constexpr double kLatitudeLoDeg = -90, kLatitudeHiDeg = 90;
constexpr double kLookBackLoYears = 0, kLookBackHiYears = 1000;
constexpr int kByType = 1, kBySite = 2, kBySaros = 3;
}  // namespace

QStringList CModeDlg::typeEntries() {
  return {QStringLiteral("TOTAL ECLIPSE"), QStringLiteral("PARTIAL ECLIPSE"),
          QStringLiteral("PENUMBRA ECLIPSE"), QString(), QString(), QString()};
}

CModeDlg::CModeDlg(SessionState& state, const SiteList& sites, QWidget* parent)
    : QDialog(parent), state_(state), sites_(sites), city_(new QComboBox), type_(new QComboBox),
      timeSet_(new QPushButton(QStringLiteral("Time Set"))),
      saros_(new QLineEdit(QString::number(static_cast<long long>(std::trunc(state.saros))))),
      searchTypes_{new QRadioButton(QStringLiteral("All Eclipses")),
                   new QRadioButton(QStringLiteral("Type")),
                   new QRadioButton(QStringLiteral("Site/Magnitude")),
                   new QRadioButton(QStringLiteral("Saros#"))},
      longitude_(new QLineEdit(numberText(roundedTo(state.siteLongitude, 5)))),
      magnitude_(new QLineEdit(numberText(roundedTo(state.magnitudeCriterion, 2)))),
      selection_(new QRadioButton(QStringLiteral("Selection"))),
      set_(new QRadioButton(QStringLiteral("Set"))),
      height_(new QLineEdit(numberText(state.siteHeight))),
      latitude_(new QLineEdit(numberText(roundedTo(state.siteLatitude, 5)))),
      typeLookBack_(new QLineEdit(numberText(state.typeLookBackYears))),
      siteLookBack_(new QLineEdit(numberText(state.siteLookBackYears))) {
  setWindowTitle(QStringLiteral("Serch Mode Menu"));

  fillCityBox(city_, sites, state.searchSiteIndex);
  type_->addItems(typeEntries());
  state.typeChoice = state.typeCriterion;
  type_->setCurrentIndex(state.typeChoice - 1 < type_->count() ? state.typeChoice - 1 : -1);
  if (state.searchType >= 0 && state.searchType <= kBySaros)
    searchTypes_[state.searchType]->setChecked(true);
  (state.siteSource == 0 ? selection_ : set_)->setChecked(true);

  connect(type_, &QComboBox::activated, this, [this](int i) { state_.typeChoice = i + 1; });
  connect(city_, &QComboBox::activated, this, [this](int i) { state_.searchSiteIndex = i + 1; });
  connect(timeSet_, &QPushButton::clicked, this, &CModeDlg::openTimeSet);

  auto* layout = new QVBoxLayout(this);
  auto* groups = new QHBoxLayout;
  groups->addWidget(createModeGroup());
  groups->addWidget(createSiteGroup());
  layout->addLayout(groups);
  layout->addWidget(okCancelButtons(this, QStringLiteral("Cancell")));
}

QWidget* CModeDlg::createModeGroup() {
  auto* box = new QGroupBox(QStringLiteral("Serch Mode"));
  auto* g = new QGridLayout(box);
  g->addWidget(searchTypes_[0], 0, 0);
  g->addWidget(timeSet_, 0, 1);
  g->addWidget(searchTypes_[1], 1, 0);
  g->addWidget(type_, 1, 1);
  auto* typeForm = new QFormLayout;
  typeForm->addRow(QStringLiteral("Search from(Year)"), typeLookBack_);
  g->addLayout(typeForm, 2, 0, 1, 2);
  g->addWidget(searchTypes_[2], 3, 0);
  auto* siteForm = new QFormLayout;
  siteForm->addRow(QStringLiteral("Mag.:"), magnitude_);
  siteForm->addRow(QStringLiteral("Serch Period(Years)"), siteLookBack_);
  g->addLayout(siteForm, 4, 0, 1, 2);
  g->addWidget(searchTypes_[3], 5, 0);
  g->addWidget(saros_, 5, 1);
  return box;
}

QWidget* CModeDlg::createSiteGroup() {
  QGroupBox* box = siteGroup(QStringLiteral("Site"), city_, selection_, set_,
                             QStringLiteral("Log.:"), longitude_, latitude_, height_);
  // The fields stay at the top of the group, as tall as the mode group.
  static_cast<QVBoxLayout*>(box->layout())->addStretch();
  return box;
}

void CModeDlg::openTimeSet() {
  CWhenDlg when(static_cast<int>(std::trunc(state_.year)), static_cast<int>(std::trunc(state_.month)),
                this);
  if (when.exec() != QDialog::Accepted) return;
  state_.year = when.year();
  state_.month = when.month();
}

std::optional<FieldError> CModeDlg::validate() const {
  if (auto v = readInteger(saros_->text(), kSarosLo, kSarosHi); !v.ok())
    return FieldError{v.error, saros_};
  const std::pair<QLineEdit*, std::pair<double, double>> numbers[] = {
      {longitude_, {kLongitudeLoDeg, kLongitudeHiDeg}},
      {magnitude_, {kMagnitudeLo, kMagnitudeHi}},
      {height_, {kHeightLoM, kHeightHiM}},
      {latitude_, {kLatitudeLoDeg, kLatitudeHiDeg}},
      {typeLookBack_, {kLookBackLoYears, kLookBackHiYears}},
      {siteLookBack_, {kLookBackLoYears, kLookBackHiYears}},
  };
  for (const auto& [edit, range] : numbers)
    if (auto v = readNumber(edit->text(), range.first, range.second); !v.ok())
      return FieldError{v.error, edit};
  return std::nullopt;
}

void CModeDlg::applyTo(SessionState& state) const {
  int searchType = 0;
  for (int i = 0; i <= kBySaros; ++i)
    if (searchTypes_[i]->isChecked()) searchType = i;
  state.searchType = searchType;
  if (searchType == kByType) {
    state.typeLookBackYears =
        readNumber(typeLookBack_->text(), kLookBackLoYears, kLookBackHiYears).value;
    state.typeCriterion = state.typeChoice;
  }
  if (searchType == kBySite) {
    state.siteLookBackYears =
        readNumber(siteLookBack_->text(), kLookBackLoYears, kLookBackHiYears).value;
    state.siteSource = selection_->isChecked() ? 0 : 1;
    state.magnitudeCriterion = readNumber(magnitude_->text(), kMagnitudeLo, kMagnitudeHi).value;
    if (selection_->isChecked()) {
      takeCitySite(state, sites_, state.searchSiteIndex);
    } else {
      state.siteLongitude = readNumber(longitude_->text(), kLongitudeLoDeg, kLongitudeHiDeg).value;
      state.siteLatitude = readNumber(latitude_->text(), kLatitudeLoDeg, kLatitudeHiDeg).value;
      state.siteHeight = readNumber(height_->text(), kHeightLoM, kHeightHiM).value;
    }
  }
  if (searchType == kBySaros)
    state.sarosCriterion = readInteger(saros_->text(), kSarosLo, kSarosHi).value;
}

void CModeDlg::accept() {
  if (refuse(this, validate())) return;
  QDialog::accept();
}

}  // namespace tarvo::window
