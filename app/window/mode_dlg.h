// The Search dialog: which eclipses Next, Previous and the list stop at.
#pragma once

#include <QDialog>

#include <optional>

#include "app/window/field_check.h"
#include "session/catalogue_search.h"

class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace tarvo {
struct SessionState;
struct SiteList;
}  // namespace tarvo

namespace tarvo::window {

// The dialog's fields as OK takes them.
struct SearchValues {
  SearchType searchType = kSearchAll;  // the button checked
  int saros = 0;
  double longitudeDeg = 0, magnitude = 0, heightM = 0, latitudeDeg = 0;
  double typeLookBackYears = 0, siteLookBackYears = 0;
  bool fromCity = false;  // "Selection", else the typed site ("Set")
  int cityNumber = 0;     // the city chosen in the list (from 1), 0 none
};

class CModeDlg : public QDialog {
  Q_OBJECT

 public:
  // Filled from the state (the site group shows the session's site).
  // Choosing a type writes typeChoice at once; "Time Set" stores the cursor
  // at once.
  CModeDlg(SessionState& state, const SiteList& sites, QWidget* parent = nullptr);

  // The fields' values, or the first refused edit, in the order Saros#,
  // Log., Mag., Alt., Lat., Search from(Year), Serch Period(Years).
  Checked<SearchValues> validate() const;
  // Stores the criteria for the chosen search type (the dialog's OK, without
  // the move to the start of a Saros series).
  void applyTo(SessionState& state, const SearchValues& values) const;
  // The values OK accepted; nothing before OK.
  const std::optional<SearchValues>& accepted() const { return accepted_; }

  // The entries of the type list, in order.
  static QStringList typeEntries();

  QComboBox* cityBox() const { return city_; }
  QComboBox* typeBox() const { return type_; }
  QPushButton* timeSetButton() const { return timeSet_; }
  QLineEdit* sarosEdit() const { return saros_; }
  QRadioButton* searchTypeButton(int searchType) const { return searchTypes_[searchType]; }
  QLineEdit* longitudeEdit() const { return longitude_; }
  QLineEdit* magnitudeEdit() const { return magnitude_; }
  QRadioButton* selectionButton() const { return selection_; }
  QRadioButton* setButton() const { return set_; }
  QLineEdit* heightEdit() const { return height_; }
  QLineEdit* latitudeEdit() const { return latitude_; }
  QLineEdit* typeLookBackEdit() const { return typeLookBack_; }
  QLineEdit* siteLookBackEdit() const { return siteLookBack_; }

  void accept() override;

 private:
  QWidget* createModeGroup();
  QWidget* createSiteGroup();
  void openTimeSet();

  SessionState& state_;
  const SiteList& sites_;
  QComboBox* city_;
  QComboBox* type_;
  QPushButton* timeSet_;
  QLineEdit* saros_;
  QRadioButton* searchTypes_[kSearchBySaros + 1];
  QLineEdit* longitude_;
  QLineEdit* magnitude_;
  QRadioButton* selection_;
  QRadioButton* set_;
  QLineEdit* height_;
  QLineEdit* latitude_;
  QLineEdit* typeLookBack_;
  QLineEdit* siteLookBack_;
  std::optional<SearchValues> accepted_;
};

}  // namespace tarvo::window
