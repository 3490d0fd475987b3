#include "app/window/display_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/window/dialog_support.h"
#include "app/window/field_check.h"
#include "circumstances/sites.h"
#include "core/session_state.h"

namespace tarvo::window {

namespace {
constexpr double kHeightLoM = 0, kHeightHiM = 4000;
constexpr double kLongitudeLoDeg = -360, kLongitudeHiDeg = 360;
constexpr double kLatitudeLoDeg = -90, kLatitudeHiDeg = 90;
constexpr double kDeltaTLoS = -10000, kDeltaTHiS = 10000;
constexpr int kMapKind = 0, kLocalKind = 2;
constexpr int kGridOn = 0, kGridOff = 4;
constexpr int kCoastlineFiles = 2, kBuiltInOutline = 1;
constexpr int kTypedSite = 99;
}  // namespace

CDisplayDlg::CDisplayDlg(SessionState& state, const SiteList& sites, QWidget* parent)
    : QDialog(parent), state_(state), sites_(sites), city_(new QComboBox),
      map_(new QRadioButton(QStringLiteral("Map"))),
      local_(new QRadioButton(QStringLiteral("Local"))),
      grid_(new QCheckBox(QStringLiteral("Lon/Lat Grid"))),
      cia_(new QCheckBox(QStringLiteral("CIA MAP"))),
      selection_(new QRadioButton(QStringLiteral("Selection"))),
      data_(new QRadioButton(QStringLiteral("Data"))),
      height_(new QLineEdit(numberText(state.siteHeight))),
      longitude_(new QLineEdit(numberText(roundedTo(state.siteLongitude, 5)))),
      latitude_(new QLineEdit(numberText(roundedTo(state.siteLatitude, 5)))),
      deltaT_(new QLineEdit(numberText(state.deltaTAdjust))) {
  setWindowTitle(QStringLiteral("Display Mode"));

  fillCityBox(city_, sites, state.displaySiteIndex);
  (state.displayKind == kLocalKind ? local_ : map_)->setChecked(true);
  grid_->setChecked(state.gridMode == kGridOn);
  cia_->setChecked(state.outlineChoice == kCoastlineFiles);
  (state.siteSource == 0 ? selection_ : data_)->setChecked(true);
  // The city chosen is remembered at once, even if the dialog is cancelled.
  connect(city_, &QComboBox::activated, this,
          [this](int index) { state_.displaySiteIndex = index + 1; });

  auto* outer = new QGroupBox(QStringLiteral("Display Mode"));
  auto* inner = new QVBoxLayout(outer);
  auto* top = new QHBoxLayout;
  top->addWidget(createDisplayGroup());
  top->addWidget(createMapGroup());
  inner->addLayout(top);
  inner->addWidget(createSiteGroup());
  auto* dt = new QFormLayout;
  dt->addRow(QStringLiteral("DeltaT Adj.:"), deltaT_);
  inner->addLayout(dt);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(outer);
  layout->addWidget(okCancelButtons(this, QStringLiteral("Cancel")));
}

QWidget* CDisplayDlg::createDisplayGroup() {
  auto* box = new QGroupBox(QStringLiteral("Dispay"));
  auto* l = new QVBoxLayout(box);
  l->addWidget(map_);
  l->addWidget(local_);
  return box;
}

QWidget* CDisplayDlg::createMapGroup() {
  auto* box = new QGroupBox(QStringLiteral("Map selection"));
  auto* l = new QVBoxLayout(box);
  l->addWidget(grid_);
  l->addWidget(cia_);
  return box;
}

QWidget* CDisplayDlg::createSiteGroup() {
  return siteGroup(QStringLiteral("Site Set"), city_, selection_, data_, QStringLiteral("Lon.:"),
                   longitude_, latitude_, height_);
}

std::optional<FieldError> CDisplayDlg::validate() const {
  if (auto v = readNumber(height_->text(), kHeightLoM, kHeightHiM); !v.ok())
    return FieldError{v.error, height_};
  if (auto v = readNumber(longitude_->text(), kLongitudeLoDeg, kLongitudeHiDeg); !v.ok())
    return FieldError{v.error, longitude_};
  if (auto v = readNumber(latitude_->text(), kLatitudeLoDeg, kLatitudeHiDeg); !v.ok())
    return FieldError{v.error, latitude_};
  if (auto v = readNumber(deltaT_->text(), kDeltaTLoS, kDeltaTHiS); !v.ok())
    return FieldError{v.error, deltaT_};
  return std::nullopt;
}

void CDisplayDlg::applyTo(SessionState& state) const {
  state.deltaTAdjust = readNumber(deltaT_->text(), kDeltaTLoS, kDeltaTHiS).value;
  state.outlineChoice = cia_->isChecked() ? kCoastlineFiles : kBuiltInOutline;
  if (map_->isChecked()) {
    state.displayKind = kMapKind;
    state.gridMode = grid_->isChecked() ? kGridOn : kGridOff;
  }
  if (local_->isChecked()) {
    state.siteSource = selection_->isChecked() ? 0 : 1;
    if (selection_->isChecked()) {
      takeCitySite(state, sites_, state.displaySiteIndex);
    } else {
      state.displaySiteIndex = kTypedSite;
      state.siteLongitude = readNumber(longitude_->text(), kLongitudeLoDeg, kLongitudeHiDeg).value;
      state.siteLatitude = readNumber(latitude_->text(), kLatitudeLoDeg, kLatitudeHiDeg).value;
      state.siteHeight = readNumber(height_->text(), kHeightLoM, kHeightHiM).value;
    }
    state.displayKind = kLocalKind;
  }
}

void CDisplayDlg::accept() {
  if (refuse(this, validate())) return;
  QDialog::accept();
}

}  // namespace tarvo::window
