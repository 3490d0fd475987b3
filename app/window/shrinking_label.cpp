#include "app/window/shrinking_label.h"

#include <QPainter>
#include <QRegularExpression>
#include <QStyle>

namespace tarvo::window {

QString CShrinkingLabel::shortForm(const QString& text) {
  static const QRegularExpression remark(QStringLiteral("\\s*\\([^()]*\\)"));
  return QString(text).remove(remark);
}

QString CShrinkingLabel::shownText(int width) const {
  const QFontMetrics metrics = fontMetrics();
  const int room = width - 2 * margin() - 2 * frameWidth();
  if (metrics.horizontalAdvance(text()) <= room) return text();
  const QString shorter = shortForm(text());
  if (metrics.horizontalAdvance(shorter) <= room) return shorter;
  return metrics.elidedText(shorter, Qt::ElideRight, std::max(room, 0));
}

// Nothing need stay: the message beside the pane decides its width.
QSize CShrinkingLabel::minimumSizeHint() const { return {0, QLabel::minimumSizeHint().height()}; }

void CShrinkingLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  drawFrame(&painter);
  const QRect box = contentsRect().adjusted(margin(), margin(), -margin(), -margin());
  style()->drawItemText(&painter, box, alignment(), palette(), isEnabled(), shownText(width()), foregroundRole());
}

}  // namespace tarvo::window
