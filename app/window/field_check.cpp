#include "app/window/field_check.h"

#include <QLocale>

#include <cmath>

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

QString integerRangeMessage(int lo, int hi) {
  return frameworkText("Please enter an integer between %1 and %2.").arg(lo).arg(hi);
}

QString numberRangeMessage(double lo, double hi) {
  return frameworkText("Please enter a number between %1 and %2.").arg(numberText(lo), numberText(hi));
}

QString numberText(double value) {
  if (value == 0) value = 0;  // no "-0"
  return QString::number(value, 'g', 15);
}

double roundedTo(double value, int decimals) {
  const double f = std::pow(10.0, decimals);
  return std::floor(value * f + 0.5) / f;
}

FieldValue<int> readInteger(const QString& text, int lo, int hi) {
  bool ok = false;
  const qlonglong v = plainLocale().toLongLong(text.trimmed(), &ok);
  if (!ok) return {0, frameworkText("Please enter an integer.")};
  if (v < lo || v > hi) return {0, integerRangeMessage(lo, hi)};
  return {static_cast<int>(v), {}};
}

FieldValue<double> readNumber(const QString& text, double lo, double hi) {
  bool ok = false;
  const double v = plainLocale().toDouble(text.trimmed(), &ok);
  if (!ok || !std::isfinite(v)) return {0, frameworkText("Please enter a number.")};
  if (v < lo || v > hi) return {0, numberRangeMessage(lo, hi)};
  return {v, {}};
}

}  // namespace tarvo::window
