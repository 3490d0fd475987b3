// Reading a dialog's edit fields as numbers and checking them against their
// ranges, with the messages the user sees when a value is refused.
#pragma once

#include <QString>

#include <initializer_list>
#include <optional>
#include <utility>
#include <variant>

#include "base/input_limits.h"

class QLineEdit;

namespace tarvo::window {

// Outcome of reading one field: the value, or the message to show.
template <typename T>
struct FieldValue {
  T value{};
  QString error;  // empty when the value was accepted
  bool ok() const { return error.isEmpty(); }
};

// An integer in the range: blanks around it allowed, nothing else.
FieldValue<int> readInteger(const QString& text, const InputRange& range);
// A finite decimal number in the range.
FieldValue<double> readNumber(const QString& text, const InputRange& range);
// A year in the range: an integer (astronomical, 0 = 1 BC) or a year as
// historians write it ("585 BC", "AD 1066"); blanks around it allowed.
FieldValue<int> readYear(const QString& text, const InputRange& range);
// The same for a field that takes any number as an astronomical year.
FieldValue<double> readYearNumber(const QString& text, const InputRange& range);

// The range messages, bounds written as the user would type them. A year
// field's message adds a second line with the range as historians write it
// ("That is 13001 BC to AD 16999.").
QString integerRangeMessage(const InputRange& range);
QString numberRangeMessage(const InputRange& range);
QString historicalRangeLine(const InputRange& range);

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

// An edit read as a number in its range into *value.
struct NumberField {
  QLineEdit* edit;
  InputRange range;
  double* value;
};
// Reads the fields in order until one is refused; returns that one, or
// nothing when every value was read.
std::optional<FieldError> readNumbers(std::initializer_list<NumberField> fields);

// A dialog's fields read and checked: the values its OK stores, or the first
// refused field.
template <typename Values>
class Checked {
 public:
  Checked(Values values) : result_(std::move(values)) {}
  Checked(FieldError error) : result_(std::move(error)) {}

  bool ok() const { return std::holds_alternative<Values>(result_); }
  // Only when ok().
  const Values& values() const { return std::get<Values>(result_); }
  std::optional<FieldError> error() const {
    if (const auto* e = std::get_if<FieldError>(&result_)) return *e;
    return std::nullopt;
  }

 private:
  std::variant<Values, FieldError> result_;
};

}  // namespace tarvo::window
