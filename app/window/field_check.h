// Reading a dialog's edit fields as numbers and checking them against their
// ranges, with the messages the user sees when a value is refused.
#pragma once

#include <QString>

#include <optional>

class QLineEdit;

namespace tarvo::window {

// Outcome of reading one field: the value, or the message to show.
template <typename T>
struct FieldValue {
  T value{};
  QString error;  // empty when the value was accepted
  bool ok() const { return error.isEmpty(); }
};

// An integer in [lo, hi]: blanks around it allowed, nothing else.
FieldValue<int> readInteger(const QString& text, int lo, int hi);
// A finite decimal number in [lo, hi].
FieldValue<double> readNumber(const QString& text, double lo, double hi);

// The range messages, bounds written as the user would type them.
QString integerRangeMessage(int lo, int hi);
QString numberRangeMessage(double lo, double hi);

// How a number is shown in an edit: up to 15 significant digits, no
// exponent for the values the dialogs hold.
QString numberText(double value);
// value rounded half up to `decimals` places: floor(x * 10^d + 0.5) / 10^d.
double roundedTo(double value, int decimals);

// The first refused field of a dialog, in the order the dialog checks them.
struct FieldError {
  QString message;
  QLineEdit* field = nullptr;
};

}  // namespace tarvo::window
