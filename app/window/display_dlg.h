// The Display Mode dialog: map or local report, grid, outline, ΔT correction
// and the observing site (the session's one site, whichever display).
#pragma once

#include <QDialog>

#include <optional>
#include <string>

#include "app/window/field_check.h"
#include "timebase/delta_t.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

namespace tarvo {
struct SessionState;
struct SiteList;
}  // namespace tarvo

namespace tarvo::window {

// The dialog's fields as OK takes them.
struct DisplayValues {
  bool map = false, local = false;  // the display buttons
  bool grid = false, cia = false;
  bool fromCity = false;            // "Selection", else the typed site ("Data")
  int cityNumber = 0;               // the city chosen in the list (from 1), 0 none
  double heightM = 0, longitudeDeg = 0, latitudeDeg = 0;
  DeltaTChoice deltaT;  // "ΔT model" and "DeltaT Adj." (seconds)
  bool deltaTBands = false;                        // "ΔT uncertainty"
  bool altitudesAsSeen = false;  // "Altitudes as seen (topocentric, refracted)": the local report's Alt.
  std::string timeZone;          // "Time zone" of a typed site: a zone of the tz database, empty automatic
};

class CDisplayDlg : public QDialog {
  Q_OBJECT

 public:
  // Filled from the state; nothing reaches the state before OK.
  CDisplayDlg(const SessionState& state, const SiteList& sites, QWidget* parent = nullptr);

  // The fields' values, or the first refused edit, in the order Alt., Lon.,
  // Lat., DeltaT Adj., Time zone (a zone the tz database lacks).
  Checked<DisplayValues> validate() const;
  // Stores the values into the state as the dialog's OK does. Does not repaint.
  void applyTo(SessionState& state, const DisplayValues& values) const;
  // The values OK accepted; nothing before OK.
  const std::optional<DisplayValues>& accepted() const { return accepted_; }

  QComboBox* cityBox() const { return city_; }
  QRadioButton* mapButton() const { return map_; }
  QRadioButton* localButton() const { return local_; }
  QCheckBox* gridBox() const { return grid_; }
  QCheckBox* ciaBox() const { return cia_; }
  QRadioButton* selectionButton() const { return selection_; }
  QRadioButton* dataButton() const { return data_; }
  QLineEdit* heightEdit() const { return height_; }
  QLineEdit* longitudeEdit() const { return longitude_; }
  QLineEdit* latitudeEdit() const { return latitude_; }
  QLineEdit* deltaTEdit() const { return deltaT_; }
  QComboBox* deltaTModelBox() const { return deltaTModel_; }
  QCheckBox* deltaTBandsBox() const { return deltaTBands_; }
  QCheckBox* altitudesAsSeenBox() const { return altitudesAsSeen_; }
  // The typed site's clock; enabled with "Data".
  QLineEdit* timeZoneEdit() const { return timeZone_; }

  void accept() override;

 private:
  QWidget* createDisplayGroup();
  QWidget* createMapGroup();
  QWidget* createSiteGroup();

  const SiteList& sites_;
  QComboBox* city_;
  QRadioButton* map_;
  QRadioButton* local_;
  QCheckBox* grid_;
  QCheckBox* cia_;
  QRadioButton* selection_;
  QRadioButton* data_;
  QLineEdit* height_;
  QLineEdit* longitude_;
  QLineEdit* latitude_;
  QLineEdit* deltaT_;
  QComboBox* deltaTModel_;
  QCheckBox* deltaTBands_;
  QCheckBox* altitudesAsSeen_;
  QLineEdit* timeZone_;
  std::optional<DisplayValues> accepted_;
};

}  // namespace tarvo::window
