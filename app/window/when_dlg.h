// The Time Set dialog: the year and month of the cursor.
#pragma once

#include <QDialog>

#include <optional>

class QLineEdit;

namespace tarvo::window {

struct FieldError;

class CWhenDlg : public QDialog {
  Q_OBJECT

 public:
  // Opens with the whole year and month.
  CWhenDlg(int year, int month, QWidget* parent = nullptr);

  // The first refused field (month, then year), or nothing.
  std::optional<FieldError> validate() const;
  // The accepted values; valid after validate() found nothing.
  int year() const;
  int month() const;

  QLineEdit* monthEdit() const { return month_; }
  QLineEdit* yearEdit() const { return year_; }

  void accept() override;

 private:
  QLineEdit* month_;
  QLineEdit* year_;
};

}  // namespace tarvo::window
