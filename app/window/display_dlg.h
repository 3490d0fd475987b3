// The Display Mode dialog: map or local report, grid, outline, ΔT correction
// and the observing site of the local report.
#pragma once

#include <QDialog>

#include <optional>

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

struct FieldError;

class CDisplayDlg : public QDialog {
  Q_OBJECT

 public:
  // Filled from the state; choosing a city writes displaySiteIndex at once.
  CDisplayDlg(SessionState& state, const SiteList& sites, QWidget* parent = nullptr);

  // The first refused edit, in the order Alt., Lon., Lat., DeltaT Adj.
  std::optional<FieldError> validate() const;
  // Stores the accepted values into the state (the dialog's OK); call after
  // validate() found nothing. Does not repaint.
  void applyTo(SessionState& state) const;

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

  void accept() override;

 private:
  QWidget* createDisplayGroup();
  QWidget* createMapGroup();
  QWidget* createSiteGroup();

  SessionState& state_;
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
};

}  // namespace tarvo::window
