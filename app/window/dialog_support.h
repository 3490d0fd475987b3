// Small pieces shared by the dialogs.
#pragma once

#include <QString>

#include <optional>

class QDialog;
class QDialogButtonBox;
class QWidget;

namespace tarvo {
struct SessionState;
struct SiteList;
}  // namespace tarvo

namespace tarvo::window {

struct FieldError;

// "OK" and a cancel button with the given text, wired to accept and reject.
QDialogButtonBox* okCancelButtons(QDialog* dialog, const QString& cancelText);

// When there is an error: shows its message in the range message box, puts
// the focus on the field and selects its text; returns true. Otherwise false.
bool refuse(QWidget* dialog, const std::optional<FieldError>& error);

// "Selection" of a city: the site takes city `number`'s longitude, latitude
// and height; an empty list gives 0, 0, 0; a number naming no city of a
// non-empty list leaves the site as it is.
void takeCitySite(SessionState& state, const SiteList& sites, int number);

}  // namespace tarvo::window
