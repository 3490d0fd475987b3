// Answers a test's modal windows (message boxes, file dialogs) one step
// each, in the order they open.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace tarvo::window {

// How long a test waits for its modal windows to be answered and closed: a
// loaded machine (parallel builds and tests) can take seconds for a dialog.
inline constexpr int kModalWaitMs = 30000;

// Answers the modal windows that open, one step each, in order.
class ModalAnswers : public QObject {
 public:
  explicit ModalAnswers(QList<std::function<void(QWidget*)>> steps) : steps_(std::move(steps)) {
    connect(&timer_, &QTimer::timeout, this, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal) return;
      // A window answered a while ago and still open (a file dialog still
      // reading its folder) is answered again.
      if (modal == answered_) {
        if (since_.elapsed() > 300) {
          since_.restart();
          last_(modal);
        }
        return;
      }
      if (steps_.isEmpty()) return;
      answered_ = modal;
      last_ = steps_.takeFirst();
      since_.restart();
      last_(modal);
    });
    timer_.start(20);
  }
  // Every step taken and its window closed.
  bool done() const { return steps_.isEmpty() && (!answered_ || !answered_->isVisible()); }

 private:
  QList<std::function<void(QWidget*)>> steps_;
  QPointer<QWidget> answered_;
  std::function<void(QWidget*)> last_;
  QElapsedTimer since_;
  QTimer timer_;
};

}  // namespace tarvo::window
