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

QString historicalRangeLine(const InputRange& range) {
  return frameworkText("That is %1 to %2.")
      .arg(QString::fromStdString(historicalYearText(range.lo)), QString::fromStdString(historicalYearText(range.hi)));
}

FieldValue<int> readYear(const QString& text, const InputRange& range) {
  FieldValue<int> read;
  if (const auto y = historicalYear(text.toStdString())) {
    read = range.contains(*y) ? FieldValue<int>{static_cast<int>(*y), {}} : FieldValue<int>{0, integerRangeMessage(range)};
  } else {
    read = readInteger(text, range);
  }
  if (read.error == integerRangeMessage(range)) read.error += "\n" + historicalRangeLine(range);
  return read;
}

FieldValue<double> readYearNumber(const QString& text, const InputRange& range) {
  FieldValue<double> read;
  if (const auto y = historicalYear(text.toStdString())) {
    read = range.contains(*y) ? FieldValue<double>{*y, {}} : FieldValue<double>{0, numberRangeMessage(range)};
  } else {
    read = readNumber(text, range);
  }
  if (read.error == numberRangeMessage(range)) read.error += "\n" + historicalRangeLine(range);
  return read;
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
