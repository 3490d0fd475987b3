// Small pieces shared by the dialogs.
#pragma once

#include <QString>

#include <optional>

#include "session/site_choice.h"

class QComboBox;
class QDialog;
class QDialogButtonBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;
class QWidget;

namespace tarvo {
struct SessionState;
struct SiteList;
}  // namespace tarvo

namespace tarvo::window {

struct FieldError;

// "OK" and a cancel button with the given text, wired to accept and reject.
// Gives every field that a label names (the label's buddy) that label's text,
// without "&" markers and the trailing colon, as its accessible name, unless
// it has one: a screen reader then says what the field is.
void nameFieldsByTheirLabels(QWidget* dialog);

QDialogButtonBox* okCancelButtons(QDialog* dialog, const QString& cancelText);

// When there is an error: shows its message in the range message box, puts
// the focus on the field and selects its text; returns true. Otherwise false.
bool refuse(QWidget* dialog, const std::optional<FieldError>& error);

// The site the dialogs' OK chooses: with "Selection" city `cityNumber` of
// the list (the current site when the list has no such city), else the
// typed coordinates (with the current site's zone when they are its own).
SiteChoice pickedSite(bool fromCity, int cityNumber, const SiteValues& typed, const SiteChoice& current,
                      const SiteList& sites);

// The site group's widgets, filled from a site choice: the city names in
// list order with the chosen city (none for typed coordinates), "Selection"
// or the typed-site button, and the coordinates (to 5 decimals). Choosing a
// city then shows its coordinates and checks "Selection"; nothing reaches
// the session before OK.
struct SiteFields {
  QComboBox* city;
  QRadioButton* fromCity;
  QRadioButton* typed;
  QLineEdit* longitude;
  QLineEdit* latitude;
  QLineEdit* height;
};
void showSiteChoice(const SiteFields& fields, const SiteChoice& choice, const SiteList& sites);

// The observing-site group: the city list, the two site-source buttons side
// by side, then the longitude (labelled longitudeLabel), latitude and height.
QGroupBox* siteGroup(const QString& title, QComboBox* city, QRadioButton* fromCity,
                     QRadioButton* typed, const QString& longitudeLabel, QLineEdit* longitude,
                     QLineEdit* latitude, QLineEdit* height);

}  // namespace tarvo::window
