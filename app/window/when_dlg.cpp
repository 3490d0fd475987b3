#include "app/window/when_dlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/window/dialog_support.h"
#include "app/window/field_check.h"

namespace tarvo::window {

namespace {
constexpr int kYearLo = -13000, kYearHi = 16999;
constexpr int kMonthLo = 1, kMonthHi = 12;
}  // namespace

CWhenDlg::CWhenDlg(int year, int month, QWidget* parent)
    : QDialog(parent), month_(new QLineEdit(QString::number(month))),
      year_(new QLineEdit(QString::number(year))) {
  setWindowTitle(QStringLiteral("Time Set Menu"));
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Month(&M) 1 to 12 :"), month_);
  form->addRow(QStringLiteral("Year(&P) -13000 to 16999 :"), year_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(okCancelButtons(this, QStringLiteral("Cancell")));
}

std::optional<FieldError> CWhenDlg::validate() const {
  if (auto m = readInteger(month_->text(), kMonthLo, kMonthHi); !m.ok())
    return FieldError{m.error, month_};
  if (auto y = readInteger(year_->text(), kYearLo, kYearHi); !y.ok())
    return FieldError{y.error, year_};
  return std::nullopt;
}

int CWhenDlg::year() const { return readInteger(year_->text(), kYearLo, kYearHi).value; }
int CWhenDlg::month() const { return readInteger(month_->text(), kMonthLo, kMonthHi).value; }

void CWhenDlg::accept() {
  if (refuse(this, validate())) return;
  QDialog::accept();
}

}  // namespace tarvo::window
