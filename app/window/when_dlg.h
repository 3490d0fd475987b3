// The Time Set dialog: the year and month of the cursor.
#pragma once

#include <QDialog>

#include <optional>

#include "app/window/field_check.h"

class QLabel;
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
  // Opens with the whole year and month, the Julian Day empty.
  CWhenDlg(int year, int month, QWidget* parent = nullptr);

  // With a Julian Day (UT) typed, its calendar year and month; otherwise the
  // month and year (either may be written "585 BC", "AD 1066"). Or the first
  // refused field (Julian Day; month, then year).
  Checked<CursorMonth> validate() const;
  // The values OK accepted; nothing before OK.
  const std::optional<CursorMonth>& accepted() const { return accepted_; }

  QLineEdit* monthEdit() const { return month_; }
  QLineEdit* yearEdit() const { return year_; }
  QLineEdit* julianDayEdit() const { return jd_; }
  // "= 585 BC, Julian calendar" for the year and month typed; empty while
  // they are not valid.
  QLabel* yearHintLabel() const { return hint_; }

  void accept() override;

 private:
  QLineEdit* month_;
  QLineEdit* year_;
  QLineEdit* jd_;
  QLabel* hint_;
  std::optional<CursorMonth> accepted_;

  void updateHint();
};

}  // namespace tarvo::window
