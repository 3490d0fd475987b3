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

#include "app/time_zones.h"
#include "app/window/dialog_support.h"
#include "app/window/field_check.h"
#include "circumstances/sites.h"
#include "session/session_state.h"

namespace tarvo::window {

CDisplayDlg::CDisplayDlg(const SessionState& state, const SiteList& sites, QWidget* parent)
    : QDialog(parent), sites_(sites), city_(new QComboBox),
      map_(new QRadioButton(QStringLiteral("Map"))),
      local_(new QRadioButton(QStringLiteral("Local"))),
      grid_(new QCheckBox(QStringLiteral("Lon/Lat Grid"))),
      cia_(new QCheckBox(QStringLiteral("CIA MAP"))),
      selection_(new QRadioButton(QStringLiteral("Selection"))),
      data_(new QRadioButton(QStringLiteral("Data"))),
      height_(new QLineEdit), longitude_(new QLineEdit), latitude_(new QLineEdit),
      deltaT_(new QLineEdit(numberText(state.deltaTChoice.adjustSeconds))), deltaTModel_(new QComboBox),
      deltaTBands_(new QCheckBox(QStringLiteral("ΔT uncertainty"))),
      altitudesAsSeen_(new QCheckBox(QStringLiteral("Altitudes as seen (topocentric, refracted)"))),
      timeZone_(new QLineEdit) {
  setWindowTitle(QStringLiteral("Display Mode"));

  showSiteChoice({city_, selection_, data_, longitude_, latitude_, height_}, state.site, sites);
  (state.displayKind == kDisplayLocalReport ? local_ : map_)->setChecked(true);
  grid_->setChecked(state.gridMode == kGridShown);
  cia_->setChecked(state.outlineChoice == kOutlineCoastlineFiles);
  // The models by the names the command line and the session files use.
  for (const DeltaTModelRow& m : deltaTModelTable()) {
    deltaTModel_->addItem(QString::fromLatin1(m.name), static_cast<int>(m.model));
  }
  deltaTModel_->setCurrentIndex(deltaTModel_->findData(static_cast<int>(state.deltaTChoice.model)));
  deltaTBands_->setChecked(state.deltaTBandsShown);
  altitudesAsSeen_->setChecked(state.altitudesAsSeen);
  // The typed site's clock; empty: the nearest listed city's zone, else the longitude's.
  timeZone_->setText(QString::fromStdString(state.site.typed() ? state.site.timeZone : std::string()));
  timeZone_->setPlaceholderText(QStringLiteral("automatic (e.g. Asia/Kolkata)"));
  timeZone_->setEnabled(state.site.typed());
  connect(data_, &QRadioButton::toggled, timeZone_, &QLineEdit::setEnabled);

  auto* outer = new QGroupBox(QStringLiteral("Display Mode"));
  auto* inner = new QVBoxLayout(outer);
  auto* top = new QHBoxLayout;
  top->addWidget(createDisplayGroup());
  top->addWidget(createMapGroup());
  inner->addLayout(top);
  inner->addWidget(createSiteGroup());
  auto* dt = new QFormLayout;
  dt->addRow(QStringLiteral("DeltaT Adj.:"), deltaT_);
  dt->addRow(QStringLiteral("ΔT model:"), deltaTModel_);
  dt->addRow(QStringLiteral("Time zone:"), timeZone_);
  inner->addLayout(dt);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(outer);
  layout->addWidget(okCancelButtons(this, QStringLiteral("Cancel")));
  nameFieldsByTheirLabels(this);
}

QWidget* CDisplayDlg::createDisplayGroup() {
  auto* box = new QGroupBox(QStringLiteral("Dispay"));
  auto* l = new QVBoxLayout(box);
  l->addWidget(map_);
  l->addWidget(local_);
  // The local report's Alt. column: the observer's altitude instead of the geocentric one.
  l->addWidget(altitudesAsSeen_);
  return box;
}

QWidget* CDisplayDlg::createMapGroup() {
  auto* box = new QGroupBox(QStringLiteral("Map selection"));
  auto* l = new QVBoxLayout(box);
  l->addWidget(grid_);
  l->addWidget(cia_);
  l->addWidget(deltaTBands_);
  return box;
}

QWidget* CDisplayDlg::createSiteGroup() {
  return siteGroup(QStringLiteral("Site Set"), city_, selection_, data_, QStringLiteral("Lon.:"),
                   longitude_, latitude_, height_);
}

Checked<DisplayValues> CDisplayDlg::validate() const {
  DisplayValues v;
  if (auto refused = readNumbers({{height_, limits::kHeightM, &v.heightM},
                                  {longitude_, limits::kLongitudeDeg, &v.longitudeDeg},
                                  {latitude_, limits::kLatitudeDeg, &v.latitudeDeg},
                                  {deltaT_, limits::kDeltaTAdjustS, &v.deltaT.adjustSeconds}}))
    return *refused;
  v.fromCity = selection_->isChecked();
  if (!v.fromCity) {
    v.timeZone = timeZone_->text().trimmed().toStdString();
    if (!v.timeZone.empty() && !systemZoneDatabase().hasZone(v.timeZone))
      return FieldError{QStringLiteral("\"%1\" is not a zone of the time zone database (such as Asia/Kolkata).")
                            .arg(QString::fromStdString(v.timeZone)),
                        timeZone_};
  }
  v.map = map_->isChecked();
  v.local = local_->isChecked();
  v.grid = grid_->isChecked();
  v.cia = cia_->isChecked();
  v.cityNumber = city_->currentIndex() + 1;
  v.deltaT.model = static_cast<DeltaTModel>(deltaTModel_->currentData().toInt());
  v.deltaTBands = deltaTBands_->isChecked();
  v.altitudesAsSeen = altitudesAsSeen_->isChecked();
  return v;
}

void CDisplayDlg::applyTo(SessionState& state, const DisplayValues& v) const {
  state.deltaTChoice = v.deltaT;
  state.deltaTBandsShown = v.deltaTBands;
  state.altitudesAsSeen = v.altitudesAsSeen;
  state.outlineChoice = v.cia ? kOutlineCoastlineFiles : kOutlineBuiltIn;
  if (v.map) {
    state.displayKind = kDisplayWorldMap;
    state.gridMode = v.grid ? kGridShown : kGridHidden;
  }
  // The site chosen is the session's site whichever display is chosen.
  state.site = pickedSite(v.fromCity, v.cityNumber, {v.longitudeDeg, v.latitudeDeg, v.heightM}, state.site,
                          sites_);
  if (state.site.typed()) state.site.timeZone = v.timeZone;
  if (v.local) state.displayKind = kDisplayLocalReport;
}

void CDisplayDlg::accept() {
  const Checked<DisplayValues> checked = validate();
  if (refuse(this, checked.error())) return;
  accepted_ = checked.values();
  QDialog::accept();
}

}  // namespace tarvo::window
