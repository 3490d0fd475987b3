#include "app/window/field_check.h"

#include <QLineEdit>
#include <QLocale>

#include <cmath>

#include "timebase/historical_dates.h"
#include "app/window/framework_texts.h"

namespace tarvo::window {

namespace {


// The C locale's reading of numbers, without thousands separators.
QLocale plainLocale() {
  QLocale c = QLocale::c();
  c.setNumberOptions(QLocale::RejectGroupSeparator);
  return c;
}

}  // namespace

QString integerRangeMessage(const InputRange& range) {
  return frameworkText("Please enter an integer between %1 and %2.")
      .arg(static_cast<int>(range.lo))
      .arg(static_cast<int>(range.hi));
}

QString numberRangeMessage(const InputRange& range) {
  return frameworkText("Please enter a number between %1 and %2.")
      .arg(numberText(range.lo), numberText(range.hi));
}

QString numberText(double value) {
  if (value == 0) value = 0;  // no "-0"
  return QString::number(value, 'g', 15);
}

double roundedTo(double value, int decimals) {
  const double f = std::pow(10.0, decimals);
  return std::floor(value * f + 0.5) / f;
}

FieldValue<int> readInteger(const QString& text, const InputRange& range) {
  bool ok = false;
  const qlonglong v = plainLocale().toLongLong(text.trimmed(), &ok);
  if (!ok) return {0, frameworkText("Please enter an integer.")};
  // Integer ranges have whole bounds, so the comparison in doubles is exact.
  if (!range.contains(static_cast<double>(v))) return {0, integerRangeMessage(range)};
  return {static_cast<int>(v), {}};
}

FieldValue<double> readNumber(const QString& text, const InputRange& range) {
  bool ok = false;
  const double v = plainLocale().toDouble(text.trimmed(), &ok);
  if (!ok || !std::isfinite(v)) return {0, frameworkText("Please enter a number.")};
  if (!range.contains(v)) return {0, numberRangeMessage(range)};
  return {v, {}};
}

FieldValue<int> readYear(const QString& text, const InputRange& range) {
  if (const auto y = historicalYear(text.toStdString())) {
    if (!range.contains(*y)) return {0, integerRangeMessage(range)};
    return {static_cast<int>(*y), {}};
  }
  return readInteger(text, range);
}

FieldValue<double> readYearNumber(const QString& text, const InputRange& range) {
  if (const auto y = historicalYear(text.toStdString())) {
    if (!range.contains(*y)) return {0, numberRangeMessage(range)};
    return {*y, {}};
  }
  return readNumber(text, range);
}

std::optional<FieldError> readNumbers(std::initializer_list<NumberField> fields) {
  for (const NumberField& f : fields) {
    const FieldValue<double> read = readNumber(f.edit->text(), f.range);
    if (!read.ok()) return FieldError{read.error, f.edit};
    *f.value = read.value;
  }
  return std::nullopt;
}

}  // namespace tarvo::window
