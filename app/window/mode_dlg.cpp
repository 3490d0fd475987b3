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
#include "session/session_state.h"

namespace tarvo::window {

QStringList CModeDlg::typeEntries() {
  return {QStringLiteral("TOTAL ECLIPSE"), QStringLiteral("PARTIAL ECLIPSE"),
          QStringLiteral("PENUMBRA ECLIPSE"), QString(), QString(), QString()};
}

CModeDlg::CModeDlg(SessionState& state, const SiteList& sites, QWidget* parent)
    : QDialog(parent), state_(state), sites_(sites), city_(new QComboBox), type_(new QComboBox),
      timeSet_(new QPushButton(QStringLiteral("Time Set"))),
      saros_(new QLineEdit(QString::number(static_cast<long long>(std::trunc(state.current.saros))))),
      searchTypes_{new QRadioButton(QStringLiteral("All Eclipses")),
                   new QRadioButton(QStringLiteral("Type")),
                   new QRadioButton(QStringLiteral("Site/Magnitude")),
                   new QRadioButton(QStringLiteral("Saros#"))},
      longitude_(new QLineEdit),
      magnitude_(new QLineEdit(numberText(roundedTo(state.magnitudeCriterion, 2)))),
      selection_(new QRadioButton(QStringLiteral("Selection"))),
      set_(new QRadioButton(QStringLiteral("Set"))),
      height_(new QLineEdit), latitude_(new QLineEdit),
      typeLookBack_(new QLineEdit(numberText(state.typeLookBackYears))),
      siteLookBack_(new QLineEdit(numberText(state.siteLookBackYears))) {
  setWindowTitle(QStringLiteral("Serch Mode Menu"));

  showSiteChoice({city_, selection_, set_, longitude_, latitude_, height_}, state.site, sites);
  type_->addItems(typeEntries());
  state.typeChoice = state.typeCriterion;
  type_->setCurrentIndex(state.typeChoice - 1 < type_->count() ? state.typeChoice - 1 : -1);
  if (state.searchType >= kSearchAll && state.searchType <= kSearchBySaros)
    searchTypes_[state.searchType]->setChecked(true);

  connect(type_, &QComboBox::activated, this, [this](int i) { state_.typeChoice = i + 1; });
  connect(timeSet_, &QPushButton::clicked, this, &CModeDlg::openTimeSet);

  auto* layout = new QVBoxLayout(this);
  auto* groups = new QHBoxLayout;
  groups->addWidget(createModeGroup());
  groups->addWidget(createSiteGroup());
  layout->addLayout(groups);
  layout->addWidget(okCancelButtons(this, QStringLiteral("Cancell")));
  nameFieldsByTheirLabels(this);
}

QWidget* CModeDlg::createModeGroup() {
  auto* box = new QGroupBox(QStringLiteral("Serch Mode"));
  auto* g = new QGridLayout(box);
  g->addWidget(searchTypes_[kSearchAll], 0, 0);
  g->addWidget(timeSet_, 0, 1);
  g->addWidget(searchTypes_[kSearchByType], 1, 0);
  g->addWidget(type_, 1, 1);
  auto* typeForm = new QFormLayout;
  typeForm->addRow(QStringLiteral("Search from(Year)"), typeLookBack_);
  g->addLayout(typeForm, 2, 0, 1, 2);
  g->addWidget(searchTypes_[kSearchBySite], 3, 0);
  auto* siteForm = new QFormLayout;
  siteForm->addRow(QStringLiteral("Mag.:"), magnitude_);
  siteForm->addRow(QStringLiteral("Serch Period(Years)"), siteLookBack_);
  g->addLayout(siteForm, 4, 0, 1, 2);
  g->addWidget(searchTypes_[kSearchBySaros], 5, 0);
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
  if (when.exec() != QDialog::Accepted || !when.accepted()) return;
  state_.year = when.accepted()->year;
  state_.month = when.accepted()->month;
}

Checked<SearchValues> CModeDlg::validate() const {
  SearchValues v;
  const FieldValue<int> saros = readInteger(saros_->text(), limits::kSaros);
  if (!saros.ok()) return FieldError{saros.error, saros_};
  v.saros = saros.value;
  if (auto refused = readNumbers({{longitude_, limits::kLongitudeDeg, &v.longitudeDeg},
                                  {magnitude_, limits::kMagnitude, &v.magnitude},
                                  {height_, limits::kHeightM, &v.heightM},
                                  {latitude_, limits::kLatitudeDeg, &v.latitudeDeg},
                                  {typeLookBack_, limits::kLookBackYears, &v.typeLookBackYears},
                                  {siteLookBack_, limits::kLookBackYears, &v.siteLookBackYears}}))
    return *refused;
  for (int i = kSearchAll; i <= kSearchBySaros; ++i)
    if (searchTypes_[i]->isChecked()) v.searchType = static_cast<SearchType>(i);
  v.fromCity = selection_->isChecked();
  v.cityNumber = city_->currentIndex() + 1;
  return v;
}

void CModeDlg::applyTo(SessionState& state, const SearchValues& v) const {
  state.searchType = v.searchType;
  if (v.searchType == kSearchByType) {
    state.typeLookBackYears = v.typeLookBackYears;
    state.typeCriterion = state.typeChoice;
  }
  if (v.searchType == kSearchBySite) {
    state.siteLookBackYears = v.siteLookBackYears;
    state.magnitudeCriterion = v.magnitude;
    state.site = pickedSite(v.fromCity, v.cityNumber, {v.longitudeDeg, v.latitudeDeg, v.heightM}, state.site,
                            sites_);
  }
  if (v.searchType == kSearchBySaros) state.sarosCriterion = v.saros;
}

void CModeDlg::accept() {
  const Checked<SearchValues> checked = validate();
  if (refuse(this, checked.error())) return;
  accepted_ = checked.values();
  QDialog::accept();
}

}  // namespace tarvo::window
