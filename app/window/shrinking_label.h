// A status-bar pane whose text gives way to the message beside it: it shows
// its whole text where there is room, else the text without its bracketed
// remarks, else that cut with an ellipsis. text() is always the whole text.
#pragma once

#include <QLabel>

namespace tarvo::window {

class CShrinkingLabel : public QLabel {
  Q_OBJECT

 public:
  using QLabel::QLabel;

  // The text without its bracketed remarks ("ΔT 76.9 ± 0.05 s (±0.00021° in
  // longitude)" → "ΔT 76.9 ± 0.05 s").
  static QString shortForm(const QString& text);
  // What the pane shows at a width in pixels.
  QString shownText(int width) const;

  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace tarvo::window
