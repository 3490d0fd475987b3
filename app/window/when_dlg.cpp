#include "app/window/when_dlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/window/dialog_support.h"
#include "app/window/field_check.h"

namespace tarvo::window {

CWhenDlg::CWhenDlg(int year, int month, QWidget* parent)
    : QDialog(parent), month_(new QLineEdit(QString::number(month))),
      year_(new QLineEdit(QString::number(year))) {
  setWindowTitle(QStringLiteral("Time Set Menu"));
  auto* form = new QFormLayout;
  const auto label = [](const char* name, const InputRange& range) {
    return QStringLiteral("%1 %2 to %3 :").arg(QLatin1String(name), numberText(range.lo), numberText(range.hi));
  };
  form->addRow(label("Month(&M)", limits::kMonth), month_);
  form->addRow(label("Year(&P)", limits::kYear), year_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(okCancelButtons(this, QStringLiteral("Cancell")));
}

Checked<CursorMonth> CWhenDlg::validate() const {
  const FieldValue<int> month = readInteger(month_->text(), limits::kMonth);
  if (!month.ok()) return FieldError{month.error, month_};
  const FieldValue<int> year = readInteger(year_->text(), limits::kYear);
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
