// The version box.
#pragma once

#include <QDialog>

namespace tarvo::window {

class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);

  static QString versionLine();
};

}  // namespace tarvo::window
