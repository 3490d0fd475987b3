// Help › Contents: the shipped help text in a browser window, with the zones'
// legend drawn by the map's own paint.
#pragma once

#include <QTextBrowser>

namespace tarvo::window {

class CHelpWindow : public QTextBrowser {
  Q_OBJECT

 public:
  explicit CHelpWindow(QWidget* parent = nullptr);

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace tarvo::window
