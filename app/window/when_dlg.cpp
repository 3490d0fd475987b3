#include "app/window/when_dlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/window/dialog_support.h"
#include "app/window/field_check.h"
#include "app/window/framework_texts.h"
#include "timebase/historical_dates.h"
#include "timebase/time_scales.h"

namespace tarvo::window {

CWhenDlg::CWhenDlg(int year, int month, QWidget* parent)
    : QDialog(parent), month_(new QLineEdit(QString::number(month))),
      year_(new QLineEdit(QString::number(year))), jd_(new QLineEdit), hint_(new QLabel) {
  setWindowTitle(QStringLiteral("Time Set Menu"));
  auto* form = new QFormLayout;
  const auto label = [](const char* name, const InputRange& range) {
    return QStringLiteral("%1 %2 to %3 :").arg(QLatin1String(name), numberText(range.lo), numberText(range.hi));
  };
  form->addRow(label("Month(&M)", limits::kMonth), month_);
  auto* yearRow = new QHBoxLayout;
  yearRow->addWidget(year_);
  yearRow->addWidget(hint_);
  form->addRow(label("Year(&P)", limits::kYear), yearRow);
  // The row holds the hint too: Alt+P still goes to the year.
  if (auto* yearLabel = qobject_cast<QLabel*>(form->labelForField(yearRow))) yearLabel->setBuddy(year_);
  form->addRow(QStringLiteral("Julian Day (UT)(&J) :"), jd_);
  connect(year_, &QLineEdit::textChanged, this, &CWhenDlg::updateHint);
  connect(month_, &QLineEdit::textChanged, this, &CWhenDlg::updateHint);
  updateHint();
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(okCancelButtons(this, QStringLiteral("Cancell")));
  nameFieldsByTheirLabels(this);
}

namespace {

// Any Julian Day the calendar conversion takes; the year it falls in is
// checked against the cursor's range.
constexpr InputRange kJulianDayDays{-1e9, 1e9};

}  // namespace

void CWhenDlg::updateHint() {
  const FieldValue<int> year = readYear(year_->text(), limits::kYear);
  const FieldValue<int> month = readInteger(month_->text(), limits::kMonth);
  hint_->setText(year.ok() && month.ok() ? QString::fromStdString(yearHint(year.value, month.value)) : QString());
}

Checked<CursorMonth> CWhenDlg::validate() const {
  if (!jd_->text().trimmed().isEmpty()) {
    const FieldValue<double> jd = readNumber(jd_->text(), kJulianDayDays);
    if (!jd.ok()) return FieldError{jd.error, jd_};
    const CalendarDate c = jdToCalendar(jd.value, ZoneMode::StandardZone, 0);
    if (!limits::kYear.contains(c.year)) {
      return FieldError{frameworkText("Please enter a Julian Day within the years %1 to %2.")
                            .arg(static_cast<int>(limits::kYear.lo))
                            .arg(static_cast<int>(limits::kYear.hi)),
                        jd_};
    }
    return CursorMonth{static_cast<int>(c.year), static_cast<int>(c.month)};
  }
  const FieldValue<int> month = readInteger(month_->text(), limits::kMonth);
  if (!month.ok()) return FieldError{month.error, month_};
  const FieldValue<int> year = readYear(year_->text(), limits::kYear);
  if (!year.ok()) return FieldError{year.error, year_};
  return CursorMonth{year.value, month.value};
}

void CWhenDlg::accept() {
  const Checked<CursorMonth> checked = validate();
  if (refuse(this, checked.error())) return;
  accepted_ = checked.values();
  QDialog::accept();
}

}  // namespace tarvo::window
