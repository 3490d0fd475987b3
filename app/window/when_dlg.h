// The Time Set dialog: the year and month of the cursor.
#pragma once

#include <QDialog>

#include <optional>

#include "app/window/field_check.h"

class QLineEdit;

namespace tarvo::window {

// The cursor as the dialog takes it: whole year and month.
struct CursorMonth {
  int year = 0;
  int month = 0;
};

class CWhenDlg : public QDialog {
  Q_OBJECT

 public:
  // Opens with the whole year and month.
  CWhenDlg(int year, int month, QWidget* parent = nullptr);

  // The month and year, or the first refused field (month, then year).
  Checked<CursorMonth> validate() const;
  // The values OK accepted; nothing before OK.
  const std::optional<CursorMonth>& accepted() const { return accepted_; }

  QLineEdit* monthEdit() const { return month_; }
  QLineEdit* yearEdit() const { return year_; }

  void accept() override;

 private:
  QLineEdit* month_;
  QLineEdit* year_;
  std::optional<CursorMonth> accepted_;
};

}  // namespace tarvo::window
