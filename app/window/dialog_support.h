// Small pieces shared by the dialogs.
#pragma once

#include <QString>

#include <optional>

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

// "Selection" of a city: the site takes city `number`'s longitude, latitude
// and height; an empty list gives 0, 0, 0; a number naming no city of a
// non-empty list leaves the site as it is.
void takeCitySite(SessionState& state, const SiteList& sites, int number);

// The city names in list order, city `number` (from 1) chosen; none is chosen
// when the number is past the list.
void fillCityBox(QComboBox* box, const SiteList& sites, int number);

// The observing-site group: the city list, the two site-source buttons side
// by side, then the longitude (labelled longitudeLabel), latitude and height.
QGroupBox* siteGroup(const QString& title, QComboBox* city, QRadioButton* fromCity,
                     QRadioButton* typed, const QString& longitudeLabel, QLineEdit* longitude,
                     QLineEdit* latitude, QLineEdit* height);

}  // namespace tarvo::window
